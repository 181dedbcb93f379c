// The XML reader on arbitrary bytes, with and without a receiver. The two
// runs must agree on the result: events never change what is accepted. The
// events must be well formed: StartDocument first, elements balanced, and
// EndDocument last exactly when the document was read without error.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "xml/xml_reader.h"

namespace {

struct Tally {
    long events = 0;
    int32_t lastPosition = 0;
    int32_t lastEvent = 0;
    long openElements = 0;
};

int32_t Receive(int32_t event, const void* payload, void* context) {
    auto* tally = static_cast<Tally*>(context);
    if ((tally->events++ == 0) != (event == quillon::kStartDocument)) std::abort();
    if (event < quillon::kStartDocument || event > quillon::kAttributeValuePart) std::abort();
    if (tally->lastEvent == quillon::kEndDocument) std::abort();  // nothing after the end
    tally->lastEvent = event;
    if (event == quillon::kStartElement) ++tally->openElements;
    if (event == quillon::kEndElement && --tally->openElements < 0) std::abort();
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
    // A document read to its end closed every element and ended with
    // EndDocument; one that failed never reached it.
    bool read = first == 0 && tally.events > 0;
    if (read && (tally.lastEvent != quillon::kEndDocument || tally.openElements != 0)) std::abort();
    if (first == 1 && tally.lastEvent == quillon::kEndDocument) std::abort();
    if (first != 0 && first != 1) std::abort();
    return 0;
}
