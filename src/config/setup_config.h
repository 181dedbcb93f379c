// SetupConfig: the setup configuration behind a configuration handle.
//
// One configuration file holds sections ("Application" elements below
// "ROOT") for several applications and versions. Load reads the file and,
// as the XML reader reports it, adds every element of the sections whose
// "Name" and "Version" equal appName and appVersion to the tree; the section
// elements themselves are not nodes, their children become the root's. Save
// writes the tree back as a file with one section. In protection mode the
// section carries an MD5 digest of the file's own bytes ("Signature"),
// renewed by Save and checked by Load.
//
// The object is a plain record: the exported functions and the COM classes
// read and set its fields directly.
#pragma once

#include <cstdint>

#include "config/script/script_engine.h"
#include "config/config_tree.h"
#include "config/element_path.h"
#include "foundation/text_string.h"
#include "xml/xml_reader.h"
#include "xml/xml_writer.h"

namespace quillon {

class SetupConfig : public XMLReader {
public:
    SetupConfig();
    ~SetupConfig() override;
    SetupConfig(const SetupConfig&) = delete;
    SetupConfig& operator=(const SetupConfig&) = delete;

    // Reads the whole file and loads the selected section into the tree.
    // 0 after a read without XML error, and also when the file cannot be
    // opened, is empty or cannot be read in full (then nothing changes);
    // 1 when the reader stopped at an XML error (the nodes added so far
    // stay).
    int32_t Load(const TextString& fileName);
    // Load over text already in memory: `text` holds `size` bytes and a 0
    // byte after them. Used by Load and by tools that read the file
    // themselves to tell an unreadable file from a loaded one.
    int32_t LoadText(const char* text, int32_t size);

    // Writes the tree as a one-section configuration; 1 when the whole file
    // was written, else 0 (the old file then stays as it was). A tree whose
    // file could not be loaded again is not written: 0.
    int32_t Save(const TextString& fileName);
    // Composes the text Save writes (declaration, ROOT, the one section,
    // signed in protection mode) into `result`; false when memory ran out,
    // or when an element name is no XML name or appName or appVersion holds
    // a quotation mark, "<" or "&".
    bool ComposeFile(XmlWriter& result /* out */);
    // Writes the children of `node` (null: the tree's current node) into
    // `writer`: a leaf as one line with its escaped text, a node with
    // children as start tag, children, end tag. Always 1; an element name
    // that is no XML name makes the writer fail (HasFailed).
    int32_t WriteChildren(ConfigNode* node, XmlWriter& writer);

    // Sets a script variable, as the SetProperty export and the automation
    // method SetProp do: type 1 (string), 2 (long, read with atol) or 32
    // (multipart) answers 1; any other type removes the variable and answers 0.
    int32_t SetProperty(const TextString& name, const TextString& value, int32_t type);

    // Protection mode is on only for the exact text "Protection".
    void SetSignMode(const char* mode);
    int32_t GetSignMode() const { return signMode; }
    int32_t IsSignatureValid() const { return signatureValid; }
    // The digest of a header (declaration, ROOT line and Application line
    // without the signature) and the content after it, as Save writes them:
    // 32 lower-case hexadecimal digits.
    static TextString MakeSignature(XmlWriter header, XmlWriter content);
    // Recomputes the digest over the loaded text around the signature
    // attribute and sets signatureValid. `size` bounds every byte read.
    void VerifySignature(const char* text, int32_t size);

    int32_t versionMatched = 0;  // the section being read has Version == appVersion
    int32_t nameMatched = 0;     // the section being read has Name == appName
    ElementPath elementPath;     // ";ROOT;Application;..." of the open elements
    TextString attributeName;    // the attribute being read, null outside one
    bool attributeIsSignature = false;  // attributeName is "Signature", worked out once per attribute
    int32_t signMode = 0;
    int32_t signatureValid = 0;
    // Byte positions in the loaded text: the blank before " Signature=",
    // just past the line that holds it, and just past the final line.
    int32_t signatureStart = 0;
    int32_t signatureEnd = 0;
    int32_t contentEnd = 0;
    TextString signature;
    // The script engine of this configuration, made and destroyed with it:
    // the variables that SetProperty and Execute's scripts set live here.
    ScriptEngine engine;
    TextString appVersion;
    TextString appName;
    ConfigTree tree;

    // Sections selected by the last Load; for tools that explain why nothing
    // was loaded. Not part of the loading rules themselves.
    int32_t sectionsFound = 0;

private:
    static int32_t OnEvent(int32_t event, const void* payload, void* context);
    void HandleEvent(int32_t event, const void* payload);

    // Text of the nodes open while loading, collected in growing buffers and
    // handed to each node once, when it closes (the root's when the load
    // ends). Appending every run to the node's exactly-sized text would copy
    // the whole text again per run: quadratic for a root that collects the
    // whitespace between 100,000 children.
    struct PendingText {
        ConfigNode* node = nullptr;
        char* bytes = nullptr;
        size_t length = 0;
        size_t capacity = 0;
        bool present = false;  // some text arrived: the node's text is no longer null
    };
    static constexpr int kPendingLevels = XMLReader::kMaxElementDepth + 2;
    void BeginPending(ConfigNode* node);
    void AppendPending(const char* text);
    void EndPending();
    void ReleasePending();
    PendingText pending_[kPendingLevels];
    int pendingLevel_ = -1;
};

}  // namespace quillon
