// Exports of the server search on the caller's dialog.
#include "platform/export_guard.h"
#include "system/server_search_dialog.h"

extern "C" int __stdcall SearchServer(HWND parent, const char* listBoxText, const char* buttonText) noexcept {
    return quillon::Guarded(0, [&] { return quillon::StartServerSearch(parent, listBoxText, buttonText); });
}

extern "C" int __stdcall GetLBSelection(HWND parent, char* buffer) noexcept {
    return quillon::Guarded(0, [&] { return quillon::ReadListSelection(parent, buffer); });
}

// "Abbrechen" is German for "cancel"; the name is part of the interface.
extern "C" int __stdcall Abbrechen() noexcept {
    return quillon::Guarded(1, [] { return quillon::StopServerSearch(); });
}
