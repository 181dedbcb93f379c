// Every example that the tool's help and the documentation show is run and
// must print what they say it prints, so a wrong example fails here.
//
// An example is a line "$ COMMAND" followed by its output: in a help text
// indented by two blanks, up to a blank line; in Markdown inside a ``` block,
// up to the next "$ " line or the end of the block. The examples of one help
// text or one document run in order in one folder, holding a copy of
// examples/, with standard error merged into standard output as a terminal
// shows them.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "config_test_files.h"
#include "tool_run.h"

namespace {

using quillon::test::ReadBytes;
using quillon::test::RunShell;
using quillon::test::ToolRun;

const std::string kSource = std::string(QUILLON_TEST_DATA_DIR) + "/../..";

struct Example {
    std::string command;
    std::string output;
};

std::vector<Example> Extract(const std::string& text, bool markdown) {
    std::vector<Example> examples;
    std::istringstream lines(text);
    std::string line;
    bool inBlock = false;   // Markdown: inside a ``` block
    bool inOutput = false;  // lines now belong to the last example's output
    const std::string indent = markdown ? "" : "  ";
    while (std::getline(lines, line)) {
        if (markdown && line.rfind("```", 0) == 0) {
            inBlock = !inBlock;
            inOutput = false;
        } else if ((inBlock || !markdown) && line.rfind(indent + "$ ", 0) == 0) {
            examples.push_back({line.substr(indent.size() + 2), ""});
            inOutput = true;
        } else if (inOutput && (markdown || line.rfind(indent, 0) == 0)) {
            examples.back().output += line.substr(indent.size()) + "\n";
        } else {
            inOutput = false;
        }
    }
    return examples;
}

// Runs the examples of one source in a fresh folder; `where` names the source.
void RunExamples(const std::vector<Example>& examples, const std::string& where) {
    quillon::test::TempFolder folder;
    std::filesystem::copy(kSource + "/examples", folder.File("examples"));
    for (const Example& example : examples) {
        ToolRun run = RunShell(folder.Path(), "{ " + example.command + "\n} 2>&1");
        EXPECT_EQ(run.out, example.output) << where << ": $ " << example.command;
    }
}

}  // namespace

TEST(ToolExamples, EveryCommandHelpRunsItsExamples) {
    ToolRun usage = RunShell("/", "quillon --help");
    ASSERT_EQ(usage.status, 0);
    std::smatch found;
    std::string rest = usage.out.substr(usage.out.find("commands:"));
    int commands = 0;
    for (std::regex entry("\n  ([a-z-]+) "); std::regex_search(rest, found, entry); rest = found.suffix()) {
        std::string name = found[1];
        ToolRun help = RunShell("/", "quillon help " + name);
        EXPECT_EQ(help.status, 0) << name;
        EXPECT_EQ(help.out, RunShell("/", "quillon " + name + " --help").out) << name;
        EXPECT_NE(help.out.find("Exit status:"), std::string::npos) << name;
        std::vector<Example> examples = Extract(help.out, false);
        EXPECT_FALSE(examples.empty()) << name;
        RunExamples(examples, "quillon help " + name);
        ++commands;
    }
    EXPECT_EQ(commands, 4);
}

TEST(ToolExamples, TheDocumentsRunTheirExamples) {
    std::vector<std::string> documents = {kSource + "/README.md"};
    for (const auto& entry : std::filesystem::directory_iterator(kSource + "/docs"))
        if (entry.path().extension() == ".md") documents.push_back(entry.path().string());
    for (const std::string& document : documents) RunExamples(Extract(ReadBytes(document), true), document);
}

// A signed sample in the documentation verifies, saved as Save writes it.
TEST(ToolExamples, TheDocumentedSignatureVerifies) {
    std::string text = ReadBytes(kSource + "/docs/configuration.md");
    std::smatch sample;
    ASSERT_TRUE(std::regex_search(text, sample, std::regex("```xml\n([^`]*Signature=[^`]*)```")));
    std::smatch header;
    std::string file = sample[1];
    ASSERT_TRUE(std::regex_search(file, header, std::regex("Name=\"([^\"]*)\" Version=\"([^\"]*)\"")));
    quillon::test::TempFolder folder;
    quillon::test::WriteBytes(folder.File("sample.xml"), quillon::test::Crlf(file));
    ToolRun run = RunShell(folder.Path(), "quillon config verify sample.xml --app '" + header[1].str() + "' --version '" +
                                              header[2].str() + "'");
    EXPECT_EQ(run.out, "valid\n") << run.err;
}
