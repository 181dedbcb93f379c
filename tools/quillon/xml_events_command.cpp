// quillon xml-events FILE: prints every event the library's XML reader fires
// while it reads FILE, the way the configuration reads it (whitespace-only
// text is reported), so an installer author can see where reading stopped.
//
// Output, one line per event: "CODE POSITION", then for events with a payload
// one JSON string per token ("null" for an absent token; Attribute and
// EntityReference carry name and value). The last line is "result N".
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "arguments.h"
#include "command.h"
#include "input_output.h"
#include "json_text.h"
#include "messages.h"
#include "xml_error.h"
#include "xml/xml_reader.h"

namespace {

using quillon::XMLPair;
using quillon::XMLReader;
using quillon::XMLToken;

const char kUsage[] =
    "usage: quillon xml-events [--ascii-only] FILE\n"
    "\n"
    "Reads FILE (- for standard input) with the library's XML reader and prints\n"
    "one line per event:\n"
    "  CODE POSITION [FIELD...]\n"
    "CODE is the event number (1 StartDocument, 2 EndDocument, 3 StartElement,\n"
    "4 EndElement, 5 Attribute, 6 Text, 7 Version, 8 Encoding, 9 EntityReference,\n"
    "10 StartTagEnd, 11 AttributeName, 12 AttributeEnd, 13 AttributeValuePart),\n"
    "POSITION the byte offset at which it was fired. Events with a payload add one\n"
    "JSON string per token (null when absent; bytes read as Windows-1252); 5 and\n"
    "9 add name and value. The last line is \"result N\": 0 when the document was\n"
    "read, 1 at an error (the position of the last event shows how far reading\n"
    "got; standard error says where and why). Whitespace-only text is reported,\n"
    "as the configuration reads it. The reader takes the file as single bytes and\n"
    "stops at its first NUL byte.\n"
    "\n"
    "  --ascii-only   refuse a file holding any byte of 0x80 or above (UTF-16,\n"
    "                 UTF-8 beyond ASCII, byte order marks, 8-bit code pages):\n"
    "                 the reader has no encoding conversion, so its answer on such\n"
    "                 a file says nothing about the text the file encodes.\n"
    "\n"
    "Exit status: 0 result 0; 1 result 1 (an XML error); 2 wrong arguments, a\n"
    "file that cannot be read or is refused by --ascii-only, or failed output.\n"
    "\n"
    "example:\n"
    "  $ printf '<a x=\"1\">t</a>' | quillon xml-events -\n"
    "  1 0\n"
    "  3 2 \"a\"\n"
    "  11 4 \"x\"\n"
    "  13 8 \"1\"\n"
    "  5 8 \"x\" \"1\"\n"
    "  12 8\n"
    "  10 9\n"
    "  6 10 \"t\"\n"
    "  4 14\n"
    "  2 14\n"
    "  result 0\n";

class EventPrinter {
public:
    explicit EventPrinter(const XMLReader& reader) : reader_(reader) {}

    static int32_t Callback(int32_t event, const void* payload, void* context) {
        static_cast<EventPrinter*>(context)->Print(event, payload);
        return 0;
    }

private:
    static std::string Field(const XMLToken& token) {
        return token.Text() ? quillon::cli::JsonString(token.Text(), static_cast<size_t>(token.Length()))
                            : std::string("null");
    }

    void Print(int32_t event, const void* payload) {
        std::string line = std::to_string(event) + " " + std::to_string(reader_.Position());
        switch (event) {
            case quillon::kAttribute:
            case quillon::kEntityReference: {
                const auto* pair = static_cast<const XMLPair*>(payload);
                line += " " + Field(pair->name) + " " + Field(pair->value);
                break;
            }
            case quillon::kStartElement:
            case quillon::kText:
            case quillon::kVersion:
            case quillon::kEncoding:
            case quillon::kAttributeName:
            case quillon::kAttributeValuePart:
                line += " " + Field(*static_cast<const XMLToken*>(payload));
                break;
            default:
                break;
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }

    const XMLReader& reader_;
};

int Run(const std::vector<std::string>& args) {
    namespace cli = quillon::cli;
    cli::Arguments parsed;
    int status = cli::kExitOk;
    if (!cli::ParseCommandLine("xml-events", args, {{"--ascii-only"}}, kUsage, parsed, status)) return status;
    if (parsed.positionals.size() != 1)
        return cli::UsageError("xml-events", parsed.positionals.empty() ? "missing FILE" : "more than one FILE");
    const std::string& path = parsed.positionals[0];
    std::optional<std::string> content = cli::ReadInput("xml-events", path);
    if (!content) return cli::kExitUsage;
    if (parsed.Has("--ascii-only")) {
        for (size_t i = 0; i < content->size(); ++i) {
            unsigned char byte = static_cast<unsigned char>((*content)[i]);
            if (byte >= 0x80) {
                char where[64];
                std::snprintf(where, sizeof where, ": not ASCII (byte 0x%02X at offset %zu); refused", byte, i);
                cli::Error("xml-events", cli::InputName(path) + where);
                return cli::kExitUsage;
            }
        }
    }

    XMLReader reader;
    reader.SetDropWhitespaceText(false);
    EventPrinter printer(reader);
    reader.SetCallback(&EventPrinter::Callback, &printer);
    int32_t result = reader.ParseText(content->c_str());
    std::printf("result %d\n", static_cast<int>(result));
    if (result != 0) cli::ReportXmlError(path, *content, reader);
    return result == 0 ? cli::kExitOk : cli::kExitNegative;
}

const quillon::cli::Command kCommand{"xml-events", "print the XML reader's events for a file", &Run};

}  // namespace
