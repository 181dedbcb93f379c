// What a configuration file holds beyond its section's tree. Saving writes
// the loaded tree as a file with one section and nothing else, so whatever
// else the file holds would be lost by writing over it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon::cli {

struct SaveLoss {
    int32_t position;  // byte offset of the first thing saving would drop
    std::string what;  // "a comment", "attribute 'Port'", ...
};

// The first thing in `text` (a configuration that loads without XML error
// and has one selected section) that loading and saving would not carry
// over: another element below ROOT, attributes other than the section's
// Name, Version and Signature, comments, processing instructions, a document
// type, CDATA, character references, references without a replacement,
// text beside child elements, an encoding other than ISO-8859-1, anything
// after the root element. Layout (indentation, line ends, quotes, empty-
// element tags) is not content and is not reported.
std::optional<SaveLoss> FindSaveLoss(const std::string& text);

}  // namespace quillon::cli
