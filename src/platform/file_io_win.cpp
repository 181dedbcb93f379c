// Windows side of the file seam: the real Win32 calls.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_io.h"

namespace quillon::platform {
namespace {

std::atomic<unsigned> gTemporaryCounter{0};

struct FileHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~FileHandle() { Close(); }
    bool Close() {
        bool ok = true;
        if (handle != INVALID_HANDLE_VALUE) ok = ::CloseHandle(handle) != 0;
        handle = INVALID_HANDLE_VALUE;
        return ok;
    }
};

}  // namespace

FileBytes ReadWholeFile(const char* path, int32_t* size) {
    if (size) *size = 0;
    if (path == nullptr || path[0] == 0) return nullptr;
    FileHandle file;
    file.handle = ::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file.handle == INVALID_HANDLE_VALUE) return nullptr;
    DWORD high = 0;
    DWORD low = ::GetFileSize(file.handle, &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return nullptr;
    // Positions in the text are 32-bit; larger files are refused like
    // unreadable ones.
    if (high != 0 || low == 0 || low >= static_cast<DWORD>(INT32_MAX)) return nullptr;
    FileBytes buffer(static_cast<char*>(std::malloc(static_cast<size_t>(low) + 1)));
    if (!buffer) return nullptr;
    DWORD read = 0;
    if (!::ReadFile(file.handle, buffer.get(), low, &read, nullptr) || read != low) return nullptr;
    buffer.get()[low] = 0;
    if (size) *size = static_cast<int32_t>(low);
    return buffer;
}

bool ReplaceFileContent(const char* path, const char* bytes, size_t size) {
    if (path == nullptr || path[0] == 0 || (bytes == nullptr && size > 0)) return false;
    if (size > MAXDWORD) return false;
    WriteFault fault = InjectedWriteFault();

    std::string temporary;
    FileHandle file;
    for (int attempt = 0; attempt < 100 && file.handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = std::string(path) + kTemporaryMarker + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(gTemporaryCounter.fetch_add(1));
        if (fault == WriteFault::kCreate) return false;
        file.handle = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file.handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (file.handle == INVALID_HANDLE_VALUE) return false;

    DWORD toWrite = static_cast<DWORD>(size);
    if (fault == WriteFault::kShortWrite) toWrite /= 2;
    DWORD written = 0;
    bool ok = fault != WriteFault::kWrite;
    if (ok && toWrite > 0) ok = ::WriteFile(file.handle, bytes, toWrite, &written, nullptr) != 0;
    if (ok) ok = written == static_cast<DWORD>(size);
    if (ok) ok = fault != WriteFault::kFlush && ::FlushFileBuffers(file.handle) != 0;
    if (!file.Close()) ok = false;
    if (ok) {
        ok = fault != WriteFault::kReplace &&
             ::MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) {
        ::DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace quillon::platform
