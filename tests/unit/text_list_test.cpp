#include "foundation/text_list.h"

#include <gtest/gtest.h>

#include <string>

using quillon::TextList;
using quillon::TextListItem;

namespace {

// The keys from head to tail, with "*" at the cursor; also checks the links back.
std::string Keys(const TextList& list) {
    std::string out;
    for (TextListItem* item = list.Head(); item; item = item->next) {
        out += (out.empty() ? "" : " ") + std::string(item->key.IsNull() ? "null" : item->key.Text());
        if (item == list.Cursor()) out += "*";
        if ((item->next ? item->next->previous : list.Tail()) != item) out += "!unlinked";
    }
    return out;
}

}  // namespace

// Finding, cursors and duplicates are held against a reference list in
// text_list_index_test.cpp; here the calls that test does not make.
TEST(TextList, AddAndWalk) {
    TextList list;
    TextListItem* name = list.Add("Name");
    EXPECT_EQ(list.Add("NAME"), name) << "no duplicates while allowDuplicates is 0";
    EXPECT_EQ(Keys(list), "Name*") << "the lookup inside Add moves the cursor";
    list.allowDuplicates = 1;
    for (const char* key : {"NAME", "b", static_cast<const char*>(nullptr), "", "c"}) list.Add(key);
    EXPECT_EQ(Keys(list), "Name* NAME b null  c");
    list.SetCursor(list.Tail());
    EXPECT_EQ(list.GetFirst(), name);
    EXPECT_EQ(Keys(list), "Name* NAME b null  c");
}

TEST(TextList, InsertAndRemove) {
    TextList list;
    for (const char* key : {"a", "c"}) list.Add(key);
    list.InsertAfter("b", list.Head());
    list.InsertAfter("front", nullptr);
    list.InsertAfter("end", list.Tail());
    EXPECT_EQ(list.InsertAfter("A", nullptr), list.Find("a")) << "no duplicate while allowDuplicates is 0";
    EXPECT_EQ(Keys(list), "front a* b c end");

    EXPECT_EQ(list.Remove(list.Find("b")), 1);
    EXPECT_EQ(Keys(list), "front a* c end") << "a cursor on the removed item moves back";
    EXPECT_EQ(list.Remove(list.Find("front")), 1);
    EXPECT_EQ(Keys(list), "a c end");
    EXPECT_EQ(list.Cursor(), nullptr) << "a removed head leaves no item before it";
    EXPECT_EQ(list.GetNext(), list.Head());
    list.Find("end");
    EXPECT_EQ(list.Remove(), 1);
    EXPECT_EQ(Keys(list), "a c*");
    list.RemoveAll();
    EXPECT_EQ(Keys(list), "");
    EXPECT_EQ(list.Tail(), nullptr);
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Remove(), 0);
}
