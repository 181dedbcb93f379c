// One entry of an access list as the rights tests write and compare it: the
// SID in its string form.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace quillon::test {

struct AccessEntry {
    uint8_t type;
    uint8_t flags;
    uint32_t mask;
    std::string sid;
    bool operator==(const AccessEntry& o) const {
        return type == o.type && flags == o.flags && mask == o.mask && sid == o.sid;
    }
};

inline std::ostream& operator<<(std::ostream& out, const AccessEntry& e) {
    return out << "{" << int(e.type) << ", " << int(e.flags) << ", 0x" << std::hex << e.mask << std::dec << ", " << e.sid
               << "}";
}

}  // namespace quillon::test
