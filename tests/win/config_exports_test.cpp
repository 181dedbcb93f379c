// The configuration exports of the built Quillon.dll, called the way an
// installer calls them, from Init to Write2XML: handles, texts and buffers
// across the boundary, and the walking rules the exports add to the tree.
// The loading and saving rules themselves are the native tests'.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../unit/config_test_files.h"
#include "dll_export.h"
#include "platform/file_io.h"

namespace {

using quillon::test::ReadBytes;
using quillon::test::SelectedConfig;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;
using Handle = ULONG_PTR;

const char kConfig[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ROOT>\r\n"
    "\t<Application Name=\"Ledger\" Version=\"4.1\"><Old/></Application>\r\n"
    "\t<Application Name=\"Ledger\" Version=\"4.2\">\r\n"
    "\t\t<Product>Ledger</Product>\r\n"
    "\t\t<Server><Host>srv</Host><Port>4200</Port></Server>\r\n"
    "\t\t<Configuration><Component><Name>Client</Name></Component>"
    "<Component><Name>Help</Name></Component></Configuration>\r\n"
    "\t</Application>\r\n</ROOT>\r\n";

class ConfigExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module, nullptr) << "Quillon.dll next to the test executable"; }
    void TearDown() override { FreeLibrary(module); }

    std::string TypeOf(Handle node) {
        char buffer[256] = "<unchanged>";
        EXPECT_EQ(GetNodeType(node, buffer), 1);
        return buffer;
    }
    std::string TextOf(Handle node) {
        char buffer[256] = "<unchanged>";
        EXPECT_EQ(GetNodeText(node, buffer), 1);
        return buffer;
    }
    // Names of a node's children through GetSubNode(node, "") and GetNextSubNode.
    std::string Walk(Handle node) {
        std::string names;
        for (Handle child = GetSubNode(node, ""); child != 0; child = GetNextSubNode(node))
            names += (names.empty() ? "" : ",") + TypeOf(child);
        return names;
    }
    Handle Selected(const char* mode) {
        Handle config = Init();
        EXPECT_EQ(SetAppName(config, "Ledger") + SetAppVersion(config, "4.2") + SetSignMode(config, mode), 3);
        return config;
    }

    HMODULE module = LoadLibraryA("Quillon.dll");
    Handle(__stdcall* Init)() = DllExport<decltype(Init)>(module, "Init");
    void(__stdcall* Release)(Handle) = DllExport<decltype(Release)>(module, "Release");
    using SetText = int(__stdcall*)(Handle, const char*);
    SetText SetAppName = DllExport<SetText>(module, "SetAppName");
    SetText SetAppVersion = DllExport<SetText>(module, "SetAppVersion");
    SetText SetSignMode = DllExport<SetText>(module, "SetSignMode");
    SetText Parse = DllExport<SetText>(module, "Parse");
    SetText Write2XML = DllExport<SetText>(module, "Write2XML");
    SetText SetNodeText = DllExport<SetText>(module, "SetNodeText");
    Handle(__stdcall* GetRoot)(Handle) = DllExport<decltype(GetRoot)>(module, "GetRoot");
    Handle(__stdcall* GetSubNode)(Handle, const char*) = DllExport<decltype(GetSubNode)>(module, "GetSubNode");
    Handle(__stdcall* GetNextSubNode)(Handle) = DllExport<decltype(GetNextSubNode)>(module, "GetNextSubNode");
    using GetInto = int(__stdcall*)(Handle, char*);
    GetInto GetNodeType = DllExport<GetInto>(module, "GetNodeType");
    GetInto GetNodeText = DllExport<GetInto>(module, "GetNodeText");
    Handle(__stdcall* AddChildNode)(Handle, const char*, const char*) = DllExport<decltype(AddChildNode)>(module, "AddChildNode");
    TempFolder folder;
};

}  // namespace

TEST_F(ConfigExports, HandleZeroIsAnsweredWithZero) {
    char buffer[8] = "keep";
    std::string file = folder.File("a.xml");
    EXPECT_EQ(SetAppName(0, "x") + SetAppVersion(0, "x") + SetSignMode(0, "x") + SetNodeText(0, "t"), 0);
    EXPECT_EQ(Parse(0, file.c_str()) + Write2XML(0, file.c_str()), 0);
    EXPECT_EQ(GetRoot(0) + GetSubNode(0, "") + GetNextSubNode(0) + AddChildNode(0, "n", "t"), 0u);
    EXPECT_EQ(GetNodeType(0, buffer) + GetNodeText(0, buffer), 0);
    Release(0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(folder.Entries().size(), 0u);
}

TEST_F(ConfigExports, InstallerSequence) {
    std::string path = folder.File("setup.xml"), saved = folder.File("saved.xml");
    WriteBytes(path, kConfig);
    Handle config = Selected("Protection");
    EXPECT_EQ(Parse(config, path.c_str()), 0);
    Handle root = GetRoot(config);
    EXPECT_EQ(TypeOf(root), "<unchanged>") << "the root has no name";
    EXPECT_EQ(Walk(root), "Product,Server,Configuration");
    Handle server = GetSubNode(root, "server");  // without regard to case
    EXPECT_EQ(TypeOf(server), "Server");
    EXPECT_EQ(TextOf(GetSubNode(server, "Port")), "4200");
    Handle configuration = GetSubNode(root, "Configuration");
    EXPECT_EQ(TextOf(GetSubNode(GetSubNode(configuration, "Component"), "Name")), "Client");
    EXPECT_EQ(TextOf(GetSubNode(GetNextSubNode(configuration), "")), "Help");

    Handle added = AddChildNode(server, "Timeout", "30");
    EXPECT_EQ(TextOf(added), "30");
    EXPECT_EQ(SetNodeText(GetSubNode(server, "Port"), "4300"), 1);
    EXPECT_EQ(SetNodeText(GetSubNode(root, "Product"), "Ledger & Co"), 1);
    EXPECT_EQ(Write2XML(config, saved.c_str()), 1);
    Release(config);
    EXPECT_EQ(GetRoot(config), root) << "Release does not destroy the object";

    // Parsed again: the edits are in the file and the signature holds (the
    // exports do not report it; the library's own object does).
    Handle again = Selected("Protection");
    EXPECT_EQ(Parse(again, saved.c_str()), 0);
    EXPECT_EQ(Walk(GetSubNode(GetRoot(again), "Server")), "Host,Port,Timeout");
    EXPECT_EQ(TextOf(GetSubNode(GetRoot(again), "Product")), "Ledger & Co");
    SelectedConfig check("Ledger", "4.2", true);
    EXPECT_EQ(check.LoadFile(saved), 0);
    EXPECT_EQ(check.IsSignatureValid(), 1);

    // Not the exact word: protection off. A quotation mark would end the
    // Name value: no file that cannot load (the last line).
    EXPECT_EQ(SetSignMode(again, "protection") + Write2XML(again, path.c_str()), 2);
    EXPECT_EQ(ReadBytes(path).find("Signature"), std::string::npos);
    EXPECT_EQ(Write2XML(again, nullptr) + Write2XML(again, folder.File("no\\such\\folder.xml").c_str()), 0);
    EXPECT_EQ(Parse(again, folder.File("missing.xml").c_str()) + Parse(again, nullptr), 0);
    EXPECT_EQ(Walk(GetSubNode(GetRoot(again), "Server")), "Host,Port,Timeout") << "the tree stays";
    WriteBytes(path, "<ROOT><Application Name=\"Ledger\" Version=\"4.2\"><A>a</A><B>");
    EXPECT_EQ(Parse(again, path.c_str()), 1);
    EXPECT_EQ(Walk(GetRoot(again)), "A,B");
    EXPECT_EQ(SetAppName(again, "App \"q\"") + Write2XML(again, saved.c_str()), 1);
}

TEST_F(ConfigExports, WalkingRules) {
    Handle node = AddChildNode(GetRoot(Init()), "Parent", nullptr);
    Handle item = AddChildNode(node, "item", "1");
    Handle empty = AddChildNode(node, "Empty", "");
    Handle b = AddChildNode(node, "B", "b1");
    Handle afterB = AddChildNode(node, "C", nullptr);
    Handle b2 = AddChildNode(node, "B", "b2");

    EXPECT_EQ(GetSubNode(node, "Item"), item);
    EXPECT_EQ(GetSubNode(node, "Missing"), 0u);
    EXPECT_EQ(GetNextSubNode(node), item) << "the failed search left the cursor null";
    EXPECT_EQ(GetSubNode(node, "B"), b);
    EXPECT_EQ(GetNextSubNode(node), afterB);
    EXPECT_EQ(GetNextSubNode(node), b2);
    EXPECT_EQ(GetNextSubNode(node), 0u);
    EXPECT_EQ(GetNextSubNode(node), item) << "after the end it starts over";
    EXPECT_EQ(GetSubNode(item, "") + GetNextSubNode(item), 0u) << "a leaf";
    EXPECT_EQ(TextOf(empty), "<unchanged>") << "an empty text stays null";
    EXPECT_EQ(SetNodeText(empty, "now"), 1);
    EXPECT_EQ(TextOf(empty), "now");
    EXPECT_EQ(SetNodeText(empty, nullptr), 1);
    EXPECT_EQ(TextOf(empty), "<unchanged>");
    EXPECT_EQ(GetNodeType(item, nullptr), 1) << "no buffer: nothing copied";
}

// What only Windows can show of the file seam: files held open without
// sharing, and the replacement under every injected fault.
TEST(ConfigFileSeam, SharingAndFailedReplacements) {
    using namespace quillon::platform;
    TempFolder folder;
    std::string path = folder.File("c.xml");
    WriteBytes(path, kConfig);
    int32_t size = 0;
    auto bytes = ReadWholeFile(path.c_str(), &size);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes.get(), size), kConfig);

    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReadWholeFile(path.c_str(), &size));
    EXPECT_EQ(size, 0);
    EXPECT_FALSE(ReplaceFileContent(path.c_str(), "new content", 11));
    CloseHandle(held);
    for (WriteFault fault : {WriteFault::kCreate, WriteFault::kWrite, WriteFault::kShortWrite, WriteFault::kFlush,
                             WriteFault::kReplace}) {
        InjectWriteFault(fault);
        EXPECT_FALSE(ReplaceFileContent(path.c_str(), "new content", 11)) << static_cast<int>(fault);
        InjectWriteFault(WriteFault::kNone);
    }
    EXPECT_EQ(ReadBytes(path), kConfig);
    EXPECT_EQ(folder.Entries().size(), 1u);
    EXPECT_TRUE(ReplaceFileContent(path.c_str(), "", 0));
    EXPECT_FALSE(ReadWholeFile(path.c_str(), &size)) << "an empty file";
    EXPECT_FALSE(ReadWholeFile(folder.File("missing").c_str(), &size));
}

// A configuration signed on Linux by `quillon config sign` (committed as
// test data) verifies in the Windows build; the check script
// tests/checks/config_cross_signature.sh repeats this with freshly signed
// files and takes a file written here back to Linux (QUILLON_CROSS_DIR).
class ConfigCrossPlatform : public ConfigExports {};

TEST_F(ConfigCrossPlatform, LinuxSignedFileVerifiesAndDllOutputIsSigned) {
    const char* crossDir = std::getenv("QUILLON_CROSS_DIR");
    std::string in = crossDir ? std::string(crossDir) + "\\linux-signed.xml"
                              : std::string(QUILLON_TEST_DATA_DIR "/config/signed-by-linux.xml");
    SelectedConfig config("Ledger", "4.2", true);
    ASSERT_EQ(config.LoadFile(in), 0) << in;
    ASSERT_NE(config.tree.root.children, nullptr) << in;
    EXPECT_EQ(config.IsSignatureValid(), 1) << in;

    // The DLL's file carries the same content and so the same signature.
    std::string out = crossDir ? std::string(crossDir) + "\\wine-written.xml" : folder.File("wine-written.xml");
    Handle handle = Selected("Protection");
    EXPECT_EQ(Parse(handle, in.c_str()), 0);
    EXPECT_EQ(Write2XML(handle, out.c_str()), 1);
    EXPECT_EQ(ReadBytes(out), ReadBytes(in));
}
