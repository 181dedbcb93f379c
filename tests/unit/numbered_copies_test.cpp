// The walk over all 999 numbered copies, over an in-memory file system.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "system/numbered_copies.h"

namespace {

// Files by name; copies named in `heldOpen` cannot be opened, and deleting or
// overwriting one named in `failing` fails. `log` lists the changes tried.
class MemoryFiles : public quillon::CopyFileSystem {
public:
    std::set<std::string> files, heldOpen, failing;
    std::string log;
    int copiesOpened = 0;
    std::string lastCopyTried;

    bool CanOpenSource(const char* source) override { return source && files.count(source) > 0; }
    bool CanOpenCopy(const char* copy) override {
        ++copiesOpened;
        lastCopyTried = copy;
        return files.count(copy) > 0 && heldOpen.count(copy) == 0;
    }
    bool DeleteCopy(const char* copy) override { return Change("-", copy) && files.erase(copy) > 0; }
    bool OverwriteCopy(const char*, const char* copy) override { return Change("+", copy); }

private:
    bool Change(const char* what, const std::string& copy) {
        log += what + copy.substr(copy.size() - 7, 3) + " ";
        return failing.count(copy) == 0;
    }
};

TEST(NumberedCopies, Update) {
    // Every dot takes the number, the folder's too.
    const std::string source = "D:\\App.1\\app.exe";
    const std::string c1 = "D:\\App_001.1\\app_001.exe", c3 = "D:\\App_003.1\\app_003.exe";
    const std::string c7 = "D:\\App_007.1\\app_007.exe", c999 = "D:\\App_999.1\\app_999.exe";
    struct Case {
        const char* name;
        const char* source;
        std::set<std::string> files, heldOpen, failing;
        uint32_t mode;
        uint32_t result;
        std::string log;
        int copiesOpened;
    } cases[] = {
        {"overwrite all", source.c_str(), {source, c1, c7}, {}, {}, 1, 1, "+001 +007 ", 999},
        {"copy held open is skipped", source.c_str(), {source, c1, c7}, {c7}, {}, 1, 1, "+001 ", 999},
        {"overwrite without a source", source.c_str(), {c1, c7}, {}, {}, 1, 0, "", 0},
        {"delete without a source", source.c_str(), {c1, c999}, {}, {}, 0, 1, "-001 -999 ", 999},
        {"failure does not stop the walk", source.c_str(), {source, c1, c3, c7}, {}, {c3}, 0, 0, "-001 -003 -007 ", 999},
        {"failed overwrite", source.c_str(), {source, c3, c7}, {}, {c7}, 1, 0, "+003 +007 ", 999},
        {"other modes only visit", source.c_str(), {source, c1, c7}, {}, {}, 2, 1, "", 999},
        {"no dot: overwrite touches nothing", "C:\\App\\app", {"C:\\App\\app"}, {}, {}, 1, 1, "", 0},
        {"null source, delete", nullptr, {}, {}, {}, 0, 1, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles files;
        files.files = c.files;
        files.heldOpen = c.heldOpen;
        files.failing = c.failing;
        EXPECT_EQ(quillon::UpdateNumberedCopies(c.source, c.mode, files), c.result);
        EXPECT_EQ(files.log, c.log);
        EXPECT_EQ(files.copiesOpened, c.copiesOpened);
        EXPECT_EQ(files.lastCopyTried, c.copiesOpened > 0 ? c999 : "");
    }
}

}  // namespace
