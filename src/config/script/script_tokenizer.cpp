// ScriptTokenizer: one forward pass over a private copy of the text.
//
// Every search below only ever moves forward. The next occurrence of each
// delimiter is remembered and looked for again only once the reading has
// passed it, and bracket matching remembers the next opening text the same
// way, so cutting a text costs time in proportion to its length times the
// (small) number of delimiters, whatever its shape: a text of 100,000
// unmatched or nested brackets included.
#include "config/script/script_tokenizer.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

namespace quillon {
namespace {

constexpr size_t kAbsent = std::string_view::npos;

// A delimiter as the reading uses it, with its remembered next occurrence.
struct Matcher {
    std::string_view text;
    std::string_view closing;
    int32_t kind = 0;
    int32_t tag = 0;
    size_t next = 0;     // position of the next occurrence at or after `searchedFrom`
    bool searched = false;
};

// The text being cut, with the helper that appends its tokens.
class Reading {
public:
    Reading(char* text, size_t length, TextList& tokens) : text_(text), length_(length), tokens_(tokens) {}

    size_t Length() const { return length_; }
    std::string_view Text() const { return std::string_view(text_, length_); }

    size_t Find(std::string_view needle, size_t from) const {
        if (from > length_) return kAbsent;
        return std::string_view(text_, length_).find(needle, from);
    }

    // Appends text_[start, end) as a token. The key is copied out of the
    // private buffer by ending it there for a moment.
    bool AddToken(size_t start, size_t end, int32_t tag) {
        char saved = text_[end];
        text_[end] = 0;
        TextListItem* token = tokens_.Add(text_ + start);
        text_[end] = saved;
        if (token == nullptr || token->key.IsNull()) {
            if (token != nullptr) tokens_.Remove(token);
            return false;
        }
        token->value = reinterpret_cast<void*>(static_cast<intptr_t>(tag));
        return true;
    }

private:
    char* text_;
    size_t length_;
    TextList& tokens_;
};

// Position of the next occurrence of `m` at or after `from`, searching the
// text again only when the remembered occurrence lies behind `from`.
size_t NextOccurrence(const Reading& reading, Matcher& m, size_t from) {
    if (!m.searched || (m.next != kAbsent && m.next < from)) {
        m.next = reading.Find(m.text, from);
        m.searched = true;
    }
    return m.next;
}

// Matches a group whose opening text ends at `start`. Nested openings of the
// same pair are counted between closings, so the group ends at the closing
// that balances them; other pairs and quotes inside are not looked at.
// Answers the position of that closing, or kAbsent when the pair is not
// closed.
size_t MatchGroup(const Reading& reading, const Matcher& pair, size_t start) {
    if (pair.text.size() == 1 && pair.closing.size() == 1 && pair.text[0] != pair.closing[0]) {
        // One-byte brackets (the usual case): counting both while walking
        // the bytes once gives the same group as the general search below.
        const char open = pair.text[0];
        const char close = pair.closing[0];
        const std::string_view text = reading.Text();
        size_t depth = 1;
        for (size_t i = start; i < text.size(); ++i) {
            if (text[i] == open) {
                ++depth;
            } else if (text[i] == close && --depth == 0) {
                return i;
            }
        }
        return kAbsent;
    }
    size_t openings = 1;
    size_t closings = 0;
    size_t search = start;
    size_t nextOpening = reading.Find(pair.text, search);
    size_t closing = kAbsent;
    while (openings != closings) {
        closing = reading.Find(pair.closing, search);
        if (closing == kAbsent) return kAbsent;
        ++closings;
        if (nextOpening != kAbsent && nextOpening < search) nextOpening = reading.Find(pair.text, search);
        while (nextOpening != kAbsent && nextOpening < closing) {
            ++openings;
            nextOpening = reading.Find(pair.text, nextOpening + pair.text.size());
        }
        search = closing + pair.closing.size();
    }
    return closing;
}

}  // namespace

ScriptTokenizer::ScriptTokenizer() { tokens_.allowDuplicates = 1; }

ScriptTokenizer::~ScriptTokenizer() { ClearDelimiters(); }

void ScriptTokenizer::ClearDelimiters() {
    for (TextListItem* item = delimiters_.Head(); item != nullptr; item = item->next)
        delete static_cast<Delimiter*>(item->value);
    delimiters_.RemoveAll();
}

ScriptTokenizer::Delimiter* ScriptTokenizer::Record(const char* text) {
    TextListItem* item = delimiters_.Add(text);
    if (item == nullptr) return nullptr;
    if (item->value == nullptr) {
        item->value = new (std::nothrow) Delimiter;
        if (item->value == nullptr) {
            delimiters_.Remove(item);
            return nullptr;
        }
    }
    return static_cast<Delimiter*>(item->value);
}

int32_t ScriptTokenizer::AddDelimiter(int32_t kind, const char* text, int32_t tag) {
    if (kind != kSeparator && kind != kQuote) return 0;
    if (text == nullptr || *text == 0) return 0;
    Delimiter* record = Record(text);
    if (record == nullptr) return 0;
    record->kind = kind;
    record->tag = tag;
    record->closingText.Clear();
    return 1;
}

int32_t ScriptTokenizer::AddBracketPair(int32_t kind, const char* opening, const char* closing, int32_t tag) {
    if (kind != kBracketPair) return 0;
    if (opening == nullptr || *opening == 0 || closing == nullptr || *closing == 0) return 0;
    Delimiter* record = Record(opening);
    if (record == nullptr) return 0;
    record->kind = kind;
    record->tag = tag;
    record->closingText = closing;
    return record->closingText.IsNull() ? 0 : 1;
}

int32_t ScriptTokenizer::Tokenize(const char* text) {
    tokens_.RemoveAll();
    tokenArena_.Reset();
    if (text == nullptr || *text == 0) return 1;

    std::vector<Matcher> matchers;
    for (TextListItem* item = delimiters_.Head(); item != nullptr; item = item->next) {
        const auto* record = static_cast<const Delimiter*>(item->value);
        if (record == nullptr || item->key.GetLength() == 0) continue;
        Matcher m;
        m.text = std::string_view(item->key.Text());
        m.closing = record->closingText.IsNull() ? std::string_view() : std::string_view(record->closingText.Text());
        m.kind = record->kind;
        m.tag = record->tag;
        if (m.kind == kBracketPair && m.closing.empty()) continue;
        matchers.push_back(m);
    }

    size_t length = std::strlen(text);
    std::unique_ptr<char, void (*)(void*)> copy(static_cast<char*>(std::malloc(length + 1)), std::free);
    if (copy == nullptr) return 0;
    std::memcpy(copy.get(), text, length + 1);
    Reading reading(copy.get(), length, tokens_);

    int32_t answer = 1;
    size_t position = 0;
    while (position < length) {
        // The earliest delimiter; at equal positions the first in table order.
        Matcher* found = nullptr;
        size_t at = kAbsent;
        for (Matcher& m : matchers) {
            size_t next = NextOccurrence(reading, m, position);
            if (next < at) {
                at = next;
                found = &m;
            }
        }
        if (found == nullptr) {
            if (!reading.AddToken(position, length, 0)) answer = 0;
            break;
        }
        if (at > position && !reading.AddToken(position, at, 0)) {
            answer = 0;
            break;
        }
        size_t inner = at + found->text.size();
        if (found->kind == kSeparator) {
            position = inner;
        } else if (found->kind == kQuote) {
            // No escapes: the next occurrence of the same text ends the quote.
            size_t end = reading.Find(found->text, inner);
            if (end == kAbsent || !reading.AddToken(inner, end, found->tag)) {
                answer = 0;
                break;
            }
            position = end + found->text.size();
        } else if (found->kind == kBracketPair) {
            size_t end = MatchGroup(reading, *found, inner);
            if (end == kAbsent || !reading.AddToken(inner, end, found->tag)) {
                answer = 0;
                break;
            }
            position = end + found->closing.size();
        } else {
            position = inner;  // a kind the table never holds: read past it
        }
    }
    return answer;
}

}  // namespace quillon
