#include "config_section.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "command.h"
#include "input_output.h"
#include "messages.h"
#include "save_loss.h"
#include "xml_error.h"

namespace quillon::cli {

bool ParseConfigRequest(const std::string& action, const std::vector<std::string>& args, std::vector<OptionSpec> specs,
                        int operands, ConfigRequest& request, int& status) {
    request.who = "config " + action;
    specs.push_back({"--app", true});
    specs.push_back({"--version", true});
    Arguments& parsed = request.arguments;
    if (!ParseCommandLine(request.who, args, specs, kConfigUsage, parsed, status)) return false;
    status = kExitUsage;
    std::string error;
    size_t given = parsed.positionals.empty() ? 0 : parsed.positionals.size() - 1;
    if (parsed.positionals.empty()) error = "missing FILE";
    else if (operands < 0 && given == 0) error = "missing PATH VALUE or PATH=VALUE";
    else if (operands >= 0 && given < static_cast<size_t>(operands)) error = "missing PATH";
    else if (operands >= 0 && given > static_cast<size_t>(operands)) error = operands == 0 ? "more than one FILE" : "too many arguments";
    else if (!parsed.Has("--app")) error = "missing --app NAME";
    else if (!parsed.Has("--version")) error = "missing --version VERSION";
    if (!error.empty()) {
        UsageError(request.who, error);
        return false;
    }
    request.file = parsed.positionals[0];
    request.operands.assign(parsed.positionals.begin() + 1, parsed.positionals.end());
    return true;
}

int LoadConfigSection(const ConfigRequest& request, bool protect, LoadedSection& section) {
    std::optional<std::string> text = ReadInput(request.who, request.file);
    if (!text) return kExitUsage;
    section.text = std::move(*text);
    if (section.text.empty() || section.text.size() >= INT32_MAX) {
        Error(request.who, "cannot read " + InputName(request.file) + (section.text.empty() ? ": it is empty" : ": too large"));
        return kExitUsage;
    }
    SetupConfig& config = section.config;
    config.appName = request.arguments.Value("--app").c_str();
    config.appVersion = request.arguments.Value("--version").c_str();
    if (protect) config.SetSignMode("Protection");
    if (config.LoadText(section.text.c_str(), static_cast<int32_t>(section.text.size())) != 0) {
        ReportXmlError(request.file, section.text, config);
        return kExitNegative;
    }
    if (config.sectionsFound == 0) {
        Error(request.who, "no Application with Name " + Quoted(request.arguments.Value("--app")) + " and Version " +
                               Quoted(request.arguments.Value("--version")) + " in " + InputName(request.file));
        return kExitNoSection;
    }
    return kExitOk;
}

std::vector<OptionSpec> SaveTargetOptions() { return {{"--output", true, false, "-o"}, {"--in-place"}, {"--force"}}; }

int ResolveSaveTarget(const ConfigRequest& request, SaveTarget& target) {
    const Arguments& parsed = request.arguments;
    bool inPlace = parsed.Has("--in-place");
    if (parsed.Has("--output") && inPlace) return UsageError(request.who, "give -o OUT or --in-place, not both");
    if (parsed.Has("--output") && parsed.Value("--output").empty())
        return UsageError(request.who, "option '-o' needs a file name (- for standard output)");
    if (inPlace && request.file == "-") return UsageError(request.who, "--in-place needs a FILE, not standard input");
    target.path = inPlace ? request.file : parsed.Value("--output", "-");
    // -o naming FILE itself overwrites it just the same.
    std::error_code ignored;
    target.overwrites = inPlace || (target.path != "-" && request.file != "-" &&
                                    std::filesystem::equivalent(target.path, request.file, ignored));
    if (parsed.Has("--force") && !target.overwrites) return UsageError(request.who, "--force applies only with --in-place");
    return kExitOk;
}

int SaveConfigSection(const ConfigRequest& request, const SaveTarget& target, LoadedSection& section) {
    if (target.overwrites && !request.arguments.Has("--force")) {
        if (std::optional<SaveLoss> loss = FindSaveLoss(section.text)) {
            Note(Location(request.file, section.text, loss->position) + ": " + loss->what +
                 ", which the saved section would drop");
            Error(request.who, "refusing to overwrite " + Quoted(request.file) +
                                   " (write elsewhere with -o OUT, or add --force)");
            return kExitUsage;
        }
    }
    XmlWriter result;
    const char* bytes = section.config.ComposeFile(result) ? result.GetNarrowText() : nullptr;
    if (bytes == nullptr) {
        Error(request.who, "the section cannot be saved: the file would not load again (or memory ran out)");
        return kExitUsage;
    }
    std::string file(bytes, static_cast<size_t>(result.GetLength()));
    return WriteOutput(request.who, target.path, file) ? kExitOk : kExitUsage;
}

}  // namespace quillon::cli
