// What the tool says on standard error: "quillon WHO: TEXT", one line, with
// control characters escaped (file names, arguments and file content can
// hold any byte).
#pragma once

#include <string>

namespace quillon::cli {

// "'TEXT'" with control characters escaped, for names inside messages.
std::string Quoted(const std::string& text);

void Error(const std::string& who, const std::string& text);
// A line of its own, such as "FILE:LINE:COLUMN: what is there".
void Note(const std::string& line);

// A wrong argument: the error, then one line pointing to the help of the
// command (the first word of `who`). Returns kExitUsage.
int UsageError(const std::string& who, const std::string& text);

}  // namespace quillon::cli
