#include "foundation/text_list.h"

#include <gtest/gtest.h>

using quillon::TextList;
using quillon::TextListItem;

namespace {
void Fill(TextList& list, std::initializer_list<const char*> keys) {
    for (const char* key : keys) list.Add(key);
}
}  // namespace

TEST(TextList, AddWithoutDuplicatesReturnsTheExistingItem) {
    TextList list;
    TextListItem* name = list.Add("Name");
    EXPECT_EQ(list.Add("NAME"), name);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.Cursor(), name) << "the lookup inside Add moves the cursor";

    list.allowDuplicates = 1;
    TextListItem* second = list.Add("NAME");
    EXPECT_NE(second, name);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.Tail(), second);
}

TEST(TextList, FindIsCaseInsensitiveAndLeavesTheCursor) {
    TextList list;
    list.allowDuplicates = 1;
    Fill(list, {"a", "B", "b", "c"});
    TextListItem* first = list.Find("b");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->key.Text(), "B");
    EXPECT_EQ(list.Cursor(), first);
    TextListItem* second = list.FindNext("B");
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->key.Text(), "b");
    EXPECT_EQ(list.FindNext("B"), nullptr);
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.FindNext("a"), list.Head()) << "a null cursor restarts at the head";
}

TEST(TextList, NullKeysMatchNullKeys) {
    TextList list;
    list.allowDuplicates = 1;
    list.Add("x");
    TextListItem* nullKey = list.Add(nullptr);
    list.Add("");
    EXPECT_TRUE(nullKey->key.IsNull());
    EXPECT_EQ(list.Find(nullptr), nullKey);
    EXPECT_STREQ(list.Find("")->key.Text(), "");
}

TEST(TextList, GetNextWrapsAfterTheEnd) {
    TextList list;
    Fill(list, {"a", "b", "c"});
    EXPECT_STREQ(list.GetFirst()->key.Text(), "a");
    EXPECT_STREQ(list.GetNext()->key.Text(), "b");
    EXPECT_STREQ(list.GetNext()->key.Text(), "c");
    EXPECT_EQ(list.GetNext(), nullptr);
    EXPECT_STREQ(list.GetNext()->key.Text(), "a");
}

TEST(TextList, RemoveMovesTheCursorBack) {
    TextList list;
    Fill(list, {"a", "b", "c"});
    list.GetFirst();
    EXPECT_EQ(list.Remove(), 1);
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_STREQ(list.GetNext()->key.Text(), "b") << "the new head follows a removed head";

    list.GetNext();  // on "c"
    EXPECT_EQ(list.Remove(), 1);
    EXPECT_STREQ(list.Cursor()->key.Text(), "b");
    EXPECT_EQ(list.Tail(), list.Head());
    EXPECT_EQ(list.GetCount(), 1);

    TextList empty;
    EXPECT_EQ(empty.Remove(), 0);
}

TEST(TextList, RemoveAnItemOtherThanTheCursor) {
    TextList list;
    Fill(list, {"a", "b", "c"});
    TextListItem* a = list.Find("a");
    EXPECT_EQ(list.Remove(list.Find("b")), 1);
    EXPECT_EQ(list.Cursor(), a);
    EXPECT_EQ(a->next, list.Tail());
    EXPECT_EQ(list.Tail()->previous, a);
}

TEST(TextList, InsertAfterLinksInPlace) {
    TextList list;
    Fill(list, {"a", "c"});
    list.InsertAfter("b", list.Head());
    list.InsertAfter("front", nullptr);
    list.InsertAfter("end", list.Tail());
    const char* expected[] = {"front", "a", "b", "c", "end"};
    int i = 0;
    for (TextListItem* item = list.Head(); item; item = item->next, ++i) {
        ASSERT_LT(i, 5);
        EXPECT_STREQ(item->key.Text(), expected[i]);
        if (item->next) {
            EXPECT_EQ(item->next->previous, item);
        }
    }
    EXPECT_EQ(i, 5);
    EXPECT_EQ(list.InsertAfter("A", nullptr), list.Find("a")) << "no duplicate while allowDuplicates is 0";
}

TEST(TextList, RemoveAllEmptiesTheList) {
    TextList list;
    Fill(list, {"a", "b"});
    list.GetFirst();
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.GetNext(), nullptr);
}
