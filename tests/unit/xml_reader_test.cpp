#include "xml/xml_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "xml_trace.h"

using quillon::XMLReader;
using quillon::XMLToken;
using quillon_test::Repeat;
using quillon_test::TraceReader;

TEST(XMLToken, AbsentEmptyAndCopiedStatesStayApart) {
    XMLToken token;
    EXPECT_TRUE(token.Equals(nullptr));
    EXPECT_FALSE(token.Equals(""));
    token.Assign("abc", 0);
    EXPECT_TRUE(token.Equals(""));
    EXPECT_FALSE(token.Equals(nullptr)) << "a present token never equals a null literal";
    token.Assign("abcdef", -1);
    EXPECT_EQ(token.Length(), 6);
    token.Assign(token.Text() + 2, 2);  // a piece of its own text
    EXPECT_STREQ(token.Text(), "cd");

    XMLToken copy(token);
    token.Assign(nullptr, 5);
    EXPECT_EQ(token.Text(), nullptr) << "a null text makes the token absent";
    EXPECT_STREQ(copy.Text(), "cd");
    copy = copy;
    EXPECT_STREQ(copy.Text(), "cd");
    copy = token;
    EXPECT_EQ(copy.Text(), nullptr);
}

// By default the reader drops whitespace-only text (the configuration keeps
// it, and so do the tool's event transcripts, which hold the other sequences).
TEST(XMLReader, EventSequencesWithoutWhitespaceText) {
    struct {
        const char* text;
        const char* trace;
    } cases[] = {
        {"<a> <b/>\r\n\t<c> x y </c>\n</a>", "1@0 3@2:a 10@3 3@6:b 10@8 4@8 3@13:c 10@14 6@19: x y  4@23 4@28 2@28"},
        {"<a>\n\t\x0B\n</a>", "1@0 3@2:a 10@3 6@7:\n\t\x0B\n 4@11 2@11"},  // a vertical tab is no whitespace
        {nullptr, ""}, {"", ""},
    };
    for (const auto& c : cases) {
        TraceReader reader;
        EXPECT_EQ(reader.Parse(c.text), 0) << c.trace;
        EXPECT_EQ(reader.trace(), c.trace);
    }
}

// What is accepted (0) and refused (1), with and without a callback.
TEST(XMLReader, Grammar) {
    const struct {
        const char* text;
        int result;
    } cases[] = {
        // Prolog and document level. Refusals with a known position and cause are in the table above.
        {"  \r\n\t<a/>", 0}, {"<?xml version = '1.0' ?>\n<a/>", 0}, {"<?xml version='1.0' standalone='no'?><a/>", 0},
        {"<?xml version='2.x_a:b-c'?><a/>", 0},  // the number is not compared
        {"<?XML-style x?><a/>", 0}, {"<?xmlfoo?><a/>", 1},  // "<?xml" at position 0 always starts the declaration
        {"<?XML version='1.0'?><a/>", 1}, {"<a/><?XmL?>", 1}, {"<!-- only a comment -->", 1},
        {"<?xml version='1.0' standalone='maybe'?><a/>", 1}, {"<?xml version='1 0'?><a/>", 1},
        {"<?xml version='1.0\"?><a/>", 1}, {"<?xml encoding='UTF-8'?><a/>", 1},
        {"<?xml version='1.0'encoding='UTF-8'?><a/>", 1}, {"<?xml version='1.0' standalone='yes' encoding='UTF-8'?><a/>", 1},
        {"<!DOCTYPE a><!DOCTYPE b><a/>", 1}, {"<a/><!-- unterminated", 1},
        // Elements and attributes; end-tag names are not compared.
        {"<a>x</b>", 0}, {"<a x='1' x='2'/>", 0}, {"<a x='say \"hi\"'/>", 0}, {"<a\n x = '1'\t/>", 0},
        {"<a >x</a >", 0}, {"<a x='\x01\xFF'/>", 0}, {"<a x/>", 1}, {"<a x=1/>", 1}, {"<a x='1\"/>", 1},
        {"<a x='&'/>", 1}, {"< a/>", 1}, {"<a><1/></a>", 1}, {"<a></ a>", 1}, {"<a/ >", 1}, {"<a", 1},
        {"<a x='1", 1}, {"<a></a", 1},
        // Content markup and references: their form only, no range test.
        {"<a>&#65;&#x41;&#x0aF;&#0;&#99999999999;</a>", 0}, {"<a>\x01\x7F</a>", 0}, {"<a>]]</a>", 0},
        {"<a>]></a>", 0}, {"<a><![CDATA[<&]]]></a>", 0}, {"<a><![CDATA[]]></a>", 0}, {"<a><!----></a>", 0},
        {"<a><!-- - --></a>", 0}, {"<a><?pi?><?pi x ?></a>", 0}, {"<a>&#x;</a>", 1}, {"<a>&#12a;</a>", 1},
        {"<a>& </a>", 1}, {"<a>&foo</a>", 1}, {"<a>&1;</a>", 1}, {"<a>x]]>y</a>", 1}, {"<a><!-- x ---></a>", 1},
        {"<a><!-- x", 1}, {"<a><![CDATA[x", 1}, {"<a><?pi \x01?></a>", 1}, {"<a><?pi\x01?></a>", 1},
        {"<a><?xml?></a>", 1}, {"<a><? pi?></a>", 1}, {"<a><![cdata[x]]></a>", 1}, {"<a><!DOCTYPE a></a>", 1},
        // A document type; a system literal is not checked. The internal subset has tests of its own.
        {"<!DOCTYPE a [ ]><a/>", 0}, {"<!DOCTYPE a ><a/>", 0}, {"<!DOCTYPE a SYSTEM '\x01<>\"'><a/>", 0},
        {"<!DOCTYPE a PUBLIC \"-//A 'b'//EN\" 'x.dtd' [] ><a/>", 0}, {"<!DOCTYPE a PUBLIC '-//A//EN' \"x\"><a/>", 0},
        {"<!DOCTYPE a PUBLIC '-//A's//EN' 'x'><a/>", 1}, {"<!DOCTYPE a PUBLIC \"{}\" 'x'><a/>", 1},
        {"<!DOCTYPE a PUBLIC '-//A//EN'><a/>", 1}, {"<!DOCTYPE a SYSTEM><a/>", 1}, {"<!DOCTYPE a SYSTEM x><a/>", 1},
        {"<!DOCTYPE a SYSTEM 'x><a/>", 1}, {"<!DOCTYPE a system 'x'><a/>", 1}, {"<!DOCTYPE a [ ] [ ]><a/>", 1},
        {"<!DOCTYPE><a/>", 1}, {"<!DOCTYPE a [", 1}, {"<!DOCTYPE a [<!ENTITY e 'x", 1},
        {"<!DOCTYPE a [<!ELEMENT a (b", 1}, {"<!DOCTYPE a [<!ATTLIST a b CDATA '", 1},
    };
    for (const auto& c : cases) {
        TraceReader traced;
        EXPECT_EQ(traced.Parse(c.text), c.result) << c.text;
        XMLReader silent;
        EXPECT_EQ(silent.ParseText(c.text), c.result) << "without a callback: " << c.text;
    }
}

// Which bytes may start or continue a name, over all 255 non-NUL bytes.
TEST(XMLReader, NameBytes) {
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        bool letter = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= 0xC0 && b <= 0xD6) ||
                      (b >= 0xD8 && b <= 0xF6) || b >= 0xF8;
        bool start = letter || c == '_' || c == ':';
        bool continues = start || (b >= '0' && b <= '9') || c == '.' || c == '-' || b == 0xB7;
        TraceReader first, later;
        EXPECT_EQ(first.Parse((std::string("<") + c + "/>").c_str()), start ? 0 : 1) << "start byte " << b;
        EXPECT_EQ(later.Parse((std::string("<a") + c + "b/>").c_str()), continues ? 0 : 1) << "later byte " << b;
        EXPECT_EQ(later.trace().find(std::string("3@4:a") + c + "b"), continues ? 4u : std::string::npos) << b;
    }
}

TEST(XMLReader, OneReaderParsesAgainAndKeepsItsTokens) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<?xml version='1.0' encoding='ascii'?><a x='&amp;'/>"), 0);
    EXPECT_TRUE(reader.NameToken().Equals("amp")) << "the entity name was the last Name read";
    EXPECT_TRUE(reader.ValueToken().Equals("&amp;"));
    EXPECT_EQ(reader.Parse("<b><c>"), 1);
    EXPECT_EQ(reader.Position(), 6);
    EXPECT_TRUE(reader.NameToken().Equals("c"));
    EXPECT_TRUE(reader.VersionToken().Equals("1.0")) << "tokens keep their values between parses";
    EXPECT_TRUE(reader.EncodingToken().Equals("ascii"));
    EXPECT_EQ(reader.Parse("<d/>"), 0) << "the error of the last parse is reset";
    EXPECT_EQ(reader.ErrorCause(), quillon::XMLErrorCause::kNone);
    EXPECT_EQ(reader.trace(), "1@0 3@2:d 10@4 4@4 2@4") << "the callback stays registered";
}

// Elements nest kMaxElementDepth levels deep; one more is an error at its
// "<", also a million more, and siblings do not count.
TEST(XMLReader, NestingLimit) {
    const int limit = XMLReader::kMaxElementDepth;
    TraceReader reader;
    EXPECT_EQ(reader.Parse((Repeat("<a>", limit - 1) + "<a/>" + Repeat("</a>", limit - 1)).c_str()), 0);
    for (const char* deepest : {"<a/>", "<a></a>"}) {
        EXPECT_EQ(reader.Parse((Repeat("<a>", limit) + deepest + Repeat("</a>", limit)).c_str()), 1) << deepest;
        EXPECT_EQ(reader.Position(), 3 * limit) << deepest;
        const std::string last = " 10@" + std::to_string(3 * limit);  // the deepest allowed start tag ends the trace
        EXPECT_EQ(reader.trace().rfind(last), reader.trace().size() - last.size()) << deepest;
    }
    XMLReader silent;
    EXPECT_EQ(silent.ParseText((Repeat("<a>", 1000000) + Repeat("</a>", 1000000)).c_str()), 1);
    EXPECT_EQ(silent.Position(), 3 * limit);
    EXPECT_EQ(silent.ParseText(("<r>" + Repeat("<a><b/></a>", 20000) + "</r>").c_str()), 0);
}
