#include "config/script/script_execute.h"

namespace quillon {

void SetScriptDelimiters(ScriptEngine& engine) {
    engine.AddDelimiter(ScriptTokenizer::kSeparator, " ", 0);
    engine.AddDelimiter(ScriptTokenizer::kSeparator, "\r\n", 0);
    engine.AddDelimiter(ScriptTokenizer::kQuote, "\"", 1);  // quoted text becomes a string value
    engine.AddBracketPair(ScriptTokenizer::kBracketPair, "(", ")", 2);
    engine.AddBracketPair(ScriptTokenizer::kBracketPair, "{", "}", 4);
}

ScriptResult ExecuteScript(ScriptEngine& engine, const char* script) {
    SetScriptDelimiters(engine);
    engine.Run(script);
    ScriptResult result;
    TextListItem* first = engine.FirstResult();
    if (first == nullptr) return result;
    const ScriptValue* value = ItemOf(first)->Value();
    if (value == nullptr) return result;
    switch (value->type) {
        case kScriptLong:
        case kScriptBoolean:
            result.kind = ScriptResult::kNumber;
            result.number = value->number;
            break;
        case kScriptString:
            result.kind = ScriptResult::kText;
            result.text = value->text.IsNull() ? "" : value->text.Text();
            break;
        default:
            break;
    }
    return result;
}

}  // namespace quillon
