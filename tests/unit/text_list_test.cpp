#include "foundation/text_list.h"

#include <gtest/gtest.h>

using quillon::TextList;

// Inserting, finding, cursors, duplicates and the links both ways are held
// against a reference list in text_list_index_test.cpp; here the calls that
// test does not make.
TEST(TextList, GetFirstRemoveAtTheCursorAndRemoveAll) {
    TextList list;
    for (const char* key : {"a", "c", "end"}) list.Add(key);
    list.SetCursor(list.Tail());
    EXPECT_EQ(list.GetFirst(), list.Head());
    EXPECT_EQ(list.Cursor(), list.Head());
    list.Find("end");
    EXPECT_EQ(list.Remove(), 1);
    ASSERT_EQ(list.Cursor(), list.Head()->next) << "the cursor moves back";
    EXPECT_EQ(list.Tail(), list.Cursor());
    EXPECT_EQ(list.Cursor()->next, nullptr);
    EXPECT_EQ(list.GetCount(), 2);
    list.RemoveAll();
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Remove(), 0);
}
