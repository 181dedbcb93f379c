// Native side of the file seam: POSIX calls with the same semantics as the
// Windows side.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_io.h"

namespace quillon::platform {
namespace {

std::atomic<unsigned> gTemporaryCounter{0};

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool WriteAll(int fd, const char* bytes, size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// The folder of `path`, for the fsync that makes the rename itself durable.
std::string FolderOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return ".";
    if (slash == path) return "/";
    return std::string(path, static_cast<size_t>(slash - path));
}

// A buffer for a whole file. A large one is aligned to 2 MB and asked for
// in huge pages, so that reading the file into it takes one page fault per
// 2 MB instead of one per 4 KB; on a virtual machine each fault costs several
// microseconds, and a 100 MB file took 25,000 of them. Freed with free().
char* NewFileBuffer(size_t bytes) {
    constexpr size_t kHugePage = 2 * 1024 * 1024;
    if (bytes < 2 * kHugePage) return static_cast<char*>(std::malloc(bytes));
    void* buffer = nullptr;
    if (::posix_memalign(&buffer, kHugePage, bytes) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
    // Only a hint, and the last partial 2 MB stays in small pages.
    ::madvise(buffer, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<char*>(buffer);
}

}  // namespace

FileBytes ReadWholeFile(const char* path, int32_t* size) {
    if (size) *size = 0;
    if (path == nullptr || path[0] == 0) return nullptr;
    Descriptor file;
    file.fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file.fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    // Positions in the text are 32-bit; larger files are refused like
    // unreadable ones.
    if (info.st_size <= 0 || info.st_size >= INT32_MAX) return nullptr;
    size_t expected = static_cast<size_t>(info.st_size);
    FileBytes buffer(NewFileBuffer(expected + 1));
    if (!buffer) return nullptr;
    size_t got = 0;
    while (got < expected) {
        ssize_t n = ::read(file.fd, buffer.get() + got, expected - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return nullptr;  // a short read is a failure
        got += static_cast<size_t>(n);
    }
    buffer.get()[expected] = 0;
    if (size) *size = static_cast<int32_t>(expected);
    return buffer;
}

bool ReplaceFileContent(const char* path, const char* bytes, size_t size) {
    if (path == nullptr || path[0] == 0 || (bytes == nullptr && size > 0)) return false;
    WriteFault fault = InjectedWriteFault();

    // Writing through a symbolic link replaces the file it points to, as
    // writing into the file would; and the new file keeps the old one's
    // permissions.
    std::string target = path;
    struct stat old {};
    if (::lstat(path, &old) == 0 && S_ISLNK(old.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path, resolved) == nullptr) return false;
        target = resolved;
    }
    bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) return false;

    std::string temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temporary = target + kTemporaryMarker + std::to_string(::getpid()) + "-" +
                    std::to_string(gTemporaryCounter.fetch_add(1));
        if (fault == WriteFault::kCreate) return false;
        file.fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd < 0 && errno != EEXIST) return false;
    }
    if (file.fd < 0) return false;

    bool ok;
    switch (fault) {
        case WriteFault::kWrite: ok = false; break;
        case WriteFault::kShortWrite: ok = WriteAll(file.fd, bytes, size / 2) && false; break;
        default: ok = WriteAll(file.fd, bytes, size); break;
    }
    if (ok && hadFile) ::fchmod(file.fd, old.st_mode & 07777);  // best effort, like a rewrite in place
    if (ok) ok = fault != WriteFault::kFlush && ::fsync(file.fd) == 0;
    if (::close(file.fd) != 0) ok = false;
    file.fd = -1;
    if (ok) ok = fault != WriteFault::kReplace && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    Descriptor folder;
    folder.fd = ::open(FolderOf(target.c_str()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder.fd >= 0) ::fsync(folder.fd);  // best effort: the data itself is already on disk
    return true;
}

}  // namespace quillon::platform
