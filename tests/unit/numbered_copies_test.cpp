// Numbered copy names and the walk over all 999 copies, over an in-memory
// file system.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "system/numbered_copies.h"

namespace {

using quillon::NumberedCopyName;
using quillon::UpdateNumberedCopies;

TEST(NumberedCopies, Names) {
    struct Case {
        const char* source;
        unsigned number;
        const char* copy;
    } cases[] = {
        {"C:\\App\\app.exe", 1, "C:\\App\\app_001.exe"},
        {"C:\\App\\app.exe", 42, "C:\\App\\app_042.exe"},
        {"C:\\App\\app.exe", 999, "C:\\App\\app_999.exe"},
        {"D:\\Data.1\\app.exe", 7, "D:\\Data_007.1\\app_007.exe"},
        {"a..b", 10, "a_010._010.b"},
        {"C:\\App\\app", 1, "C:\\App\\app"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " #" + std::to_string(c.number));
        EXPECT_STREQ(NumberedCopyName(c.source, c.number).Text(), c.copy);
    }
}

// Files by name; copies named in `heldOpen` cannot be opened, and deleting or
// overwriting one named in `failing` fails. Every operation is logged.
class MemoryFiles : public quillon::CopyFileSystem {
public:
    std::set<std::string> files;
    std::set<std::string> heldOpen;
    std::set<std::string> failing;
    std::vector<std::string> changes;
    int copiesOpened = 0;
    std::string lastCopyTried;

    bool CanOpenSource(const char* source) override { return source && files.count(source) > 0; }
    bool CanOpenCopy(const char* copy) override {
        ++copiesOpened;
        lastCopyTried = copy;
        return files.count(copy) > 0 && heldOpen.count(copy) == 0;
    }
    bool DeleteCopy(const char* copy) override {
        changes.push_back(std::string("delete ") + copy);
        return failing.count(copy) == 0 && files.erase(copy) > 0;
    }
    bool OverwriteCopy(const char* source, const char* copy) override {
        changes.push_back(std::string("copy ") + source + " " + copy);
        return failing.count(copy) == 0;
    }
};

TEST(NumberedCopies, Update) {
    const std::string source = "C:\\App\\app.exe";
    const std::string c1 = "C:\\App\\app_001.exe", c3 = "C:\\App\\app_003.exe", c7 = "C:\\App\\app_007.exe";
    const std::string c999 = "C:\\App\\app_999.exe";
    struct Case {
        const char* name;
        bool sourceExists;
        std::set<std::string> copies, heldOpen, failing;
        uint32_t mode;
        uint32_t result;
        std::vector<std::string> changes;
        int copiesOpened;
    } cases[] = {
        {"overwrite both", true, {c1, c7}, {}, {}, 1, 1, {"copy " + source + " " + c1, "copy " + source + " " + c7}, 999},
        {"copy held open is skipped", true, {c1, c7}, {c7}, {}, 1, 1, {"copy " + source + " " + c1}, 999},
        {"overwrite without a source", false, {c1, c7}, {}, {}, 1, 0, {}, 0},
        {"delete without a source", false, {c1, c999}, {}, {}, 0, 1, {"delete " + c1, "delete " + c999}, 999},
        {"failure does not stop the walk", true, {c1, c3, c7}, {}, {c3}, 0, 0,
         {"delete " + c1, "delete " + c3, "delete " + c7}, 999},
        {"failed overwrite", true, {c3, c7}, {}, {c7}, 1, 0, {"copy " + source + " " + c3, "copy " + source + " " + c7}, 999},
        {"other modes only visit", true, {c1, c7}, {}, {}, 2, 1, {}, 999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles files;
        files.files = c.copies;
        if (c.sourceExists) files.files.insert(source);
        files.heldOpen = c.heldOpen;
        files.failing = c.failing;
        EXPECT_EQ(UpdateNumberedCopies(source.c_str(), c.mode, files), c.result);
        EXPECT_EQ(files.changes, c.changes);
        EXPECT_EQ(files.copiesOpened, c.copiesOpened);
        if (c.copiesOpened > 0) {
            EXPECT_EQ(files.lastCopyTried, c999);
        }
    }
}

TEST(NumberedCopies, SourceWithoutDotIsNeverTouched) {
    for (uint32_t mode : {0u, 1u}) {
        MemoryFiles files;
        files.files = {"C:\\App\\app"};
        EXPECT_EQ(UpdateNumberedCopies("C:\\App\\app", mode, files), 1u);
        EXPECT_TRUE(files.changes.empty());
        EXPECT_EQ(files.copiesOpened, 0);
    }
    MemoryFiles none;
    EXPECT_EQ(UpdateNumberedCopies(nullptr, 1, none), 0u);
    EXPECT_EQ(UpdateNumberedCopies(nullptr, 0, none), 1u);
}

}  // namespace
