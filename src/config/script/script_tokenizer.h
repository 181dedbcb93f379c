// ScriptTokenizer: cuts a script text into words, quoted texts and groups.
//
// Its owner fills a table of delimiters: separators that only split words,
// quotes that enclose literal text, and bracket pairs that enclose a nested
// group. A group stays one token (its inner text) and is cut again only when
// the engine evaluates it. The table keeps the order in which delimiters were
// first added; when several delimiters occur at the same place, the earliest
// added wins.
//
// One tokenizer serves every frame of a script engine, one text at a time:
// each Tokenize replaces the token list, so the engine reads the tokens right
// after cutting a text and before cutting the next one.
#pragma once

#include <cstdint>

#include "foundation/text_arena.h"
#include "foundation/text_list.h"
#include "foundation/text_string.h"

namespace quillon {

class ScriptTokenizer {
public:
    enum DelimiterKind : int32_t {
        kSeparator = 1,
        kQuote = 2,
        kBracketPair = 3,
    };

    // The value of a delimiter table item; the item's key is the delimiter's
    // text (the opening text of a bracket pair).
    struct Delimiter {
        int32_t kind = 0;
        int32_t tag = 0;          // given to the tokens of a quote or bracket pair
        TextString closingText;   // bracket pairs only; null for the other kinds
    };

    ScriptTokenizer();
    ScriptTokenizer(const ScriptTokenizer&) = delete;
    ScriptTokenizer& operator=(const ScriptTokenizer&) = delete;
    ~ScriptTokenizer();

    // Kind 1 (separator) or 2 (quote): records `text` with its kind and tag and
    // answers 1. A record whose text equals `text` ignoring case is reused in
    // its place, keeping its own text. Any other kind, and a null or empty
    // text, record nothing and answer 0 (an empty delimiter would match
    // everywhere and never move the reading on).
    int32_t AddDelimiter(int32_t kind, const char* text, int32_t tag);

    // Kind 3 only: records a bracket pair under its opening text, reusing a
    // record of the same opening text; answers 1. Anything else answers 0.
    int32_t AddBracketPair(int32_t kind, const char* opening, const char* closing, int32_t tag);

    // Replaces the token list by the tokens of `text` (null reads as empty).
    // 1 when the whole text was read; 0 when an unterminated quote or bracket
    // pair stopped the reading, the tokens before it staying in the list.
    int32_t Tokenize(const char* text);

    // Tokens in text order: key = the token's text, value = its tag (see Tag).
    TextList& Tokens() { return tokens_; }
    const TextList& Delimiters() const { return delimiters_; }

    // 0 for a plain word, else the tag of the quote or pair that made it.
    static int32_t Tag(const TextListItem* token) {
        return static_cast<int32_t>(reinterpret_cast<intptr_t>(token->value));
    }

private:
    Delimiter* Record(const char* text);
    void ClearDelimiters();

    TextList delimiters_;  // no duplicates; values are owned Delimiter records
    // The tokens of the last text, from an arena emptied for every text: a
    // long script is cut without an allocation per token.
    TextArena tokenArena_{ArenaKeys::kCopied};
    TextList tokens_{&tokenArena_};  // duplicates allowed; values are tags, not pointers
};

}  // namespace quillon
