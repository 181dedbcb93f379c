// Deep nesting on a small thread stack: the reader must refuse a document
// nested a million levels deep with a clean error, not a stack overflow, on a
// thread whose stack is 256 KB, as a custom-action or worker thread may be.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "../unit/xml_trace.h"
#include "small_stack.h"

namespace {

using quillon_test::Repeat;
using quillon_test::TraceReader;

TEST(XMLReaderDepthWin, MillionLevelsFailCleanlyOnA256KBStack) {
    const int limit = quillon::XMLReader::kMaxElementDepth;
    const std::string deepest = Repeat("<a x='1'>", limit - 1) + "<a/>" + Repeat("</a>", limit - 1);
    const std::string million = Repeat("<a>", 1000000) + Repeat("</a>", 1000000);
    const std::string groups = "<!DOCTYPE a [<!ELEMENT a " + Repeat("(", 1000000) + "b" + Repeat(")", 1000000) +
                               ">]><a/>";
    ASSERT_TRUE(quillon::test::RunOnSmallStack(
        [&] {
            TraceReader reader;  // with a callback, so each level also calls out
            EXPECT_EQ(reader.Parse(deepest.c_str()), 0) << "the deepest allowed nesting is read";
            EXPECT_EQ(reader.Parse(million.c_str()), 1);
            EXPECT_EQ(reader.Parse(groups.c_str()), 1);
        },
        60000));
}

}  // namespace
