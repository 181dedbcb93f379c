// The version resource of every shipped binary, read the way Explorer's
// "Details" tab and Windows Installer's file versioning read it. version.dll
// reads the resources of any PE file, so the x86 binaries, which cannot run
// here, are read too: all four must carry the version of quillon_version.h,
// the one `quillon --version` prints.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillon_version.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string StringValue(const std::vector<char>& block, const char* name) {
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) return "(missing)";
    return static_cast<const char*>(value);
}

void ExpectVersionResource(const std::string& path, const char* fileName, DWORD fileType) {
    SCOPED_TRACE(path);
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &unused);
    ASSERT_NE(size, 0u) << "no version resource, or no such file (GetLastError " << GetLastError() << ")";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    void* fixedValue = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &fixedValue, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedValue);
    const DWORD high = MAKELONG(QUILLON_VERSION_MINOR, QUILLON_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, QUILLON_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, fileType);

    EXPECT_EQ(StringValue(block, "FileVersion"), QUILLON_VERSION);
    EXPECT_EQ(StringValue(block, "ProductVersion"), QUILLON_VERSION);
    EXPECT_EQ(StringValue(block, "ProductName"), "Quillon");
    EXPECT_EQ(StringValue(block, "OriginalFilename"), fileName);
    EXPECT_NE(StringValue(block, "FileDescription"), "(missing)");
}

TEST(VersionResource, BothBuildsOfEveryBinaryCarryTheProjectVersion) {
    const std::string x64 = ExeFolder();
    const std::string x86 = x64 + "..\\win-x86\\";
    ExpectVersionResource(x64 + "Quillon.dll", "Quillon.dll", VFT_DLL);
    ExpectVersionResource(x86 + "Quillon.dll", "Quillon.dll", VFT_DLL);
    ExpectVersionResource(x64 + "quillon.exe", "quillon.exe", VFT_APP);
    ExpectVersionResource(x86 + "quillon.exe", "quillon.exe", VFT_APP);
}

}  // namespace
