// RegistryStore and RegistryStoreKey: the registry as the registration scripts
// see it. The script interpreter (registry_script.h) works only through these
// two interfaces, so it runs unchanged against the Windows registry
// (win32_registry_win.cpp) and against the in-memory registry of the tests
// and the fuzz target (memory_registry.h).
//
// A RegistryStoreKey is an open key; destroying it closes it. Names of keys and
// values are ANSI text; a null value name stands for the key's default value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillon {

enum class RegistryRoot {
    kClassesRoot,
    kCurrentUser,
    kLocalMachine,
    kUsers,
    kPerformanceData,
    kDynData,
    kCurrentConfig,
};

enum class RegistryValueType {
    kString,  // REG_SZ: the text and its terminating 0
    kNumber,  // REG_DWORD: 4 bytes, little-endian
    kBytes,   // REG_BINARY
};

struct RegistryValue {
    RegistryValueType type = RegistryValueType::kString;
    std::string data;  // the bytes stored, exactly
};

class RegistryStoreKey {
public:
    virtual ~RegistryStoreKey() = default;

    // An existing subkey, for reading and writing or for reading only; null
    // when it cannot be opened that way.
    virtual std::unique_ptr<RegistryStoreKey> Open(const char* name, bool writable) = 0;
    // The subkey, created when it does not exist; null when that fails.
    virtual std::unique_ptr<RegistryStoreKey> Create(const char* name) = 0;

    virtual bool HasSubkeys() = 0;
    virtual void SetValue(const char* name, const RegistryValue& value) = 0;
    virtual void DeleteValue(const char* name) = 0;
    // Deletes the subkey with everything below it. Like the value calls,
    // the deletions report no failure: the scripts go on regardless.
    virtual void DeleteTree(const char* name) = 0;
    // Deletes the subkey, which must have no subkeys of its own.
    virtual void DeleteSubkey(const char* name) = 0;
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    virtual std::unique_ptr<RegistryStoreKey> OpenRoot(RegistryRoot root) = 0;
};

}  // namespace quillon
