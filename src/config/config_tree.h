// ConfigNode and ConfigTree: the configuration as a tree of named elements
// with text. Attributes are not stored.
//
// A node owns its children: they are the values of its `children` list,
// keyed by their names, duplicates allowed and kept in the order added.
// Node addresses are the handles the exported API hands out, so a node never
// moves while it lives.
//
// A loaded tree has millions of nodes at most sizes that matter, so nodes,
// their children lists and items, names and texts come from the tree's
// arena: one copy of each name, no allocation of their own, all released
// when the tree is cleared. A node's name is its item's key. Texts set later
// through the API are the node's own copies.
#pragma once

#include <cstddef>

#include "foundation/compact_text.h"
#include "foundation/text_arena.h"
#include "foundation/text_list.h"
#include "foundation/text_string.h"

namespace quillon {

struct ConfigNode {
    ConfigNode() = default;
    ConfigNode(const ConfigNode&) = delete;
    ConfigNode& operator=(const ConfigNode&) = delete;
    ~ConfigNode();  // destroys the whole subtree, without recursion

    CompactText name;
    CompactText text;              // null until some text is added
    TextList* children = nullptr;  // null until the first child is added
    ConfigNode* parent = nullptr;
};

class ConfigTree {
public:
    ConfigTree();
    ConfigTree(const ConfigTree&) = delete;
    ConfigTree& operator=(const ConfigTree&) = delete;

    // Wherever a node is optional below, null means `current`.

    // Adds a child named `name` at the end of the parent's children; null
    // when memory runs out.
    ConfigNode* AddChild(ConfigNode* parent, const char* name);
    // AddChild under `current`, which then moves to the new node. 1 or 0.
    int OpenChild(const char* name);
    // Appends to `current`'s text.
    void AppendText(const char* text);
    // `current` moves to its parent (the root stays the root).
    void CloseChild();
    // Destroys every child of the node with its subtree; the node's own name
    // and text stay. Clearing the root releases the arena.
    void ClearChildren(ConfigNode* node);
    // Appends `length` bytes of text to a node while loading: a node without
    // text takes a copy in the arena (the root, whose text outlives every
    // load, its own copy).
    void AppendLoadedText(ConfigNode* node, const char* text, size_t length);
    // The first child whose name is exactly `name` (case-sensitive); walks
    // the children with the list's cursor.
    ConfigNode* FindChild(const char* name, ConfigNode* node = nullptr);
    // The next child after the list's cursor whose name equals `name`
    // without regard to case.
    ConfigNode* FindNextChild(const char* name, ConfigNode* node = nullptr);
    // `nameAndText` names a child (without regard to case) and receives a
    // copy of its text; it becomes null when there is no such child.
    void GetChildText(TextString& nameAndText /* in, out */, ConfigNode* node = nullptr);

private:
    TextArena arena_;  // declared before the root, which is destroyed first

public:
    ConfigNode root;  // name always null; its parent is itself
    ConfigNode* current;

private:
    ConfigNode* Resolve(ConfigNode* node) { return node ? node : current; }
};

// Adds a child named `name` at the end of `parent`'s children (creating the
// list, duplicates allowed); null when memory runs out. The child comes from
// the arena of the list it joins; a new list from the arena of the list that
// holds `parent`, or from the heap when there is none.
ConfigNode* AppendChild(ConfigNode* parent, const char* name);

// Destroys every child of `node` with its subtree, iteratively, so that a
// tree of any depth is torn down without exhausting the stack.
void DestroyChildren(ConfigNode* node);

}  // namespace quillon
