// The numbered-copy walk on disk: every open is exclusive, so a copy that a
// running session holds open is skipped rather than replaced under it.
#include <windows.h>

#include "platform/win32/owners.h"
#include "platform/win32/system_calls.h"
#include "system/numbered_copies.h"

namespace quillon {
namespace {

using win32::Sys;

bool OpensExclusively(const char* path, DWORD access) {
    if (path == nullptr) return false;
    win32::UniqueHandle file(Sys().CreateFileA(path, access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

class DiskCopyFiles : public CopyFileSystem {
public:
    bool CanOpenSource(const char* source) override { return OpensExclusively(source, GENERIC_READ); }
    bool CanOpenCopy(const char* copy) override { return OpensExclusively(copy, GENERIC_WRITE); }
    bool DeleteCopy(const char* copy) override { return Sys().DeleteFileA(copy) != FALSE; }
    bool OverwriteCopy(const char* source, const char* copy) override {
        return Sys().CopyFileA(source, copy, FALSE /* overwrite */) != FALSE;
    }
};

}  // namespace

uint32_t UpdateNumberedCopiesOnDisk(const char* source, uint32_t mode) {
    DiskCopyFiles files;
    return UpdateNumberedCopies(source, mode, files);
}

}  // namespace quillon
