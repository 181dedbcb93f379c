// Execute of typical installer scripts: a 10-token script over a few
// variables, and a script that reads 100 variables.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "config/script/script_engine.h"
#include "config/script/script_execute.h"

namespace {

void BM_Execute_10Tokens(benchmark::State& state) {
    quillon::ScriptEngine engine;
    engine.SetVariable("Port", "8080", 2);
    // Ten tokens: long, n, n, =, the group "Port + 1" (cut again into three
    // when it is evaluated), return, n.
    const char* script = "long n n = (Port + 1) return n";
    for (auto _ : state) {
        quillon::ScriptResult result = quillon::ExecuteScript(engine, script);
        if (result.kind != quillon::ScriptResult::kNumber || result.number != 8081) state.SkipWithError("wrong result");
        benchmark::DoNotOptimize(result);
    }
}

void BM_Execute_100Variables(benchmark::State& state) {
    quillon::ScriptEngine engine;
    std::string script;
    for (int i = 0; i < 100; ++i) {
        std::string name = "Var" + std::to_string(i);
        engine.SetVariable(name.c_str(), std::to_string(i).c_str(), 2);
        script += (i == 0 ? "" : " + ") + name;
    }
    for (auto _ : state) {
        quillon::ScriptResult result = quillon::ExecuteScript(engine, script.c_str());
        if (result.kind != quillon::ScriptResult::kNumber || result.number != 4950) state.SkipWithError("wrong sum");
    }
}

// A script of `count` distinct words: each becomes a new variable, so every
// word is looked up in a variable table that keeps growing. Each run gets a
// fresh engine (not timed), as the first run of a configuration would.
void BM_Script_DistinctWords(benchmark::State& state) {
    std::string script;
    for (long i = 0; i < state.range(0); ++i) script += "w" + std::to_string(i) + " ";
    for (auto _ : state) {
        state.PauseTiming();
        auto engine = std::make_unique<quillon::ScriptEngine>();
        state.ResumeTiming();
        quillon::ScriptResult result = quillon::ExecuteScript(*engine, script.c_str());
        if (engine->Variables().GetCount() != state.range(0)) state.SkipWithError("words lost");
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
    state.counters["words"] = static_cast<double>(state.range(0));
}

// `count` string joins in one expression: "ab" + "ab" + ... , reduced from
// left to right into one growing text.
void BM_Script_Joins(benchmark::State& state) {
    std::string script = "\"ab\"";
    for (long i = 0; i < state.range(0); ++i) script += " + \"ab\"";
    quillon::ScriptEngine engine;
    for (auto _ : state) {
        quillon::ScriptResult result = quillon::ExecuteScript(engine, script.c_str());
        if (result.kind != quillon::ScriptResult::kText || std::strlen(result.text) != 2 * static_cast<size_t>(state.range(0) + 1))
            state.SkipWithError("wrong join");
        benchmark::DoNotOptimize(result);
    }
    state.counters["joins"] = static_cast<double>(state.range(0));
}

}  // namespace

BENCHMARK(BM_Script_DistinctWords)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Script_Joins)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Execute_10Tokens)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Execute_100Variables)->Unit(benchmark::kMicrosecond);
