// The configuration exports of the built Quillon.dll: handles, texts and
// buffers across the boundary, and the walking rules the exports add to the
// tree. The loading and saving rules themselves are the native tests'.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../unit/config_test_files.h"
#include "dll_export.h"
#include "platform/file_io.h"

namespace {

using quillon::test::ReadBytes;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;
using Handle = ULONG_PTR;

const char kConfig[] =
    "<ROOT><Application Name=\"Ledger\" Version=\"4.2\"><Product>Ledger</Product>"
    "<Server><Host>srv</Host><Port>4200</Port></Server></Application></ROOT>";

class ConfigExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module, nullptr) << "Quillon.dll next to the test executable"; }
    void TearDown() override { FreeLibrary(module); }

    // A configuration that loads Ledger 4.2 in protection mode.
    Handle Selected() {
        Handle config = Init();
        EXPECT_EQ(SetAppName(config, "Ledger") + SetAppVersion(config, "4.2") + SetSignMode(config, "Protection"), 3);
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
    std::string file = folder.File("a.xml");
    EXPECT_EQ(SetAppName(0, "x") + SetAppVersion(0, "x") + SetSignMode(0, "x") + SetNodeText(0, "t"), 0);
    EXPECT_EQ(Parse(0, file.c_str()) + Write2XML(0, file.c_str()), 0);
    EXPECT_EQ(GetRoot(0) + GetSubNode(0, "") + GetNextSubNode(0) + AddChildNode(0, "n", "t"), 0u);
    EXPECT_EQ(GetNodeType(0, nullptr) + GetNodeText(0, nullptr), 0);
    Release(0);
}

// The edges of walking and editing; examples/client.c, which
// tests/checks/dist.sh runs, shows the plain walk, the edits and the save.
TEST_F(ConfigExports, WalkingAndEditingEdges) {
    std::string path = folder.File("setup.xml");
    WriteBytes(path, kConfig);
    Handle config = Selected();
    EXPECT_EQ(Parse(config, path.c_str()), 0);
    Handle root = GetRoot(config);
    Handle server = GetSubNode(root, "server");  // without regard to case
    Handle port = GetSubNode(server, "Port");
    ASSERT_NE(port, 0u);
    EXPECT_EQ(GetSubNode(port, "") + GetNextSubNode(port), 0u) << "a leaf";
    EXPECT_NE(GetSubNode(server, "Host"), 0u);
    EXPECT_EQ(GetNextSubNode(server), port) << "the cursor stays on what GetSubNode found";
    EXPECT_EQ(GetNextSubNode(server), 0u);
    EXPECT_EQ(GetSubNode(root, "Missing"), 0u);
    EXPECT_EQ(GetSubNode(root, nullptr), GetSubNode(root, "Product")) << "no name: the first child";
    EXPECT_EQ(GetNodeType(port, nullptr), 1) << "no buffer: nothing copied";
    char text[8] = "keep";
    EXPECT_EQ(GetNodeText(AddChildNode(server, "Empty", ""), text), 1);
    EXPECT_STREQ(text, "keep") << "an empty text stays null, which leaves the buffer alone";
    // A failed save answers 0, an XML error 1.
    EXPECT_EQ(Write2XML(config, folder.File("no\\such\\folder.xml").c_str()), 0);
    WriteBytes(path, "<ROOT>");
    EXPECT_EQ(Parse(config, path.c_str()), 1);
    Release(config);
    EXPECT_EQ(GetRoot(config), root) << "Release does not destroy the object";
}

// What only Windows can show of the file seam: files held open without
// sharing, and the replacement under every injected fault.
TEST(ConfigFileSeam, SharingAndFailedReplacements) {
    using namespace quillon::platform;
    TempFolder folder;
    std::string path = folder.File("c.xml");
    WriteBytes(path, kConfig);
    int32_t size = -1;
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
}

// A configuration signed on Linux by `quillon config sign` (committed as
// test data) is written out again by the DLL byte for byte, signature and
// all; tests/checks/config_cross_signature.sh runs this on a freshly signed
// file (QUILLON_CROSS_DIR) and verifies the written file on Linux.
class ConfigCrossPlatform : public ConfigExports {};

TEST_F(ConfigCrossPlatform, DllRewritesALinuxSignedFileUnchanged) {
    const char* crossDir = std::getenv("QUILLON_CROSS_DIR");
    std::string in = crossDir ? std::string(crossDir) + "\\linux-signed.xml"
                              : std::string(QUILLON_TEST_DATA_DIR "/config/signed-by-linux.xml");
    std::string out = crossDir ? std::string(crossDir) + "\\wine-written.xml" : folder.File("wine-written.xml");
    Handle handle = Selected();
    EXPECT_EQ(Parse(handle, in.c_str()), 0);
    EXPECT_EQ(Write2XML(handle, out.c_str()), 1);
    EXPECT_EQ(ReadBytes(out), ReadBytes(in));
}
