// MemoryRegistry: a registry held in memory, for running registration
// scripts where the real registry is out of reach or must not be touched:
// the native tests and the fuzz target.
//
// Key and value names are compared without regard to the case of ASCII
// letters, as the registry does. Keys can be made read-only or inaccessible
// to show how scripts behave where the real registry refuses access.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "com/registry_store.h"

namespace quillon {

class MemoryRegistry : public RegistryStore {
public:
    enum class Access {
        kFull,
        kReadOnly,  // opens only for reading; cannot be created, changed or deleted
        kNone,      // cannot be opened, created or deleted
    };

    MemoryRegistry();
    ~MemoryRegistry() override;

    std::unique_ptr<RegistryStoreKey> OpenRoot(RegistryRoot root) override;

    // Creates a key and the keys above it: "HKCR\A\B".
    void AddKey(const std::string& path);
    // The access to one key (and only that key), whether it exists yet or not.
    void SetAccess(const std::string& path, Access access);

    // Every key and value, one per line, keys in the order of their names
    // folded to lower case: "HKCR\A\B" or "HKCR\A\B = 'default'", then one
    // "HKCR\A\B [Name] = 'text'" per named value. Numbers show as "dword:12",
    // bytes as "hex:0a0b".
    std::string Dump() const;

    struct Node;

private:
    friend class MemoryKey;
    Access AccessOf(const std::string& path) const;

    std::unique_ptr<Node> roots_[7];
    std::map<std::string, Access> access_;  // by folded path
};

}  // namespace quillon
