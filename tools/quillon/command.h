// The command table of the quillon tool. Each command lives in its own file
// and registers itself with a static Command object, so adding a command
// touches nothing else.
#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

// Exit codes shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitNegative = 1;   // the command ran; the answer is "no" (XML error, invalid signature, ...)
constexpr int kExitUsage = 2;      // wrong arguments, unreadable input, failed output
constexpr int kExitNoSection = 3;  // no section of the configuration has that name and version
constexpr int kExitNoPath = 4;     // the section has no node at that path

struct Command {
    const char* name;     // "xml-events", "config", ...
    const char* summary;  // one line for `quillon --help`
    int (*run)(const std::vector<std::string>& args);  // args after the command name

    Command(const char* name, const char* summary, int (*run)(const std::vector<std::string>&));
};

const std::vector<const Command*>& Commands();

}  // namespace quillon::cli
