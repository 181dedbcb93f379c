// quillon script run: runs a script in a fresh script engine exactly as the
// Execute export does and prints what Execute would hand back.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config/script/script_execute.h"
#include "config/script/script_numbers.h"
#include "cli_text.h"
#include "command.h"

namespace {

using quillon::ScriptEngine;
using quillon::ScriptFrame;
using quillon::ScriptStep;
using quillon::ScriptValue;
using quillon::TextListItem;

const char kUsage[] =
    "usage: quillon script run [--set NAME=TYPE:VALUE]... [--trace] [--] SCRIPT\n"
    "       quillon script run [--set NAME=TYPE:VALUE]... [--trace] --file PATH\n"
    "\n"
    "Runs SCRIPT the way the Execute export does and prints its result:\n"
    "  number N     a long, or 1/0 for a truth value\n"
    "  text \"...\"   a string (as a JSON string)\n"
    "  none         no result (Execute answers 0)\n"
    "Exit status: 0 when a result was delivered, 1 for none, 2 for bad arguments.\n"
    "\n"
    "  --set NAME=TYPE:VALUE  sets a variable first, as SetProperty does; TYPE is\n"
    "                         string, long or multipart (repeatable)\n"
    "  --file PATH            reads the script from a file (its bytes as they are)\n"
    "  --trace                prints the items of the frame after each step of\n"
    "                         the reduction, indented by group depth\n"
    "\n"
    "example: quillon script run --set v=multipart:5.1.10 'v > 5.1.9'\n";

std::string DescribeValue(const ScriptValue& v) {
    switch (v.type) {
        case quillon::kScriptNone: return "none";
        case quillon::kScriptString: return "string:" + quillon::cli::JsonString(v.text.Text());
        case quillon::kScriptLong: return "long:" + std::to_string(v.number);
        case quillon::kScriptFloat: return std::string("float:") + quillon::FormatReal(v.real, 7).Text();
        case quillon::kScriptBoolean: return v.number != 0 ? "bool:true" : "bool:false";
        case quillon::kScriptPointer: return "pointer";
        case quillon::kScriptMultipart: return "multipart:" + quillon::cli::JsonString(v.text.Text());
        default: return "type" + std::to_string(v.type);
    }
}

// One item as the trace shows it: variables as $name(value), values with
// their type, operations as op:word, groups in parentheses.
std::string DescribeItem(const TextListItem* entry) {
    const auto* item = quillon::ItemOf(entry);
    const char* key = entry->key.Text() ? entry->key.Text() : "";
    switch (item->kind) {
        case quillon::kItemVariable: return "$" + std::string(key) + "(" + DescribeValue(*item->Value()) + ")";
        case quillon::kItemValue: return DescribeValue(*item->Value());
        case quillon::kItemFunction: return "op:" + std::string(key);
        case quillon::kItemGroup: return "(" + std::string(key) + ")";
        default: return "?" + quillon::cli::JsonString(key);
    }
}

void PrintStep(void*, ScriptStep step, const char* subject, const ScriptFrame& frame) {
    std::string line(static_cast<size_t>(frame.Depth()) * 2, ' ');
    switch (step) {
        case ScriptStep::kBuilt: line += "items:"; break;
        case ScriptStep::kGroup: line += "after group:"; break;
        case ScriptStep::kApplied: line += std::string("after ") + (subject ? subject : "") + ":"; break;
        case ScriptStep::kFailed: line += std::string("stopped at ") + (subject ? subject : "") + ":"; break;
        case ScriptStep::kReturn: line += "after return:"; break;
        case ScriptStep::kTooDeep:
            std::printf("%sgroups nested deeper than %d: run abandoned\n", line.c_str(), ScriptEngine::kMaxGroupDepth);
            return;
    }
    for (const TextListItem* entry = frame.Items().Head(); entry != nullptr; entry = entry->next)
        line += " " + DescribeItem(entry);
    std::printf("%s\n", line.c_str());
}

// NAME=TYPE:VALUE, TYPE one of string, long, multipart.
bool ParseSetting(const std::string& setting, std::string& name, int& type, std::string& value) {
    size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    size_t colon = setting.find(':', equals + 1);
    if (colon == std::string::npos) return false;
    name = setting.substr(0, equals);
    std::string typeName = setting.substr(equals + 1, colon - equals - 1);
    value = setting.substr(colon + 1);
    if (typeName == "string") type = quillon::kScriptString;
    else if (typeName == "long") type = quillon::kScriptLong;
    else if (typeName == "multipart") type = quillon::kScriptMultipart;
    else return false;
    return true;
}

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "quillon script: %s\n\n", problem);
    std::fputs(kUsage, stderr);
    return quillon::cli::kExitUsage;
}

int Run(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    if (quillon::cli::WantsHelp(args)) {
        std::fputs(kUsage, stdout);
        return quillon::cli::kExitOk;
    }
    if (args.empty() || args[0] != "run") return Usage(args.empty() ? "missing subcommand" : "unknown subcommand");
    args.erase(args.begin());
    // "--" ends the options, for a script that itself starts with "--".
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--") continue;
        rest.assign(args.begin() + static_cast<long>(i) + 1, args.end());
        args.resize(i);
        break;
    }

    ScriptEngine engine;
    bool trace = quillon::cli::TakeFlag(args, "--trace");
    for (;;) {
        std::string setting;
        bool ok = true;
        if (!quillon::cli::TakeOption(args, "--set", setting, ok)) {
            if (!ok) return Usage("--set needs NAME=TYPE:VALUE");
            break;
        }
        std::string name;
        std::string value;
        int type = 0;
        if (!ParseSetting(setting, name, type, value))
            return Usage(("bad --set '" + setting + "' (want NAME=TYPE:VALUE, TYPE string, long or multipart)").c_str());
        engine.SetVariable(name.c_str(), value.c_str(), type);
    }
    std::string path;
    bool pathOk = true;
    bool fromFile = quillon::cli::TakeOption(args, "--file", path, pathOk);
    if (!pathOk) return Usage("--file needs a PATH");
    for (const std::string& arg : args)
        if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') return Usage(("unknown option " + arg).c_str());
    args.insert(args.end(), rest.begin(), rest.end());
    if (fromFile) {
        if (!args.empty()) return Usage("give either SCRIPT or --file PATH");
        std::optional<std::string> text = quillon::cli::ReadFile(path);
        if (!text) {
            std::fprintf(stderr, "quillon script: cannot read %s\n", path.c_str());
            return quillon::cli::kExitUsage;
        }
        args.push_back(*text);
    }
    if (args.size() != 1) return Usage(args.empty() ? "missing SCRIPT" : "more than one SCRIPT (quote the script)");

    if (trace) engine.SetTraceHook(PrintStep, nullptr);
    quillon::ScriptResult result = quillon::ExecuteScript(engine, args[0].c_str());
    if (engine.LastRunTooDeep() && !trace)
        std::fprintf(stderr, "quillon script: groups nested deeper than %d; the run was abandoned\n",
                     ScriptEngine::kMaxGroupDepth);
    switch (result.kind) {
        case quillon::ScriptResult::kNumber:
            std::printf("number %d\n", static_cast<int>(result.number));
            return quillon::cli::kExitOk;
        case quillon::ScriptResult::kText:
            std::printf("text %s\n", quillon::cli::JsonString(result.text).c_str());
            return quillon::cli::kExitOk;
        default:
            std::printf("none\n");
            return quillon::cli::kExitNegative;
    }
}

const quillon::cli::Command kCommand{"script", "run a script as Execute does: script run [--set ...] SCRIPT", &Run};

}  // namespace
