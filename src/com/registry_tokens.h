// RegistryTokens: cuts an expanded registration script into tokens.
//
// White space is space, tab, CR and LF. A token is either quoted, from an
// apostrophe to the next apostrophe that is not doubled ("''" inside stands
// for one apostrophe), or plain, running up to the next white space. So
// "{", "}" and "=" are tokens only where white space sets them apart.
#pragma once

#include <string>

#include "com/script_result.h"

namespace quillon {

class RegistryTokens {
public:
    static constexpr size_t kMaxTokenLength = 4094;

    explicit RegistryTokens(const char* text) : next_(text) {}

    // True when only white space is left.
    bool AtEnd();
    // The next token into `token`; kResultScriptError at the end of the text,
    // for an unterminated quoted token and for a token longer than
    // kMaxTokenLength bytes.
    HResult Next(std::string& token /* out */);
    // The next token without taking it; false where Next would fail.
    bool Peek(std::string& token /* out */);

private:
    const char* next_;
};

// Keywords, root key names and placeholder names are compared without
// regard to the case of ASCII letters.
bool SameTextIgnoringCase(const std::string& text, const char* keyword);

}  // namespace quillon
