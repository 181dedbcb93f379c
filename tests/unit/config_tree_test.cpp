// ConfigTree: building, finding and tearing down the tree.
#include "config/config_tree.h"

#include <gtest/gtest.h>

using quillon::ConfigNode;
using quillon::ConfigTree;

TEST(ConfigTree, BuildsAtCurrentAndFindsChildren) {
    ConfigTree tree;
    ConfigNode* lower = tree.AddChild(nullptr, "item");  // null parent: current, the root
    ConfigNode* other = tree.AddChild(&tree.root, "Other");
    ConfigNode* upper = tree.AddChild(&tree.root, "Item");
    EXPECT_EQ(tree.current, &tree.root) << "adding does not move current";
    EXPECT_EQ(upper->parent, &tree.root);
    EXPECT_EQ(tree.FindChild("Item"), upper) << "exact, in order";
    EXPECT_EQ(tree.FindChild("item"), lower);
    EXPECT_EQ(tree.FindChild("ITEM"), nullptr);
    EXPECT_EQ(tree.FindChild("Item", other), nullptr) << "a node without children";
    tree.root.children->SetCursor(nullptr);
    EXPECT_EQ(tree.FindNextChild("ITEM"), lower) << "without regard to case, after the cursor";
    EXPECT_EQ(tree.FindNextChild("ITEM"), upper);
    EXPECT_EQ(tree.FindNextChild("ITEM"), nullptr);

    // Loading appends text through its own buffers, not AppendText.
    EXPECT_EQ(tree.OpenChild("A"), 1);
    tree.AppendText("x");
    tree.AppendText("y");
    tree.CloseChild();
    tree.CloseChild();  // on the root it stays on the root
    EXPECT_EQ(tree.current, &tree.root);
    EXPECT_STREQ(tree.FindChild("A")->text.Text(), "xy");
    // A loaded piece is `length` bytes of a longer buffer, none at all included.
    tree.AppendLoadedText(tree.FindChild("A"), "zw", 0);
    tree.AppendLoadedText(tree.FindChild("A"), "zw", 1);
    EXPECT_STREQ(tree.FindChild("A")->text.Text(), "xyz");
}

TEST(ConfigTree, DeepTreesAreDestroyedWithoutRecursion) {
    auto* tree = new ConfigTree;
    ConfigNode* node = &tree->root;
    for (int i = 0; i < 300000; ++i) {
        node = tree->AddChild(node, "n");
        tree->AddChild(node->parent, "sibling");
    }
    tree->ClearChildren(&tree->root);
    EXPECT_EQ(tree->root.children, nullptr);
    node = &tree->root;
    for (int i = 0; i < 300000; ++i) node = tree->AddChild(node, "n");
    delete tree;  // the destructor tears the chain down too
}
