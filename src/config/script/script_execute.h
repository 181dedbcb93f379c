// Running a script the way the Execute export does, shared by the export and
// the quillon tool so that the two can never disagree about a result.
#pragma once

#include <cstdint>

#include "config/script/script_engine.h"

namespace quillon {

struct ScriptResult {
    enum Kind { kNone, kNumber, kText };
    Kind kind = kNone;
    int32_t number = 0;            // kNumber: a long, or 1/0 for a truth value
    const char* text = nullptr;    // kText: never null; valid until the engine runs or changes again
};

// Sets the script delimiters (blank and CR LF separate words, the double
// quotation mark quotes text, parentheses and braces make groups), in this
// order, replacing whatever settings the same texts had.
void SetScriptDelimiters(ScriptEngine& engine);

// Sets the delimiters, runs the script and reads the first item the run left
// in the root frame: a long or boolean gives a number, a string gives text,
// anything else (nothing left, a function or group item, an undeclared
// variable, a float, a multipart) gives no result.
ScriptResult ExecuteScript(ScriptEngine& engine, const char* script);

}  // namespace quillon
