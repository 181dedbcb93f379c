// Win32AclCalls: the access-list calls on real ACL structures.
#include "system/acl_calls.h"

#include <cstring>

#include "platform/win32/system_calls.h"

namespace quillon {

using win32::Sys;

namespace {

// Header (type, flags, size) and mask come before an entry's SID.
constexpr uint32_t kSidOffset = sizeof(ACE_HEADER) + sizeof(ACCESS_MASK);
// The smallest SID: revision, count, authority and no sub-authority.
constexpr uint32_t kSmallestSid = 8;

}  // namespace

bool Win32AclCalls::GetAce(void* acl, uint32_t index, AceRef& ace) {
    void* entry = nullptr;
    if (!Sys().GetAce(static_cast<PACL>(acl), index, &entry)) return false;
    auto* header = static_cast<ACE_HEADER*>(entry);
    auto* bytes = static_cast<unsigned char*>(entry);
    ace.entry = entry;
    ace.size = header->AceSize;
    ace.type = header->AceType;
    ace.flags = &header->AceFlags;
    ace.mask = 0;
    ace.sid = nullptr;
    // Every entry type is read the same way, its SID taken right after the
    // mask; an entry too short to hold one has no SID to compare.
    if (ace.size >= kSidOffset) std::memcpy(&ace.mask, bytes + sizeof(ACE_HEADER), sizeof ace.mask);
    if (ace.size >= kSidOffset + kSmallestSid) ace.sid = bytes + kSidOffset;
    return true;
}

bool Win32AclCalls::EqualSid(const void* first, const void* second) {
    if (first == nullptr || second == nullptr) return false;
    return Sys().EqualSid(const_cast<void*>(first), const_cast<void*>(second)) != FALSE;
}

bool Win32AclCalls::AddAce(void* acl, const AceRef& ace) {
    return Sys().AddAce(static_cast<PACL>(acl), ACL_REVISION, MAXDWORD, ace.entry, ace.size) != FALSE;
}

bool Win32AclCalls::AddAccessAllowedAce(void* acl, uint32_t mask, const void* sid) {
    return Sys().AddAccessAllowedAce(static_cast<PACL>(acl), ACL_REVISION, mask, const_cast<void*>(sid)) != FALSE;
}

}  // namespace quillon
