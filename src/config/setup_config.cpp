#include "config/setup_config.h"

#include <cstdlib>
#include <cstring>

#include "foundation/text_key_hash.h"
#include "platform/ansi_text.h"
#include "platform/file_io.h"

namespace quillon {
namespace {

// Names are compared exactly and case-sensitively, the way IsSame does.
bool Same(const char* a, const char* b) { return a != nullptr && b != nullptr && platform::CompareAnsi(a, b) == 0; }

constexpr const char* kSectionPath = ";ROOT;Application";
constexpr const char* kRootPath = ";ROOT";

// The paths' hashes, for ElementPath::IsSame, worked out once.
struct PathHashes {
    uint32_t section = TextKeyHash(kSectionPath);
    uint32_t root = TextKeyHash(kRootPath);
};
const PathHashes& Hashes() {
    static const PathHashes hashes;
    return hashes;
}

}  // namespace

SetupConfig::SetupConfig() {
    // Whitespace-only text is kept: the signature positions and the texts of
    // the nodes depend on every byte being reported.
    SetDropWhitespaceText(false);
    SetCallback(&SetupConfig::OnEvent, this);
}

SetupConfig::~SetupConfig() {
    while (pendingLevel_ >= 0) EndPending();
    ReleasePending();
}

int32_t SetupConfig::SetProperty(const TextString& name, const TextString& value, int32_t type) {
    return engine.SetVariable(name.Text(), value.Text(), type);
}

int32_t SetupConfig::Load(const TextString& fileName) {
    int32_t size = 0;
    platform::FileBytes text = platform::ReadWholeFile(fileName.Text(), &size);
    if (!text) return 0;
    return LoadText(text.get(), size);
}

int32_t SetupConfig::LoadText(const char* text, int32_t size) {
    if (text == nullptr || size <= 0) return 0;
    tree.ClearChildren(&tree.root);
    // A load that stopped at an XML error leaves the path, the flags and
    // `current` inside the tree just discarded; start every load afresh.
    tree.current = &tree.root;
    elementPath.Clear();
    attributeName.Clear();
    attributeIsSignature = false;
    nameMatched = versionMatched = 0;
    sectionsFound = 0;
    // The signature found in this file is the only one that may vouch for
    // it: positions and value left from an earlier file would let a file
    // whose signature was removed inherit that file's verdict.
    signatureStart = signatureEnd = contentEnd = 0;
    signature.Clear();
    // The root's text carries over from load to load.

    BeginPending(&tree.root);
    int32_t result = ParseText(text);
    // After an XML error elements are still open; their text so far counts.
    while (pendingLevel_ >= 0) EndPending();
    ReleasePending();
    // Nor may `current` stay inside the tree: Save writes the children of
    // `current`, and would write only the subtree where reading stopped.
    tree.current = &tree.root;
    if (signMode == 1) VerifySignature(text, size);
    return result;
}

int32_t SetupConfig::OnEvent(int32_t event, const void* payload, void* context) {
    static_cast<SetupConfig*>(context)->HandleEvent(event, payload);
    return 0;
}

void SetupConfig::HandleEvent(int32_t event, const void* payload) {
    switch (event) {
        case kStartElement: {
            const char* name = static_cast<const XMLToken*>(payload)->Text();
            // The path's hash settles most elements before the name is collated.
            if (elementPath.IsSame(kRootPath, Hashes().root) && Same(name, "Application")) nameMatched = versionMatched = 0;
            if (nameMatched == 1 && versionMatched == 1 && tree.OpenChild(name)) BeginPending(tree.current);
            elementPath.Push(name);
            break;
        }
        case kAttributeName:
            attributeName = static_cast<const XMLToken*>(payload)->Text();
            attributeIsSignature = attributeName.IsSame("Signature") == 1;
            // Just past the name: the blank in front of it is 10 bytes back.
            if (attributeIsSignature) signatureStart = Position() - 10;
            break;
        case kAttributeValuePart:
            if (attributeIsSignature && elementPath.IsSame(kSectionPath, Hashes().section))
                signature = static_cast<const XMLToken*>(payload)->Text();
            break;
        case kAttribute: {
            if (!elementPath.IsSame(kSectionPath, Hashes().section)) break;
            // The whole raw value, compared once it is complete. A value with
            // a reference in it ("Led&amp;ger", "4&#46;2") never matches, not
            // even through one of the runs around the reference; nor does an
            // empty one.
            const char* value = static_cast<const XMLPair*>(payload)->value.Text();
            if (value == nullptr || *value == 0 || std::strchr(value, '&') != nullptr) break;
            if (attributeName.IsSame("Name") && appName.IsSame(value)) nameMatched = 1;
            if (attributeName.IsSame("Version") && appVersion.IsSame(value)) versionMatched = 1;
            break;
        }
        case kAttributeEnd:
            // Past the closing quote, the ">" and the CR LF of a saved file.
            if (attributeIsSignature) signatureEnd = Position() + 3;
            attributeName.Clear();
            attributeIsSignature = false;
            break;
        case kStartTagEnd:
            if (nameMatched == 1 && versionMatched == 1 && elementPath.IsSame(kSectionPath, Hashes().section)) ++sectionsFound;
            break;
        case kText:
            if (nameMatched == 1 && versionMatched == 1) AppendPending(static_cast<const XMLToken*>(payload)->Text());
            break;
        case kEntityReference:
            // Only the five predefined entities have a replacement; others
            // add nothing. References in attribute values land here too.
            if (nameMatched == 1 && versionMatched == 1)
                AppendPending(static_cast<const XMLPair*>(payload)->value.Text());
            break;
        case kEndElement:
            if (elementPath.IsSame(kSectionPath, Hashes().section)) nameMatched = versionMatched = 0;
            elementPath.Pop();
            // For every element, added or not: outside a matching section
            // `current` is the root and stays there.
            if (tree.current != &tree.root && pendingLevel_ > 0) EndPending();
            tree.CloseChild();
            // Past the end tag and the CR LF after it.
            contentEnd = Position() + 2;
            break;
        default:
            break;
    }
}

void SetupConfig::BeginPending(ConfigNode* node) {
    ++pendingLevel_;
    if (pendingLevel_ >= kPendingLevels) return;
    PendingText& level = pending_[pendingLevel_];
    level.node = node;
    level.length = 0;
    level.present = false;
}

void SetupConfig::AppendPending(const char* text) {
    if (text == nullptr) return;
    if (pendingLevel_ < 0 || pendingLevel_ >= kPendingLevels) {
        tree.AppendText(text);  // deeper than the reader goes; kept correct regardless
        return;
    }
    PendingText& level = pending_[pendingLevel_];
    size_t add = std::strlen(text);
    if (level.length + add + 1 > level.capacity) {
        size_t capacity = (level.length + add + 1) * 2;
        auto* grown = static_cast<char*>(std::realloc(level.bytes, capacity));
        if (grown == nullptr) {
            // No room to collect: hand over what there is and append directly.
            tree.AppendLoadedText(level.node, level.bytes ? level.bytes : "", level.length);
            level.length = 0;
            level.node->text.Append(text);
            return;
        }
        level.bytes = grown;
        level.capacity = capacity;
    }
    std::memcpy(level.bytes + level.length, text, add);
    level.length += add;
    level.bytes[level.length] = 0;
    level.present = true;
}

void SetupConfig::EndPending() {
    if (pendingLevel_ < kPendingLevels) {
        PendingText& level = pending_[pendingLevel_];
        if (level.present && level.node != nullptr)
            tree.AppendLoadedText(level.node, level.bytes ? level.bytes : "", level.length);
        // The buffer stays for the next node at this depth; ReleasePending
        // gives it back when the load ends.
        level.node = nullptr;
        level.length = 0;
        level.present = false;
    }
    --pendingLevel_;
}

void SetupConfig::ReleasePending() {
    for (PendingText& level : pending_) {
        std::free(level.bytes);
        level = PendingText();
    }
}

}  // namespace quillon
