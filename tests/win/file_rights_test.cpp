// The rights operations on real Win32 structures, linked into this program so
// that their system calls can be replaced through the table: Wine keeps no
// file access lists, so the tests serve a file's security descriptor
// themselves, capture the list SetFileRights hands to SetNamedSecurityInfoA,
// and fail each call in turn. Then the six rights exports of the built DLL on
// what the machine offers. The rules themselves are tested natively
// (dacl_policy_test.cpp), FAT detection too (system_names_test.cpp).
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "dll_export.h"
#include "installer_package.h"
#include "platform/win32/system_calls.h"
#include "system/file_rights.h"

namespace {

using quillon::win32::ScopedSystemCall;
using quillon::win32::SystemCalls;
using quillon::win32::Sys;

// While it lives, the calls wrapped below are logged and the call numbered
// `failAt` fails with the last error InjectedError(n) (SetNamedSecurityInfoA
// returns ERROR_ACCESS_DENIED). One call stands for each way a step can end:
// the other SID, descriptor and access-list calls end their step the same way
// as the ones wrapped (failing access-list calls are native rows). What the
// steps allocate, owners hold: see win32_owners_test.cpp.
class SystemCallFaults {
public:
    static DWORD InjectedError(size_t call) { return 0x20000000u | static_cast<DWORD>(call); }

    SystemCallFaults() : saved_(Sys()) {
        active_ = this;
        Wrap<&SystemCalls::GetVolumeInformationA>("GetVolumeInformationA", FALSE);
        Wrap<&SystemCalls::LookupAccountSidA>("LookupAccountSidA", FALSE);
        Wrap<&SystemCalls::LookupAccountNameA>("LookupAccountNameA", FALSE);
        Wrap<&SystemCalls::GetFileSecurityA>("GetFileSecurityA", FALSE);
        Wrap<&SystemCalls::LocalAlloc>("LocalAlloc", HLOCAL{});
        Wrap<&SystemCalls::GetFileAttributesA>("GetFileAttributesA", INVALID_FILE_ATTRIBUTES);
        Wrap<&SystemCalls::SetNamedSecurityInfoA>("SetNamedSecurityInfoA", DWORD{ERROR_ACCESS_DENIED});
    }
    ~SystemCallFaults() { Sys() = saved_; }

    int failAt = 0;        // 1-based; 0 fails nothing
    std::vector<std::string> log;  // the failable calls, in order

private:
    template <auto Member, typename Function = std::remove_reference_t<decltype(Sys().*Member)>>
    struct Shim;
    template <auto Member, typename Result, typename... Args>
    struct Shim<Member, Result(WINAPI*)(Args...)> {
        static inline Result(WINAPI* real)(Args...) = nullptr;
        static inline const char* name = nullptr;
        static inline Result failure{};
        static Result WINAPI Call(Args... args) {
            SystemCallFaults& faults = *active_;
            faults.log.push_back(name);
            if (static_cast<int>(faults.log.size()) == faults.failAt) {
                ::SetLastError(InjectedError(faults.failAt));
                return failure;
            }
            return real(args...);
        }
    };

    template <auto Member, typename Failure>
    void Wrap(const char* name, Failure failure) {
        using S = Shim<Member>;
        S::real = Sys().*Member;
        S::name = name;
        S::failure = failure;
        Sys().*Member = &S::Call;
    }

    static inline SystemCallFaults* active_ = nullptr;
    SystemCalls saved_;
};

// Stands in for the file system's store of security descriptors:
// GetFileSecurityA serves the one written as `sddl`; SetNamedSecurityInfoA
// records what it is handed, the list in the same form. (The real calls run
// in RightsExports below.)
class FileSecurityStandIn {
public:
    static inline std::string written;  // "path type information group-or-sacl list" of each write

    explicit FileSecurityStandIn(const char* sddl)
        : get_(Sys().GetFileSecurityA, &Get), set_(Sys().SetNamedSecurityInfoA, &Set) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ULONG size = 0;
        EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, &size));
        descriptor_.assign(static_cast<BYTE*>(descriptor), static_cast<BYTE*>(descriptor) + size);
        LocalFree(descriptor);
        written.clear();
    }

private:
    static BOOL WINAPI Get(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR descriptor, DWORD length, LPDWORD needed) {
        *needed = static_cast<DWORD>(descriptor_.size());
        if (length < descriptor_.size()) return SetLastError(ERROR_INSUFFICIENT_BUFFER), FALSE;
        memcpy(descriptor, descriptor_.data(), descriptor_.size());
        return TRUE;
    }
    static DWORD WINAPI Set(LPSTR path, SE_OBJECT_TYPE type, SECURITY_INFORMATION information, PSID, PSID group,
                            PACL dacl, PACL sacl) {
        SECURITY_DESCRIPTOR handed;
        InitializeSecurityDescriptor(&handed, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&handed, TRUE, dacl, FALSE);
        char* list = nullptr;
        ConvertSecurityDescriptorToStringSecurityDescriptorA(&handed, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &list,
                                                             nullptr);
        char write[64];
        snprintf(write, sizeof write, " %d 0x%lx %d ", type, information, group != nullptr || sacl != nullptr);
        written += path + std::string(write) + list;
        LocalFree(list);
        return ERROR_SUCCESS;
    }

    static inline std::vector<BYTE> descriptor_;
    ScopedSystemCall<decltype(SystemCalls::GetFileSecurityA)> get_;
    ScopedSystemCall<decltype(SystemCalls::SetNamedSecurityInfoA)> set_;
};

// On drive C:, a system file and the temporary folder.
TEST(FileRights, SetHandsAProtectedListToTheSystem) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string file = system + std::string("\\kernel32.dll"), folder = TempFolder();
    // Administrators inherited, Users may read, Everyone may not write.
    const char* old = "D:(A;ID;FA;;;BA)(A;;FR;;;BU)(D;;FW;;;WD)";
    const std::string kept = " 1 0x80000004 0 D:(A;OICI;FA;;;BA)(D;OICI;FW;;;WD)";
    struct Case {
        const char* name;
        std::string path;
        const char* sddl;
        std::string write;  // none: nothing handed over, and setting answers 0
    } cases[] = {
        {"a file", file, old, file + kept + "(A;;GA;;;BU)"},
        {"a folder", folder, old, folder + kept + "(A;OICI;GA;;;BU)(A;;GA;;;BU)"},
        {"a null list", folder, "D:NO_ACCESS_CONTROL", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileSecurityStandIn security(c.sddl);
        EXPECT_EQ(quillon::SetFileRights(c.path.c_str()), c.write.empty() ? 0 : 1);
        EXPECT_EQ(FileSecurityStandIn::written, c.write);
    }
}

// Records the names LookupAccountNameA is asked for; "Jeder" resolves as
// Everyone when `jederKnown` is set, as on a German system.
struct NameLookups {
    static inline std::vector<std::string> names;
    static inline bool jederKnown = false;
    static BOOL WINAPI Lookup(LPCSTR system, LPCSTR name, PSID sid, LPDWORD sidSize, LPSTR domain, LPDWORD domainLength,
                              PSID_NAME_USE use) {
        names.push_back(name);
        if (jederKnown && std::string(name) == "Jeder") name = "Everyone";
        return ::LookupAccountNameA(system, name, sid, sidSize, domain, domainLength, use);
    }
};

TEST(FileRights, EveryoneDecidesAfterUsersFailsAndIsAskedForAsJederFirst) {
    FileSecurityStandIn security("D:(A;;0x1201bf;;;BU)(D;;FW;;;BU)(A;;FA;;;WD)");
    ScopedSystemCall lookups(Sys().LookupAccountNameA, &NameLookups::Lookup);
    for (bool jederKnown : {false, true}) {
        SCOPED_TRACE(jederKnown ? "Jeder known" : "Jeder unknown");
        NameLookups::jederKnown = jederKnown;
        NameLookups::names.clear();
        EXPECT_EQ(quillon::CheckFileRights(TempFolder().c_str()), 1);
        const std::string users = NameLookups::names.at(0);  // the Users group's name, as the system calls it
        std::vector<std::string> expected = {users, users, "Jeder", jederKnown ? "Jeder" : "Everyone", "Everyone"};
        if (jederKnown) expected.pop_back();
        EXPECT_EQ(NameLookups::names, expected);
    }
}

// Checking takes the same steps up to the list it reads (the native tests
// fail that reading), so setting on a folder, which takes them all, stands for both.
TEST(FileRights, EveryFailingCallEndsWithZeroAndTellsItsError) {
    FileSecurityStandIn security("D:(A;;FA;;;BA)(A;;0x1201bf;;;BU)");
    const std::string folder = TempFolder();
    SystemCallFaults faults;
    ASSERT_EQ(quillon::SetFileRights(folder.c_str()), 1);
    const std::vector<std::string> calls = faults.log;
    ASSERT_EQ(calls.back(), "SetNamedSecurityInfoA");  // the run went all the way
    for (size_t n = 1; n <= calls.size(); ++n) {
        SCOPED_TRACE("call " + std::to_string(n) + ", " + calls[n - 1]);
        faults.failAt = static_cast<int>(n);
        faults.log.clear();
        // A volume that cannot be queried counts as one without access lists.
        EXPECT_EQ(quillon::SetFileRights(folder.c_str()), calls[n - 1] == "GetVolumeInformationA" ? 1 : 0);
        // A size probe's failure shows in the call it sizes (after the
        // allocation between them); any other failure ends the operation
        // at once, and the caller is told its error.
        bool probe = n + 2 <= calls.size() && calls[n] == "LocalAlloc" && calls[n + 1] == calls[n - 1];
        EXPECT_EQ(faults.log.size(), probe ? n + 2 : n);
        if (!probe) {
            bool written = calls[n - 1] == "SetNamedSecurityInfoA";
            EXPECT_EQ(quillon::LastRightsError(), written ? ERROR_ACCESS_DENIED : SystemCallFaults::InjectedError(n));
        }
    }
}

// A drive letter that Wine does not map: its volume cannot be queried.
constexpr const char* kMissingDrive = "Q:\\quillon\\app.exe";

// The exports as installers and scripts call them, on the temporary folder
// on drive C: (NTFS under Wine), a drive letter that does not exist, a real
// installer session: how arguments, results and error codes pass.
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
    EXPECT_EQ(checkFileRights(kMissingDrive), 1);
    const std::string temp = TempFolder();
    EXPECT_EQ(setFileRights(temp.c_str()), 1);
    EXPECT_EQ(setFileRights(nullptr), 0);
    EXPECT_EQ(checkFileRights(nullptr), 0);

    const std::string missing = temp + "quillon_no_such_file.txt";
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
