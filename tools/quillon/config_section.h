// What the `quillon config` subcommands share: their request (FILE, --app,
// --version), loading the section, and saving it where the options say.
#pragma once

#include <string>
#include <vector>

#include "arguments.h"
#include "config/setup_config.h"

namespace quillon::cli {

extern const char kConfigUsage[];  // the help of every config subcommand

struct ConfigRequest {
    std::string who;  // "config show", for messages
    Arguments arguments;
    std::string file;
    std::vector<std::string> operands;  // the positionals after FILE
};

// Parses FILE --app NAME --version VERSION, the options in `specs` and
// positionals after FILE: exactly `operands` of them, or at least one when
// `operands` is -1. False when the command ends here, with `status`: after
// the help, or after a message on what is wrong.
bool ParseConfigRequest(const std::string& action, const std::vector<std::string>& args, std::vector<OptionSpec> specs,
                        int operands, ConfigRequest& request, int& status /* out */);

// A configuration file and the section loaded from it.
struct LoadedSection {
    std::string text;  // the file's bytes
    SetupConfig config;
};

// Reads FILE and loads the section, in protection mode when `protect`.
// kExitOk when the section was loaded; otherwise the exit status, after a
// message (XML error: the tree read until the error stays loaded).
int LoadConfigSection(const ConfigRequest& request, bool protect, LoadedSection& section);

// Where a saved section goes: OUT given with -o, FILE with --in-place,
// standard output otherwise. `overwrites` tells that it replaces FILE.
struct SaveTarget {
    std::string path;
    bool overwrites = false;
};
// The options that choose it: -o/--output, --in-place, --force.
std::vector<OptionSpec> SaveTargetOptions();
// kExitOk, or kExitUsage after a message on the options.
int ResolveSaveTarget(const ConfigRequest& request, SaveTarget& target /* out */);

// Saves the section as Write2XML does to the target. Over FILE only when
// FILE holds nothing that saving would drop, or with --force.
int SaveConfigSection(const ConfigRequest& request, const SaveTarget& target, LoadedSection& section);

// The subcommands that edit (config_edit.cpp).
int ConfigGet(const std::vector<std::string>& args);
int ConfigSet(const std::vector<std::string>& args);

}  // namespace quillon::cli
