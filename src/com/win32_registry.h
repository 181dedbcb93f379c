// Win32Registry: the registry that the registration scripts write, behind
// the RegistryStore interface. Keys are opened and created through the
// system-call table and closed by their owners.
#pragma once

#include "com/registry_store.h"

namespace quillon::com {

class Win32Registry : public RegistryStore {
public:
    std::unique_ptr<RegistryStoreKey> OpenRoot(RegistryRoot root) override;
};

}  // namespace quillon::com
