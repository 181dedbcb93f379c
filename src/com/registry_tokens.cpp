#include "com/registry_tokens.h"

namespace quillon {
namespace {

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

const char* SkipWhiteSpace(const char* p) {
    while (IsWhiteSpace(*p)) ++p;
    return p;
}

// Reads one token at `p` (neither white space nor the end); returns the byte
// after it, or null when the token is malformed.
const char* ReadToken(const char* p, std::string& token) {
    token.clear();
    if (*p != '\'') {
        while (*p != 0 && !IsWhiteSpace(*p)) token += *p++;
    } else {
        for (++p;; ++p) {
            if (*p == 0) return nullptr;  // no closing apostrophe
            if (*p == '\'') {
                if (p[1] != '\'') {
                    ++p;
                    break;
                }
                ++p;  // a doubled apostrophe stands for one
            }
            token += *p;
        }
    }
    return token.size() <= RegistryTokens::kMaxTokenLength ? p : nullptr;
}

}  // namespace

bool RegistryTokens::AtEnd() {
    next_ = SkipWhiteSpace(next_);
    return *next_ == 0;
}

HResult RegistryTokens::Next(std::string& token) {
    if (AtEnd()) return kResultScriptError;
    const char* after = ReadToken(next_, token);
    if (after == nullptr) return kResultScriptError;
    next_ = after;
    return kResultOk;
}

bool RegistryTokens::Peek(std::string& token) {
    if (AtEnd()) return false;
    return ReadToken(next_, token) != nullptr;
}

bool SameTextIgnoringCase(const std::string& text, const char* keyword) {
    size_t i = 0;
    for (; keyword[i] != 0; ++i) {
        if (i == text.size()) return false;
        unsigned char a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(keyword[i]);
        if (a >= 'A' && a <= 'Z') a += 'a' - 'A';
        if (b >= 'A' && b <= 'Z') b += 'a' - 'A';
        if (a != b) return false;
    }
    return i == text.size();
}

}  // namespace quillon
