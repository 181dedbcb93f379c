// One way to read a Win32 outcome. Calls report failure in two shapes: FALSE
// (or a null handle) with the cause in the thread's last error, or the cause
// as their result (registry, network enumeration, SetNamedSecurityInfoA).
// Win32Status holds either shape as one status; callers report it as they
// must (a 1/0 result, an error slot, an HRESULT).
#pragma once

#include <windows.h>

namespace quillon::win32 {

class Win32Status {
public:
    // Reads GetLastError() at once when the call failed, before anything else
    // can overwrite it.
    static Win32Status FromBool(BOOL result) { return result ? Win32Status(true, ERROR_SUCCESS) : Win32Status(false, ::GetLastError()); }
    static Win32Status FromCode(DWORD code) { return Win32Status(code == ERROR_SUCCESS, code); }

    bool Ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    // ERROR_SUCCESS, or the cause (which a careless call may leave at 0).
    DWORD Code() const { return code_; }
    // S_OK, or the cause as an HRESULT (E_FAIL for a failure without one).
    HRESULT AsHresult() const {
        if (ok_) return S_OK;
        return code_ == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(code_);
    }
    // Leaves the cause of a failure in the thread's last error, where callers
    // that report GetLastError() find it whatever shape the call had; Ok().
    bool Publish() const {
        if (!ok_) ::SetLastError(code_);
        return ok_;
    }

private:
    Win32Status(bool ok, DWORD code) : ok_(ok), code_(code) {}
    bool ok_;
    DWORD code_;
};

}  // namespace quillon::win32
