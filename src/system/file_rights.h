// File and folder rights: granting the built-in Users group full access, and
// checking that Users (or, failing that, Everyone) holds read, write and
// execute access. Volumes without access lists (FAT) and volumes that cannot
// be queried count as already right. Windows builds only.
#pragma once

#include <cstdint>

#include "installer/installer_bridge.h"

namespace quillon {

constexpr int kUsersAlias = 545;  // S-1-5-32-545, the built-in Users group
constexpr int kEveryone = -1;     // Everyone, by name: "Jeder", then "Everyone"

// The thread's last Windows error when the latest set or check ended (0 until
// one has run). One value for the whole process, as callers read it after
// the fact; every set or check overwrites it, success included.
uint32_t LastRightsError();

// 1 when done (or nothing to do on this volume), 0 when a step failed.
int SetFileRights(const char* path);
// 1 when the account (kUsersAlias or another built-in alias number, or
// kEveryone) holds read, write and execute access, or the volume keeps no
// access lists; 0 otherwise.
int CheckAccountFileRights(const char* path, int aliasNumber);
// Users, and when Users fails, Everyone.
int CheckFileRights(const char* path);

// The script-style wrappers. SetRightsAPI: 0 when the rights were set, 1
// otherwise (also for a null path, which stores nothing); LastRightsError
// into `errorSlot`. CheckRightsAPI: the check's 1/0 into `resultSlot`
// (nothing for a null path); returns LastRightsError.
uint32_t RunSetRightsApi(uint32_t* errorSlot, const char* path);
uint32_t RunCheckRightsApi(uint32_t* resultSlot, const char* path);

// The installer actions, on FILE_PATH. SetRights: 0 when it cannot be read,
// else SetFileRights on it. CheckRights: writes RIGHTS_OK "1" or "0" and
// returns the check's result (0 when FILE_PATH cannot be read).
uint32_t RunSetRights(InstallerBridge& bridge, InstallerHandle handle);
uint32_t RunCheckRights(InstallerBridge& bridge, InstallerHandle handle);

}  // namespace quillon
