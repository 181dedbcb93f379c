#include "system/server_search.h"

namespace quillon {
namespace {

bool MustEnd(ServerSearchHost& host) { return host.StopRequested() || !host.ListBoxExists(); }

// Walks one batch of the enumeration, up to its end or until the search must end.
void ListAnsweringServers(ServerSearchHost& host, uint32_t entries) {
    for (uint32_t index = 0; index < entries; ++index) {
        if (MustEnd(host)) return;
        const char* remoteName = host.RemoteName(index);
        if (!host.PipeAnswers(ServerProbePath(remoteName).Text())) continue;
        TextString name = ServerDisplayName(remoteName);
        if (name.GetLength() == 0) continue;
        if (MustEnd(host)) return;
        host.AddToList(name.Text());
    }
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
            if (status == 0) ListAnsweringServers(host, entries);
            if (status == kNoMoreItems) break;
            // Any other error is tried again, as long as anyone still looks;
            // so is a batch without entries, but neither in a busy loop.
            if (status != 0 || entries == 0) host.PauseBeforeRetry();
            if (MustEnd(host)) break;
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
