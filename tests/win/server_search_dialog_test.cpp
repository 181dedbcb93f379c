// The server search on a dialog made from the DLL's own template 201 (which
// these tests show has the sorted list box and the button a search finds):
// the exports through the DLL, and the worker over a network double put in
// through the system-call table (Wine has no network to enumerate).
// Windows are created, so this runs under xvfb-run.
#include <windows.h>
#include <lm.h>
#include <winnetwk.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dll_export.h"
#include "platform/win32/system_calls.h"
#include "system/server_search_dialog.h"

namespace {

using quillon::win32::Sys;

// Dispatches this thread's messages until `done`; false after a generous
// bound, so a fault shows as a failure rather than a hang.
bool PumpUntil(const std::function<bool()>& done) {
    for (DWORD start = GetTickCount(); !done();) {
        if (GetTickCount() - start > 30000) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

std::vector<std::string> ListEntries(HWND listBox) {
    std::vector<std::string> entries;
    for (LRESULT i = 0; i < SendMessageA(listBox, LB_GETCOUNT, 0, 0); ++i) {
        char text[260] = {};
        SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

// The network: an enumeration that hands out `batches` anew for each search
// and then ends (259) or fails for good (53), and a pipe that answers on \\B
// and \\C. The workgroup comes from this computer's network client for real.
struct NetworkDouble {
    static inline std::vector<std::vector<std::string>> batches;
    static inline bool failsForGood;
    static inline std::atomic<int> opens, closes, enumerations;  // enumerations: of the latest search
    static inline int closesAtLastOpen;
    static inline std::string seen;  // the request, the first offer, and each pipe's wait

    static DWORD WINAPI OpenEnum(DWORD scope, DWORD type, DWORD usage, LPNETRESOURCEA r, LPHANDLE handle) {
        seen = std::to_string(scope) + " " + std::to_string(type) + " " + std::to_string(usage) + " | " +
               std::to_string(r->dwScope) + " " + std::to_string(r->dwType) + " " + std::to_string(r->dwDisplayType) +
               " " + std::to_string(r->dwUsage) + " " + r->lpRemoteName + " [" + r->lpLocalName + r->lpComment +
               r->lpProvider + "]";
        closesAtLastOpen = closes;
        enumerations = 0;
        ++opens;
        *handle = reinterpret_cast<HANDLE>(0x5EA);
        return NO_ERROR;
    }
    static DWORD WINAPI Enumerate(HANDLE, LPDWORD count, LPVOID buffer, LPDWORD size) {
        if (enumerations == 0) seen += " " + std::to_string(*count) + " " + std::to_string(*size);
        size_t batch = static_cast<size_t>(enumerations++);
        if (batch >= batches.size()) return failsForGood ? ERROR_BAD_NETPATH : ERROR_NO_MORE_ITEMS;
        auto* entries = static_cast<NETRESOURCEA*>(buffer);
        char* names = reinterpret_cast<char*>(entries + batches[batch].size());
        for (const std::string& name : batches[batch]) {
            *entries = NETRESOURCEA{};
            (entries++)->lpRemoteName = std::strcpy(names, name.c_str());
            names += name.size() + 1;
        }
        *count = static_cast<DWORD>(batches[batch].size());
        return NO_ERROR;
    }
    static DWORD WINAPI CloseEnum(HANDLE) { return ++closes, NO_ERROR; }
    static BOOL WINAPI WaitNamedPipe(LPCSTR path, DWORD timeout) {
        seen += " " + std::to_string(timeout);
        std::string probe = path;
        return probe == "\\\\B\\PIPE\\QVT\\ZN\\200\\ServiceManager" || probe == "\\\\C\\PIPE\\QVT\\ZN\\200\\ServiceManager";
    }
};

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The DLL's template 201 as a dialog, with the network double in this
// program's system-call table (the DLL's own table stays real).
class ServerSearchDialog : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("Quillon.dll");
        ASSERT_NE(library_, nullptr);
        dialog_ = CreateDialogParamA(library_, MAKEINTRESOURCEA(201), nullptr, &PlainDialog, 0);
        listBox_ = GetDlgItem(dialog_, 202);
        button_ = GetDlgItem(dialog_, 3);
        ASSERT_TRUE(dialog_ && listBox_ && button_);
        NetworkDouble::batches.clear();
        NetworkDouble::failsForGood = false;
        NetworkDouble::opens = NetworkDouble::closes = 0;
        Sys().WNetOpenEnumA = &NetworkDouble::OpenEnum;
        Sys().WNetEnumResourceA = &NetworkDouble::Enumerate;
        Sys().WNetCloseEnum = &NetworkDouble::CloseEnum;
        Sys().WaitNamedPipeA = &NetworkDouble::WaitNamedPipe;
    }
    void TearDown() override {
        quillon::StopServerSearch();  // before the double goes
        Sys() = saved_;
        if (IsWindow(dialog_)) DestroyWindow(dialog_);
        if (library_) FreeLibrary(library_);
    }
    bool Search() { return quillon::StartServerSearch(dialog_, "", "&Suchen") == 1; }

    quillon::win32::SystemCalls saved_ = Sys();
    HMODULE library_ = nullptr;
    HWND dialog_ = nullptr, listBox_ = nullptr, button_ = nullptr;
};

// Through the DLL, over this machine's own network (nothing to enumerate).
TEST_F(ServerSearchDialog, ExportsThroughTheDll) {
    auto search = DllExport<int(__stdcall*)(HWND, const char*, const char*)>(library_, "SearchServer");
    auto selection = DllExport<int(__stdcall*)(HWND, char*)>(library_, "GetLBSelection");
    auto cancel = DllExport<int(__stdcall*)()>(library_, "Abbrechen");
    ASSERT_TRUE(search && selection && cancel);
    SendMessageA(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("OLDSERVER"));

    EXPECT_EQ(search(dialog_, "", "Suchen"), 0);
    EXPECT_EQ(search(dialog_, "no such list", "&Suchen"), 0);
    ASSERT_EQ(search(dialog_, "", "&Suchen"), 1);
    EXPECT_EQ(cancel(), 1);  // also waits for the worker if it still runs

    char buffer[300] = "";
    EXPECT_EQ(selection(dialog_, buffer), 0);  // nothing selected
    SendMessageA(listBox_, LB_SETCURSEL, 0, 0);
    std::strcpy(buffer, "no such list");
    EXPECT_EQ(selection(dialog_, buffer), 0);
    buffer[0] = 0;
    EXPECT_EQ(selection(dialog_, buffer), 1);
    EXPECT_STREQ(buffer, "OLDSERVER");
    // An entry longer than the 260-byte buffer is cut, not overrun.
    SendMessageA(listBox_, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(std::string(280, 'S').c_str()));
    SendMessageA(listBox_, LB_SETCURSEL, 0, 0);
    buffer[0] = 0;
    std::memset(buffer + 1, 'x', sizeof buffer - 1);
    EXPECT_EQ(selection(dialog_, buffer), 1);
    EXPECT_EQ(std::string(buffer), std::string(259, 'S'));
    EXPECT_EQ(buffer[260], 'x');
}

TEST_F(ServerSearchDialog, ListsTheComputersWhosePipeAnswers) {
    NetworkDouble::batches = {{"\\\\C", "\\\\A", "\\\\B"}};
    SendMessageA(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("OLDSERVER"));
    ASSERT_TRUE(Search());
    ASSERT_TRUE(PumpUntil([&] { return NetworkDouble::closes == 1 && IsWindowEnabled(button_); }));
    EXPECT_EQ(ListEntries(listBox_), (std::vector<std::string>{"B", "C"}));
    // The workgroup as this computer's network client reports it.
    WKSTA_INFO_100* info = nullptr;
    ASSERT_EQ(NetWkstaGetInfo(nullptr, 100, reinterpret_cast<LPBYTE*>(&info)), 0u);
    char workgroup[64] = {};
    WideCharToMultiByte(CP_ACP, 0, info->wki100_langroup, -1, workgroup, sizeof workgroup, nullptr, nullptr);
    // GLOBALNET, ANY, usage 0 | a GLOBALNET domain container named after the
    // workgroup, empty texts; then as many entries as fit into 65536 bytes;
    // each pipe waited for 10 ms.
    EXPECT_EQ(NetworkDouble::seen, "2 0 0 | 2 0 1 2 " + std::string(workgroup) + " [] 4294967295 65536 10 10 10");
}

// A second search, and then Abbrechen, each stop a search that retries.
TEST_F(ServerSearchDialog, ASecondSearchAndAbbrechenStopARetryingSearch) {
    NetworkDouble::batches = {{"\\\\B"}};
    NetworkDouble::failsForGood = true;
    for (int search = 1; search <= 2; ++search) {
        ASSERT_TRUE(Search());
        ASSERT_TRUE(PumpUntil([&] { return NetworkDouble::opens == search && NetworkDouble::enumerations >= 3; }));
    }
    EXPECT_EQ(NetworkDouble::closesAtLastOpen, 1);  // the first was closed before the second opened
    EXPECT_FALSE(IsWindowEnabled(button_));
    EXPECT_EQ(quillon::StopServerSearch(), 1);
    EXPECT_EQ(NetworkDouble::closes, 2);  // so the worker has ended
    EXPECT_TRUE(IsWindowEnabled(button_));
    EXPECT_EQ(ListEntries(listBox_), std::vector<std::string>{"B"});
}

TEST_F(ServerSearchDialog, ClosingTheDialogEndsTheSearch) {
    NetworkDouble::failsForGood = true;
    ASSERT_TRUE(Search());
    ASSERT_TRUE(PumpUntil([] { return NetworkDouble::enumerations >= 1; }));
    DestroyWindow(dialog_);
    EXPECT_TRUE(PumpUntil([] { return NetworkDouble::closes == 1; }));
}

}  // namespace
