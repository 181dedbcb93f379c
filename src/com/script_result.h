// The results of the registration machinery, as the COM entry points return
// them. Spelled out here because the script interpreter is portable code and
// does not see the Windows headers; the values are the system's HRESULTs.
#pragma once

#include <cstdint>

namespace quillon {

using HResult = int32_t;

constexpr HResult kResultOk = 0;                                        // S_OK
constexpr HResult kResultFailed = static_cast<HResult>(0x80004005);     // E_FAIL
constexpr HResult kResultScriptError = static_cast<HResult>(0x80020009);  // DISP_E_EXCEPTION

inline bool Failed(HResult result) { return result < 0; }

}  // namespace quillon
