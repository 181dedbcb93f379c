// The protection mode of a configuration: an MD5 digest of the file's own
// bytes, kept in the "Signature" attribute of its section. The digest covers
// the whole file except the attribute itself and the end of its line
// (` Signature="..."`, ">" and CR LF), so Save can compute it before the
// attribute exists and Load can recompute it around the attribute it finds.
#include <cstring>

#include "config/md5.h"
#include "config/setup_config.h"
#include "platform/ansi_text.h"

namespace quillon {
namespace {

TextString HexDigest(Md5& md5) {
    uint8_t digest[Md5::kDigestSize];
    char hex[2 * Md5::kDigestSize + 1];
    md5.Finish(digest);
    Md5::ToHex(digest, hex);
    return TextString(hex);
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : (value > high ? high : value); }

}  // namespace

void SetupConfig::SetSignMode(const char* mode) {
    TextString text(mode);
    signMode = text.Compare("Protection", 1) == 0 ? 1 : 0;
}

TextString SetupConfig::MakeSignature(XmlWriter header, XmlWriter content) {
    const char* head = header.GetNarrowText();
    const char* body = content.GetNarrowText();
    // Without both renderings there is nothing sound to sign: null.
    if (head == nullptr || body == nullptr) return TextString();
    Md5 md5;
    // Leave out the ">" and CR LF that end the Application line.
    size_t length = std::strlen(head);
    if (length > 3) md5.Update(head, length - 3);
    md5.Update(body, std::strlen(body));
    return HexDigest(md5);
}

void SetupConfig::VerifySignature(const char* text, int32_t size) {
    // A file without a usable signature attribute is not valid (an earlier
    // file's verdict does not carry over to it).
    if (signatureStart < 1 || contentEnd - signatureEnd < 1 || text == nullptr || size < 0) {
        signatureValid = 0;
        return;
    }
    // The digest ends with the line after the last end tag, and a reader
    // ignores what follows the document: a comment or a second ROOT appended
    // there would pass unseen. A signed file ends where its content ends.
    if (contentEnd < size) {
        signatureValid = 0;
        return;
    }
    // The positions come from the reader, but contentEnd and signatureEnd
    // look ahead past the last byte read, and all three may be left over
    // from an earlier, longer file: never digest beyond this text.
    Md5 md5;
    int32_t firstEnd = Clamp(signatureStart, 0, size);
    md5.Update(text, static_cast<size_t>(firstEnd));
    int32_t from = Clamp(signatureEnd, 0, size);
    int32_t to = Clamp(contentEnd, 0, size);
    if (to > from) md5.Update(text + from, static_cast<size_t>(to - from));
    TextString rendering = HexDigest(md5);
    signatureValid = (signature.GetLength() > 0 &&
                      platform::CompareAnsiNoCase(signature.Text(), rendering.Text()) == 0) ? 1 : 0;
}

}  // namespace quillon
