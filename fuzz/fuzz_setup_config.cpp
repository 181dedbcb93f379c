// Loading a configuration from arbitrary bytes, then saving and loading what
// was saved. Whatever the input, the saved text must load back to a tree
// that saves to the very same text, and in protection mode it must verify.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/setup_config.h"

namespace {

std::string Compose(quillon::SetupConfig& config) {
    quillon::XmlWriter text;
    if (!config.ComposeFile(text) || text.GetNarrowText() == nullptr) std::abort();
    return text.GetNarrowText();
}

void Select(quillon::SetupConfig& config, bool protect) {
    config.appName = "Ledger";
    config.appVersion = "4.2";
    config.SetSignMode(protect ? "Protection" : "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    bool protect = (data[0] & 1) != 0;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    text.resize(std::strlen(text.c_str()));  // the file's text ends at its first NUL
    if (text.empty()) return 0;

    quillon::SetupConfig first;
    Select(first, protect);
    // Twice: a reload must start clean whatever the first load left behind.
    first.LoadText(text.c_str(), static_cast<int32_t>(text.size()));
    first.LoadText(text.c_str(), static_cast<int32_t>(text.size()));
    std::string saved = Compose(first);

    quillon::SetupConfig second;
    Select(second, protect);
    if (second.LoadText(saved.c_str(), static_cast<int32_t>(saved.size())) != 0) std::abort();
    if (protect && second.IsSignatureValid() != 1) std::abort();
    if (Compose(second) != saved) std::abort();
    return 0;
}
