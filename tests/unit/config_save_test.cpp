// Saving a configuration: byte-exact files against hand-written golden files,
// and a save that fails must leave the old file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "config_test_files.h"
#include "platform/file_io.h"

using quillon::ConfigNode;
using quillon::platform::InjectWriteFault;
using quillon::platform::WriteFault;
using quillon::test::ReadBytes;
using quillon::test::SelectedConfig;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;

namespace {

std::string Golden(const char* name) { return ReadBytes(std::string(QUILLON_TEST_DATA_DIR "/config/") + name); }

// The tree of saved-tree.xml, built through the editing operations; the
// header values are written unescaped, a null version as an empty value.
void BuildSampleTree(SelectedConfig& config) {
    auto& tree = config.tree;
    config.appName = "Say 'Hi' > all";
    config.appVersion = nullptr;
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

// saved-signed.xml's digest was computed independently over its bytes
// without ` Signature="..."`, ">" and the CR LF of that line.
void BuildSignedTree(SelectedConfig& config) {
    config.tree.AddChild(&config.tree.root, "Port")->text = "4200";
    config.tree.AddChild(config.tree.AddChild(&config.tree.root, "Server"), "Host")->text = "srv";
}

class ConfigSave : public ::testing::Test {
protected:
    void TearDown() override { InjectWriteFault(WriteFault::kNone); }
    TempFolder folder;
    std::string path = folder.File("config.xml");
};

}  // namespace

TEST_F(ConfigSave, WritesTheGoldenFilesOverLongerOnes) {
    struct {
        const char* golden;
        SelectedConfig config;
        void (*build)(SelectedConfig&);
    } cases[] = {
        {"saved-empty.xml", SelectedConfig("App", "1.0"), nullptr},
        {"saved-tree.xml", SelectedConfig(), &BuildSampleTree},
        {"saved-signed.xml", SelectedConfig("Ledger", "4.2", true), &BuildSignedTree},
    };
    for (auto& c : cases) {
        if (c.build) c.build(c.config);
        WriteBytes(path, std::string(5000, 'o'));
        EXPECT_EQ(c.config.SaveFile(path), 1) << c.golden;
        EXPECT_EQ(ReadBytes(path), Golden(c.golden)) << c.golden;
        EXPECT_EQ(folder.Entries().size(), 1u) << c.golden;
    }
}

TEST_F(ConfigSave, ReplacingKeepsPermissionsAndFollowsLinks) {
    std::string link = folder.File("link.xml");
    WriteBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    EXPECT_EQ(SelectedConfig("App", "1.0").SaveFile(link), 1);
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadBytes(path), Golden("saved-empty.xml"));
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.Entries().size(), 2u);
}

TEST_F(ConfigSave, EveryFailedStepLeavesTheOldFileAndNoTemporary) {
    SelectedConfig config;
    BuildSampleTree(config);
    for (WriteFault fault : {WriteFault::kCreate, WriteFault::kWrite, WriteFault::kShortWrite, WriteFault::kFlush,
                             WriteFault::kReplace}) {
        WriteBytes(path, "old");
        InjectWriteFault(fault);
        EXPECT_EQ(config.SaveFile(path), 0) << static_cast<int>(fault);
        EXPECT_EQ(ReadBytes(path), "old") << static_cast<int>(fault);
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"config.xml"}) << static_cast<int>(fault);
    }
    InjectWriteFault(WriteFault::kNone);
    EXPECT_EQ(config.SaveFile(path), 1);
}

TEST_F(ConfigSave, WhatCouldNotBeLoadedAgainIsNotWritten) {
    const char* cases[][3] = {  // app, version, the name of an element below "Group"
        {"Say \"Hi\"", "1", "A"}, {"A<B", "1", "A"}, {"A&B", "1", "A"}, {"A", "1\"", "A"}, {"A", "1", nullptr},
        {"A", "1", ""}, {"A", "1", "My Port"}, {"A", "1", "1st"}, {"A", "1", "a>b"}, {"A", "1", "x\xD7y"},
    };
    for (const auto& c : cases) {
        SelectedConfig config(c[0], c[1]);
        config.tree.AddChild(config.tree.AddChild(&config.tree.root, "Group"), c[2])->text = "t";
        WriteBytes(path, "old");
        EXPECT_EQ(config.SaveFile(path), 0) << c[0] << " / " << c[1] << " / " << (c[2] ? c[2] : "(null)");
        EXPECT_EQ(ReadBytes(path), "old");
    }
    // Names and values the reader takes, unusual ones included, save and load.
    SelectedConfig config("a>b'c", "1");
    config.tree.AddChild(config.tree.AddChild(&config.tree.root, "_x.1"), ":y-\xB7")->text = "t";
    config.tree.AddChild(&config.tree.root, "\xC9t\xE9");
    EXPECT_EQ(config.SaveFile(path), 1);
    SelectedConfig loaded("a>b'c", "1");
    EXPECT_EQ(loaded.LoadFile(path), 0);
    EXPECT_EQ(loaded.Shape(), "_x.1=\r\n\t\t\t\r\n\t\t(:y-\xB7=t),\xC9t\xE9");
}

// Failures of the real file system: a missing folder, a folder as the target.
// (A folder without write rights fails at the same call as a missing one.)
TEST_F(ConfigSave, UnwritableTargetsFail) {
    SelectedConfig config;
    EXPECT_EQ(config.SaveFile(folder.File("no/such/folder/x.xml")), 0);
    EXPECT_EQ(config.Save(quillon::TextString()), 0);
    EXPECT_EQ(config.SaveFile(folder.Path()), 0);
    EXPECT_EQ(folder.Entries().size(), 0u);
}

TEST(ConfigWriteChildren, DeepTreesWithoutRecursionAndCursorsLeftAlone) {
    SelectedConfig config;
    ConfigNode* node = &config.tree.root;
    const int depth = 3000;  // indentation makes the text quadratic in depth
    for (int i = 0; i < depth; ++i) node = config.tree.AddChild(node, "n");
    node->text = "leaf";
    config.tree.AddChild(&config.tree.root, "B");
    auto* cursor = config.tree.root.children->Head();
    config.tree.root.children->SetCursor(cursor);
    quillon::XmlWriter writer;
    EXPECT_EQ(config.WriteChildren(nullptr, writer), 1);
    ASSERT_NE(writer.GetNarrowText(), nullptr);
    std::string written(writer.GetNarrowText());
    EXPECT_NE(written.find(std::string(depth - 1, '\t') + "<n>leaf</n>\r\n"), std::string::npos);
    const std::string ending = "\t\t</n>\r\n\t</n>\r\n</n>\r\n<B></B>\r\n";
    EXPECT_EQ(written.substr(written.size() - ending.size()), ending);
    EXPECT_EQ(config.tree.root.children->Cursor(), cursor);
}
