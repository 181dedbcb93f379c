// The exported configuration functions: thin stdcall shims over SetupConfig
// and its tree. A configuration handle is the address of a SetupConfig, a
// node handle the address of a ConfigNode; a handle of 0 is answered with 0
// before anything else happens, any other value is trusted. No exception
// leaves these functions.
#include <windows.h>

#include <new>

#include "config/setup_config.h"
#include "platform/export_guard.h"

using quillon::ConfigNode;
using quillon::SetupConfig;
using quillon::TextListItem;
using quillon::TextString;

namespace {

SetupConfig* ConfigOf(ULONG_PTR handle) { return reinterpret_cast<SetupConfig*>(handle); }
ConfigNode* NodeOf(ULONG_PTR handle) { return reinterpret_cast<ConfigNode*>(handle); }
ULONG_PTR HandleOf(const void* object) { return reinterpret_cast<ULONG_PTR>(object); }
ULONG_PTR HandleOf(const TextListItem* item) { return item ? HandleOf(item->value) : 0; }

// lstrcpyA semantics without its SEH: a null text leaves the buffer alone.
void CopyOut(const quillon::CompactText& text, char* buffer) {
    if (text.IsNull() || buffer == nullptr) return;
    lstrcpyA(buffer, text.Text());
}

}  // namespace

extern "C" {

ULONG_PTR __stdcall Init() noexcept {
    return quillon::Guarded<ULONG_PTR>(0, [&] {
        return HandleOf(new (std::nothrow) SetupConfig);
    });
}

// The object outlives Release on purpose: installers call it while other
// custom actions of the same session still hold the handle.
void __stdcall Release(ULONG_PTR config) noexcept {}

int __stdcall SetAppName(ULONG_PTR config, const char* name) noexcept {
    if (config == 0) return 0;
    return quillon::Guarded(0, [&] {
        ConfigOf(config)->appName.Assign(name);
        return 1;
    });
}

int __stdcall SetAppVersion(ULONG_PTR config, const char* version) noexcept {
    if (config == 0) return 0;
    return quillon::Guarded(0, [&] {
        ConfigOf(config)->appVersion.Assign(version);
        return 1;
    });
}

int __stdcall SetSignMode(ULONG_PTR config, const char* mode) noexcept {
    if (config == 0) return 0;
    return quillon::Guarded(0, [&] {
        ConfigOf(config)->SetSignMode(mode);
        return 1;
    });
}

// 0 after a load without XML error (also when the file cannot be read),
// 1 after an XML error.
int __stdcall Parse(ULONG_PTR config, const char* fileName) noexcept {
    if (config == 0) return 0;
    return quillon::Guarded(0, [&] {
        return ConfigOf(config)->Load(TextString(fileName));
    });
}

ULONG_PTR __stdcall GetRoot(ULONG_PTR config) noexcept {
    if (config == 0) return 0;
    return HandleOf(&ConfigOf(config)->tree.root);
}

// A name finds the first child of that name (without regard to case); a null
// or empty name gives the first child. The children's cursor stays on the
// result, for GetNextSubNode.
ULONG_PTR __stdcall GetSubNode(ULONG_PTR node, const char* name) noexcept {
    if (node == 0) return 0;
    return quillon::Guarded<ULONG_PTR>(0, [&]() -> ULONG_PTR {
        quillon::TextList* children = NodeOf(node)->children;
        if (children == nullptr) return 0;
        if (name != nullptr && name[0] != 0) return HandleOf(children->Find(name));
        return HandleOf(children->GetFirst());
    });
}

// The child after the cursor, whatever its name; after the last child 0,
// and the call after that starts over at the first.
ULONG_PTR __stdcall GetNextSubNode(ULONG_PTR node) noexcept {
    if (node == 0) return 0;
    quillon::TextList* children = NodeOf(node)->children;
    if (children == nullptr) return 0;
    return HandleOf(children->GetNext());
}

// The buffer must hold the longest name plus its terminator: there is no
// length to check against.
int __stdcall GetNodeType(ULONG_PTR node, char* buffer) noexcept {
    if (node == 0) return 0;
    CopyOut(NodeOf(node)->name, buffer);
    return 1;
}

int __stdcall GetNodeText(ULONG_PTR node, char* buffer) noexcept {
    if (node == 0) return 0;
    CopyOut(NodeOf(node)->text, buffer);
    return 1;
}

int __stdcall Write2XML(ULONG_PTR config, const char* fileName) noexcept {
    if (config == 0) return 0;
    return quillon::Guarded(0, [&] {
        return ConfigOf(config)->Save(TextString(fileName));
    });
}

ULONG_PTR __stdcall AddChildNode(ULONG_PTR parent, const char* name, const char* text) noexcept {
    if (parent == 0) return 0;
    return quillon::Guarded<ULONG_PTR>(0, [&] {
        // `current` is not touched: editing never moves it.
        ConfigNode* node = quillon::AppendChild(NodeOf(parent), name);
        if (node != nullptr && text != nullptr && text[0] != 0) node->text.Assign(text);
        return HandleOf(node);
    });
}

int __stdcall SetNodeText(ULONG_PTR node, const char* text) noexcept {
    if (node == 0) return 0;
    return quillon::Guarded(0, [&] {
        NodeOf(node)->text.Assign(text);
        return 1;
    });
}

}  // extern "C"
