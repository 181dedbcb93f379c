#include "messages.h"

#include <cstdio>

#include "command.h"
#include "platform/terminal_text.h"

namespace quillon::cli {

std::string Quoted(const std::string& text) { return "'" + platform::EscapeControls(text) + "'"; }

void Error(const std::string& who, const std::string& text) {
    Note("quillon" + (who.empty() ? "" : " " + who) + ": " + text);
}

void Note(const std::string& line) {
    // What was printed before the message stays before it, in a terminal and
    // in a file that collects both streams.
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", platform::EscapeControls(line).c_str());
}

int UsageError(const std::string& who, const std::string& text) {
    Error(who, text);
    std::string command = who.substr(0, who.find(' '));
    std::fprintf(stderr, "Try 'quillon%s%s --help'.\n", command.empty() ? "" : " ", command.c_str());
    return kExitUsage;
}

}  // namespace quillon::cli
