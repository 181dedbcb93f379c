// quillon xml-events FILE: prints every event the library's XML reader fires
// while it reads FILE, the way the configuration reads it (whitespace-only
// text is reported), so an installer author can see where reading stopped.
//
// Output, one line per event: "CODE POSITION", then for events with a payload
// one JSON string per token ("null" for an absent token; Attribute and
// EntityReference carry name and value). The last line is "result N".
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli_text.h"
#include "command.h"
#include "xml/xml_reader.h"

namespace {

using quillon::XMLPair;
using quillon::XMLReader;
using quillon::XMLToken;

const char kUsage[] =
    "usage: quillon xml-events [--ascii-only] FILE\n"
    "\n"
    "Reads FILE with the library's XML reader and prints one line per event:\n"
    "  CODE POSITION [FIELD...]\n"
    "CODE is the event number (1 StartDocument, 2 EndDocument, 3 StartElement,\n"
    "4 EndElement, 5 Attribute, 6 Text, 7 Version, 8 Encoding, 9 EntityReference,\n"
    "10 StartTagEnd, 11 AttributeName, 12 AttributeEnd, 13 AttributeValuePart),\n"
    "POSITION the byte offset at which it was fired. Events with a payload add one\n"
    "JSON string per token (null when absent); 5 and 9 add name and value.\n"
    "The last line is \"result N\": 0 when the document was read, 1 at an error\n"
    "(the position of the last event shows how far reading got).\n"
    "Whitespace-only text is reported, as the configuration reads it. The reader\n"
    "takes the file as single bytes and stops at its first NUL byte.\n"
    "\n"
    "  --ascii-only   refuse a file holding any byte of 0x80 or above (UTF-16,\n"
    "                 UTF-8 beyond ASCII, byte order marks, 8-bit code pages):\n"
    "                 the reader has no encoding conversion, so its answer on such\n"
    "                 a file says nothing about the text the file encodes. The file\n"
    "                 is named on stderr with the first such byte, and the exit\n"
    "                 status is 2.\n"
    "\n"
    "Exit status: 0 when the result is 0, 1 when it is 1, 2 when the arguments are\n"
    "wrong or the file cannot be read (or is refused by --ascii-only).\n";

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

int Run(const std::vector<std::string>& arguments) {
    namespace cli = quillon::cli;
    if (cli::WantsHelp(arguments)) {
        std::fputs(kUsage, stdout);
        return cli::kExitOk;
    }
    std::vector<std::string> args = arguments;
    bool asciiOnly = cli::TakeFlag(args, "--ascii-only");
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
        std::fputs(kUsage, stderr);
        return cli::kExitUsage;
    }
    const std::string& path = args[0];
    auto content = cli::ReadFile(path);
    if (!content) {
        std::fprintf(stderr, "quillon xml-events: cannot read %s\n", path.c_str());
        return cli::kExitUsage;
    }
    if (asciiOnly) {
        for (size_t i = 0; i < content->size(); ++i) {
            unsigned char byte = static_cast<unsigned char>((*content)[i]);
            if (byte >= 0x80) {
                std::fprintf(stderr, "quillon xml-events: %s: not ASCII (byte 0x%02X at offset %zu); refused\n",
                             path.c_str(), byte, i);
                return cli::kExitUsage;
            }
        }
    }

#ifdef _WIN32
    // Lines end in LF on every platform, so tools parse one format.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    XMLReader reader;
    reader.SetDropWhitespaceText(false);
    EventPrinter printer(reader);
    reader.SetCallback(&EventPrinter::Callback, &printer);
    int32_t result = reader.ParseText(content->c_str());
    std::printf("result %d\n", static_cast<int>(result));
    std::fflush(stdout);
    return result == 0 ? cli::kExitOk : cli::kExitNegative;
}

const quillon::cli::Command kCommand{"xml-events", "print the XML reader's events for a file", &Run};

}  // namespace
