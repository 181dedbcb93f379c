// The quillon tool's "script run" command, run as a separate process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tool_run.h"

namespace {

using Outcome = quillon::test::ToolRun;

Outcome Quillon(const std::vector<std::string>& args) { return quillon::test::RunQuillon(args); }

}  // namespace

TEST(ScriptCommand, PrintsWhatExecuteWouldHandBack) {
    struct Case {
        std::vector<std::string> args;
        const char* out;
        int status;
    };
    const Case cases[] = {
        {{"script", "run", "1 + 2 + 3"}, "number 6\n", 0},
        {{"script", "run", "2 > 1 + 1"}, "text \"TRUE1\"\n", 0},
        {{"script", "run", "2 > 1"}, "number 1\n", 0},
        {{"script", "run", "\"\""}, "text \"\"\n", 0},
        {{"script", "run", "\"tab\there \\ \xE9\""}, "text \"tab\\there \\\\ \\u00E9\"\n", 0},
        {{"script", "run", "5 +"}, "number 5\n", 0},
        {{"script", "run", "1,5"}, "none\n", 1},
        {{"script", "run", "undeclared"}, "none\n", 1},
        {{"script", "run", ""}, "none\n", 1},
        {{"script", "run", "--", "--5 + 1"}, "number 1\n", 0},
        {{"script", "run", "--set", "v=multipart:5.1.2", "--set", "w=multipart:5.1.10", "v > w"}, "number 0\n", 0},
        {{"script", "run", "--set", "n=long:12abc", "n + 1"}, "number 13\n", 0},
        {{"script", "run", "--set", "s=string:a=b:c", "s"}, "text \"a=b:c\"\n", 0},
        {{"script", "run", "--set", "s=string:", "s + \"!\""}, "text \"!\"\n", 0},
    };
    for (const Case& c : cases) {
        Outcome o = Quillon(c.args);
        EXPECT_EQ(o.out, c.out) << c.args.back();
        EXPECT_EQ(o.status, c.status) << c.args.back();
    }
}

TEST(ScriptCommand, MessagesGoToStandardError) {
    Outcome o = Quillon({"script", "run", "MsgBox \"hi there\" MsgBox 7"});
    EXPECT_EQ(o.out, "none\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Info: hi there\nInfo: 7\n");
}

TEST(ScriptCommand, TracesEveryReductionStep) {
    Outcome o = Quillon({"script", "run", "--trace", "long x x = (5 + 3) x + 1"});
    EXPECT_EQ(o.out,
              "items: op:long $x(none) $x(none) op:= (5 + 3) $x(none) op:+ long:1\n"
              "after long: $x(long:0) op:= (5 + 3) $x(long:0) op:+ long:1\n"
              "  items: long:5 op:+ long:3\n"
              "  after +: long:8\n"
              "after group: $x(long:0) op:= long:8 $x(long:0) op:+ long:1\n"
              "after =: $x(long:8) op:+ long:1\n"
              "after +: long:9\n"
              "number 9\n");
    EXPECT_EQ(o.status, 0);

    o = Quillon({"script", "run", "--trace", "1 > \"a\""});
    EXPECT_EQ(o.out, "items: long:1 op:> string:\"a\"\nstopped at >: long:1 op:> string:\"a\"\nnumber 1\n");
}

TEST(ScriptCommand, DeepNestingIsReportedNotFatal) {
    // Too long for a command line: the script comes from a file.
    char path[] = "/tmp/quillon-deep-script-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path) << std::string(100000, '(') << "1" << std::string(100000, ')');
    Outcome o = Quillon({"script", "run", "--file", path});
    std::remove(path);
    EXPECT_EQ(o.out, "none\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("nested deeper than 64"), std::string::npos) << o.err;
}

TEST(ScriptCommand, RejectsBadArguments) {
    const std::vector<std::string> bad[] = {
        {"script"},
        {"script", "walk", "1"},
        {"script", "run"},
        {"script", "run", "1", "2"},
        {"script", "run", "--set", "x=float:1", "x"},
        {"script", "run", "--set", "novalue", "x"},
        {"script", "run", "--set", "=long:1", "x"},
        {"script", "run", "x", "--set"},
        {"script", "run", "--sett", "x"},
    };
    for (const auto& args : bad) {
        Outcome o = Quillon(args);
        EXPECT_EQ(o.status, 2) << args.back();
        EXPECT_EQ(o.out, "") << args.back();
        EXPECT_NE(o.err.find("usage: quillon script run"), std::string::npos) << args.back();
    }
    Outcome unreadable = Quillon({"script", "run", "--file", "/nonexistent/script"});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_NE(unreadable.err.find("cannot read"), std::string::npos);

    Outcome help = Quillon({"script", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: quillon script run"), std::string::npos);
}
