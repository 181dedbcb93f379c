// Runs the built quillon tool as a separate process, for the tests of its
// commands: exit status, standard output and standard error.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quillon::test {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

inline std::string SlurpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// `arguments` is shell text: quote what needs quoting (ShellQuote). ctest
// runs tests in parallel processes, so every run gets output files of its own.
inline ToolRun RunQuillon(const std::string& arguments) {
    char stem[] = "/tmp/quillon-tool-XXXXXX";
    int fd = mkstemp(stem);
    if (fd >= 0) close(fd);
    std::string out = std::string(stem) + ".out";
    std::string err = std::string(stem) + ".err";
    std::string launcher = QUILLON_TOOL_LAUNCHER;  // the emulator in a cross build, else empty
    std::string command = launcher + " " + ShellQuote(QUILLON_TOOL_PATH) + " " + arguments + " >" + ShellQuote(out) + " 2>" +
                          ShellQuote(err) + " </dev/null";
    ToolRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = SlurpFile(out);
    run.err = SlurpFile(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    std::remove(stem);
    return run;
}

inline ToolRun RunQuillon(const std::vector<std::string>& arguments) {
    std::string text;
    for (const auto& argument : arguments) text += (text.empty() ? "" : " ") + ShellQuote(argument);
    return RunQuillon(text);
}

}  // namespace quillon::test
