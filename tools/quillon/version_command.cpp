// quillon version compare A B [--explain]: the comparison the installer
// actions make, with the same parser and order, so an installer author can see
// beforehand which code a package will receive.
#include <cstdio>
#include <string>
#include <vector>

#include "actions/version_number.h"
#include "cli_text.h"
#include "command.h"

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out,
                 "usage: quillon version compare FIRST SECOND [--explain]\n"
                 "\n"
                 "Prints the code the installer actions compute for two version texts:\n"
                 "  1  the first version is greater\n"
                 "  0  the two versions are equal\n"
                 "  2  the first version is smaller\n"
                 "\n"
                 "--explain  also prints the four parts read from each text: the number and\n"
                 "           the suffix, which is absent, or a (possibly empty) quoted text.\n");
}

void PrintParts(const char* label, const std::string& text) {
    quillon::VersionNumber version;
    version.SetFromText(text.c_str());
    std::printf("%s %s\n", label, quillon::cli::JsonString(text.c_str()).c_str());
    for (int part = 0; part < quillon::VersionNumber::kPartCount; ++part) {
        const quillon::TextString& suffix = version.Suffix(part);
        std::printf("  part %d: number %ld, suffix %s\n", part, static_cast<long>(version.Number(part)),
                    suffix.IsNull() ? "absent" : quillon::cli::JsonString(suffix.Text()).c_str());
    }
}

int Run(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    if (quillon::cli::WantsHelp(args)) {
        PrintHelp(stdout);
        return quillon::cli::kExitOk;
    }
    bool explain = quillon::cli::TakeFlag(args, "--explain");
    if (args.size() != 3 || args[0] != "compare") {
        PrintHelp(stderr);
        return quillon::cli::kExitUsage;
    }
    std::printf("%s\n", quillon::CompareVersionTexts(args[1].c_str(), args[2].c_str()));
    if (explain) {
        PrintParts("first", args[1]);
        PrintParts("second", args[2]);
    }
    return quillon::cli::kExitOk;
}

const quillon::cli::Command kCommand{"version", "compare two version texts as the installer actions do", &Run};

}  // namespace
