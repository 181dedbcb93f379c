#include "config/element_path.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/text_string.h"

using quillon::ElementPath;
using quillon::TextString;

namespace {

// The path must hold exactly what the string operations it stands in for
// would hold, null and empty states included.
void ExpectSame(const ElementPath& path, const TextString& reference) {
    if (reference.IsNull()) {
        EXPECT_EQ(path.Text(), nullptr);
    } else {
        ASSERT_NE(path.Text(), nullptr);
        EXPECT_STREQ(path.Text(), reference.Text());
    }
    EXPECT_EQ(path.IsSame(reference.Text()), 1);
}

}  // namespace

TEST(ElementPath, FollowsAppendAndSplitOffOfAString) {
    const char* names[] = {"ROOT", "Application", "Configuration", "C", "", "x:y"};
    std::mt19937 random(3);
    ElementPath path;
    TextString reference;
    ExpectSame(path, reference);
    for (int step = 0; step < 2000; ++step) {
        if (random() % 3 != 0) {
            const char* name = names[random() % 6];
            path.Push(name);
            reference.Append(";");
            reference.Append(name);
        } else {
            path.Pop();
            reference.SplitOff(";", 1, 1);
        }
        ExpectSame(path, reference);
    }
}

TEST(ElementPath, EmptyAfterTheRootClosesAndNullAfterClear) {
    ElementPath path;
    path.Pop();
    EXPECT_EQ(path.Text(), nullptr) << "popping a null path leaves it null";
    path.Push("ROOT");
    path.Push("Application");
    EXPECT_EQ(path.IsSame(";ROOT;Application"), 1);
    EXPECT_EQ(path.IsSame(";root;application"), 0) << "exact, case-sensitive";
    path.Pop();
    EXPECT_EQ(path.IsSame(";ROOT"), 1);
    path.Pop();
    ASSERT_NE(path.Text(), nullptr);
    EXPECT_STREQ(path.Text(), "");
    EXPECT_EQ(path.IsSame(nullptr), 0);
    path.Clear();
    EXPECT_EQ(path.IsSame(nullptr), 1);
    EXPECT_EQ(path.IsSame(""), 0);
}
