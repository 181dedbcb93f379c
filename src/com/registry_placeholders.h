// The placeholder pass over a registration script, run once before the
// script is read: "%%" becomes "%", and "%NAME%" becomes the replacement of
// NAME, looked up without regard to case.
#pragma once

#include <string>
#include <vector>

#include "com/script_result.h"

namespace quillon {

struct ScriptReplacement {
    std::string name;
    std::string text;  // inserted as it is: it is not scanned again
};
using ScriptReplacements = std::vector<ScriptReplacement>;

// The table of a module's scripts: "Module" is the module's file name with
// every apostrophe doubled, so that it can stand inside a quoted token.
ScriptReplacements ModuleReplacements(const char* modulePath);

// Copies `script` into `expanded` with its placeholders replaced. A name of
// more than 31 bytes gives kResultFailed; a name not in the table, or a "%"
// without a closing "%", gives kResultScriptError.
HResult ExpandPlaceholders(const char* script, const ScriptReplacements& replacements,
                           std::string& expanded /* out */);

}  // namespace quillon
