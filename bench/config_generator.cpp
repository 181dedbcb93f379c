#include "config_generator.h"

#include <cstdio>
#include <fstream>

namespace quillon::bench {
namespace {

void AppendComponent(std::string& out, size_t n, int depth) {
    std::string tabs(static_cast<size_t>(depth), '\t');
    char line[512];
    std::snprintf(line, sizeof line,
                  "%s<Component Id=\"c%zu\" Type=\"%s\">\r\n"
                  "%s\t<Name>Component %zu &amp; helpers</Name>\r\n"
                  "%s\t<File>C:\\Program Files\\Ledger\\bin\\module%zu.dll</File>\r\n"
                  "%s\t<Version>4.2.%zu.%zu</Version>\r\n"
                  "%s\t<Settings>\r\n"
                  "%s\t\t<Port>%zu</Port>\r\n"
                  "%s\t\t<Query>SELECT * FROM t WHERE a &lt; %zu AND b &gt; 0</Query>\r\n"
                  "%s\t\t<Flag>yes</Flag>\r\n"
                  "%s\t</Settings>\r\n"
                  "%s</Component>\r\n",
                  tabs.c_str(), n, (n % 3) ? "dll" : "exe", tabs.c_str(), n, tabs.c_str(), n, tabs.c_str(),
                  n / 100, n % 100, tabs.c_str(), tabs.c_str(), 1000 + n % 50000, tabs.c_str(), n, tabs.c_str(),
                  tabs.c_str(), tabs.c_str());
    out += line;
}

void AppendSection(std::string& out, const char* name, const char* version, size_t bytes, size_t& counter) {
    out += "\t<Application Name=\"";
    out += name;
    out += "\" Version=\"";
    out += version;
    out += "\">\r\n\t\t<Configuration>\r\n";
    size_t end = out.size() + bytes;
    while (out.size() < end) AppendComponent(out, counter++, 3);
    out += "\t\t</Configuration>\r\n\t</Application>\r\n";
}

}  // namespace

std::string MakeConfig(size_t targetBytes) {
    std::string out;
    out.reserve(targetBytes + 4096);
    out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ROOT>\r\n";
    size_t counter = 0;
    // Other applications and versions before and after the selected section,
    // which holds about 70 % of the text.
    AppendSection(out, "Payroll", "1.0", targetBytes / 10, counter);
    AppendSection(out, kBenchApp, "4.1", targetBytes / 10, counter);
    AppendSection(out, kBenchApp, kBenchVersion, targetBytes * 7 / 10, counter);
    AppendSection(out, "Payroll", "2.0", targetBytes / 10, counter);
    out += "</ROOT>\r\n";
    return out;
}

std::string MakeWideConfig(size_t children) {
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<ROOT>\r\n\t<Application Name=\"";
    out += kBenchApp;
    out += "\" Version=\"";
    out += kBenchVersion;
    out += "\">\r\n";
    char line[96];
    for (size_t i = 0; i < children; ++i) {
        std::snprintf(line, sizeof line, "\t\t<Item%zu>value %zu</Item%zu>\r\n", i % 10, i, i % 10);
        out += line;
    }
    out += "\t</Application>\r\n</ROOT>\r\n";
    return out;
}

void WriteFileOnce(const std::string& path, const std::string& content) {
    std::ifstream existing(path, std::ios::binary | std::ios::ate);
    if (existing && static_cast<size_t>(existing.tellg()) == content.size()) return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

}  // namespace quillon::bench
