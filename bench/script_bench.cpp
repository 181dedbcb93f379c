// Execute of typical installer scripts: a 10-token script over a few
// variables, and a script that reads 100 variables.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK(BM_Execute_10Tokens)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Execute_100Variables)->Unit(benchmark::kMicrosecond);
