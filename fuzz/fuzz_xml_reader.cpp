// The XML reader on arbitrary bytes, with and without a receiver. The two
// runs must agree on the result: events never change what is accepted.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "xml/xml_reader.h"

namespace {

struct Tally {
    long events = 0;
    int32_t lastPosition = 0;
};

int32_t Receive(int32_t event, const void* payload, void* context) {
    auto* tally = static_cast<Tally*>(context);
    ++tally->events;
    // Touch every payload byte so the sanitizers see stale tokens.
    if (event == quillon::kAttribute || event == quillon::kEntityReference) {
        const auto* pair = static_cast<const quillon::XMLPair*>(payload);
        if (pair->name.Text()) tally->lastPosition += static_cast<int32_t>(std::string(pair->name.Text()).size());
        if (pair->value.Text()) tally->lastPosition += static_cast<int32_t>(std::string(pair->value.Text()).size());
    } else if (payload != nullptr) {
        const auto* token = static_cast<const quillon::XMLToken*>(payload);
        if (token->Text()) tally->lastPosition += static_cast<int32_t>(std::string(token->Text()).size());
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || data[0] == 0xFF) return 0;
    // The reader takes NUL-terminated text; the flag byte picks the option.
    bool dropWhitespace = (data[0] & 1) != 0;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    quillon::XMLReader withCallback;
    Tally tally;
    withCallback.SetDropWhitespaceText(dropWhitespace);
    withCallback.SetCallback(&Receive, &tally);
    int32_t first = withCallback.ParseText(text.c_str());

    quillon::XMLReader silent;
    silent.SetDropWhitespaceText(dropWhitespace);
    int32_t second = silent.ParseText(text.c_str());
    if (first != second || withCallback.Position() != silent.Position()) std::abort();
    if (withCallback.Position() < 0 || withCallback.Position() > static_cast<int32_t>(text.size() + 1)) std::abort();
    return 0;
}
