#include "com/registry_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/memory_registry.h"
#include "com/registry_tokens.h"

using quillon::MemoryRegistry;
using quillon::ScriptMode;

namespace {

constexpr quillon::HResult kOk = quillon::kResultOk;
constexpr quillon::HResult kFail = quillon::kResultFailed;
constexpr quillon::HResult kScriptError = quillon::kResultScriptError;
constexpr ScriptMode kRegister = ScriptMode::kRegister;
constexpr ScriptMode kUnregister = ScriptMode::kUnregister;

const char* const kModule = "C:\\Program Files\\Quillon\\Quillon.dll";

// A class script of the shape the COM server registers (tests/checks/com_server.sh
// checks the server's own scripts under Wine), and the keys it writes.
const std::string kClass =
    "HKCR { Q.C.1 = s 'C Class' { CLSID = s '{c}' } NoRemove CLSID { ForceRemove {c} = s 'C Class' "
    "{ ForceRemove 'Programmable' InprocServer32 = s '%MODULE%' { val ThreadingModel = s 'Apartment' } } } }";
const std::string kClassKeys = std::string("HKCR\\CLSID\nHKCR\\CLSID\\{c} = 'C Class'\n") +
                               "HKCR\\CLSID\\{c}\\InprocServer32 = '" + kModule + "'\n" +
                               "HKCR\\CLSID\\{c}\\InprocServer32 [ThreadingModel] = 'Apartment'\n" +
                               "HKCR\\CLSID\\{c}\\Programmable\nHKCR\\Q.C.1 = 'C Class'\nHKCR\\Q.C.1\\CLSID = '{c}'\n";

std::string Repeated(const std::string& text, int times) {
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

// "root\a", "root\a\a", ... `depth` keys deep, as MemoryRegistry::Dump shows them.
std::string NestedKeys(std::string path, int depth) {
    std::string keys;
    while (depth-- > 0) keys += (path += "\\a") + "\n";
    return keys;
}

struct Step {
    ScriptMode mode;
    std::string script;
    quillon::HResult result;
    const char* modulePath = kModule;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::string keysAfter;
    std::vector<std::string> existingKeys = {};
    std::vector<std::string> refusedKeys = {};  // cannot be opened, created or deleted
};

}  // namespace

TEST(RegistryScript, RegistersAndUnregistersAsTheScriptsSay) {
    const std::string otherClass = "HKCR\\CLSID\\{00000000-0000-0000-0000-000000000001}";
    const std::string longName(quillon::RegistryTokens::kMaxTokenLength, 'k');
    const Case cases[] = {
        {"the class script", {{kRegister, kClass, kOk}}, kClassKeys},
        {"registering twice replaces the class key",
         {{kRegister, kClass, kOk}, {kRegister, "HKCR { CLSID { {c} { Stale } } }", kOk}, {kRegister, kClass, kOk}},
         kClassKeys},
        {"unregistering keeps CLSID and other classes", {{kRegister, kClass, kOk}, {kUnregister, kClass, kOk}},
         "HKCR\\CLSID\n" + otherClass + "\n" + otherClass + "\\InprocServer32\n", {otherClass + "\\InprocServer32"}},
        {"unregistering an empty CLSID keeps it (NoRemove)", {{kRegister, kClass, kOk}, {kUnregister, kClass, kOk}},
         "HKCR\\CLSID\n"},
        {"unregistering what is not there", {{kUnregister, kClass, kOk}}, ""},

        // Placeholders, expanded before the script is read.
        {"%MODULE% in any letter case, %% and no placeholder at all",
         {{kRegister, "HKCU { k = s '%module%, %Module%; 100%% sure %%%MODULE%' { 'no placeholder' } }", kOk,
           "C:\\it's\\q.dll"}},
         "HKCU\\k = 'C:\\it's\\q.dll, C:\\it's\\q.dll; 100% sure %C:\\it's\\q.dll'\nHKCU\\k\\no placeholder\n"},
        {"a lone %", {{kRegister, "HKCU { a = s '50% open' }", kScriptError}}, ""},
        {"a placeholder name of 31 bytes, not in the table",
         {{kRegister, "HKCU { %ABCDEFGHIJKLMNOPQRSTUVWXYZ01234% }", kScriptError}}, ""},
        {"a placeholder name of 32 bytes", {{kRegister, "HKCU { %ABCDEFGHIJKLMNOPQRSTUVWXYZ012345% }", kFail}}, ""},

        // Tokens and keywords.
        {"keywords and root names ignore case, quotes hold blanks and apostrophes",
         {{kRegister, "hkey_Local_machine {\r\n\t'a b' = S 'it''s' { VAL 'v w' = s '' } }", kOk}},
         "HKLM\\a b = 'it's'\nHKLM\\a b [v w] = ''\n"},
        {"names that begin like a keyword", {{kRegister, "HKCU { No For Del V }", kOk}},
         "HKCU\\Del\nHKCU\\For\nHKCU\\No\nHKCU\\V\n"},
        {"a name that reads like a keyword after a modifier",
         {{kRegister, "HKLM { ForceRemove NoRemove NoRemove Val }", kOk}}, "HKLM\\NoRemove\nHKLM\\Val\n"},
        {"the longest token", {{kRegister, "HKCU { " + longName + " }", kOk}}, "HKCU\\" + longName + "\n"},
        {"number and byte values",
         {{kRegister, "HKCU { k { val n = d '4200' val x = D 'x' val z = d '' val b = b '0aFF' val e = b '' } }", kOk}},
         "HKCU\\k\nHKCU\\k [b] = hex:0aff\nHKCU\\k [e] = hex:\nHKCU\\k [n] = dword:4200\nHKCU\\k [x] = dword:0\n"
         "HKCU\\k [z] = dword:0\n"},

        // Delete, ForceRemove and the keys they never delete.
        {"Delete removes a tree, whatever the case of its name, and skips its assignment",
         {{kRegister, "HKCU { Delete zA = s 'ignored' b }", kOk}}, "HKCU\\b\n", {"HKCU\\Za\\x\\y"}},
        {"CLSID and TypeLib are never deleted", {{kRegister, "HKCR { Delete clsid ForceRemove TYPELIB = s 'z' }", kOk}},
         "HKCR\\CLSID\nHKCR\\CLSID\\{x}\nHKCR\\TypeLib = 'z'\nHKCR\\TypeLib\\{y}\n",
         {"HKCR\\CLSID\\{x}", "HKCR\\TypeLib\\{y}"}},

        // Unregistering.
        {"unregistering deletes values and empty keys, keeps keys with other subkeys",
         {{kRegister, "HKCU { a { val v = s 'x' b } }", kOk},
          {kUnregister, "HKCU { a = s 'x' { val v = s 'x' b = s 'y' } NoRemove n Delete missing }", kOk}},
         "HKCU\\a\nHKCU\\a\\other\nHKCU\\n\n", {"HKCU\\a\\b", "HKCU\\a\\other", "HKCU\\n"}},
        {"below a key that cannot be opened nothing is touched", {{kUnregister, "HKCU { locked { inner } inner }", kOk}},
         "HKCU\\locked\nHKCU\\locked\\inner\n", {"HKCU\\locked\\inner", "HKCU\\inner"}, {"HKCU\\locked"}},

        // Malformed scripts change nothing.
        {"an unknown root", {{kRegister, "HKXX { a }", kScriptError}}, ""},
        {"a missing {", {{kRegister, "HKCU a }", kScriptError}}, ""},
        {"the end where a token is needed", {{kRegister, "HKCU { a = s", kScriptError}}, ""},
        {"an unterminated quote", {{kRegister, "HKCU { 'a }", kScriptError}}, ""},
        {"a token too long", {{kRegister, "HKCU { " + longName + "k }", kScriptError}}, ""},
        {"an unknown value type", {{kRegister, "HKCU { a = x 'v' }", kScriptError}}, ""},
        {"an odd number of hexadecimal digits", {{kRegister, "HKCU { a = b '0a1' }", kFail}}, ""},
        {"a byte value that is not hexadecimal", {{kRegister, "HKCU { a = b '0z' }", kFail}}, ""},
        {"Val without =", {{kRegister, "HKCU { a { val v s 'x' } }", kScriptError}}, ""},
        {"a compound key name", {{kRegister, "HKCU { a\\b }", kScriptError}}, ""},
        {"an empty key name", {{kRegister, "HKCU { '' = s 'x' }", kScriptError}}, ""},
        {"a block after Delete", {{kRegister, "HKCU { Delete a { b } }", kScriptError}}, ""},
        {"an error late in the script writes nothing",
         {{kRegister, "HKCU { a { b } } HKLM { c = s 'x' { d = q 'y' } }", kScriptError},
          {kUnregister, "HKCU { keep } HKLM { 'open", kScriptError}},
         "HKCU\\keep\n", {"HKCU\\keep"}},
        {"64 levels of nesting", {{kRegister, "HKCU { " + Repeated("a { ", 63) + Repeated("} ", 64), kOk}},
         NestedKeys("HKCU", 63)},
        {"nesting deeper than 64 levels",
         {{kRegister, "HKCU { " + Repeated("a { ", 64) + Repeated("} ", 65), kScriptError}}, ""},

        // A key that cannot be created: the root block is taken back.
        {"the failed root block is unregistered, keys that were there before included; earlier blocks stay",
         {{kRegister, "HKCU { kept } HKCR { a = s 'x' { b } before refused } HKLM { never }", kScriptError}},
         "HKCU\\kept\n", {"HKCR\\before"}, {"HKCR\\refused"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        for (const std::string& key : c.existingKeys) registry.AddKey(key);
        for (const std::string& key : c.refusedKeys) registry.SetAccess(key, MemoryRegistry::Access::kNone);
        for (const Step& step : c.steps)
            EXPECT_EQ(quillon::RunModuleScript(step.script.c_str(), step.modulePath, step.mode, registry), step.result)
                << step.script;
        EXPECT_EQ(registry.Dump(), c.keysAfter);
    }
}
