// The configuration exports of the built Quillon.dll, called the way an
// installer calls them: loaded with LoadLibrary, every function looked up by
// name and by ordinal, and the usual sequence from Init to Write2XML.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "config/setup_config.h"
#include "platform/file_io.h"

namespace {

using Handle = ULONG_PTR;
using InitFn = Handle(__stdcall*)();
using ReleaseFn = void(__stdcall*)(Handle);
using SetTextFn = int(__stdcall*)(Handle, const char*);
using GetRootFn = Handle(__stdcall*)(Handle);
using GetSubNodeFn = Handle(__stdcall*)(Handle, const char*);
using GetNextSubNodeFn = Handle(__stdcall*)(Handle);
using GetIntoFn = int(__stdcall*)(Handle, char*);
using AddChildNodeFn = Handle(__stdcall*)(Handle, const char*, const char*);

struct Export {
    const char* name;
    WORD ordinal;
};

const Export kExports[] = {{"Init", 100},         {"Release", 101},     {"SetAppName", 102},     {"SetAppVersion", 103},
                           {"SetSignMode", 104},  {"Parse", 110},       {"GetRoot", 111},        {"GetSubNode", 112},
                           {"GetNextSubNode", 113}, {"GetNodeType", 114}, {"GetNodeText", 115},  {"Write2XML", 116},
                           {"AddChildNode", 117}, {"SetNodeText", 118}};

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh folder below the Windows temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        static int counter = 0;
        path_ = std::string(base) + "quillon-win-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    int Count() const {
        int count = 0;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        do count += found.cFileName[0] != '.';
        while (FindNextFileA(search, &found));
        FindClose(search);
        return count;
    }

private:
    std::string path_;
};

class ConfigExports : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = LoadLibraryA((ExeFolder() + "Quillon.dll").c_str());
        ASSERT_NE(module, nullptr) << "Quillon.dll next to the test executable";
    }
    static void TearDownTestSuite() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
    template <typename Fn>
    static Fn Get(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    void SetUp() override {
        ASSERT_NE(module, nullptr);
        Init = Get<InitFn>("Init");
        Release = Get<ReleaseFn>("Release");
        SetAppName = Get<SetTextFn>("SetAppName");
        SetAppVersion = Get<SetTextFn>("SetAppVersion");
        SetSignMode = Get<SetTextFn>("SetSignMode");
        Parse = Get<SetTextFn>("Parse");
        GetRoot = Get<GetRootFn>("GetRoot");
        GetSubNode = Get<GetSubNodeFn>("GetSubNode");
        GetNextSubNode = Get<GetNextSubNodeFn>("GetNextSubNode");
        GetNodeType = Get<GetIntoFn>("GetNodeType");
        GetNodeText = Get<GetIntoFn>("GetNodeText");
        Write2XML = Get<SetTextFn>("Write2XML");
        AddChildNode = Get<AddChildNodeFn>("AddChildNode");
        SetNodeText = Get<SetTextFn>("SetNodeText");
    }

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

    static HMODULE module;
    InitFn Init = nullptr;
    ReleaseFn Release = nullptr;
    SetTextFn SetAppName = nullptr, SetAppVersion = nullptr, SetSignMode = nullptr, Parse = nullptr;
    GetRootFn GetRoot = nullptr;
    GetSubNodeFn GetSubNode = nullptr;
    GetNextSubNodeFn GetNextSubNode = nullptr;
    GetIntoFn GetNodeType = nullptr, GetNodeText = nullptr;
    SetTextFn Write2XML = nullptr, SetNodeText = nullptr;
    AddChildNodeFn AddChildNode = nullptr;
    TempFolder folder;
};

HMODULE ConfigExports::module = nullptr;

const char kConfig[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ROOT>\r\n"
    "\t<Application Name=\"Ledger\" Version=\"4.1\"><Old/></Application>\r\n"
    "\t<Application Name=\"Ledger\" Version=\"4.2\">\r\n"
    "\t\t<Product>Ledger</Product>\r\n"
    "\t\t<Server><Host>srv</Host><Port>4200</Port></Server>\r\n"
    "\t\t<Configuration><Component><Name>Client</Name></Component>"
    "<Component><Name>Help</Name></Component></Configuration>\r\n"
    "\t</Application>\r\n</ROOT>\r\n";

}  // namespace

TEST_F(ConfigExports, EveryExportResolvesByNameAndOrdinal) {
    for (const Export& e : kExports) {
        FARPROC byName = GetProcAddress(module, e.name);
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(e.ordinal));
        EXPECT_NE(byName, nullptr) << e.name;
        EXPECT_EQ(byName, byOrdinal) << e.name << " @" << e.ordinal;
    }
    // Ordinals that the configuration does not own are not these functions.
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(105)), nullptr);
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(119)), nullptr);
}

TEST_F(ConfigExports, HandleZeroIsAnsweredWithZero) {
    char buffer[8] = "keep";
    EXPECT_EQ(SetAppName(0, "x"), 0);
    EXPECT_EQ(SetAppVersion(0, "x"), 0);
    EXPECT_EQ(SetSignMode(0, "Protection"), 0);
    EXPECT_EQ(Parse(0, folder.File("a.xml").c_str()), 0);
    EXPECT_EQ(GetRoot(0), 0u);
    EXPECT_EQ(GetSubNode(0, ""), 0u);
    EXPECT_EQ(GetNextSubNode(0), 0u);
    EXPECT_EQ(GetNodeType(0, buffer), 0);
    EXPECT_EQ(GetNodeText(0, buffer), 0);
    EXPECT_EQ(Write2XML(0, folder.File("a.xml").c_str()), 0);
    EXPECT_EQ(AddChildNode(0, "n", "t"), 0u);
    EXPECT_EQ(SetNodeText(0, "t"), 0);
    Release(0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(folder.Count(), 0);
}

TEST_F(ConfigExports, InstallerSequence) {
    std::string path = folder.File("setup.xml");
    WriteBytes(path, kConfig);

    Handle config = Init();
    ASSERT_NE(config, 0u);
    EXPECT_EQ(SetAppName(config, "Ledger"), 1);
    EXPECT_EQ(SetAppVersion(config, "4.2"), 1);
    EXPECT_EQ(SetSignMode(config, "Protection"), 1);
    EXPECT_EQ(Parse(config, path.c_str()), 0);

    Handle root = GetRoot(config);
    ASSERT_NE(root, 0u);
    EXPECT_EQ(TypeOf(root), "<unchanged>");  // the root has no name
    EXPECT_EQ(Walk(root), "Product,Server,Configuration");
    Handle server = GetSubNode(root, "server");  // names are found without regard to case
    ASSERT_NE(server, 0u);
    EXPECT_EQ(TypeOf(server), "Server");
    EXPECT_EQ(TextOf(GetSubNode(server, "Port")), "4200");
    Handle configuration = GetSubNode(root, "Configuration");
    Handle component = GetSubNode(configuration, "Component");
    EXPECT_EQ(TextOf(GetSubNode(component, "Name")), "Client");
    component = GetNextSubNode(configuration);
    EXPECT_EQ(TextOf(GetSubNode(component, "")), "Help");

    Handle added = AddChildNode(server, "Timeout", "30");
    ASSERT_NE(added, 0u);
    EXPECT_EQ(TextOf(added), "30");
    EXPECT_EQ(SetNodeText(GetSubNode(server, "Port"), "4300"), 1);
    EXPECT_EQ(SetNodeText(GetSubNode(root, "Product"), "Ledger & Co <x>"), 1);
    std::string saved = folder.File("saved.xml");
    EXPECT_EQ(Write2XML(config, saved.c_str()), 1);
    std::string bytes = ReadBytes(saved);
    EXPECT_EQ(bytes.find("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ROOT>\r\n"
                         "\t<Application Name=\"Ledger\" Version=\"4.2\" Signature=\""), 0u);
    EXPECT_NE(bytes.find("\t\t<Product>Ledger &amp; Co &lt;x&gt;</Product>\r\n"
                         "\t\t<Server>\r\n\t\t\t<Host>srv</Host>\r\n\t\t\t<Port>4300</Port>\r\n"
                         "\t\t\t<Timeout>30</Timeout>\r\n\t\t</Server>\r\n"), std::string::npos);
    Release(config);

    // Parse again: the edits are in the file, and the signature holds (the
    // exports do not report it; the library's own object does).
    Handle again = Init();
    SetAppName(again, "Ledger");
    SetAppVersion(again, "4.2");
    SetSignMode(again, "Protection");
    EXPECT_EQ(Parse(again, saved.c_str()), 0);
    Handle againServer = GetSubNode(GetRoot(again), "Server");
    EXPECT_EQ(Walk(againServer), "Host,Port,Timeout");
    EXPECT_EQ(TextOf(GetSubNode(GetRoot(again), "Product")), "Ledger & Co <x>");

    quillon::SetupConfig check;
    check.appName = "Ledger";
    check.appVersion = "4.2";
    check.SetSignMode("Protection");
    EXPECT_EQ(check.Load(quillon::TextString(saved.c_str())), 0);
    EXPECT_EQ(check.IsSignatureValid(), 1);
}

TEST_F(ConfigExports, ParseResults) {
    Handle config = Init();
    SetAppName(config, "Ledger");
    SetAppVersion(config, "4.2");
    std::string good = folder.File("good.xml");
    WriteBytes(good, kConfig);
    EXPECT_EQ(Parse(config, good.c_str()), 0);
    Handle product = GetSubNode(GetRoot(config), "Product");
    EXPECT_EQ(Parse(config, folder.File("missing.xml").c_str()), 0);
    EXPECT_EQ(Parse(config, nullptr), 0);
    EXPECT_EQ(GetSubNode(GetRoot(config), "Product"), product);  // the tree stays
    std::string broken = folder.File("broken.xml");
    WriteBytes(broken, "<ROOT><Application Name=\"Ledger\" Version=\"4.2\"><A>a</A><B>");
    EXPECT_EQ(Parse(config, broken.c_str()), 1);
    EXPECT_EQ(Walk(GetRoot(config)), "A,B");
}

TEST_F(ConfigExports, WalkingRules) {
    Handle config = Init();
    Handle root = GetRoot(config);
    Handle node = AddChildNode(root, "Parent", nullptr);
    Handle item = AddChildNode(node, "item", "1");
    Handle other = AddChildNode(node, "Other", "");
    Handle b = AddChildNode(node, "B", "b1");
    Handle afterB = AddChildNode(node, "C", nullptr);
    Handle b2 = AddChildNode(node, "B", "b2");  // a second child of that name, at the end

    EXPECT_EQ(GetSubNode(node, "Item"), item);
    EXPECT_EQ(GetSubNode(node, "Missing"), 0u);
    EXPECT_EQ(GetNextSubNode(node), item);  // the failed search left the cursor null
    EXPECT_EQ(GetSubNode(node, "B"), b);
    EXPECT_EQ(GetNextSubNode(node), afterB);
    EXPECT_EQ(GetNextSubNode(node), b2);
    EXPECT_EQ(GetNextSubNode(node), 0u);
    EXPECT_EQ(GetNextSubNode(node), item);  // after the end it starts over
    EXPECT_EQ(GetSubNode(item, ""), 0u);     // a leaf
    EXPECT_EQ(GetNextSubNode(item), 0u);
    EXPECT_EQ(TextOf(other), "<unchanged>");  // an empty text stays null
    EXPECT_EQ(TextOf(afterB), "<unchanged>");
    EXPECT_EQ(SetNodeText(other, "now"), 1);
    EXPECT_EQ(TextOf(other), "now");
    EXPECT_EQ(SetNodeText(other, nullptr), 1);
    EXPECT_EQ(TextOf(other), "<unchanged>");
    EXPECT_EQ(GetNodeType(item, nullptr), 1);  // no buffer: nothing copied, no crash

    Release(config);
    EXPECT_EQ(GetRoot(config), root);  // Release does not destroy the object
}

TEST_F(ConfigExports, SignModeAndSectionChoiceApplyToWrite2XML) {
    Handle config = Init();
    SetAppName(config, "App 'q'");
    SetAppVersion(config, nullptr);
    AddChildNode(GetRoot(config), "A", "x");
    std::string plain = folder.File("plain.xml");
    SetSignMode(config, "Protection");
    SetSignMode(config, "protection");  // not the exact word: protection off
    EXPECT_EQ(Write2XML(config, plain.c_str()), 1);
    const std::string written = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ROOT>\r\n"
                                "\t<Application Name=\"App 'q'\" Version=\"\">\r\n\t\t<A>x</A>\r\n"
                                "\t</Application>\r\n</ROOT>\r\n";
    EXPECT_EQ(ReadBytes(plain), written);
    // A quotation mark would end the Name value: no file that cannot load.
    SetAppName(config, "App \"q\"");
    EXPECT_EQ(Write2XML(config, plain.c_str()), 0);
    EXPECT_EQ(ReadBytes(plain), written);
    EXPECT_EQ(Write2XML(config, folder.File("no\\such\\folder.xml").c_str()), 0);
    EXPECT_EQ(Write2XML(config, nullptr), 0);
}

TEST(ConfigFileSeam, ReadsWholeFilesOnly) {
    TempFolder folder;
    std::string path = folder.File("c.xml");
    WriteBytes(path, kConfig);
    int32_t size = 0;
    auto bytes = quillon::platform::ReadWholeFile(path.c_str(), &size);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(size, static_cast<int32_t>(sizeof kConfig - 1));
    EXPECT_EQ(std::string(bytes.get()), kConfig);

    // Opened without sharing: a file someone holds exclusively is unreadable.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(quillon::platform::ReadWholeFile(path.c_str(), &size));
    EXPECT_EQ(size, 0);
    CloseHandle(held);

    WriteBytes(path, "");
    EXPECT_FALSE(quillon::platform::ReadWholeFile(path.c_str(), &size));
    EXPECT_FALSE(quillon::platform::ReadWholeFile(folder.File("missing").c_str(), &size));
}

TEST(ConfigFileSeam, ReplaceKeepsTheOldFileOnEveryFailure) {
    using quillon::platform::InjectWriteFault;
    using quillon::platform::ReplaceFileContent;
    using quillon::platform::WriteFault;
    TempFolder folder;
    std::string path = folder.File("c.xml");
    for (WriteFault fault : {WriteFault::kCreate, WriteFault::kWrite, WriteFault::kShortWrite, WriteFault::kFlush,
                             WriteFault::kReplace}) {
        WriteBytes(path, "old");
        InjectWriteFault(fault);
        EXPECT_FALSE(ReplaceFileContent(path.c_str(), "new content", 11)) << static_cast<int>(fault);
        InjectWriteFault(WriteFault::kNone);
        EXPECT_EQ(ReadBytes(path), "old");
        EXPECT_EQ(folder.Count(), 1);
    }
    // A target someone holds open without sharing cannot be replaced.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReplaceFileContent(path.c_str(), "new content", 11));
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(folder.Count(), 1);

    EXPECT_TRUE(ReplaceFileContent(path.c_str(), "new content", 11));
    EXPECT_EQ(ReadBytes(path), "new content");
    EXPECT_EQ(folder.Count(), 1);
}

// A configuration signed on Linux by `quillon config sign` (committed as
// test data) verifies in the Windows build; the check script
// tests/checks/config_cross_signature.sh repeats this with freshly signed
// files and takes a file written here back to Linux (QUILLON_CROSS_DIR).
TEST(ConfigCrossPlatform, LinuxSignedFileVerifiesAndDllOutputIsSigned) {
    const char* crossDir = std::getenv("QUILLON_CROSS_DIR");
    std::string in = crossDir ? std::string(crossDir) + "\\linux-signed.xml"
                              : std::string(QUILLON_TEST_DATA_DIR "/config/signed-by-linux.xml");
    quillon::SetupConfig config;
    config.appName = "Ledger";
    config.appVersion = "4.2";
    config.SetSignMode("Protection");
    ASSERT_EQ(config.Load(quillon::TextString(in.c_str())), 0) << in;
    ASSERT_NE(config.tree.root.children, nullptr) << in;
    EXPECT_EQ(config.IsSignatureValid(), 1) << in;

    // The DLL re-signs it through the exports.
    HMODULE module = LoadLibraryA((ExeFolder() + "Quillon.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(module, "Init")));
    auto set = [&](const char* name, Handle h, const char* text) {
        return reinterpret_cast<SetTextFn>(reinterpret_cast<void*>(GetProcAddress(module, name)))(h, text);
    };
    Handle handle = init();
    set("SetAppName", handle, "Ledger");
    set("SetAppVersion", handle, "4.2");
    set("SetSignMode", handle, "Protection");
    EXPECT_EQ(set("Parse", handle, in.c_str()), 0);
    TempFolder folder;
    std::string out = crossDir ? std::string(crossDir) + "\\wine-written.xml" : folder.File("wine-written.xml");
    EXPECT_EQ(set("Write2XML", handle, out.c_str()), 1);
    // The DLL's file carries the same content and so the same signature.
    EXPECT_EQ(ReadBytes(out), ReadBytes(in));
    FreeLibrary(module);
}
