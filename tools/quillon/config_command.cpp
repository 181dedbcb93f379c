// `quillon config show|sign|verify`: what the library makes of a
// configuration file, with the library's own loading, saving and signature
// code.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli_text.h"
#include "command.h"
#include "config/setup_config.h"
#include "platform/file_io.h"

namespace quillon::cli {
namespace {

const char kUsage[] =
    "usage: quillon config show FILE --app NAME --version VERSION\n"
    "       quillon config sign FILE --app NAME --version VERSION [-o OUT]\n"
    "       quillon config verify FILE --app NAME --version VERSION\n"
    "\n"
    "show    loads the section of FILE whose Application element has Name NAME and\n"
    "        Version VERSION and prints its tree, one line per node in document order:\n"
    "        two blanks per level, the name and, when the node has text, a blank and the\n"
    "        text as a JSON string. Exit 0, 1 after an XML error (the nodes read until\n"
    "        then are printed), 2 when FILE cannot be read.\n"
    "sign    loads the section and saves it in protection mode (signed) to OUT, or over\n"
    "        FILE. Exit 0 when written, 1 when there is no such section (nothing is\n"
    "        written), 2 on read, XML or write errors.\n"
    "verify  loads the section in protection mode and prints `valid` or `invalid`.\n"
    "        Exit 0 valid, 1 invalid, 2 when FILE cannot be read or holds no such section.\n";

struct Request {
    std::string file;
    std::string app;
    std::string version;
    std::string out;
};

// Parses FILE --app NAME --version VERSION [-o OUT]; prints why on failure.
bool ParseRequest(const char* action, std::vector<std::string> args, bool allowOut, Request& request) {
    bool ok = true;
    bool haveApp = TakeOption(args, "--app", request.app, ok);
    bool haveVersion = TakeOption(args, "--version", request.version, ok);
    if (allowOut) {
        if (!TakeOption(args, "-o", request.out, ok)) TakeOption(args, "--output", request.out, ok);
    }
    if (!ok || !haveApp || !haveVersion || args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fprintf(stderr, "quillon config %s: expected FILE --app NAME --version VERSION%s\n\n%s", action,
                     allowOut ? " [-o OUT]" : "", kUsage);
        return false;
    }
    request.file = args[0];
    return true;
}

// Reads the file the way Load does and loads it; false when it cannot be
// read (the message is printed).
bool LoadFile(SetupConfig& config, const Request& request, int32_t& result) {
    config.appName = request.app.c_str();
    config.appVersion = request.version.c_str();
    int32_t size = 0;
    platform::FileBytes text = platform::ReadWholeFile(request.file.c_str(), &size);
    if (!text) {
        std::fprintf(stderr, "quillon config: cannot read '%s' (missing, empty or unreadable)\n", request.file.c_str());
        return false;
    }
    result = config.LoadText(text.get(), size);
    return true;
}

void PrintTree(const ConfigNode& root) {
    // Document order without recursion and without moving the children
    // lists' cursors.
    struct Level {
        const TextListItem* item;
    };
    std::vector<Level> levels;
    const TextListItem* item = root.children ? root.children->Head() : nullptr;
    for (;;) {
        if (item == nullptr) {
            if (levels.empty()) return;
            item = levels.back().item->next;
            levels.pop_back();
            continue;
        }
        const auto* node = static_cast<const ConfigNode*>(item->value);
        std::string line(levels.size() * 2, ' ');
        line += node->name.IsNull() ? "" : node->name.Text();
        if (!node->text.IsNull()) line += " " + JsonString(node->text.Text());
        std::printf("%s\n", line.c_str());
        if (node->children != nullptr && node->children->Head() != nullptr) {
            levels.push_back({item});
            item = node->children->Head();
        } else {
            item = item->next;
        }
    }
}

int Show(const std::vector<std::string>& args) {
    Request request;
    if (!ParseRequest("show", args, false, request)) return kExitUsage;
    SetupConfig config;
    int32_t result = 0;
    if (!LoadFile(config, request, result)) return kExitUsage;
    PrintTree(config.tree.root);
    if (result != 0) {
        std::fprintf(stderr, "quillon config show: XML error at byte %d; the tree read until then is shown\n",
                     config.Position());
        return kExitNegative;
    }
    if (config.sectionsFound == 0)
        std::fprintf(stderr, "quillon config show: no Application with Name \"%s\" and Version \"%s\"\n",
                     request.app.c_str(), request.version.c_str());
    return kExitOk;
}

int Sign(const std::vector<std::string>& args) {
    Request request;
    if (!ParseRequest("sign", args, true, request)) return kExitUsage;
    SetupConfig config;
    int32_t result = 0;
    if (!LoadFile(config, request, result)) return kExitUsage;
    if (result != 0) {
        std::fprintf(stderr, "quillon config sign: XML error at byte %d; nothing written\n", config.Position());
        return kExitUsage;
    }
    if (config.sectionsFound == 0) {
        std::fprintf(stderr, "quillon config sign: no Application with Name \"%s\" and Version \"%s\"; nothing written\n",
                     request.app.c_str(), request.version.c_str());
        return kExitNegative;
    }
    config.SetSignMode("Protection");
    const std::string& target = request.out.empty() ? request.file : request.out;
    if (config.Save(TextString(target.c_str())) != 1) {
        std::fprintf(stderr, "quillon config sign: cannot write '%s'\n", target.c_str());
        return kExitUsage;
    }
    return kExitOk;
}

int Verify(const std::vector<std::string>& args) {
    Request request;
    if (!ParseRequest("verify", args, false, request)) return kExitUsage;
    SetupConfig config;
    config.SetSignMode("Protection");
    int32_t result = 0;
    if (!LoadFile(config, request, result)) return kExitUsage;
    if (config.sectionsFound == 0) {
        std::fprintf(stderr, "quillon config verify: no Application with Name \"%s\" and Version \"%s\"\n",
                     request.app.c_str(), request.version.c_str());
        return kExitUsage;
    }
    // The verdict is the library's, which checks the signature whether or not
    // the reader stopped at an error; the error is worth knowing about.
    if (result != 0)
        std::fprintf(stderr, "quillon config verify: XML error at byte %d\n", config.Position());
    bool valid = config.IsSignatureValid() == 1;
    std::printf("%s\n", valid ? "valid" : "invalid");
    return valid ? kExitOk : kExitNegative;
}

int Run(const std::vector<std::string>& args) {
#ifdef _WIN32
    // Lines end in LF on every platform, so tools parse one format.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (args.empty()) {
        std::fprintf(stderr, "%s", kUsage);
        return kExitUsage;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    const std::string& action = args[0];
    if (action == "--help" || action == "-h" || action == "help" || (WantsHelp(rest) && (action == "show" || action == "sign" || action == "verify"))) {
        std::printf("%s", kUsage);
        return kExitOk;
    }
    if (action == "show") return Show(rest);
    if (action == "sign") return Sign(rest);
    if (action == "verify") return Verify(rest);
    std::fprintf(stderr, "quillon config: unknown action '%s'\n\n%s", action.c_str(), kUsage);
    return kExitUsage;
}

const Command kCommand{"config", "show, sign or verify the section of a setup configuration", &Run};

}  // namespace
}  // namespace quillon::cli
