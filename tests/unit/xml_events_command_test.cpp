// quillon xml-events: the exact line format that tools parse, and the exit
// status. Runs the built tool.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "tool_run.h"

namespace {

using quillon::test::ToolRun;

std::string WriteInput(const std::string& name, const std::string& content) {
    std::string path = testing::TempDir() + "xml_events_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

ToolRun RunTool(const std::string& arguments) { return quillon::test::RunQuillon("xml-events " + arguments); }

}  // namespace

TEST(XmlEventsCommand, PrintsEveryEventWithPositionAndFields) {
    ToolRun run = RunTool(WriteInput("attr.xml", "<a x=\"a&amp;b\"/>"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "1 0\n"
              "3 2 \"a\"\n"
              "11 4 \"x\"\n"
              "13 7 \"a\"\n"
              "9 12 \"amp\" \"&\"\n"
              "13 14 \"b\"\n"
              "5 14 \"x\" \"a&amp;b\"\n"
              "12 14\n"
              "10 16\n"
              "4 16\n"
              "2 16\n"
              "result 0\n");
    EXPECT_EQ(run.err, "");
}

TEST(XmlEventsCommand, FieldsAreJsonStringsOrNull) {
    ToolRun run = RunTool(WriteInput("bytes.xml", "<?xml version='1.0' encoding='x'?>\n"
                                                  "<a>\x01\"\\\t\xE9&e;</a><b"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "1 0\n"
              "7 19 \"1.0\"\n"
              "8 32 \"x\"\n"
              "3 37 \"a\"\n"
              "10 38\n"
              "6 43 \"\\u0001\\\"\\\\\\t\\u00E9\"\n"
              "9 46 \"e\" null\n"
              "4 50\n"
              "2 50\n"
              "result 0\n");
}

TEST(XmlEventsCommand, AnErrorEndsTheEventsAndGivesStatusOne) {
    ToolRun run = RunTool(WriteInput("open.xml", "<a>\n<b>"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "1 0\n3 2 \"a\"\n10 3\n6 4 \"\\n\"\n3 6 \"b\"\n10 7\nresult 1\n");
}

TEST(XmlEventsCommand, UsageAndUnreadableFiles) {
    ToolRun missing = RunTool("'" + testing::TempDir() + "no-such-file.xml'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;

    EXPECT_EQ(RunTool("").status, 2);
    std::string file = WriteInput("ok.xml", "<a/>");
    EXPECT_EQ(RunTool(file + " " + file).status, 2);
    EXPECT_EQ(RunTool("--bogus " + file).status, 2);

    ToolRun help = RunTool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: quillon xml-events"), std::string::npos);
}

TEST(XmlEventsCommand, AsciiOnlyRefusesHighBytes) {
    std::string ascii = WriteInput("ascii.xml", "<a>t</a>");
    ToolRun plain = RunTool(ascii);
    ToolRun checked = RunTool("--ascii-only " + ascii);
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.out, plain.out) << "ASCII input is read as without the option";

    std::string utf16 = WriteInput("utf16.xml", std::string("\xFF\xFE<\0a\0/\0>\0", 10));
    ToolRun refused = RunTool("--ascii-only " + utf16);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("byte 0xFF at offset 0"), std::string::npos) << refused.err;

    std::string latin = WriteInput("latin.xml", "<a>caf\xE9</a>");
    EXPECT_EQ(RunTool(latin).status, 0) << "without the option the byte is simply read";
    EXPECT_EQ(RunTool(latin + " --ascii-only").status, 2);
}
