// Loading a configuration section, saving it, and its MD5 digest, against
// the peers on the same data: expat's SAX parse (see reader_bench.cpp),
// pugixml's save, OpenSSL's MD5.
#include <benchmark/benchmark.h>
#include <openssl/md5.h>

#include <cstdio>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "bench_data.h"
#include "config/md5.h"
#include "config/setup_config.h"
#include "config_generator.h"

namespace qb = quillon::bench;

namespace {

void SelectSection(quillon::SetupConfig& config) {
    config.appName.Assign(qb::kBenchApp);
    config.appVersion.Assign(qb::kBenchVersion);
}

size_t FileSize(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    return size > 0 ? static_cast<size_t>(size) : 0;
}

// Load on a fresh object, as an installer does it: read the file, parse it,
// build the tree of the selected section. Making the object and tearing the
// tree down afterwards are not timed. `children` > 0 also checks the count
// of the root's children.
void TimeFreshLoads(benchmark::State& state, const std::string& path, long children) {
    quillon::TextString name(path.c_str());
    for (auto _ : state) {
        state.PauseTiming();
        auto config = std::make_unique<quillon::SetupConfig>();
        SelectSection(*config);
        state.ResumeTiming();
        bool loaded = config->Load(name) == 0 && config->tree.root.children != nullptr;
        if (!loaded || (children > 0 && config->tree.root.children->GetCount() != children)) {
            state.SkipWithError("load failed");
            break;  // timing calls are not allowed after an error
        }
        state.PauseTiming();
        config.reset();
        state.ResumeTiming();
    }
}

void BM_Load_Quillon(benchmark::State& state) {
    const std::string& path = qb::ConfigFile(state.range(0));
    TimeFreshLoads(state, path, 0);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

// A section whose root has many children: the root's text collects the
// whitespace between all of them, which must not make loading quadratic.
void BM_LoadWide_Quillon(benchmark::State& state) {
    TimeFreshLoads(state, qb::WideConfigFile(state.range(0)), state.range(0));
    state.counters["children"] = static_cast<double>(state.range(0));
}

std::string SavePath(const char* who, long megabytes) {
    const char* dir = std::getenv("QUILLON_BENCH_DATA");
    return std::string(dir ? dir : "build/bench-data") + "/saved-" + who + "-" + std::to_string(megabytes) + "mb.xml";
}

void BM_Save_Quillon(benchmark::State& state) {
    quillon::SetupConfig config;
    SelectSection(config);
    config.Load(quillon::TextString(qb::ConfigFile(state.range(0)).c_str()));
    std::string path = SavePath("quillon", state.range(0));
    quillon::TextString name(path.c_str());
    for (auto _ : state) {
        if (config.Save(name) != 1) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

// pugixml writes the same section, parsed from Quillon's saved file.
void BM_Save_Pugixml(benchmark::State& state) {
    std::string source = SavePath("quillon", state.range(0));
    {
        quillon::SetupConfig config;
        SelectSection(config);
        config.Load(quillon::TextString(qb::ConfigFile(state.range(0)).c_str()));
        config.Save(quillon::TextString(source.c_str()));
    }
    pugi::xml_document document;
    document.load_file(source.c_str());
    std::string path = SavePath("pugixml", state.range(0));
    for (auto _ : state) {
        if (!document.save_file(path.c_str(), "\t", pugi::format_default, pugi::encoding_latin1))
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

const std::string& DigestInput(long megabytes) {
    static std::string data;
    if (data.size() != static_cast<size_t>(megabytes * qb::kMegabyte)) {
        data.resize(static_cast<size_t>(megabytes * qb::kMegabyte));
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    return data;
}

void BM_Md5_Quillon(benchmark::State& state) {
    const std::string& data = DigestInput(state.range(0));
    uint8_t digest[quillon::Md5::kDigestSize];
    for (auto _ : state) {
        quillon::Md5 md5;
        md5.Update(data.data(), data.size());
        md5.Finish(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_Md5_OpenSsl(benchmark::State& state) {
    const std::string& data = DigestInput(state.range(0));
    unsigned char digest[MD5_DIGEST_LENGTH];
    for (auto _ : state) {
        MD5(reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

}  // namespace

BENCHMARK(BM_Load_Quillon)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWide_Quillon)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_Quillon)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_Pugixml)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Md5_Quillon)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Md5_OpenSsl)->Arg(64)->Unit(benchmark::kMillisecond);
