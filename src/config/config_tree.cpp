#include "config/config_tree.h"

#include <new>

namespace quillon {

ConfigNode::~ConfigNode() { DestroyChildren(this); }

void DestroyChildren(ConfigNode* top) {
    if (top == nullptr) return;
    // Always descend into the first child; a node is deleted once its own
    // children are gone, and it is then the head of its parent's list.
    ConfigNode* node = top;
    for (;;) {
        TextListItem* first = node->children ? node->children->Head() : nullptr;
        if (first != nullptr) {
            auto* child = static_cast<ConfigNode*>(first->value);
            if (child != nullptr && child->children != nullptr) {
                node = child;
                continue;
            }
            node->children->Remove(first);
            delete child;  // has no children: no further work in its destructor
            continue;
        }
        delete node->children;
        node->children = nullptr;
        if (node == top) return;
        ConfigNode* parent = node->parent;
        parent->children->Remove(parent->children->Head());
        delete node;
        node = parent;
    }
}

ConfigTree::ConfigTree() : current(&root) { root.parent = &root; }

ConfigNode* ConfigTree::AddChild(ConfigNode* parent, const char* name) { return AppendChild(Resolve(parent), name); }

ConfigNode* AppendChild(ConfigNode* parent, const char* name) {
    if (parent == nullptr) return nullptr;
    if (parent->children == nullptr) {
        parent->children = new (std::nothrow) TextList;
        if (parent->children == nullptr) return nullptr;
        parent->children->allowDuplicates = 1;
    }
    auto* node = new (std::nothrow) ConfigNode;
    if (node == nullptr) return nullptr;
    TextListItem* item = parent->children->Add(name);
    if (item == nullptr) {
        delete node;
        return nullptr;
    }
    node->parent = parent;
    node->name.Assign(name);
    item->value = node;
    return node;
}

int ConfigTree::OpenChild(const char* name) {
    ConfigNode* node = AddChild(current, name);
    if (node == nullptr) return 0;
    current = node;
    return 1;
}

void ConfigTree::AppendText(const char* text) { current->text.Append(text); }

void ConfigTree::CloseChild() {
    if (current->parent != nullptr) current = current->parent;
}

void ConfigTree::ClearChildren(ConfigNode* node) { DestroyChildren(Resolve(node)); }

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
    nameAndText = static_cast<ConfigNode*>(item->value)->text;
}

}  // namespace quillon
