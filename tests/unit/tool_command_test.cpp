// The quillon tool as a user runs it: every command's output, messages and
// exit status, one table row per case. Rows run in order in one folder, so
// a row may use what an earlier row wrote.
#include <gtest/gtest.h>

#include <string>

#include "config_test_files.h"
#include "tool_run.h"

namespace {

using quillon::test::RunShell;
using quillon::test::ToolRun;
using quillon::test::WriteBytes;

struct Row {
    const char* shell;  // run with the tool on PATH
    const char* out;
    const char* err;
    int status;
};

class Tool : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(folder.File("c.xml"),
                   "<?xml version=\"1.0\"?>\n<ROOT>\n"
                   " <Application Name=\"Ledger\" Version=\"4.1\"><Old>x</Old></Application>\n"
                   " <Application Name=\"Ledger\" Version=\"4.2\">\n"
                   "  <Product>Ledger &amp; Co</Product>\n"
                   "  <Component><Name>Client</Name><Empty></Empty><Quote>say \"\xE9\x80\"\t</Quote></Component>\n"
                   " </Application>\n</ROOT>\n");
        WriteBytes(folder.File("broken.xml"), "<ROOT><Application Name=\"A\" Version=\"1\"><X>1</X><Y><Z>");
        WriteBytes(folder.File("bytes.xml"), "<?xml version='1.0' encoding='x'?>\n<a>\x01\"\\\t\xE9\x80&e;</a><b");
        WriteBytes(folder.File("deep.txt"), std::string(100000, '(') + "1" + std::string(100000, ')'));
        WriteBytes(folder.File("empty.xml"), "");
    }
    template <size_t N>
    void Check(const Row (&rows)[N]) {
        for (const Row& row : rows) {
            ToolRun run = RunShell(folder.Path(), row.shell);
            EXPECT_EQ(run.out, row.out) << row.shell;
            EXPECT_EQ(run.err, row.err) << row.shell;
            EXPECT_EQ(run.status, row.status) << row.shell;
        }
    }

    quillon::test::TempFolder folder;
};

const char kSigned41[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ROOT>\r\n"
    "\t<Application Name=\"Ledger\" Version=\"4.1\" Signature=\"577b9c26bffca6370c5485ac3cbae740\">\r\n"
    "\t\t<Old>x</Old>\r\n\t</Application>\r\n</ROOT>\r\n";

}  // namespace

TEST_F(Tool, XmlEvents) {
    const Row rows[] = {
        {"printf '<a x=\"a&amp;b\"/>' | quillon xml-events -",
         "1 0\n3 2 \"a\"\n11 4 \"x\"\n13 7 \"a\"\n9 12 \"amp\" \"&\"\n13 14 \"b\"\n5 14 \"x\" \"a&amp;b\"\n"
         "12 14\n10 16\n4 16\n2 16\nresult 0\n", "", 0},
        // Fields are JSON strings of Windows-1252 text (0x80 is the euro sign), or null.
        {"quillon xml-events bytes.xml",
         "1 0\n7 19 \"1.0\"\n8 32 \"x\"\n3 37 \"a\"\n10 38\n6 44 \"\\u0001\\\"\\\\\\t\\u00E9\\u20AC\"\n"
         "9 47 \"e\" null\n4 51\n2 51\nresult 0\n", "", 0},
        {"printf '<a>\\n<b>' | quillon xml-events -",
         "1 0\n3 2 \"a\"\n10 3\n6 4 \"\\n\"\n3 6 \"b\"\n10 7\nresult 1\n", "", 1},
        {"quillon xml-events --ascii-only bytes.xml", "",
         "quillon xml-events: 'bytes.xml': not ASCII (byte 0xE9 at offset 42); refused\n", 2},
        {"quillon xml-events .", "", "quillon xml-events: cannot read '.': Is a directory\n", 2},
        {"quillon xml-events --ascii-only .", "", "quillon xml-events: cannot read '.': Is a directory\n", 2},
        {"quillon xml-events missing.xml", "",
         "quillon xml-events: cannot read 'missing.xml': No such file or directory\n", 2},
        {"quillon xml-events bytes.xml >/dev/full", "",
         "quillon: cannot write to standard output: No space left on device\n", 2},
    };
    Check(rows);
}

TEST_F(Tool, ScriptRun) {
    const Row rows[] = {
        {"quillon script run '1 + 2 + 3'", "number 6\n", "", 0},
        {"quillon script run '2 > 1 + 1'", "text \"TRUE1\"\n", "", 0},
        {"quillon script run '\"tab\there \\ \351\200\"'", "text \"tab\\there \\\\ \\u00E9\\u20AC\"\n", "", 0},
        {"quillon script run '5 +'", "number 5\n", "", 0},
        {"quillon script run 1,5", "none\n", "", 1},
        {"quillon script run -- --5 + 1", "", "quillon script run: more than one SCRIPT (quote the script)\n"
                                          "Try 'quillon script --help'.\n", 2},
        {"quillon script run -- '--5 + 1'", "number 1\n", "", 0},
        {"quillon script run -- --help", "none\n", "", 1},
        {"quillon script run --set v=multipart:5.1.2 --set w=multipart:5.1.10 'v > w'", "number 0\n", "", 0},
        {"quillon script run --set n=long:12abc 'n + 1'", "number 13\n", "", 0},
        {"quillon script run --set s=string:a=b:c s", "text \"a=b:c\"\n", "", 0},
        {"printf '1 + 1' | quillon script run --file -", "number 2\n", "", 0},
        {"quillon script run \"MsgBox \\\"a$(printf '\\033')b\\\" MsgBox 7\"", "none\n", "Info: a\\x1Bb\nInfo: 7\n", 1},
        {"quillon script run --trace 'long x x = (5 + 3) x + 1'",
         "items: op:long $x(none) $x(none) op:= (5 + 3) $x(none) op:+ long:1\n"
         "after long: $x(long:0) op:= (5 + 3) $x(long:0) op:+ long:1\n"
         "  items: long:5 op:+ long:3\n"
         "  after +: long:8\n"
         "after group: $x(long:0) op:= long:8 $x(long:0) op:+ long:1\n"
         "after =: $x(long:8) op:+ long:1\n"
         "after +: long:9\n"
         "number 9\n", "", 0},
        {"quillon script run --trace '1 > \"a\"'",
         "items: long:1 op:> string:\"a\"\nstopped at >: long:1 op:> string:\"a\"\nnumber 1\n", "", 0},
        {"quillon script run --file deep.txt", "none\n",
         "quillon script run: groups nested deeper than 64; the run was abandoned\n", 1},
        {"quillon script run --file .", "", "quillon script run: cannot read '.': Is a directory\n", 2},
    };
    Check(rows);
}

TEST_F(Tool, VersionCompare) {
    const Row rows[] = {
        {"quillon version compare 2.10 2.9", "1\n", "", 0},
        {"quillon version compare -- -1 1", "0\n", "", 0},
        {"quillon version compare 1a 1A", "0\n", "", 0},
        {"quillon version compare --explain 1.0 '12 beta'",
         "2\nfirst \"1.0\"\n  part 0: number 1, suffix absent\n  part 1: number 0, suffix absent\n"
         "  part 2: number 0, suffix \"\"\n  part 3: number 0, suffix \"\"\n"
         "second \"12 beta\"\n  part 0: number 12, suffix \"beta\"\n  part 1: number 0, suffix \"\"\n"
         "  part 2: number 0, suffix \"\"\n  part 3: number 0, suffix \"\"\n", "", 0},
    };
    Check(rows);
}

TEST_F(Tool, Config) {
    const Row rows[] = {
        {"quillon config show c.xml --app Ledger --version 4.2",
         "Product \"Ledger & Co\"\nComponent\n  Name \"Client\"\n  Empty\n  Quote \"say \\\"\\u00E9\\u20AC\\\"\\t\"\n", "", 0},
        {"quillon config show broken.xml --version 1 --app A", "X \"1\"\nY\n  Z\n",
         "quillon config show: 'broken.xml': XML error at byte 54\n", 1},
        // One set of exit codes: 3 when no section matches, for every command.
        {"quillon config show c.xml --app Ledger --version 4.20", "",
         "quillon config show: no Application with Name 'Ledger' and Version '4.20' in 'c.xml'\n", 3},
        {"quillon config sign c.xml --app Ledger --version 9", "",
         "quillon config sign: no Application with Name 'Ledger' and Version '9' in 'c.xml'\n", 3},
        {"quillon config verify c.xml --app Payroll --version 4.2", "",
         "quillon config verify: no Application with Name 'Payroll' and Version '4.2' in 'c.xml'\n", 3},
        {"quillon config sign broken.xml --app A --version 1 -o out.xml; test -e out.xml || echo none written",
         "none written\n", "quillon config sign: 'broken.xml': XML error at byte 54\n", 0},
        {"quillon config show missing.xml --app A --version 1", "",
         "quillon config show: cannot read 'missing.xml': No such file or directory\n", 2},
        {"quillon config verify empty.xml --app A --version 1", "",
         "quillon config verify: cannot read 'empty.xml': it is empty\n", 2},
        // Without -o the signed section goes to standard output; FILE stays as it is.
        {"quillon config sign c.xml --app Ledger --version 4.1", kSigned41, "", 0},
        {"quillon config sign c.xml --app Ledger --version 4.1 | quillon config verify - --app Ledger --version 4.1",
         "valid\n", "", 0},
        {"quillon config verify c.xml --app Ledger --version 4.1", "invalid\n", "", 1},
        {"quillon config sign c.xml --app Ledger --version 4.1 -o s.xml && sed 's/x</y</' s.xml > t.xml && "
         "quillon config verify t.xml --app Ledger --version 4.1",
         "invalid\n", "", 1},
        {"quillon config sign c.xml --app Ledger --version 4.2 -o no/such/dir.xml", "",
         "quillon config sign: cannot write 'no/such/dir.xml': No such file or directory\n", 2},
        // --in-place refuses to drop what the file holds beside the section, and leaves it untouched.
        {"cp c.xml d.xml; quillon config sign d.xml --app Ledger --version 4.2 --in-place; echo $?; cmp c.xml d.xml",
         "2\n",
         "quillon config sign: refusing to overwrite 'd.xml': it holds a second element below ROOT ('Application') "
         "at byte 99, which the saved section would drop (write elsewhere with -o OUT, or add --force)\n", 0},
        {"quillon config sign d.xml --app Ledger --version 4.1 -o d.xml; echo $?; cmp c.xml d.xml", "2\n",
         "quillon config sign: refusing to overwrite 'd.xml': it holds a second element below ROOT ('Application') "
         "at byte 99, which the saved section would drop (write elsewhere with -o OUT, or add --force)\n", 0},
        {"quillon config sign d.xml --app Ledger --version 4.1 --in-place --force && cat d.xml", kSigned41, "", 0},
        // A file that holds only its section is re-signed in place.
        {"sed 's/Signature=\"[0-9a-f]*\"/Signature=\"0\"/' s.xml > e.xml && "
         "quillon config sign e.xml --app Ledger --version 4.1 --in-place && cmp e.xml s.xml && echo same",
         "same\n", "", 0},
        {"quillon config show c.xml --app Ledger --version 4.2 >/dev/full", "",
         "quillon: cannot write to standard output: No space left on device\n", 2},
    };
    Check(rows);
}

// Every wrong argument is named, followed by one line pointing to the help;
// nothing runs and nothing goes to standard output.
TEST_F(Tool, UsageErrors) {
    const struct {
        const char* shell;
        const char* message;
    } rows[] = {
        {"quillon", "quillon: missing COMMAND"},
        {"quillon frobnicate", "quillon: unknown command 'frobnicate'"},
        {"quillon \"$(printf 'a\\033b')\"", "quillon: unknown command 'a\\x1Bb'"},
        {"quillon config", "quillon config: missing show, sign or verify"},
        {"quillon config walk c.xml", "quillon config: unknown subcommand 'walk'"},
        {"quillon config show c.xml --app A", "quillon config show: missing --version VERSION"},
        {"quillon config show c.xml --version 1", "quillon config show: missing --app NAME"},
        {"quillon config show c.xml --app A --version", "quillon config show: option '--version' needs a value"},
        {"quillon config show --app A --version 1", "quillon config show: missing FILE"},
        {"quillon config show c.xml c.xml --app A --version 1", "quillon config show: more than one FILE"},
        {"quillon config show c.xml --app A --app B --version 1", "quillon config show: option '--app' given twice"},
        {"quillon config verify c.xml --app A --version 1 --in-place", "quillon config verify: unknown option '--in-place'"},
        {"quillon config sign c.xml --app A --version 1 -o ''",
         "quillon config sign: option '-o' needs a file name (- for standard output)"},
        {"quillon config sign c.xml --app A --version 1 -o x --in-place",
         "quillon config sign: give -o OUT or --in-place, not both"},
        {"quillon config sign - --app A --version 1 --in-place",
         "quillon config sign: --in-place needs a FILE, not standard input"},
        {"quillon config sign c.xml --app A --version 1 --force", "quillon config sign: --force applies only with --in-place"},
        {"quillon script", "quillon script: missing 'run'"},
        {"quillon script walk 1", "quillon script: unknown subcommand 'walk'"},
        {"quillon script run", "quillon script run: missing SCRIPT"},
        {"quillon script run 1 2", "quillon script run: more than one SCRIPT (quote the script)"},
        {"quillon script run --set x=float:1 x",
         "quillon script run: bad --set 'x=float:1' (want NAME=TYPE:VALUE, TYPE string, long or multipart)"},
        {"quillon script run --set =long:1 x",
         "quillon script run: bad --set '=long:1' (want NAME=TYPE:VALUE, TYPE string, long or multipart)"},
        {"quillon script run x --set", "quillon script: option '--set' needs a value"},
        {"quillon script run --sett x", "quillon script: unknown option '--sett'"},
        {"quillon script run --trace=1 x", "quillon script: option '--trace' takes no value"},
        {"quillon script run --file deep.txt x", "quillon script run: give either SCRIPT or --file PATH"},
        {"quillon version", "quillon version: missing 'compare'"},
        {"quillon version equal 1 2", "quillon version: unknown subcommand 'equal'"},
        {"quillon version compare 1", "quillon version compare: expected FIRST and SECOND"},
        {"quillon version compare -1 1", "quillon version: unknown option '-1'"},
        {"quillon xml-events", "quillon xml-events: missing FILE"},
        {"quillon xml-events a b", "quillon xml-events: more than one FILE"},
        {"quillon xml-events --ascii-only --ascii-only c.xml", "quillon xml-events: option '--ascii-only' given twice"},
    };
    for (const auto& row : rows) {
        // "quillon config show: ..." points to `quillon config --help`.
        std::string who = std::string(row.message).substr(0, std::string(row.message).find(':'));
        std::string help = who.substr(0, who.find(' ', 8));
        ToolRun run = RunShell(folder.Path(), row.shell);
        EXPECT_EQ(run.err, std::string(row.message) + "\nTry '" + help + " --help'.\n") << row.shell;
        EXPECT_EQ(run.out, "") << row.shell;
        EXPECT_EQ(run.status, 2) << row.shell;
    }
}
