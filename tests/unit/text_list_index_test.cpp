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

// The straightforward list the index must agree with: keys by position.
struct Reference {
    std::vector<const char*> keys;
    std::vector<int> ids;  // which item each position holds
    int cursor = -1;

    int Find(const char* key, int from) {
        for (cursor = from; cursor < static_cast<int>(keys.size()); ++cursor)
            if (Equal(keys[cursor], key)) return cursor;
        return cursor = -1;
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
        const bool duplicates = seed % 3 != 0;
        list.allowDuplicates = duplicates ? 1 : 0;
        std::vector<TextListItem*> items;  // by id
        auto position = [&](const TextListItem* item) {
            int at = 0;
            for (const TextListItem* i = list.Head(); i != nullptr && i != item; i = i->next) ++at;
            return item ? at : -1;
        };
        for (int step = 0; step < 400; ++step) {
            const char* key = kKeys[Pick(random, keyCount)];
            int op = Pick(random, 10);
            int size = static_cast<int>(reference.keys.size());
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step) + " op " + std::to_string(op));
            if (op < 4 || size == 0) {  // mostly appends, sometimes at the front or in the middle
                int after = op == 0 ? Pick(random, size + 1) - 1 : size - 1;
                TextListItem* at = after < 0 ? nullptr : list.Head();
                for (int i = 0; i < after; ++i) at = at->next;
                TextListItem* item = list.InsertAfter(key, at);
                int found = duplicates ? -1 : reference.Find(key, 0);
                if (found < 0) {
                    reference.keys.insert(reference.keys.begin() + (after + 1), key);
                    reference.ids.insert(reference.ids.begin() + (after + 1), static_cast<int>(items.size()));
                    if (reference.cursor > after) ++reference.cursor;
                    items.push_back(item);
                    found = after + 1;
                }
                ASSERT_EQ(item, items[reference.ids[found]]);
            } else if (op < 6) {
                int expected = reference.Find(key, 0);
                ASSERT_EQ(position(list.Find(key)), expected);
            } else if (op < 8) {
                int expected = reference.Find(key, reference.cursor + 1);
                ASSERT_EQ(position(list.FindNext(key)), expected);
            } else if (op == 8) {
                int expected = reference.cursor + 1 < size ? reference.cursor + 1 : -1;
                reference.cursor = expected;
                ASSERT_EQ(position(list.GetNext()), expected);
            } else {
                int at = Pick(random, size);
                ASSERT_EQ(list.Remove(items[reference.ids[at]]), 1);
                if (reference.cursor >= at) --reference.cursor;  // a removed cursor moves back
                reference.keys.erase(reference.keys.begin() + at);
                reference.ids.erase(reference.ids.begin() + at);
            }
            ASSERT_EQ(list.GetCount(), static_cast<int>(reference.keys.size()));
            ASSERT_EQ(position(list.Cursor()), reference.cursor);
        }
        int at = 0;
        for (TextListItem* item = list.Head(); item != nullptr; item = item->next, ++at) {
            ASSERT_EQ(item, items[reference.ids[at]]);
            ASSERT_EQ(item->previous, at == 0 ? nullptr : items[reference.ids[at - 1]]);
        }
        ASSERT_EQ(list.Tail(), at == 0 ? nullptr : items[reference.ids[at - 1]]);
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
}

// An arena hands out one copy of each interned text, also after its table
// has grown and moved every text; an arena made to copy keys does not share.
TEST(TextArena, InternKeepsOneCopyOfEachTextWhileItsTableGrows) {
    quillon::TextArena interning;
    std::vector<const char*> copies;
    for (int i = 0; i < 500; ++i) copies.push_back(interning.KeyCopy(("name" + std::to_string(i)).c_str()));
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(interning.Intern(("name" + std::to_string(i)).c_str()), copies[i]) << i;
    quillon::TextArena copying(quillon::ArenaKeys::kCopied);
    const char* key = copying.KeyCopy("name");
    EXPECT_STREQ(key, "name");
    EXPECT_NE(copying.KeyCopy("name"), key);
}

}  // namespace
