#include "system/server_search.h"

namespace quillon {
namespace {

// Walks one batch of the enumeration. False when the search must end.
bool ListAnsweringServers(ServerSearchHost& host, uint32_t entries) {
    for (uint32_t index = 0; index < entries; ++index) {
        if (host.StopRequested() || !host.ListBoxExists()) return false;
        const char* remoteName = host.RemoteName(index);
        if (!host.PipeAnswers(ServerProbePath(remoteName).Text())) continue;
        TextString name = ServerDisplayName(remoteName);
        if (name.GetLength() == 0) continue;
        if (host.StopRequested() || !host.ListBoxExists()) return false;
        host.AddToList(name.Text());
    }
    return true;
}

void ListDomainServers(ServerSearchHost& host) {
    TextString domain = host.DomainName();
    if (domain.GetLength() == 0 || host.StopRequested()) return;
    if (!host.OpenEnumeration(domain.Text())) return;
    if (!host.StopRequested()) {
        host.ClearList();
        for (;;) {
            uint32_t entries = 0;
            uint32_t status = host.EnumerateNext(&entries);
            if (status == 0 && !ListAnsweringServers(host, entries)) break;
            if (status == kNoMoreItems) break;
            // Any other error is tried again, as long as anyone still looks;
            // so is a batch without entries, but neither in a busy loop.
            if (status != 0 || entries == 0) host.PauseBeforeRetry();
            if (host.StopRequested() || !host.ListBoxExists()) break;
        }
    }
    host.CloseEnumeration();
}

}  // namespace

TextString ServerProbePath(const char* remoteName) {
    TextString path = remoteName == nullptr ? "" : remoteName;
    path.Append(kServicePipeSuffix);
    return path;
}

TextString ServerDisplayName(const char* remoteName) {
    TextString name = remoteName;
    for (int pass = 0; pass < 2; ++pass) {
        int backslash = name.Find('\\');
        if (backslash < 0) return TextString("");
        name = name.Mid(backslash + 1);
    }
    return name;
}

void RunServerSearch(ServerSearchHost& host) {
    host.EnableSearchButton(false);
    ListDomainServers(host);
    if (!host.StopRequested()) host.EnableSearchButton(true);
}

}  // namespace quillon
