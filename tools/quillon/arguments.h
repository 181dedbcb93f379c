// The command line of one command: options (anywhere before "--") and
// positional arguments, checked against the options the command knows.
#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

struct OptionSpec {
    const char* name;             // "--app"
    bool takesValue = false;      // "--app NAME" or "--app=NAME"
    bool repeatable = false;      // may be given more than once
    const char* alias = nullptr;  // "-o" for "--output"
};

struct Arguments {
    // Values of the options given, by their OptionSpec name, in order; a flag
    // given holds one empty value.
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> positionals;
    bool help = false;  // --help or -h before any "--"

    bool Has(const char* name) const;
    // The (only) value of an option, or `fallback` when it was not given.
    std::string Value(const char* name, const std::string& fallback = "") const;
    std::vector<std::string> Values(const char* name) const;
};

// Splits `args` by `specs`. "--" ends the options: everything after it is
// positional. "-" alone is positional (standard input or output). On a
// wrong argument returns false with `error` naming it: an unknown option, a
// missing value, an option given twice.
bool ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                    Arguments& parsed /* out */, std::string& error /* out */);

// ParseArguments for the command `who` ("config show"). False when the
// command ends here, with `status`: after printing `usage` for --help, or
// after naming the wrong argument.
bool ParseCommandLine(const std::string& who, const std::vector<std::string>& args,
                      const std::vector<OptionSpec>& specs, const char* usage, Arguments& parsed /* out */,
                      int& status /* out */);

}  // namespace quillon::cli
