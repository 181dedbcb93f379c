// quillon: the command-line tool for installer authors. It shows what the
// library makes of a configuration file, signs, verifies and edits
// configurations, compares versions and runs scripts, with the library's own
// code.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "command.h"
#include "messages.h"
#include "quillon_version.h"

namespace quillon::cli {

namespace {
std::vector<const Command*>& Registry() {
    static std::vector<const Command*> commands;
    return commands;
}
}  // namespace

Command::Command(const char* n, const char* s, int (*r)(const std::vector<std::string>&))
    : name(n), summary(s), run(r) {
    Registry().push_back(this);
}

const std::vector<const Command*>& Commands() {
    auto& commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const Command* a, const Command* b) { return std::strcmp(a->name, b->name) < 0; });
    return commands;
}

}  // namespace quillon::cli

namespace {

using namespace quillon::cli;

void PrintUsage() {
    std::printf("usage: quillon COMMAND [ARGS]\n\ncommands:\n");
    for (const auto* command : Commands()) std::printf("  %-12s %s\n", command->name, command->summary);
    std::printf("\n`quillon help COMMAND` (or `quillon COMMAND --help`) describes a command;\n"
                "`quillon --version` prints the version.\n"
                "Exit status: 0 success, 1 a negative answer (XML error, invalid signature, no\n"
                "result), 2 wrong arguments or failed input or output, 3 and 4 see config.\n");
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty()) return UsageError("", "missing COMMAND");
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || (name == "help" && args.size() == 1)) {
        PrintUsage();
        return kExitOk;
    }
    if (name == "--version" && args.size() == 1) {
        std::printf("quillon %s\n", QUILLON_VERSION);
        return kExitOk;
    }
    // `quillon help COMMAND` is `quillon COMMAND --help`.
    bool help = name == "help" && args.size() == 2;
    const std::string& wanted = help ? args[1] : name;
    for (const auto* command : Commands()) {
        if (wanted != command->name) continue;
        return command->run(help ? std::vector<std::string>{"--help"} : std::vector<std::string>(args.begin() + 1, args.end()));
    }
    return UsageError("", "unknown command " + Quoted(wanted));
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A reader that went away is a failed write, reported below, not a
    // silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef _WIN32
    // Bytes in and out as they are: lines end in LF on every platform.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    int status;
    try {
        status = Dispatch(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        Error("", std::string("stopped: ") + e.what());
        status = kExitUsage;
    } catch (...) {
        Error("", "stopped by an unexpected error");
        status = kExitUsage;
    }
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Error("", std::string("cannot write to standard output") + (errno ? std::string(": ") + std::strerror(errno) : ""));
        return kExitUsage;
    }
    return status;
}
