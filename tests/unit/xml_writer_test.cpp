// XmlWriter: the shapes of the lines it writes, indentation, attribute
// insertion, escaping and the buffer rules.
#include "xml/xml_writer.h"

#include <gtest/gtest.h>

#include <string>

using quillon::XmlWriter;

namespace {

std::string Narrow(XmlWriter& writer) {
    const char* text = writer.GetNarrowText();
    return text ? std::string(text) : std::string("<null>");
}

}  // namespace

TEST(XmlWriter, FreshWriterHasNoText) {
    XmlWriter writer;
    EXPECT_EQ(writer.GetLength(), 0);
    EXPECT_EQ(writer.GetText(), nullptr);
    EXPECT_EQ(writer.GetNarrowText(), nullptr);
    EXPECT_EQ(writer.GetDepth(), 0u);
}

TEST(XmlWriter, DocumentShapeWithEscapedTextElement) {
    XmlWriter writer;
    writer.WriteDeclaration("ISO-8859-1");
    writer.WriteStartTag("A");
    writer.WriteTextElement("B", "x<y");
    writer.WriteEndTag("A");
    EXPECT_EQ(Narrow(writer),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<A>\r\n\t<B>x&lt;y</B>\r\n</A>\r\n");
    EXPECT_EQ(writer.GetDepth(), 0u);
    EXPECT_EQ(writer.GetLength(), static_cast<int32_t>(Narrow(writer).size()));
}

TEST(XmlWriter, DeclarationWithoutEncodingReplacesTextAndDepth) {
    XmlWriter writer;
    writer.WriteStartTag("Old");
    writer.WriteStartTag("Deeper");
    EXPECT_EQ(writer.GetDepth(), 2u);
    writer.WriteDeclaration(nullptr);
    EXPECT_EQ(Narrow(writer), "<?xml version=\"1.0\"?>\r\n");
    EXPECT_EQ(writer.GetDepth(), 0u);
    writer.WriteDeclaration("");
    EXPECT_EQ(Narrow(writer), "<?xml version=\"1.0\"?>\r\n");
}

TEST(XmlWriter, IndentationFollowsDepth) {
    XmlWriter writer;
    writer.WriteStartTag("a");
    writer.WriteStartTag("b");
    writer.WriteTextElement("c", "1");
    writer.WriteEndTag("b");
    writer.WriteEndTag("a");
    EXPECT_EQ(Narrow(writer), "<a>\r\n\t<b>\r\n\t\t<c>1</c>\r\n\t</b>\r\n</a>\r\n");
}

TEST(XmlWriter, EndTagAtDepthZeroStaysUnindented) {
    XmlWriter writer;
    writer.WriteEndTag("x");
    writer.WriteEndTag("y");
    EXPECT_EQ(Narrow(writer), "</x>\r\n</y>\r\n");
    EXPECT_EQ(writer.GetDepth(), 0u);
}

TEST(XmlWriter, IndentWithoutWritingRaisesDepthOnly) {
    XmlWriter writer;
    writer.Indent(1, 0, 1);
    writer.Indent(1, 0, 0);
    EXPECT_EQ(writer.GetLength(), 0);
    EXPECT_EQ(writer.GetDepth(), 2u);
    writer.WriteTextElement("Leaf", "v");
    EXPECT_EQ(Narrow(writer), "\t\t<Leaf>v</Leaf>\r\n");
}

TEST(XmlWriter, WriteTagForms) {
    XmlWriter writer;
    writer.WriteTag(0, 1, 1, "empty", 1);  // opening and closing: "/>", depth unchanged
    EXPECT_EQ(Narrow(writer), "<empty/>\r\n");
    EXPECT_EQ(writer.GetDepth(), 0u);
    writer.WriteTag(1, 1, 0, "open", 0);
    writer.WriteTag(1, 0, 1, "open", 0);
    EXPECT_EQ(Narrow(writer), "<empty/>\r\n<open></open>");
}

TEST(XmlWriter, TextElementWithEmptyOrNullTextHasNothingBetweenTags) {
    XmlWriter writer;
    writer.WriteStartTag("r");
    writer.WriteTextElement("e", "");
    writer.WriteTextElement("n", nullptr);
    EXPECT_EQ(Narrow(writer), "<r>\r\n\t<e></e>\r\n\t<n></n>\r\n");
}

TEST(XmlWriter, EscapesTheFiveSpecialCharactersOnly) {
    XmlWriter writer;
    writer.AppendEscaped("a&b'c\"d<e>f\tg\xE9");
    EXPECT_EQ(Narrow(writer), "a&amp;b&apos;c&quot;d&lt;e&gt;f\tg\xE9");
    XmlWriter names;
    names.WriteTextElement("n&m", "&");  // names are written as they are
    EXPECT_EQ(Narrow(names), "<n&m>&amp;</n&m>\r\n");
}

TEST(XmlWriter, AddAttributeGoesIntoTheLastTag) {
    XmlWriter writer;
    writer.WriteStartTag("ROOT");
    writer.WriteStartTag("Application");
    writer.AddAttribute("Name", "X");
    writer.AddAttribute("Version", "say \"hi\" & <go>");  // values are not escaped
    EXPECT_EQ(Narrow(writer), "<ROOT>\r\n\t<Application Name=\"X\" Version=\"say \"hi\" & <go>\">\r\n");
}

TEST(XmlWriter, AddAttributeBeforeSlashOfEmptyElementAndNullValue) {
    XmlWriter writer;
    writer.WriteTag(0, 1, 1, "e", 1);
    writer.AddAttribute("a", nullptr);
    EXPECT_EQ(Narrow(writer), "<e a=\"\"/>\r\n");
}

TEST(XmlWriter, AddAttributeIgnoredWithoutRoomOrName) {
    XmlWriter none;
    none.AddAttribute("a", "1");
    EXPECT_EQ(none.GetText(), nullptr);

    XmlWriter tiny;
    tiny.Append("<>");  // 3 characters with the terminator: too short
    tiny.AddAttribute("a", "1");
    EXPECT_EQ(Narrow(tiny), "<>");

    XmlWriter noTag;
    noTag.Append("plain text");
    noTag.AddAttribute("a", "1");
    EXPECT_EQ(Narrow(noTag), "plain text");

    XmlWriter early;
    early.Append("<>xx");  // the only ">" is at index 1, below the scan's end
    early.AddAttribute("a", "1");
    EXPECT_EQ(Narrow(early), "<>xx");

    XmlWriter unnamed;
    unnamed.WriteStartTag("t");
    unnamed.AddAttribute("", "1");
    unnamed.AddAttribute(nullptr, "1");
    EXPECT_EQ(Narrow(unnamed), "<t>\r\n");
}

TEST(XmlWriter, AddAttributeActsOnTheLastGreaterThanWhateverItCloses) {
    XmlWriter writer;
    writer.WriteStartTag("a");
    writer.Append("text with > inside");
    writer.AddAttribute("k", "v");
    EXPECT_EQ(Narrow(writer), "<a>\r\ntext with  k=\"v\"> inside");
}

TEST(XmlWriter, AssignAppendAndCopies) {
    XmlWriter a;
    a.WriteStartTag("x");
    a.WriteStartTag("y");
    XmlWriter copy(a);
    EXPECT_EQ(Narrow(copy), Narrow(a));
    EXPECT_EQ(copy.GetDepth(), 0u);  // a copy starts at depth 0

    XmlWriter b;
    b.Append("head:");
    b.Append(a);
    EXPECT_EQ(Narrow(b), "head:<x>\r\n\t<y>\r\n");
    b.Append(b);  // appending itself doubles the text
    EXPECT_EQ(Narrow(b), "head:<x>\r\n\t<y>\r\nhead:<x>\r\n\t<y>\r\n");

    a.Assign("fresh");
    EXPECT_EQ(Narrow(a), "fresh");
    EXPECT_EQ(a.GetDepth(), 0u);
    a.Assign(static_cast<const char*>(nullptr));
    EXPECT_EQ(a.GetText(), nullptr);
    EXPECT_EQ(a.GetLength(), 0);

    XmlWriter empty;
    b.Assign(empty);
    EXPECT_EQ(b.GetText(), nullptr);
    b.Append(empty);
    EXPECT_EQ(b.GetText(), nullptr);
    b.Append("");
    EXPECT_EQ(Narrow(b), "");  // an empty append still creates the buffer
}

TEST(XmlWriter, NarrowRenderingFollowsEveryChange) {
    XmlWriter writer;
    writer.Append("one");
    const char* first = writer.GetNarrowText();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(writer.GetNarrowText(), first);  // cached while unchanged
    writer.Append(" two");
    EXPECT_EQ(Narrow(writer), "one two");
    writer.AddAttribute("x", "y");
    EXPECT_EQ(Narrow(writer), "one two");
    writer.AppendEscaped("<");
    EXPECT_EQ(Narrow(writer), "one two&lt;");
}

TEST(XmlWriter, ConvertsThroughTheAnsiCodePage) {
    XmlWriter writer;
    writer.Append("\x80\xE9\xFF");  // euro sign, e acute, y diaeresis in Windows-1252
    ASSERT_EQ(writer.GetLength(), 3);
    EXPECT_EQ(writer.GetText()[0], u'\u20AC');
    EXPECT_EQ(writer.GetText()[1], u'\u00E9');
    EXPECT_EQ(writer.GetText()[2], u'\u00FF');
    EXPECT_EQ(Narrow(writer), "\x80\xE9\xFF");
}

TEST(XmlWriter, LongTextGrowsIntact) {
    XmlWriter writer;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        std::string piece = "piece" + std::to_string(i) + ";";
        writer.Append(piece.c_str());
        expected += piece;
    }
    EXPECT_EQ(writer.GetLength(), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(Narrow(writer), expected);
    EXPECT_FALSE(writer.HasFailed());
}

TEST(XmlWriter, FailDropsTheTextAndIsRemembered) {
    XmlWriter writer;
    writer.WriteStartTag("a");
    writer.Fail();
    EXPECT_EQ(writer.GetText(), nullptr);
    EXPECT_EQ(writer.GetDepth(), 0u);
    EXPECT_TRUE(writer.HasFailed());
    writer.Append("more");
    EXPECT_TRUE(writer.HasFailed());  // a later append does not make the text whole again
    writer.WriteDeclaration(nullptr);
    EXPECT_FALSE(writer.HasFailed());
}
