// Runs shell text the way a user types it, with the built quillon tool first
// on PATH, in a folder of its own: exit status, standard output, standard
// error.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "config_test_files.h"

namespace quillon::test {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// `text` runs in `folder` under /bin/sh with standard input empty; the
// status is that of its last command. In a cross build `quillon` is a shell
// function that starts the tool through the emulator. ctest runs tests in
// parallel processes, so the output files are per folder and per call.
inline ToolRun RunShell(const std::string& folder, const std::string& text) {
    static int calls = 0;
    std::string stem = folder + "/.run" + std::to_string(++calls);
    std::string tool = QUILLON_TOOL_PATH;
    std::string launcher = QUILLON_TOOL_LAUNCHER;
    std::string setup = launcher.empty() ? "PATH='" + tool.substr(0, tool.rfind('/')) + "':\"$PATH\""
                                         : "quillon() { " + launcher + " '" + tool + "' \"$@\"; }";
    std::string command = "cd '" + folder + "' && " + setup + " && { " + text + "\n} >'" + stem + ".out' 2>'" + stem +
                          ".err' </dev/null";
    ToolRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(stem + ".out");
    run.err = ReadBytes(stem + ".err");
    std::remove((stem + ".out").c_str());
    std::remove((stem + ".err").c_str());
    return run;
}

}  // namespace quillon::test
