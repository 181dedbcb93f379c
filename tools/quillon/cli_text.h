// Text helpers shared by the commands of the quillon tool.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillon::cli {

// A JSON string of raw bytes: quotes, backslashes and bytes below 0x20 are
// escaped (\" \\ \t \r \n, else \u00XX); bytes 0x80-0xFF become \u00XX of the
// byte value, so every line stays 7-bit and parseable.
std::string JsonString(const char* bytes, size_t length);
std::string JsonString(const char* text);  // null gives "null"

// Reads a whole file; nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);

// True when args hold --help or -h.
bool WantsHelp(const std::vector<std::string>& args);

// Finds "--name VALUE" in args; removes both and stores VALUE. A flag given
// without a value makes `ok` false.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value, bool& ok);
// Finds a bare "--name" flag and removes it.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

}  // namespace quillon::cli
