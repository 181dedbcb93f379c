// The server search over a scripted network and dialog: what the worker
// probes, lists, retries, and when it stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/server_search.h"

namespace {

struct Batch {
    uint32_t status;
    std::vector<const char*> remoteNames;
};

// A network and a dialog that log every call the worker makes. The pipe
// answers on \\B and \\C\s. The batches end with 259; `stopAfter` and
// `listGoneAfter` name the logged call after which a stop is requested or the
// list box is destroyed.
class ScriptedSearch : public quillon::ServerSearchHost {
public:
    std::string domain, stopAfter, listGoneAfter, log;
    bool openSucceeds = true;
    std::vector<Batch> batches;

    void EnableSearchButton(bool enable) override { Log(enable ? "on" : "off"); }
    bool ListBoxExists() override { return !listGone_; }
    void ClearList() override { Log("clear"); }
    void AddToList(const char* name) override { Log(std::string("+") + name); }
    quillon::TextString DomainName() override { return quillon::TextString(domain.c_str()); }
    bool OpenEnumeration(const char* domainName) override { return Log(std::string("open:") + domainName), openSucceeds; }
    uint32_t EnumerateNext(uint32_t* entries) override {
        current_ = next_ < batches.size() ? batches[next_++] : Batch{quillon::kNoMoreItems, {}};
        *entries = static_cast<uint32_t>(current_.remoteNames.size());
        Log("enum:" + std::to_string(current_.status));
        return current_.status;
    }
    const char* RemoteName(uint32_t index) override { return current_.remoteNames.at(index); }
    void CloseEnumeration() override { Log("close"); }
    bool PipeAnswers(const char* probePath) override {
        // The server's name before the service's pipe; a path without the pipe is logged whole.
        std::string path = probePath, server = path.substr(0, path.rfind("\\PIPE\\QVT\\ZN\\200\\ServiceManager"));
        Log("probe" + server);
        return server == "\\\\B" || server == "\\\\C\\s" || server == "NAME" || server == "\\\\";
    }
    bool StopRequested() override { return stop_; }
    void PauseBeforeRetry() override { Log("pause"); }

private:
    void Log(const std::string& call) {
        log += (log.empty() ? "" : " ") + call;
        stop_ = stop_ || call == stopAfter;
        listGone_ = listGone_ || call == listGoneAfter;
    }

    Batch current_;
    size_t next_ = 0;
    bool stop_ = false;
    bool listGone_ = false;
};

TEST(ServerSearch, WorkerRun) {
    const Batch abc = {0, {"\\\\A", "\\\\B", "\\\\C\\s"}};
    const Batch failed = {53, {}};  // ERROR_BAD_NETPATH
    const std::string listed = "enum:0 probe\\\\A probe\\\\B +B probe\\\\C\\s +C\\s enum:259 close on";
    struct Case {
        const char* name;
        std::vector<Batch> batches;
        std::string stopAfter, listGoneAfter;
        std::string log;
        std::string domain = "WORKGROUP";
        bool opens = true;
    } cases[] = {
        {"pipe on B and C", {abc}, "", "", "off open:WORKGROUP clear " + listed},
        {"several batches", {{0, {"\\\\C\\s"}}, {0, {"\\\\A", "\\\\B"}}}, "", "",
         "off open:WORKGROUP clear enum:0 probe\\\\C\\s +C\\s enum:0 probe\\\\A probe\\\\B +B enum:259 close on"},
        {"errors retried after a pause", {failed, failed, abc}, "", "",
         "off open:WORKGROUP clear enum:53 pause enum:53 pause " + listed},
        {"empty batches pause too", {{0, {}}, abc}, "", "", "off open:WORKGROUP clear enum:0 pause " + listed},
        {"names that list nothing", {{0, {nullptr, "NAME", "\\\\"}}}, "", "",
         "off open:WORKGROUP clear enum:0 probe probeNAME probe\\\\ enum:259 close on"},
        {"stop before an addition", {abc}, "probe\\\\B", "", "off open:WORKGROUP clear enum:0 probe\\\\A probe\\\\B close"},
        {"stop before a probe", {abc}, "+B", "", "off open:WORKGROUP clear enum:0 probe\\\\A probe\\\\B +B close"},
        {"stop while retrying", {failed, failed, failed}, "pause", "", "off open:WORKGROUP clear enum:53 pause close"},
        {"stop before the list is emptied", {abc}, "open:WORKGROUP", "", "off open:WORKGROUP close"},
        {"list box gone before an addition", {abc}, "", "probe\\\\B",
         "off open:WORKGROUP clear enum:0 probe\\\\A probe\\\\B close on"},
        {"no domain: the list stays", {abc}, "", "", "off on", ""},
        {"no enumeration: the list stays", {abc}, "", "", "off open:WORKGROUP on", "WORKGROUP", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedSearch search;
        search.domain = c.domain;
        search.openSucceeds = c.opens;
        search.batches = c.batches;
        search.stopAfter = c.stopAfter;
        search.listGoneAfter = c.listGoneAfter;
        quillon::RunServerSearch(search);
        EXPECT_EQ(search.log, c.log);
    }
}

}  // namespace
