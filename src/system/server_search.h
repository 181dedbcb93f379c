// The server search: which computers of the local domain or workgroup offer
// the multi-user service's named pipe, listed in the caller's list box.
//
// This file owns the search itself, the steps the worker thread takes, over a
// `ServerSearchHost` that stands for the network, the caller's dialog and the
// stop request. server_search_win.cpp gives the real host, the worker thread
// and the exports' state.
#pragma once

#include <cstdint>

#include "foundation/text_string.h"

namespace quillon {

// Appended to a computer's remote name ("\\NAME") to give the pipe probed.
constexpr const char* kServicePipeSuffix = "\\PIPE\\QVT\\ZN\\200\\ServiceManager";
constexpr uint32_t kNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS

class ServerSearchHost {
public:
    virtual ~ServerSearchHost() = default;

    // The caller's dialog.
    virtual void EnableSearchButton(bool enable) = 0;
    virtual bool ListBoxExists() = 0;
    virtual void ClearList() = 0;
    virtual void AddToList(const char* name) = 0;

    // The network. The domain or workgroup of this computer; null or empty
    // when it cannot be read.
    virtual TextString DomainName() = 0;
    // Opens the enumeration of the domain's computers together with the
    // buffer it fills; false (with nothing left open) when either fails.
    virtual bool OpenEnumeration(const char* domain) = 0;
    // The next batch: 0 with `entries` set, 259 at the end, or another error.
    virtual uint32_t EnumerateNext(uint32_t* entries /* out */) = 0;
    // The remote name of entry `index` of the last batch; may be null.
    virtual const char* RemoteName(uint32_t index) = 0;
    virtual void CloseEnumeration() = 0;
    // Whether the pipe can be reached (waits at most 10 ms for it).
    virtual bool PipeAnswers(const char* probePath) = 0;

    // Abbrechen, or a newer search, asked this one to stop.
    virtual bool StopRequested() = 0;
    // Waits a little before an enumeration that failed is tried again;
    // returns early when a stop is requested.
    virtual void PauseBeforeRetry() = 0;
};

// "\\NAME" gives "\\NAME\PIPE\QVT\ZN\200\ServiceManager"; null counts as "".
TextString ServerProbePath(const char* remoteName);
// The remote name with everything up to and including its first backslash
// removed, twice: "\\NAME" gives "NAME"; no backslash gives "".
TextString ServerDisplayName(const char* remoteName);

// The worker's whole run: disables the button, lists every computer whose
// pipe answers (after emptying the list, once the enumeration is open) and
// enables the button again. A stop request ends it before the next probe or
// addition and leaves the button to the one who asked; a list box that is
// gone ends it before the next probe.
void RunServerSearch(ServerSearchHost& host);

}  // namespace quillon
