// Where in a file something is, and why the XML reader stopped reading it,
// in the words of a compiler message: "FILE:LINE:COLUMN: CAUSE (byte N)".
#pragma once

#include <cstdint>
#include <string>

#include "xml/xml_reader.h"

namespace quillon::cli {

// "FILE:LINE:COLUMN" of a byte offset in `text`; lines and columns count
// from 1, columns in bytes. FILE "-" is shown as "<stdin>".
std::string Location(const std::string& file, const std::string& text, int32_t position);

// Prints why `reader` stopped reading `text` (the content of `file`).
void ReportXmlError(const std::string& file, const std::string& text, const XMLReader& reader);

}  // namespace quillon::cli
