// The server search on a dialog made from the DLL's own template 201: the
// template itself, the exports' marshalling through the DLL, and the worker
// over a network double put in through the system-call table (Wine has no
// network to enumerate). Windows are created, so this runs under xvfb-run.
#include <windows.h>
#include <lm.h>
#include <winnetwk.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dll_export.h"
#include "platform/win32/system_calls.h"
#include "system/server_search_dialog.h"

namespace {

using quillon::win32::ScopedSystemCall;
using quillon::win32::Sys;

constexpr int kListBoxId = 202;
constexpr int kSearchButtonId = 3;

// Dispatches this thread's messages until `done`; false after a generous
// bound, so a fault shows as a failure rather than a hang.
bool PumpUntil(const std::function<bool()>& done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 30000) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

std::vector<std::string> ListEntries(HWND listBox) {
    std::vector<std::string> entries;
    LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[260] = {};
        SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
        EXPECT_EQ(SendMessageA(listBox, LB_GETITEMDATA, static_cast<WPARAM>(i), 0), 0);
    }
    return entries;
}

bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class ServerSearchDialog : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("Quillon.dll");
        ASSERT_NE(library_, nullptr);
        dialog_ = CreateDialogParamA(library_, MAKEINTRESOURCEA(201), nullptr, &PlainDialog, 0);
        ASSERT_NE(dialog_, nullptr);
        listBox_ = GetDlgItem(dialog_, kListBoxId);
        button_ = GetDlgItem(dialog_, kSearchButtonId);
        ASSERT_TRUE(listBox_ && button_);
    }
    void TearDown() override {
        quillon::StopServerSearch();
        if (IsWindow(dialog_)) DestroyWindow(dialog_);
        if (library_) FreeLibrary(library_);
    }
    HMODULE library_ = nullptr;
    HWND dialog_ = nullptr;
    HWND listBox_ = nullptr;
    HWND button_ = nullptr;
};

// Template 201 as an install script's own dialog would be written.
TEST_F(ServerSearchDialog, TemplateAsGiven) {
    HRSRC found = FindResourceExA(library_, reinterpret_cast<LPCSTR>(RT_DIALOG), MAKEINTRESOURCEA(201),
                                  MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    ASSERT_NE(found, nullptr);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(library_, found)));
    ASSERT_NE(words, nullptr);
    auto dword = [](const WORD* at) { return static_cast<DWORD>(at[0]) | static_cast<DWORD>(at[1]) << 16; };
    auto text = [](const WORD*& at) {
        std::string read;
        while (*at != 0) read += static_cast<char>(*at++);
        ++at;
        return read;
    };
    EXPECT_EQ(dword(words), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dword(words + 2), 0u);  // no extended style
    ASSERT_EQ(words[4], 5);           // controls
    EXPECT_EQ(std::vector<WORD>(words + 5, words + 9), (std::vector<WORD>{0, 0, 322, 206}));
    EXPECT_EQ(words[9], 0);   // no menu
    EXPECT_EQ(words[10], 0);  // the standard dialog class
    const WORD* at = words + 11;
    EXPECT_EQ(text(at), "Dialog");
    EXPECT_EQ(*at++, 8);
    EXPECT_EQ(text(at), "MS Sans Serif");

    const DWORD child = WS_CHILD | WS_VISIBLE;
    struct Control {
        DWORD style;
        std::vector<WORD> box;
        WORD id;
        WORD atom;  // 0x80 button, 0x83 list box
        const char* text;
    } controls[] = {
        {child | WS_TABSTOP | BS_DEFPUSHBUTTON, {263, 183, 50, 14}, IDOK, 0x80, "OK"},
        {child | WS_TABSTOP | BS_PUSHBUTTON, {208, 183, 50, 14}, IDCANCEL, 0x80, "Cancel"},
        {child | BS_GROUPBOX, {207, 23, 110, 125}, 0xFFFF, 0x80, "Mehrbenutzerdienst-Server"},
        {child | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT, {212, 33, 100, 90},
         kListBoxId, 0x83, ""},
        {child | WS_TABSTOP | BS_PUSHBUTTON, {262, 128, 50, 14}, kSearchButtonId, 0x80, "&Suchen"},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.text);
        at = reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(at) + 3) & ~ULONG_PTR{3});
        EXPECT_EQ(dword(at), c.style);
        EXPECT_EQ(dword(at + 2), 0u);
        EXPECT_EQ(std::vector<WORD>(at + 4, at + 8), c.box);
        EXPECT_EQ(at[8], c.id);
        EXPECT_EQ(at[9], 0xFFFF);
        EXPECT_EQ(at[10], c.atom);
        at += 11;
        EXPECT_EQ(text(at), c.text);
        EXPECT_EQ(*at++, 0);  // no creation data
    }
}

// The exports through the DLL, over this machine's own network (none to
// enumerate): the search starts, ends by itself and leaves the list alone.
TEST_F(ServerSearchDialog, ExportsThroughTheDll) {
    auto search = DllExport<int(__stdcall*)(HWND, const char*, const char*)>(library_, "SearchServer");
    auto selection = DllExport<int(__stdcall*)(HWND, char*)>(library_, "GetLBSelection");
    auto cancel = DllExport<int(__stdcall*)()>(library_, "Abbrechen");
    ASSERT_TRUE(search && selection && cancel);
    SendMessageA(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("OLDSERVER"));

    EXPECT_EQ(search(dialog_, "", "Suchen"), 0);
    EXPECT_EQ(search(dialog_, "no such list", "&Suchen"), 0);
    ASSERT_EQ(search(dialog_, "", "&Suchen"), 1);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(button_) != FALSE; }));
    EXPECT_EQ(ListEntries(listBox_), std::vector<std::string>{"OLDSERVER"});

    char buffer[300];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[0] = 0;
    EXPECT_EQ(selection(dialog_, buffer), 0);  // nothing selected
    EXPECT_EQ(buffer[1], 'x');
    SendMessageA(listBox_, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(selection(dialog_, buffer), 1);
    EXPECT_STREQ(buffer, "OLDSERVER");
    std::strcpy(buffer, "no such list");
    EXPECT_EQ(selection(dialog_, buffer), 0);
    EXPECT_STREQ(buffer, "no such list");

    EnableWindow(button_, FALSE);
    EXPECT_EQ(cancel(), 1);
    EXPECT_TRUE(IsWindowEnabled(button_));
}

TEST_F(ServerSearchDialog, LongSelectionIsCutTo259Characters) {
    std::string entry(400, 'S');
    SendMessageA(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SendMessageA(listBox_, LB_SETCURSEL, 0, 0);
    char buffer[400] = "";
    std::memset(buffer + 1, 'x', sizeof buffer - 1);
    EXPECT_EQ(quillon::ReadListSelection(dialog_, buffer), 1);
    EXPECT_EQ(std::strlen(buffer), 259u);
    EXPECT_EQ(buffer[260], 'x');
}

// A workgroup "QUILLONTEST" of computers that the enumeration hands out in
// batches, then ends (259) or fails for good (53). The pipe answers on \\B
// and \\C; probes of this computer (\\.) go to the real WaitNamedPipeA. The
// first enumeration call may hold the worker until the test lets it go.
struct NetworkDouble {
    static inline std::vector<std::vector<std::string>> batches;
    static inline bool failsForGood = false;
    static inline bool holdFirstCall = false;
    static inline HANDLE enumerating = nullptr;  // set at the first enumeration call
    static inline HANDLE proceed = nullptr;
    static inline HANDLE closed = nullptr;       // set when the enumeration is closed
    static inline std::string log;               // open / enum / close, in order
    static inline int enumerateCalls = 0;
    static inline int buffersOutstanding = 0;
    static inline int librariesOutstanding = 0;
    static inline NETRESOURCEA request;
    static inline std::string requestRemoteName;
    static inline bool requestTextsEmpty = false;
    static inline DWORD firstCount = 0, firstSize = 0;
    static inline std::vector<DWORD> pipeWaits;
    static inline decltype(quillon::win32::SystemCalls::WaitNamedPipeA) realWaitNamedPipe = nullptr;
    static inline decltype(quillon::win32::SystemCalls::GetProcAddress) realGetProcAddress = nullptr;
    static inline decltype(quillon::win32::SystemCalls::LocalAlloc) realLocalAlloc = nullptr;
    static inline decltype(quillon::win32::SystemCalls::LocalFree) realLocalFree = nullptr;
    static inline decltype(quillon::win32::SystemCalls::LoadLibraryA) realLoadLibrary = nullptr;
    static inline decltype(quillon::win32::SystemCalls::FreeLibrary) realFreeLibrary = nullptr;
    static inline WKSTA_INFO_100 info = {};
    static inline wchar_t group[] = L"QUILLONTEST";

    static DWORD WINAPI OpenEnum(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEA resource, LPHANDLE handle) {
        log += "open ";
        request = *resource;
        requestRemoteName = resource->lpRemoteName ? resource->lpRemoteName : "(null)";
        requestTextsEmpty = resource->lpLocalName && !*resource->lpLocalName && resource->lpComment &&
                            !*resource->lpComment && resource->lpProvider && !*resource->lpProvider &&
                            scope == RESOURCE_GLOBALNET && type == RESOURCETYPE_ANY && usage == 0;
        *handle = reinterpret_cast<HANDLE>(0x5EA);
        return NO_ERROR;
    }
    static DWORD WINAPI Enumerate(HANDLE, LPDWORD count, LPVOID buffer, LPDWORD size) {
        if (enumerateCalls++ == 0) {
            firstCount = *count;
            firstSize = *size;
            SetEvent(enumerating);
            if (holdFirstCall) WaitForSingleObject(proceed, 30000);
        }
        log += "enum ";
        size_t batch = static_cast<size_t>(enumerateCalls - 1);
        if (batch >= batches.size()) return failsForGood ? ERROR_BAD_NETPATH : ERROR_NO_MORE_ITEMS;
        auto* entries = static_cast<NETRESOURCEA*>(buffer);
        char* names = reinterpret_cast<char*>(entries + batches[batch].size());
        for (size_t i = 0; i < batches[batch].size(); ++i) {
            entries[i] = NETRESOURCEA{};
            entries[i].lpRemoteName = std::strcpy(names, batches[batch][i].c_str());
            names += batches[batch][i].size() + 1;
        }
        *count = static_cast<DWORD>(batches[batch].size());
        return NO_ERROR;
    }
    static DWORD WINAPI CloseEnum(HANDLE) {
        log += "close ";
        SetEvent(closed);
        return NO_ERROR;
    }
    static BOOL WINAPI WaitNamedPipe(LPCSTR path, DWORD timeout) {
        pipeWaits.push_back(timeout);
        std::string probe = path;
        if (probe.rfind("\\\\.\\", 0) == 0) return realWaitNamedPipe(path, timeout);
        return probe == "\\\\B\\PIPE\\QVT\\ZN\\200\\ServiceManager" || probe == "\\\\C\\PIPE\\QVT\\ZN\\200\\ServiceManager";
    }
    static NET_API_STATUS WINAPI WorkstationInfo(LPWSTR server, DWORD level, LPBYTE* buffer) {
        if (level != 100 || server == nullptr || *server != 0) return ERROR_INVALID_PARAMETER;
        info.wki100_langroup = group;
        *buffer = reinterpret_cast<LPBYTE>(&info);
        return NERR_Success;
    }
    static NET_API_STATUS WINAPI FreeInfo(LPVOID) { return NERR_Success; }
    static FARPROC WINAPI ProcAddress(HMODULE module, LPCSTR name) {
        if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && std::strcmp(name, "NetWkstaGetInfo") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&WorkstationInfo));
        if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && std::strcmp(name, "NetApiBufferFree") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FreeInfo));
        return realGetProcAddress(module, name);
    }
    static HLOCAL WINAPI Allocate(UINT flags, SIZE_T bytes) {
        HLOCAL block = realLocalAlloc(flags, bytes);
        if (block) ++buffersOutstanding;
        return block;
    }
    static HLOCAL WINAPI Free(HLOCAL block) {
        if (block) --buffersOutstanding;
        return realLocalFree(block);
    }
    static HMODULE WINAPI Load(LPCSTR name) {
        HMODULE module = realLoadLibrary(name);
        if (module) ++librariesOutstanding;
        return module;
    }
    static BOOL WINAPI Unload(HMODULE module) {
        --librariesOutstanding;
        return realFreeLibrary(module);
    }
};

class ServerSearchOverNetworkDouble : public ServerSearchDialog {
protected:
    void SetUp() override {
        ServerSearchDialog::SetUp();
        auto& sys = Sys();
        NetworkDouble::batches.clear();
        NetworkDouble::failsForGood = false;
        NetworkDouble::holdFirstCall = false;
        NetworkDouble::log.clear();
        NetworkDouble::enumerateCalls = 0;
        NetworkDouble::buffersOutstanding = 0;
        NetworkDouble::librariesOutstanding = 0;
        NetworkDouble::pipeWaits.clear();
        NetworkDouble::enumerating = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        NetworkDouble::proceed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        NetworkDouble::closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        NetworkDouble::realWaitNamedPipe = sys.WaitNamedPipeA;
        NetworkDouble::realGetProcAddress = sys.GetProcAddress;
        NetworkDouble::realLocalAlloc = sys.LocalAlloc;
        NetworkDouble::realLocalFree = sys.LocalFree;
        NetworkDouble::realLoadLibrary = sys.LoadLibraryA;
        NetworkDouble::realFreeLibrary = sys.FreeLibrary;
        saved_ = sys;
        sys.WNetOpenEnumA = &NetworkDouble::OpenEnum;
        sys.WNetEnumResourceA = &NetworkDouble::Enumerate;
        sys.WNetCloseEnum = &NetworkDouble::CloseEnum;
        sys.WaitNamedPipeA = &NetworkDouble::WaitNamedPipe;
        sys.GetProcAddress = &NetworkDouble::ProcAddress;
        sys.LocalAlloc = &NetworkDouble::Allocate;
        sys.LocalFree = &NetworkDouble::Free;
        sys.LoadLibraryA = &NetworkDouble::Load;
        sys.FreeLibrary = &NetworkDouble::Unload;
    }
    void TearDown() override {
        SetEvent(NetworkDouble::proceed);
        ServerSearchDialog::TearDown();  // stops any worker before the double goes
        Sys() = saved_;
        for (HANDLE event : {NetworkDouble::enumerating, NetworkDouble::proceed, NetworkDouble::closed}) CloseHandle(event);
    }
    // Nothing of the search is left: buffer, enumeration and netapi32.
    void ExpectReleased() {
        EXPECT_EQ(NetworkDouble::buffersOutstanding, 0);
        EXPECT_EQ(NetworkDouble::librariesOutstanding, 0);
        EXPECT_NE(NetworkDouble::log.find("close"), std::string::npos);
    }

    quillon::win32::SystemCalls saved_;
};

TEST_F(ServerSearchOverNetworkDouble, ListsTheComputersWhosePipeAnswers) {
    NetworkDouble::batches = {{"\\\\C", "\\\\A", "\\\\B"}};
    NetworkDouble::holdFirstCall = true;
    SendMessageA(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("OLDSERVER"));
    ASSERT_EQ(quillon::StartServerSearch(dialog_, "", "&Suchen"), 1);
    ASSERT_TRUE(PumpUntil([] { return Signalled(NetworkDouble::enumerating); }));
    EXPECT_FALSE(IsWindowEnabled(button_));
    SetEvent(NetworkDouble::proceed);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(button_) != FALSE; }));
    EXPECT_EQ(ListEntries(listBox_), (std::vector<std::string>{"B", "C"}));
    quillon::StopServerSearch();
    ExpectReleased();

    // What the enumeration was asked for.
    EXPECT_EQ(NetworkDouble::request.dwScope, static_cast<DWORD>(RESOURCE_GLOBALNET));
    EXPECT_EQ(NetworkDouble::request.dwType, static_cast<DWORD>(RESOURCETYPE_ANY));
    EXPECT_EQ(NetworkDouble::request.dwDisplayType, static_cast<DWORD>(RESOURCEDISPLAYTYPE_DOMAIN));
    EXPECT_EQ(NetworkDouble::request.dwUsage, static_cast<DWORD>(RESOURCEUSAGE_CONTAINER));
    EXPECT_EQ(NetworkDouble::requestRemoteName, "QUILLONTEST");
    EXPECT_TRUE(NetworkDouble::requestTextsEmpty);
    EXPECT_EQ(NetworkDouble::firstCount, 0xFFFFFFFFu);
    EXPECT_EQ(NetworkDouble::firstSize, 65536u);
    EXPECT_EQ(NetworkDouble::pipeWaits, (std::vector<DWORD>{10, 10, 10}));
}

TEST_F(ServerSearchOverNetworkDouble, AbbrechenStopsARetryingSearch) {
    NetworkDouble::batches = {{"\\\\B"}};
    NetworkDouble::failsForGood = true;
    ASSERT_EQ(quillon::StartServerSearch(dialog_, "", "&Suchen"), 1);
    ASSERT_TRUE(PumpUntil([&] { return NetworkDouble::enumerateCalls >= 3; }));  // retrying
    EXPECT_EQ(quillon::StopServerSearch(), 1);
    ExpectReleased();  // the worker has ended
    int calls = NetworkDouble::enumerateCalls;
    EXPECT_TRUE(IsWindowEnabled(button_));
    EXPECT_EQ(ListEntries(listBox_), std::vector<std::string>{"B"});
    EXPECT_EQ(NetworkDouble::enumerateCalls, calls);
}

TEST_F(ServerSearchOverNetworkDouble, ClosingTheDialogEndsTheSearch) {
    NetworkDouble::failsForGood = true;
    ASSERT_EQ(quillon::StartServerSearch(dialog_, "", "&Suchen"), 1);
    ASSERT_TRUE(PumpUntil([] { return Signalled(NetworkDouble::enumerating); }));
    DestroyWindow(dialog_);
    ASSERT_TRUE(PumpUntil([] { return Signalled(NetworkDouble::closed); }));
    quillon::StopServerSearch();
    ExpectReleased();
}

TEST_F(ServerSearchOverNetworkDouble, ASecondSearchStopsTheFirst) {
    NetworkDouble::failsForGood = true;
    ASSERT_EQ(quillon::StartServerSearch(dialog_, "", "&Suchen"), 1);
    ASSERT_TRUE(PumpUntil([] { return Signalled(NetworkDouble::enumerating); }));
    ASSERT_EQ(quillon::StartServerSearch(dialog_, "", "&Suchen"), 1);
    ASSERT_TRUE(PumpUntil([] { return NetworkDouble::log.rfind("open") > NetworkDouble::log.find("close"); }));
    EXPECT_EQ(NetworkDouble::log.find("open "), 0u);
    quillon::StopServerSearch();
    ExpectReleased();
}

TEST_F(ServerSearchOverNetworkDouble, ProbesARealPipe) {
    HANDLE pipe = CreateNamedPipeA("\\\\.\\PIPE\\QVT\\ZN\\200\\ServiceManager", PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_BYTE | PIPE_WAIT, 1, 512, 512, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    NetworkDouble::batches = {{"\\\\.", "\\\\A"}};
    ASSERT_EQ(quillon::StartServerSearch(dialog_, "", "&Suchen"), 1);
    ASSERT_TRUE(PumpUntil([] { return Signalled(NetworkDouble::closed); }));
    quillon::StopServerSearch();
    EXPECT_EQ(ListEntries(listBox_), std::vector<std::string>{"."});
    CloseHandle(pipe);

    // Once the pipe is gone, this computer is no longer listed.
    ResetEvent(NetworkDouble::closed);
    NetworkDouble::enumerateCalls = 0;
    ASSERT_EQ(quillon::StartServerSearch(dialog_, "", "&Suchen"), 1);
    ASSERT_TRUE(PumpUntil([] { return Signalled(NetworkDouble::closed); }));
    quillon::StopServerSearch();
    EXPECT_TRUE(ListEntries(listBox_).empty());
}

}  // namespace
