// quillon script run: runs a script in a fresh script engine exactly as the
// Execute export does and prints what Execute would hand back.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config/script/script_execute.h"
#include "config/script/script_numbers.h"
#include "arguments.h"
#include "command.h"
#include "input_output.h"
#include "json_text.h"
#include "messages.h"
#include "platform/terminal_text.h"

namespace {

namespace cli = quillon::cli;
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
    "\n"
    "  --set NAME=TYPE:VALUE  sets a variable first, as SetProperty does; TYPE is\n"
    "                         string, long or multipart (repeatable)\n"
    "  --file PATH            reads the script from a file (- for standard input),\n"
    "                         its bytes as they are\n"
    "  --trace                prints the items of the frame after each step of\n"
    "                         the reduction, indented by group depth\n"
    "  --                     ends the options: a script may start with \"-\"\n"
    "\n"
    "Exit status: 0 a result was delivered; 1 none; 2 wrong arguments, a script\n"
    "file that cannot be read, or failed output.\n"
    "\n"
    "examples:\n"
    "  $ quillon script run '2 > (1 + 1)'\n"
    "  number 0\n"
    "  $ quillon script run --set v=multipart:5.1.10 --set w=multipart:5.1.9 'v > w'\n"
    "  number 1\n"
    "  $ quillon script run --set name=string:Ledger '\"Setup of \" + name'\n"
    "  text \"Setup of Ledger\"\n";

std::string DescribeValue(const ScriptValue& v) {
    switch (v.type) {
        case quillon::kScriptNone: return "none";
        case quillon::kScriptString: return "string:" + cli::JsonString(v.text.Text());
        case quillon::kScriptLong: return "long:" + std::to_string(v.number);
        case quillon::kScriptFloat: return std::string("float:") + quillon::FormatReal(v.real, 7).Text();
        case quillon::kScriptBoolean: return v.number != 0 ? "bool:true" : "bool:false";
        case quillon::kScriptPointer: return "pointer";
        case quillon::kScriptMultipart: return "multipart:" + cli::JsonString(v.text.Text());
        default: return "type" + std::to_string(v.type);
    }
}

// One item as the trace shows it: variables as $name(value), values with
// their type, operations as op:word, groups in parentheses.
std::string DescribeItem(const TextListItem* entry) {
    const auto* item = quillon::ItemOf(entry);
    // A word may hold any byte but a blank; the terminal sees it escaped.
    std::string key = quillon::platform::EscapeControls(entry->key.Text() ? entry->key.Text() : "");
    switch (item->kind) {
        case quillon::kItemVariable: return "$" + key + "(" + DescribeValue(*item->Value()) + ")";
        case quillon::kItemValue: return DescribeValue(*item->Value());
        case quillon::kItemFunction: return "op:" + key;
        case quillon::kItemGroup: return "(" + key + ")";
        default: return "?" + key;
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

int Run(const std::vector<std::string>& args) {
    cli::Arguments parsed;
    int status = cli::kExitOk;
    const std::vector<cli::OptionSpec> specs = {{"--set", true, true}, {"--file", true}, {"--trace"}};
    if (!cli::ParseCommandLine("script", args, specs, kUsage, parsed, status)) return status;
    std::vector<std::string>& words = parsed.positionals;
    if (words.empty() || words[0] != "run")
        return cli::UsageError("script", words.empty() ? "missing 'run'" : "unknown subcommand " + cli::Quoted(words[0]));
    words.erase(words.begin());

    ScriptEngine engine;
    for (const std::string& setting : parsed.Values("--set")) {
        std::string name;
        std::string value;
        int type = 0;
        if (!ParseSetting(setting, name, type, value))
            return cli::UsageError("script run", "bad --set " + cli::Quoted(setting) +
                                                     " (want NAME=TYPE:VALUE, TYPE string, long or multipart)");
        engine.SetVariable(name.c_str(), value.c_str(), type);
    }
    if (parsed.Has("--file")) {
        if (!words.empty()) return cli::UsageError("script run", "give either SCRIPT or --file PATH");
        std::optional<std::string> text = cli::ReadInput("script run", parsed.Value("--file"));
        if (!text) return cli::kExitUsage;
        words.push_back(*text);
    }
    if (words.size() != 1)
        return cli::UsageError("script run", words.empty() ? "missing SCRIPT" : "more than one SCRIPT (quote the script)");

    bool trace = parsed.Has("--trace");
    if (trace) engine.SetTraceHook(PrintStep, nullptr);
    quillon::ScriptResult result = quillon::ExecuteScript(engine, words[0].c_str());
    if (engine.LastRunTooDeep() && !trace)
        cli::Error("script run", "groups nested deeper than " + std::to_string(ScriptEngine::kMaxGroupDepth) +
                                     "; the run was abandoned");
    switch (result.kind) {
        case quillon::ScriptResult::kNumber:
            std::printf("number %d\n", static_cast<int>(result.number));
            return cli::kExitOk;
        case quillon::ScriptResult::kText:
            std::printf("text %s\n", cli::JsonString(result.text).c_str());
            return cli::kExitOk;
        default:
            std::printf("none\n");
            return cli::kExitNegative;
    }
}

const quillon::cli::Command kCommand{"script", "run a script as Execute does: script run [--set ...] SCRIPT", &Run};

}  // namespace
