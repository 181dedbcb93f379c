// Benchmark inputs, generated once per size and kept for the whole run.
#pragma once

#include <string>

namespace quillon::bench {

constexpr long kMegabyte = 1024 * 1024;

// Configuration text of about `megabytes` MB, in memory.
const std::string& ConfigText(long megabytes);
// The same text as a file (for the loaders that read files).
const std::string& ConfigFile(long megabytes);
// A file with one section whose root has `children` leaves.
const std::string& WideConfigFile(long children);

}  // namespace quillon::bench
