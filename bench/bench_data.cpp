#include "bench_data.h"

#include <cstdlib>
#include <map>
#include <sys/stat.h>

#include "config_generator.h"

namespace quillon::bench {
namespace {

std::string DataDir() {
    const char* dir = std::getenv("QUILLON_BENCH_DATA");
    std::string path = dir ? dir : "build/bench-data";
    ::mkdir(path.c_str(), 0755);
    return path;
}

}  // namespace

const std::string& ConfigText(long megabytes) {
    static std::map<long, std::string> texts;
    auto it = texts.find(megabytes);
    if (it == texts.end()) it = texts.emplace(megabytes, MakeConfig(static_cast<size_t>(megabytes * kMegabyte))).first;
    return it->second;
}

const std::string& ConfigFile(long megabytes) {
    static std::map<long, std::string> files;
    auto it = files.find(megabytes);
    if (it == files.end()) {
        std::string path = DataDir() + "/config-" + std::to_string(megabytes) + "mb.xml";
        WriteFileOnce(path, ConfigText(megabytes));
        it = files.emplace(megabytes, path).first;
    }
    return it->second;
}

const std::string& WideConfigFile(long children) {
    static std::map<long, std::string> files;
    auto it = files.find(children);
    if (it == files.end()) {
        std::string path = DataDir() + "/wide-" + std::to_string(children) + ".xml";
        WriteFileOnce(path, MakeWideConfig(static_cast<size_t>(children)));
        it = files.emplace(children, path).first;
    }
    return it->second;
}

}  // namespace quillon::bench
