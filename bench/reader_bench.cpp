// Event throughput of the XML reader against the SAX interfaces of expat and
// libxml2, and pugixml's in-place DOM parse, on the same generated files.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <libxml/parser.h>

#include <pugixml.hpp>

#include "bench_data.h"
#include "xml/xml_reader.h"

namespace qb = quillon::bench;

namespace {

int32_t NoOpCallback(int32_t, const void*, void* context) {
    ++*static_cast<long*>(context);
    return 0;
}

void ReportBytes(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["MB"] = static_cast<double>(bytes) / qb::kMegabyte;
}

void BM_Reader_Quillon(benchmark::State& state) {
    const std::string& text = qb::ConfigText(state.range(0));
    long events = 0;
    for (auto _ : state) {
        quillon::XMLReader reader;
        reader.SetDropWhitespaceText(false);
        reader.SetCallback(&NoOpCallback, &events);
        if (reader.ParseText(text.c_str()) != 0) state.SkipWithError("parse failed");
    }
    ReportBytes(state, text.size());
}

void XMLCALL ExpatStart(void* data, const XML_Char*, const XML_Char**) { ++*static_cast<long*>(data); }
void XMLCALL ExpatEnd(void* data, const XML_Char*) { ++*static_cast<long*>(data); }
void XMLCALL ExpatText(void* data, const XML_Char*, int) { ++*static_cast<long*>(data); }

void BM_Reader_Expat(benchmark::State& state) {
    const std::string& text = qb::ConfigText(state.range(0));
    long events = 0;
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetUserData(parser, &events);
        XML_SetElementHandler(parser, ExpatStart, ExpatEnd);
        XML_SetCharacterDataHandler(parser, ExpatText);
        if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_OK)
            state.SkipWithError("expat failed");
        XML_ParserFree(parser);
    }
    ReportBytes(state, text.size());
}

void SaxStart(void* data, const xmlChar*, const xmlChar**) { ++*static_cast<long*>(data); }
void SaxEnd(void* data, const xmlChar*) { ++*static_cast<long*>(data); }
void SaxText(void* data, const xmlChar*, int) { ++*static_cast<long*>(data); }

void BM_Reader_Libxml2Sax(benchmark::State& state) {
    const std::string& text = qb::ConfigText(state.range(0));
    long events = 0;
    xmlSAXHandler handler{};
    handler.startElement = SaxStart;
    handler.endElement = SaxEnd;
    handler.characters = SaxText;
    for (auto _ : state) {
        if (xmlSAXUserParseMemory(&handler, &events, text.data(), static_cast<int>(text.size())) != 0)
            state.SkipWithError("libxml2 failed");
    }
    ReportBytes(state, text.size());
}

void BM_Reader_Pugixml(benchmark::State& state) {
    const std::string& text = qb::ConfigText(state.range(0));
    for (auto _ : state) {
        pugi::xml_document document;
        if (!document.load_buffer(text.data(), text.size())) state.SkipWithError("pugixml failed");
        benchmark::DoNotOptimize(document.first_child());
    }
    ReportBytes(state, text.size());
}

}  // namespace

BENCHMARK(BM_Reader_Quillon)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reader_Expat)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reader_Libxml2Sax)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reader_Pugixml)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
