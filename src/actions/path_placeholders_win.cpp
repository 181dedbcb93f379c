// Placeholder expansion and the registry look-up behind "[CommonFilesFolder]".
//
//   [ModuleFile]        the calling process's executable (not this library)
//   [ModuleFolder]      its folder, without a trailing backslash
//   [TempPathClient]    the Windows directory's drive followed by "\Temp"
//   [WinSysDir]         GetSystemDirectoryA
//   [WinDir]            GetWindowsDirectoryA
//   [TempDir]           GetTempPathA, with its trailing backslash
//   [CommonFilesFolder] HKLM\...\CurrentVersion\CommonFilesDir
#include "actions/path_placeholders.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quillon {
namespace {

constexpr DWORD kFolderBufferSize = MAX_PATH + 1;
constexpr DWORD kModuleBufferSize = 260;
constexpr DWORD kModuleNameCapacity = 255;  // what GetModuleFileNameA is told

// The executable's full name, or null when it cannot be had. The buffer is
// larger than what the call may fill, so the name is always terminated. A
// name that does not fit is cut, and the call then answers the whole
// capacity: such a path names no file, and its folder may be another one.
TextString ModuleFileName() {
    char buffer[kModuleBufferSize] = {};
    TextString name;
    DWORD length = GetModuleFileNameA(nullptr, buffer, kModuleNameCapacity);
    if (length != 0 && length < kModuleNameCapacity) name.Assign(buffer);
    return name;
}

// A folder from one of the GetXxxDirectory calls; false when the call fails
// or the folder does not fit the buffer.
template <typename Query>
bool ReadFolder(Query query, TextString& folder) {
    char buffer[kFolderBufferSize] = {};
    UINT length = query(buffer);
    if (length == 0 || length >= kFolderBufferSize) return false;
    folder.Assign(buffer);
    return true;
}

bool WindowsFolder(TextString& folder) {
    return ReadFolder([](char* b) { return GetWindowsDirectoryA(b, kFolderBufferSize); }, folder);
}

int ReplaceByFolder(TextString& text, bool found, const TextString& folder) {
    if (!found) return 0;  // the placeholder stays
    text = folder;
    return 1;
}

struct Hive {
    const char* name;
    HKEY key;
};

const Hive kHives[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
};

}  // namespace

int ExpandPathPlaceholder(TextString& text) {
    if (text.IsSame("[ModuleFile]")) {
        text.Clear();
        text = ModuleFileName();
        return text.GetLength() > 0 ? 1 : 0;
    }
    if (text.IsSame("[ModuleFolder]")) {
        text = ModuleFileName();
        if (text.IsNull()) return 0;
        text.SplitOff("\\", 1, 1);  // keeps the text before the last backslash; null without one
        return 1;
    }
    if (text.IsSame("[TempPathClient]")) {
        TextString windows;
        if (!WindowsFolder(windows)) return 0;
        TextString drive = windows.SplitOff("\\", 0, 0);
        drive.Append("\\Temp");
        text = drive;
        return 1;
    }
    if (text.IsSame("[WinSysDir]")) {
        TextString folder;
        bool found = ReadFolder([](char* b) { return GetSystemDirectoryA(b, kFolderBufferSize); }, folder);
        return ReplaceByFolder(text, found, folder);
    }
    if (text.IsSame("[WinDir]")) {
        TextString folder;
        bool found = WindowsFolder(folder);
        return ReplaceByFolder(text, found, folder);
    }
    if (text.IsSame("[TempDir]")) {
        TextString folder;
        bool found = ReadFolder([](char* b) { return static_cast<UINT>(GetTempPathA(kFolderBufferSize, b)); }, folder);
        return ReplaceByFolder(text, found, folder);
    }
    if (text.IsSame("[CommonFilesFolder]")) {
        text = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\CommonFilesDir";
        return ReadRegistryValueByPath(text);
    }
    return 1;
}

int ReadRegistryValueByPath(TextString& text) {
    TextString hiveName = text.SplitOff("\\", 0, 1);
    HKEY hive = nullptr;
    for (const Hive& candidate : kHives) {
        if (hiveName.IsSame(candidate.name)) {
            hive = candidate.key;
            break;
        }
    }
    if (hive == nullptr) {
        text = "";
        return 0;
    }
    // Without a backslash the remainder is the value name and the hive's own
    // key is read (a null key path).
    TextString valueName = text.SplitOff("\\", 1, 1);
    TextString& keyPath = text;

    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, keyPath.Text(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        text = "";
        return 0;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, valueName.Text(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_DWORD)) {
        RegCloseKey(key);
        text = "";
        return 0;
    }
    // One byte more than reported ends a REG_SZ that was stored without its
    // zero; at least a DWORD's room so a short REG_DWORD is read as zeros.
    size_t allocated = (size < sizeof(DWORD) ? sizeof(DWORD) : size) + 1;
    char* data = static_cast<char*>(std::calloc(allocated, 1));
    if (data == nullptr) {
        RegCloseKey(key);
        text = "";
        return 0;
    }
    DWORD readSize = size;
    status = RegQueryValueExA(key, valueName.Text(), nullptr, &type, reinterpret_cast<BYTE*>(data), &readSize);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        std::free(data);
        text = "";
        return 0;
    }
    if (readSize > size) readSize = size;
    if (type == REG_SZ) {
        text.Assign(data, static_cast<int>(strnlen(data, readSize)));
    } else if (type == REG_DWORD) {
        DWORD value = 0;
        std::memcpy(&value, data, sizeof value);
        text.Format("%ld", static_cast<long>(static_cast<int32_t>(value)));
    } else {
        text.Clear();  // the value changed type between the two reads
    }
    std::free(data);
    return 1;
}

}  // namespace quillon
