// Version parsing and ordering on arbitrary texts. Three versions are read
// from the input; their order must be a strict weak order: irreflexive,
// asymmetric, transitive, with equality consistent with it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "actions/version_number.h"

namespace {

bool Less(const quillon::VersionNumber& a, const quillon::VersionNumber& b) { return b.IsGreaterThan(a); }
bool Equivalent(const quillon::VersionNumber& a, const quillon::VersionNumber& b) {
    return !Less(a, b) && !Less(b, a);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Three texts separated by NUL bytes.
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string texts[3];
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t end = input.find('\0', start);
        texts[i] = input.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? input.size() : end + 1;
    }
    quillon::VersionNumber v[3];
    for (int i = 0; i < 3; ++i) v[i].SetFromText(texts[i].c_str());

    for (int i = 0; i < 3; ++i) {
        if (v[i].IsGreaterThan(v[i])) std::abort();   // irreflexive
        if (!v[i].IsEqualTo(v[i])) std::abort();
        for (int j = 0; j < 3; ++j) {
            if (Less(v[i], v[j]) && Less(v[j], v[i])) std::abort();            // asymmetric
            if (v[i].IsEqualTo(v[j]) && !Equivalent(v[i], v[j])) std::abort();  // equal means neither is greater
            const char* code = quillon::CompareVersionTexts(texts[i].c_str(), texts[j].c_str());
            const char* expected = v[i].IsGreaterThan(v[j]) ? "1" : (v[i].IsEqualTo(v[j]) ? "0" : "2");
            if (std::string(code) != expected) std::abort();
            for (int k = 0; k < 3; ++k) {
                if (Less(v[i], v[j]) && Less(v[j], v[k]) && !Less(v[i], v[k])) std::abort();  // transitive
                if (Equivalent(v[i], v[j]) && Equivalent(v[j], v[k]) && !Equivalent(v[i], v[k])) std::abort();
            }
        }
    }
    return 0;
}
