// A stand-in installer for the tests of the installer actions, native and
// under Wine: properties in memory, run modes, the capacities offered, and the
// failures a real installer can give. It answers like msi.dll does: an unset
// property reads as "", a too small buffer gets ERROR_MORE_DATA with the
// length needed, a handle it does not know gets ERROR_INVALID_HANDLE.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "installer/installer_bridge.h"

namespace quillon::test {

class InstallerDouble : public InstallerBridge {
public:
    static constexpr InstallerHandle kHandle = 42;

    std::map<std::string, std::string> properties;
    std::map<int, int> runModes;  // mode -> answer; others answer 0
    bool available = true;        // false: answers as without msi.dll
    bool alwaysMoreData = false;  // plays an installer whose value never fits
    unsigned long moreDataLength = 10;  // the length it then reports
    std::map<std::string, uint32_t> getAnswers;  // property -> forced answer of a get (nothing read)
    std::map<std::string, uint32_t> setAnswers;  // property -> forced answer of a set (nothing stored)

    std::vector<unsigned long> offered;  // capacity offered by each get

    uint32_t GetPropertyRaw(InstallerHandle handle, const char* name, char* buffer, unsigned long* capacity) override {
        if (!available) return kUnavailable;
        offered.push_back(*capacity);
        if (handle != kHandle) return 6;   // ERROR_INVALID_HANDLE
        if (name == nullptr) return 87;    // ERROR_INVALID_PARAMETER
        if (getAnswers.count(name) != 0) return getAnswers.at(name);
        if (alwaysMoreData) {
            *capacity = moreDataLength;
            return kMoreData;
        }
        std::string value = Get(name);
        if (value.size() >= *capacity) {
            *capacity = static_cast<unsigned long>(value.size());
            return kMoreData;
        }
        std::memcpy(buffer, value.c_str(), value.size() + 1);
        *capacity = static_cast<unsigned long>(value.size());
        return 0;
    }

    uint32_t SetInstallerProperty(InstallerHandle handle, const char* name, const char* value) override {
        if (!available) return kUnavailable;
        if (handle != kHandle) return 6;
        if (name == nullptr) return 87;
        if (setAnswers.count(name) != 0) return setAnswers.at(name);
        properties[name] = value ? value : "";
        return 0;
    }

    int GetInstallerMode(InstallerHandle handle, int runMode) override {
        if (!available || handle != kHandle) return 0;
        return runModes.count(runMode) != 0 ? runModes.at(runMode) : 0;
    }

    // The value a property holds now, "" when unset.
    std::string Get(const std::string& name) const {
        auto found = properties.find(name);
        return found == properties.end() ? "" : found->second;
    }
};

}  // namespace quillon::test
