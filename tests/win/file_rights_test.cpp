// The rights operations on real Win32 structures, linked into this program so
// that their system calls can be replaced through the table: Wine keeps no
// file access lists and has no FAT volume, so tests serve a file's security
// descriptor and a volume's file system themselves, capture the list that
// SetFileRights hands to SetNamedSecurityInfoA, and fail each call in turn.
// The rules themselves are tested natively (tests/unit/dacl_policy_test.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer_double.h"
#include "platform/win32/system_calls.h"
#include "system/dacl_policy.h"
#include "system/file_rights.h"
#include "system_call_faults.h"

namespace {

using quillon::test::SystemCallFaults;
using quillon::win32::ScopedSystemCall;
using quillon::win32::Sys;

enum Account { kUsers, kAdmins, kEveryoneSid, kSystem };

// The SID of an account, in a buffer of its own.
std::vector<BYTE> SidOf(Account account) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID sid = nullptr;
    switch (account) {
        case kUsers:
            AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0, &sid);
            break;
        case kAdmins:
            AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &sid);
            break;
        case kEveryoneSid:
            AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid);
            break;
        case kSystem:
            AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &sid);
            break;
    }
    std::vector<BYTE> bytes(static_cast<const BYTE*>(sid), static_cast<const BYTE*>(sid) + GetLengthSid(sid));
    FreeSid(sid);
    return bytes;
}

struct Entry {
    BYTE type;
    BYTE flags;
    DWORD mask;
    Account account;
    bool operator==(const Entry& o) const {
        return type == o.type && flags == o.flags && mask == o.mask && account == o.account;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << "{type " << int(e.type) << ", flags " << int(e.flags) << ", mask 0x" << std::hex << e.mask
               << std::dec << ", account " << e.account << "}";
}

// A real ACL with the entries, built by the system's own calls.
std::vector<BYTE> MakeAcl(const std::vector<Entry>& entries) {
    std::vector<BYTE> acl(1024);
    auto* list = reinterpret_cast<ACL*>(acl.data());
    EXPECT_TRUE(InitializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION));
    for (const Entry& e : entries) {
        std::vector<BYTE> sid = SidOf(e.account);
        BOOL added = e.type == ACCESS_DENIED_ACE_TYPE
                         ? AddAccessDeniedAceEx(list, ACL_REVISION, e.flags, e.mask, sid.data())
                         : AddAccessAllowedAceEx(list, ACL_REVISION, e.flags, e.mask, sid.data());
        EXPECT_TRUE(added);
    }
    return acl;
}

std::vector<Entry> ReadAcl(ACL* acl) {
    std::vector<Entry> entries;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(acl, i, &ace)) break;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        Entry e = {allowed->Header.AceType, allowed->Header.AceFlags, allowed->Mask, kSystem};
        for (Account a : {kUsers, kAdmins, kEveryoneSid, kSystem}) {
            if (EqualSid(SidOf(a).data(), &allowed->SidStart)) e.account = a;
        }
        entries.push_back(e);
    }
    return entries;
}

enum class DaclKind { kList, kNull, kAbsent };

// Stands in for the file system's security store: GetFileSecurityA serves
// one self-relative descriptor, SetNamedSecurityInfoA records what it is
// handed and passes it on to the system.
class FileSecurityStandIn {
public:
    explicit FileSecurityStandIn(const std::vector<Entry>& entries, DaclKind kind = DaclKind::kList)
        : get_(Sys().GetFileSecurityA, &Get), set_(Sys().SetNamedSecurityInfoA, &Set) {
        std::vector<BYTE> acl = MakeAcl(entries);
        SECURITY_DESCRIPTOR absolute;
        InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
        if (kind != DaclKind::kAbsent) {
            SetSecurityDescriptorDacl(&absolute, TRUE, kind == DaclKind::kNull ? nullptr : reinterpret_cast<ACL*>(acl.data()),
                                      FALSE);
        }
        DWORD size = 0;
        MakeSelfRelativeSD(&absolute, nullptr, &size);
        descriptor_.assign(size, 0);
        EXPECT_TRUE(MakeSelfRelativeSD(&absolute, descriptor_.data(), &size));
        realSet_ = set_.Saved();
        writes_.clear();
    }

    struct Write {
        std::string path;
        SE_OBJECT_TYPE type;
        SECURITY_INFORMATION information;
        bool group;
        bool sacl;
        std::vector<Entry> entries;
    };
    static const std::vector<Write>& Writes() { return writes_; }

private:
    static BOOL WINAPI Get(LPCSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR descriptor, DWORD length, LPDWORD needed) {
        *needed = static_cast<DWORD>(descriptor_.size());
        if (length < descriptor_.size()) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        memcpy(descriptor, descriptor_.data(), descriptor_.size());
        return TRUE;
    }
    static DWORD WINAPI Set(LPSTR path, SE_OBJECT_TYPE type, SECURITY_INFORMATION information, PSID owner, PSID group,
                            PACL dacl, PACL sacl) {
        writes_.push_back({path, type, information, group != nullptr, sacl != nullptr, ReadAcl(dacl)});
        return realSet_(path, type, information, owner, group, dacl, sacl);
    }

    static inline std::vector<BYTE> descriptor_;
    static inline std::vector<Write> writes_;
    static inline decltype(quillon::win32::SystemCalls::SetNamedSecurityInfoA) realSet_ = nullptr;
    ScopedSystemCall<decltype(quillon::win32::SystemCalls::GetFileSecurityA)> get_;
    ScopedSystemCall<decltype(quillon::win32::SystemCalls::SetNamedSecurityInfoA)> set_;
};

// A real file and a real folder in the temporary folder, removed at the end.
class RightsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        base_ = std::string(folder) + "quillon_rights_" + std::to_string(GetCurrentProcessId());
        folder_ = base_ + "_folder";
        file_ = base_ + "_file.txt";
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    void TearDown() override {
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string base_, folder_, file_;
};

constexpr DWORD kFullFile = FILE_ALL_ACCESS;
constexpr DWORD kAll = GENERIC_ALL;
constexpr DWORD kRwx = quillon::kFileReadWriteExecute;

TEST_F(RightsFiles, SetHandsAProtectedListToTheSystem) {
    const std::vector<Entry> old = {{ACCESS_ALLOWED_ACE_TYPE, INHERITED_ACE, kFullFile, kAdmins},
                                    {ACCESS_ALLOWED_ACE_TYPE, 0, FILE_GENERIC_READ, kUsers},
                                    {ACCESS_DENIED_ACE_TYPE, 0, FILE_WRITE_DATA, kEveryoneSid}};
    struct Case {
        const std::string& path;
        std::vector<Entry> handed;
    } cases[] = {
        {file_, {{0, 3, kFullFile, kAdmins}, {1, 3, FILE_WRITE_DATA, kEveryoneSid}, {0, 0, kAll, kUsers}}},
        {folder_,
         {{0, 3, kFullFile, kAdmins}, {1, 3, FILE_WRITE_DATA, kEveryoneSid}, {0, 3, kAll, kUsers}, {0, 0, kAll, kUsers}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FileSecurityStandIn security(old);
        EXPECT_EQ(quillon::SetFileRights(c.path.c_str()), 1);
        ASSERT_EQ(FileSecurityStandIn::Writes().size(), 1u);
        const auto& write = FileSecurityStandIn::Writes()[0];
        EXPECT_EQ(write.path, c.path);
        EXPECT_EQ(write.type, SE_FILE_OBJECT);
        EXPECT_EQ(write.information, 0x80000004u);  // DACL, protected
        EXPECT_FALSE(write.group);
        EXPECT_FALSE(write.sacl);
        EXPECT_EQ(write.entries, c.handed);
    }
}

TEST_F(RightsFiles, NullEmptyOrMissingListsFailBothWays) {
    struct Case {
        const char* name;
        DaclKind kind;
    } cases[] = {{"empty list", DaclKind::kList}, {"null list", DaclKind::kNull}, {"no list", DaclKind::kAbsent}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileSecurityStandIn security({}, c.kind);
        EXPECT_EQ(quillon::SetFileRights(folder_.c_str()), 0);
        EXPECT_EQ(quillon::CheckFileRights(folder_.c_str()), 0);
        EXPECT_TRUE(FileSecurityStandIn::Writes().empty());
    }
}

TEST_F(RightsFiles, CheckReadsRealListsAndFallsBackToEveryone) {
    const Entry usersAllowed = {ACCESS_ALLOWED_ACE_TYPE, 0, kRwx, kUsers};
    const Entry usersDenied = {ACCESS_DENIED_ACE_TYPE, 0, FILE_WRITE_DATA, kUsers};
    const Entry everyoneAllowed = {ACCESS_ALLOWED_ACE_TYPE, 0, kFullFile, kEveryoneSid};
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        int users;
        int either;
    } cases[] = {
        {"Users allowed", {usersAllowed}, 1, 1},
        {"Users denied writing, no Everyone entry", {usersAllowed, usersDenied}, 0, 0},
        {"Users denied writing, Everyone allowed", {usersAllowed, usersDenied, everyoneAllowed}, 0, 1},
        {"only Administrators", {{ACCESS_ALLOWED_ACE_TYPE, 0, kFullFile, kAdmins}}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileSecurityStandIn security(c.entries);
        EXPECT_EQ(quillon::CheckAccountFileRights(file_.c_str(), quillon::kUsersAlias), c.users);
        EXPECT_EQ(quillon::CheckFileRights(file_.c_str()), c.either);
    }
}

// Records the names LookupAccountNameA is asked for; "Jeder" is known as
// Everyone when `jederKnown` is set, as on a German system.
struct NameLookups {
    static inline std::vector<std::string> names;
    static inline bool jederKnown = false;
    static inline decltype(quillon::win32::SystemCalls::LookupAccountNameA) real = nullptr;
    static BOOL WINAPI Lookup(LPCSTR system, LPCSTR name, PSID sid, LPDWORD sidSize, LPSTR domain, LPDWORD domainLength,
                              PSID_NAME_USE use) {
        names.push_back(name);
        if (jederKnown && std::string(name) == "Jeder") name = "Everyone";
        return real(system, name, sid, sidSize, domain, domainLength, use);
    }
};

TEST_F(RightsFiles, EveryoneIsAskedForAsJederFirst) {
    FileSecurityStandIn security({{ACCESS_ALLOWED_ACE_TYPE, 0, kFullFile, kEveryoneSid}});
    NameLookups::real = Sys().LookupAccountNameA;
    ScopedSystemCall lookups(Sys().LookupAccountNameA, &NameLookups::Lookup);
    struct Case {
        bool jederKnown;
        std::vector<std::string> names;
    } cases[] = {{false, {"Jeder", "Everyone", "Everyone"}}, {true, {"Jeder", "Jeder"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jederKnown ? "Jeder known" : "Jeder unknown");
        NameLookups::jederKnown = c.jederKnown;
        NameLookups::names.clear();
        EXPECT_EQ(quillon::CheckAccountFileRights(file_.c_str(), quillon::kEveryone), 1);
        EXPECT_EQ(NameLookups::names, c.names);
    }
}

// Records the roots GetVolumeInformationA is asked about and answers with
// `fileSystem`.
struct VolumeQueries {
    static inline std::vector<std::string> roots;
    static inline const char* fileSystem = "FAT32";
    static BOOL WINAPI Query(LPCSTR root, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR name, DWORD nameSize) {
        roots.push_back(root);
        lstrcpynA(name, fileSystem, static_cast<int>(nameSize));
        return TRUE;
    }
};

TEST_F(RightsFiles, VolumesWithoutAccessListsAreAlreadyRight) {
    ScopedSystemCall volumes(Sys().GetVolumeInformationA, &VolumeQueries::Query);
    SystemCallFaults faults;  // counts the calls after the volume query
    VolumeQueries::roots.clear();
    EXPECT_EQ(quillon::SetFileRights("\\\\server\\share\\dir\\app.exe"), 1);
    EXPECT_EQ(quillon::CheckFileRights("C:\\dir\\app.exe"), 1);
    EXPECT_EQ(VolumeQueries::roots, (std::vector<std::string>{"\\\\server\\share\\", "C:\\"}));
    EXPECT_EQ(faults.log, (std::vector<std::string>{"GetVolumeInformationA", "GetVolumeInformationA"}));
}

TEST_F(RightsFiles, EveryFailingCallEndsWithZeroAndReleasesEverything) {
    struct Case {
        const char* name;
        const std::string& path;
        bool set;
    } cases[] = {{"SetFileRights, file", file_, true},
                 {"SetFileRights, folder", folder_, true},
                 {"CheckAccountFileRights (Users), folder", folder_, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileSecurityStandIn security({{ACCESS_ALLOWED_ACE_TYPE, 0, kFullFile, kAdmins},
                                      {ACCESS_ALLOWED_ACE_TYPE, 0, kRwx, kUsers}});
        auto run = [&] {
            return c.set ? quillon::SetFileRights(c.path.c_str())
                         : quillon::CheckAccountFileRights(c.path.c_str(), quillon::kUsersAlias);
        };
        SystemCallFaults faults;
        ASSERT_EQ(run(), 1);
        ASSERT_EQ(faults.outstanding, 0);
        const int calls = faults.calls;
        ASSERT_GE(calls, c.set ? 20 : 14);
        for (int n = 1; n <= calls; ++n) {
            faults.Restart(n);
            int result = run();
            SCOPED_TRACE("call " + std::to_string(n) + ", " + faults.failed);
            // A volume that cannot be queried counts as one without access lists.
            EXPECT_EQ(result, faults.failed == "GetVolumeInformationA" ? 1 : 0);
            EXPECT_EQ(faults.outstanding, 0);
            EXPECT_NE(quillon::LastRightsError(), 0u);
            // Where the operation stopped at the failing call, the caller is
            // told that call's error (a failed probe shows in the next call).
            if (faults.log.back() == faults.failed && faults.log.size() == static_cast<size_t>(n)) {
                EXPECT_EQ(quillon::LastRightsError(), SystemCallFaults::InjectedError(n));
            }
        }
    }
}

TEST_F(RightsFiles, InstallerActionsReadFilePath) {
    quillon::test::InstallerDouble installer;
    installer.getAnswers["FILE_PATH"] = 1615;  // ERROR_BAD_QUERY_SYNTAX: the read fails
    installer.properties["RIGHTS_OK"] = "stale";
    EXPECT_EQ(quillon::RunCheckRights(installer, installer.kHandle), 0u);
    EXPECT_EQ(installer.Get("RIGHTS_OK"), "0");
    EXPECT_EQ(quillon::RunSetRights(installer, installer.kHandle), 0u);
    EXPECT_EQ(installer.sets.size(), 1u);  // only RIGHTS_OK, once

    FileSecurityStandIn security({{ACCESS_ALLOWED_ACE_TYPE, 0, kRwx, kUsers}});
    installer.getAnswers.clear();
    installer.properties["FILE_PATH"] = file_;
    EXPECT_EQ(quillon::RunCheckRights(installer, installer.kHandle), 1u);
    EXPECT_EQ(installer.Get("RIGHTS_OK"), "1");
    EXPECT_EQ(quillon::RunSetRights(installer, installer.kHandle), 1u);
    ASSERT_EQ(FileSecurityStandIn::Writes().size(), 1u);
    EXPECT_EQ(FileSecurityStandIn::Writes()[0].path, file_);
}

}  // namespace
