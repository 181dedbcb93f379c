// The rights operations on real Win32 structures, linked into this program so
// that their system calls can be replaced through the table: Wine keeps no
// file access lists and has no FAT volume, so the tests serve a file's
// security descriptor and a volume's file system themselves, capture the
// list SetFileRights hands to SetNamedSecurityInfoA, and fail each call in
// turn. The rules themselves are tested natively (dacl_policy_test.cpp).
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "access_entry.h"
#include "installer_double.h"
#include "platform/win32/system_calls.h"
#include "system/file_rights.h"

namespace {

using quillon::win32::ScopedSystemCall;
using quillon::win32::SystemCalls;
using quillon::win32::Sys;

// While it lives, the security, file and memory calls are logged and counted,
// the call numbered `failAt` fails (its last error, or the code it returns,
// is InjectedError(n)), and blocks and SIDs still held are counted in
// `outstanding`.
class SystemCallFaults {
public:
    static DWORD InjectedError(int call) { return 0x20000000u | static_cast<DWORD>(call); }

    SystemCallFaults() : saved_(Sys()) {
        active_ = this;
        Wrap<&SystemCalls::GetVolumeInformationA>("GetVolumeInformationA", FALSE);
        Wrap<&SystemCalls::AllocateAndInitializeSid>("AllocateAndInitializeSid", FALSE, 1);
        Wrap<&SystemCalls::LookupAccountSidA>("LookupAccountSidA", FALSE);
        Wrap<&SystemCalls::LookupAccountNameA>("LookupAccountNameA", FALSE);
        Wrap<&SystemCalls::GetFileSecurityA>("GetFileSecurityA", FALSE);
        Wrap<&SystemCalls::InitializeSecurityDescriptor>("InitializeSecurityDescriptor", FALSE);
        Wrap<&SystemCalls::GetSecurityDescriptorDacl>("GetSecurityDescriptorDacl", FALSE);
        Wrap<&SystemCalls::GetAclInformation>("GetAclInformation", FALSE);
        Wrap<&SystemCalls::LocalAlloc>("LocalAlloc", HLOCAL{}, 1);
        Wrap<&SystemCalls::InitializeAcl>("InitializeAcl", FALSE);
        Wrap<&SystemCalls::GetAce>("GetAce", FALSE);
        Wrap<&SystemCalls::AddAce>("AddAce", FALSE);
        Wrap<&SystemCalls::AddAccessAllowedAce>("AddAccessAllowedAce", FALSE);
        Wrap<&SystemCalls::GetFileAttributesA>("GetFileAttributesA", INVALID_FILE_ATTRIBUTES);
        Wrap<&SystemCalls::SetNamedSecurityInfoA>("SetNamedSecurityInfoA", DWORD{}, 0, true);
        Wrap<&SystemCalls::LocalFree>("LocalFree", HLOCAL{}, -1);
        Wrap<&SystemCalls::FreeSid>("FreeSid", PVOID{}, -1);
    }
    ~SystemCallFaults() { Sys() = saved_; }

    int failAt = 0;        // 1-based; 0 fails nothing
    int calls = 0;         // failable calls so far
    int outstanding = 0;   // blocks and SIDs allocated and not yet released
    std::vector<std::string> log;  // the failable calls, in order
    std::string failed;    // the call that failed

    void Restart(int failAtCall) {
        failAt = failAtCall;
        calls = 0;
        log.clear();
        failed.clear();
    }

private:
    template <auto Member, typename Function = std::remove_reference_t<decltype(Sys().*Member)>>
    struct Shim;
    template <auto Member, typename Result, typename... Args>
    struct Shim<Member, Result(WINAPI*)(Args...)> {
        static inline Result(WINAPI* real)(Args...) = nullptr;
        static inline const char* name = nullptr;
        static inline Result failure{};
        static inline int holds = 0;             // +1 allocates, -1 releases, 0 neither
        static inline bool returnsCode = false;  // fails by returning its error code
        static Result WINAPI Call(Args... args) {
            SystemCallFaults& faults = *active_;
            if constexpr (sizeof...(Args) == 1 && (std::is_pointer_v<Args> && ...)) {
                if (holds < 0) {  // releases never fail
                    if (((args != nullptr) && ...)) --faults.outstanding;
                    return real(args...);
                }
            }
            faults.log.push_back(name);
            if (++faults.calls == faults.failAt) {
                faults.failed = name;
                ::SetLastError(InjectedError(faults.calls));
                if constexpr (std::is_same_v<Result, DWORD>) {
                    if (returnsCode) return InjectedError(faults.calls);
                }
                return failure;
            }
            Result result = real(args...);
            if (holds > 0 && result) ++faults.outstanding;
            return result;
        }
    };

    template <auto Member, typename Failure>
    void Wrap(const char* name, Failure failure, int holds = 0, bool returnsCode = false) {
        using S = Shim<Member>;
        S::real = Sys().*Member;
        S::name = name;
        S::failure = failure;
        S::holds = holds;
        S::returnsCode = returnsCode;
        Sys().*Member = &S::Call;
    }

    static inline SystemCallFaults* active_ = nullptr;
    SystemCalls saved_;
};

const std::string kUsers = "S-1-5-32-545";
const std::string kAdmins = "S-1-5-32-544";
const std::string kEveryone = "S-1-1-0";
constexpr DWORD kRwx = 0x001201BF;

using Entry = quillon::test::AccessEntry;

enum class Dacl { kList, kNull, kAbsent };

// Stands in for the file system's store of security descriptors:
// GetFileSecurityA serves one descriptor, built by the system's own calls;
// SetNamedSecurityInfoA records what it is handed before passing it on.
class FileSecurityStandIn {
public:
    struct Write {
        std::string path;
        SE_OBJECT_TYPE type;
        SECURITY_INFORMATION information;
        bool groupOrSacl;
        std::vector<Entry> entries;
    };
    static inline std::vector<Write> writes;

    explicit FileSecurityStandIn(const std::vector<Entry>& entries, Dacl kind = Dacl::kList)
        : get_(Sys().GetFileSecurityA, &Get), set_(Sys().SetNamedSecurityInfoA, &Set) {
        std::vector<BYTE> acl(1024);
        auto* list = reinterpret_cast<ACL*>(acl.data());
        InitializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION);
        for (const Entry& e : entries) {
            PSID sid = nullptr;
            ConvertStringSidToSidA(e.sid.c_str(), &sid);
            (e.type == ACCESS_DENIED_ACE_TYPE ? AddAccessDeniedAceEx : AddAccessAllowedAceEx)(list, ACL_REVISION, e.flags,
                                                                                              e.mask, sid);
            LocalFree(sid);
        }
        SECURITY_DESCRIPTOR absolute;
        InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
        if (kind != Dacl::kAbsent) SetSecurityDescriptorDacl(&absolute, TRUE, kind == Dacl::kNull ? nullptr : list, FALSE);
        DWORD size = 0;
        MakeSelfRelativeSD(&absolute, nullptr, &size);
        descriptor_.assign(size, 0);
        MakeSelfRelativeSD(&absolute, descriptor_.data(), &size);
        realSet_ = set_.Saved();
        writes.clear();
    }

private:
    static BOOL WINAPI Get(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR descriptor, DWORD length, LPDWORD needed) {
        *needed = static_cast<DWORD>(descriptor_.size());
        if (length < descriptor_.size()) return SetLastError(ERROR_INSUFFICIENT_BUFFER), FALSE;
        memcpy(descriptor, descriptor_.data(), descriptor_.size());
        return TRUE;
    }
    static DWORD WINAPI Set(LPSTR path, SE_OBJECT_TYPE type, SECURITY_INFORMATION information, PSID owner, PSID group,
                            PACL dacl, PACL sacl) {
        std::vector<Entry> entries;
        for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
            ACCESS_ALLOWED_ACE* ace = nullptr;
            GetAce(dacl, i, reinterpret_cast<void**>(&ace));
            char* sid = nullptr;
            ConvertSidToStringSidA(&ace->SidStart, &sid);
            entries.push_back({ace->Header.AceType, ace->Header.AceFlags, static_cast<uint32_t>(ace->Mask), sid});
            LocalFree(sid);
        }
        writes.push_back({path, type, information, group != nullptr || sacl != nullptr, entries});
        return realSet_(path, type, information, owner, group, dacl, sacl);
    }

    static inline std::vector<BYTE> descriptor_;
    static inline decltype(SystemCalls::SetNamedSecurityInfoA) realSet_ = nullptr;
    ScopedSystemCall<decltype(SystemCalls::GetFileSecurityA)> get_;
    ScopedSystemCall<decltype(SystemCalls::SetNamedSecurityInfoA)> set_;
};

// A real file and a real folder in the temporary folder.
class FileRights : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        std::string base = std::string(folder) + "quillon_rights_" + std::to_string(GetCurrentProcessId());
        folder_ = base + "_folder";
        file_ = base + "_file.txt";
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    void TearDown() override {
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string folder_, file_;
};

TEST_F(FileRights, SetHandsAProtectedListToTheSystem) {
    const std::vector<Entry> old = {{ACCESS_ALLOWED_ACE_TYPE, INHERITED_ACE, FILE_ALL_ACCESS, kAdmins},
                                    {ACCESS_ALLOWED_ACE_TYPE, 0, FILE_GENERIC_READ, kUsers},
                                    {ACCESS_DENIED_ACE_TYPE, 0, FILE_WRITE_DATA, kEveryone}};
    for (const std::string& path : {file_, folder_}) {
        SCOPED_TRACE(path);
        FileSecurityStandIn security(old);
        EXPECT_EQ(quillon::SetFileRights(path.c_str()), 1);
        ASSERT_EQ(FileSecurityStandIn::writes.size(), 1u);
        const auto& write = FileSecurityStandIn::writes[0];
        EXPECT_EQ(write.path, path);
        EXPECT_EQ(write.type, SE_FILE_OBJECT);
        EXPECT_EQ(write.information, 0x80000004u);  // the DACL, protected
        EXPECT_FALSE(write.groupOrSacl);
        std::vector<Entry> handed = {{0, 3, FILE_ALL_ACCESS, kAdmins}, {1, 3, FILE_WRITE_DATA, kEveryone}};
        if (path == folder_) handed.push_back({0, 3, GENERIC_ALL, kUsers});
        handed.push_back({0, 0, GENERIC_ALL, kUsers});
        EXPECT_EQ(write.entries, handed);
    }
    // Lists that are empty, null or absent are never rewritten, nor read as access.
    for (Dacl kind : {Dacl::kList, Dacl::kNull, Dacl::kAbsent}) {
        FileSecurityStandIn security({}, kind);
        EXPECT_EQ(quillon::SetFileRights(folder_.c_str()), 0);
        EXPECT_EQ(quillon::CheckFileRights(folder_.c_str()), 0);
        EXPECT_TRUE(FileSecurityStandIn::writes.empty());
    }
}

// Records the names LookupAccountNameA is asked for; "Jeder" resolves as
// Everyone when `jederKnown` is set, as on a German system.
struct NameLookups {
    static inline std::vector<std::string> names;
    static inline bool jederKnown = false;
    static inline decltype(SystemCalls::LookupAccountNameA) real = Sys().LookupAccountNameA;
    static BOOL WINAPI Lookup(LPCSTR system, LPCSTR name, PSID sid, LPDWORD sidSize, LPSTR domain, LPDWORD domainLength,
                              PSID_NAME_USE use) {
        names.push_back(name);
        if (jederKnown && std::string(name) == "Jeder") name = "Everyone";
        return real(system, name, sid, sidSize, domain, domainLength, use);
    }
};

TEST_F(FileRights, EveryoneDecidesAfterUsersFailsAndIsAskedForAsJederFirst) {
    FileSecurityStandIn security({{ACCESS_ALLOWED_ACE_TYPE, 0, kRwx, kUsers},
                                  {ACCESS_DENIED_ACE_TYPE, 0, FILE_WRITE_DATA, kUsers},
                                  {ACCESS_ALLOWED_ACE_TYPE, 0, FILE_ALL_ACCESS, kEveryone}});
    ScopedSystemCall lookups(Sys().LookupAccountNameA, &NameLookups::Lookup);
    EXPECT_EQ(quillon::CheckAccountFileRights(file_.c_str(), quillon::kUsersAlias), 0);
    for (bool jederKnown : {false, true}) {
        SCOPED_TRACE(jederKnown ? "Jeder known" : "Jeder unknown");
        NameLookups::jederKnown = jederKnown;
        NameLookups::names.clear();
        EXPECT_EQ(quillon::CheckFileRights(file_.c_str()), 1);
        const std::string users = NameLookups::names.at(0);  // the Users group's name, as the system calls it
        std::vector<std::string> expected = {users, users, "Jeder", jederKnown ? "Jeder" : "Everyone", "Everyone"};
        if (jederKnown) expected.pop_back();
        EXPECT_EQ(NameLookups::names, expected);
    }
}

// Answers every volume query with a FAT file system, recording the root.
struct FatVolumes {
    static inline std::vector<std::string> roots;
    static BOOL WINAPI Query(LPCSTR root, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR name, DWORD nameSize) {
        roots.push_back(root);
        lstrcpynA(name, "FAT32", static_cast<int>(nameSize));
        return TRUE;
    }
};

TEST_F(FileRights, VolumesWithoutAccessListsAreAlreadyRight) {
    ScopedSystemCall volumes(Sys().GetVolumeInformationA, &FatVolumes::Query);
    SystemCallFaults faults;  // logs every call after the volume query
    EXPECT_EQ(quillon::SetFileRights("\\\\server\\share\\dir\\app.exe"), 1);
    EXPECT_EQ(quillon::CheckFileRights("C:\\dir\\app.exe"), 1);
    EXPECT_EQ(FatVolumes::roots, (std::vector<std::string>{"\\\\server\\share\\", "C:\\"}));
    EXPECT_EQ(faults.log, (std::vector<std::string>{"GetVolumeInformationA", "GetVolumeInformationA"}));
}

TEST_F(FileRights, EveryFailingCallEndsWithZeroAndReleasesEverything) {
    FileSecurityStandIn security({{ACCESS_ALLOWED_ACE_TYPE, 0, FILE_ALL_ACCESS, kAdmins},
                                  {ACCESS_ALLOWED_ACE_TYPE, 0, kRwx, kUsers}});
    struct Case {
        const char* name;
        std::string path;
        bool set;
    } cases[] = {{"SetFileRights, file", file_, true},
                 {"SetFileRights, folder", folder_, true},
                 {"CheckAccountFileRights (Users)", folder_, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = [&] {
            return c.set ? quillon::SetFileRights(c.path.c_str())
                         : quillon::CheckAccountFileRights(c.path.c_str(), quillon::kUsersAlias);
        };
        SystemCallFaults faults;
        ASSERT_EQ(run(), 1);
        const std::vector<std::string> calls = faults.log;
        ASSERT_GE(calls.size(), c.set ? 20u : 14u);
        for (size_t n = 1; n <= calls.size(); ++n) {
            faults.Restart(static_cast<int>(n));
            int result = run();
            SCOPED_TRACE("call " + std::to_string(n) + ", " + faults.failed);
            // A volume that cannot be queried counts as one without access lists.
            EXPECT_EQ(result, faults.failed == "GetVolumeInformationA" ? 1 : 0);
            EXPECT_EQ(faults.outstanding, 0);
            // A size probe's failure shows in the call it sizes (after the
            // allocation between them); any other failure ends the operation
            // at once, and the caller is told its error.
            bool probe = n + 2 <= calls.size() && calls[n] == "LocalAlloc" && calls[n + 1] == calls[n - 1];
            EXPECT_EQ(faults.log.size(), probe ? n + 2 : n);
            if (probe) {
                EXPECT_NE(quillon::LastRightsError(), 0u);
            } else {
                EXPECT_EQ(quillon::LastRightsError(), SystemCallFaults::InjectedError(static_cast<int>(n)));
            }
        }
    }
}

TEST_F(FileRights, CheckRightsWithoutAReadablePathWritesZero) {
    quillon::test::InstallerDouble installer;
    installer.getAnswers["FILE_PATH"] = 1615;  // the installer refuses the read
    installer.properties["RIGHTS_OK"] = "stale";
    EXPECT_EQ(quillon::RunCheckRights(installer, installer.kHandle), 0u);
    EXPECT_EQ(installer.Get("RIGHTS_OK"), "0");
    EXPECT_EQ(quillon::RunSetRights(installer, installer.kHandle), 0u);
    EXPECT_EQ(installer.sets.size(), 1u);  // RIGHTS_OK, once
}

}  // namespace
