// The module's classes, in order: CQuillonConfig, Property, Feature,
// Features, Properties. Each has its class identifier, the number of its
// registration script (0: it is not registered) and its creation routine,
// and keeps its class object from the first request until the module ends.
#pragma once

#include <windows.h>

#include "com/class_object.h"

namespace quillon::com {

struct ClassEntry {
    const CLSID* classId;
    int scriptResource;
    CreateRoutine create;
    ClassObject* classObject;  // made on first request, under the module's class-object lock
};

// The table itself, `count` entries.
ClassEntry* ClassTable(size_t* count /* out */);

// DllGetClassObject: the class object of `classId`, asked for `iid`.
HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object /* out */);

// Gives up the table's reference to every class object.
void ReleaseClassObjects();

}  // namespace quillon::com
