// The built-in operations of the script language and their type rules.
//
// Each takes the operand values of one function item and fills a fresh result
// value. Operands are the values themselves, not copies: where a rule
// rewrites an operand (the booleans and numbers that "+" turns into text, the
// operand of "!" that becomes undeclared), a variable operand keeps the
// change.
#include "config/script/script_operations.h"

#include <cstring>

#include "config/script/script_numbers.h"
#include "platform/message_box.h"

namespace quillon {

void ReadMultipart(const char* text, int32_t parts[4]) {
    for (int i = 0; i < 4; ++i) parts[i] = 0;
    if (text == nullptr) return;
    int index = 0;
    const char* chunk = text;
    for (const char* p = text;; ++p) {
        if ((*p >= '0' && *p <= '9') || *p == ' ') continue;
        // The chunk holds digits and blanks only; atol skips the leading
        // blanks and stops at the first blank after a digit.
        const char* q = chunk;
        while (q < p && *q == ' ') ++q;
        uint32_t number = 0;
        for (; q < p && *q >= '0' && *q <= '9'; ++q) number = number * 10u + static_cast<uint32_t>(*q - '0');
        parts[index] = static_cast<int32_t>(number);
        if (*p != '.' && *p != ',') return;
        if (++index == 4) return;
        chunk = p + 1;
    }
}

namespace {

// `leftIsTemporary`: the left operand is a value that goes away with its
// item once the operation is done, so its text may be taken over.
using Operation = int32_t (*)(ScriptEngine& engine, const char* target, ScriptValue* left, ScriptValue* right,
                              ScriptValue& result, bool leftIsTemporary);

void SetBoolean(ScriptValue& result, bool value) {
    result.type = kScriptBoolean;
    result.number = value ? 1 : 0;
}

int Compare(int32_t a, int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareMultipart(const ScriptValue& a, const ScriptValue& b) {
    int32_t left[4];
    int32_t right[4];
    ReadMultipart(a.text.Text(), left);
    ReadMultipart(b.text.Text(), right);
    for (int i = 0; i < 4; ++i)
        if (int order = Compare(left[i], right[i])) return order;
    return 0;
}

// Orders two values of the same type for ">" and "<": long, float and
// multipart only. False for any other type.
bool Order(const ScriptValue& a, const ScriptValue& b, int* order) {
    if (a.type != b.type) return false;
    switch (a.type) {
        case kScriptLong: *order = Compare(a.number, b.number); return true;
        case kScriptFloat: *order = a.real < b.real ? -1 : (a.real > b.real ? 1 : 0); return true;
        case kScriptMultipart: *order = CompareMultipart(a, b); return true;
        default: return false;
    }
}

// Equality for "==" and "!=": values of different types are unequal; type 0
// and pointers cannot be compared.
bool Equal(const ScriptValue& a, const ScriptValue& b, bool* equal) {
    if (a.type != b.type) {
        *equal = false;
        return true;
    }
    switch (a.type) {
        case kScriptString: *equal = a.text.IsSame(b.text.Text()) != 0; return true;
        case kScriptLong:
        case kScriptBoolean: *equal = a.number == b.number; return true;
        case kScriptFloat: *equal = a.real == b.real; return true;
        case kScriptMultipart: *equal = CompareMultipart(a, b) == 0; return true;
        default: return false;
    }
}

bool IsLongOrBoolean(const ScriptValue& v) { return v.type == kScriptLong || v.type == kScriptBoolean; }

int32_t Assign(ScriptEngine& engine, const char* target, ScriptValue* left, ScriptValue* right, ScriptValue&, bool) {
    if (left->type != right->type || target == nullptr) return 0;
    ScriptValue* variable = engine.VariableNamed(target);
    if (variable == nullptr) return 0;
    variable->type = right->type;
    variable->number = right->number;
    variable->real = right->real;
    variable->text = right->text;  // self-assignment safe
    return 1;
}

int32_t Not(ScriptEngine&, const char*, ScriptValue*, ScriptValue* right, ScriptValue& result, bool) {
    if (IsLongOrBoolean(*right)) {
        SetBoolean(result, right->number <= 0);
    } else if (right->type == kScriptFloat) {
        // Same sense as for a long: zero (or less) is false, so its negation
        // is true.
        SetBoolean(result, right->real <= 0);
    } else {
        return 0;
    }
    right->type = kScriptNone;
    return 1;
}

int32_t BitTest(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result, bool) {
    if (left->type != kScriptLong || right->type != kScriptLong) return 0;
    SetBoolean(result, (left->number & right->number) != 0);
    return 1;
}

void BooleanToText(ScriptValue& v) {
    if (v.type != kScriptBoolean) return;
    v.text = v.number != 0 ? "TRUE" : "FALSE";
    v.type = kScriptString;
}

void NumberToText(ScriptValue& v) {
    if (v.type == kScriptLong) v.text.Format("%d", static_cast<int>(v.number));
    else if (v.type == kScriptFloat) v.text = FormatReal(v.real, 7);
}

int32_t Add(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result,
            bool leftIsTemporary) {
    BooleanToText(*left);
    BooleanToText(*right);
    if (left->type == kScriptString || right->type == kScriptString) {
        NumberToText(*left);
        NumberToText(*right);
        result.type = kScriptString;
        // A chain of joins ("a" + "b" + ...) hands its growing text on from
        // step to step instead of copying it each time.
        if (leftIsTemporary) result.text = static_cast<TextString&&>(left->text);
        else result.text = left->text;
        result.text.Append(right->text.Text());
        return 1;
    }
    if (right->type == kScriptLong) {
        if (left->type == kScriptFloat) {
            result.type = kScriptFloat;
            result.real = left->real + right->number;
        } else {
            // Wraps around like the 32-bit addition it models.
            result.type = kScriptLong;
            result.number = static_cast<int32_t>(static_cast<uint32_t>(left->number) + static_cast<uint32_t>(right->number));
        }
        return 1;
    }
    if (right->type == kScriptFloat) {
        result.type = kScriptFloat;
        result.real = (left->type == kScriptFloat ? left->real : left->number) + right->real;
        return 1;
    }
    return 0;
}

int32_t And(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result, bool) {
    if (!IsLongOrBoolean(*left) || !IsLongOrBoolean(*right)) return 0;
    SetBoolean(result, left->number == 1 && right->number == 1);
    return 1;
}

int32_t Or(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result, bool) {
    if (!IsLongOrBoolean(*left) || !IsLongOrBoolean(*right)) return 0;
    SetBoolean(result, left->number == 1 || right->number == 1);
    return 1;
}

int32_t Equals(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result, bool) {
    bool equal = false;
    if (!Equal(*left, *right, &equal)) return 0;
    SetBoolean(result, equal);
    return 1;
}

int32_t NotEquals(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result, bool) {
    bool equal = false;
    if (!Equal(*left, *right, &equal)) return 0;
    SetBoolean(result, !equal);
    return 1;
}

int32_t Greater(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result, bool) {
    int order = 0;
    if (!Order(*left, *right, &order)) return 0;
    SetBoolean(result, order > 0);
    return 1;
}

int32_t Smaller(ScriptEngine&, const char*, ScriptValue* left, ScriptValue* right, ScriptValue& result, bool) {
    int order = 0;
    if (!Order(*left, *right, &order)) return 0;
    SetBoolean(result, order < 0);
    return 1;
}

// Declarations give the variable named by the operand's text a type; its
// other fields keep their content. An operand without text (a number, or a
// variable that was assigned a computed value) names the one variable whose
// name is null, which no word can reach: the declaration succeeds and has no
// visible effect. Scripts rely on that when they run a second time, as in
// "long n n = (a + 1)" once n holds a computed number.
int32_t Declare(ScriptEngine& engine, const ScriptValue* right, int32_t type) {
    ScriptValue* variable = engine.VariableNamed(right->text.Text());
    if (variable == nullptr) return 0;
    variable->type = type;
    return 1;
}

int32_t DeclareLong(ScriptEngine& engine, const char*, ScriptValue*, ScriptValue* right, ScriptValue&, bool) {
    return Declare(engine, right, kScriptLong);
}

int32_t DeclareString(ScriptEngine& engine, const char*, ScriptValue*, ScriptValue* right, ScriptValue&, bool) {
    return Declare(engine, right, kScriptString);
}

int32_t DeclareMultipart(ScriptEngine& engine, const char*, ScriptValue*, ScriptValue* right, ScriptValue&, bool) {
    return Declare(engine, right, kScriptMultipart);
}

int32_t ShowMessage(ScriptEngine&, const char*, ScriptValue*, ScriptValue* right, ScriptValue&, bool) {
    if (right->type == kScriptString || right->type == kScriptMultipart) {
        platform::ShowInfoMessage(right->text.Text());
    } else {
        TextString number;
        number.Format("%d", static_cast<int>(right->number));
        platform::ShowInfoMessage(number.Text());
    }
    return 1;
}

struct OperationEntry {
    const char* word;
    bool hasLeftOperand;
    Operation perform;
};

const OperationEntry kOperations[] = {
    {"=", true, Assign},         {"!", false, Not},           {"&", true, BitTest},
    {"+", true, Add},            {"&&", true, And},           {"||", true, Or},
    {"==", true, Equals},        {"!=", true, NotEquals},     {">", true, Greater},
    {"<", true, Smaller},        {"long", false, DeclareLong}, {"string", false, DeclareString},
    {"multipart", false, DeclareMultipart}, {"MsgBox", false, ShowMessage},
};

}  // namespace

int32_t PerformOperation(ScriptEngine& engine, const char* name, const char* target, ScriptValue* left,
                         ScriptValue* right, ScriptValue& result, bool leftIsTemporary) {
    if (name == nullptr) return 1;
    for (const OperationEntry& operation : kOperations) {
        if (std::strcmp(operation.word, name) != 0) continue;
        // Every built-in takes a right operand; those with a left one need it.
        if (right == nullptr || (operation.hasLeftOperand && left == nullptr)) return 0;
        return operation.perform(engine, target, left, right, result, leftIsTemporary);
    }
    return 1;
}

}  // namespace quillon
