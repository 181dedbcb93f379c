// The six rights exports of the built Quillon.dll, called as installers and
// scripts call them: looked up by name in the loaded DLL, on what the test
// machine offers (drive C: with its NTFS volume, a drive letter that does not
// exist, an unreachable UNC share, a real installer session). They show how
// arguments and results pass; the rules behind them are tested natively and
// through the system-call table (file_rights_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "installer_package.h"

namespace {

using PathFn = int(__stdcall*)(const char*);
using ActionFn = UINT(__stdcall*)(unsigned long);
using ApiFn = UINT(__stdcall*)(UINT, UINT*, const char*);

class RightsExports : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("Quillon.dll");
        ASSERT_NE(library_, nullptr);
        setFileRights_ = Lookup<PathFn>("SetFileRights");
        checkFileRights_ = Lookup<PathFn>("CheckFileRights");
        setRights_ = Lookup<ActionFn>("SetRights");
        checkRights_ = Lookup<ActionFn>("CheckRights");
        setRightsApi_ = Lookup<ApiFn>("SetRightsAPI");
        checkRightsApi_ = Lookup<ApiFn>("CheckRightsAPI");
        ASSERT_TRUE(setFileRights_ && checkFileRights_ && setRights_ && checkRights_ && setRightsApi_ && checkRightsApi_);

        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        file_ = std::string(folder) + "quillon_rights_export_" + std::to_string(GetCurrentProcessId()) + ".txt";
        HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
        missing_ = std::string(folder) + "quillon_no_such_file.txt";
    }
    void TearDown() override {
        DeleteFileA(file_.c_str());
        if (library_) FreeLibrary(library_);
    }
    template <typename Fn>
    Fn Lookup(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
    }

    HMODULE library_ = nullptr;
    PathFn setFileRights_ = nullptr;
    PathFn checkFileRights_ = nullptr;
    ActionFn setRights_ = nullptr;
    ActionFn checkRights_ = nullptr;
    ApiFn setRightsApi_ = nullptr;
    ApiFn checkRightsApi_ = nullptr;
    std::string file_;
    std::string missing_;
};

// A drive letter that Wine does not map, and a share that cannot be reached:
// their volumes cannot be queried.
constexpr const char* kMissingDrive = "Q:\\quillon\\app.exe";
constexpr const char* kUnreachableShare = "\\\\quillon-nowhere\\share\\app.exe";

TEST_F(RightsExports, VolumesThatCannotBeQueriedAreAlreadyRight) {
    for (const char* path : {kMissingDrive, kUnreachableShare}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(setFileRights_(path), 1);
        EXPECT_EQ(checkFileRights_(path), 1);
    }
}

TEST_F(RightsExports, PathsOnDriveC) {
    char fileSystem[MAX_PATH] = {};
    ASSERT_TRUE(GetVolumeInformationA("C:\\", nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH));
    ASSERT_STREQ(fileSystem, "NTFS");
    EXPECT_EQ(setFileRights_(file_.c_str()), 1);
    EXPECT_EQ(setFileRights_(missing_.c_str()), 0);
    EXPECT_EQ(checkFileRights_(missing_.c_str()), 0);
    EXPECT_EQ(setFileRights_(nullptr), 0);
    EXPECT_EQ(checkFileRights_(nullptr), 0);
}

TEST_F(RightsExports, ScriptWrappersReturnAndStoreDifferently) {
    // SetRightsAPI returns 0 for success and stores the error code.
    UINT error = 99;
    EXPECT_EQ(setRightsApi_(7, &error, nullptr), 1u);
    EXPECT_EQ(error, 99u);  // a null path stores nothing
    EXPECT_EQ(setRightsApi_(7, &error, missing_.c_str()), 1u);
    EXPECT_EQ(error, static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(setRightsApi_(7, nullptr, missing_.c_str()), 1u);
    EXPECT_EQ(setRightsApi_(7, &error, file_.c_str()), 0u);
    const UINT afterSuccess = error;

    // CheckRightsAPI returns the error code and stores the check's answer;
    // for a null path it returns what the previous operation left.
    UINT held = 99;
    EXPECT_EQ(checkRightsApi_(7, &held, nullptr), afterSuccess);
    EXPECT_EQ(held, 99u);
    EXPECT_EQ(checkRightsApi_(7, &held, kMissingDrive), static_cast<UINT>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(held, 1u);
    EXPECT_EQ(checkRightsApi_(7, &held, missing_.c_str()), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(held, 0u);
    EXPECT_EQ(checkRightsApi_(7, nullptr, kMissingDrive), static_cast<UINT>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(checkRightsApi_(7, &held, nullptr), static_cast<UINT>(ERROR_PATH_NOT_FOUND));
}

TEST_F(RightsExports, InstallerActionsTakeFilePathAndWriteRightsOk) {
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    struct Case {
        std::string path;
        UINT set;
        UINT check;
        const char* rightsOk;
    } cases[] = {{kMissingDrive, 1, 1, "1"}, {missing_, 0, 0, "0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        package.Set("FILE_PATH", c.path);
        package.Set("RIGHTS_OK", "stale");
        EXPECT_EQ(setRights_(package.Handle()), c.set);
        EXPECT_EQ(checkRights_(package.Handle()), c.check);
        EXPECT_EQ(package.Get("RIGHTS_OK"), c.rightsOk);
    }
    // Without an installer behind the handle nothing can be read or written.
    EXPECT_EQ(setRights_(0xBAD), 0u);
    EXPECT_EQ(checkRights_(0xBAD), 0u);
}

}  // namespace
