// SetupConfig loading: which section is selected, what becomes a node and
// its text, and what a second load keeps or resets.
#include "config/setup_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "config_test_files.h"

using quillon::ConfigNode;
using quillon::SetupConfig;
using quillon::TextString;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;

namespace {

// The tree below the root as "name(children)" and "name=text" for leaves,
// children separated by commas: compact enough to compare whole trees.
std::string Shape(const ConfigNode& node) {
    std::string out;
    for (auto* item = node.children ? node.children->Head() : nullptr; item; item = item->next) {
        const auto* child = static_cast<const ConfigNode*>(item->value);
        if (!out.empty()) out += ",";
        out += child->name.Text();
        if (child->children) {
            out += "(" + Shape(*child) + ")";
        } else if (!child->text.IsNull()) {
            out += "=" + std::string(child->text.Text());
        }
    }
    return out;
}

int32_t LoadString(SetupConfig& config, const std::string& text) {
    return config.LoadText(text.c_str(), static_cast<int32_t>(text.size()));
}

SetupConfig& Select(SetupConfig& config, const char* app, const char* version) {
    config.appName = app;
    config.appVersion = version;
    return config;
}

const char kTwoSections[] =
    "<ROOT>"
    "<Application Name=\"Other\" Version=\"1.0\"><X>no</X></Application>"
    "<Application Name=\"App\" Version=\"1.0\"><A>x</A><B><C>c</C></B></Application>"
    "<Application Name=\"App\" Version=\"2.0\"><Y>no</Y></Application>"
    "</ROOT>";

}  // namespace

TEST(SetupConfigSections, MatchingSectionBecomesTheRootsChildren) {
    SetupConfig config;
    EXPECT_EQ(LoadString(Select(config, "App", "1.0"), kTwoSections), 0);
    EXPECT_EQ(Shape(config.tree.root), "A=x,B(C=c)");
    EXPECT_EQ(config.sectionsFound, 1);
    EXPECT_EQ(config.tree.current, &config.tree.root);
}

TEST(SetupConfigSections, NameAndVersionMustBothMatchExactly) {
    for (auto [app, version] : {std::pair{"App", "1.00"}, {"app", "1.0"}, {"App", ""}, {"", "1.0"}, {"App ", "1.0"}}) {
        SetupConfig config;
        EXPECT_EQ(LoadString(Select(config, app, version), kTwoSections), 0) << app << "/" << version;
        EXPECT_EQ(config.tree.root.children, nullptr) << app << "/" << version;
        EXPECT_EQ(config.sectionsFound, 0);
    }
    SetupConfig unset;  // null name and version select nothing either
    EXPECT_EQ(LoadString(unset, kTwoSections), 0);
    EXPECT_EQ(unset.tree.root.children, nullptr);
}

TEST(SetupConfigSections, SeveralMatchingSectionsAreJoined) {
    SetupConfig config;
    LoadString(Select(config, "App", "1.0"),
               "<ROOT><Application Name=\"App\" Version=\"1.0\"><A/></Application>"
               "<Application Version=\"1.0\" Name=\"App\" Extra=\"ignored\"><B/></Application></ROOT>");
    EXPECT_EQ(Shape(config.tree.root), "A,B");
    EXPECT_EQ(config.sectionsFound, 2);
}

TEST(SetupConfigSections, OnlyApplicationDirectlyBelowRootSelects) {
    SetupConfig config;
    // Inside a matching section, "Application" is an ordinary element; the
    // document element must be exactly "ROOT".
    LoadString(Select(config, "App", "1.0"),
               "<ROOT><Application Name=\"App\" Version=\"1.0\">"
               "<Application Name=\"Other\" Version=\"9\"><Z>z</Z></Application>"
               "</Application><Group><Application Name=\"App\" Version=\"1.0\"><Q/></Application></Group></ROOT>");
    EXPECT_EQ(Shape(config.tree.root), "Application(Z=z)");

    SetupConfig lower;
    LoadString(Select(lower, "App", "1.0"), "<Root><Application Name=\"App\" Version=\"1.0\"><A/></Application></Root>");
    EXPECT_EQ(lower.tree.root.children, nullptr);
}

TEST(SetupConfigSections, ValueSplitAtAReferenceOrEmptyNeverMatches) {
    // Neither the whole value, raw or replaced, nor any run of it between
    // references selects; nor does an empty value.
    struct Case {
        const char* name;
        const char* version;
        const char* app;
        const char* appVersion;
    } cases[] = {
        {"Led&amp;ger", "1", "Led&ger", "1"}, {"Led&amp;ger", "1", "Led", "1"}, {"Led&amp;ger", "1", "ger", "1"},
        {"A", "4&#46;2", "A", "4.2"},         {"A", "4&#46;2", "A", "4"},       {"A", "4&#46;2", "A", "2"},
        {"&#x41;pp", "1", "pp", "1"},         {"App&lt;", "1", "App", "1"},     {"App", "1&#32;", "App", "1"},
        {"Led&amp;ger", "1", "Led&amp;ger", "1"}, {"", "1", "", "1"},
    };
    for (const Case& c : cases) {
        SetupConfig config;
        std::string file = std::string("<ROOT><Application Name=\"") + c.name + "\" Version=\"" + c.version +
                           "\"><N/></Application></ROOT>";
        EXPECT_EQ(LoadString(Select(config, c.app, c.appVersion), file), 0);
        EXPECT_EQ(config.tree.root.children, nullptr) << c.name << " " << c.version << " selected by " << c.app
                                                      << " " << c.appVersion;
    }
}

TEST(SetupConfigText, EntitiesAreReplacedAndCharacterReferencesDropped) {
    SetupConfig config;
    LoadString(Select(config, "App", "1"),
               "<ROOT><Application Name=\"App\" Version=\"1\">"
               "<T>a&amp;b&#65;</T><U>&lt;&gt;&apos;&quot;&custom;</U><V><![CDATA[gone]]></V><W/>"
               "</Application></ROOT>");
    EXPECT_EQ(Shape(config.tree.root), "T=a&b,U=<>'\",V,W");
}

TEST(SetupConfigText, WhitespaceBetweenChildrenIsCollected) {
    SetupConfig config;
    LoadString(Select(config, "App", "1"),
               "<ROOT>\r\n <Application Name=\"App\" Version=\"1\">\r\n\t<P>\r\n\t\t<C> c </C>\r\n\t</P>\r\n</Application>\r\n</ROOT>");
    ConfigNode* p = config.tree.FindChild("P", &config.tree.root);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->text.Text(), "\r\n\t\t\r\n\t");
    EXPECT_STREQ(config.tree.FindChild("C", p)->text.Text(), " c ");
    EXPECT_STREQ(config.tree.root.text.Text(), "\r\n\t\r\n");  // the section's own whitespace
}

TEST(SetupConfigText, EntityInAttributeValueGoesIntoTheElementsText) {
    SetupConfig config;
    LoadString(Select(config, "App", "1"),
               "<ROOT><Application Name=\"App\" Version=\"1\"><E a=\"x&amp;y\">t</E></Application></ROOT>");
    EXPECT_EQ(Shape(config.tree.root), "E=&t");
}

TEST(SetupConfigText, DuplicateNamesAreAllKept) {
    SetupConfig config;
    LoadString(Select(config, "App", "1"),
               "<ROOT><Application Name=\"App\" Version=\"1\"><Item>1</Item><Item>2</Item></Application></ROOT>");
    EXPECT_EQ(Shape(config.tree.root), "Item=1,Item=2");
    EXPECT_STREQ(config.tree.FindChild("Item", &config.tree.root)->text.Text(), "1");
}

TEST(SetupConfigReload, SecondLoadReplacesChildrenAndGrowsRootText) {
    const std::string text = "<ROOT><Application Name=\"App\" Version=\"1\"> <A>a</A> </Application></ROOT>";
    SetupConfig config;
    Select(config, "App", "1");
    LoadString(config, text);
    std::string firstShape = Shape(config.tree.root);
    LoadString(config, text);
    EXPECT_EQ(Shape(config.tree.root), firstShape);
    EXPECT_STREQ(config.tree.root.text.Text(), "    ");  // two blanks per load
}

TEST(SetupConfigReload, XmlErrorKeepsPartialTreeAndNextLoadStartsClean) {
    SetupConfig config;
    Select(config, "App", "1");
    // Stops inside <B><C>: path, flags and current stand deep in the tree.
    EXPECT_EQ(LoadString(config, "<ROOT><Application Name=\"App\" Version=\"1\"><A>a</A><B><C>c<"), 1);
    EXPECT_EQ(Shape(config.tree.root), "A=a,B(C=c)");
    EXPECT_EQ(config.tree.current, &config.tree.root);  // so a save writes the whole partial tree
    quillon::XmlWriter content;
    config.WriteChildren(nullptr, content);
    EXPECT_STREQ(content.GetNarrowText(), "<A>a</A>\r\n<B>\r\n\t<C>c</C>\r\n</B>\r\n");

    EXPECT_EQ(LoadString(config, "<ROOT><Application Name=\"App\" Version=\"1\"><D>d</D></Application></ROOT>"), 0);
    EXPECT_EQ(Shape(config.tree.root), "D=d");
    EXPECT_EQ(config.tree.current, &config.tree.root);
    EXPECT_STREQ(config.elementPath.Text(), "");

    // A load that stopped inside a matching section must not select the
    // next file's first elements either.
    LoadString(config, "<ROOT><Application Name=\"App\" Version=\"1\"><A>");
    LoadString(config, "<ROOT><Z>z</Z></ROOT>");
    EXPECT_EQ(config.tree.root.children, nullptr);
}

TEST(SetupConfigReload, UnreadableFilesChangeNothing) {
    TempFolder folder;
    std::string good = folder.File("good.xml");
    std::string empty = folder.File("empty.xml");
    WriteBytes(good, "<ROOT><Application Name=\"App\" Version=\"1\"><A>a</A></Application></ROOT>");
    WriteBytes(empty, "");
    SetupConfig config;
    Select(config, "App", "1");
    EXPECT_EQ(config.Load(TextString(good.c_str())), 0);
    ConfigNode* kept = config.tree.FindChild("A", &config.tree.root);
    EXPECT_EQ(config.Load(TextString(folder.File("missing.xml").c_str())), 0);
    EXPECT_EQ(config.Load(TextString(empty.c_str())), 0);
    EXPECT_EQ(config.Load(TextString(folder.Path().c_str())), 0);  // a folder
    EXPECT_EQ(config.Load(TextString()), 0);
    // Positions are 32-bit, so a file of 2^32 bytes or more is refused; taken
    // modulo 2^32 (as a 32-bit size_t would) its size would read as just the
    // valid document at its start. The tail is a hole: no disk space is used.
    std::string huge = folder.File("huge.xml");
    const std::string document = "<ROOT><Application Name=\"App\" Version=\"1\"><A>b</A></Application></ROOT>";
    WriteBytes(huge, document);
    ASSERT_EQ(::truncate(huge.c_str(), (off_t{1} << 32) + static_cast<off_t>(document.size())), 0);
    EXPECT_EQ(config.Load(TextString(huge.c_str())), 0);
    EXPECT_EQ(config.tree.FindChild("A", &config.tree.root), kept);
    EXPECT_STREQ(kept->text.Text(), "a");
}

TEST(SetupConfigReload, LoadReadsTheWholeFileFromDisk) {
    TempFolder folder;
    std::string path = folder.File("config.xml");
    std::string text = "<?xml version=\"1.0\"?>\r\n<ROOT><Application Name=\"App\" Version=\"1\"><A>";
    text += std::string(100000, 'x') + "</A></Application></ROOT>";
    WriteBytes(path, text);
    SetupConfig config;
    Select(config, "App", "1");
    EXPECT_EQ(config.Load(TextString(path.c_str())), 0);
    EXPECT_EQ(config.tree.FindChild("A", &config.tree.root)->text.GetLength(), 100000);
    WriteBytes(path, "<ROOT><Application Name=\"App\" Version=\"1\"><A>broken");
    EXPECT_EQ(config.Load(TextString(path.c_str())), 1);
}

TEST(SetupConfigPositions, SignatureAttributeIsLocated) {
    const std::string text =
        "<ROOT>\r\n\t<Application Name=\"App\" Version=\"1\" Signature=\"abc\">\r\n\t</Application>\r\n</ROOT>\r\n";
    SetupConfig config;
    LoadString(Select(config, "App", "1"), text);
    EXPECT_EQ(config.signatureStart, static_cast<int32_t>(text.find(" Signature")));
    EXPECT_EQ(config.signatureEnd, static_cast<int32_t>(text.find("\t</Application>")));
    EXPECT_EQ(config.contentEnd, static_cast<int32_t>(text.size()));
    EXPECT_STREQ(config.signature.Text(), "abc");
    EXPECT_EQ(config.signatureValid, 0);  // not verified outside protection mode
}
