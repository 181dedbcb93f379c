// The representation behind TextList (hash index, arena items, one-word
// keys) against a plain reference list driven with the same random
// operations: every answer, the cursor, the count and the order must agree.
// Keys include texts the comparison finds equal although their bytes differ.
#include "foundation/text_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/text_arena.h"
#include "foundation/text_key_hash.h"
#include "platform/ansi_text.h"

using quillon::TextList;
using quillon::TextListItem;

namespace {

// Case, ligatures against the letters they weigh as, a soft hyphen, hyphens
// and dashes that weigh only where they stand, marks, null and empty.
const char* const kKeys[] = {
    nullptr, "", "a", "A", "b", "ab", "AB", "aB", "a\xAD" "b", "\xAD", "ae", "AE", "\xE6", "\xC6", "ss", "SS",
    "\xDF", "th", "\xFE", "\xDE", "oe", "\x9C", "\x8C", "co-op", "coop", "co'op", "e", "\xE9", "\xC9", "E",
    "x1", "X1", "x\xB9", "Item", "ITEM", "item", "Name", "name", "n\xE4me", "v10", "v9", "\x96", "-",
};

int Pick(std::mt19937& random, int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

bool Equal(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return quillon::platform::CompareAnsiNoCase(a, b) == 0;
}

// The straightforward list the index must agree with: positions in a vector.
struct Reference {
    std::vector<const char*> keys;  // kKeys entries, in list order
    std::vector<int> ids;           // which item each position holds
    int cursor = -1;                // position, or -1
    bool duplicates = false;

    int Find(const char* key, int from) {
        for (cursor = from; cursor < static_cast<int>(keys.size()); ++cursor)
            if (Equal(keys[cursor], key)) return cursor;
        cursor = -1;
        return -1;
    }
    // Answers the position of the item added or found.
    int Insert(const char* key, int after, int id) {
        if (!duplicates) {
            if (int found = Find(key, 0); found >= 0) return found;
        }
        keys.insert(keys.begin() + after + 1, key);
        ids.insert(ids.begin() + after + 1, id);
        if (cursor > after) ++cursor;
        return after + 1;
    }
    void Remove(int at) {
        if (cursor == at) cursor = at - 1;
        else if (cursor > at) --cursor;
        keys.erase(keys.begin() + at);
        ids.erase(ids.begin() + at);
    }
};

class TextListIndex : public ::testing::TestWithParam<bool> {};  // with an arena or not

TEST_P(TextListIndex, AnswersLikeALinearList) {
    const int keyCount = static_cast<int>(sizeof kKeys / sizeof kKeys[0]);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        quillon::TextArena arena;
        TextList list(GetParam() ? &arena : nullptr);
        Reference reference;
        reference.duplicates = seed % 3 != 0;
        list.allowDuplicates = reference.duplicates ? 1 : 0;
        std::vector<TextListItem*> items;  // by id
        auto position = [&](const TextListItem* item) {
            int at = 0;
            for (const TextListItem* i = list.Head(); i != nullptr && i != item; i = i->next) ++at;
            return item ? at : -1;
        };
        for (int step = 0; step < 400; ++step) {
            const char* key = kKeys[Pick(random, keyCount)];
            int op = Pick(random, 10);
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step) + " op " + std::to_string(op));
            if (op < 4 || reference.keys.empty()) {  // mostly appends, sometimes in the middle
                int after = op == 0 && !reference.keys.empty() ? Pick(random, static_cast<int>(reference.keys.size()))
                                                               : static_cast<int>(reference.keys.size()) - 1;
                TextListItem* at = after < 0 ? nullptr : list.Head();
                for (int i = 0; i < after; ++i) at = at->next;
                TextListItem* item = list.InsertAfter(key, at);
                int expected = reference.Insert(key, after, static_cast<int>(items.size()));
                if (reference.ids[expected] == static_cast<int>(items.size())) items.push_back(item);
                ASSERT_EQ(item, items[reference.ids[expected]]);
            } else if (op < 6) {
                int expected = reference.Find(key, 0);
                ASSERT_EQ(position(list.Find(key)), expected);
            } else if (op < 8) {
                int expected = reference.Find(key, reference.cursor + 1);
                ASSERT_EQ(position(list.FindNext(key)), expected);
            } else if (op == 8) {
                int expected = reference.cursor + 1 < static_cast<int>(reference.keys.size()) ? reference.cursor + 1 : -1;
                reference.cursor = expected;
                ASSERT_EQ(position(list.GetNext()), expected);
            } else {
                int at = Pick(random, static_cast<int>(reference.keys.size()));
                TextListItem* item = items[reference.ids[at]];
                reference.Remove(at);
                ASSERT_EQ(list.Remove(item), 1);
            }
            ASSERT_EQ(list.GetCount(), static_cast<int>(reference.keys.size()));
            ASSERT_EQ(position(list.Cursor()), reference.cursor);
        }
        int at = 0;
        for (TextListItem* item = list.Head(); item != nullptr; item = item->next, ++at)
            ASSERT_EQ(item, items[reference.ids[at]]);
    }
}

INSTANTIATE_TEST_SUITE_P(HeapAndArena, TextListIndex, ::testing::Bool());

// The hash must agree with the comparison on every pair of single bytes and
// on the texts above: equal texts, equal hashes.
TEST(TextKeyHash, TextsThatCompareEqualHashAlike) {
    std::vector<std::string> texts;
    for (int a = 1; a < 256; ++a) texts.push_back(std::string(1, static_cast<char>(a)));
    for (const char* key : kKeys)
        if (key != nullptr) texts.push_back(key);
    int equalPairs = 0;
    for (const std::string& x : texts) {
        for (const std::string& y : texts) {
            if (quillon::platform::CompareAnsiNoCase(x.c_str(), y.c_str()) != 0) continue;
            ++equalPairs;
            ASSERT_EQ(quillon::TextKeyHash(x.c_str()), quillon::TextKeyHash(y.c_str())) << x << " / " << y;
        }
    }
    EXPECT_GT(equalPairs, static_cast<int>(texts.size()));  // case pairs at least
    EXPECT_NE(quillon::TextKeyHash(nullptr), quillon::TextKeyHash(""));
}

}  // namespace
