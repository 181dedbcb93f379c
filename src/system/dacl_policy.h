// The rules of the rights operations over access lists: the list that grants
// the Users group full access, built from the object's old one, and whether an
// account holds read, write and execute access. Both see lists only through
// AclCalls.
#pragma once

#include <cstdint>

#include "system/acl_calls.h"

namespace quillon {

constexpr uint32_t kGenericAll = 0x10000000;           // GENERIC_ALL
constexpr uint32_t kFileReadWriteExecute = 0x001201BF;  // FILE_GENERIC_READ | _WRITE | _EXECUTE
constexpr uint8_t kInheritedByFilesAndFolders = 3;      // OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE

// Fills `newAcl` (initialised, empty, with room for the old entries and two
// more) from the `count` entries of `oldAcl`: entries naming `users` are
// dropped, every other one is copied with its flags set to 3 (set in the old
// list too, in place), then one GENERIC_ALL entry for `users` with flags 0 is
// appended. `copied` is the number of entries copied, which is also the index
// of the appended one. False at the first failing call, and for an old list
// without entries, which is never rewritten.
bool CopyEntriesAndGrant(AclCalls& calls, void* oldAcl, uint32_t count, void* newAcl, const void* users,
                         uint32_t& copied /* out */);

// For a folder, after CopyEntriesAndGrant: the GENERIC_ALL entry at
// `grantIndex` becomes inheritable by files and subfolders (flags 3) and a
// second, plain one follows, so the folder ends with two entries for `users`.
bool GrantToFolderContents(AclCalls& calls, void* newAcl, uint32_t grantIndex, const void* users);

// True when the entries of `acl` that name `account` allow, and do not deny,
// every bit of 0x001201BF. Allowed: types 0, 4 and 5; denied: types 1 and 6;
// other types and other SIDs are ignored, and generic bits are not expanded.
// False for a list without entries and when reading an entry fails.
bool AccountHoldsFileAccess(AclCalls& calls, void* acl, uint32_t count, const void* account);

}  // namespace quillon
