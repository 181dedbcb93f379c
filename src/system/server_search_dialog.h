// The server search as install scripts drive it, on the caller's own dialog
// (SearchServer, GetLBSelection, Abbrechen). The controls are found by their
// window texts; the worker fills the list box through messages that the
// dialog's thread carries out, so that thread must keep dispatching messages
// while a search runs. Windows builds only.
#pragma once

#include <windows.h>

namespace quillon {

// Finds the list box and the search button among the children of `parent`
// (the last child whose text equals each) and starts the worker: 1. 0 when
// either control is missing or the worker cannot start; the list stays as it
// was. A search still running is stopped first.
int StartServerSearch(HWND parent, const char* listBoxText, const char* buttonText);

// `buffer` names the list box on entry and receives its selected entry (at
// most 259 characters): 1. 0, with the buffer unchanged, when there is no
// such list box or no selection.
int ReadListSelection(HWND parent, char* buffer /* in: list-box text, out: entry */);

// Stops the running search, if any: nothing more is probed or added. Waits
// for the worker to end (while carrying out the list-box messages it sends),
// then enables the search button again. Always 1.
int StopServerSearch();

}  // namespace quillon
