// XmlWriter beyond what the saved configurations pin byte for byte
// (tests/data/config): the tag forms and attribute insertion that saving does
// not use, copies, conversion and the failed state.
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

TEST(XmlWriter, TagFormsAndDepth) {
    XmlWriter writer;
    EXPECT_EQ(Narrow(writer), "<null>");
    writer.WriteEndTag("x");  // at depth 0 it stays unindented
    writer.WriteTag(1, 1, 1, "empty", 1);
    writer.WriteTag(1, 1, 0, "open", 0);
    writer.WriteTag(1, 0, 1, "open", 0);
    writer.WriteStartTag("a");
    writer.WriteTextElement("n&m", nullptr);  // names are written as they are
    EXPECT_EQ(Narrow(writer), "</x>\r\n<empty/>\r\n<open></open><a>\r\n\t<n&m></n&m>\r\n");
    EXPECT_EQ(writer.GetDepth(), 1u);
    writer.WriteDeclaration(nullptr);
    EXPECT_EQ(Narrow(writer), "<?xml version=\"1.0\"?>\r\n") << "the declaration replaces text and depth";
    EXPECT_EQ(writer.GetDepth(), 0u);
    writer.WriteDeclaration("");
    EXPECT_EQ(writer.GetLength(), 23);
}

TEST(XmlWriter, AddAttributeEditsTheLastGreaterThan) {
    struct {
        const char* text;
        const char* name;
        const char* value;
        const char* result;
    } cases[] = {
        {"<e/>\r\n", "a", nullptr, "<e a=\"\"/>\r\n"},
        {"<t>\r\ntext with > inside", "k", "v", "<t>\r\ntext with  k=\"v\"> inside"},
        {"<>", "a", "1", "<>"},        // too short to hold a tag
        {"<>xx", "a", "1", "<>xx"},    // the only ">" lies before where the search ends
        {"plain text", "a", "1", "plain text"}, {"<t>", "", "1", "<t>"}, {"<t>", nullptr, "1", "<t>"},
    };
    for (const auto& c : cases) {
        XmlWriter writer;
        writer.Append(c.text);
        writer.AddAttribute(c.name, c.value);
        EXPECT_EQ(Narrow(writer), c.result) << c.text;
    }
}

TEST(XmlWriter, CopiesAppendsAndAssignments) {
    XmlWriter a;
    a.WriteStartTag("x");
    XmlWriter copy(a);
    EXPECT_EQ(Narrow(copy), "<x>\r\n");
    EXPECT_EQ(copy.GetDepth(), 0u) << "a copy starts at depth 0";
    XmlWriter b;
    b.Append("head:");
    b.Append(a);
    b.Append(b);  // appending itself doubles the text
    EXPECT_EQ(Narrow(b), "head:<x>\r\nhead:<x>\r\n");
    a.Assign(static_cast<const char*>(nullptr));
    EXPECT_EQ(a.GetLength(), 0);
    b.Assign(a);
    b.Append(a);
    EXPECT_EQ(b.GetText(), nullptr);
    b.Append("");
    EXPECT_EQ(Narrow(b), "") << "an empty append still makes a text";
}

TEST(XmlWriter, NarrowTextFollowsEveryChangeThroughTheCodePage) {
    XmlWriter writer;
    writer.Append("\x80\xE9");  // euro sign and e acute in Windows-1252
    ASSERT_EQ(writer.GetLength(), 2);
    EXPECT_EQ(writer.GetText()[0], u'\u20AC');
    const char* first = writer.GetNarrowText();
    EXPECT_EQ(writer.GetNarrowText(), first) << "kept while unchanged";
    writer.AppendEscaped("<\xFF");
    EXPECT_EQ(Narrow(writer), "\x80\xE9&lt;\xFF");
}

TEST(XmlWriter, FailDropsTheTextUntilReplaced) {
    XmlWriter writer;
    writer.WriteStartTag("a");
    writer.Fail();
    EXPECT_EQ(writer.GetText(), nullptr);
    EXPECT_EQ(writer.GetDepth(), 0u);
    writer.Append("more");
    EXPECT_TRUE(writer.HasFailed()) << "a later append does not make the text whole again";
    writer.WriteDeclaration(nullptr);
    EXPECT_FALSE(writer.HasFailed());
}
