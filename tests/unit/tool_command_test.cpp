// The quillon tool as a user runs it. Each case is a line "$ COMMAND" and
// what it prints:
// - tests/data/tool/*.t, one transcript per command: standard output, then
//   standard error with "! " before each line, then "[exit N]" unless the
//   status is 0. Lines "# ..." are comments.
// - every example the tool's help texts and the documents show: standard
//   error merged into standard output, as a terminal shows them. Help texts
//   indent by two blanks and end an example at a blank line; Markdown holds
//   them in ``` blocks.
// The cases of one source run in order in one folder that holds copies of
// examples/ and of the fixtures in tests/data/tool.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "config_test_files.h"
#include "quillon_version.h"

namespace {

namespace fs = std::filesystem;
using quillon::test::ReadBytes;

const std::string kSource = std::string(QUILLON_TEST_DATA_DIR) + "/../..";

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `text` as a user types it, under /bin/sh in `folder` with standard
// input empty and the built tool first on PATH; the status is that of its
// last command. In a cross build `quillon` is a shell function that starts
// the tool through the emulator. ctest runs tests in parallel processes, so
// the output files are per folder and per call.
ToolRun RunShell(const std::string& folder, const std::string& text) {
    static int calls = 0;
    std::string stem = folder + "/.run" + std::to_string(++calls);
    std::string tool = QUILLON_TOOL_PATH;
    std::string launcher = QUILLON_TOOL_LAUNCHER;
    std::string setup = launcher.empty() ? "PATH='" + tool.substr(0, tool.rfind('/')) + "':\"$PATH\""
                                         : "quillon() { " + launcher + " '" + tool + "' \"$@\"; }";
    std::string command = "cd '" + folder + "' && " + setup + " && { " + text + "\n} >'" + stem + ".out' 2>'" + stem +
                          ".err' </dev/null";
    ToolRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(stem + ".out");
    run.err = ReadBytes(stem + ".err");
    std::remove((stem + ".out").c_str());
    std::remove((stem + ".err").c_str());
    return run;
}

struct Case {
    std::string command;
    std::string out;
    std::string err;
    int status = 0;
};

enum class Source { kTranscript, kHelp, kMarkdown };

std::vector<Case> ParseCases(const std::string& text, Source source) {
    std::vector<Case> cases;
    std::istringstream lines(text);
    const std::string indent = source == Source::kHelp ? "  " : "";
    bool inBlock = source != Source::kMarkdown;  // Markdown: inside a ``` block
    bool inOutput = false;
    std::smatch exit;
    for (std::string line; std::getline(lines, line);) {
        if (source == Source::kMarkdown && line.rfind("```", 0) == 0) inBlock = !inBlock;
        if (source == Source::kTranscript && line.rfind("# ", 0) == 0) continue;
        bool command = inBlock && line.rfind(indent + "$ ", 0) == 0;
        inOutput = command || (inOutput && inBlock && line.rfind(indent, 0) == 0 && (!line.empty() || indent.empty()));
        if (command) {
            cases.emplace_back();
            cases.back().command = line.substr(indent.size() + 2);
        } else if (!inOutput) {
        } else if (source != Source::kTranscript) {
            cases.back().out += line.substr(indent.size()) + "\n";
        } else if (line.rfind("! ", 0) == 0) {
            cases.back().err += line.substr(2) + "\n";
        } else if (std::regex_match(line, exit, std::regex("\\[exit ([0-9]+)\\]"))) {
            cases.back().status = std::stoi(exit[1]);
        } else {
            cases.back().out += std::regex_replace(line, std::regex("@QUILLON_VERSION@"), QUILLON_VERSION) + "\n";
        }
    }
    return cases;
}

void RunCases(const std::vector<Case>& cases, Source source, const std::string& where) {
    quillon::test::TempFolder folder;
    fs::copy(kSource + "/examples", folder.File("examples"));
    for (const auto& fixture : fs::directory_iterator(kSource + "/tests/data/tool"))
        if (fixture.path().extension() != ".t") fs::copy(fixture.path(), folder.Path());
    for (const Case& expected : cases) {
        bool merged = source != Source::kTranscript;
        ToolRun run = RunShell(folder.Path(), merged ? "{ " + expected.command + "\n} 2>&1" : expected.command);
        EXPECT_EQ(run.out, expected.out) << where << ": $ " << expected.command;
        if (merged) continue;
        EXPECT_EQ(run.err, expected.err) << where << ": $ " << expected.command;
        EXPECT_EQ(run.status, expected.status) << where << ": $ " << expected.command;
    }
}

class Transcript : public ::testing::TestWithParam<std::string> {};

std::vector<std::string> TranscriptNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kSource + "/tests/data/tool"))
        if (entry.path().extension() == ".t") names.push_back(entry.path().stem().string());
    return names;
}

}  // namespace

TEST_P(Transcript, PrintsWhatItShows) {
    std::string path = kSource + "/tests/data/tool/" + GetParam() + ".t";
    std::vector<Case> cases = ParseCases(ReadBytes(path), Source::kTranscript);
    EXPECT_GT(cases.size(), 1u) << path;
    RunCases(cases, Source::kTranscript, path);
}

INSTANTIATE_TEST_SUITE_P(Tool, Transcript, ::testing::ValuesIn(TranscriptNames()), [](const auto& info) {
    return std::regex_replace(info.param, std::regex("-"), "_");
});

TEST(ToolExamples, EveryCommandHelpRunsItsExamples) {
    quillon::test::TempFolder folder;  // the runs' output files are private to this test
    ToolRun usage = RunShell(folder.Path(), "quillon --help");
    std::string rest = usage.out.substr(usage.out.find("commands:"));
    int commands = 0;
    std::smatch found;
    for (std::regex entry("\n  ([a-z-]+) "); std::regex_search(rest, found, entry); rest = found.suffix(), ++commands) {
        std::string name = found[1];
        ToolRun help = RunShell(folder.Path(), "quillon help " + name);
        EXPECT_EQ(help.out, RunShell(folder.Path(), "quillon " + name + " --help").out) << name;
        EXPECT_NE(help.out.find("Exit status:"), std::string::npos) << name;
        std::vector<Case> cases = ParseCases(help.out, Source::kHelp);
        EXPECT_FALSE(cases.empty()) << name;
        RunCases(cases, Source::kHelp, "quillon help " + name);
    }
    EXPECT_EQ(commands, 4);
}

TEST(ToolExamples, TheDocumentsRunTheirExamples) {
    std::vector<std::string> documents = {kSource + "/README.md"};
    for (const auto& entry : fs::directory_iterator(kSource + "/docs"))
        if (entry.path().extension() == ".md") documents.push_back(entry.path().string());
    for (const std::string& document : documents) {
        std::string text = ReadBytes(document);
        std::vector<Case> cases = ParseCases(text, Source::kMarkdown);
        size_t shown = 0;
        for (size_t at = text.find("\n$ "); at != std::string::npos; at = text.find("\n$ ", at + 1)) ++shown;
        EXPECT_EQ(cases.size(), shown) << document;
        RunCases(cases, Source::kMarkdown, document);
    }
}

// The signed sample in the documentation verifies, saved as Save writes it.
TEST(ToolExamples, TheDocumentedSignatureVerifies) {
    std::string text = ReadBytes(kSource + "/docs/configuration.md");
    std::smatch sample;
    ASSERT_TRUE(std::regex_search(text, sample, std::regex("```xml\n([^`]*Name=\"([^\"]*)\" Version=\"([^\"]*)\" Signature[^`]*)```")));
    quillon::test::TempFolder folder;
    quillon::test::WriteBytes(folder.File("sample.xml"), quillon::test::Crlf(sample[1]));
    ToolRun run = RunShell(folder.Path(), "quillon config verify sample.xml --app '" + sample[2].str() + "' --version '" +
                                              sample[3].str() + "'");
    EXPECT_EQ(run.out, "valid\n") << run.err;
}
