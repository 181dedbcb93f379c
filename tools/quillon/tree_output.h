// The loaded configuration tree on standard output, for people and for
// other tools.
#pragma once

#include "config/config_tree.h"

namespace quillon::cli {

// One line per node below `root`, in document order: two blanks per level,
// the name and, when the node has text, a blank and the text as a JSON string.
void PrintTreeLines(const ConfigNode& root);

// `root` and everything below it as JSON: {"name":…,"text":…,"children":[…]}
// per node, a null name or text as null, one node per line, indented by
// level. Texts are read as Windows-1252.
void PrintTreeJson(const ConfigNode& root);

}  // namespace quillon::cli
