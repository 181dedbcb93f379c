// `quillon config show|sign|verify`: what the library makes of a
// configuration file, with the library's own loading, saving and signature
// code.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "arguments.h"
#include "command.h"
#include "config/setup_config.h"
#include "input_output.h"
#include "json_text.h"
#include "messages.h"
#include "save_loss.h"

namespace quillon::cli {
namespace {

const char kUsage[] =
    "usage: quillon config show FILE --app NAME --version VERSION\n"
    "       quillon config sign FILE --app NAME --version VERSION [-o OUT | --in-place [--force]]\n"
    "       quillon config verify FILE --app NAME --version VERSION\n"
    "\n"
    "Each loads the section of FILE (- for standard input) whose Application\n"
    "element has the Name NAME and the Version VERSION, exactly.\n"
    "\n"
    "show    prints the section's tree, one line per node in document order: two\n"
    "        blanks per level, the name and, when the node has text, a blank and\n"
    "        the text as a JSON string (bytes read as Windows-1252). After an XML\n"
    "        error the nodes read until then are printed.\n"
    "sign    saves the section signed, as Write2XML does in protection mode: to\n"
    "        standard output, to OUT with -o (- for standard output), or over FILE\n"
    "        with --in-place. A saved file holds the section alone, so --in-place\n"
    "        refuses, and leaves FILE untouched, when FILE holds anything saving\n"
    "        would drop (other sections, comments, other attributes, CDATA, ...);\n"
    "        --force overwrites it all the same.\n"
    "verify  loads the section in protection mode and prints `valid` or `invalid`.\n"
    "\n"
    "Exit status: 0 success (verify: valid); 1 an XML error in FILE, or (verify)\n"
    "an invalid signature; 2 wrong arguments, a file that cannot be read or\n"
    "written, or refused by --in-place; 3 no section has that name and version.\n"
    "\n"
    "examples:\n"
    "  $ quillon config show examples/setup-config.xml --app Ledger --version 5.0\n"
    "  Product \"Ledger\"\n"
    "  InstallDir \"[ProgramFilesFolder]Ledger 5\"\n"
    "  $ quillon config sign examples/setup-config.xml --app Ledger --version 5.0 | quillon config verify - --app Ledger --version 5.0\n"
    "  valid\n";

const OptionSpec kApp{"--app", true};
const OptionSpec kVersion{"--version", true};
const OptionSpec kOutput{"--output", true, false, "-o"};
const OptionSpec kInPlace{"--in-place"};
const OptionSpec kForce{"--force"};

// One subcommand's request: FILE and the section's name and version.
struct Request {
    std::string who;  // "config show", for messages
    Arguments arguments;
    std::string file;
};

// Parses FILE --app NAME --version VERSION and the options in `specs`.
// False when the command ends here, with `status`: after the help, or
// after a message on what is wrong.
bool ParseRequest(const std::string& action, const std::vector<std::string>& args, std::vector<OptionSpec> specs,
                  Request& request, int& status) {
    request.who = "config " + action;
    specs.push_back(kApp);
    specs.push_back(kVersion);
    std::string error;
    Arguments& parsed = request.arguments;
    status = kExitUsage;
    if (!ParseArguments(args, specs, parsed, error)) {
        status = UsageError(request.who, error);
    } else if (parsed.help) {
        std::fputs(kUsage, stdout);
        status = kExitOk;
    } else if (parsed.positionals.size() != 1) {
        UsageError(request.who, parsed.positionals.empty() ? "missing FILE" : "more than one FILE");
    } else if (!parsed.Has("--app")) {
        UsageError(request.who, "missing --app NAME");
    } else if (!parsed.Has("--version")) {
        UsageError(request.who, "missing --version VERSION");
    } else {
        request.file = parsed.positionals[0];
        return true;
    }
    return false;
}

// A configuration file and the section loaded from it.
struct Section {
    std::string text;  // the file's bytes
    SetupConfig config;
    int32_t xmlResult = 0;
};

enum class Loaded { kUnreadable, kXmlError, kNoSection, kSection };

// Reads the file and loads the section, in protection mode when `protect`.
// Prints why when the answer is not kSection.
Loaded LoadSection(const Request& request, bool protect, Section& section) {
    std::optional<std::string> text = ReadInput(request.who, request.file);
    if (!text) return Loaded::kUnreadable;
    section.text = std::move(*text);
    if (section.text.empty() || section.text.size() >= INT32_MAX) {
        Error(request.who, "cannot read " + InputName(request.file) + (section.text.empty() ? ": it is empty" : ": too large"));
        return Loaded::kUnreadable;
    }
    SetupConfig& config = section.config;
    config.appName = request.arguments.Value("--app").c_str();
    config.appVersion = request.arguments.Value("--version").c_str();
    if (protect) config.SetSignMode("Protection");
    section.xmlResult = config.LoadText(section.text.c_str(), static_cast<int32_t>(section.text.size()));
    if (section.xmlResult != 0) {
        Error(request.who, InputName(request.file) + ": XML error at byte " + std::to_string(config.Position()));
        return Loaded::kXmlError;
    }
    if (config.sectionsFound == 0) {
        Error(request.who, "no Application with Name " + Quoted(request.arguments.Value("--app")) + " and Version " +
                               Quoted(request.arguments.Value("--version")) + " in " + InputName(request.file));
        return Loaded::kNoSection;
    }
    return Loaded::kSection;
}

int ExitFor(Loaded loaded) {
    switch (loaded) {
        case Loaded::kUnreadable: return kExitUsage;
        case Loaded::kXmlError: return kExitNegative;
        case Loaded::kNoSection: return kExitNoSection;
        case Loaded::kSection: return kExitOk;
    }
    return kExitUsage;
}

// Where a saved section goes: OUT given with -o, FILE with --in-place,
// standard output otherwise. `overwrites` tells that it replaces FILE.
struct Output {
    std::string path;
    bool overwrites = false;
};

int ResolveOutput(const Request& request, Output& output) {
    const Arguments& parsed = request.arguments;
    bool inPlace = parsed.Has("--in-place");
    if (parsed.Has("--output") && inPlace) return UsageError(request.who, "give -o OUT or --in-place, not both");
    if (parsed.Has("--output") && parsed.Value("--output").empty())
        return UsageError(request.who, "option '-o' needs a file name (- for standard output)");
    if (inPlace && request.file == "-") return UsageError(request.who, "--in-place needs a FILE, not standard input");
    output.path = inPlace ? request.file : parsed.Value("--output", "-");
    std::error_code ignored;
    output.overwrites = inPlace || (output.path != "-" && request.file != "-" &&
                                    std::filesystem::equivalent(output.path, request.file, ignored));
    if (parsed.Has("--force") && !output.overwrites) return UsageError(request.who, "--force applies only with --in-place");
    return kExitOk;
}

// Saves the loaded section as Write2XML does, to `out`. Over FILE only
// when saving drops nothing that FILE holds, or with --force.
int SaveSection(const Request& request, const Output& output, Section& section) {
    if (output.overwrites && !request.arguments.Has("--force")) {
        if (std::optional<SaveLoss> loss = FindSaveLoss(section.text)) {
            Error(request.who, "refusing to overwrite " + Quoted(request.file) + ": it holds " + loss->what +
                                   " at byte " + std::to_string(loss->position) +
                                   ", which the saved section would drop (write elsewhere with -o OUT, or add --force)");
            return kExitUsage;
        }
    }
    XmlWriter result;
    const char* bytes = section.config.ComposeFile(result) ? result.GetNarrowText() : nullptr;
    if (bytes == nullptr) {
        Error(request.who, "out of memory; nothing written");
        return kExitUsage;
    }
    return WriteOutput(request.who, output.path, std::string(bytes, static_cast<size_t>(result.GetLength()))) ? kExitOk
                                                                                                      : kExitUsage;
}

void PrintTree(const ConfigNode& root) {
    // Document order without recursion and without moving the children
    // lists' cursors.
    std::vector<const TextListItem*> levels;
    const TextListItem* item = root.children ? root.children->Head() : nullptr;
    for (;;) {
        if (item == nullptr) {
            if (levels.empty()) return;
            item = levels.back()->next;
            levels.pop_back();
            continue;
        }
        const auto* node = static_cast<const ConfigNode*>(item->value);
        std::string line(levels.size() * 2, ' ');
        line += node->name.IsNull() ? "" : node->name.Text();
        if (!node->text.IsNull()) line += " " + JsonString(node->text.Text());
        std::printf("%s\n", line.c_str());
        if (node->children != nullptr && node->children->Head() != nullptr) {
            levels.push_back(item);
            item = node->children->Head();
        } else {
            item = item->next;
        }
    }
}

int Show(const std::vector<std::string>& args) {
    Request request;
    int status = kExitOk;
    if (!ParseRequest("show", args, {}, request, status)) return status;
    Section section;
    Loaded loaded = LoadSection(request, false, section);
    // After an XML error the tree read until then is worth seeing.
    if (loaded == Loaded::kSection || loaded == Loaded::kXmlError) PrintTree(section.config.tree.root);
    return ExitFor(loaded);
}

int Sign(const std::vector<std::string>& args) {
    Request request;
    int status = kExitOk;
    if (!ParseRequest("sign", args, {kOutput, kInPlace, kForce}, request, status)) return status;
    Output output;
    if (int wrong = ResolveOutput(request, output); wrong != kExitOk) return wrong;
    Section section;
    Loaded loaded = LoadSection(request, false, section);
    if (loaded != Loaded::kSection) return ExitFor(loaded);
    section.config.SetSignMode("Protection");
    return SaveSection(request, output, section);
}

int Verify(const std::vector<std::string>& args) {
    Request request;
    int status = kExitOk;
    if (!ParseRequest("verify", args, {}, request, status)) return status;
    Section section;
    Loaded loaded = LoadSection(request, true, section);
    if (loaded != Loaded::kSection) return ExitFor(loaded);
    bool valid = section.config.IsSignatureValid() == 1;
    std::printf("%s\n", valid ? "valid" : "invalid");
    return valid ? kExitOk : kExitNegative;
}

int Run(const std::vector<std::string>& args) {
    const std::string action = args.empty() ? "" : args[0];
    std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (action == "--help" || action == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    int (*run)(const std::vector<std::string>&) = action == "show"     ? Show
                                                  : action == "sign"   ? Sign
                                                  : action == "verify" ? Verify
                                                                       : nullptr;
    if (run == nullptr)
        return UsageError("config", action.empty() ? "missing show, sign or verify" : "unknown subcommand " + Quoted(action));
    return run(rest);
}

const Command kCommand{"config", "show, sign or verify the section of a setup configuration", &Run};

}  // namespace
}  // namespace quillon::cli
