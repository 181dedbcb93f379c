// The declarations of the internal subset, held to their grammar (the tool's
// event transcripts show that they are silent except for the references and
// attribute-default runs they contain).
#include <gtest/gtest.h>

#include <string>

#include "xml/xml_reader.h"
#include "xml_trace.h"

using quillon::XMLReader;
using quillon_test::Repeat;
using quillon_test::TraceReader;

namespace {

// A document whose internal subset is `subset`.
std::string WithSubset(const std::string& subset) { return "<!DOCTYPE a [" + subset + "]><a/>"; }

}  // namespace

// Each subset, in a document of its own: accepted (0) or refused (1).
TEST(XMLReaderDtd, Grammar) {
    const struct {
        const char* subset;
        int result;
    } cases[] = {
        // Element declarations; separators may be mixed, repeats are no error.
        {"<!ELEMENT a (b | (c, d)+)?>", 0}, {"<!ELEMENT a EMPTY>", 0}, {"<!ELEMENT a ANY >", 0},
        {"<!ELEMENT a (b|c,d)>", 0}, {"<!ELEMENT a (#PCDATA)>", 0}, {"<!ELEMENT a ( #PCDATA | a )* >", 0},
        {"<!ELEMENT a\n( a?\t, b* )+>", 0}, {"<!ELEMENT a ANY><!ELEMENT a EMPTY>", 0}, {"<!ELEMENT a (#PCDATA | b)>", 1},
        {"<!ELEMENT a (#PCDATA)+>", 1}, {"<!ELEMENT a (#pcdata)>", 1}, {"<!ELEMENT a (b|#PCDATA)*>", 1},
        {"<!ELEMENT a ()>", 1}, {"<!ELEMENT a (a|)>", 1}, {"<!ELEMENT a (a b)>", 1}, {"<!ELEMENT a (a**)>", 1},
        {"<!ELEMENT a (a)x>", 1}, {"<!ELEMENT a empty>", 1}, {"<!ELEMENT a>", 1}, {"<!ELEMENT a(b)>", 1},
        // Attribute-list declarations.
        {"<!ATTLIST a b ID #REQUIRED c ENTITY #IMPLIED d ENTITIES #FIXED \"e f\" g NMTOKEN 'h' i IDREFS #IMPLIED>", 0},
        {"<!ATTLIST a b NMTOKENS #IMPLIED c IDREF #IMPLIED>", 0}, {"<!ATTLIST a b ( x | y-1 | 2 ) \"2\">", 0},
        {"<!ATTLIST a b NOTATION ( n | m ) #IMPLIED>", 0}, {"<!ATTLIST a>", 0}, {"<!ATTLIST a b CDATA 'a&lt;b&#1;\x01'>", 0},
        {"<!ATTLIST a b CDATA>", 1}, {"<!ATTLIST a b IDX #IMPLIED>", 1}, {"<!ATTLIST a b (x|) #IMPLIED>", 1},
        {"<!ATTLIST a b (x y) #IMPLIED>", 1}, {"<!ATTLIST a b NOTATION(n) #IMPLIED>", 1},
        {"<!ATTLIST a b NOTATION (1) #IMPLIED>", 1}, {"<!ATTLIST a b CDATA #DEFAULT>", 1},
        {"<!ATTLIST a b CDATA 'x<y'>", 1}, {"<!ATTLIST a b CDATA 'x&y'>", 1}, {"<!ATTLIST a b cdata #IMPLIED>", 1},
        {"<!ATTLIST a b CDATA #FIXED>", 1}, {"<!ATTLIST a b CDATA #FIXED'x'>", 1}, {"<!ATTLIST a b CDATA#IMPLIED>", 1},
        {"<!ATTLIST>", 1},
        // Entity declarations.
        {"<!ENTITY e 'x &amp; y'>", 0}, {"<!ENTITY e SYSTEM 'x.gif' NDATA gif>", 0}, {"<!ENTITY e PUBLIC '-//x' \"y\" >", 0},
        {"<!ENTITY % p SYSTEM 'x'>", 0}, {"<!ENTITY e \"it's %p; &#x20; > \x01\">", 0}, {"<!ENTITY e ''>", 0},
        {"<!ENTITY e '<b/>'>", 1}, {"<!ENTITY % p SYSTEM 'x' NDATA gif>", 1}, {"<!ENTITY e SYSTEM 'x'NDATA g>", 1},
        {"<!ENTITY e SYSTEM 'x' NDATA>", 1}, {"<!ENTITY e x>", 1}, {"<!ENTITY %p 'x'>", 1}, {"<!ENTITY e 'a & b'>", 1},
        {"<!ENTITY e '%;'>", 1}, {"<!ENTITY e '%p'>", 1}, {"<!ENTITY e '&#;'>", 1}, {"<!ENTITY e>", 1},
        // Notation declarations.
        {"<!NOTATION n PUBLIC 'pub'>", 0}, {"<!NOTATION n PUBLIC 'pub' 'sys'>", 0}, {"<!NOTATION n SYSTEM 'sys'>", 0},
        {"<!NOTATION n>", 1}, {"<!NOTATION n 'sys'>", 1}, {"<!NOTATION n PUBLIC>", 1}, {"<!NOTATION n SYSTEM>", 1},
        {"<!NOTATION n PUBLIC 'pub''sys'>", 1}, {"<!NOTATION n PUBLIC 'p{b}'>", 1},
        // The subset itself: no conditional sections, no XML declaration.
        {"<?pi x?><!-- c -->", 0}, {" \n\t%p; %q;", 0}, {"", 0}, {"%p ;", 1}, {"% p;", 1},
        {"<![INCLUDE[<!ELEMENT a ANY>]]>", 1}, {"<![IGNORE[]]>", 1}, {"<!WHAT a>", 1}, {"<!element a ANY>", 1},
        {"x", 1}, {"<?xml version='1.0'?>", 1}, {"<!-- a -- b -->", 1},
    };
    for (const auto& c : cases) {
        TraceReader reader;
        EXPECT_EQ(reader.Parse(WithSubset(c.subset).c_str()), c.result) << c.subset;
    }
}

// Content-model groups share the element nesting limit.
TEST(XMLReaderDtd, GroupNestingLimit) {
    const int limit = XMLReader::kMaxElementDepth;
    TraceReader reader;
    EXPECT_EQ(reader.Parse(WithSubset("<!ELEMENT a " + Repeat("(", limit) + "b" + Repeat(")", limit) + ">").c_str()), 0);
    std::string tooDeep = "<!ELEMENT a " + Repeat("(", limit + 1) + "b" + Repeat(")", limit + 1) + ">";
    EXPECT_EQ(reader.Parse(WithSubset(tooDeep).c_str()), 1);
    EXPECT_EQ(reader.Position(), 13 + 12 + limit) << "at the '(' one level too deep";
    EXPECT_EQ(reader.Parse(("<!DOCTYPE a [<!ELEMENT a " + Repeat("(", 1000000)).c_str()), 1);
    EXPECT_EQ(reader.Parse(WithSubset("<!ELEMENT a ((b),c)>").c_str()), 0) << "counted afresh";
}
