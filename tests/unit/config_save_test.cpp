// Saving a configuration: byte-exact files against hand-written golden files,
// and a save that fails must leave the old file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "config/setup_config.h"
#include "config_test_files.h"
#include "platform/file_io.h"

using quillon::ConfigNode;
using quillon::SetupConfig;
using quillon::TextString;
using quillon::XmlWriter;
using quillon::platform::InjectWriteFault;
using quillon::platform::WriteFault;
using quillon::test::ReadBytes;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;

namespace {

std::string Golden(const char* name) { return ReadBytes(std::string(QUILLON_TEST_DATA_DIR "/config/") + name); }

// The tree of saved-tree.xml, built through the editing operations.
void BuildSampleTree(SetupConfig& config) {
    auto& tree = config.tree;
    tree.AddChild(&tree.root, "Leaf")->text = "a < b && c > d";
    ConfigNode* group = tree.AddChild(&tree.root, "Group");
    group->text = "text of a node with children is not written";
    tree.AddChild(group, "Item")->text = "1";
    tree.AddChild(group, "Item")->text = "2";
    tree.AddChild(tree.AddChild(group, "Inner"), "Deep")->text = "'q\"";
    tree.AddChild(&tree.root, "Empty")->text = "";
    tree.AddChild(&tree.root, "NoText");
    tree.AddChild(&tree.root, "Latin")->text = "caf\xE9";
}

class ConfigSave : public ::testing::Test {
protected:
    void TearDown() override { InjectWriteFault(WriteFault::kNone); }
    TempFolder folder;
};

}  // namespace

TEST_F(ConfigSave, EmptyTreeGivesTheSixLines) {
    SetupConfig config;
    config.appName = "App";
    config.appVersion = "1.0";
    std::string path = folder.File("out.xml");
    EXPECT_EQ(config.Save(TextString(path.c_str())), 1);
    EXPECT_EQ(ReadBytes(path), Golden("saved-empty.xml"));
}

TEST_F(ConfigSave, TreeIsWrittenByteExact) {
    SetupConfig config;
    config.appName = "Say 'Hi' > all";  // attribute values are written unescaped
    config.appVersion = nullptr;    // a null version is an empty value
    BuildSampleTree(config);
    std::string path = folder.File("out.xml");
    EXPECT_EQ(config.Save(TextString(path.c_str())), 1);
    EXPECT_EQ(ReadBytes(path), Golden("saved-tree.xml"));
}

TEST_F(ConfigSave, ProtectionModeAddsTheSignatureLast) {
    // The golden file's digest was computed independently over its bytes
    // without ` Signature="..."`, ">" and the CR LF of that line.
    SetupConfig config;
    config.appName = "Ledger";
    config.appVersion = "4.2";
    config.SetSignMode("Protection");
    config.tree.AddChild(&config.tree.root, "Port")->text = "4200";
    config.tree.AddChild(config.tree.AddChild(&config.tree.root, "Server"), "Host")->text = "srv";
    std::string path = folder.File("signed.xml");
    EXPECT_EQ(config.Save(TextString(path.c_str())), 1);
    EXPECT_EQ(ReadBytes(path), Golden("saved-signed.xml"));
}

TEST_F(ConfigSave, SavingOverAnExistingFileReplacesIt) {
    std::string path = folder.File("config.xml");
    WriteBytes(path, std::string(5000, 'o'));  // longer than the new content
    SetupConfig config;
    config.appName = "App";
    config.appVersion = "1.0";
    EXPECT_EQ(config.Save(TextString(path.c_str())), 1);
    EXPECT_EQ(ReadBytes(path), Golden("saved-empty.xml"));
    EXPECT_EQ(folder.Entries().size(), 1u);
}

TEST_F(ConfigSave, ReplacingKeepsPermissionsAndFollowsLinks) {
    std::string real = folder.File("real.xml");
    std::string link = folder.File("link.xml");
    WriteBytes(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    SetupConfig config;
    config.appName = "App";
    config.appVersion = "1.0";
    EXPECT_EQ(config.Save(TextString(link.c_str())), 1);
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadBytes(real), Golden("saved-empty.xml"));
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.Entries().size(), 2u);
}

TEST_F(ConfigSave, EveryFailedStepLeavesTheOldFileAndNoTemporary) {
    std::string path = folder.File("config.xml");
    const std::string old = "old content that must survive";
    SetupConfig config;
    config.appName = "Say 'Hi' > all";
    BuildSampleTree(config);
    for (WriteFault fault : {WriteFault::kCreate, WriteFault::kWrite, WriteFault::kShortWrite, WriteFault::kFlush,
                             WriteFault::kReplace}) {
        WriteBytes(path, old);
        InjectWriteFault(fault);
        EXPECT_EQ(config.Save(TextString(path.c_str())), 0) << static_cast<int>(fault);
        EXPECT_EQ(ReadBytes(path), old) << static_cast<int>(fault);
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"config.xml"}) << static_cast<int>(fault);
    }
    InjectWriteFault(WriteFault::kNone);
    EXPECT_EQ(config.Save(TextString(path.c_str())), 1);
    EXPECT_EQ(ReadBytes(path), Golden("saved-tree.xml"));
}

TEST_F(ConfigSave, WhatCouldNotBeLoadedAgainIsNotWritten) {
    std::string path = folder.File("config.xml");
    const std::string old = "old content that must survive";
    struct Case {
        const char* app;
        const char* version;
        const char* element;  // a child of "Group" below the root
    } cases[] = {
        {"Say \"Hi\"", "1", "A"}, {"A<B", "1", "A"},  {"A&B", "1", "A"},  {"A", "1\"", "A"},
        {"A", "1<2", "A"},        {"A", "1&2", "A"},  {"A", "1", nullptr}, {"A", "1", ""},
        {"A", "1", "My Port"},    {"A", "1", "1st"},  {"A", "1", "-x"},    {"A", "1", "a>b"},
        {"A", "1", "x\xD7y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.app) + " / " + c.version + " / " + (c.element ? c.element : "(null)"));
        SetupConfig config;
        config.appName = c.app;
        config.appVersion = c.version;
        config.tree.AddChild(config.tree.AddChild(&config.tree.root, "Group"), c.element)->text = "t";
        WriteBytes(path, old);
        EXPECT_EQ(config.Save(TextString(path.c_str())), 0);
        EXPECT_EQ(ReadBytes(path), old);
    }
    // Names and values the reader takes, unusual ones included, save and load.
    SetupConfig config;
    config.appName = "a>b'c";
    config.appVersion = "1";
    config.tree.AddChild(config.tree.AddChild(&config.tree.root, "_x.1"), ":y-\xB7")->text = "t";
    config.tree.AddChild(&config.tree.root, "\xC9t\xE9");
    EXPECT_EQ(config.Save(TextString(path.c_str())), 1);
    SetupConfig loaded;
    loaded.appName = "a>b'c";
    loaded.appVersion = "1";
    EXPECT_EQ(loaded.Load(TextString(path.c_str())), 0);
    ASSERT_NE(loaded.tree.FindChild("_x.1", &loaded.tree.root), nullptr);
    EXPECT_NE(loaded.tree.FindChild("\xC9t\xE9", &loaded.tree.root), nullptr);
}

TEST_F(ConfigSave, UnwritableFolderOrBadNameFails) {
    SetupConfig config;
    EXPECT_EQ(config.Save(TextString(folder.File("no/such/folder/x.xml").c_str())), 0);
    EXPECT_EQ(config.Save(TextString()), 0);
    EXPECT_EQ(config.Save(TextString(folder.Path().c_str())), 0);  // the target is a folder
    EXPECT_EQ(folder.Entries().size(), 0u);

    // A folder the saver may not write to. Root may write anywhere, so as
    // root the save runs in a child process that gave its rights up.
    std::string path = folder.File("config.xml");
    WriteBytes(path, "old");
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
    int result = -1;
    if (::geteuid() == 0) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
            ::_exit(config.Save(TextString(path.c_str())));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        result = WEXITSTATUS(status);
    } else {
        result = config.Save(TextString(path.c_str()));
    }
    ::chmod(folder.Path().c_str(), 0700);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"config.xml"});
}

TEST(ConfigWriteChildren, DeepTreeIsWrittenWithoutRecursion) {
    SetupConfig config;
    ConfigNode* node = &config.tree.root;
    const int depth = 3000;  // indentation makes the text quadratic in depth
    for (int i = 0; i < depth; ++i) node = config.tree.AddChild(node, "n");
    node->text = "leaf";
    XmlWriter writer;
    EXPECT_EQ(config.WriteChildren(nullptr, writer), 1);
    const char* text = writer.GetNarrowText();
    ASSERT_NE(text, nullptr);
    std::string written(text);
    EXPECT_EQ(written.find("<n>\r\n\t<n>\r\n\t\t<n>\r\n"), 0u);
    EXPECT_NE(written.find(std::string(depth - 1, '\t') + "<n>leaf</n>\r\n"), std::string::npos);
    const std::string ending = "\t\t</n>\r\n\t</n>\r\n</n>\r\n";
    EXPECT_EQ(written.substr(written.size() - ending.size()), ending);
    EXPECT_EQ(writer.GetDepth(), 0u);
}

TEST(ConfigWriteChildren, LeavesTheChildrenCursorsAlone) {
    SetupConfig config;
    ConfigNode* a = config.tree.AddChild(&config.tree.root, "A");
    config.tree.AddChild(&config.tree.root, "B");
    config.tree.AddChild(a, "C");
    auto* cursor = config.tree.root.children->Head();
    config.tree.root.children->SetCursor(cursor);
    XmlWriter writer;
    config.WriteChildren(&config.tree.root, writer);
    EXPECT_EQ(config.tree.root.children->Cursor(), cursor);
    EXPECT_EQ(a->children->Cursor(), nullptr);
}
