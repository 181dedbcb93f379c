#include "tree_output.h"

#include <cstdio>
#include <string>
#include <vector>

#include "json_text.h"

namespace quillon::cli {
namespace {

bool HasChildren(const ConfigNode& node) { return node.children != nullptr && node.children->Head() != nullptr; }

const ConfigNode& NodeOf(const TextListItem* item) { return *static_cast<const ConfigNode*>(item->value); }

// Calls enter(node, depth) for every node below `root` in document order and
// leave(node, depth) after the children of each node that has some. Without
// recursion, and without moving the children lists' cursors.
template <typename Enter, typename Leave>
void Walk(const ConfigNode& root, Enter enter, Leave leave) {
    std::vector<const TextListItem*> open;
    const TextListItem* item = HasChildren(root) ? root.children->Head() : nullptr;
    while (item != nullptr || !open.empty()) {
        if (item == nullptr) {
            item = open.back();
            open.pop_back();
            leave(NodeOf(item), open.size() + 1);
            item = item->next;
            continue;
        }
        enter(NodeOf(item), open.size() + 1);
        if (HasChildren(NodeOf(item))) {
            open.push_back(item);
            item = NodeOf(item).children->Head();
        } else {
            item = item->next;
        }
    }
}

std::string JsonNodeStart(const ConfigNode& node) {
    return "{\"name\":" + JsonString(node.name.Text()) + ",\"text\":" + JsonString(node.text.Text()) + ",\"children\":[";
}

}  // namespace

void PrintTreeLines(const ConfigNode& root) {
    Walk(
        root,
        [](const ConfigNode& node, size_t depth) {
            std::string line((depth - 1) * 2, ' ');
            line += node.name.IsNull() ? "" : node.name.Text();
            if (!node.text.IsNull()) line += " " + JsonString(node.text.Text());
            std::printf("%s\n", line.c_str());
        },
        [](const ConfigNode&, size_t) {});
}

void PrintTreeJson(const ConfigNode& root) {
    // A node with children ends its line after "[", its children follow one
    // per line, and "]}" closes it on a line of its own.
    std::string out = JsonNodeStart(root);
    bool first = true;  // the next node is the first child of its parent
    Walk(
        root,
        [&](const ConfigNode& node, size_t depth) {
            out += (first ? "\n" : ",\n") + std::string(depth * 2, ' ') + JsonNodeStart(node);
            first = HasChildren(node);
            if (!first) out += "]}";
        },
        [&](const ConfigNode&, size_t depth) {
            out += "\n" + std::string(depth * 2, ' ') + "]}";
            first = false;
        });
    out += HasChildren(root) ? "\n]}\n" : "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace quillon::cli
