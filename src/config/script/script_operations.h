// The fourteen built-in operations of the script engine.
#pragma once

#include <cstdint>

#include "config/script/script_engine.h"

namespace quillon {

// Performs the operation whose word is exactly `name` on the operand values
// (`left` null for operations without a left operand). `target` is the left
// operand's token text, the variable an assignment sets. The result starts at
// type 0 and stays there for operations without a result; a word that is not
// exactly one of the fourteen performs nothing. 1, or 0 when the operation
// fails (wrong types, a missing operand). `leftIsTemporary` says that the
// left operand is discarded after the operation, so its text may be taken.
int32_t PerformOperation(ScriptEngine& engine, const char* name, const char* target, ScriptValue* left,
                         ScriptValue* right, ScriptValue& result, bool leftIsTemporary = false);

// The four numbers of a multipart value. Digits and blanks make up a number
// (read like atol), "." and "," start the next one, anything else and the
// fourth separator end the reading; numbers not reached are 0.
void ReadMultipart(const char* text, int32_t parts[4]);

}  // namespace quillon
