#include "arguments.h"

#include <algorithm>
#include <cstdio>

#include "command.h"
#include "messages.h"

namespace quillon::cli {
namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, const std::string& name) {
    for (const OptionSpec& known : specs)
        if (name == known.name || (known.alias != nullptr && name == known.alias)) return &known;
    return nullptr;
}

}  // namespace

bool Arguments::Has(const char* name) const {
    return std::any_of(options.begin(), options.end(), [&](const auto& option) { return option.first == name; });
}

std::string Arguments::Value(const char* name, const std::string& fallback) const {
    for (const auto& option : options)
        if (option.first == name) return option.second;
    return fallback;
}

std::vector<std::string> Arguments::Values(const char* name) const {
    std::vector<std::string> values;
    for (const auto& option : options)
        if (option.first == name) values.push_back(option.second);
    return values;
}

bool ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, Arguments& parsed,
                    std::string& error) {
    parsed = Arguments();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            parsed.positionals.insert(parsed.positionals.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            continue;
        }
        // "--name=value" carries its value in the same argument.
        size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        std::string name = arg.substr(0, equals);
        const OptionSpec* option = FindSpec(specs, name);
        if (option == nullptr) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (!option->repeatable && parsed.Has(option->name)) {
            error = "option '" + name + "' given twice";
            return false;
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!option->takesValue) {
                error = "option '" + name + "' takes no value";
                return false;
            }
            value = arg.substr(equals + 1);
        } else if (option->takesValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + name + "' needs a value";
                return false;
            }
            value = args[++i];
        }
        parsed.options.emplace_back(option->name, value);
    }
    return true;
}

bool ParseCommandLine(const std::string& who, const std::vector<std::string>& args,
                      const std::vector<OptionSpec>& specs, const char* usage, Arguments& parsed, int& status) {
    std::string error;
    if (!ParseArguments(args, specs, parsed, error)) {
        status = UsageError(who, error);
        return false;
    }
    if (parsed.help) {
        std::fputs(usage, stdout);
        status = kExitOk;
        return false;
    }
    return true;
}

}  // namespace quillon::cli
