// The file seam: reading a whole configuration file and replacing a file
// safely. On Windows these are CreateFileA / ReadFile / WriteFile /
// FlushFileBuffers / MoveFileExA; natively open / read / write / fsync /
// rename. Nothing here throws, logs or shows anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace quillon::platform {

struct FreeBytes {
    void operator()(char* bytes) const { std::free(bytes); }
};
using FileBytes = std::unique_ptr<char, FreeBytes>;

// Reads an existing file whole (on Windows opened without sharing) into a
// buffer of size + 1 bytes whose last byte is 0. Returns null, and leaves
// *size 0, when the file cannot be opened, its size is 0 or unknown, or
// fewer bytes than its size could be read.
FileBytes ReadWholeFile(const char* path, int32_t* size /* out */);

// Replaces `path` with exactly `size` bytes. The bytes go to a new temporary
// file in the same folder, which is flushed to disk and then renamed over the
// target, so the target holds either its old content or the new one in full,
// never a truncated mix. On failure the temporary file is removed and the
// target is untouched. Returns true when every byte was written and the
// target replaced.
bool ReplaceFileContent(const char* path, const char* bytes, size_t size);

// Fault injection for tests: makes the next ReplaceFileContent calls fail at
// one step as if the system call had failed there. kNone switches it off.
enum class WriteFault {
    kNone,
    kCreate,     // the temporary file cannot be created
    kWrite,      // the write fails
    kShortWrite, // the write stores only part of the bytes
    kFlush,      // flushing to disk fails
    kReplace     // the final rename fails
};
void InjectWriteFault(WriteFault fault);
WriteFault InjectedWriteFault();

// Temporary files are named "<path>.~q<process>-<n>", unique per process and
// call, so two savers of one folder never share one.
constexpr const char* kTemporaryMarker = ".~q";

}  // namespace quillon::platform
