// Protection mode: files saved signed verify on load, and any change to the
// signed bytes or to the layout around the attribute makes them invalid.
#include <gtest/gtest.h>

#include <string>

#include "config_test_files.h"

using quillon::SetupConfig;
using quillon::test::ReadBytes;
using quillon::test::SelectedConfig;

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A signed file as Save writes it (the save tests compare their output with it byte for byte).
std::string SignedText() { return ReadBytes(QUILLON_TEST_DATA_DIR "/config/saved-signed.xml"); }

int32_t Verify(const std::string& text) {
    SelectedConfig config("Ledger", "4.2", true);
    config.LoadString(text);
    return config.signatureValid;
}

}  // namespace

TEST(ConfigSignature, OnlyTheUnchangedFileVerifies) {
    const std::string text = SignedText();
    const size_t digest = text.find("Signature=\"") + 11;
    std::string upper = text;
    for (size_t i = digest; i < digest + 32; ++i) upper[i] = static_cast<char>(std::toupper(upper[i]));
    std::string moved = Replace(Replace(text, " Version=\"4.2\"", ""), "\">\r\n\t\t<Port>", "\" Version=\"4.2\">\r\n\t\t<Port>");
    struct {
        const char* what;
        std::string text;
        int valid;
    } cases[] = {
        {"as saved", text, 1}, {"upper-case digits", upper, 1}, {"one byte of a node's text", Replace(text, "4200", "4201"), 0},
        {"a blank before the signature", Replace(text, "Version=\"4.2\"", "Version=\"4.2\" "), 0},
        {"LF line ends", Replace(text, "\r\n", "\n"), 0},
        {"the declaration", Replace(text, "<?xml version", "<?xml  version"), 0},
        {"Signature not the last attribute", moved, 0},
        {"a later Signature attribute", Replace(text, "<Port>", "<Port Signature=\"x\">"), 0},
        {"the final LF", text.substr(0, text.size() - 1) + "X", 0},
        {"a comment after the content", text + "<!-- x -->", 0},
        {"a second ROOT", text + "<ROOT><Application Name=\"Ledger\" Version=\"4.2\"/></ROOT>\r\n", 0},
        {"one more byte", text + "\n", 0}, {"an empty signature", std::string(text).erase(digest, 32), 0},
        {"no signature", quillon::test::SectionFile("Ledger", "4.2", "<A/>") + "\r\n", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Verify(c.text), c.valid) << c.what;
}

TEST(ConfigSignature, EachLoadInProtectionModeGivesItsOwnVerdict) {
    const std::string text = SignedText();
    SelectedConfig config("Ledger", "4.2", true);
    config.LoadString(text);
    ASSERT_EQ(config.signatureValid, 1);
    config.LoadString(quillon::test::SectionFile("Ledger", "4.2", "<A/>"));
    EXPECT_EQ(config.signatureValid, 0) << "a file without a signature after a signed one";
    EXPECT_TRUE(config.signature.IsNull());
    EXPECT_EQ(config.signatureStart, 0);
    config.LoadString(text);
    config.SetSignMode("protection");
    config.LoadString(Replace(text, "4200", "9999"));
    EXPECT_EQ(config.signatureValid, 1) << "without protection mode the old verdict stays";

    for (const char* mode : {"PROTECTION", "Protection ", "Protect", static_cast<const char*>(nullptr)}) {
        config.SetSignMode("Protection");
        config.SetSignMode(mode);
        EXPECT_EQ(config.GetSignMode(), 0) << (mode ? mode : "(null)");
    }
}

TEST(ConfigSignature, DigestStaysInsideTheText) {
    // The end tag of ROOT is the last byte: contentEnd lies 2 bytes past the
    // text, and positions left from a longer earlier file lie further out.
    SelectedConfig config("A", "1", true);
    const std::string text = "<ROOT><Application Name=\"A\" Version=\"1\" Signature=\"x\">\r\n</Application></ROOT>";
    config.LoadString(text);
    EXPECT_EQ(config.contentEnd, static_cast<int32_t>(text.size()) + 2);
    EXPECT_EQ(config.signatureValid, 0);
    config.signatureStart = 5;
    config.signatureEnd = 1000000;
    config.contentEnd = 2000000;
    config.signature = "d41d8cd98f00b204e9800998ecf8427e";
    config.VerifySignature("", 0);  // nothing to digest: the digest of no bytes
    EXPECT_EQ(config.signatureValid, 1);

    quillon::XmlWriter header, content;
    header.Append("<H>\r\n");
    content.Append("abc");
    // "<H" + "abc"; md5("<Habc") computed independently.
    EXPECT_STREQ(SetupConfig::MakeSignature(header, content).Text(), "f8ee2c4ddceb9f6cc4234edba6598e74");
    EXPECT_TRUE(SetupConfig::MakeSignature(quillon::XmlWriter(), content).IsNull());
}
