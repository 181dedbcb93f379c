// Numbered copies of a file: next to app.exe there may be app_001.exe up to
// app_999.exe (terminal-server copies that each session runs). This file owns
// their names and the walk over all 999 of them that deletes or refreshes
// every copy present; the file operations themselves come from a
// `CopyFileSystem`, the real one in numbered_copies_win.cpp.
#pragma once

#include <cstdint>

#include "foundation/text_string.h"

namespace quillon {

// The file operations of the walk. Every one answers true on success.
class CopyFileSystem {
public:
    virtual ~CopyFileSystem() = default;
    // Opens the source for reading without sharing and closes it again.
    virtual bool CanOpenSource(const char* source) = 0;
    // Opens an existing copy for writing without sharing and closes it again;
    // false when it is missing or another process holds it open.
    virtual bool CanOpenCopy(const char* copy) = 0;
    virtual bool DeleteCopy(const char* copy) = 0;
    // Overwrites the copy with the source.
    virtual bool OverwriteCopy(const char* source, const char* copy) = 0;
};

enum class CopyMode : uint32_t { kDelete = 0, kOverwrite = 1 };  // any other value only visits

constexpr unsigned kFirstCopyNumber = 1;
constexpr unsigned kLastCopyNumber = 999;

// Copy `number` of `source`: every "." of the whole path, directory names
// included, becomes "_" + the number in three digits + ".". A path without
// "." gives the path itself.
TextString NumberedCopyName(const char* source, unsigned number);

// Visits copies 1 to 999, never stopping early, and deletes (mode 0) or
// overwrites (mode 1) each one that can be opened. 1 when every attempted
// delete or overwrite succeeded, else 0; 0 at once when the mode is 1 and the
// source cannot be opened. Copies that cannot be opened are skipped silently.
uint32_t UpdateNumberedCopies(const char* source, uint32_t mode, CopyFileSystem& files);

// The same walk over the files on disk (UpdateWTSCopy). Windows builds only.
uint32_t UpdateNumberedCopiesOnDisk(const char* source, uint32_t mode);

}  // namespace quillon
