#include "xml/xml_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "xml_trace.h"

using quillon::XMLReader;
using quillon::XMLToken;
using quillon_test::TraceReader;

namespace {

int ParseWithoutCallback(const std::string& text) {
    XMLReader reader;
    return reader.ParseText(text.c_str());
}

struct GrammarCase {
    const char* text;
    int result;
};

void ExpectResults(const GrammarCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        TraceReader reader;
        EXPECT_EQ(reader.Parse(cases[i].text), cases[i].result) << "document: " << cases[i].text;
        EXPECT_EQ(ParseWithoutCallback(cases[i].text), cases[i].result)
            << "without a callback, document: " << cases[i].text;
    }
}

std::string Repeat(const std::string& piece, int count) {
    std::string out;
    out.reserve(piece.size() * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) out += piece;
    return out;
}

}  // namespace

// --- XMLToken states --------------------------------------------------------

TEST(XMLToken, AbsentAndEmptyAreDifferent) {
    XMLToken token;
    EXPECT_EQ(token.Text(), nullptr);
    EXPECT_TRUE(token.Equals(nullptr));
    EXPECT_FALSE(token.Equals(""));

    token.Assign("abc", 0);
    ASSERT_NE(token.Text(), nullptr);
    EXPECT_STREQ(token.Text(), "");
    EXPECT_TRUE(token.Equals(""));
    EXPECT_FALSE(token.Equals(nullptr)) << "a present token never equals a null literal";

    token.Assign(nullptr, 5);
    EXPECT_EQ(token.Text(), nullptr) << "a null text makes the token absent";
}

TEST(XMLToken, AssignCopiesLengthOrUpToTheNul) {
    XMLToken token;
    token.Assign("abcdef", 3);
    EXPECT_STREQ(token.Text(), "abc");
    EXPECT_EQ(token.Length(), 3);
    token.Assign("abcdef", -1);
    EXPECT_STREQ(token.Text(), "abcdef");
    EXPECT_EQ(token.Length(), 6);
    EXPECT_TRUE(token.Equals("abcdef"));
    EXPECT_FALSE(token.Equals("ABCDEF")) << "comparison is case-sensitive";
    EXPECT_FALSE(token.Equals("abcde"));

    token.Assign(token.Text() + 2, 2);  // a piece of its own text
    EXPECT_STREQ(token.Text(), "cd");
    token.Clear();
    EXPECT_EQ(token.Text(), nullptr);
    EXPECT_EQ(token.Length(), 0);
}

TEST(XMLToken, CopiesAreIndependent) {
    XMLToken original;
    original.Assign("name", -1);
    XMLToken copy(original);
    original.Assign("other", -1);
    EXPECT_STREQ(copy.Text(), "name");
    copy = copy;
    EXPECT_STREQ(copy.Text(), "name");
    XMLToken absent;
    copy = absent;
    EXPECT_EQ(copy.Text(), nullptr);
}

// --- Events and positions ---------------------------------------------------

TEST(XMLReaderEvents, ElementWithAttributeAndText) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<a x=\"1\">t</a>"), 0);
    EXPECT_EQ(reader.codes(), "1 3 11 13 5 12 10 6 4 2");
    EXPECT_EQ(reader.trace(), "1@0 3@2:a 11@4:x 13@8:1 5@8:x=1 12@8 10@9 6@10:t 4@14 2@14");
}

TEST(XMLReaderEvents, EmptyElement) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<a/>"), 0);
    EXPECT_EQ(reader.trace(), "1@0 3@2:a 10@4 4@4 2@4");
}

TEST(XMLReaderEvents, AttributeValueIsReportedInPartsAndWhole) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<a x=\"a&amp;b\"/>"), 0);
    EXPECT_EQ(reader.trace(),
              "1@0 3@2:a 11@4:x 13@7:a 9@12:amp=& 13@14:b 5@14:x=a&amp;b 12@14 10@16 4@16 2@16");
}

TEST(XMLReaderEvents, AttributeValueParts) {
    TraceReader reader;
    // A reference at either end gives no empty part; the name copy survives
    // the entity names read inside the value.
    ASSERT_EQ(reader.Parse("<a v='&lt;&#65;&gt;' w=''/>"), 0);
    EXPECT_EQ(reader.trace(),
              "1@0 3@2:a 11@4:v 9@10:lt=< 9@19:gt=> 5@20:v=&lt;&#65;&gt; 12@20 "
              "11@22:w 5@25:w= 12@25 10@27 4@27 2@27");
}

TEST(XMLReaderEvents, ReferencesSplitText) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<a>x&lt;y&#65;z&foo;</a>"), 0);
    EXPECT_EQ(reader.trace(), "1@0 3@2:a 10@3 6@4:x 9@8:lt=< 6@9:y 6@15:z 9@20:foo=~ 4@24 2@24");
}

TEST(XMLReaderEvents, PredefinedEntities) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<a>&lt;&gt;&amp;&apos;&quot;&Amp;</a>"), 0);
    EXPECT_EQ(reader.trace(), "1@0 3@2:a 10@3 9@7:lt=< 9@11:gt=> 9@16:amp=& 9@22:apos=' 9@28:quot=\" "
                              "9@33:Amp=~ 4@37 2@37");
}

TEST(XMLReaderEvents, XMLDeclaration) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<?xml version='1.0' encoding=\"latin1\" standalone=\"yes\"?><r/>"), 0);
    EXPECT_EQ(reader.trace(), "1@0 7@19:1.0 8@37:latin1 3@58:r 10@60 4@60 2@60");
    EXPECT_TRUE(reader.VersionToken().Equals("1.0"));
    EXPECT_TRUE(reader.EncodingToken().Equals("latin1"));
}

TEST(XMLReaderEvents, MarkupOutsideTextFiresNothing) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<!DOCTYPE r><!--c--><?p d?><r><!--c--><?p?><![CDATA[<x>]]></r><!--c-->"), 0);
    EXPECT_EQ(reader.trace(), "1@0 3@29:r 10@30 4@62 2@70");
}

TEST(XMLReaderEvents, EndDocumentFollowsTrailingMiscAndIgnoresTheRest) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<a/> <!--c--> <b>unread"), 0);
    EXPECT_EQ(reader.trace(), "1@0 3@2:a 10@4 4@4 2@14");
}

TEST(XMLReaderEvents, NestedElementsCloseInOrder) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<a><b c='d'/><e >f</e ></a>"), 0);
    EXPECT_EQ(reader.codes(), "1 3 10 3 11 13 5 12 10 4 3 10 6 4 4 2");
}

// --- Errors stop everything ---------------------------------------------------

TEST(XMLReaderErrors, NothingIsFiredAfterTheError) {
    TraceReader reader;
    EXPECT_EQ(reader.Parse("<a><b></a"), 1);
    EXPECT_EQ(reader.trace(), "1@0 3@2:a 10@3 3@5:b 10@6") << "no EndElement and no EndDocument";
    EXPECT_EQ(reader.Position(), 9) << "ran off the end";
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
        {"<a x='a<b'/>", 7, Cause::kLessThanInAttribute, ""},
        {"x<a/>", 0, Cause::kExpected, "<"},
        {" <?xml version='1.0'?><a/>", 6, Cause::kReservedTarget, ""},  // refused after it is read
        {"<a>&#X41;</a>", 5, Cause::kNoDigits, ""},  // only a lower-case x opens a hexadecimal number
        {"<a>&#;</a>", 5, Cause::kNoDigits, ""},
        {"<a><![CDATA[\x01]]></a>", 12, Cause::kExpected, "]]>"},
        {"<!DOCTYPE a [<![INCLUDE[]]>]><a/>", 13, Cause::kExpected, "]"},
        {"<a><!--\x01--></a>", 7, Cause::kNotACharacter, ""},
        {"<a><b></a", 9, Cause::kEndOfText, ""},
        {"<a x='1' 1='2'/>", 9, Cause::kExpected, ">"},
        {"<a>< b/></a>", 3, Cause::kExpected, "</"},
        {"<?xml version=''?><a/>", 15, Cause::kVersionExpected, ""},
        {"<?xml version='1' encoding='-'?><a/>", 28, Cause::kEncodingExpected, ""},
        {"<!DOCTYPE a [<!ENTITY e '<'>]><a/>", 25, Cause::kLessThanInEntity, ""},
        {"<!DOCTYPEa><a/>", 9, Cause::kSpaceExpected, ""},
        {"<a></>", 5, Cause::kNameExpected, ""},
    };
    for (const auto& c : cases) {
        TraceReader reader;
        EXPECT_EQ(reader.Parse(c.text), 1) << c.text;
        EXPECT_EQ(reader.Position(), c.position) << c.text;
        EXPECT_EQ(reader.ErrorCause(), c.cause) << c.text;
        EXPECT_STREQ(reader.ErrorExpected(), c.expected) << c.text;
    }
    TraceReader reader;
    EXPECT_EQ(reader.Parse("<a/>"), 0);
    EXPECT_EQ(reader.ErrorCause(), Cause::kNone) << "a new parse clears the cause";
}

TEST(XMLReaderErrors, NullOrEmptyTextIsReadAtOnce) {
    TraceReader reader;
    EXPECT_EQ(reader.Parse(nullptr), 0);
    EXPECT_EQ(reader.Parse(""), 0);
    EXPECT_EQ(reader.trace(), "");
    EXPECT_EQ(reader.Position(), 0);
}

// --- Grammar: what is accepted and what is refused ----------------------------

TEST(XMLReaderGrammar, PrologAndDocumentLevel) {
    const GrammarCase cases[] = {
        {"<a/>", 0}, {"  \r\n\t<a/>", 0}, {"<?xml version=\"1.0\"?><a/>", 0}, {"<?xml version = '1.0' ?>\n<a/>", 0},
        {"<?xml version='1.0' encoding='UTF-8'?><a/>", 0}, {"<?xml version='1.0' standalone='no'?><a/>", 0},
        {"<?xml version='1.0' standalone=\"no\"?><a/>", 0}, {"<?xml version='1.0' standalone=\"yes\" ?><a/>", 0},
        {"<?xml version='2.x_a:b-c'?><a/>", 0},  // the number is not compared
        {"<a/><b/>", 0}, {"<a/>plain words", 0}, {"<a/>&broken <", 0}, {"<a/>\x01", 0}, {"<?pi?><a/>", 0},
        {"<?XML-style x?><a/>", 0},
        {"<?xmlfoo?><a/>", 1},       // "<?xml" at position 0 always starts the declaration
        {"<?xml-stylesheet href='s'?><a/>", 1}, {" <?xml version='1.0'?><a/>", 1}, {"<?XML version='1.0'?><a/>", 1},
        {"<a/><?xml version='1.0'?>", 1}, {"<a/><?XmL?>", 1},
        {"\xEF\xBB\xBF<a/>", 1},  // a byte order mark
        {"\xFF\xFE<\0a\0/\0>\0", 1}, {"x<a/>", 1}, {"   ", 1}, {"<!-- only a comment -->", 1},
        {"<?xml version='1.0' standalone='maybe'?><a/>", 1}, {"<?xml version='1.0' standalone=' yes'?><a/>", 1},
        {"<?xml version='1.0' standalone='yes\"?><a/>", 1}, {"<?xml version=''?><a/>", 1},
        {"<?xml version='1 0'?><a/>", 1}, {"<?xml version='1.0\"?><a/>", 1}, {"<?xml encoding='UTF-8'?><a/>", 1},
        {"<?xml version='1.0' encoding='8bit'?><a/>", 1}, {"<?xml version='1.0' encoding='UTF 8'?><a/>", 1},
        {"<?xml version='1.0'encoding='UTF-8'?><a/>", 1},
        {"<?xml version='1.0' standalone='yes' encoding='UTF-8'?><a/>", 1}, {"<?xml version='1.0'", 1},
        {"<!DOCTYPE a><!DOCTYPE b><a/>", 1}, {"<a/><!-- unterminated", 1}, {"<a/><?pi", 1},
    };
    ExpectResults(cases, sizeof cases / sizeof cases[0]);
}

TEST(XMLReaderGrammar, ElementsAndAttributes) {
    const GrammarCase cases[] = {
        {"<a>x</b>", 0},  // end-tag names are not compared
        {"<a x='1' x='2'/>", 0}, {"<a x='say \"hi\"'/>", 0}, {"<a x=\"it's\"/>", 0}, {"<a\n x = '1'\t/>", 0},
        {"<a >x</a >", 0}, {"<a x='\x01\xFF'/>", 0}, {"<a x='>'/>", 0}, {"<_:.-a/>", 0}, {"<a x=\"1\"y=\"2\"/>", 1},
        {"<a x=\"a<b\"/>", 1}, {"<a x/>", 1}, {"<a x=1/>", 1}, {"<a x='1\"/>", 1}, {"<a x='&'/>", 1},
        {"<a x='&#x;'/>", 1}, {"<1a/>", 1}, {"<-a/>", 1}, {"< a/>", 1}, {"<a><1/></a>", 1}, {"<a></ a>", 1},
        {"<a/ >", 1}, {"<a", 1}, {"<a/", 1}, {"<a x='1", 1}, {"<a>", 1}, {"<a>text", 1}, {"<a></a", 1},
        {"<a><b></a>", 1},
    };
    ExpectResults(cases, sizeof cases / sizeof cases[0]);
}

TEST(XMLReaderGrammar, ContentMarkupAndReferences) {
    const GrammarCase cases[] = {
        {"<a>&foo;</a>", 0},
        {"<a>&#65;&#x41;&#x0aF;&#0;&#99999999999;</a>", 0},  // form only, no range test
        {"<a>\x01\x7F</a>", 0}, {"<a>]]</a>", 0}, {"<a>]></a>", 0}, {"<a><![CDATA[<&]]]></a>", 0},
        {"<a><![CDATA[]]></a>", 0}, {"<a><!----></a>", 0}, {"<a><!-- - --></a>", 0}, {"<a><?pi?><?pi x ?></a>", 0},
        {"<a>&#X41;</a>", 1}, {"<a>&#;</a>", 1}, {"<a>&#x;</a>", 1}, {"<a>&#12a;</a>", 1}, {"<a>& </a>", 1},
        {"<a>&foo</a>", 1}, {"<a>&1;</a>", 1}, {"<a>]]></a>", 1}, {"<a>x]]>y</a>", 1},
        {"<a><!-- a -- b --></a>", 1}, {"<a><!-- x ---></a>", 1}, {"<a><!-- x", 1}, {"<a><![CDATA[x", 1},
        {"<a><![CDATA[\x01]]></a>", 1}, {"<a><!--\x01--></a>", 1}, {"<a><?pi \x01?></a>", 1},
        {"<a><?pi\x01?></a>", 1}, {"<a><?xml?></a>", 1}, {"<a><? pi?></a>", 1}, {"<a><![cdata[x]]></a>", 1},
        {"<a><!DOCTYPE a></a>", 1},
    };
    ExpectResults(cases, sizeof cases / sizeof cases[0]);
}

TEST(XMLReaderGrammar, DoctypeWithoutDeclarations) {
    const GrammarCase cases[] = {
        {"<!DOCTYPE a [ ]><a/>", 0}, {"<!DOCTYPE a ><a/>", 0}, {"<!DOCTYPE a SYSTEM \"x.dtd\"><a/>", 0},
        {"<!DOCTYPE a SYSTEM '\x01<>\"'><a/>", 0},  // a system literal is not checked
        {"<!DOCTYPE a PUBLIC \"-//A 'b'//EN\" 'x.dtd' [] ><a/>", 0},
        {"<!DOCTYPE a PUBLIC '-//A//EN' \"x\"><a/>", 0},
        {"<!DOCTYPE a>\n<!--c-->\n<a/>", 0},
        {"<!DOCTYPE a PUBLIC '-//A's//EN' 'x'><a/>", 1},
        {"<!DOCTYPE a PUBLIC \"{}\" 'x'><a/>", 1},
        {"<!DOCTYPE a PUBLIC '-//A//EN'><a/>", 1},
        {"<!DOCTYPE a SYSTEM><a/>", 1}, {"<!DOCTYPE a SYSTEM x><a/>", 1}, {"<!DOCTYPE a SYSTEM 'x><a/>", 1},
        {"<!DOCTYPE a system 'x'><a/>", 1}, {"<!DOCTYPE a [ ] [ ]><a/>", 1}, {"<!DOCTYPE><a/>", 1},
        {"<!DOCTYPEa><a/>", 1}, {"<!DOCTYPE a", 1}, {"<!DOCTYPE a [", 1},
    };
    ExpectResults(cases, sizeof cases / sizeof cases[0]);
}

// Which bytes may start or continue a name, over all 255 non-NUL bytes.
TEST(XMLReaderGrammar, NameBytes) {
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        bool letter = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= 0xC0 && b <= 0xD6) ||
                      (b >= 0xD8 && b <= 0xF6) || b >= 0xF8;
        bool digit = b >= '0' && b <= '9';
        bool start = letter || c == '_' || c == ':';
        bool continues = start || digit || c == '.' || c == '-' || b == 0xB7;

        TraceReader first;
        EXPECT_EQ(first.Parse((std::string("<") + c + "/>").c_str()), start ? 0 : 1) << "start byte " << b;
        TraceReader later;
        int result = later.Parse((std::string("<a") + c + "b/>").c_str());
        EXPECT_EQ(result, continues ? 0 : 1) << "later byte " << b;
        if (continues) {
            EXPECT_TRUE(later.NameToken().Equals((std::string("a") + c + "b").c_str())) << "later byte " << b;
        }
    }
}

// --- Whitespace-only text -----------------------------------------------------

TEST(XMLReaderText, WhitespaceRunsDependOnTheOption) {
    const char* text = "<a> <b/>\r\n\t<c> x y </c>\n</a>";
    TraceReader dropping(true);
    ASSERT_EQ(dropping.Parse(text), 0);
    EXPECT_EQ(dropping.trace(), "1@0 3@2:a 10@3 3@6:b 10@8 4@8 3@13:c 10@14 6@19: x y  4@23 4@28 2@28");

    TraceReader keeping(false);
    ASSERT_EQ(keeping.Parse(text), 0);
    EXPECT_EQ(keeping.trace(),
              "1@0 3@2:a 10@3 6@4:  3@6:b 10@8 4@8 6@11:\r\n\t 3@13:c 10@14 6@19: x y  4@23 6@24:\n 4@28 2@28");
}

TEST(XMLReaderText, OtherBytesKeepTheWholeRun) {
    TraceReader reader(true);
    ASSERT_EQ(reader.Parse("<a>\n\t\x0B\n</a>"), 0);  // a vertical tab is not whitespace
    EXPECT_EQ(reader.trace(), "1@0 3@2:a 10@3 6@7:\n\t\x0B\n 4@11 2@11");
}

TEST(XMLReaderText, TheOptionCanBeChangedBetweenParses) {
    TraceReader reader(true);
    EXPECT_TRUE(reader.DropWhitespaceText());
    reader.Parse("<a> </a>");
    EXPECT_EQ(reader.codes(), "1 3 10 4 2");
    reader.SetDropWhitespaceText(false);
    EXPECT_FALSE(reader.DropWhitespaceText());
    reader.Parse("<a> </a>");
    EXPECT_EQ(reader.codes(), "1 3 10 6 4 2");
}

// --- Reuse of one reader ------------------------------------------------------

TEST(XMLReaderReuse, TokensSurviveAndStateIsReset) {
    TraceReader reader;
    ASSERT_EQ(reader.Parse("<?xml version='1.0' encoding='ascii'?><a x='&amp;'/>"), 0);
    EXPECT_TRUE(reader.NameToken().Equals("amp")) << "the entity name was the last Name read";
    EXPECT_TRUE(reader.ValueToken().Equals("&amp;"));

    EXPECT_EQ(reader.Parse("<b><c>"), 1);
    EXPECT_EQ(reader.Position(), 6);
    EXPECT_TRUE(reader.NameToken().Equals("c"));
    EXPECT_TRUE(reader.VersionToken().Equals("1.0")) << "tokens keep their values between parses";
    EXPECT_TRUE(reader.EncodingToken().Equals("ascii"));
    EXPECT_TRUE(reader.ValueToken().Equals("&amp;"));

    EXPECT_EQ(reader.Parse("<d/>"), 0) << "the error of the last parse is reset";
    EXPECT_EQ(reader.trace(), "1@0 3@2:d 10@4 4@4 2@4") << "the callback stays registered";

    EXPECT_EQ(reader.Parse(nullptr), 0);
    EXPECT_EQ(reader.Position(), 0);
    EXPECT_TRUE(reader.NameToken().Equals("d"));
}

TEST(XMLReaderReuse, CallbackCanBeRemoved) {
    TraceReader reader;
    reader.SetCallback(nullptr, nullptr);
    EXPECT_EQ(reader.Parse("<a x='1'>t</a>"), 0);
    EXPECT_EQ(reader.trace(), "");
    EXPECT_TRUE(reader.ValueToken().Equals("1")) << "the document is still read in full";
    EXPECT_EQ(reader.Parse("<a>t</a"), 1) << "and its errors still found";
}

// --- Nesting limit ------------------------------------------------------------

namespace {
struct DepthCounter {
    int open = 0;
    int deepest = 0;
    int starts = 0;
    static int32_t Count(int32_t event, const void*, void* context) {
        auto* self = static_cast<DepthCounter*>(context);
        if (event == quillon::kStartElement) {
            ++self->starts;
            if (++self->open > self->deepest) self->deepest = self->open;
        } else if (event == quillon::kEndElement) {
            --self->open;
        }
        return 0;
    }
};
}  // namespace

TEST(XMLReaderDepth, TheDeepestAllowedNestingIsRead) {
    const int limit = XMLReader::kMaxElementDepth;
    XMLReader reader;
    DepthCounter counter;
    reader.SetCallback(&DepthCounter::Count, &counter);
    std::string text = Repeat("<a>", limit - 1) + "<a/>" + Repeat("</a>", limit - 1);
    ASSERT_EQ(reader.ParseText(text.c_str()), 0);
    EXPECT_EQ(counter.deepest, limit);
    EXPECT_EQ(counter.open, 0);
}

TEST(XMLReaderDepth, OneLevelMoreFailsAtItsStartTag) {
    const int limit = XMLReader::kMaxElementDepth;
    for (const char* deepest : {"<a/>", "<a></a>"}) {
        XMLReader reader;
        DepthCounter counter;
        reader.SetCallback(&DepthCounter::Count, &counter);
        std::string text = Repeat("<a>", limit) + deepest + Repeat("</a>", limit);
        EXPECT_EQ(reader.ParseText(text.c_str()), 1) << deepest;
        EXPECT_EQ(reader.Position(), 3 * limit) << "at the '<' of the element one level too deep";
        EXPECT_EQ(counter.starts, limit);
    }
}

TEST(XMLReaderDepth, AMillionLevelsFailCleanly) {
    const int levels = 1000000;
    std::string open = Repeat("<a>", levels);
    std::string closed = open + Repeat("</a>", levels);
    XMLReader reader;
    EXPECT_EQ(reader.ParseText(open.c_str()), 1);
    EXPECT_EQ(reader.ParseText(closed.c_str()), 1);
    EXPECT_EQ(reader.Position(), 3 * XMLReader::kMaxElementDepth);
    EXPECT_EQ(reader.ParseText("<a><b/></a>"), 0) << "the depth is counted afresh for each parse";
}

TEST(XMLReaderDepth, SiblingsDoNotCount) {
    std::string text = "<r>" + Repeat("<a><b/></a>", 20000) + "</r>";
    EXPECT_EQ(ParseWithoutCallback(text), 0);
}

// --- Arbitrary input ------------------------------------------------------------

namespace {
// Checks what must hold for any input: a 0/1 result, a position inside the
// text, events bracketed by StartDocument/EndDocument on success, elements
// balanced on success, and nothing after an error.
struct InvariantChecker {
    int open = 0;
    int last = 0;
    int count = 0;
    bool balancedSoFar = true;
    static int32_t Check(int32_t event, const void* payload, void* context) {
        auto* self = static_cast<InvariantChecker*>(context);
        if (self->count++ == 0 && event != quillon::kStartDocument) self->balancedSoFar = false;
        if (event == quillon::kStartElement) ++self->open;
        if (event == quillon::kEndElement && --self->open < 0) self->balancedSoFar = false;
        if (event < 1 || event > 13) self->balancedSoFar = false;
        self->last = event;
        return 0;
    }
};
}  // namespace

TEST(XMLReaderRobustness, MutatedDocumentsKeepTheInvariants) {
    const std::string seeds[] = {
        "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\n<!DOCTYPE r [<!ELEMENT r (a|b)*>"
        "<!ATTLIST r x CDATA #FIXED 'v&amp;w' y (p|q) 'p'><!ENTITY e 'x&lt;%p;'><!ENTITY % p SYSTEM 'u'>"
        "<!NOTATION n PUBLIC 'pub' 'sys'>%p;<?pi d?><!--c-->]>\n"
        "<r x=\"1\" y='&e;&#65;'>text &amp; <a><![CDATA[<&>]]></a><b/><!--c--><?p q?></r>\n<!--t-->",
        "<ROOT><Application Name=\"A\" Version=\"1\"><Configuration><Component>x</Component>"
        "</Configuration></Application></ROOT>",
    };
    const char alphabet[] = "<>/?!-[]&;#x'\"= \tabc%()|,*+DOCTYPELMNT\x01\xC0\xFF";
    uint32_t random = 12345;
    auto next = [&random]() {
        random = random * 1103515245u + 12345u;
        return (random >> 8) & 0xFFFFFF;
    };
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = seeds[round % 2];
        for (int edits = 1 + static_cast<int>(next() % 4); edits > 0; --edits) {
            size_t at = next() % (text.size() + 1);
            switch (next() % 3) {
                case 0: text.insert(at, 1, alphabet[next() % (sizeof alphabet - 1)]); break;
                case 1: if (at < text.size()) text.erase(at, 1 + next() % 8); break;
                default: text.resize(at); break;
            }
        }
        XMLReader reader;
        InvariantChecker checker;
        reader.SetDropWhitespaceText((round & 4) != 0);
        reader.SetCallback(&InvariantChecker::Check, &checker);
        int result = reader.ParseText(text.c_str());
        accepted += result == 0;
        SCOPED_TRACE(text);
        ASSERT_TRUE(result == 0 || result == 1);
        ASSERT_GE(reader.Position(), 0);
        ASSERT_LE(static_cast<size_t>(reader.Position()), std::strlen(text.c_str()));
        ASSERT_TRUE(checker.balancedSoFar);
        if (result == 0 && !text.empty()) {
            ASSERT_EQ(checker.last, quillon::kEndDocument);
            ASSERT_EQ(checker.open, 0);
        } else if (result == 1) {
            ASSERT_NE(checker.last, quillon::kEndDocument);
        }
    }
    // The mutations must leave both outcomes well represented.
    EXPECT_GT(accepted, 2000);
    EXPECT_LT(accepted, 18000);
}
