// ConfigTree and ConfigNode: building, walking and tearing down the tree.
#include "config/config_tree.h"

#include <gtest/gtest.h>

using quillon::ConfigNode;
using quillon::ConfigTree;
using quillon::TextString;

namespace {

ConfigNode* ChildAt(ConfigNode* node, int index) {
    auto* item = node->children ? node->children->Head() : nullptr;
    while (item && index-- > 0) item = item->next;
    return item ? static_cast<ConfigNode*>(item->value) : nullptr;
}

}  // namespace

TEST(ConfigTree, AddChildKeepsDuplicatesInOrder) {
    ConfigTree tree;
    ConfigNode* a = tree.AddChild(&tree.root, "Item");
    ConfigNode* b = tree.AddChild(&tree.root, "item");
    ConfigNode* c = tree.AddChild(nullptr, "Item");  // null parent: current, the root
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(tree.root.children->GetCount(), 3);
    EXPECT_EQ(ChildAt(&tree.root, 0), a);
    EXPECT_EQ(ChildAt(&tree.root, 1), b);
    EXPECT_EQ(ChildAt(&tree.root, 2), c);
    EXPECT_EQ(a->parent, &tree.root);
    EXPECT_STREQ(b->name.Text(), "item");
    EXPECT_TRUE(a->text.IsNull());
    EXPECT_EQ(tree.current, &tree.root);  // adding does not move current
}

TEST(ConfigTree, OpenAppendCloseBuildsAtCurrent) {
    ConfigTree tree;
    EXPECT_EQ(tree.OpenChild("A"), 1);
    tree.AppendText("x");
    tree.AppendText("y");
    EXPECT_EQ(tree.OpenChild("B"), 1);
    tree.CloseChild();
    tree.CloseChild();
    EXPECT_EQ(tree.current, &tree.root);
    tree.CloseChild();  // on the root it stays on the root
    EXPECT_EQ(tree.current, &tree.root);
    ConfigNode* a = ChildAt(&tree.root, 0);
    EXPECT_STREQ(a->text.Text(), "xy");
    EXPECT_STREQ(ChildAt(a, 0)->name.Text(), "B");
}

TEST(ConfigTree, FindChildIsExactFindNextChildIgnoresCase) {
    ConfigTree tree;
    ConfigNode* lower = tree.AddChild(&tree.root, "item");
    ConfigNode* other = tree.AddChild(&tree.root, "Other");
    ConfigNode* upper = tree.AddChild(&tree.root, "Item");
    EXPECT_EQ(tree.FindChild("Item"), upper);
    EXPECT_EQ(tree.FindChild("item"), lower);
    EXPECT_EQ(tree.FindChild("ITEM"), nullptr);
    EXPECT_EQ(tree.FindChild("Item", other), nullptr);  // a node without children

    tree.root.children->SetCursor(nullptr);
    EXPECT_EQ(tree.FindNextChild("ITEM"), lower);
    EXPECT_EQ(tree.FindNextChild("ITEM"), upper);
    EXPECT_EQ(tree.FindNextChild("ITEM"), nullptr);
}

TEST(ConfigTree, GetChildTextCopiesOrClears) {
    ConfigTree tree;
    tree.AddChild(&tree.root, "Port")->text = "4200";
    tree.AddChild(&tree.root, "Empty");
    TextString query("port");
    tree.GetChildText(query);
    EXPECT_STREQ(query.Text(), "4200");
    TextString empty("Empty");
    tree.GetChildText(empty);
    EXPECT_TRUE(empty.IsNull());  // the child's text is null, and so is the copy
    TextString missing("Host");
    tree.GetChildText(missing);
    EXPECT_TRUE(missing.IsNull());
}

TEST(ConfigTree, ClearChildrenKeepsTheNodeItself) {
    ConfigTree tree;
    ConfigNode* a = tree.AddChild(&tree.root, "A");
    a->text = "keep";
    tree.AddChild(tree.AddChild(a, "B"), "C");
    tree.AddChild(a, "D");
    tree.ClearChildren(a);
    EXPECT_EQ(a->children, nullptr);
    EXPECT_STREQ(a->name.Text(), "A");
    EXPECT_STREQ(a->text.Text(), "keep");
    tree.ClearChildren(&tree.root);
    EXPECT_EQ(tree.root.children, nullptr);
}

TEST(ConfigTree, DeepTreesAreDestroyedWithoutRecursion) {
    // A chain far deeper than any stack could unwind recursively.
    auto* tree = new ConfigTree;
    ConfigNode* node = &tree->root;
    for (int i = 0; i < 300000; ++i) {
        node = tree->AddChild(node, "n");
        ASSERT_NE(node, nullptr);
        tree->AddChild(node->parent, "sibling");
    }
    tree->ClearChildren(&tree->root);
    EXPECT_EQ(tree->root.children, nullptr);
    node = &tree->root;
    for (int i = 0; i < 300000; ++i) node = tree->AddChild(node, "n");
    delete tree;  // the destructor tears the chain down too
}
