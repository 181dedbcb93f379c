// ClassObject: the class object (IClassFactory) of one class, made on the
// first DllGetClassObject for it and kept in the class table.
//
// The table's own reference does not keep the DLL loaded: the module lock
// count goes up when a client takes the count from 1 to 2 and down when it
// falls back to 1; at 0 the class object is destroyed. The count is changed
// under a lock of the class object's own, since clients of any apartment
// may share it.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "com/com_module.h"

namespace quillon::com {

using CreateRoutine = IUnknown* (*)(IUnknown* outer);

class ClassObject final : public IClassFactory {
public:
    explicit ClassObject(CreateRoutine create) : create_(create) {}
    ClassObject(const ClassObject&) = delete;
    ClassObject& operator=(const ClassObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassObject() = default;

    CreateRoutine create_;
    CriticalSection lock_;
    ULONG references_ = 0;
};

}  // namespace quillon::com
