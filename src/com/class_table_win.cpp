#include "com/class_table.h"

#include <new>

#include "com/collection_object.h"
#include "com/item_objects.h"
#include "com/quillon_config_object.h"

namespace quillon::com {
namespace {

ClassEntry classes[] = {
    {&CLSID_CQuillonConfig, 101, &CreateObject<QuillonConfigObject>, nullptr},
    {&CLSID_Property, 102, &CreateObject<PropertyObject>, nullptr},
    {&CLSID_Feature, 103, &CreateObject<FeatureObject>, nullptr},
    {&CLSID_Features, 0, &CreateObject<FeaturesObject>, nullptr},
    {&CLSID_Properties, 0, &CreateObject<PropertiesObject>, nullptr},
};

// The entry's class object, made unless it is there; null when no memory
// is left. The lock-free first look serves every request but the first.
ClassObject* ClassObjectOf(ClassEntry& entry) {
    ClassObject* made = static_cast<ClassObject*>(
        ::InterlockedCompareExchangePointer(reinterpret_cast<void**>(&entry.classObject), nullptr, nullptr));
    if (made != nullptr) return made;
    ScopedLock lock(ClassObjectLock());
    if (entry.classObject == nullptr) {
        made = new (std::nothrow) ClassObject(entry.create);
        if (made == nullptr) return nullptr;
        made->AddRef();  // the table's reference
        ::InterlockedExchangePointer(reinterpret_cast<void**>(&entry.classObject), made);
    }
    return entry.classObject;
}

}  // namespace

ClassEntry* ClassTable(size_t* count) {
    *count = sizeof classes / sizeof classes[0];
    return classes;
}

HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (ClassEntry& entry : classes) {
        if (!IsEqualCLSID(classId, *entry.classId)) continue;
        ClassObject* classObject = ClassObjectOf(entry);
        if (classObject == nullptr) return E_OUTOFMEMORY;
        return classObject->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

void ReleaseClassObjects() {
    for (ClassEntry& entry : classes) {
        ClassObject* classObject = entry.classObject;
        entry.classObject = nullptr;
        if (classObject != nullptr) classObject->Release();
    }
}

}  // namespace quillon::com
