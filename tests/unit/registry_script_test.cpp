#include "com/registry_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "com/memory_registry.h"
#include "com/registry_placeholders.h"
#include "com/registry_tokens.h"

using quillon::MemoryRegistry;
using quillon::ScriptMode;

namespace {

constexpr quillon::HResult kOk = quillon::kResultOk;
constexpr quillon::HResult kFail = quillon::kResultFailed;
constexpr quillon::HResult kScriptError = quillon::kResultScriptError;
constexpr ScriptMode kRegister = ScriptMode::kRegister;
constexpr ScriptMode kUnregister = ScriptMode::kUnregister;

std::string ComScript(const char* file) {
    std::ifstream in(std::string(QUILLON_COM_SOURCE_DIR) + "/" + file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kConfigScript = ComScript("cquillonconfig.rgs");
const std::string kPropertyScript = ComScript("property.rgs");
const char* const kModule = "C:\\Program Files\\Quillon\\Quillon.dll";

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

// The keys one class's script registers, as MemoryRegistry::Dump shows them.
std::string ClassKeys(const std::string& name, const std::string& clsid, const std::string& module) {
    const std::string classKey = "HKCR\\CLSID\\" + clsid, progId = "HKCR\\Quillon." + name;
    return classKey + " = '" + name + " Class'\n" +
           classKey + "\\InprocServer32 = '" + module + "'\n" +
           classKey + "\\InprocServer32 [ThreadingModel] = 'Apartment'\n" +
           classKey + "\\ProgID = 'Quillon." + name + ".1'\n" +
           classKey + "\\Programmable\n" +
           classKey + "\\TypeLib = '{5A486531-0201-43E0-BD81-D544BB08D0DC}'\n" +
           classKey + "\\VersionIndependentProgID = 'Quillon." + name + "'\n" +
           progId + " = '" + name + " Class'\n" +
           progId + "\\CLSID = '" + clsid + "'\n" +
           progId + "\\CurVer = 'Quillon." + name + ".1'\n" +
           progId + ".1 = '" + name + " Class'\n" +
           progId + ".1\\CLSID = '" + clsid + "'\n";
}
const std::string kConfigKeys =
    ClassKeys("CQuillonConfig", "{2C21A4B6-C51A-4990-B440-B0841534F73A}", kModule);

struct Step {
    ScriptMode mode;
    std::string script;
    quillon::HResult result;
    const char* modulePath = kModule;
};

struct Case {
    const char* name;
    std::vector<std::string> existingKeys;
    std::vector<std::string> refusedKeys;  // cannot be opened, created or deleted
    std::vector<Step> steps;
    std::string keysAfter;
};

}  // namespace

TEST(RegistryScript, RegistersAndUnregistersAsTheScriptsSay) {
    const std::string otherClass = "HKCR\\CLSID\\{00000000-0000-0000-0000-000000000001}";
    const std::string longName(quillon::RegistryTokens::kMaxTokenLength, 'k');
    const Case cases[] = {
        {"the class script", {}, {}, {{kRegister, kConfigScript, kOk}}, "HKCR\\CLSID\n" + kConfigKeys},
        {"registering twice replaces the class key",
         {},
         {},
         {{kRegister, kConfigScript, kOk},
          {kRegister, "HKCR { CLSID { {2C21A4B6-C51A-4990-B440-B0841534F73A} { Stale } } }", kOk},
          {kRegister, kConfigScript, kOk}},
         "HKCR\\CLSID\n" + kConfigKeys},
        {"an apostrophe in the module path",
         {},
         {},
         {{kRegister, kConfigScript, kOk, "C:\\Bob's ''Files\\Q.dll"}},
         "HKCR\\CLSID\n" + ClassKeys("CQuillonConfig", "{2C21A4B6-C51A-4990-B440-B0841534F73A}",
                                     "C:\\Bob's ''Files\\Q.dll")},
        {"unregistering keeps CLSID and other classes",
         {otherClass + "\\InprocServer32"},
         {},
         {{kRegister, kConfigScript, kOk}, {kRegister, kPropertyScript, kOk}, {kUnregister, kConfigScript, kOk},
          {kUnregister, kPropertyScript, kOk}},
         "HKCR\\CLSID\n" + otherClass + "\n" + otherClass + "\\InprocServer32\n"},
        {"unregistering an empty CLSID keeps it (NoRemove)",
         {},
         {},
         {{kRegister, kConfigScript, kOk}, {kUnregister, kConfigScript, kOk}},
         "HKCR\\CLSID\n"},
        {"unregistering what is not there", {}, {}, {{kUnregister, kConfigScript, kOk}}, ""},

        // Tokens and keywords.
        {"keywords and root names ignore case, quotes hold blanks and apostrophes",
         {},
         {},
         {{kRegister, "hkey_current_user {\r\n\t'a b' = S 'it''s' { VAL 'v w' = s '' } }", kOk}},
         "HKCU\\a b = 'it's'\nHKCU\\a b [v w] = ''\n"},
        {"a name that reads like a keyword after a modifier",
         {},
         {},
         {{kRegister, "HKLM { ForceRemove NoRemove NoRemove Val }", kOk}},
         "HKLM\\NoRemove\nHKLM\\Val\n"},
        {"the longest token", {}, {}, {{kRegister, "HKCU { " + longName + " }", kOk}}, "HKCU\\" + longName + "\n"},
        {"number and byte values",
         {},
         {},
         {{kRegister, "HKCU { k { val n = d '42' val x = D 'x' val z = d '' val b = b '0aFF' val e = b '' } }", kOk}},
         "HKCU\\k\nHKCU\\k [b] = hex:0aff\nHKCU\\k [e] = hex:\nHKCU\\k [n] = dword:42\nHKCU\\k [x] = dword:0\nHKCU\\k [z] = dword:0\n"},

        // Delete, ForceRemove and the keys they never delete.
        {"Delete removes a tree, whatever the case of its name, and skips its assignment",
         {"HKCU\\Za\\x\\y"},
         {},
         {{kRegister, "HKCU { Delete zA = s 'ignored' b }", kOk}},
         "HKCU\\b\n"},
        {"CLSID and TypeLib are never deleted",
         {"HKCR\\CLSID\\{x}", "HKCR\\TypeLib\\{y}"},
         {},
         {{kRegister, "HKCR { Delete clsid ForceRemove TYPELIB = s 'z' }", kOk}},
         "HKCR\\CLSID\nHKCR\\CLSID\\{x}\nHKCR\\TypeLib = 'z'\nHKCR\\TypeLib\\{y}\n"},

        // Unregistering.
        {"unregistering deletes values and empty keys, keeps keys with other subkeys",
         {"HKCU\\a\\b", "HKCU\\a\\other", "HKCU\\n"},
         {},
         {{kRegister, "HKCU { a { val v = s 'x' b } }", kOk},
          {kUnregister, "HKCU { a = s 'x' { val v = s 'x' b = s 'y' } NoRemove n Delete missing }", kOk}},
         "HKCU\\a\nHKCU\\a\\other\nHKCU\\n\n"},
        {"below a key that cannot be opened nothing is touched",
         {"HKCU\\locked\\inner", "HKCU\\inner"},
         {"HKCU\\locked"},
         {{kUnregister, "HKCU { locked { inner } inner }", kOk}},
         "HKCU\\locked\nHKCU\\locked\\inner\n"},

        // Malformed scripts change nothing.
        {"an unknown root", {}, {}, {{kRegister, "HKXX { a }", kScriptError}}, ""},
        {"a missing {", {}, {}, {{kRegister, "HKCU a }", kScriptError}}, ""},
        {"the end where a token is needed", {}, {}, {{kRegister, "HKCU { a = s", kScriptError}}, ""},
        {"an unterminated quote", {}, {}, {{kRegister, "HKCU { 'a }", kScriptError}}, ""},
        {"a token too long", {}, {}, {{kRegister, "HKCU { " + longName + "k }", kScriptError}}, ""},
        {"an unknown value type", {}, {}, {{kRegister, "HKCU { a = x 'v' }", kScriptError}}, ""},
        {"an odd number of hexadecimal digits", {}, {}, {{kRegister, "HKCU { a = b '0a1' }", kFail}}, ""},
        {"a byte value that is not hexadecimal", {}, {}, {{kRegister, "HKCU { a = b '0z' }", kFail}}, ""},
        {"Val without =", {}, {}, {{kRegister, "HKCU { a { val v s 'x' } }", kScriptError}}, ""},
        {"a compound key name", {}, {}, {{kRegister, "HKCU { a\\b }", kScriptError}}, ""},
        {"a compound name after ForceRemove", {}, {}, {{kRegister, "HKCU { ForceRemove a\\b }", kScriptError}}, ""},
        {"an empty key name", {}, {}, {{kRegister, "HKCU { '' = s 'x' }", kScriptError}}, ""},
        {"a block after Delete", {}, {}, {{kRegister, "HKCU { Delete a { b } }", kScriptError}}, ""},
        {"an error late in the script writes nothing",
         {"HKCU\\keep"},
         {},
         {{kRegister, "HKCU { a { b } } HKLM { c = s 'x' { d = q 'y' } }", kScriptError},
          {kUnregister, "HKCU { keep } HKLM { 'open", kScriptError}},
         "HKCU\\keep\n"},
        {"64 levels of nesting", {}, {}, {{kRegister, "HKCU { " + Repeated("a { ", 63) + Repeated("} ", 64), kOk}},
         NestedKeys("HKCU", 63)},
        {"nesting deeper than 64 levels",
         {},
         {},
         {{kRegister, "HKCU { " + Repeated("a { ", 64) + Repeated("} ", 65), kScriptError}},
         ""},

        // A key that cannot be created: the root block is taken back.
        {"the failed root block is unregistered, keys that were there before included; earlier blocks stay",
         {"HKCR\\before"},
         {"HKCR\\refused"},
         {{kRegister, "HKCU { kept } HKCR { a = s 'x' { b } before refused } HKLM { never }", kScriptError}},
         "HKCU\\kept\n"},
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

TEST(RegistryScript, PlaceholderPass) {
    const struct {
        const char* script;
        quillon::HResult result;
        const char* expanded;
    } cases[] = {
        {"'%MODULE%'", kOk, "'C:\\it''s\\q.dll'"},
        {"%module% %Module%", kOk, "C:\\it''s\\q.dll C:\\it''s\\q.dll"},
        {"100%% sure %%%MODULE%", kOk, "100% sure %C:\\it''s\\q.dll"},
        {"no placeholders", kOk, "no placeholders"},
        {"%UNKNOWN%", kScriptError, ""},
        {"50% open", kScriptError, ""},
        {"%ABCDEFGHIJKLMNOPQRSTUVWXYZ01234%", kScriptError, ""},  // 31 bytes, not in the table
        {"%ABCDEFGHIJKLMNOPQRSTUVWXYZ012345%", kFail, ""},        // 32 bytes
    };
    const quillon::ScriptReplacements table = quillon::ModuleReplacements("C:\\it's\\q.dll");
    for (const auto& c : cases) {
        std::string expanded;
        EXPECT_EQ(quillon::ExpandPlaceholders(c.script, table, expanded), c.result) << c.script;
        if (c.result == kOk) {
            EXPECT_EQ(expanded, c.expanded) << c.script;
        }
    }
}
