// The script tokenizer and engine on arbitrary text. Each input is run twice
// on one engine (the second run sees the first run's variables), and once
// more after variables were set from outside; nothing may crash, leak or
// overflow, and a text result must always be readable.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/script/script_execute.h"

namespace {

void Check(const quillon::ScriptResult& result) {
    if (result.kind == quillon::ScriptResult::kText && (result.text == nullptr || std::strlen(result.text) > (1u << 26)))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string script(reinterpret_cast<const char*>(data), size);
    // Message boxes only print natively; keep the fuzzer's output quiet.
    if (script.find("MsgBox") != std::string::npos) return 0;
    const char* text = script.c_str();

    quillon::ScriptEngine engine;
    Check(quillon::ExecuteScript(engine, text));
    Check(quillon::ExecuteScript(engine, text));
    engine.SetVariable("a", "5.1.10", 32);
    engine.SetVariable("b", "12abc", 2);
    engine.SetVariable("c", text, 1);
    engine.SetVariable("x", "gone", 4);
    Check(quillon::ExecuteScript(engine, text));

    quillon::ScriptTokenizer tokenizer;
    quillon::SetScriptDelimiters(engine);
    tokenizer.AddDelimiter(1, " ", 0);
    tokenizer.AddBracketPair(3, "<<", ">>", 2);
    tokenizer.AddBracketPair(3, "|", "|", 4);
    tokenizer.AddDelimiter(2, "''", 1);
    tokenizer.Tokenize(text);
    return 0;
}
