// Reading the tool's input files and writing its output files. "-" names
// standard input where a FILE is read and standard output where an OUT is
// written. Failures are reported on standard error with the operating
// system's reason.
#pragma once

#include <optional>
#include <string>

namespace quillon::cli {

// How messages name a FILE: quoted, or "standard input" for "-".
std::string InputName(const std::string& path);

// The whole content of `path`; nullopt after "cannot read 'PATH': REASON".
std::optional<std::string> ReadInput(const std::string& who, const std::string& path);

// Replaces the file `path` with `bytes` (a temporary file renamed over it,
// so a failed write leaves the old file as it was), or writes them to
// standard output for "-". False after "cannot write 'PATH': REASON".
bool WriteOutput(const std::string& who, const std::string& path, const std::string& bytes);

}  // namespace quillon::cli
