// `quillon config show|get|set|sign|verify`: what the library makes of a
// configuration file, and changes to it, with the library's own loading,
// saving and signature code.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "config_section.h"
#include "messages.h"
#include "tree_output.h"

namespace quillon::cli {

const char kConfigUsage[] =
    "usage: quillon config show   FILE SECTION [--json]\n"
    "       quillon config get    FILE SECTION PATH [--json]\n"
    "       quillon config set    FILE SECTION PATH VALUE | PATH=VALUE... [--create]\n"
    "                             [--protect] [-o OUT | --in-place [--force]]\n"
    "       quillon config sign   FILE SECTION [-o OUT | --in-place [--force]]\n"
    "       quillon config verify FILE SECTION\n"
    "\n"
    "SECTION is --app NAME --version VERSION: each command loads the section of\n"
    "FILE (- for standard input) whose Application element has that Name and\n"
    "Version, exactly.\n"
    "\n"
    "show    prints the section's tree, one line per node in document order: two\n"
    "        blanks per level, the name and, when the node has text, a blank and\n"
    "        the text as a JSON string. After an XML error the nodes read until\n"
    "        then are printed. --json prints the tree as JSON instead, from the\n"
    "        root (whose name is null): {\"name\":...,\"text\":...,\"children\":[...]}.\n"
    "        Texts are read as Windows-1252.\n"
    "get     prints the text of the node at PATH, as it is (--json: as a JSON\n"
    "        string, null when the node has none). PATH names nodes from the\n"
    "        section's root, Server/Port; at each step the first child of that\n"
    "        name (any case), or the Nth with Component[N].\n"
    "set     sets the text of the node at PATH to VALUE, for each PATH=VALUE in\n"
    "        turn, and saves the section. --create adds missing nodes along the\n"
    "        path at the end of their parents. The result is signed when FILE's\n"
    "        signature verified, or with --protect.\n"
    "sign    saves the section signed.\n"
    "verify  loads the section in protection mode and prints `valid` or `invalid`.\n"
    "\n"
    "set and sign save as Write2XML does: the section alone, to standard output,\n"
    "to OUT with -o (- for standard output), or over FILE with --in-place. As the\n"
    "saved file holds nothing but the section, --in-place (and -o FILE) refuses,\n"
    "leaving FILE untouched, when FILE holds anything saving would drop (other\n"
    "sections, comments, other attributes, CDATA, ...); --force overwrites it\n"
    "all the same.\n"
    "\n"
    "Exit status: 0 success (verify: valid); 1 an XML error in FILE, or (verify)\n"
    "an invalid signature; 2 wrong arguments, a file that cannot be read or\n"
    "written, or refused by --in-place; 3 no section has that name and version;\n"
    "4 (get, set) no node at PATH.\n"
    "\n"
    "examples:\n"
    "  $ quillon config show examples/setup-config.xml --app Ledger --version 5.0\n"
    "  Product \"Ledger\"\n"
    "  InstallDir \"[ProgramFilesFolder]Ledger 5\"\n"
    "  $ quillon config get examples/setup-config.xml --app Ledger --version 4.2 Configuration/Component[2]/File\n"
    "  reports.dll\n"
    "  $ quillon config set examples/setup-config.xml --app Ledger --version 5.0 Server/Port=5000 --create -o ledger.xml\n"
    "  $ quillon config get ledger.xml --app Ledger --version 5.0 Server/Port --json\n"
    "  \"5000\"\n"
    "  $ quillon config sign ledger.xml --app Ledger --version 5.0 --in-place\n"
    "  $ quillon config verify ledger.xml --app Ledger --version 5.0\n"
    "  valid\n";

namespace {

int Show(const std::vector<std::string>& args) {
    ConfigRequest request;
    int status = kExitOk;
    if (!ParseConfigRequest("show", args, {{"--json"}}, 0, request, status)) return status;
    LoadedSection section;
    status = LoadConfigSection(request, false, section);
    // After an XML error the tree read until then is worth seeing.
    if (status == kExitOk || status == kExitNegative) {
        if (request.arguments.Has("--json"))
            PrintTreeJson(section.config.tree.root);
        else
            PrintTreeLines(section.config.tree.root);
    }
    return status;
}

int Sign(const std::vector<std::string>& args) {
    ConfigRequest request;
    int status = kExitOk;
    if (!ParseConfigRequest("sign", args, SaveTargetOptions(), 0, request, status)) return status;
    SaveTarget target;
    if ((status = ResolveSaveTarget(request, target)) != kExitOk) return status;
    LoadedSection section;
    if ((status = LoadConfigSection(request, false, section)) != kExitOk) return status;
    section.config.SetSignMode("Protection");
    return SaveConfigSection(request, target, section);
}

int Verify(const std::vector<std::string>& args) {
    ConfigRequest request;
    int status = kExitOk;
    if (!ParseConfigRequest("verify", args, {}, 0, request, status)) return status;
    LoadedSection section;
    if ((status = LoadConfigSection(request, true, section)) != kExitOk) return status;
    bool valid = section.config.IsSignatureValid() == 1;
    std::printf("%s\n", valid ? "valid" : "invalid");
    return valid ? kExitOk : kExitNegative;
}

int Run(const std::vector<std::string>& args) {
    const std::string action = args.empty() ? "" : args[0];
    if (action == "--help" || action == "-h") {
        std::fputs(kConfigUsage, stdout);
        return kExitOk;
    }
    const struct {
        const char* name;
        int (*run)(const std::vector<std::string>&);
    } actions[] = {{"show", Show}, {"get", ConfigGet}, {"set", ConfigSet}, {"sign", Sign}, {"verify", Verify}};
    for (const auto& known : actions)
        if (action == known.name) return known.run(std::vector<std::string>(args.begin() + 1, args.end()));
    return UsageError("config", action.empty() ? "missing show, get, set, sign or verify"
                                               : "unknown subcommand " + Quoted(action));
}

const Command kCommand{"config", "show, get, set, sign or verify the section of a setup configuration", &Run};

}  // namespace
}  // namespace quillon::cli
