// Deep nesting on a small thread stack: the reader must refuse a document
// nested a million levels deep with a clean error, not a stack overflow, on a
// thread whose stack is 256 KB, as a custom-action or worker thread may be.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "../unit/xml_trace.h"
#include "small_stack.h"

namespace {

using quillon::XMLReader;
using quillon_test::Repeat;

// Records how far the stack has grown below the first StartElement.
struct StackProbe {
    uintptr_t top = 0;
    uintptr_t lowest = 0;
    int starts = 0;

    static int32_t Callback(int32_t event, const void*, void* context) {
        auto* self = static_cast<StackProbe*>(context);
        volatile char marker = 0;
        auto here = reinterpret_cast<uintptr_t>(&marker);
        if (event == quillon::kStartElement) {
            if (self->starts++ == 0) self->top = here;
        }
        if (self->lowest == 0 || here < self->lowest) self->lowest = here;
        return 0;
    }
};

}  // namespace

TEST(XMLReaderDepthWin, MillionLevelsFailCleanlyOnA256KBStack) {
    const int limit = XMLReader::kMaxElementDepth;
    const std::string deepest = Repeat("<a x='1'>", limit - 1) + "<a/>" + Repeat("</a>", limit - 1);
    const std::string million = Repeat("<a>", 1000000) + Repeat("</a>", 1000000);
    const std::string groups = "<!DOCTYPE a [<!ELEMENT a " + Repeat("(", 1000000) + "b" + Repeat(")", 1000000) +
                               ">]><a/>";
    StackProbe probe;
    int deepestResult = -1, millionResult = -1, groupsResult = -1;
    ASSERT_TRUE(quillon::test::RunOnSmallStack(
        [&] {
            XMLReader reader;
            reader.SetCallback(&StackProbe::Callback, &probe);
            deepestResult = reader.ParseText(deepest.c_str());
            reader.SetCallback(nullptr, nullptr);
            millionResult = reader.ParseText(million.c_str());
            groupsResult = reader.ParseText(groups.c_str());
        },
        60000));

    EXPECT_EQ(deepestResult, 0) << "the deepest allowed nesting is read";
    EXPECT_EQ(probe.starts, limit);
    EXPECT_EQ(millionResult, 1);
    EXPECT_EQ(groupsResult, 1);

    // The stack the deepest document needed, from the first StartElement down
    // to the deepest callback: it must leave most of the 256 KB to the caller.
    uintptr_t used = probe.top - probe.lowest;
    std::printf("stack for %d levels: %lu bytes (%lu per level)\n", limit, static_cast<unsigned long>(used),
                static_cast<unsigned long>(used / (limit - 1)));
    EXPECT_LT(used, quillon::test::kSmallStack / 2);
}
