// ScriptEngine and ScriptFrame: building items from tokens and reducing a
// frame from left to right. The operations themselves are in
// script_operations.cpp.
#include "config/script/script_engine.h"

#include "foundation/decimal_text.h"
#include "foundation/text_key_hash.h"

#include <cstring>
#include <memory>
#include <new>

#include "config/script/script_numbers.h"
#include "config/script/script_operations.h"

namespace quillon {
namespace {

// Number words are made of digits, "-" and "," only; a comma makes a float.
bool IsNumberWord(const char* word) {
    if (word == nullptr || *word == 0) return false;
    for (const char* p = word; *p; ++p)
        if (!((*p >= '0' && *p <= '9') || *p == '-' || *p == ',')) return false;
    return true;
}

bool IsExactly(const CompactText& text, const char* word) {
    return text.Text() != nullptr && std::strcmp(text.Text(), word) == 0;
}

// The item itself belongs to the engine's item arena.
void FreeItem(ScriptItem* item) {
    if (item != nullptr && item->kind == kItemValue) delete static_cast<ScriptValue*>(item->payload);
}

}  // namespace

// ---------------------------------------------------------------------------
// ScriptFrame

ScriptFrame::ScriptFrame(ScriptEngine& engine, int depth)
    : engine_(engine), depth_(depth), items_(&engine.itemArena_) {
    items_.allowDuplicates = 1;
}

ScriptFrame::~ScriptFrame() { RemoveAllItems(); }

void ScriptFrame::RemoveItem(TextListItem* entry) {
    FreeItem(ItemOf(entry));
    entry->value = nullptr;
    items_.Remove(entry);
}

void ScriptFrame::RemoveAllItems() {
    for (TextListItem* entry = items_.Head(); entry != nullptr; entry = entry->next) {
        FreeItem(ItemOf(entry));
        entry->value = nullptr;
    }
    items_.RemoveAll();
}

void ScriptFrame::Trace(ScriptStep step, const TextListItem* subject) const {
    if (engine_.traceHook_ == nullptr) return;
    engine_.traceHook_(engine_.traceContext_, step, subject ? subject->key.Text() : nullptr, *this);
}

int32_t ScriptFrame::Run(const char* text) {
    RemoveAllItems();
    if (depth_ > ScriptEngine::kMaxGroupDepth) {
        // Too deep to evaluate safely: the whole run is abandoned (see
        // kMaxGroupDepth). Nothing is tokenized, so that a pathological
        // script costs no more than kMaxGroupDepth passes over its text.
        engine_.tooDeep_ = true;
        Trace(ScriptStep::kTooDeep, nullptr);
        return 0;
    }
    // An unterminated quote or group ends the text early; the tokens before
    // it are evaluated as if the text ended there, so the answer is not used.
    engine_.tokenizer_.Tokenize(text);
    BuildItems();
    Trace(ScriptStep::kBuilt, nullptr);
    return Evaluate();
}

// Inline: BuildItems is its only caller, once per token.
inline bool ScriptFrame::BuildItem(const TextListItem* token, uint32_t wordHash) {
    void* memory = engine_.itemArena_.Allocate(sizeof(ScriptItem));
    if (memory == nullptr) return false;
    auto* item = new (memory) ScriptItem;
    const char* text = token->key.Text();
    int32_t tag = ScriptTokenizer::Tag(token);
    if (tag == 0) {
        if (TextListItem* variable = engine_.variables_.Find(text, wordHash)) {
            item->kind = kItemVariable;
            item->payload = variable->value;
        } else if (TextListItem* function = engine_.functions_.Find(text, wordHash)) {
            item->kind = kItemFunction;
            item->payload = function->value;
        } else if (IsNumberWord(text)) {
            auto* value = new (std::nothrow) ScriptValue;
            if (value != nullptr) {
                if (std::strchr(text, ',') != nullptr) {
                    value->type = kScriptFloat;
                    value->real = ReadRealWord(text);
                } else {
                    value->type = kScriptLong;
                    value->number = ReadDecimalLong(text);
                }
                item->kind = kItemValue;
                item->payload = value;
            }
        } else if (ScriptValue* variable = engine_.AddVariable(text)) {
            // Any other word, a misspelt operation included, names a new
            // undeclared variable whose text is its own name.
            variable->text = text;
            item->kind = kItemVariable;
            item->payload = variable;
        }
    } else if (tag == 1) {
        auto* value = new (std::nothrow) ScriptValue;
        if (value != nullptr) {
            value->type = kScriptString;
            value->text = token->key.Text();
            item->kind = kItemValue;
            item->payload = value;
        }
    } else if (tag == 2 || tag == 4) {
        item->kind = kItemGroup;
    }
    TextListItem* entry = items_.Add(text);
    if (entry == nullptr) {
        FreeItem(item);
        return false;
    }
    entry->value = item;
    return true;
}

void ScriptFrame::BuildItems() {
    // A word's look-up in a large variable table waits for memory twice: for
    // the index bucket, then for the item the bucket leads to. Each word is
    // hashed and its bucket asked for kRing tokens before its turn, the item
    // kLead tokens before, so that the waits of a long script overlap.
    constexpr int kLead = 4;
    constexpr int kRing = 2 * kLead;
    constexpr int kLargeTable = 4096;  // a smaller table stays in the nearer caches
    uint32_t hashes[kRing] = {};  // by token position modulo kRing
    bool words[kRing] = {};
    TextList& variables = engine_.variables_;
    TextListItem* token = engine_.tokenizer_.Tokens().Head();
    TextListItem* lead = token;
    for (int step = 0; token != nullptr; ++step) {
        if (step >= kRing) {
            if (!BuildItem(token, hashes[step % kRing])) return;
            token = token->next;
        }
        bool large = variables.GetCount() >= kLargeTable;
        int near = (step + kLead) % kRing;  // the token kLead before this step's lead
        if (large && words[near]) variables.PrefetchFirstCandidate(hashes[near]);
        int far = step % kRing;  // this step's lead, kRing tokens ahead
        words[far] = lead != nullptr && ScriptTokenizer::Tag(lead) == 0;
        if (words[far]) {
            hashes[far] = TextKeyHash(lead->key.Text());
            if (large) variables.PrefetchBucket(hashes[far]);
        }
        if (lead != nullptr) lead = lead->next;
    }
}

int32_t ScriptFrame::Evaluate() {
    TextListItem* entry = items_.Head();
    while (entry != nullptr) {
        if (engine_.tooDeep_) return 0;
        if (IsExactly(entry->key, "return")) {
            Return(entry);
            return 1;
        }
        ScriptItem* item = ItemOf(entry);
        if (item->kind == kItemGroup) {
            int count = 0;
            entry = ExpandGroup(entry, &count);
            if (!engine_.tooDeep_) Trace(ScriptStep::kGroup, nullptr);
        } else if (item->kind == kItemFunction) {
            TextListItem* next = nullptr;
            if (!Apply(entry, &next)) return 0;
            entry = next;
        } else {
            entry = entry->next;
        }
    }
    return engine_.tooDeep_ ? 0 : 1;
}

TextListItem* ScriptFrame::ExpandGroup(TextListItem* group, int* count) {
    // The group's key stays untouched while the sub-frame runs: nothing in
    // this frame changes until the sub-frame's items are taken over.
    ScriptFrame sub(engine_, depth_ + 1);
    sub.Run(group->key.Text());  // a failed group hands on what it holds
    TextListItem* after = group;
    TextListItem* first = nullptr;
    *count = 0;
    for (TextListItem* source = sub.items_.Head(); source != nullptr; source = source->next) {
        TextListItem* moved = items_.InsertAfter(source->key.Text(), after);
        if (moved == nullptr) break;
        moved->value = source->value;
        source->value = nullptr;
        if (first == nullptr) first = moved;
        after = moved;
        ++*count;
    }
    TextListItem* next = first != nullptr ? first : group->next;
    RemoveItem(group);
    return next;
}

void ScriptFrame::Return(TextListItem* entry) {
    TextListItem* following = entry->next;
    if (following == nullptr) {
        RemoveAllItems();
        Trace(ScriptStep::kReturn, nullptr);
        return;
    }
    // The following item is read again as text: a word or a group's inner
    // text (a quoted text thus becomes a word too). Only a group counts as a
    // level deeper. Without one the recursion stays short: a word reads
    // back as the same word, and a quoted text holds no quote of its kind.
    ScriptFrame sub(engine_, ItemOf(following)->kind == kItemGroup ? depth_ + 1 : depth_);
    sub.Run(following->key.Text());
    RemoveAllItems();
    if (TextListItem* source = sub.items_.Head()) {
        if (TextListItem* moved = items_.Add(source->key.Text())) {
            moved->value = source->value;
            source->value = nullptr;
        }
    }
    Trace(ScriptStep::kReturn, nullptr);
}

int32_t ScriptFrame::Apply(TextListItem* function, TextListItem** next) {
    ScriptFunction* entry = ItemOf(function)->Function();
    TextListItem* left = nullptr;
    TextListItem* right = nullptr;
    auto fail = [&]() {
        Trace(ScriptStep::kFailed, function);
        return 0;
    };

    if (entry->hasLeftOperand) {
        left = function->previous;
        if (left == nullptr) return fail();
    }
    int parameters = entry->parameters.GetCount();
    if (parameters > 0) {
        right = function->next;
        if (right == nullptr) return fail();
        if (ItemOf(right)->kind == kItemGroup) {
            // The group's items take its place whatever happens next, so a
            // group of the wrong size leaves its items in this frame.
            int count = 0;
            right = ExpandGroup(right, &count);
            if (engine_.tooDeep_) return 0;
            Trace(ScriptStep::kGroup, nullptr);
            if (count != parameters) return fail();
        } else if (parameters != 1) {
            return fail();
        }
    }

    ScriptValue* leftValue = nullptr;
    ScriptValue* rightValue = nullptr;
    if (left != nullptr && (leftValue = ItemOf(left)->Value()) == nullptr) return fail();
    if (right != nullptr && (rightValue = ItemOf(right)->Value()) == nullptr) return fail();

    std::unique_ptr<ScriptValue> result(new (std::nothrow) ScriptValue);
    if (result == nullptr) return fail();
    if (entry->builtIn) {
        // The word must be the operation's own word exactly: a word found in
        // the table only because case is ignored ("LONG") performs nothing.
        const char* name = entry->name.GetLength() > 0 ? entry->name.Text() : function->key.Text();
        const char* target = left != nullptr ? left->key.Text() : nullptr;
        // A value item on the left is removed right after a successful
        // operation; a variable stays.
        bool leftIsTemporary = left != nullptr && ItemOf(left)->kind == kItemValue;
        if (!PerformOperation(engine_, name, target, leftValue, rightValue, *result, leftIsTemporary)) return fail();
    }

    if (left != nullptr) RemoveItem(left);
    if (right != nullptr) RemoveItem(right);
    *next = function->next;
    if (result->type != kScriptNone) {
        ScriptItem* item = ItemOf(function);
        item->kind = kItemValue;
        item->payload = result.release();
        Trace(ScriptStep::kApplied, function);
    } else if (engine_.traceHook_ != nullptr) {
        TextString word = function->key.Text();
        RemoveItem(function);
        engine_.traceHook_(engine_.traceContext_, ScriptStep::kApplied, word.Text(), *this);
    } else {
        RemoveItem(function);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// ScriptEngine

ScriptEngine::ScriptEngine() : root_(*this, 0) {
    // The fourteen built-in operations, in the table's fixed order.
    AddBuiltIn("=", 1);
    AddBuiltIn("!", 0);
    AddBuiltIn("&", 1);
    AddBuiltIn("+", 1);
    AddBuiltIn("&&", 1);
    AddBuiltIn("||", 1);
    AddBuiltIn("==", 1);
    AddBuiltIn("!=", 1);
    AddBuiltIn(">", 1);
    AddBuiltIn("<", 1);
    AddBuiltIn("long", 0);
    AddBuiltIn("string", 0);
    AddBuiltIn("multipart", 0);
    AddBuiltIn("MsgBox", 0);
}

ScriptEngine::~ScriptEngine() {
    root_.RemoveAllItems();
    for (TextListItem* entry = variables_.Head(); entry != nullptr; entry = entry->next)
        DestroyVariableValue(entry->value);
    variables_.RemoveAll();
    for (TextListItem* entry = functions_.Head(); entry != nullptr; entry = entry->next)
        delete static_cast<ScriptFunction*>(entry->value);
    functions_.RemoveAll();
}

void ScriptEngine::AddBuiltIn(const char* word, int32_t hasLeftOperand) {
    auto* function = new (std::nothrow) ScriptFunction;
    if (function == nullptr) return;
    function->hasLeftOperand = hasLeftOperand;
    function->parameters.Add("Param1");
    TextListItem* entry = functions_.Add(word);
    if (entry == nullptr) {
        delete function;
        return;
    }
    entry->value = function;
}

void ScriptEngine::Run(const char* script) {
    tooDeep_ = false;
    root_.RemoveAllItems();
    itemArena_.Reset();
    root_.Run(script);
    if (tooDeep_) root_.RemoveAllItems();
}

ScriptValue* ScriptEngine::FindVariable(const char* name) {
    TextListItem* entry = variables_.Find(name);
    return entry != nullptr ? static_cast<ScriptValue*>(entry->value) : nullptr;
}

ScriptValue* ScriptEngine::VariableNamed(const char* name) {
    TextListItem* entry = variables_.Find(name);
    if (entry == nullptr) return AddVariable(name);
    if (entry->value == nullptr) entry->value = NewVariableValue();
    return static_cast<ScriptValue*>(entry->value);
}

ScriptValue* ScriptEngine::AddVariable(const char* name) {
    // The caller has just looked the name up in vain: skip the table's own
    // second search (the table is searched item by item).
    variables_.allowDuplicates = 1;
    TextListItem* entry = variables_.Add(name);
    variables_.allowDuplicates = 0;
    if (entry == nullptr) return nullptr;
    if (entry->value == nullptr) {
        entry->value = NewVariableValue();
        if (entry->value == nullptr) {
            variables_.Remove(entry);
            return nullptr;
        }
    }
    return static_cast<ScriptValue*>(entry->value);
}

void ScriptEngine::RemoveVariable(TextListItem* entry) {
    // The last run's leftovers may refer to this variable's value.
    root_.RemoveAllItems();
    DestroyVariableValue(entry->value);
    variables_.Remove(entry);
}

ScriptValue* ScriptEngine::NewVariableValue() {
    void* memory = variableArena_.Allocate(sizeof(ScriptValue));
    return memory != nullptr ? new (memory) ScriptValue : nullptr;
}

void ScriptEngine::DestroyVariableValue(void* value) {
    if (value != nullptr) static_cast<ScriptValue*>(value)->~ScriptValue();  // the arena keeps the memory
}

int32_t ScriptEngine::SetVariable(const char* name, const char* text, int32_t type) {
    TextListItem* entry = variables_.Add(name);
    if (entry == nullptr) return 0;
    if (entry->value == nullptr) entry->value = NewVariableValue();
    auto* value = static_cast<ScriptValue*>(entry->value);
    if (value == nullptr || (type != kScriptString && type != kScriptLong && type != kScriptMultipart)) {
        RemoveVariable(entry);
        return 0;
    }
    if (type == kScriptLong) {
        value->text.Clear();
        value->number = ReadDecimalLong(text);
    } else {
        value->text = text;
        value->number = 0;
    }
    value->type = type;
    return 1;
}

}  // namespace quillon
