#include "system/volume_root.h"

namespace quillon {
namespace {

// The share name of \\server\share starts after the server's name; the
// search for its leading backslash begins past the two leading ones and at
// least one character of the server name.
constexpr int kServerNameSearchStart = 3;

}  // namespace

TextString GetVolumeRoot(const char* path) {
    TextString text = path;
    TextString root = "";
    if (!text.IsNull() && text.Text()[0] == '\\') {
        int shareStart = text.Find('\\', kServerNameSearchStart);
        int shareEnd = shareStart < 0 ? -1 : text.Find('\\', shareStart + 1);
        if (shareEnd >= 0) root = text.Mid(0, shareEnd);
    } else if (!text.IsNull()) {
        int colon = text.Find(':');
        if (colon >= 0) root = text.Mid(0, colon + 1);
    }
    // Neither root can end in a backslash yet: the share's text stops before
    // one, the drive's at its colon.
    root.Append("\\");
    return root;
}

bool IsFatFileSystem(const char* fileSystemName) {
    if (fileSystemName == nullptr) return false;
    for (int i = 0; i < 3; ++i) {
        char c = fileSystemName[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != "FAT"[i]) return false;
    }
    return true;
}

}  // namespace quillon
