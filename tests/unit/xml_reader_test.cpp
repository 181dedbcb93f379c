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
    token.Assign("abcdef", 3);
    EXPECT_TRUE(token.Equals("abc"));
    EXPECT_EQ(token.Length(), 3);
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

// Every event with its position and payload (see xml_trace.h).
TEST(XMLReader, EventSequences) {
    struct {
        const char* what;
        const char* text;
        int result;
        const char* trace;
        bool keepWhitespace = false;
    } cases[] = {
        {"element, attribute and text", "<a x=\"1\">t</a>", 0, "1@0 3@2:a 11@4:x 13@8:1 5@8:x=1 12@8 10@9 6@10:t 4@14 2@14"},
        {"empty element", "<a/>", 0, "1@0 3@2:a 10@4 4@4 2@4"},
        {"no empty part beside a reference", "<a v='&lt;&#65;&gt;' w=''/>", 0,
         "1@0 3@2:a 11@4:v 9@10:lt=< 9@19:gt=> 5@20:v=&lt;&#65;&gt; 12@20 11@22:w 5@25:w= 12@25 10@27 4@27 2@27"},
        {"references split text", "<a>x&lt;y&#65;z&foo;</a>", 0,
         "1@0 3@2:a 10@3 6@4:x 9@8:lt=< 6@9:y 6@15:z 9@20:foo=~ 4@24 2@24"},
        {"predefined entities, with case", "<a>&lt;&gt;&amp;&apos;&quot;&Amp;</a>", 0,
         "1@0 3@2:a 10@3 9@7:lt=< 9@11:gt=> 9@16:amp=& 9@22:apos=' 9@28:quot=\" 9@33:Amp=~ 4@37 2@37"},
        {"declaration", "<?xml version='1.0' encoding=\"latin1\" standalone=\"yes\"?><r/>", 0,
         "1@0 7@19:1.0 8@37:latin1 3@58:r 10@60 4@60 2@60"},
        {"markup outside text is silent", "<!DOCTYPE r><!--c--><?p d?><r><!--c--><?p?><![CDATA[<x>]]></r><!--c-->", 0,
         "1@0 3@29:r 10@30 4@62 2@70"},
        {"end after trailing misc, the rest unread", "<a/> <!--c--> <b>unread", 0, "1@0 3@2:a 10@4 4@4 2@14"},
        {"nested elements close in order", "<a><b c='d'/><e >f</e ></a>", 0,
         "1@0 3@2:a 10@3 3@5:b 11@7:c 13@11:d 5@11:c=d 12@11 10@13 4@13 3@15:e 10@17 6@18:f 4@23 4@27 2@27"},
        {"nothing after an error", "<a><b></a", 1, "1@0 3@2:a 10@3 3@5:b 10@6"}, {"null text", nullptr, 0, ""},
        {"empty text", "", 0, ""},
        {"whitespace runs dropped", "<a> <b/>\r\n\t<c> x y </c>\n</a>", 0,
         "1@0 3@2:a 10@3 3@6:b 10@8 4@8 3@13:c 10@14 6@19: x y  4@23 4@28 2@28"},
        {"whitespace runs kept", "<a> <b/>\r\n\t<c> x y </c>\n</a>", 0,
         "1@0 3@2:a 10@3 6@4:  3@6:b 10@8 4@8 6@11:\r\n\t 3@13:c 10@14 6@19: x y  4@23 6@24:\n 4@28 2@28", true},
        {"a vertical tab is no whitespace", "<a>\n\t\x0B\n</a>", 0, "1@0 3@2:a 10@3 6@7:\n\t\x0B\n 4@11 2@11"},
    };
    for (const auto& c : cases) {
        TraceReader reader;
        reader.SetDropWhitespaceText(!c.keepWhitespace);
        EXPECT_EQ(reader.Parse(c.text), c.result) << c.what;
        EXPECT_EQ(reader.trace(), c.trace) << c.what;
    }
}

TEST(XMLReaderErrors, PositionAndCauseTellWhereAndWhy) {
    using Cause = quillon::XMLErrorCause;
    struct {
        const char* text;
        int position;
        Cause cause;
        const char* expected;
    } cases[] = {
        {"<a x=\"1\"y=\"2\"/>", 8, Cause::kExpected, ">"},  // at y
        {"<a>]]></a>", 3, Cause::kExpected, "</"},  // content ends at "]]>"
        {"<a><!-- a -- b --></a>", 10, Cause::kExpected, "-->"},
        {"<a x='a<b'/>", 7, Cause::kLessThanInAttribute, ""}, {"x<a/>", 0, Cause::kExpected, "<"},
        {" <?xml version='1.0'?><a/>", 6, Cause::kReservedTarget, ""},  // refused after it is read
        {"<a>&#X41;</a>", 5, Cause::kNoDigits, ""},  // only a lower-case x opens a hexadecimal number
        {"<a>&#;</a>", 5, Cause::kNoDigits, ""}, {"<a><![CDATA[\x01]]></a>", 12, Cause::kExpected, "]]>"},
        {"<!DOCTYPE a [<![INCLUDE[]]>]><a/>", 13, Cause::kExpected, "]"},
        {"<a><!--\x01--></a>", 7, Cause::kNotACharacter, ""}, {"<a><b></a", 9, Cause::kEndOfText, ""},
        {"<a x='1' 1='2'/>", 9, Cause::kExpected, ">"}, {"<a>< b/></a>", 3, Cause::kExpected, "</"},
        {"<?xml version=''?><a/>", 15, Cause::kVersionExpected, ""},
        {"<?xml version='1' encoding='-'?><a/>", 28, Cause::kEncodingExpected, ""},
        {"<!DOCTYPE a [<!ENTITY e '<'>]><a/>", 25, Cause::kLessThanInEntity, ""},
        {"<!DOCTYPEa><a/>", 9, Cause::kSpaceExpected, ""}, {"<a></>", 5, Cause::kNameExpected, ""},
    };
    for (const auto& c : cases) {
        TraceReader reader;
        EXPECT_EQ(reader.Parse(c.text), 1) << c.text;
        EXPECT_EQ(reader.Position(), c.position) << c.text;
        EXPECT_EQ(reader.ErrorCause(), c.cause) << c.text;
        EXPECT_STREQ(reader.ErrorExpected(), c.expected) << c.text;
        XMLReader silent;
        EXPECT_EQ(silent.ParseText(c.text), 1) << "without a callback: " << c.text;
    }
}

// What is accepted (0) and refused (1), with and without a callback.
TEST(XMLReader, Grammar) {
    const struct {
        const char* text;
        int result;
    } cases[] = {
        // Prolog and document level. Refusals with a known position and cause are in the table above.
        {"<a/>", 0}, {"  \r\n\t<a/>", 0}, {"<?xml version=\"1.0\"?><a/>", 0}, {"<?xml version = '1.0' ?>\n<a/>", 0},
        {"<?xml version='1.0' encoding='UTF-8'?><a/>", 0}, {"<?xml version='1.0' standalone='no'?><a/>", 0},
        {"<?xml version='1.0' standalone=\"yes\" ?><a/>", 0},
        {"<?xml version='2.x_a:b-c'?><a/>", 0},  // the number is not compared
        {"<a/><b/>", 0}, {"<a/>&broken <", 0}, {"<?pi?><a/>", 0}, {"<?XML-style x?><a/>", 0},
        {"<?xmlfoo?><a/>", 1},  // "<?xml" at position 0 always starts the declaration
        {"<?XML version='1.0'?><a/>", 1}, {"<a/><?XmL?>", 1}, {"\xEF\xBB\xBF<a/>", 1},  // a byte order mark
        {"<!-- only a comment -->", 1}, {"<?xml version='1.0' standalone='maybe'?><a/>", 1},
        {"<?xml version='1.0' standalone='yes\"?><a/>", 1}, {"<?xml version='1 0'?><a/>", 1},
        {"<?xml version='1.0\"?><a/>", 1}, {"<?xml encoding='UTF-8'?><a/>", 1},
        {"<?xml version='1.0' encoding='UTF 8'?><a/>", 1}, {"<?xml version='1.0'encoding='UTF-8'?><a/>", 1},
        {"<?xml version='1.0' standalone='yes' encoding='UTF-8'?><a/>", 1}, {"<?xml version='1.0'", 1},
        {"<!DOCTYPE a><!DOCTYPE b><a/>", 1}, {"<a/><!-- unterminated", 1}, {"<a/><?pi", 1},
        // Elements and attributes; end-tag names are not compared.
        {"<a>x</b>", 0}, {"<a x='1' x='2'/>", 0}, {"<a x='say \"hi\"'/>", 0}, {"<a\n x = '1'\t/>", 0},
        {"<a >x</a >", 0}, {"<a x='\x01\xFF'/>", 0}, {"<a x='>'/>", 0}, {"<a x/>", 1}, {"<a x=1/>", 1},
        {"<a x='1\"/>", 1}, {"<a x='&'/>", 1}, {"<a x='&#x;'/>", 1}, {"< a/>", 1}, {"<a><1/></a>", 1}, {"<a></ a>", 1},
        {"<a/ >", 1}, {"<a", 1}, {"<a/", 1}, {"<a x='1", 1}, {"<a>", 1}, {"<a></a", 1},
        // Content markup and references: their form only, no range test.
        {"<a>&foo;</a>", 0}, {"<a>&#65;&#x41;&#x0aF;&#0;&#99999999999;</a>", 0}, {"<a>\x01\x7F</a>", 0},
        {"<a>]]</a>", 0}, {"<a>]></a>", 0}, {"<a><![CDATA[<&]]]></a>", 0}, {"<a><![CDATA[]]></a>", 0},
        {"<a><!----></a>", 0}, {"<a><!-- - --></a>", 0}, {"<a><?pi?><?pi x ?></a>", 0}, {"<a>&#x;</a>", 1},
        {"<a>&#12a;</a>", 1}, {"<a>& </a>", 1}, {"<a>&foo</a>", 1}, {"<a>&1;</a>", 1}, {"<a>x]]>y</a>", 1},
        {"<a><!-- x ---></a>", 1}, {"<a><!-- x", 1}, {"<a><![CDATA[x", 1}, {"<a><?pi \x01?></a>", 1},
        {"<a><?pi\x01?></a>", 1}, {"<a><?xml?></a>", 1}, {"<a><? pi?></a>", 1}, {"<a><![cdata[x]]></a>", 1},
        {"<a><!DOCTYPE a></a>", 1},
        // A document type without an internal subset; a system literal is not checked.
        {"<!DOCTYPE a [ ]><a/>", 0}, {"<!DOCTYPE a ><a/>", 0}, {"<!DOCTYPE a SYSTEM \"x.dtd\"><a/>", 0},
        {"<!DOCTYPE a SYSTEM '\x01<>\"'><a/>", 0}, {"<!DOCTYPE a PUBLIC \"-//A 'b'//EN\" 'x.dtd' [] ><a/>", 0},
        {"<!DOCTYPE a PUBLIC '-//A//EN' \"x\"><a/>", 0}, {"<!DOCTYPE a>\n<!--c-->\n<a/>", 0},
        {"<!DOCTYPE a PUBLIC '-//A's//EN' 'x'><a/>", 1}, {"<!DOCTYPE a PUBLIC \"{}\" 'x'><a/>", 1},
        {"<!DOCTYPE a PUBLIC '-//A//EN'><a/>", 1}, {"<!DOCTYPE a SYSTEM><a/>", 1}, {"<!DOCTYPE a SYSTEM x><a/>", 1},
        {"<!DOCTYPE a SYSTEM 'x><a/>", 1}, {"<!DOCTYPE a system 'x'><a/>", 1}, {"<!DOCTYPE a [ ] [ ]><a/>", 1},
        {"<!DOCTYPE><a/>", 1}, {"<!DOCTYPE a", 1}, {"<!DOCTYPE a [", 1},
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
    EXPECT_EQ(reader.Parse(nullptr), 0);
    EXPECT_EQ(reader.Position(), 0);
    EXPECT_TRUE(reader.NameToken().Equals("d"));

    reader.SetCallback(nullptr, nullptr);
    EXPECT_EQ(reader.Parse("<a x='1'>t</a>"), 0);
    EXPECT_EQ(reader.trace(), "");
    EXPECT_TRUE(reader.ValueToken().Equals("1")) << "the document is still read in full";
}

// Elements nest kMaxElementDepth levels deep; one more is an error at its
// "<", also a million more, and siblings do not count.
TEST(XMLReader, NestingLimit) {
    const int limit = XMLReader::kMaxElementDepth;
    TraceReader reader;
    auto startTags = [&reader] {
        int count = 0;
        for (size_t at = reader.trace().find(":a"); at != std::string::npos; at = reader.trace().find(":a", at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(reader.Parse((Repeat("<a>", limit - 1) + "<a/>" + Repeat("</a>", limit - 1)).c_str()), 0);
    EXPECT_EQ(startTags(), limit);
    for (const char* deepest : {"<a/>", "<a></a>"}) {
        EXPECT_EQ(reader.Parse((Repeat("<a>", limit) + deepest + Repeat("</a>", limit)).c_str()), 1) << deepest;
        EXPECT_EQ(reader.Position(), 3 * limit) << deepest;
        EXPECT_EQ(startTags(), limit) << deepest;
    }
    XMLReader silent;
    EXPECT_EQ(silent.ParseText((Repeat("<a>", 1000000) + Repeat("</a>", 1000000)).c_str()), 1);
    EXPECT_EQ(silent.Position(), 3 * limit);
    EXPECT_EQ(silent.ParseText(("<r>" + Repeat("<a><b/></a>", 20000) + "</r>").c_str()), 0);
}
