// The one message the library ever shows: the script operation "MsgBox".
// On Windows it is a modal MessageBoxA without an owner window, captioned
// "Info", with an OK button only. Natively (the quillon tool and the unit
// tests) the text goes to standard error instead, its control
// characters escaped.
#pragma once

namespace quillon::platform {

// Shows `text` (null shows an empty message) and returns once it is closed.
void ShowInfoMessage(const char* text);

}  // namespace quillon::platform
