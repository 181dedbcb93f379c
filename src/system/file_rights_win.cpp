// SetFileRights and CheckAccountFileRights: the Win32 steps around the rights
// policy (dacl_policy.h). Every call goes through the system-call table, and
// every buffer is owned, so each step can fail in a test and nothing leaks.
// LastRightsError is recorded before the buffers are released, since
// releasing them must not change what the caller is told.
#include "system/file_rights.h"

#include <atomic>

#include "platform/win32/owners.h"
#include "platform/win32/win32_status.h"
#include "system/dacl_policy.h"
#include "system/volume_root.h"

namespace quillon {
namespace {

using win32::AllocatedSid;
using win32::LocalBuffer;
using win32::Sys;
using win32::Win32Status;

// Plain storage: callers on different threads see each other's codes, as
// with one process-wide value, but never a torn one.
std::atomic<uint32_t> lastRightsError{0};

constexpr DWORD kAccountNameLength = 255;  // characters, plus the terminator
constexpr DWORD kAliasDomainLength = 15;   // the domain of a built-in alias, plus the terminator
constexpr DWORD kSidBufferSize = 1020;
constexpr DWORD kSidSizeAnnounced = 255;   // what LookupAccountNameA is told the SID buffer holds
constexpr DWORD kFileSystemNameLength = 256;
// Room for the entries the old list keeps plus the two Users entries.
constexpr DWORD kNewAclSlack = 20;
// The protected DACL: entries inheritable from the parent no longer flow in.
constexpr SECURITY_INFORMATION kProtectedDacl = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;

// What one operation allocates, released after LastRightsError is recorded.
struct RightsBuffers {
    LocalBuffer domain;
    LocalBuffer descriptor;
    LocalBuffer newAcl;
};

// False when the path's volume keeps no access lists, or cannot be queried:
// such a volume is taken as already right.
bool VolumeKeepsAccessLists(const char* path) {
    TextString root = GetVolumeRoot(path);
    char fileSystem[kFileSystemNameLength] = {};
    if (!Sys().GetVolumeInformationA(root.Text(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                     kFileSystemNameLength))
        return false;
    return !IsFatFileSystem(fileSystem);
}

// The account name of S-1-5-32-<alias> (the name differs by system language).
BOOL LookupBuiltinAliasName(const char* systemName, int alias, char* name, DWORD* nameLength /* in/out */) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    AllocatedSid sid;
    if (!Sys().AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, static_cast<DWORD>(alias), 0,
                                        0, 0, 0, 0, 0, sid.Receive()))
        return FALSE;
    char domain[kAliasDomainLength + 1] = {};
    DWORD domainLength = kAliasDomainLength;
    SID_NAME_USE use;
    return Sys().LookupAccountSidA(systemName, sid.Get(), name, nameLength, domain, &domainLength, &use);
}

// Resolves an account name into `sid`. The first call learns the length of
// the account's domain name; when it reports none and `fallback` is given,
// the system does not know `name` and `fallback` is asked instead.
bool ResolveAccountSid(const char* name, const char* fallback, BYTE* sid, LocalBuffer& domain) {
    DWORD sidSize = kSidSizeAnnounced;
    DWORD domainLength = 0;
    SID_NAME_USE use;
    Sys().LookupAccountNameA(nullptr, name, sid, &sidSize, nullptr, &domainLength, &use);
    if (domainLength == 0 && fallback != nullptr) {
        name = fallback;
        Sys().LookupAccountNameA(nullptr, name, sid, &sidSize, nullptr, &domainLength, &use);
    }
    // Without the domain buffer the SID would stay as the probe left it.
    domain = LocalBuffer::Allocate(domainLength + 1);
    if (!domain) return false;
    return Sys().LookupAccountNameA(nullptr, name, sid, &sidSize, domain.As<char>(), &domainLength, &use) != FALSE;
}

struct Dacl {
    PACL list = nullptr;  // null for a present but null DACL
    DWORD count = 0;
    DWORD bytesInUse = 0;
};

// The object's DACL, read into `descriptor`. False when a call fails or the
// descriptor has no DACL. `fresh` is initialised on the way, as the final
// write passes it along.
bool ReadDacl(const char* path, LocalBuffer& descriptor, SECURITY_DESCRIPTOR& fresh, Dacl& dacl) {
    DWORD needed = 0;
    Sys().GetFileSecurityA(path, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    descriptor = LocalBuffer::Allocate(needed);
    if (!descriptor || !Sys().GetFileSecurityA(path, DACL_SECURITY_INFORMATION, descriptor.Get(), needed, &needed))
        return false;
    if (!Sys().InitializeSecurityDescriptor(&fresh, SECURITY_DESCRIPTOR_REVISION)) return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    if (!Sys().GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl.list, &defaulted) || !present) return false;
    if (dacl.list == nullptr) return true;
    ACL_SIZE_INFORMATION size = {};
    if (!Sys().GetAclInformation(dacl.list, &size, sizeof size, AclSizeInformation)) return false;
    dacl.count = size.AceCount;
    dacl.bytesInUse = size.AclBytesInUse;
    return true;
}

int SetFileRightsSteps(const char* path, RightsBuffers& buffers) {
    if (!VolumeKeepsAccessLists(path)) return 1;
    char usersName[kAccountNameLength + 1] = {};
    DWORD usersNameLength = kAccountNameLength;
    if (!LookupBuiltinAliasName(nullptr, kUsersAlias, usersName, &usersNameLength)) return 0;
    alignas(DWORD) BYTE users[kSidBufferSize] = {};
    if (!ResolveAccountSid(usersName, nullptr, users, buffers.domain)) return 0;

    SECURITY_DESCRIPTOR fresh;
    Dacl old;
    if (!ReadDacl(path, buffers.descriptor, fresh, old)) return 0;

    DWORD newSize = old.bytesInUse + 2 * Sys().GetLengthSid(users) + kNewAclSlack;
    buffers.newAcl = LocalBuffer::Allocate(newSize);
    if (!buffers.newAcl || !Sys().InitializeAcl(buffers.newAcl.As<ACL>(), newSize, ACL_REVISION)) return 0;

    Win32AclCalls calls;
    uint32_t copied = 0;
    if (!CopyEntriesAndGrant(calls, old.list, old.count, buffers.newAcl.Get(), users, copied)) return 0;
    DWORD attributes = Sys().GetFileAttributesA(path);
    // INVALID_FILE_ATTRIBUTES has the directory bit set: an object whose kind
    // cannot be told is not taken for a folder.
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        !GrantToFolderContents(calls, buffers.newAcl.Get(), copied, users))
        return 0;

    // The fresh descriptor stands in the owner position, where it is ignored:
    // no owner information is set.
    DWORD written = Sys().SetNamedSecurityInfoA(const_cast<char*>(path), SE_FILE_OBJECT, kProtectedDacl, &fresh,
                                                nullptr, buffers.newAcl.As<ACL>(), nullptr);
    return Win32Status::FromCode(written).Publish() ? 1 : 0;
}

int CheckAccountFileRightsSteps(const char* path, int aliasNumber, RightsBuffers& buffers) {
    if (!VolumeKeepsAccessLists(path)) return 1;
    char name[kAccountNameLength + 1] = "Jeder";
    const char* fallback = "Everyone";
    if (aliasNumber != kEveryone) {
        DWORD nameLength = kAccountNameLength;
        if (!LookupBuiltinAliasName(nullptr, aliasNumber, name, &nameLength)) return 0;
        fallback = nullptr;
    }
    alignas(DWORD) BYTE account[kSidBufferSize] = {};
    if (!ResolveAccountSid(name, fallback, account, buffers.domain)) return 0;

    SECURITY_DESCRIPTOR fresh;
    Dacl dacl;
    if (!ReadDacl(path, buffers.descriptor, fresh, dacl)) return 0;
    Win32AclCalls calls;
    return AccountHoldsFileAccess(calls, dacl.list, dacl.count, account) ? 1 : 0;
}

// Runs one set or check: LastRightsError is 0 while it runs and the thread's
// last error when it ends, on every path.
template <typename Steps>
int RecordingLastError(const char* path, Steps steps) {
    lastRightsError = 0;
    RightsBuffers buffers;
    int result = 0;
    if (path == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
    } else {
        result = steps(buffers);
    }
    lastRightsError = ::GetLastError();
    return result;
}

}  // namespace

uint32_t LastRightsError() { return lastRightsError; }

int SetFileRights(const char* path) {
    return RecordingLastError(path, [&](RightsBuffers& buffers) { return SetFileRightsSteps(path, buffers); });
}

int CheckAccountFileRights(const char* path, int aliasNumber) {
    return RecordingLastError(
        path, [&](RightsBuffers& buffers) { return CheckAccountFileRightsSteps(path, aliasNumber, buffers); });
}

int CheckFileRights(const char* path) {
    if (CheckAccountFileRights(path, kUsersAlias)) return 1;
    return CheckAccountFileRights(path, kEveryone);
}

}  // namespace quillon
