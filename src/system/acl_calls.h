// The access-list calls that the rights policy makes, as an interface: the
// DLL answers them with Win32 over real ACL structures (Win32AclCalls), tests
// also with an in-memory model. Lists and SIDs are opaque to the policy.
#pragma once

#include <cstdint>

namespace quillon {

// One entry where it lies in its list, as GetAce hands it out.
struct AceRef {
    void* entry = nullptr;      // the whole entry, `size` bytes: what AddAce copies
    uint32_t size = 0;
    uint8_t type = 0;
    uint8_t* flags = nullptr;   // the entry's flags byte, changed in place
    uint32_t mask = 0;
    const void* sid = nullptr;  // the SID after the 4-byte header and the 4-byte mask; null if the entry has none
};

class AclCalls {
public:
    virtual ~AclCalls() = default;
    virtual bool GetAce(void* acl, uint32_t index, AceRef& ace /* out */) = 0;
    // False for SIDs that differ (and for a missing one).
    virtual bool EqualSid(const void* first, const void* second) = 0;
    // Appends a copy of the entry at the end of `acl`.
    virtual bool AddAce(void* acl, const AceRef& ace) = 0;
    // Appends an access-allowed entry with flags 0.
    virtual bool AddAccessAllowedAce(void* acl, uint32_t mask, const void* sid) = 0;
};

// GetAce, EqualSid, AddAce and AddAccessAllowedAce (revision 2, at the end)
// through the system-call table. Windows builds only.
class Win32AclCalls : public AclCalls {
public:
    bool GetAce(void* acl, uint32_t index, AceRef& ace) override;
    bool EqualSid(const void* first, const void* second) override;
    bool AddAce(void* acl, const AceRef& ace) override;
    bool AddAccessAllowedAce(void* acl, uint32_t mask, const void* sid) override;
};

}  // namespace quillon
