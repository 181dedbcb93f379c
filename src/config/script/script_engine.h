// ScriptEngine: the small interpreter every setup configuration owns.
//
// The installer sets typed variables (SetVariable) and runs short scripts
// over them (Run). A script is cut into tokens, the tokens become a list of
// items, and the items are reduced strictly from left to right: there is no
// precedence, every operation takes its neighbours as operands and replaces
// itself by its result. Groups in brackets are evaluated, in a sub-frame, when
// the walk reaches them. Whatever is left in the root frame after a run is the
// run's result; its first item is what Execute hands back.
//
// Variables live as long as the engine and are shared by every run. Nothing
// is reported: a failed operation just stops the reduction of its frame and
// leaves the items as they stand.
#pragma once

#include <cstdint>

#include "config/script/script_tokenizer.h"
#include "foundation/text_arena.h"
#include "foundation/text_list.h"
#include "foundation/text_string.h"

namespace quillon {

enum ScriptType : int32_t {
    kScriptNone = 0,        // undeclared variable (its text is its name), or no result
    kScriptString = 1,      // text
    kScriptLong = 2,        // number
    kScriptFloat = 4,       // real
    kScriptBoolean = 8,     // number, 1 or 0
    kScriptPointer = 16,    // declared only; no operation uses it
    kScriptMultipart = 32,  // text, a version number such as 5.1.2.3
};

// One value record, owned by the variable table or by a value item.
struct ScriptValue {
    TextString text;
    int32_t number = 0;
    double real = 0;
    int32_t type = kScriptNone;
};

// One entry of the function table. Every built-in takes one parameter and has
// an empty name; the fields allow for entries that the table never holds.
struct ScriptFunction {
    int32_t hasLeftOperand = 0;
    TextList parameters;  // only the count is used
    TextString name;      // when not empty, performed instead of the word
    int32_t builtIn = 1;  // 0: calling the entry performs nothing
};

enum ScriptItemKind : int32_t {
    kItemInert = 0,     // no payload
    kItemVariable = 1,  // payload: the variable table's ScriptValue (not owned)
    kItemValue = 2,     // payload: a ScriptValue owned by the item
    kItemFunction = 3,  // payload: the function table's ScriptFunction (not owned)
    kItemGroup = 4,     // no payload; the item's key is the group's inner text
};

// The value of a frame's item list entry; the entry's key is the token text
// the item came from (a group's inner text, the target of an assignment).
struct ScriptItem {
    int32_t kind = kItemInert;
    void* payload = nullptr;

    ScriptValue* Value() const {
        return (kind == kItemVariable || kind == kItemValue) ? static_cast<ScriptValue*>(payload) : nullptr;
    }
    ScriptFunction* Function() const {
        return kind == kItemFunction ? static_cast<ScriptFunction*>(payload) : nullptr;
    }
};

inline ScriptItem* ItemOf(const TextListItem* entry) { return static_cast<ScriptItem*>(entry->value); }

// What the trace hook is told about; see ScriptEngine::SetTraceHook.
enum class ScriptStep {
    kBuilt,     // a frame's items were built from its text
    kGroup,     // a group was replaced by its evaluated items
    kApplied,   // a function was applied (subject: its word)
    kFailed,    // a function could not be applied; the frame stops (subject: its word)
    kReturn,    // "return" replaced the frame's items
    kTooDeep,   // the group nesting limit was reached; the run is abandoned
};

class ScriptEngine;

// One level of evaluation: the root frame of a run, or a sub-frame for a
// group or a "return", destroyed right after its items have been taken over.
class ScriptFrame {
public:
    ScriptFrame(ScriptEngine& engine, int depth);
    ScriptFrame(const ScriptFrame&) = delete;
    ScriptFrame& operator=(const ScriptFrame&) = delete;
    ~ScriptFrame();

    // Tokenizes `text`, replaces the items by the items of its tokens and
    // reduces them. 1 when the reduction ran to its end, 0 when it stopped.
    int32_t Run(const char* text);

    TextList& Items() { return items_; }
    const TextList& Items() const { return items_; }
    int Depth() const { return depth_; }

    // Removes one item, freeing the value it owns.
    void RemoveItem(TextListItem* entry);
    void RemoveAllItems();

private:
    void BuildItems();
    // One token's item, appended to the frame; false when memory runs out.
    // `wordHash` is the TextKeyHash of a word's text (unused for the others).
    bool BuildItem(const TextListItem* token, uint32_t wordHash);
    int32_t Evaluate();
    // Evaluates a group item's text in a sub-frame and puts the sub-frame's
    // items in the group's place. Answers the first of them (or the item that
    // followed the group) and, through `count`, how many there were.
    TextListItem* ExpandGroup(TextListItem* group, int* count);
    int32_t Apply(TextListItem* function, TextListItem** next);
    void Return(TextListItem* item);
    void Trace(ScriptStep step, const TextListItem* subject) const;

    ScriptEngine& engine_;
    int depth_;
    TextList items_;  // duplicates allowed; values are ScriptItems owning their values
};

class ScriptEngine {
public:
    // Groups are evaluated recursively, one sub-frame per nesting level, so
    // the nesting depth is what the stack has to carry. Real scripts nest a
    // handful of levels; 64 is far beyond any of them, and a chain that deep
    // takes about 20 KB of stack in the release builds (some 300 bytes a
    // level), under a tenth of a 256 KB thread stack. A deeper script
    // abandons its run: it delivers no result instead of overflowing the
    // stack, and is never cut more than 64 times over.
    static constexpr int kMaxGroupDepth = 64;

    ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;
    ~ScriptEngine();

    int32_t AddDelimiter(int32_t kind, const char* text, int32_t tag) {
        return tokenizer_.AddDelimiter(kind, text, tag);
    }
    int32_t AddBracketPair(int32_t kind, const char* opening, const char* closing, int32_t tag) {
        return tokenizer_.AddBracketPair(kind, opening, closing, tag);
    }

    // Runs a script. The root frame's items are emptied first and keep the
    // run's leftovers until the next run. Failures are not reported.
    void Run(const char* script);

    // Sets a variable from outside: type 1 (string) and 32 (multipart) take
    // the text, type 2 (long) the number atol reads from it; 1. Any other type
    // removes the variable and answers 0.
    int32_t SetVariable(const char* name, const char* text, int32_t type);

    // The first item left by the last run, or null.
    TextListItem* FirstResult() { return root_.Items().Head(); }
    const TextList& RootItems() const { return root_.Items(); }
    // True when the last run was abandoned for nesting deeper than
    // kMaxGroupDepth.
    bool LastRunTooDeep() const { return tooDeep_; }

    // The variable's value (name compared ignoring case), or null.
    ScriptValue* FindVariable(const char* name);
    // Finds the variable or adds it with a fresh value record (type 0, null
    // text); null only when memory runs out.
    ScriptValue* VariableNamed(const char* name);

    TextList& Variables() { return variables_; }
    TextList& Functions() { return functions_; }
    ScriptTokenizer& Tokenizer() { return tokenizer_; }

    // An observer for the quillon tool's --trace: called after each reduction
    // step with the frame it changed. The library itself never sets one.
    using TraceHook = void (*)(void* context, ScriptStep step, const char* subject, const ScriptFrame& frame);
    void SetTraceHook(TraceHook hook, void* context) {
        traceHook_ = hook;
        traceContext_ = context;
    }

private:
    friend class ScriptFrame;

    void AddBuiltIn(const char* word, int32_t hasLeftOperand);
    // Adds a variable known to be absent, with a fresh value record.
    ScriptValue* AddVariable(const char* name);
    void RemoveVariable(TextListItem* entry);
    // Value records of variables, from the variables' arena.
    ScriptValue* NewVariableValue();
    static void DestroyVariableValue(void* value);

    // Variables stay as long as the engine: their items, names and value
    // records come from an arena of its own (a removed variable's stay there
    // until the engine goes).
    TextArena variableArena_{ArenaKeys::kCopied};
    TextList variables_{&variableArena_};  // no duplicates; values are owned ScriptValues
    TextList functions_;   // no duplicates; values are owned ScriptFunctions
    ScriptTokenizer tokenizer_;
    // The list items and ScriptItems of every frame of a run. A run's items
    // are all gone before the next run starts, which empties it; until then
    // the root frame's leftovers stay valid.
    TextArena itemArena_{ArenaKeys::kCopied};
    ScriptFrame root_;
    bool tooDeep_ = false;
    TraceHook traceHook_ = nullptr;
    void* traceContext_ = nullptr;
};

}  // namespace quillon
