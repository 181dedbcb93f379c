// The volume root a rights operation asks about, and the file systems that
// keep no access lists.
#include <gtest/gtest.h>

#include "system/volume_root.h"

namespace {

TEST(VolumeRoot, DerivedFromDriveAndUncPaths) {
    struct Case {
        const char* path;
        const char* root;
    } cases[] = {
        {"C:\\Program Files\\App\\app.exe", "C:\\"},
        {"C:\\", "C:\\"},
        {"c:", "c:\\"},
        {"D:relative\\file", "D:\\"},
        {"\\\\server\\share\\dir\\file", "\\\\server\\share\\"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\"},          // no backslash after the share name
        {"\\\\server", "\\"},
        {"\\\\s\\share\\x", "\\\\s\\share\\"},  // one-letter server name
        {"\\\\\\x\\y\\z", "\\\\\\x\\y\\"},  // the search for the share starts at index 3
        {"relative\\file.txt", "\\"},         // no colon
        {"", "\\"},
        {nullptr, "\\"},
        {"\\dir\\file", "\\"},
        {"\\dir\\sub\\file:stream", "\\dir\\sub\\"},
        {"file.txt:stream", "file.txt:\\"},
        {":stream", ":\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "(null)");
        EXPECT_STREQ(quillon::GetVolumeRoot(c.path).Text(), c.root);
    }
}

TEST(VolumeRoot, FatVariantsKeepNoAccessLists) {
    struct Case {
        const char* name;
        bool fat;
    } cases[] = {{"FAT", true}, {"FAT32", true}, {"fat12", true}, {"exFAT", false}, {"FA", false},
                 {"", false},   {"NTFS", false}, {"ReFS", false},  {nullptr, false}, {"FaTx", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(quillon::IsFatFileSystem(c.name), c.fat);
    }
}

}  // namespace
