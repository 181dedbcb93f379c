#include "system/dacl_policy.h"

namespace quillon {
namespace {

enum AceType : uint8_t {
    kAccessAllowed = 0,
    kAccessDenied = 1,
    kAccessAllowedCompound = 4,
    kAccessAllowedObject = 5,
    kAccessDeniedObject = 6,
};

}  // namespace

bool CopyEntriesAndGrant(AclCalls& calls, void* oldAcl, uint32_t count, void* newAcl, const void* users,
                         uint32_t& copied) {
    copied = 0;
    if (count == 0) return false;
    for (uint32_t index = 0; index < count; ++index) {
        AceRef ace;
        if (!calls.GetAce(oldAcl, index, ace)) return false;
        // Inherited, inherit-only and no-propagate marks are all replaced.
        *ace.flags = kInheritedByFilesAndFolders;
        if (calls.EqualSid(ace.sid, users)) continue;
        if (!calls.AddAce(newAcl, ace)) return false;
        ++copied;
    }
    return calls.AddAccessAllowedAce(newAcl, kGenericAll, users);
}

bool GrantToFolderContents(AclCalls& calls, void* newAcl, uint32_t grantIndex, const void* users) {
    AceRef grant;
    if (!calls.GetAce(newAcl, grantIndex, grant)) return false;
    *grant.flags = kInheritedByFilesAndFolders;
    return calls.AddAccessAllowedAce(newAcl, kGenericAll, users);
}

bool AccountHoldsFileAccess(AclCalls& calls, void* acl, uint32_t count, const void* account) {
    uint32_t allowed = 0;
    uint32_t denied = 0;
    for (uint32_t index = 0; index < count; ++index) {
        AceRef ace;
        if (!calls.GetAce(acl, index, ace)) return false;
        if (!calls.EqualSid(ace.sid, account)) continue;
        switch (ace.type) {
            case kAccessAllowed:
            case kAccessAllowedCompound:
            case kAccessAllowedObject:
                allowed |= ace.mask;
                break;
            case kAccessDenied:
            case kAccessDeniedObject:
                denied |= ace.mask;
                break;
            default:
                break;  // audit, alarm and later types say nothing about access
        }
    }
    return (allowed & ~denied & kFileReadWriteExecute) == kFileReadWriteExecute;
}

}  // namespace quillon
