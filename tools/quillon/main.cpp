// quillon: the command-line tool for installer authors. It shows what the
// library makes of a configuration file, signs and verifies configurations,
// compares versions and runs scripts, with the library's own code.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command.h"

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

static void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: quillon COMMAND [ARGS]\n\ncommands:\n");
    for (const auto* command : quillon::cli::Commands())
        std::fprintf(out, "  %-12s %s\n", command->name, command->summary);
    std::fprintf(out, "\n`quillon COMMAND --help` describes a command.\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return quillon::cli::kExitUsage;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const auto* command : quillon::cli::Commands()) {
        if (name == command->name) return command->run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "quillon: unknown command '%s'\n\n", name.c_str());
    PrintUsage(stderr);
    return quillon::cli::kExitUsage;
}
