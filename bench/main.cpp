#include <benchmark/benchmark.h>

#include "load_memory.h"

int main(int argc, char** argv) {
    int status = 0;
    if (quillon::bench::RunLoadMemory(argc, argv, &status)) return status;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
