// Fault injection through the system-call table: while a SystemCallFaults
// lives, the security, file and memory entries count their calls, the call
// numbered `failAt` fails (FALSE, a null block, INVALID_FILE_ATTRIBUTES, or
// SetNamedSecurityInfoA's error code; the last error names the call), and LocalAlloc /
// LocalFree and AllocateAndInitializeSid / FreeSid are balanced in
// `outstanding`. The previous table comes back when it ends.
#pragma once

#include <windows.h>

#include <string>
#include <type_traits>
#include <vector>

#include "platform/win32/system_calls.h"

namespace quillon::test {

class SystemCallFaults {
public:
    // The last error a failed call leaves: an application-defined code that
    // carries the call's number.
    static DWORD InjectedError(int call) { return 0x20000000u | static_cast<DWORD>(call); }

    SystemCallFaults() : saved_(win32::Sys()) {
        active_ = this;
        auto& sys = win32::Sys();
        Wrap<&win32::SystemCalls::GetVolumeInformationA>("GetVolumeInformationA", FALSE);
        Wrap<&win32::SystemCalls::AllocateAndInitializeSid>("AllocateAndInitializeSid", FALSE, true);
        Wrap<&win32::SystemCalls::LookupAccountSidA>("LookupAccountSidA", FALSE);
        Wrap<&win32::SystemCalls::LookupAccountNameA>("LookupAccountNameA", FALSE);
        Wrap<&win32::SystemCalls::GetFileSecurityA>("GetFileSecurityA", FALSE);
        Wrap<&win32::SystemCalls::InitializeSecurityDescriptor>("InitializeSecurityDescriptor", FALSE);
        Wrap<&win32::SystemCalls::GetSecurityDescriptorDacl>("GetSecurityDescriptorDacl", FALSE);
        Wrap<&win32::SystemCalls::GetAclInformation>("GetAclInformation", FALSE);
        Wrap<&win32::SystemCalls::LocalAlloc>("LocalAlloc", HLOCAL{}, true);
        Wrap<&win32::SystemCalls::InitializeAcl>("InitializeAcl", FALSE);
        Wrap<&win32::SystemCalls::GetAce>("GetAce", FALSE);
        Wrap<&win32::SystemCalls::AddAce>("AddAce", FALSE);
        Wrap<&win32::SystemCalls::AddAccessAllowedAce>("AddAccessAllowedAce", FALSE);
        Wrap<&win32::SystemCalls::GetFileAttributesA>("GetFileAttributesA", INVALID_FILE_ATTRIBUTES);
        Wrap<&win32::SystemCalls::SetNamedSecurityInfoA>("SetNamedSecurityInfoA", DWORD{}, false, true);
        realLocalFree_ = sys.LocalFree;
        realFreeSid_ = sys.FreeSid;
        sys.LocalFree = &CountingLocalFree;
        sys.FreeSid = &CountingFreeSid;
    }
    ~SystemCallFaults() {
        win32::Sys() = saved_;
        active_ = nullptr;
    }
    SystemCallFaults(const SystemCallFaults&) = delete;
    SystemCallFaults& operator=(const SystemCallFaults&) = delete;

    int failAt = 0;                 // 1-based; 0 fails nothing
    int calls = 0;                  // wrapped calls so far
    int outstanding = 0;            // blocks and SIDs allocated and not yet released
    std::vector<std::string> log;   // the wrapped calls, in order
    std::string failed;             // the call that failed

    void Restart(int failAtCall) {
        failAt = failAtCall;
        calls = 0;
        log.clear();
        failed.clear();
    }

private:
    template <auto Member, typename Function = std::remove_reference_t<decltype(win32::Sys().*Member)>>
    struct Shim;

    template <auto Member, typename Result, typename... Args>
    struct Shim<Member, Result(WINAPI*)(Args...)> {
        static inline Result(WINAPI* real)(Args...) = nullptr;
        static inline const char* name = nullptr;
        static inline Result failure{};
        static inline bool allocates = false;    // a success is one more block or SID to release
        static inline bool returnsCode = false;  // fails by returning the error instead of FALSE
        static Result WINAPI Call(Args... args) {
            SystemCallFaults& faults = *active_;
            faults.log.push_back(name);
            if (++faults.calls == faults.failAt) {
                faults.failed = name;
                // A call that returns its error leaves the last error alone.
                if constexpr (std::is_same_v<Result, DWORD>) {
                    if (returnsCode) return InjectedError(faults.calls);
                }
                ::SetLastError(InjectedError(faults.calls));
                return failure;
            }
            Result result = real(args...);
            if (allocates && result) ++faults.outstanding;
            return result;
        }
    };

    template <auto Member, typename Failure>
    void Wrap(const char* name, Failure failure, bool allocates = false, bool returnsCode = false) {
        using S = Shim<Member>;
        S::real = win32::Sys().*Member;
        S::name = name;
        S::failure = failure;
        S::allocates = allocates;
        S::returnsCode = returnsCode;
        win32::Sys().*Member = &S::Call;
    }

    static HLOCAL WINAPI CountingLocalFree(HLOCAL memory) {
        if (memory) --active_->outstanding;
        return active_->realLocalFree_(memory);
    }
    static PVOID WINAPI CountingFreeSid(PSID sid) {
        if (sid) --active_->outstanding;
        return active_->realFreeSid_(sid);
    }

    static inline SystemCallFaults* active_ = nullptr;
    win32::SystemCalls saved_;
    decltype(win32::SystemCalls::LocalFree) realLocalFree_ = nullptr;
    decltype(win32::SystemCalls::FreeSid) realFreeSid_ = nullptr;
};

}  // namespace quillon::test
