// _quorix: the host's face for Python. quorix/ (the package) builds the
// friendly API on it.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <utility>

#include "apps/info_command.h"
#include "host/data_set.h"
#include "host/recursive_lock.h"
#include "host/zel_host.h"
#include "host/python/host_arrays.h"
#include "host/python/open_case.h"

namespace quorixpy {
namespace {

// Runs `work` on a thread of its own while this one watches for Ctrl-C
// between waits: Python's handler raises KeyboardInterrupt here, which
// becomes the host's Stop. `stopped` tells whether it did.
template <class Work>
auto RunStoppable(Work work, bool& stopped) {
    std::packaged_task<decltype(work())()> task(std::move(work));
    auto result = task.get_future();
    std::thread worker(std::move(task));
    {
        py::gil_scoped_release release;
        while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
            py::gil_scoped_acquire acquire;
            if (PyErr_CheckSignals() != 0) {
                PyErr_Clear();
                zelhost::Interrupt();
                stopped = true;
            }
        }
    }
    worker.join();
    return result.get();
}

[[noreturn]] void RaiseKeyboardInterrupt() {
    zelhost::ClearInterrupt();
    PyErr_SetNone(PyExc_KeyboardInterrupt);
    throw py::error_already_set();
}

py::list MessageList(const std::vector<zelhost::Message>& messages) {
    py::list list;
    for (const zelhost::Message& message : messages) list.append(py::make_tuple(message.kind, message.text));
    return list;
}

// One loaded case: its data set in a frame of its own until closed.
class Case {
public:
    explicit Case(std::string path) : path_(std::move(path)) {
        bool stopped = false;
        LoadOutcome outcome = RunStoppable([this] { return LoadCase(path_); }, stopped);
        messages_ = outcome.messages;
        if (stopped) RaiseKeyboardInterrupt();
        if (outcome.dataSet == nullptr) throw LoadFailure(ErrorText(messages_, "cannot load " + path_));
        dataSet_ = std::move(outcome.dataSet);
    }

    // A case dropped unclosed leaves the host too; its arrays stay with their views.
    ~Case() { Close(); }
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;

    void Close() {
        if (dataSet_ != nullptr) CloseCase(dataSet_);
        dataSet_.reset();
    }
    bool closed() const { return dataSet_ == nullptr; }
    py::list messages() const { return MessageList(messages_); }

    std::string title() const {
        zelhost::HostGuard guard;
        return Open().title;
    }
    std::vector<std::string> variables() const {
        zelhost::HostGuard guard;
        return Open().variables;
    }
    int32_t zoneCount() const {
        zelhost::HostGuard guard;
        return Open().ZoneCount();
    }
    py::dict zone(int32_t number) const {
        zelhost::HostGuard guard;
        const zelhost::Zone& z = ZoneOf(Open(), number);
        py::dict facts;
        facts["name"] = z.name;
        facts["type"] = zelhost::ZoneTypeName(z.zoneType);
        facts["imax"] = z.imax;
        facts["jmax"] = z.jmax;
        facts["kmax"] = z.kmax;
        facts["nodes"] = z.NodeCount();
        facts["elements"] = z.ElementCount();
        facts["strand"] = z.strand;
        facts["time"] = z.solutionTime;
        return facts;
    }
    // Each holds the data set while the GIL is let go: a close() meanwhile frees nothing.
    bool hasValues(int32_t number, int32_t variable) const {
        const zelhost::DataSetHandle held = Held();
        return HasValues(ZoneOf(*held, number), variable - 1);
    }
    const char* location(int32_t number, int32_t variable) const {
        const zelhost::DataSetHandle held = Held();
        return ValueLocation(ZoneOf(*held, number), variable - 1);
    }
    py::array values(int32_t number, int32_t variable) const {
        const zelhost::DataSetHandle held = Held();
        return FieldView(ZoneOf(*held, number), variable - 1);
    }
    py::object cells(int32_t number) const {
        const zelhost::DataSetHandle held = Held();
        return CellsView(ZoneOf(*held, number));
    }
    int64_t pending() const { return zelhost::PendingLoadCount(Held()); }

    // Every deferred load from `threads` threads; Ctrl-C stops them and closes the case.
    py::dict loadAll(int threads, bool progress) {
        const zelhost::DataSetHandle dataSet = Held();
        zelhost::Settings settings = zelhost::CurrentSettings();
        settings.drawProgress = progress;
        zelhost::Configure(settings);
        const size_t mark = MessageMark();
        bool stopped = false;
        const zelhost::ForceResult result =
            RunStoppable([&] { return zelhost::ForceAllLoads(dataSet, threads); }, stopped);
        settings.drawProgress = false;
        zelhost::Configure(settings);
        const std::vector<zelhost::Message> messages = MessagesSince(mark);
        messages_.insert(messages_.end(), messages.begin(), messages.end());
        if (stopped) {
            Close();
            RaiseKeyboardInterrupt();
        }
        py::dict counts;
        counts["loads"] = result.loads;
        counts["failures"] = result.failures;
        counts["messages"] = MessageList(messages);
        return counts;
    }

private:
    const zelhost::DataSetHandle& Held() const {
        if (dataSet_ == nullptr) throw py::value_error("the case " + path_ + " is closed");
        return dataSet_;
    }
    const zelhost::DataSet& Open() const { return *Held(); }
    // Zones never leave a loaded data set, so a reference outlives the lock.
    static const zelhost::Zone& ZoneOf(const zelhost::DataSet& dataSet, int32_t number) {
        zelhost::HostGuard guard;
        const zelhost::Zone* z = dataSet.FindZone(number);
        if (z == nullptr) throw py::index_error("no zone " + std::to_string(number));
        return *z;
    }

    std::string path_;
    zelhost::DataSetHandle dataSet_;
    std::vector<zelhost::Message> messages_;
};

void Start(const std::string& addOnPath) {
    std::string error;
    if (!StartHost(addOnPath, error)) throw std::runtime_error(error);
}

// `zelhost info [--json]` of a case, without loading it.
std::string Info(const std::string& path, bool json) {
    const size_t mark = MessageMark();
    const CaseInfo info = DescribeCase(path, json);
    if (info.text.empty()) throw LoadFailure(ErrorText(MessagesSince(mark), "cannot read the case file " + path));
    return info.text;
}

py::dict Ledger() {
    py::dict live;
    for (const auto& [label, blocks] : zelhost::LiveAllocations()) {
        live[py::str(label)] = py::make_tuple(blocks.count, blocks.bytes);
    }
    return live;
}

void SetCheckDelay(int32_t milliseconds) {
    zelhost::Settings settings = zelhost::CurrentSettings();
    settings.checkDelayMs = milliseconds;
    zelhost::Configure(settings);
}

}  // namespace
}  // namespace quorixpy

PYBIND11_MODULE(_quorix, m) {
    using namespace quorixpy;
    m.doc() = "The host's face: cases loaded by the Quorix add-on, arrays as NumPy views.";
    py::register_exception<LoadFailure>(m, "LoadError", PyExc_RuntimeError);
    m.def("start", &Start, py::arg("addon"));
    m.def("info", &Info, py::arg("path"), py::arg("json") = true);
    m.def("ledger", &Ledger, "The host's live allocations by label: (count, bytes).");
    m.def("array_alive", [](uintptr_t data) { return zelhost::HostArrayAlive(reinterpret_cast<const void*>(data)); });
    m.def("set_check_delay", &SetCheckDelay, "Test hook: each percent-done check and forced load waits this long.");
    py::class_<Case>(m, "Case")
        .def(py::init<std::string>(), py::arg("path"))
        .def("close", &Case::Close)
        .def_property_readonly("closed", &Case::closed)
        .def_property_readonly("messages", &Case::messages)
        .def_property_readonly("title", &Case::title)
        .def_property_readonly("variables", &Case::variables)
        .def_property_readonly("zone_count", &Case::zoneCount)
        .def("zone", &Case::zone)
        .def("has_values", &Case::hasValues)
        .def("values", &Case::values)
        .def("location", &Case::location)
        .def("cells", &Case::cells)
        .def("pending", &Case::pending)
        .def("load_all", &Case::loadAll, py::arg("threads"), py::arg("progress"));
}
