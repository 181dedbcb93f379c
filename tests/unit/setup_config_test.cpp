// SetupConfig loading: which section is selected, what becomes a node and
// its text, and what a second load keeps or resets.
#include "config/setup_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "config_test_files.h"

using quillon::test::SectionFile;
using quillon::test::SelectedConfig;
using quillon::test::TempFolder;
using quillon::test::WriteBytes;

TEST(SetupConfig, SectionsAndTheirNodes) {
    const std::string kThreeSections =
        "<ROOT><Application Name=\"Other\" Version=\"1.0\"><X>no</X></Application>"
        "<Application Name=\"App\" Version=\"1.0\"><A>x</A><B><C>c</C></B></Application>"
        "<Application Name=\"App\" Version=\"2.0\"><Y>no</Y></Application></ROOT>";
    struct {
        const char* what;
        const char* app;
        const char* version;
        std::string file;
        const char* shape;
        int sections;
    } cases[] = {
        {"the matching section's children", "App", "1.0", kThreeSections, "A=x,B(C=c)", 1},
        {"the version differs", "App", "1.00", kThreeSections, "", 0},
        {"the name differs in case", "app", "1.0", kThreeSections, "", 0},
        {"a blank more", "App ", "1.0", kThreeSections, "", 0},
        {"nothing selected", nullptr, nullptr, kThreeSections, "", 0},
        {"several sections are joined, other attributes ignored", "App", "1.0",
         "<ROOT><Application Name=\"App\" Version=\"1.0\"><A/></Application>"
         "<Application Version=\"1.0\" Name=\"App\" Extra=\"x\"><B/></Application></ROOT>", "A,B", 2},
        {"only an Application directly below ROOT is a section", "App", "1.0",
         "<ROOT><Application Name=\"App\" Version=\"1.0\"><Application Name=\"Other\" Version=\"9\"><Z>z</Z>"
         "</Application></Application><G><Application Name=\"App\" Version=\"1.0\"><Q/></Application></G></ROOT>",
         "Application(Z=z)", 1},
        {"the document element is exactly ROOT", "App", "1.0", "<Root><Application Name=\"App\" Version=\"1.0\"><A/>"
         "</Application></Root>", "", 0},
        {"entities replaced, character references and CDATA dropped", "App", "1",
         SectionFile("App", "1", "<T>a&amp;b&#65;</T><U>&lt;&gt;&apos;&quot;&custom;</U><V><![CDATA[x]]></V><W/>"),
         "T=a&b,U=<>'\",V,W", 1},
        {"an entity in an attribute value goes into the text", "App", "1",
         SectionFile("App", "1", "<E a=\"x&amp;y\">t</E>"), "E=&t", 1},
        {"duplicate names are all kept", "App", "1", SectionFile("App", "1", "<I>1</I><I>2</I>"), "I=1,I=2", 1},
        {"whitespace between children is collected", "App", "1",
         SectionFile("App", "1", "\r\n\t<P>\r\n\t\t<C> c </C>\r\n\t</P>\r\n"), "P=\r\n\t\t\r\n\t(C= c )", 1},
    };
    for (const auto& c : cases) {
        SelectedConfig config(c.app, c.version);
        EXPECT_EQ(config.LoadString(c.file), 0) << c.what;
        EXPECT_EQ(config.Shape(), c.shape) << c.what;
        EXPECT_EQ(config.sectionsFound, c.sections) << c.what;
        EXPECT_EQ(config.tree.current, &config.tree.root) << c.what;
    }
}

TEST(SetupConfig, AValueSplitAtAReferenceOrEmptyNeverMatches) {
    // Neither the whole value, raw or replaced, nor any run of it between
    // references selects.
    const char* cases[][4] = {
        {"Led&amp;ger", "1", "Led&ger", "1"}, {"Led&amp;ger", "1", "Led", "1"}, {"Led&amp;ger", "1", "ger", "1"},
        {"A", "4&#46;2", "A", "2"}, {"&#x41;pp", "1", "pp", "1"}, {"", "1", "", "1"}, {"App", "1&#32;", "App", "1"},
        {"Led&amp;ger", "1", "Led&amp;ger", "1"},
    };
    for (const auto& c : cases) {
        SelectedConfig config(c[2], c[3]);
        EXPECT_EQ(config.LoadString(SectionFile(c[0], c[1], "<N/>")), 0);
        EXPECT_EQ(config.Shape(), "") << c[0] << " " << c[1] << " selected by " << c[2] << " " << c[3];
    }
}

TEST(SetupConfig, EachLoadStartsAfreshButTheRootsText) {
    SelectedConfig config;
    const std::string text = SectionFile("App", "1", " <A>a</A> ");
    config.LoadString(text);
    config.LoadString(text);
    EXPECT_EQ(config.Shape(), "A=a");
    EXPECT_STREQ(config.tree.root.text.Text(), "    ") << "two blanks per load";

    // Stopped inside <B><C>: the nodes read so far stay, current is the root
    // (so a save writes the whole partial tree), and the next load is clean.
    EXPECT_EQ(config.LoadString("<ROOT><Application Name=\"App\" Version=\"1\"><A>a</A><B><C>c<"), 1);
    EXPECT_EQ(config.Shape(), "A=a,B(C=c)");
    EXPECT_EQ(config.tree.current, &config.tree.root);
    EXPECT_EQ(config.LoadString(SectionFile("App", "1", "<D>d</D>")), 0);
    EXPECT_EQ(config.Shape(), "D=d");
    EXPECT_STREQ(config.elementPath.Text(), "");
    // A load that stopped inside a matching section does not select the next
    // file's elements either.
    config.LoadString("<ROOT><Application Name=\"App\" Version=\"1\"><A>");
    config.LoadString("<ROOT><Z>z</Z></ROOT>");
    EXPECT_EQ(config.Shape(), "");
    EXPECT_EQ(config.LoadString("x"), 1);
    EXPECT_EQ(config.elementPath.Text(), nullptr) << "no element was opened: null, not the empty path";
}

TEST(SetupConfig, LoadReadsWholeFilesAndIgnoresUnreadableOnes) {
    TempFolder folder;
    const std::string good = folder.File("good.xml"), empty = folder.File("empty.xml");
    WriteBytes(good, "<?xml version=\"1.0\"?>\r\n" + SectionFile("App", "1", "<A>" + std::string(100000, 'x') + "</A>"));
    WriteBytes(empty, "");
    SelectedConfig config;
    EXPECT_EQ(config.LoadFile(good), 0);
    quillon::ConfigNode* kept = config.tree.FindChild("A", &config.tree.root);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->text.GetLength(), 100000);
    // Positions are 32-bit, so a file of 2^32 bytes or more is refused; taken
    // modulo 2^32 its size would read as just the valid section at its start.
    // The tail is a hole: no disk space is used.
    const std::string huge = folder.File("huge.xml"), section = SectionFile("App", "1", "<A>b</A>");
    WriteBytes(huge, section);
    ASSERT_EQ(::truncate(huge.c_str(), (off_t{1} << 32) + static_cast<off_t>(section.size())), 0);
    for (const std::string& unreadable : {folder.File("missing.xml"), empty, folder.Path(), std::string(), huge}) {
        EXPECT_EQ(config.Load(quillon::TextString(unreadable.empty() ? nullptr : unreadable.c_str())), 0);
        EXPECT_EQ(config.tree.FindChild("A", &config.tree.root), kept) << unreadable;
    }
}
