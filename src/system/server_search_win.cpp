// The server search on Windows: the worker thread, its host over the network
// calls and the caller's dialog, and ServerSearchState, the exports' record of
// the running search.
//
// Each search has a SearchRun of its own that the worker shares with the
// state. Stopping is a request (an event) that the worker checks before every
// probe and every addition; it is never killed, since a thread killed inside
// the network client can leave the process heap locked. A stopped worker
// releases its enumeration, buffer and bridge itself as it ends.
#include "system/server_search_dialog.h"

#include <lm.h>
#include <winnetwk.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/export_guard.h"
#include "platform/win32/owners.h"
#include "platform/win32/system_calls.h"
#include "system/net_api_bridge.h"
#include "system/server_search.h"

namespace quillon {
namespace {

using win32::Sys;

constexpr int kWindowTextCapacity = 200;       // at most 199 characters compared
constexpr int kSelectionCapacity = 260;        // at most 259 characters handed back
constexpr DWORD kWorkerStackSize = 1000;
constexpr DWORD kEnumerationBufferSize = 65536;
constexpr DWORD kAsManyAsFit = 0xFFFFFFFF;
constexpr DWORD kPipeWaitMs = 10;
constexpr DWORD kWorkstationInfoLevel = 100;
// A failed enumeration is tried again after this pause; a stop request ends
// the pause at once, a closed dialog is noticed after it.
constexpr DWORD kRetryPauseMs = 250;
// How long a stop waits for the worker. A worker inside a slow network call
// may take longer; it then ends on its own, touching nothing of the dialog.
constexpr DWORD kStopWaitMs = 5000;

// One search, shared by its worker and, until it is stopped or replaced, by
// the state.
struct SearchRun {
    HWND listBox = nullptr;
    HWND button = nullptr;
    win32::UniqueHandle stopRequest;  // manual-reset event
    HMODULE module = nullptr;         // the worker's reference to this module
};

struct ServerSearchState {
    win32::UniqueHandle worker;
    std::shared_ptr<SearchRun> run;
    HWND listBox = nullptr;
    HWND button = nullptr;
};

ServerSearchState& State() {
    static ServerSearchState state;
    return state;
}

class DialogNetworkHost : public ServerSearchHost {
public:
    explicit DialogNetworkHost(const SearchRun& run) : run_(run) {}

    void EnableSearchButton(bool enable) override { Sys().EnableWindow(run_.button, enable ? TRUE : FALSE); }
    bool ListBoxExists() override { return Sys().IsWindow(run_.listBox) != FALSE; }
    void ClearList() override { Sys().SendMessageA(run_.listBox, LB_RESETCONTENT, 0, 0); }
    void AddToList(const char* name) override {
        LRESULT index = Sys().SendMessageA(run_.listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (index >= 0) Sys().SendMessageA(run_.listBox, LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
    }

    TextString DomainName() override {
        unsigned char* info = nullptr;
        TextString domain;
        if (bridge_.GetWorkstationInfo(L"", kWorkstationInfoLevel, &info) == NERR_Success && info != nullptr) {
            const wchar_t* group = reinterpret_cast<const WKSTA_INFO_100*>(info)->wki100_langroup;
            if (group != nullptr) domain = TextString(reinterpret_cast<const char16_t*>(group));
        }
        bridge_.FreeWorkstationInfo(info);
        return domain;
    }

    bool OpenEnumeration(const char* domain) override {
        char empty[] = "";
        std::vector<char> remoteName(domain, domain + std::strlen(domain) + 1);
        NETRESOURCEA request = {};
        request.dwScope = RESOURCE_GLOBALNET;
        request.dwType = RESOURCETYPE_ANY;
        request.dwDisplayType = RESOURCEDISPLAYTYPE_DOMAIN;
        request.dwUsage = RESOURCEUSAGE_CONTAINER;
        request.lpLocalName = empty;
        request.lpRemoteName = remoteName.data();
        request.lpComment = empty;
        request.lpProvider = empty;
        HANDLE opened = nullptr;
        if (Sys().WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &request, &opened) != NO_ERROR) return false;
        enumeration_.Reset(opened);
        buffer_ = win32::LocalBuffer::Allocate(kEnumerationBufferSize);
        if (!buffer_) enumeration_.Reset();
        return static_cast<bool>(buffer_);
    }

    uint32_t EnumerateNext(uint32_t* entries) override {
        DWORD status = Sys().WNetEnumResourceA(enumeration_.Get(), &entryCount_, buffer_.Get(), &bufferSize_);
        // Count and size carry over from call to call, but a call that wanted
        // more room must not make the next one offer more than the buffer has.
        bufferSize_ = std::min(bufferSize_, kEnumerationBufferSize);
        *entries = status == NO_ERROR ? std::min<DWORD>(entryCount_, kEnumerationBufferSize / sizeof(NETRESOURCEA)) : 0;
        return status;
    }
    const char* RemoteName(uint32_t index) override { return buffer_.As<NETRESOURCEA>()[index].lpRemoteName; }
    void CloseEnumeration() override {
        buffer_.Reset();
        enumeration_.Reset();
    }
    bool PipeAnswers(const char* probePath) override { return Sys().WaitNamedPipeA(probePath, kPipeWaitMs) != FALSE; }

    bool StopRequested() override { return Sys().WaitForSingleObject(run_.stopRequest.Get(), 0) == WAIT_OBJECT_0; }
    void PauseBeforeRetry() override { Sys().WaitForSingleObject(run_.stopRequest.Get(), kRetryPauseMs); }

private:
    const SearchRun& run_;
    NetApiBridge bridge_;
    win32::NetworkEnumeration enumeration_;
    win32::LocalBuffer buffer_;
    DWORD entryCount_ = kAsManyAsFit;
    DWORD bufferSize_ = kEnumerationBufferSize;
};

DWORD WINAPI ServerSearchWorker(void* argument) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<std::shared_ptr<SearchRun>> run(static_cast<std::shared_ptr<SearchRun>*>(argument));
        module = (*run)->module;
        Guarded(0, [&] {
            DialogNetworkHost host(**run);
            RunServerSearch(host);
            return 0;
        });
    }
    // The worker holds a reference to this module, so the caller may unload
    // the library while a stopped worker still ends; the reference goes
    // together with the thread.
    Sys().FreeLibraryAndExitThread(module, 0);
    return 0;
}

// Waits for `thread` to end, carrying out the messages sent to this thread
// meanwhile: the worker may be inside SendMessageA to a list box of ours.
bool WaitServingSentMessages(HANDLE thread, DWORD bound) {
    DWORD start = Sys().GetTickCount();
    for (;;) {
        DWORD elapsed = Sys().GetTickCount() - start;
        if (elapsed >= bound) return false;
        DWORD woken = Sys().MsgWaitForMultipleObjects(1, &thread, FALSE, bound - elapsed, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken != WAIT_OBJECT_0 + 1) return false;
        MSG message;
        Sys().PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Asks the running worker to stop and waits for it. The state forgets the
// worker either way: it keeps its own reference to its run, and the handle is
// closed only here, so a worker that ended is never reached through a stale
// handle.
void StopRunningWorker(ServerSearchState& state) {
    if (state.run) Sys().SetEvent(state.run->stopRequest.Get());
    if (state.worker) WaitServingSentMessages(state.worker.Get(), kStopWaitMs);
    state.worker.Reset();
    state.run.reset();
}

// The last child of `parent`, in child order, whose window text equals each
// wanted text (null wants nothing), compared byte for byte.
void FindControls(HWND parent, const char* firstText, HWND* first, const char* secondText, HWND* second) {
    for (HWND child = Sys().GetTopWindow(parent); child != nullptr; child = Sys().GetWindow(child, GW_HWNDNEXT)) {
        char text[kWindowTextCapacity] = {};
        Sys().GetWindowTextA(child, text, kWindowTextCapacity);
        if (firstText != nullptr && std::strcmp(text, firstText) == 0) *first = child;
        if (second != nullptr && secondText != nullptr && std::strcmp(text, secondText) == 0) *second = child;
    }
}

}  // namespace

int StartServerSearch(HWND parent, const char* listBoxText, const char* buttonText) {
    HWND listBox = nullptr;
    HWND button = nullptr;
    FindControls(parent, listBoxText, &listBox, buttonText, &button);
    if (listBox == nullptr || button == nullptr) return 0;

    ServerSearchState& state = State();
    StopRunningWorker(state);
    state.listBox = listBox;
    state.button = button;

    auto run = std::make_shared<SearchRun>();
    run->listBox = listBox;
    run->button = button;
    run->stopRequest.Reset(Sys().CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!run->stopRequest) return 0;
    if (!Sys().GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                  reinterpret_cast<const char*>(&ServerSearchWorker), &run->module)) {
        return 0;
    }
    auto argument = std::make_unique<std::shared_ptr<SearchRun>>(run);
    HANDLE worker = Sys().CreateThread(nullptr, kWorkerStackSize, &ServerSearchWorker, argument.get(), 0, nullptr);
    if (worker == nullptr) {
        Sys().FreeLibrary(run->module);
        return 0;
    }
    argument.release();  // the worker's now
    state.worker.Reset(worker);
    state.run = std::move(run);
    return 1;
}

int ReadListSelection(HWND parent, char* buffer) {
    if (buffer == nullptr) return 0;
    HWND listBox = nullptr;
    FindControls(parent, buffer, &listBox, nullptr, nullptr);
    if (listBox == nullptr) return 0;
    LRESULT selected = Sys().SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return 0;
    // LB_GETTEXT takes no capacity: ask for the length first, so a long entry
    // cannot overrun the buffer, then hand back at most 259 characters.
    LRESULT length = Sys().SendMessageA(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length == LB_ERR) return 0;
    std::vector<char> text(static_cast<size_t>(length) + 1, 0);
    LRESULT copied = Sys().SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text.data()));
    if (copied == LB_ERR) return 0;
    size_t kept = std::min<size_t>(std::strlen(text.data()), kSelectionCapacity - 1);
    std::memcpy(buffer, text.data(), kept);
    buffer[kept] = 0;
    return 1;
}

int StopServerSearch() {
    ServerSearchState& state = State();
    StopRunningWorker(state);
    if (state.button != nullptr) Sys().EnableWindow(state.button, TRUE);
    return 1;
}

}  // namespace quillon
