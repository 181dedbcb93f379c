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

TEST(TextList, AddFindAndWalk) {
    TextList list;
    TextListItem* name = list.Add("Name");
    EXPECT_EQ(list.Add("NAME"), name) << "no duplicates while allowDuplicates is 0";
    EXPECT_EQ(Keys(list), "Name*") << "the lookup inside Add moves the cursor";
    list.allowDuplicates = 1;
    for (const char* key : {"NAME", "b", static_cast<const char*>(nullptr), "", "c"}) list.Add(key);
    EXPECT_EQ(list.GetCount(), 6);
    EXPECT_EQ(Keys(list), "Name* NAME b null  c");

    EXPECT_EQ(list.Find("name"), name);
    EXPECT_EQ(list.FindNext("NAME"), name->next) << "case-insensitive, after the cursor";
    EXPECT_EQ(list.FindNext("NAME"), nullptr);
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.FindNext("Name"), name) << "a null cursor restarts at the head";
    EXPECT_TRUE(list.Find(nullptr)->key.IsNull()) << "null keys match null keys";
    EXPECT_EQ(Keys(list), "Name NAME b null*  c");
    EXPECT_STREQ(list.Find("")->key.Text(), "");

    EXPECT_EQ(list.GetFirst(), name);
    EXPECT_EQ(list.GetNext(), name->next);
    list.SetCursor(list.Tail());
    EXPECT_EQ(list.GetNext(), nullptr);
    EXPECT_EQ(list.GetNext(), name) << "after the end it wraps to the head";
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
    EXPECT_EQ(list.Remove(list.Head()), 1);
    EXPECT_EQ(Keys(list), "c*");
    EXPECT_EQ(list.GetCount(), 1);
    list.RemoveAll();
    EXPECT_EQ(Keys(list), "");
    EXPECT_EQ(list.Tail(), nullptr);
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Remove(), 0);
}
