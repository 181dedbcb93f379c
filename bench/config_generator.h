// Writes configuration-shaped XML for the benchmarks: a "ROOT" with several
// "Application" sections, nested elements, attributes, entity references and
// the CR LF / TAB layout that saving produces.
#pragma once

#include <cstddef>
#include <string>

namespace quillon::bench {

// The section the load benchmarks select; it holds most of the bytes.
constexpr const char* kBenchApp = "Ledger";
constexpr const char* kBenchVersion = "4.2";

// About `targetBytes` of configuration text (deterministic for a given size).
std::string MakeConfig(size_t targetBytes);

// One matching section whose root has `children` leaf elements directly.
std::string MakeWideConfig(size_t children);

// Writes `content` to `path` unless the file already holds that many bytes.
void WriteFileOnce(const std::string& path, const std::string& content);

}  // namespace quillon::bench
