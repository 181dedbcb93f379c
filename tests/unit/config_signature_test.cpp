// Protection mode: files saved signed verify on load, and any change to the
// signed bytes or to the layout around the attribute makes them invalid.
#include <gtest/gtest.h>

#include <string>

#include "config/setup_config.h"
#include "config_test_files.h"

using quillon::SetupConfig;
using quillon::TextString;
using quillon::XmlWriter;
using quillon::test::ReadBytes;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;

namespace {

class ConfigSignature : public ::testing::Test {
protected:
    // Saves a small signed configuration and returns its bytes.
    std::string SaveSigned() {
        SetupConfig config;
        config.appName = "Ledger";
        config.appVersion = "4.2";
        config.SetSignMode("Protection");
        config.tree.AddChild(&config.tree.root, "Port")->text = "4200";
        config.tree.AddChild(config.tree.AddChild(&config.tree.root, "Server"), "Host")->text = "srv & co";
        EXPECT_EQ(config.Save(TextString(path.c_str())), 1);
        return ReadBytes(path);
    }

    // Loads `bytes` in protection mode on a fresh object; signatureValid.
    int32_t Verify(const std::string& bytes, const char* version = "4.2") {
        WriteBytes(path, bytes);
        SetupConfig config;
        config.appName = "Ledger";
        config.appVersion = version;
        config.SetSignMode("Protection");
        config.Load(TextString(path.c_str()));
        return config.signatureValid;
    }

    TempFolder folder;
    std::string path = folder.File("signed.xml");
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST_F(ConfigSignature, SavedFileVerifiesAndTheGoldenFileToo) {
    EXPECT_EQ(Verify(SaveSigned()), 1);
    EXPECT_EQ(Verify(ReadBytes(QUILLON_TEST_DATA_DIR "/config/saved-signed.xml")), 1);
}

TEST_F(ConfigSignature, UpperCaseDigitsStillMatch) {
    std::string bytes = SaveSigned();
    size_t at = bytes.find("Signature=\"") + 11;
    for (size_t i = at; i < at + 32; ++i) bytes[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[i])));
    EXPECT_EQ(Verify(bytes), 1);
}

TEST_F(ConfigSignature, ChangesToSignedBytesOrLayoutAreInvalid) {
    const std::string bytes = SaveSigned();
    EXPECT_EQ(Verify(Replace(bytes, "4200", "4201")), 0) << "one byte of a node's text";
    EXPECT_EQ(Verify(Replace(bytes, "Version=\"4.2\"", "Version=\"4.2\" ")), 0) << "blank before the signature";
    EXPECT_EQ(Verify(Replace(bytes, "\r\n", "\n")), 0) << "LF line ends";
    EXPECT_EQ(Verify(Replace(bytes, "<?xml version=\"1.0\"", "<?xml  version=\"1.0\"")), 0) << "declaration";
    std::string moved = Replace(bytes, " Version=\"4.2\"", "");
    moved = Replace(moved, "\">\r\n\t\t<Port>", "\" Version=\"4.2\">\r\n\t\t<Port>");
    EXPECT_EQ(Verify(moved), 0) << "Signature not the last attribute";
    EXPECT_EQ(Verify(Replace(bytes, "<Port>", "<Port Signature=\"x\">")), 0) << "a later Signature attribute";
    EXPECT_EQ(Verify(bytes.substr(0, bytes.size() - 1) + "X"), 0) << "the final LF";
    EXPECT_EQ(Verify(bytes + "<!-- x -->"), 0) << "a comment after the content";
    EXPECT_EQ(Verify(bytes + "<ROOT><Application Name=\"Ledger\" Version=\"4.2\"/></ROOT>\r\n"), 0) << "a second ROOT";
    EXPECT_EQ(Verify(bytes + "\n"), 0) << "one more byte after the content";
}

TEST_F(ConfigSignature, EmptyOrMissingSignatureIsNotValid) {
    std::string bytes = SaveSigned();
    size_t at = bytes.find("Signature=\"") + 11;
    EXPECT_EQ(Verify(std::string(bytes).erase(at, 32)), 0);

    // A file without a signature is never valid in protection mode, also
    // when the same object verified a signed file just before.
    SetupConfig config;
    config.appName = "Ledger";
    config.appVersion = "4.2";
    config.SetSignMode("Protection");
    std::string unsigned_ = folder.File("unsigned.xml");
    WriteBytes(unsigned_, "<ROOT><Application Name=\"Ledger\" Version=\"4.2\"><A/></Application></ROOT>\r\n");
    config.Load(TextString(unsigned_.c_str()));
    EXPECT_EQ(config.signatureValid, 0);
    SaveSigned();
    config.Load(TextString(path.c_str()));
    EXPECT_EQ(config.signatureValid, 1);
    config.Load(TextString(unsigned_.c_str()));
    EXPECT_EQ(config.signatureValid, 0);
    EXPECT_TRUE(config.signature.IsNull());
    EXPECT_EQ(config.signatureStart, 0);
}

TEST_F(ConfigSignature, OnlyProtectionModeVerifies) {
    const std::string bytes = SaveSigned();
    SetupConfig config;
    config.appName = "Ledger";
    config.appVersion = "4.2";
    config.SetSignMode("Protection");
    config.Load(TextString(path.c_str()));
    ASSERT_EQ(config.signatureValid, 1);
    WriteBytes(path, Replace(bytes, "4200", "9999"));
    config.SetSignMode("protection");
    config.Load(TextString(path.c_str()));
    EXPECT_EQ(config.signatureValid, 1) << "without protection mode the old verdict stays";
}

TEST_F(ConfigSignature, SignModeNeedsTheExactWord) {
    SetupConfig config;
    for (const char* mode : {"PROTECTION", "protection", "Protection ", " Protection", "", "Protect"}) {
        config.SetSignMode("Protection");
        config.SetSignMode(mode);
        EXPECT_EQ(config.GetSignMode(), 0) << "[" << mode << "]";
    }
    config.SetSignMode("Protection");
    config.SetSignMode(nullptr);
    EXPECT_EQ(config.GetSignMode(), 0);
    config.SetSignMode("Protection");
    EXPECT_EQ(config.GetSignMode(), 1);
}

TEST(ConfigSignatureBounds, DigestStopsAtTheEndOfTheText) {
    // The end tag of ROOT is the last byte: contentEnd lies 2 bytes past the
    // text, and positions left from a longer earlier file lie further out.
    SetupConfig config;
    config.appName = "A";
    config.appVersion = "1";
    config.SetSignMode("Protection");
    std::string text = "<ROOT><Application Name=\"A\" Version=\"1\" Signature=\"x\">\r\n</Application></ROOT>";
    config.LoadText(text.c_str(), static_cast<int32_t>(text.size()));
    EXPECT_EQ(config.contentEnd, static_cast<int32_t>(text.size()) + 2);
    EXPECT_EQ(config.signatureValid, 0);

    config.signatureStart = 5;
    config.signatureEnd = 1000000;
    config.contentEnd = 2000000;
    config.signature = "d41d8cd98f00b204e9800998ecf8427e";
    config.VerifySignature("", 0);  // nothing to digest: the digest of no bytes
    EXPECT_EQ(config.signatureValid, 1);
}

TEST(ConfigSignatureMake, DigestOfHeaderWithoutItsEndAndContent) {
    XmlWriter header;
    header.Append("<H>\r\n");
    XmlWriter content;
    content.Append("abc");
    // "<H" + "abc"; md5("<Habc") computed independently.
    EXPECT_STREQ(SetupConfig::MakeSignature(header, content).Text(), "f8ee2c4ddceb9f6cc4234edba6598e74");
    EXPECT_TRUE(SetupConfig::MakeSignature(XmlWriter(), content).IsNull());
}
