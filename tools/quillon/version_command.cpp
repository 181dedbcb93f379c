// quillon version compare A B [--explain]: the comparison the installer
// actions make, with the same parser and order, so an installer author can see
// beforehand which code a package will receive.
#include <cstdio>
#include <string>
#include <vector>

#include "actions/version_number.h"
#include "arguments.h"
#include "command.h"
#include "json_text.h"
#include "messages.h"

namespace {

namespace cli = quillon::cli;

const char kUsage[] =
    "usage: quillon version compare [--explain] [--] FIRST SECOND\n"
    "\n"
    "Prints the code the installer actions compute for two version texts:\n"
    "  1  the first version is greater\n"
    "  0  the two versions are equal\n"
    "  2  the first version is smaller\n"
    "\n"
    "  --explain  also prints the four parts read from each text: the number and\n"
    "             the suffix, which is absent, or a (possibly empty) quoted text\n"
    "  --         ends the options, for a version text that starts with \"-\"\n"
    "\n"
    "Exit status: 0 compared (whatever the code); 2 wrong arguments or failed\n"
    "output.\n"
    "\n"
    "examples:\n"
    "  $ quillon version compare 2.10 2.9\n"
    "  1\n"
    "  $ quillon version compare 1.0 1,0\n"
    "  0\n"
    "  $ quillon version compare --explain 1.0 1.0.0\n"
    "  1\n"
    "  first \"1.0\"\n"
    "    part 0: number 1, suffix absent\n"
    "    part 1: number 0, suffix absent\n"
    "    part 2: number 0, suffix \"\"\n"
    "    part 3: number 0, suffix \"\"\n"
    "  second \"1.0.0\"\n"
    "    part 0: number 1, suffix absent\n"
    "    part 1: number 0, suffix absent\n"
    "    part 2: number 0, suffix absent\n"
    "    part 3: number 0, suffix \"\"\n";

void PrintParts(const char* label, const std::string& text) {
    quillon::VersionNumber version;
    version.SetFromText(text.c_str());
    std::printf("%s %s\n", label, cli::JsonString(text).c_str());
    for (int part = 0; part < quillon::VersionNumber::kPartCount; ++part) {
        const quillon::TextString& suffix = version.Suffix(part);
        std::printf("  part %d: number %ld, suffix %s\n", part, static_cast<long>(version.Number(part)),
                    suffix.IsNull() ? "absent" : cli::JsonString(suffix.Text()).c_str());
    }
}

int Run(const std::vector<std::string>& args) {
    cli::Arguments parsed;
    int status = cli::kExitOk;
    if (!cli::ParseCommandLine("version", args, {{"--explain"}}, kUsage, parsed, status)) return status;
    const std::vector<std::string>& words = parsed.positionals;
    if (words.empty() || words[0] != "compare")
        return cli::UsageError("version", words.empty() ? "missing 'compare'" : "unknown subcommand " + cli::Quoted(words[0]));
    if (words.size() != 3) return cli::UsageError("version compare", "expected FIRST and SECOND");
    std::printf("%s\n", quillon::CompareVersionTexts(words[1].c_str(), words[2].c_str()));
    if (parsed.Has("--explain")) {
        PrintParts("first", words[1]);
        PrintParts("second", words[2]);
    }
    return cli::kExitOk;
}

const quillon::cli::Command kCommand{"version", "compare two version texts as the installer actions do", &Run};

}  // namespace
