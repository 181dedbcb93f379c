// The table of the system calls that the Windows-only subsystems make.
//
// Every entry starts out pointing at the real function. A test may replace an
// entry to fail the Nth call, to record the arguments, or to stand in for what
// the test machine lacks (a network to enumerate, a volume's file system,
// file access lists that persist); ScopedSystemCall puts the old entry back.
// Code under test calls `Sys().GetAce(...)` where it would call `::GetAce`.
//
// Adding an entry is one line, `decltype(&::Name) Name = ::Name;`, in
// the group it belongs to. Run-time bound libraries (msi.dll, netapi32.dll)
// are reached through their bridges, which load them with the library entries
// below; they are never entries themselves.
#pragma once

#include <windows.h>
#include <aclapi.h>
#include <winnetwk.h>

namespace quillon::win32 {

struct SystemCalls {
    // Memory and handles.
    decltype(&::LocalAlloc) LocalAlloc = ::LocalAlloc;
    decltype(&::LocalFree) LocalFree = ::LocalFree;
    decltype(&::CloseHandle) CloseHandle = ::CloseHandle;

    // Libraries bound at run time.
    decltype(&::LoadLibraryA) LoadLibraryA = ::LoadLibraryA;
    decltype(&::LoadLibraryExA) LoadLibraryExA = ::LoadLibraryExA;
    decltype(&::GetProcAddress) GetProcAddress = ::GetProcAddress;
    decltype(&::FreeLibrary) FreeLibrary = ::FreeLibrary;
    decltype(&::GetModuleHandleExA) GetModuleHandleExA = ::GetModuleHandleExA;
    decltype(&::FreeLibraryAndExitThread) FreeLibraryAndExitThread = ::FreeLibraryAndExitThread;

    // Registry.
    decltype(&::RegOpenKeyExA) RegOpenKeyExA = ::RegOpenKeyExA;
    decltype(&::RegQueryValueExA) RegQueryValueExA = ::RegQueryValueExA;
    decltype(&::RegCloseKey) RegCloseKey = ::RegCloseKey;
    decltype(&::RegCreateKeyExA) RegCreateKeyExA = ::RegCreateKeyExA;
    decltype(&::RegSetValueExA) RegSetValueExA = ::RegSetValueExA;
    decltype(&::RegDeleteValueA) RegDeleteValueA = ::RegDeleteValueA;
    decltype(&::RegDeleteKeyA) RegDeleteKeyA = ::RegDeleteKeyA;
    decltype(&::RegDeleteTreeA) RegDeleteTreeA = ::RegDeleteTreeA;
    decltype(&::RegQueryInfoKeyA) RegQueryInfoKeyA = ::RegQueryInfoKeyA;

    // Security identifiers, accounts, descriptors and access lists.
    decltype(&::AllocateAndInitializeSid) AllocateAndInitializeSid = ::AllocateAndInitializeSid;
    decltype(&::FreeSid) FreeSid = ::FreeSid;
    decltype(&::LookupAccountSidA) LookupAccountSidA = ::LookupAccountSidA;
    decltype(&::LookupAccountNameA) LookupAccountNameA = ::LookupAccountNameA;
    decltype(&::GetLengthSid) GetLengthSid = ::GetLengthSid;
    decltype(&::EqualSid) EqualSid = ::EqualSid;
    decltype(&::GetFileSecurityA) GetFileSecurityA = ::GetFileSecurityA;
    decltype(&::InitializeSecurityDescriptor) InitializeSecurityDescriptor = ::InitializeSecurityDescriptor;
    decltype(&::GetSecurityDescriptorDacl) GetSecurityDescriptorDacl = ::GetSecurityDescriptorDacl;
    decltype(&::GetAclInformation) GetAclInformation = ::GetAclInformation;
    decltype(&::InitializeAcl) InitializeAcl = ::InitializeAcl;
    decltype(&::GetAce) GetAce = ::GetAce;
    decltype(&::AddAce) AddAce = ::AddAce;
    decltype(&::AddAccessAllowedAce) AddAccessAllowedAce = ::AddAccessAllowedAce;
    decltype(&::SetNamedSecurityInfoA) SetNamedSecurityInfoA = ::SetNamedSecurityInfoA;

    // Files and volumes.
    decltype(&::GetVolumeInformationA) GetVolumeInformationA = ::GetVolumeInformationA;
    decltype(&::GetFileAttributesA) GetFileAttributesA = ::GetFileAttributesA;
    decltype(&::CreateFileA) CreateFileA = ::CreateFileA;
    decltype(&::DeleteFileA) DeleteFileA = ::DeleteFileA;
    decltype(&::CopyFileA) CopyFileA = ::CopyFileA;

    // Processes and threads.
    decltype(&::CreateProcessA) CreateProcessA = ::CreateProcessA;
    decltype(&::WaitForSingleObject) WaitForSingleObject = ::WaitForSingleObject;
    decltype(&::GetExitCodeProcess) GetExitCodeProcess = ::GetExitCodeProcess;
    decltype(&::CreateThread) CreateThread = ::CreateThread;
    decltype(&::GetExitCodeThread) GetExitCodeThread = ::GetExitCodeThread;
    decltype(&::CreateEventA) CreateEventA = ::CreateEventA;
    decltype(&::SetEvent) SetEvent = ::SetEvent;
    decltype(&::Sleep) Sleep = ::Sleep;
    decltype(&::GetTickCount) GetTickCount = ::GetTickCount;
    decltype(&::MsgWaitForMultipleObjects) MsgWaitForMultipleObjects = ::MsgWaitForMultipleObjects;

    // Windows of the caller's dialog and list-box messages.
    decltype(&::GetTopWindow) GetTopWindow = ::GetTopWindow;
    decltype(&::GetWindow) GetWindow = ::GetWindow;
    decltype(&::GetWindowTextA) GetWindowTextA = ::GetWindowTextA;
    decltype(&::IsWindow) IsWindow = ::IsWindow;
    decltype(&::EnableWindow) EnableWindow = ::EnableWindow;
    decltype(&::SendMessageA) SendMessageA = ::SendMessageA;
    decltype(&::PeekMessageA) PeekMessageA = ::PeekMessageA;

    // Network enumeration and named pipes.
    decltype(&::WNetOpenEnumA) WNetOpenEnumA = ::WNetOpenEnumA;
    decltype(&::WNetEnumResourceA) WNetEnumResourceA = ::WNetEnumResourceA;
    decltype(&::WNetCloseEnum) WNetCloseEnum = ::WNetCloseEnum;
    decltype(&::WaitNamedPipeA) WaitNamedPipeA = ::WaitNamedPipeA;
};

// The process's one table. Its entries are replaced only by tests, before the
// code under test runs.
SystemCalls& Sys();

// Replaces one entry for the lifetime of the object:
//   ScopedSystemCall failing(Sys().GetAce, &FailingGetAce);
template <typename Function>
class ScopedSystemCall {
public:
    ScopedSystemCall(Function& entry, Function replacement) : entry_(entry), saved_(entry) { entry_ = replacement; }
    ~ScopedSystemCall() { entry_ = saved_; }
    ScopedSystemCall(const ScopedSystemCall&) = delete;
    ScopedSystemCall& operator=(const ScopedSystemCall&) = delete;

    // The entry that was in place before, for a replacement that records and forwards.
    Function Saved() const { return saved_; }

private:
    Function& entry_;
    Function saved_;
};

}  // namespace quillon::win32
