// Paths of node names from a section's root, such as "Server/Port" or
// "Component[2]/File": at each step the first child of that name, or the
// Nth with [N], names compared as the tree's children lists compare them
// (without regard to case, as GetSubNode finds them).
#pragma once

#include <string>
#include <vector>

#include "config/config_tree.h"

namespace quillon::cli {

struct PathStep {
    std::string name;
    int index = 1;  // the Nth child of that name
};

// False, with `error` saying why, for an empty path or step, an index that
// is not a number from 1, or a name that is no element name.
bool ParseNodePath(const std::string& path, std::vector<PathStep>& steps /* out */, std::string& error /* out */);

// The node at the path below `root`, or null when a step is missing;
// `found` is the number of steps that were found. With `create`, a missing
// step is added at the end of its parent's children (as AddChildNode adds
// it) when it would be the Nth of its name, and the walk goes on.
ConfigNode* FindNodePath(ConfigNode& root, const std::vector<PathStep>& steps, bool create, size_t& found /* out */);

}  // namespace quillon::cli
