// Writing a configuration: the tree becomes a file with one section,
//
//   <?xml version="1.0" encoding="ISO-8859-1"?>
//   <ROOT>
//   \t<Application Name="..." Version="..."[ Signature="..."]>
//   \t\t... one line per element, one more TAB per level ...
//   \t</Application>
//   </ROOT>
//
// every line ended by CR LF, in the ANSI code page whatever the declaration
// says. The file is replaced only once the new content is complete on disk.
//
// Names and header values are written as they are held, so a tree that would
// give a file Load cannot read (an element name that is no XML name, a header
// value holding a character that ends or breaks it) is not written at all:
// the save fails and the old file stays.
#include <cstring>
#include <vector>

#include "config/setup_config.h"
#include "platform/file_io.h"
#include "xml/xml_reader.h"

namespace quillon {
namespace {

// A quotation mark would end the value early; "<" and "&" stop the reader.
bool FitsAttributeValue(const TextString& value) {
    return value.IsNull() || std::strpbrk(value.Text(), "\"<&") == nullptr;
}

}  // namespace

bool SetupConfig::ComposeFile(XmlWriter& result) {
    if (!FitsAttributeValue(appName) || !FitsAttributeValue(appVersion)) return false;
    XmlWriter header;
    XmlWriter content;

    header.WriteDeclaration("ISO-8859-1");
    header.WriteStartTag("ROOT");
    header.WriteStartTag("Application");
    header.AddAttribute("Name", appName.IsNull() ? "" : appName.Text());
    header.AddAttribute("Version", appVersion.IsNull() ? "" : appVersion.Text());

    // Unsigned, the content goes straight after the header, into the
    // result; signed, it is composed apart, since the signature digests it
    // before it joins the header it is added to.
    XmlWriter& body = signMode == 1 ? content : result;
    if (signMode != 1) result.Assign(header);
    // The content continues below the Application start tag: depth 2,
    // without writing anything yet.
    body.Indent(1, 0, 1);
    body.Indent(1, 0, 0);
    WriteChildren(tree.current, body);
    body.WriteEndTag("Application");
    body.WriteEndTag("ROOT");

    if (signMode == 1) {
        TextString signature = MakeSignature(header, content);
        if (signature.IsNull()) return false;
        header.AddAttribute("Signature", signature.Text());
        result.Assign(header);
        result.Append(content);
    }
    // A writer that ran out of memory holds only part of the text; writing
    // it would replace a good file with a broken one.
    return !header.HasFailed() && !content.HasFailed() && !result.HasFailed() && result.GetText() != nullptr;
}

int32_t SetupConfig::Save(const TextString& fileName) {
    XmlWriter result;
    if (!ComposeFile(result)) return 0;
    const char* bytes = result.GetNarrowText();
    if (bytes == nullptr) return 0;
    size_t length = static_cast<size_t>(result.GetLength());
    if (std::strlen(bytes) != length) return 0;
    return platform::ReplaceFileContent(fileName.Text(), bytes, length) ? 1 : 0;
}

int32_t SetupConfig::WriteChildren(ConfigNode* node, XmlWriter& writer) {
    if (node == nullptr) node = tree.current;
    if (node->children == nullptr) return 1;
    // Depth-first without recursion: trees built through the API can be
    // deeper than the stack allows. `open` holds, per open level, the next
    // sibling to write after that level's end tag. The children lists'
    // cursors are left alone: callers may be walking them.
    std::vector<TextListItem*> open;
    TextListItem* item = node->children->Head();
    try {
        for (;;) {
            if (item == nullptr) {
                if (open.empty()) break;
                TextListItem* finished = open.back();
                open.pop_back();
                writer.WriteEndTag(static_cast<ConfigNode*>(finished->value)->name.Text());
                item = finished->next;
                continue;
            }
            auto* child = static_cast<ConfigNode*>(item->value);
            if (!IsXMLName(child->name.Text())) {
                writer.Fail();  // the file would not load again
                break;
            }
            if (child->children != nullptr && child->children->Head() != nullptr) {
                // The child's own text is not written, only its children.
                writer.WriteStartTag(child->name.Text());
                open.push_back(item);
                item = child->children->Head();
            } else {
                writer.WriteTextElement(child->name.Text(), child->text.Text());
                item = item->next;
            }
        }
    } catch (...) {
        // No memory for the walk: the text would be incomplete.
        writer.Fail();
    }
    return 1;
}

}  // namespace quillon
