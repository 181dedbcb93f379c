#include "com/registry_placeholders.h"

#include <cstring>

#include "com/registry_tokens.h"

namespace quillon {
namespace {

constexpr size_t kMaxNameLength = 31;

}  // namespace

ScriptReplacements ModuleReplacements(const char* modulePath) {
    std::string quoted;
    for (const char* p = modulePath; p != nullptr && *p != 0; ++p) {
        quoted += *p;
        if (*p == '\'') quoted += '\'';
    }
    return {{"Module", quoted}};
}

// The scan is byte by byte. That also keeps double-byte characters whole:
// no trail byte of a Windows double-byte code page is below 0x40, so none
// can be taken for a "%".
HResult ExpandPlaceholders(const char* script, const ScriptReplacements& replacements,
                           std::string& expanded) {
    expanded.clear();
    if (script == nullptr) return kResultOk;
    for (const char* p = script; *p != 0;) {
        if (*p != '%') {
            expanded += *p++;
            continue;
        }
        const char* name = p + 1;
        const char* close = std::strchr(name, '%');
        if (close == nullptr) return kResultScriptError;
        size_t length = static_cast<size_t>(close - name);
        if (length == 0) {
            expanded += '%';  // "%%"
        } else {
            if (length > kMaxNameLength) return kResultFailed;
            const std::string wanted(name, length);
            const ScriptReplacement* found = nullptr;
            for (const auto& replacement : replacements) {
                if (SameTextIgnoringCase(wanted, replacement.name.c_str())) {
                    found = &replacement;
                    break;
                }
            }
            if (found == nullptr) return kResultScriptError;
            expanded += found->text;
        }
        p = close + 1;
    }
    return kResultOk;
}

}  // namespace quillon
