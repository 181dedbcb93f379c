// RunRegistryScript: carries out a registration script (after its
// placeholder pass) against a registry, registering or unregistering.
//
//   script   := { root "{" items "}" }                root: HKCR, HKEY_CLASSES_ROOT, ...
//   item     := [ "ForceRemove" | "NoRemove" ] name [ "=" type value ] [ "{" items "}" ]
//             | "Delete" name [ "=" type value ]
//             | "Val" value-name "=" type value
//   type     := "S" (REG_SZ) | "D" (REG_DWORD, decimal) | "B" (REG_BINARY, hexadecimal pairs)
//
// Keywords are compared without regard to case. Registering opens or creates
// each key and sets its values; "ForceRemove" and "Delete" first delete the
// existing key with its subkeys, except "CLSID" and "TYPELIB", which are
// never deleted. Unregistering walks the same items, deletes the "Val"
// values, and deletes each key that is left without subkeys unless it is
// marked "NoRemove"; below a key that cannot be opened nothing is touched.
// When registering a root block fails, the block is unregistered again to
// take back what it created.
//
// The whole script is read before the registry is touched, so a malformed
// script changes nothing: it answers kResultScriptError, or kResultFailed
// for a "B" value that is not whole hexadecimal pairs. A key that cannot be
// opened or created while registering answers kResultScriptError after the
// rollback; values that cannot be written are not reported.
#pragma once

#include "com/registry_store.h"
#include "com/script_result.h"

namespace quillon {

enum class ScriptMode { kRegister, kUnregister };

HResult RunRegistryScript(const char* script, ScriptMode mode, RegistryStore& registry);

// A registration script of the module at `modulePath`, as stored in its
// resources: the placeholder pass ("%MODULE%" is the path), then the run.
HResult RunModuleScript(const char* script, const char* modulePath, ScriptMode mode, RegistryStore& registry);

}  // namespace quillon
