// CQuillonConfig: the automation class over a setup configuration of its
// own (never one of the exported API's handles). Its members map onto the
// configuration: Parse loads a file, AppName / AppVersion choose the
// section, Mode switches protection mode, SetProp sets a script variable and
// GetComponentName looks a component up. They all answer S_OK: a file that
// does not load, a section that does not match or a signature that does not
// verify shows only as an empty result of GetComponentName.
#pragma once

#include "com/automation_object.h"
#include "com/quillon_h.h"
#include "config/setup_config.h"

namespace quillon::com {

class QuillonConfigObject : public AutomationObject<ICQuillonConfig, &IID_ICQuillonConfig> {
public:
    explicit QuillonConfigObject(IUnknown* outer) : AutomationObject(outer) {}

    STDMETHODIMP Parse(BSTR fileName) override;
    STDMETHODIMP put_AppName(BSTR name) override;
    STDMETHODIMP SetProp(BSTR name, BSTR text, LONG type) override;
    STDMETHODIMP put_AppVersion(BSTR version) override;
    STDMETHODIMP GetComponentName(LONG moduleId, LONG module, BSTR* name) override;
    STDMETHODIMP put_Mode(BSTR mode) override;

private:
    SetupConfig config_;
};

}  // namespace quillon::com
