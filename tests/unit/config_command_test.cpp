// quillon config show|sign|verify: output format and exit status of the
// built tool.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "config_test_files.h"
#include "tool_run.h"

using quillon::test::Crlf;
using quillon::test::ReadBytes;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;

namespace {

using quillon::test::ToolRun;

class ConfigCommand : public ::testing::Test {
protected:
    ToolRun Run(const std::string& arguments) { return quillon::test::RunQuillon("config " + arguments); }
    std::string Input(const std::string& name, const std::string& content) {
        std::string path = folder.File(name);
        WriteBytes(path, content);
        return "'" + path + "'";
    }
    TempFolder folder;
};

const char kConfig[] =
    "<?xml version=\"1.0\"?>\n<ROOT>\n"
    " <Application Name=\"Ledger\" Version=\"4.1\"><Old>x</Old></Application>\n"
    " <Application Name=\"Ledger\" Version=\"4.2\">\n"
    "  <Product>Ledger &amp; Co</Product>\n"
    "  <Configuration>\n"
    "   <Component><Name>Client</Name><Empty></Empty><Quote>say \"\xE9\"\t</Quote></Component>\n"
    "  </Configuration>\n"
    " </Application>\n</ROOT>\n";

}  // namespace

TEST_F(ConfigCommand, ShowPrintsOneLinePerNodeWithJsonText) {
    ToolRun run = Run("show " + Input("c.xml", kConfig) + " --app Ledger --version 4.2");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Product \"Ledger & Co\"\n"
              "Configuration \"\\n   \\n  \"\n"
              "  Component\n"
              "    Name \"Client\"\n"
              "    Empty\n"
              "    Quote \"say \\\"\\u00E9\\\"\\t\"\n");
}

TEST_F(ConfigCommand, ShowAfterXmlErrorPrintsThePartialTree) {
    ToolRun run = Run("show " + Input("c.xml", "<ROOT><Application Name=\"A\" Version=\"1\"><X>1</X><Y><Z>") +
                      " --version 1 --app A");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "X \"1\"\nY\n  Z\n");
    EXPECT_NE(run.err.find("XML error"), std::string::npos);
}

TEST_F(ConfigCommand, ShowWithoutMatchingSectionPrintsNothing) {
    ToolRun run = Run("show " + Input("c.xml", kConfig) + " --app Ledger --version 4.20");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("no Application"), std::string::npos);
}

TEST_F(ConfigCommand, UnreadableFileOrBadArgumentsExitTwo) {
    for (const std::string& args :
         {"show '" + folder.File("missing.xml") + "' --app A --version 1", "show " + Input("empty.xml", "") + " --app A --version 1",
          "sign '" + folder.File("missing.xml") + "' --app A --version 1",
          "verify '" + folder.File("missing.xml") + "' --app A --version 1",
          "verify " + Input("c.xml", kConfig) + " --app Payroll --version 4.2",  // no such section
          std::string("show --app A --version 1"),
          "show " + Input("c.xml", kConfig) + " --app A", "show " + Input("c.xml", kConfig) + " --app A --version",
          std::string("frobnicate"), std::string("")}) {
        ToolRun run = Run(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err, "") << args;
    }
}

TEST_F(ConfigCommand, HelpForEachAction) {
    for (const char* args : {"--help", "show --help", "sign -h", "verify --help"}) {
        ToolRun run = Run(args);
        EXPECT_EQ(run.status, 0) << args;
        EXPECT_NE(run.out.find("quillon config verify FILE"), std::string::npos) << args;
    }
}

TEST_F(ConfigCommand, SignThenVerifyThenTamper) {
    std::string in = Input("c.xml", kConfig);
    std::string out = folder.File("signed.xml");
    ToolRun sign = Run("sign " + in + " --app Ledger --version 4.2 -o '" + out + "'");
    ASSERT_EQ(sign.status, 0) << sign.err;
    std::string signedText = ReadBytes(out);
    EXPECT_EQ(signedText.find(Crlf("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<ROOT>\n"
                                   "\t<Application Name=\"Ledger\" Version=\"4.2\" Signature=\"")),
              0u);
    EXPECT_EQ(ReadBytes(folder.File("c.xml")), kConfig);  // -o leaves the input alone

    ToolRun valid = Run("verify '" + out + "' --app Ledger --version 4.2");
    EXPECT_EQ(valid.status, 0);
    EXPECT_EQ(valid.out, "valid\n");

    signedText[signedText.find("Client")] = 'K';
    WriteBytes(out, signedText);
    ToolRun invalid = Run("verify '" + out + "' --app Ledger --version 4.2");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.out, "invalid\n");

    ToolRun unsignedFile = Run("verify " + in + " --app Ledger --version 4.2");
    EXPECT_EQ(unsignedFile.status, 1);
    EXPECT_EQ(unsignedFile.out, "invalid\n");
}

TEST_F(ConfigCommand, SignOverTheInputReplacesIt) {
    std::string in = Input("c.xml", kConfig);
    ASSERT_EQ(Run("sign " + in + " --app Ledger --version 4.1").status, 0);
    std::string text = ReadBytes(folder.File("c.xml"));
    EXPECT_NE(text.find("\t\t<Old>x</Old>\r\n"), std::string::npos);
    EXPECT_EQ(text.find("4.2"), std::string::npos);
    EXPECT_EQ(Run("verify " + in + " --app Ledger --version 4.1").out, "valid\n");
}

TEST_F(ConfigCommand, SignWithoutSectionOrWithXmlErrorWritesNothing) {
    std::string out = folder.File("out.xml");
    ToolRun missing = Run("sign " + Input("c.xml", kConfig) + " --app Ledger --version 9 -o '" + out + "'");
    EXPECT_EQ(missing.status, 1);
    ToolRun broken = Run("sign " + Input("b.xml", "<ROOT><Application Name=\"A\" Version=\"1\"><X>") +
                         " --app A --version 1 -o '" + out + "'");
    EXPECT_EQ(broken.status, 2);
    ToolRun unwritable = Run("sign " + Input("c2.xml", kConfig) + " --app Ledger --version 4.2 -o '" +
                             folder.File("no/such/dir.xml") + "'");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_TRUE(ReadBytes(out).empty());
}

