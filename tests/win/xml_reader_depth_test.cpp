// Deep nesting on a small thread stack: the reader must refuse a document
// nested a million levels deep with a clean error, not a stack overflow, on a
// thread whose stack is 256 KB, as a custom-action or worker thread may be.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "xml/xml_reader.h"

namespace {

using quillon::XMLReader;

std::string Repeat(const std::string& piece, int count) {
    std::string out;
    out.reserve(piece.size() * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) out += piece;
    return out;
}

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

struct Job {
    const std::string* deepest;    // nested exactly kMaxElementDepth levels
    const std::string* million;    // nested a million levels
    const std::string* groups;     // a content model nested a million groups deep
    int deepestResult = -1;
    int millionResult = -1;
    int groupsResult = -1;
    StackProbe probe;
};

DWORD WINAPI ParseOnSmallStack(LPVOID parameter) {
    auto* job = static_cast<Job*>(parameter);
    XMLReader reader;
    reader.SetCallback(&StackProbe::Callback, &job->probe);
    job->deepestResult = reader.ParseText(job->deepest->c_str());
    reader.SetCallback(nullptr, nullptr);
    job->millionResult = reader.ParseText(job->million->c_str());
    job->groupsResult = reader.ParseText(job->groups->c_str());
    return 0;
}

}  // namespace

TEST(XMLReaderDepthWin, MillionLevelsFailCleanlyOnA256KBStack) {
    const int limit = XMLReader::kMaxElementDepth;
    const std::string deepest = Repeat("<a x='1'>", limit - 1) + "<a/>" + Repeat("</a>", limit - 1);
    const std::string million = Repeat("<a>", 1000000) + Repeat("</a>", 1000000);
    const std::string groups = "<!DOCTYPE a [<!ELEMENT a " + Repeat("(", 1000000) + "b" + Repeat(")", 1000000) +
                               ">]><a/>";
    Job job;
    job.deepest = &deepest;
    job.million = &million;
    job.groups = &groups;

    const SIZE_T stackSize = 256 * 1024;
    HANDLE thread = ::CreateThread(nullptr, stackSize, &ParseOnSmallStack, &job,
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeThread(thread, &exitCode);
    ::CloseHandle(thread);

    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(job.deepestResult, 0) << "the deepest allowed nesting is read";
    EXPECT_EQ(job.probe.starts, limit);
    EXPECT_EQ(job.millionResult, 1);
    EXPECT_EQ(job.groupsResult, 1);

    // The stack the deepest document needed, from the first StartElement down
    // to the deepest callback: it must leave most of the 256 KB to the caller.
    uintptr_t used = job.probe.top - job.probe.lowest;
    std::printf("stack for %d levels: %lu bytes (%lu per level)\n", limit, static_cast<unsigned long>(used),
                static_cast<unsigned long>(used / (limit - 1)));
    EXPECT_LT(used, stackSize / 2);
}
