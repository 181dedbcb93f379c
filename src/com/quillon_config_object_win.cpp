#include "com/quillon_config_object.h"

#include "com/bstr_text.h"
#include "com/component_name.h"
#include "platform/export_guard.h"

namespace quillon::com {

// Every member answers S_OK, whatever happened, as scripts expect.
template <typename Body>
HRESULT Always(Body&& body) {
    Guarded(0, [&] {
        body();
        return 0;
    });
    return S_OK;
}

STDMETHODIMP QuillonConfigObject::Parse(BSTR fileName) {
    return Always([&] { config_.Load(TextFromBSTR(fileName)); });
}

STDMETHODIMP QuillonConfigObject::put_AppName(BSTR name) {
    return Always([&] { config_.appName = TextFromBSTR(name); });
}

STDMETHODIMP QuillonConfigObject::SetProp(BSTR name, BSTR text, LONG type) {
    return Always([&] { config_.SetProperty(TextFromBSTR(name), TextFromBSTR(text), type); });
}

STDMETHODIMP QuillonConfigObject::put_AppVersion(BSTR version) {
    return Always([&] { config_.appVersion = TextFromBSTR(version); });
}

STDMETHODIMP QuillonConfigObject::GetComponentName(LONG moduleId, LONG module, BSTR* name) {
    if (name == nullptr) return S_OK;
    *name = nullptr;
    return Always([&] { ToBSTR(FindComponentName(config_, moduleId, module), name); });
}

STDMETHODIMP QuillonConfigObject::put_Mode(BSTR mode) {
    return Always([&] { config_.SetSignMode(TextFromBSTR(mode).Text()); });
}

}  // namespace quillon::com
