// The version resource of every shipped binary, read the way Explorer's
// "Details" tab and Windows Installer's file versioning read it. version.dll
// reads the resources of any PE file, so the x86 binaries, which cannot run
// here, are read too: all four must carry the version of quillon_version.h,
// the one `quillon --version` prints.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer_package.h"
#include "quillon_version.h"

namespace {

TEST(VersionResource, BothBuildsOfEveryBinaryCarryTheProjectVersion) {
    const struct {
        std::string folder;
        const char* file;
        DWORD type;
    } binaries[] = {{"", "Quillon.dll", VFT_DLL}, {"..\\win-x86\\", "Quillon.dll", VFT_DLL},
                    {"", "quillon.exe", VFT_APP}, {"..\\win-x86\\", "quillon.exe", VFT_APP}};
    for (const auto& binary : binaries) {
        const std::string path = TestExecutableFolder() + binary.folder + binary.file;
        SCOPED_TRACE(path);
        DWORD unused = 0;
        std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &unused));
        ASSERT_FALSE(block.empty()) << "no version resource, or no such file";
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO));
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
        EXPECT_EQ(info->dwFileVersionMS, static_cast<DWORD>(MAKELONG(QUILLON_VERSION_MINOR, QUILLON_VERSION_MAJOR)));
        EXPECT_EQ(info->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, QUILLON_VERSION_PATCH)));
        EXPECT_EQ(info->dwFileType, binary.type);
        // The one text that differs between the binaries: each carries its own resource.
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\OriginalFilename", &value, &length));
        EXPECT_STREQ(static_cast<const char*>(value), binary.file);
    }
}

}  // namespace
