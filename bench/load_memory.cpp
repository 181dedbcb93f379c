// The peak memory of one load beside pugixml's for the same file. Peak means
// the high-water mark of resident memory (VmHWM) less the resident memory
// before loading, so the program itself does not count; the file read into
// memory does, for both loaders.
#include "load_memory.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <unistd.h>

#include "bench_data.h"
#include "config/setup_config.h"
#include "config_generator.h"

namespace quillon::bench {
namespace {

long StatusKilobytes(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    char line[256];
    long value = -1;
    size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            value = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return value;
}

long FileBytes(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return -1;
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    return size;
}

// Runs this program again to load `path` with `who`; the peak in bytes, or
// -1 when the child failed.
double MeasureInChild(const char* who, const std::string& path, double* fileBytes) {
    // popen starts a shell, whose /proc/self/exe is the shell: name ours.
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return -1;
    std::string command = "'" + std::string(self) + "' --load-memory " + who + " '" + path + "'";
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) return -1;
    double peak = -1;
    if (std::fscanf(child, "%lf %lf", &peak, fileBytes) != 2) peak = -1;
    if (pclose(child) != 0) peak = -1;
    return peak;
}

void ReportPeak(benchmark::State& state, const char* who) {
    const std::string& path = ConfigFile(state.range(0));
    double fileBytes = 0;
    double peak = -1;
    for (auto _ : state) peak = MeasureInChild(who, path, &fileBytes);
    if (peak < 0) {
        state.SkipWithError("load in the child process failed");
        return;
    }
    state.counters["peak_MB"] = peak / kMegabyte;
    state.counters["file_MB"] = fileBytes / kMegabyte;
    state.counters["peak_per_file_byte"] = peak / fileBytes;
}

void BM_LoadMemory_Quillon(benchmark::State& state) { ReportPeak(state, "quillon"); }
void BM_LoadMemory_Pugixml(benchmark::State& state) { ReportPeak(state, "pugixml"); }

}  // namespace

bool RunLoadMemory(int argc, char** argv, int* status) {
    if (argc != 4 || std::strcmp(argv[1], "--load-memory") != 0) return false;
    const char* who = argv[2];
    const char* path = argv[3];
    long before = StatusKilobytes("VmRSS");
    bool loaded = false;
    long peak = -1;
    if (std::strcmp(who, "quillon") == 0) {
        SetupConfig config;
        config.appName.Assign(kBenchApp);
        config.appVersion.Assign(kBenchVersion);
        loaded = config.Load(TextString(path)) == 0 && config.tree.root.children != nullptr;
        peak = StatusKilobytes("VmHWM");
    } else if (std::strcmp(who, "pugixml") == 0) {
        pugi::xml_document document;
        loaded = document.load_file(path);
        peak = StatusKilobytes("VmHWM");
    }
    *status = 1;
    if (!loaded || before < 0 || peak < 0) return true;
    std::printf("%ld %ld\n", (peak - before) * 1024, FileBytes(path));
    *status = 0;
    return true;
}

}  // namespace quillon::bench

// One iteration each: the figure is a high-water mark, not a time.
BENCHMARK(quillon::bench::BM_LoadMemory_Quillon)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(quillon::bench::BM_LoadMemory_Pugixml)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);
