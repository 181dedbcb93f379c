// The callers' views of the rights operations: the two script-style wrappers,
// which report a Windows error code, and the two installer actions, which
// take the path from FILE_PATH.
#include "system/file_rights.h"

namespace quillon {

uint32_t RunSetRightsApi(uint32_t* errorSlot, const char* path) {
    if (path == nullptr) return 1;
    int set = SetFileRights(path);
    if (errorSlot != nullptr) *errorSlot = LastRightsError();
    return set == 1 ? 0 : 1;
}

uint32_t RunCheckRightsApi(uint32_t* resultSlot, const char* path) {
    if (path != nullptr) {
        int held = CheckFileRights(path);
        if (resultSlot != nullptr) *resultSlot = static_cast<uint32_t>(held);
    }
    // For a null path, the code the previous set or check left.
    return LastRightsError();
}

uint32_t RunSetRights(InstallerBridge& bridge, InstallerHandle handle) {
    TextString path = "FILE_PATH";
    if (!bridge.ReadInstallerProperty(handle, path)) return 0;
    return static_cast<uint32_t>(SetFileRights(path.Text()));
}

uint32_t RunCheckRights(InstallerBridge& bridge, InstallerHandle handle) {
    TextString path = "FILE_PATH";
    int held = 0;
    if (bridge.ReadInstallerProperty(handle, path)) held = CheckFileRights(path.Text());
    bridge.SetInstallerProperty(handle, "RIGHTS_OK", held == 1 ? "1" : "0");
    return static_cast<uint32_t>(held);
}

}  // namespace quillon
