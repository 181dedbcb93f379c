#include "config/config_tree.h"

#include <new>

namespace quillon {
namespace {

void DestroyNode(ConfigNode* node, TextArena* arena) {
    if (arena != nullptr) node->~ConfigNode();  // the arena keeps the memory
    else delete node;
}

void DestroyList(TextList* list) {
    if (list->Arena() != nullptr) list->~TextList();
    else delete list;
}

// The arena for a new children list of `parent`: that of the list it is in.
TextArena* ArenaFor(const ConfigNode* parent) {
    if (parent->children != nullptr) return parent->children->Arena();
    const ConfigNode* up = parent->parent;
    if (up != nullptr && up != parent && up->children != nullptr) return up->children->Arena();
    return nullptr;
}

ConfigNode* AppendChildFrom(ConfigNode* parent, const char* name, TextArena* arena) {
    if (parent == nullptr) return nullptr;
    if (parent->children == nullptr) {
        void* memory = arena ? arena->Allocate(sizeof(TextList)) : ::operator new(sizeof(TextList), std::nothrow);
        if (memory == nullptr) return nullptr;
        parent->children = new (memory) TextList(arena);
        parent->children->allowDuplicates = 1;
    }
    TextArena* owner = parent->children->Arena();
    void* memory = owner ? owner->Allocate(sizeof(ConfigNode)) : ::operator new(sizeof(ConfigNode), std::nothrow);
    if (memory == nullptr) return nullptr;
    auto* node = new (memory) ConfigNode;
    TextListItem* item = parent->children->Add(name);
    if (item == nullptr) {
        DestroyNode(node, owner);
        return nullptr;
    }
    node->parent = parent;
    // The item's key is the name, and lives as long as the node.
    if (item->key.IsNull()) node->name.Assign(name);
    else node->name.Borrow(item->key.Text());
    item->value = node;
    return node;
}

}  // namespace

ConfigNode::~ConfigNode() { DestroyChildren(this); }

void DestroyChildren(ConfigNode* top) {
    if (top == nullptr) return;
    // Always descend into the first child; a node is destroyed once its own
    // children are gone, and it is then the head of its parent's list.
    ConfigNode* node = top;
    for (;;) {
        TextList* list = node->children;
        TextListItem* first = list ? list->Head() : nullptr;
        if (first != nullptr) {
            auto* child = static_cast<ConfigNode*>(first->value);
            if (child != nullptr && child->children != nullptr) {
                node = child;
                continue;
            }
            list->Remove(first);
            if (child != nullptr) DestroyNode(child, list->Arena());  // no children: no further work
            continue;
        }
        if (list != nullptr) DestroyList(list);
        node->children = nullptr;
        if (node == top) return;
        ConfigNode* parent = node->parent;
        TextList* siblings = parent->children;
        siblings->Remove(siblings->Head());
        DestroyNode(node, siblings->Arena());
        node = parent;
    }
}

ConfigTree::ConfigTree() : current(&root) { root.parent = &root; }

ConfigNode* ConfigTree::AddChild(ConfigNode* parent, const char* name) {
    parent = Resolve(parent);
    return AppendChildFrom(parent, name, parent->children ? parent->children->Arena() : &arena_);
}

ConfigNode* AppendChild(ConfigNode* parent, const char* name) {
    return parent ? AppendChildFrom(parent, name, ArenaFor(parent)) : nullptr;
}

int ConfigTree::OpenChild(const char* name) {
    ConfigNode* node = AddChild(current, name);
    if (node == nullptr) return 0;
    current = node;
    return 1;
}

void ConfigTree::AppendText(const char* text) { current->text.Append(text); }

void ConfigTree::AppendLoadedText(ConfigNode* node, const char* text, size_t length) {
    if (node != &root && node->text.IsNull()) {
        if (const char* copy = arena_.CopyText(text, length)) {
            node->text.Borrow(copy);
            return;
        }
    }
    node->text.Append(text, static_cast<int>(length));
}

void ConfigTree::CloseChild() {
    if (current->parent != nullptr) current = current->parent;
}

void ConfigTree::ClearChildren(ConfigNode* node) {
    node = Resolve(node);
    DestroyChildren(node);
    // Everything the arena holds belonged to the root's subtree.
    if (node == &root) arena_.Reset();
}

ConfigNode* ConfigTree::FindChild(const char* name, ConfigNode* node) {
    node = Resolve(node);
    if (node->children == nullptr) return nullptr;
    for (TextListItem* item = node->children->GetFirst(); item != nullptr; item = node->children->GetNext()) {
        auto* child = static_cast<ConfigNode*>(item->value);
        if (child->name.IsSame(name)) return child;
    }
    return nullptr;
}

ConfigNode* ConfigTree::FindNextChild(const char* name, ConfigNode* node) {
    node = Resolve(node);
    if (node->children == nullptr) return nullptr;
    TextListItem* item = node->children->FindNext(name);
    return item ? static_cast<ConfigNode*>(item->value) : nullptr;
}

void ConfigTree::GetChildText(TextString& nameAndText, ConfigNode* node) {
    node = Resolve(node);
    TextListItem* item = node->children ? node->children->Find(nameAndText.Text()) : nullptr;
    if (item == nullptr) {
        nameAndText.Clear();
        return;
    }
    nameAndText = static_cast<ConfigNode*>(item->value)->text.Text();
}

}  // namespace quillon
