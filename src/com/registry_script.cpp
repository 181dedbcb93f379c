#include "com/registry_script.h"

#include <cstdint>
#include <string>
#include <vector>

#include "com/registry_placeholders.h"
#include "com/registry_tokens.h"

namespace quillon {
namespace {

// Deeper nesting than any registry needs is refused, so that reading and
// running a script can never exhaust the stack.
constexpr int kMaxNesting = 64;

struct ScriptItem {
    enum class Kind { kKey, kDelete, kValue };
    Kind kind = Kind::kKey;
    bool forceRemove = false;
    bool noRemove = false;
    std::string name;
    bool hasValue = false;  // a key's default value, or the value of "Val"
    RegistryValue value;
    std::vector<ScriptItem> items;
};

struct RootBlock {
    RegistryRoot root;
    std::vector<ScriptItem> items;
};

bool LookUpRoot(const std::string& name, RegistryRoot& root) {
    static const struct {
        const char* shortName;
        const char* longName;
        RegistryRoot root;
    } kRoots[] = {
        {"HKCR", "HKEY_CLASSES_ROOT", RegistryRoot::kClassesRoot},
        {"HKCU", "HKEY_CURRENT_USER", RegistryRoot::kCurrentUser},
        {"HKLM", "HKEY_LOCAL_MACHINE", RegistryRoot::kLocalMachine},
        {"HKU", "HKEY_USERS", RegistryRoot::kUsers},
        {"HKPD", "HKEY_PERFORMANCE_DATA", RegistryRoot::kPerformanceData},
        {"HKDD", "HKEY_DYN_DATA", RegistryRoot::kDynData},
        {"HKCC", "HKEY_CURRENT_CONFIG", RegistryRoot::kCurrentConfig},
    };
    for (const auto& entry : kRoots) {
        if (SameTextIgnoringCase(name, entry.shortName) || SameTextIgnoringCase(name, entry.longName)) {
            root = entry.root;
            return true;
        }
    }
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decimal digits between optional blanks; any other text stores 0.
uint32_t ReadNumber(const std::string& text) {
    size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    if (i == end) return 0;
    uint64_t number = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        number = number * 10 + static_cast<uint64_t>(text[i] - '0');
        if (number > UINT32_MAX) return 0;
    }
    return static_cast<uint32_t>(number);
}

HResult MakeValue(const std::string& type, const std::string& text, RegistryValue& value) {
    value.data.clear();
    if (SameTextIgnoringCase(type, "S")) {
        value.type = RegistryValueType::kString;
        value.data.assign(text.c_str(), text.size() + 1);
    } else if (SameTextIgnoringCase(type, "D")) {
        value.type = RegistryValueType::kNumber;
        uint32_t number = ReadNumber(text);
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
    } else if (SameTextIgnoringCase(type, "B")) {
        value.type = RegistryValueType::kBytes;
        if (text.size() % 2 != 0) return kResultFailed;
        for (size_t i = 0; i < text.size(); i += 2) {
            int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
            if (high < 0 || low < 0) return kResultFailed;
            value.data += static_cast<char>(high * 16 + low);
        }
    } else {
        return kResultScriptError;
    }
    return kResultOk;
}

bool IsPunctuation(const std::string& token) { return token == "{" || token == "}" || token == "="; }

class ScriptReader {
public:
    explicit ScriptReader(const char* script) : tokens_(script) {}

    HResult Read(std::vector<RootBlock>& blocks) {
        std::string token;
        while (!tokens_.AtEnd()) {
            blocks.emplace_back();
            RootBlock& block = blocks.back();
            if (Failed(tokens_.Next(token)) || !LookUpRoot(token, block.root)) return kResultScriptError;
            if (Failed(tokens_.Next(token)) || token != "{") return kResultScriptError;
            HResult result = ReadItems(block.items, 1);
            if (Failed(result)) return result;
        }
        return kResultOk;
    }

private:
    // The items of a block whose "{" has been read, up to its "}".
    HResult ReadItems(std::vector<ScriptItem>& items, int nesting) {
        if (nesting > kMaxNesting) return kResultScriptError;
        std::string token;
        for (;;) {
            if (Failed(tokens_.Next(token))) return kResultScriptError;
            if (token == "}") return kResultOk;
            items.emplace_back();
            HResult result = ReadItem(token, items.back(), nesting);
            if (Failed(result)) return result;
        }
    }

    HResult ReadItem(const std::string& first, ScriptItem& item, int nesting) {
        if (SameTextIgnoringCase(first, "Val")) {
            item.kind = ScriptItem::Kind::kValue;
            std::string equals;
            if (Failed(ReadName(item.name)) || Failed(tokens_.Next(equals)) || equals != "=")
                return kResultScriptError;
            item.hasValue = true;
            return ReadValue(item.value);
        }
        item.forceRemove = SameTextIgnoringCase(first, "ForceRemove");
        item.noRemove = SameTextIgnoringCase(first, "NoRemove");
        if (SameTextIgnoringCase(first, "Delete")) item.kind = ScriptItem::Kind::kDelete;
        // After a modifier comes the name, whatever it reads like.
        if (item.forceRemove || item.noRemove || item.kind == ScriptItem::Kind::kDelete) {
            if (Failed(tokens_.Next(item.name))) return kResultScriptError;
        } else {
            item.name = first;
        }
        if (!IsKeyName(item.name)) return kResultScriptError;

        std::string next;
        if (tokens_.Peek(next) && next == "=") {
            tokens_.Next(next);
            item.hasValue = true;
            HResult result = ReadValue(item.value);
            if (Failed(result)) return result;
        }
        if (item.kind == ScriptItem::Kind::kKey && tokens_.Peek(next) && next == "{") {
            tokens_.Next(next);
            return ReadItems(item.items, nesting + 1);
        }
        return kResultOk;
    }

    HResult ReadName(std::string& name) {
        if (Failed(tokens_.Next(name)) || IsPunctuation(name)) return kResultScriptError;
        return kResultOk;
    }

    // A key name is one level: not empty (that would name the parent
    // itself) and without "\".
    static bool IsKeyName(const std::string& name) {
        return !name.empty() && !IsPunctuation(name) && name.find('\\') == std::string::npos;
    }

    // "type value" after an "=".
    HResult ReadValue(RegistryValue& value) {
        std::string type, text;
        if (Failed(tokens_.Next(type)) || Failed(tokens_.Next(text))) return kResultScriptError;
        return MakeValue(type, text, value);
    }

    RegistryTokens tokens_;
};

bool IsNeverDeleted(const std::string& name) {
    return SameTextIgnoringCase(name, "CLSID") || SameTextIgnoringCase(name, "TYPELIB");
}

HResult RegisterItems(RegistryStoreKey& parent, const std::vector<ScriptItem>& items) {
    for (const ScriptItem& item : items) {
        const char* name = item.name.c_str();
        if (item.kind == ScriptItem::Kind::kValue) {
            parent.SetValue(name, item.value);
            continue;
        }
        if ((item.forceRemove || item.kind == ScriptItem::Kind::kDelete) && !IsNeverDeleted(item.name))
            parent.DeleteTree(name);
        if (item.kind == ScriptItem::Kind::kDelete) continue;

        std::unique_ptr<RegistryStoreKey> key = parent.Open(name, true);
        if (!key) key = parent.Open(name, false);
        if (!key) key = parent.Create(name);
        if (!key) return kResultScriptError;
        if (item.hasValue) key->SetValue(nullptr, item.value);
        HResult result = RegisterItems(*key, item.items);
        if (Failed(result)) return result;
    }
    return kResultOk;
}

// `parent` is null below a key that could not be opened: those items are
// read over without touching anything.
void UnregisterItems(RegistryStoreKey* parent, const std::vector<ScriptItem>& items) {
    for (const ScriptItem& item : items) {
        const char* name = item.name.c_str();
        if (item.kind == ScriptItem::Kind::kValue) {
            if (parent) parent->DeleteValue(name);
            continue;
        }
        std::unique_ptr<RegistryStoreKey> key = parent ? parent->Open(name, false) : nullptr;
        UnregisterItems(key.get(), item.items);
        if (!key || key->HasSubkeys()) continue;
        key.reset();
        if (!item.noRemove) parent->DeleteSubkey(name);
    }
}

}  // namespace

HResult RunRegistryScript(const char* script, ScriptMode mode, RegistryStore& registry) {
    std::vector<RootBlock> blocks;
    HResult result = ScriptReader(script ? script : "").Read(blocks);
    if (Failed(result)) return result;
    for (const RootBlock& block : blocks) {
        std::unique_ptr<RegistryStoreKey> root = registry.OpenRoot(block.root);
        if (!root) {
            if (mode == ScriptMode::kUnregister) continue;
            return kResultScriptError;
        }
        if (mode == ScriptMode::kUnregister) {
            UnregisterItems(root.get(), block.items);
            continue;
        }
        result = RegisterItems(*root, block.items);
        if (Failed(result)) {
            UnregisterItems(root.get(), block.items);
            return result;
        }
    }
    return kResultOk;
}

HResult RunModuleScript(const char* script, const char* modulePath, ScriptMode mode, RegistryStore& registry) {
    std::string expanded;
    HResult result = ExpandPlaceholders(script, ModuleReplacements(modulePath), expanded);
    if (Failed(result)) return result;
    return RunRegistryScript(expanded.c_str(), mode, registry);
}

}  // namespace quillon
