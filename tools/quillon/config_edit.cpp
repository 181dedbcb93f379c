// `quillon config get|set`: read and change the text of one node of a
// section by its path, through the operations the exports use
// (GetSubNode's name matching, AddChildNode, SetNodeText), saved as
// Write2XML saves.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "config_path.h"
#include "config_section.h"
#include "json_text.h"
#include "messages.h"

namespace quillon::cli {
namespace {

std::string StepText(const PathStep& step) {
    return step.name + (step.index > 1 ? "[" + std::to_string(step.index) + "]" : "");
}

// "no node 'Server/Prot': 'Prot' is not below 'Server'".
int NoNode(const ConfigRequest& request, const std::string& path, const std::vector<PathStep>& steps, size_t found) {
    std::string above;
    for (size_t i = 0; i < found; ++i) above += (i > 0 ? "/" : "") + StepText(steps[i]);
    Error(request.who, "no node " + Quoted(path) + ": " + Quoted(StepText(steps[found])) + " is not below " +
                           (found == 0 ? std::string("the section's root") : Quoted(above)));
    return kExitNoPath;
}

}  // namespace

int ConfigGet(const std::vector<std::string>& args) {
    ConfigRequest request;
    int status = kExitOk;
    if (!ParseConfigRequest("get", args, {{"--json"}}, 1, request, status)) return status;
    const std::string& path = request.operands[0];
    std::vector<PathStep> steps;
    std::string error;
    if (!ParseNodePath(path, steps, error)) return UsageError(request.who, error);
    LoadedSection section;
    if ((status = LoadConfigSection(request, false, section)) != kExitOk) return status;
    size_t found = 0;
    ConfigNode* node = FindNodePath(section.config.tree.root, steps, false, found);
    if (node == nullptr) return NoNode(request, path, steps, found);
    if (request.arguments.Has("--json")) {
        std::printf("%s\n", JsonString(node->text.Text()).c_str());
    } else {
        std::string text = node->text.IsNull() ? "" : node->text.Text();
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    }
    return kExitOk;
}

int ConfigSet(const std::vector<std::string>& args) {
    ConfigRequest request;
    int status = kExitOk;
    std::vector<OptionSpec> specs = SaveTargetOptions();
    specs.insert(specs.end(), {{"--create"}, {"--protect"}});
    if (!ParseConfigRequest("set", args, specs, -1, request, status)) return status;
    // PATH VALUE, or any number of PATH=VALUE (a path never holds "=").
    std::vector<std::pair<std::string, std::string>> changes;
    const std::vector<std::string>& operands = request.operands;
    if (operands.size() == 2 && operands[0].find('=') == std::string::npos) {
        changes.emplace_back(operands[0], operands[1]);
    } else {
        for (const std::string& operand : operands) {
            size_t equals = operand.find('=');
            if (equals == std::string::npos)
                return UsageError(request.who, "expected PATH=VALUE, got " + Quoted(operand));
            changes.emplace_back(operand.substr(0, equals), operand.substr(equals + 1));
        }
    }
    std::vector<std::vector<PathStep>> paths(changes.size());
    std::string error;
    for (size_t i = 0; i < changes.size(); ++i)
        if (!ParseNodePath(changes[i].first, paths[i], error)) return UsageError(request.who, error);
    SaveTarget target;
    if ((status = ResolveSaveTarget(request, target)) != kExitOk) return status;

    LoadedSection section;
    if ((status = LoadConfigSection(request, true, section)) != kExitOk) return status;
    SetupConfig& config = section.config;
    bool wasSigned = config.IsSignatureValid() == 1;
    for (size_t i = 0; i < changes.size(); ++i) {
        size_t found = 0;
        ConfigNode* node = FindNodePath(config.tree.root, paths[i], request.arguments.Has("--create"), found);
        if (node == nullptr) return NoNode(request, changes[i].first, paths[i], found);
        if (node->children != nullptr && node->children->Head() != nullptr) {
            Error(request.who, Quoted(changes[i].first) + " has child elements, and a saved file keeps only theirs");
            return kExitUsage;
        }
        node->text.Assign(changes[i].second.c_str());
    }
    // A file that was signed stays signed; --protect signs any.
    if (!wasSigned && !config.signature.IsNull() && !request.arguments.Has("--protect"))
        Error(request.who, "note: the signature of " + Quoted(request.file) +
                               " does not verify; the result is not signed (add --protect to sign it)");
    config.SetSignMode(wasSigned || request.arguments.Has("--protect") ? "Protection" : "");
    return SaveConfigSection(request, target, section);
}

}  // namespace quillon::cli
