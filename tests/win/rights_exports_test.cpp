// The six rights exports of the built Quillon.dll, called as installers and
// scripts call them, on what the test machine offers: the temporary folder
// on drive C: (NTFS), a drive letter that does not exist, a real installer
// session. They show how arguments, results and error codes pass;
// the rules behind them are tested natively and in file_rights_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dll_export.h"
#include "installer_package.h"

namespace {

// A drive letter that Wine does not map: its volume cannot be queried.
constexpr const char* kMissingDrive = "Q:\\quillon\\app.exe";

TEST(RightsExports, ArgumentsResultsAndErrorCodes) {
    HMODULE library = LoadLibraryA("Quillon.dll");
    ASSERT_NE(library, nullptr);
    auto setFileRights = DllExport<int(__stdcall*)(const char*)>(library, "SetFileRights");
    auto checkFileRights = DllExport<int(__stdcall*)(const char*)>(library, "CheckFileRights");
    auto setRights = DllExport<UINT(__stdcall*)(unsigned long)>(library, "SetRights");
    auto checkRights = DllExport<UINT(__stdcall*)(unsigned long)>(library, "CheckRights");
    auto setRightsApi = DllExport<UINT(__stdcall*)(UINT, UINT*, const char*)>(library, "SetRightsAPI");
    auto checkRightsApi = DllExport<UINT(__stdcall*)(UINT, UINT*, const char*)>(library, "CheckRightsAPI");
    ASSERT_TRUE(setFileRights && checkFileRights && setRights && checkRights && setRightsApi && checkRightsApi);
    char fileSystem[MAX_PATH] = {};
    ASSERT_TRUE(GetVolumeInformationA("C:\\", nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH));
    ASSERT_STREQ(fileSystem, "NTFS");
    EXPECT_EQ(checkFileRights(kMissingDrive), 1);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(setFileRights(temp), 1);
    EXPECT_EQ(setFileRights(nullptr), 0);
    EXPECT_EQ(checkFileRights(nullptr), 0);

    const std::string missing = std::string(temp) + "quillon_no_such_file.txt";
    struct Case {
        const char* path;
        UINT set, check;
        UINT error;  // what SetRightsAPI stores and CheckRightsAPI returns
    } cases[] = {{kMissingDrive, 1, 1, ERROR_PATH_NOT_FOUND}, {missing.c_str(), 0, 0, ERROR_FILE_NOT_FOUND}};
    InstallerPackage package;
    ASSERT_TRUE(package.IsOpen());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        // SetRightsAPI: 0 when done, and the error code stored when asked for.
        UINT error = 99, held = 99;
        EXPECT_EQ(setRightsApi(7, &error, c.path), 1 - c.set);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(setRightsApi(7, nullptr, c.path), 1 - c.set);
        // CheckRightsAPI: the error code returned, the answer stored.
        EXPECT_EQ(checkRightsApi(7, &held, c.path), c.error);
        EXPECT_EQ(held, c.check);
        EXPECT_EQ(checkRightsApi(7, nullptr, c.path), c.error);
        // A null path stores nothing; CheckRightsAPI returns what the previous call left.
        EXPECT_EQ(setRightsApi(7, &error, nullptr), 1u);
        EXPECT_EQ(checkRightsApi(7, &error, nullptr), c.error);
        EXPECT_EQ(error, c.error);

        // The installer actions take FILE_PATH (what CheckRights writes to
        // RIGHTS_OK, msiexec shows in tests/checks/e2e_msi.sh).
        package.Set("FILE_PATH", c.path);
        EXPECT_EQ(setRights(package.Handle()), c.set);
        EXPECT_EQ(checkRights(package.Handle()), c.check);
    }
    // Without an installer behind the handle nothing can be read or written.
    EXPECT_EQ(setRights(0xBAD), 0u);
    EXPECT_EQ(checkRights(0xBAD), 0u);
    FreeLibrary(library);
}

}  // namespace
