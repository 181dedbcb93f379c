#include "input_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "messages.h"
#include "platform/file_io.h"

namespace quillon::cli {
namespace {

std::string Reason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : std::string(); }

struct CloseFile {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string InputName(const std::string& path) { return path == "-" ? "standard input" : Quoted(path); }

std::optional<std::string> ReadInput(const std::string& who, const std::string& path) {
    errno = 0;
    std::unique_ptr<FILE, CloseFile> opened(path == "-" ? nullptr : std::fopen(path.c_str(), "rb"));
    FILE* file = path == "-" ? stdin : opened.get();
    std::string content;
    char buffer[65536];
    size_t got = 0;
    while (file != nullptr && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
    if (file == nullptr || std::ferror(file)) {
        Error(who, "cannot read " + InputName(path) + Reason(errno));
        return std::nullopt;
    }
    return content;
}

bool WriteOutput(const std::string& who, const std::string& path, const std::string& bytes) {
    if (path == "-") {
        // Errors show when standard output is flushed at the end (main).
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        return true;
    }
    errno = 0;
    if (platform::ReplaceFileContent(path.c_str(), bytes.data(), bytes.size())) return true;
    Error(who, "cannot write " + Quoted(path) + Reason(errno));
    return false;
}

}  // namespace quillon::cli
