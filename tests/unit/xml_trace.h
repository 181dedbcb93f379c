// Records the events an XMLReader fires as one compact line, so a test can
// state a whole event sequence with its positions and payloads:
//   "1@0 3@2:a 11@4:x 13@7:a 9@12:amp=& ..."
// Each event is CODE@POSITION, then ":" and the token for single-token
// payloads, or ":" name "=" value for pairs; an absent token is written "~".
// It also opens the reader's last name, value, version and encoding tokens.
#pragma once

#include <string>

#include "xml/xml_reader.h"

namespace quillon_test {

class TraceReader : public quillon::XMLReader {
public:
    TraceReader() { SetCallback(&TraceReader::Record, this); }

    // Parses `text` and returns the result; trace() holds the events.
    int Parse(const char* text) {
        trace_.clear();
        return ParseText(text);
    }
    const std::string& trace() const { return trace_; }

    using XMLReader::EncodingToken;
    using XMLReader::NameToken;
    using XMLReader::ValueToken;
    using XMLReader::VersionToken;

private:
    static std::string Field(const quillon::XMLToken& token) {
        return token.Text() ? std::string(token.Text(), static_cast<size_t>(token.Length())) : std::string("~");
    }

    static int32_t Record(int32_t event, const void* payload, void* context) {
        auto* self = static_cast<TraceReader*>(context);
        std::string& out = self->trace_;
        out += (out.empty() ? "" : " ") + std::to_string(event) + "@" + std::to_string(self->Position());
        if (event == quillon::kAttribute || event == quillon::kEntityReference) {
            const auto* pair = static_cast<const quillon::XMLPair*>(payload);
            out += ":" + Field(pair->name) + "=" + Field(pair->value);
        } else if (payload != nullptr) {
            out += ":" + Field(*static_cast<const quillon::XMLToken*>(payload));
        }
        return 0;
    }

    std::string trace_;
};

inline std::string Repeat(const std::string& piece, int count) {
    std::string out;
    out.reserve(piece.size() * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) out += piece;
    return out;
}

}  // namespace quillon_test
