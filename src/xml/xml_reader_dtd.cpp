// XMLReader: the declarations of a document type's internal subset (the part
// between "[" and "]"). Element, attribute-list, entity and notation
// declarations are read and held to their grammar, and nothing of them is
// kept: no declaration is stored, declared entities are never expanded, and
// no declaration fires an event of its own. Only the references inside entity
// values and the literal runs and references of attribute defaults are
// reported, exactly as in content. An external subset is never read.
#include "xml/xml_grammar.h"

namespace quillon {

// Returns in front of the first character that starts nothing here; the
// caller then expects "]". A conditional section ("<![INCLUDE[") starts
// nothing and so ends the subset in a failure.
void XMLGrammar::InternalSubset() {
    while (!Failed()) {
        if (MarkupDeclApplies())
            MarkupDecl();
        else if (Peek("%"))
            ParameterEntityReference();
        else if (CurrentIsSpace())
            S();
        else
            break;
    }
}

bool XMLGrammar::MarkupDeclApplies() {
    return Peek("<!ELEMENT") || Peek("<!ATTLIST") || Peek("<!ENTITY") || Peek("<!NOTATION") || Peek("<?") ||
           Peek("<!--");
}

void XMLGrammar::MarkupDecl() {
    if (Peek("<!ELEMENT"))
        ElementDecl();
    else if (Peek("<!ATTLIST"))
        AttlistDecl();
    else if (Peek("<!ENTITY"))
        EntityDecl();
    else if (Peek("<!NOTATION"))
        NotationDecl();
    else if (Peek("<?"))
        ProcessingInstruction();
    else if (Peek("<!--"))
        Comment();
}

// Form only: parameter entities are never expanded.
void XMLGrammar::ParameterEntityReference() {
    Expect("%");
    Name();
    Expect(";");
}

// ---------------------------------------------------------------------------
// <!ELEMENT name content>

void XMLGrammar::ElementDecl() {
    Expect("<!ELEMENT");
    S();
    Name();
    S();
    if (Try("EMPTY")) {
    } else if (Try("ANY")) {
    } else if (MixedContentAhead()) {
        MixedContent();
    } else if (Peek("(")) {
        ElementContent();
    } else {
        Fail(XMLErrorCause::kExpected, "(", 1);
    }
    OptionalS();
    Expect(">");
}

// "(" then optional whitespace then "#PCDATA"; the position is restored.
bool XMLGrammar::MixedContentAhead() {
    if (Failed()) return false;
    int32_t saved = r_.position_;
    bool mixed = Try("(");
    if (mixed) {
        OptionalS();
        mixed = Peek("#PCDATA");
    }
    Seek(saved, SeekMode::kAbsolute);
    return mixed;
}

// (#PCDATA), (#PCDATA)* and (#PCDATA|a|b)*: names need the closing ")*".
void XMLGrammar::MixedContent() {
    Expect("(");
    OptionalS();
    Expect("#PCDATA");
    int names = 1;
    while (!Failed()) {
        OptionalS();
        if (Peek(")*")) {
            Expect(")*");
            return;
        }
        if (names == 1 && Peek(")")) {
            Expect(")");
            return;
        }
        Expect("|");
        OptionalS();
        Name();
        ++names;
    }
}

void XMLGrammar::ElementContent() {
    Group();
    ContentOperator();
}

// "|" and "," may be mixed within one group. Groups nest by recursion
// (Group -> ContentParticle -> Group), bounded like element nesting.
void XMLGrammar::Group() {
    if (Failed()) return;
    if (groupDepth_ >= kMaxGroupDepth) {
        Fail(XMLErrorCause::kTooDeep);
        return;
    }
    ++groupDepth_;
    Expect("(");
    do {
        OptionalS();
        ContentParticle();
        if (Failed()) break;
        OptionalS();
    } while (Try("|") || Try(","));
    Expect(")");
    --groupDepth_;
}

void XMLGrammar::ContentParticle() {
    if (CurrentIs(kClassNameStart))
        Name();
    else
        Group();
    ContentOperator();
}

void XMLGrammar::ContentOperator() {
    if (!Try("?") && !Try("*")) Try("+");
}

// ---------------------------------------------------------------------------
// <!ATTLIST element definitions>

void XMLGrammar::AttlistDecl() {
    Expect("<!ATTLIST");
    S();
    Name();
    while (!Failed() && CurrentIsSpace() && NameStartAfterSpace()) AttributeDef();
    OptionalS();
    Expect(">");
}

// Whitespace followed by a Name start; the position is restored.
bool XMLGrammar::NameStartAfterSpace() {
    if (Failed()) return false;
    int32_t saved = r_.position_;
    S();
    bool name = CurrentIs(kClassNameStart);
    Seek(saved, SeekMode::kAbsolute);
    return name;
}

void XMLGrammar::AttributeDef() {
    S();
    Name();
    S();
    if (Peek("CDATA")) {
        Expect("CDATA");
    } else if (Try("IDREFS") || Try("IDREF") || Try("ID") || Try("ENTITIES") || Try("ENTITY") ||
               Try("NMTOKENS") || Try("NMTOKEN")) {
        // Longer keywords are tried first, so each type is taken whole.
    } else if (Peek("NOTATION")) {
        Expect("NOTATION");
        S();
        Expect("(");
        do {
            OptionalS();
            Name();
            if (Failed()) break;
            OptionalS();
        } while (Try("|"));
        Expect(")");
    } else {
        Expect("(");
        do {
            OptionalS();
            Nmtoken();
            if (Failed()) break;
            OptionalS();
        } while (Try("|"));
        Expect(")");
    }
    S();
    if (Try("#REQUIRED") || Try("#IMPLIED")) return;
    if (Try("#FIXED")) S();
    // A default is read like an attribute value in a start tag: its runs and
    // references are reported, but no attribute events surround it.
    AttributeValue();
}

// ---------------------------------------------------------------------------
// <!ENTITY name value-or-identifier> and <!ENTITY % name ...>

void XMLGrammar::EntityDecl() {
    Expect("<!ENTITY");
    S();
    if (CurrentIs(kClassNameStart)) {
        Name();
        S();
        if (Peek("SYSTEM") || Peek("PUBLIC")) {
            ExternalID();
            if (SpaceThen("NDATA")) {
                S();
                Expect("NDATA");
                S();
                Name();
            }
        } else {
            EntityValue();
        }
    } else {
        // A parameter entity: no NDATA part.
        Expect("%");
        S();
        Name();
        S();
        if (Peek("SYSTEM") || Peek("PUBLIC"))
            ExternalID();
        else
            EntityValue();
    }
    OptionalS();
    Expect(">");
}

// The value is read, not kept: references are checked for form and entity
// references are reported; "<" is refused as in an attribute value.
void XMLGrammar::EntityValue() {
    if (Failed()) return;
    char quote = TryChar('"') ? '"' : (ExpectChar('\''), '\'');
    while (!Failed() && !TryChar(quote)) {
        unsigned c = Current();
        if (c == '%')
            ParameterEntityReference();
        else if (c == '&')
            Reference();
        else if (c == '<')
            Fail(XMLErrorCause::kLessThanInEntity);
        else
            Step();
    }
}

// ---------------------------------------------------------------------------
// <!NOTATION name identifier>

// A public identifier may stand alone; a system literal follows it only when
// whitespace and a quote come next.
void XMLGrammar::NotationDecl() {
    Expect("<!NOTATION");
    S();
    Name();
    S();
    if (Try("SYSTEM")) {
        S();
        SystemLiteral();
    } else {
        Expect("PUBLIC");
        S();
        PubidLiteral();
        if (SpaceThen("\"") || SpaceThen("'")) {
            S();
            SystemLiteral();
        }
    }
    OptionalS();
    Expect(">");
}

}  // namespace quillon
