#include "isolated_load.h"

#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <charconv>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>

#include "host/zel_host.h"
#include "host_api/zel_api.h"

namespace quorix {
void InitAddOn() noexcept;
}

// Present only in a --coverage build: the child's counts, which _exit would lose.
extern "C" void __gcov_dump() __attribute__((weak));

namespace sweep {

namespace {

// ---------------------------------------------------------------- the child

int reportFd = -1;

// Far above any case the sweep loads intact.
constexpr int64_t MaxSummedPositions = int64_t{1} << 24;

// Written straight to the pipe: the heap is exhausted when this runs.
void OnAllocationFailure() {
    static const char line[] = "allocationFailed\n";
    [[maybe_unused]] const ssize_t written = write(reportFd, line, sizeof line - 1);
    std::set_new_handler(nullptr);  // operator new now throws, as the add-on expects
}

// Mapped bytes now: the cap is relative to them, since a sanitizer runtime has
// terabytes of shadow reserved before the first load.
int64_t MappedBytes() {
    std::ifstream statm("/proc/self/statm");
    int64_t pages = 0;
    statm >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

void CapAddressSpace(int64_t headroom) {
    const rlim_t cap = static_cast<rlim_t>(MappedBytes() + headroom);
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
}

std::string Hex(uint64_t hash) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

// The bits of each value in 16 hex digits: exact, NaN included, and cheap
// enough for the cell fields of every load.
std::string ExactValues(const std::vector<double>& values) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text(values.size() * 16, '0');
    for (size_t i = 0; i < values.size(); ++i) {
        uint64_t bits = std::bit_cast<uint64_t>(values[i]);
        for (int d = 15; d >= 0; --d, bits >>= 4) text[i * 16 + static_cast<size_t>(d)] = digits[bits & 15];
    }
    return text;
}

std::vector<double> ValuesOf(const std::string& text) {
    std::vector<double> values(text.size() / 16);
    for (size_t i = 0; i < values.size(); ++i) {
        uint64_t bits = 0;
        std::from_chars(text.data() + i * 16, text.data() + i * 16 + 16, bits, 16);
        values[i] = std::bit_cast<double>(bits);
    }
    return values;
}

// Each line a tab-separated record; names never hold tabs or newlines here.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\t' || c == '\r') c = ' ';
    }
    return text;
}

// The part a zone shows, whatever kind of zone it became: a part cut after
// its coordinates is a point zone ("Point: name" where it was "Vol: name").
std::string ZonePart(const zelhost::ZoneSummary& zone) {
    const size_t kind = zone.name.find(": ");
    const std::string name = kind == std::string::npos ? zone.name : zone.name.substr(kind + 2);
    return "strand " + std::to_string(zone.strand) + " | " + OneLine(name);
}

std::string ZoneTime(const zelhost::ZoneSummary& zone) {
    char time[40];
    std::snprintf(time, sizeof time, "%.9g", zone.solutionTime);
    return time;
}

std::string ZoneShape(const zelhost::ZoneSummary& zone) {
    return std::string(zelhost::ZoneTypeName(zone.zoneType)) + " " + std::to_string(zone.imax) + "x" +
           std::to_string(zone.jmax) + "x" + std::to_string(zone.kmax) + " nodes " + std::to_string(zone.nodes) +
           " elements " + std::to_string(zone.elements);
}

void ReportArrays(std::ostringstream& out, int32_t zone, const std::vector<std::string>& variables,
                  const std::set<std::string>& known) {
    for (size_t v = 0; v < variables.size(); ++v) {
        const zelhost::FieldReport field = zelhost::Field(zone, static_cast<int32_t>(v + 1));
        if (!field.present) continue;
        const std::string key = OneLine(variables[v]) + '\t' + Hex(field.hash);
        out << "array\t" << OneLine(variables[v]) << '\t' << (field.location == 1) << '\t' << field.length << '\t'
            << Hex(field.hash) << '\t';
        if (field.location != 1 && known.count(key) == 0) {
            out << ExactValues(zelhost::FieldValues(zone, static_cast<int32_t>(v + 1)));
        }
        out << '\n';
    }
    const zelhost::ConnectivityReport nodes = zelhost::NodeMap(zone);
    if (nodes.present)  out << "array\t(nodeMap)\t0\t" << nodes.entries << '\t' << Hex(nodes.hash) << '\n';
    const zelhost::ConnectivityReport faces = zelhost::FaceMap(zone);
    if (faces.present)  out << "array\t(faceMap)\t0\t" << faces.entries << '\t' << Hex(faces.hash) << '\n';
}

std::string RunLoad(const std::string& casePath, bool batchMode, const std::set<std::string>& known) {
    std::ostringstream out;
    zelhost::ResetHost();
    zelhost::Settings settings;
    settings.batchMode = batchMode;
    settings.echoMessages = false;
    zelhost::Configure(settings);
    quorix::InitAddOn();
    const bool loaded = zelhost::HasLoader() &&
                        zelhost::CallLoader({"STANDARDSYNTAX", "1.0", "FILENAME_CASEFILE", casePath});
    const zelhost::ForceResult forced = zelhost::ForceAllLoads(1);
    out << "loaded\t" << loaded << '\n' << "forced\t" << forced.loads << '\t' << forced.failures << '\n';
    const std::vector<std::string> variables = zelhost::VariableNames();
    const int32_t zones = zelhost::ZoneCount();
    for (int32_t z = 1; z <= zones; ++z) {
        const auto zone = zelhost::ZoneInfo(z);
        if (!zone) continue;
        out << "zone\t" << ZonePart(*zone) << '\t' << ZoneTime(*zone) << '\t' << ZoneShape(*zone) << '\t' << zone->loadFailures << '\n';
        // A uniform block's sizes need no bytes behind them: a changed one can
        // make a zone of a billion nodes whose computed fields take minutes to sum.
        if (zone->nodes <= MaxSummedPositions && zone->elements <= MaxSummedPositions) ReportArrays(out, z, variables, known);
    }
    // Leave as the host would: data set gone, then "quit" to the add-on.
    zelhost::DeleteAllFrames();
    zelhost::SendStateChange(ZelStateQuit);
    for (const zelhost::Message& message : zelhost::Messages()) {
        if (message.kind == "error") out << "error\t" << OneLine(message.text) << '\n';
    }
    out << "client\t" << zelhost::ClientDataRegistered() << '\t' << zelhost::ClientDataReleased() << '\n';
    for (const auto& [label, live] : zelhost::LiveAllocations()) {
        out << "leak\t" << OneLine(label) << " x " << live.count << '\n';
    }
    for (const std::string& fault : zelhost::Faults()) out << "fault\t" << OneLine(fault) << '\n';
    out << "end\n";
    return out.str();
}

void WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// Each load's report follows a line "begin i", so the parent knows which load a death belongs to.
[[noreturn]] void RunChild(const std::string& casePath, size_t first, size_t count,
                           const std::function<void(size_t)>& prepare, const LoadLimits& limits, int outFd, int errFd) {
    dup2(errFd, STDERR_FILENO);
    close(errFd);
    reportFd = outFd;
    CapAddressSpace(limits.addressSpaceHeadroom);
    if (limits.heapFillByte != 0) mallopt(M_PERTURB, limits.heapFillByte);
    std::set_new_handler(OnAllocationFailure);
    try {
        for (size_t i = first; i < count; ++i) {
            WriteAll(outFd, "begin\t" + std::to_string(i) + "\n");
            prepare(i);
            WriteAll(outFd, RunLoad(casePath, limits.batchMode, limits.knownCellFields));
            std::set_new_handler(OnAllocationFailure);
        }
    } catch (...) {
        // Never back into the test program's own code: that is the parent's.
        _exit(3);
    }
    if (__gcov_dump != nullptr) __gcov_dump();
    _exit(0);  // no static destructors of the test program in the child
}

// ---------------------------------------------------------------- the parent

// Reads both pipes until the child closes them, or until it has said nothing for the timeout.
bool Drain(int outFd, int errFd, std::string& out, std::string& err, std::chrono::seconds timeout) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open = 2;
    char buffer[65536];
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (open > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        const int ready = poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return ready < 0;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
                deadline = std::chrono::steady_clock::now() + timeout;
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    return true;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    return fields;
}

void ParseReport(const std::string& text, LoadOutcome& outcome) {
    std::stringstream stream(text);
    ZoneOutcome* zone = nullptr;
    for (std::string line; std::getline(stream, line);) {
        const std::vector<std::string> f = Fields(line);
        if (f.empty()) continue;
        const std::string& tag = f.front();
        if (tag == "end") {
            outcome.reported = true;
        } else if (tag == "allocationFailed") {
            outcome.allocationFailed = true;
        } else if (tag == "loaded" && f.size() == 2) {
            outcome.loaded = f[1] == "1";
        } else if (tag == "forced" && f.size() == 3) {
            outcome.forcedLoads = std::stoll(f[1]);
            outcome.forceFailures = std::stoll(f[2]);
        } else if (tag == "zone" && f.size() == 5) {
            // A second zone of the same part and time gets its own key.
            const std::string base = f[1] + " | time " + f[2];
            std::string key = base;
            for (int n = 2; outcome.zones.count(key) != 0; ++n) key = base + " #" + std::to_string(n);
            zone = &outcome.zones[key];
            zone->part = f[1];
            zone->shape = f[3];
            zone->loadFailures = std::stoll(f[4]);
        } else if (tag == "array" && f.size() >= 5 && zone != nullptr) {
            // A node and an element variable may share a name.
            ArrayOutcome& array = zone->arrays[f[2] == "1" ? f[1] + " (nodal)" : f[1]];
            array = ArrayOutcome{f[2] == "1", std::stoll(f[3]), f[4], {}};
            if (f.size() == 6) array.cellValues = ValuesOf(f[5]);
        } else if (tag == "error" && f.size() == 2) {
            outcome.errors.push_back(f[1]);
        } else if (tag == "client" && f.size() == 3) {
            outcome.clientDataRegistered = std::stoll(f[1]);
            outcome.clientDataReleased = std::stoll(f[2]);
        } else if (tag == "leak" && f.size() == 2) {
            outcome.leaks.push_back(f[1]);
        } else if (tag == "fault" && f.size() == 2) {
            outcome.hostFaults.push_back(f[1]);
        }
    }
}

}  // namespace

std::string LoadOutcome::Uncleanliness() const {
    if (!started) return "the child could not be started";
    if (timedOut) return "no end within the time limit (a hang?)";
    if (allocationFailed) return "an allocation ran into the address-space cap (sized by a bad count?)";
    if (exitStatus > 128) return "killed by signal " + std::to_string(exitStatus - 128);
    if (exitStatus == 3) return "exit status 3 (an exception left the load)";
    if (exitStatus != 0) return "exit status " + std::to_string(exitStatus) + " (a sanitizer report?)";
    if (!reported) return "no complete report";
    std::string faults;
    if (!leaks.empty()) faults += "host blocks left alive:";
    for (const std::string& leak : leaks) faults += " " + leak + ";";
    if (clientDataRegistered != clientDataReleased) {
        faults += " client data registered " + std::to_string(clientDataRegistered) + ", released " +
                  std::to_string(clientDataReleased) + ";";
    }
    for (const std::string& fault : hostFaults) faults += " host fault: " + fault + ";";
    return faults;
}

std::string LoadOutcome::Silence() const {
    if (Succeeded()) return {};
    if (errors.empty()) return "the load failed without an error message";
    if (static_cast<int64_t>(errors.size()) < forceFailures) {
        return std::to_string(forceFailures) + " forced loads failed, but only " + std::to_string(errors.size()) +
               " error messages were left";
    }
    return {};
}

std::string LoadOutcome::Describe() const {
    std::string text = "loaded " + std::to_string(loaded) + ", forced " + std::to_string(forcedLoads) + " loads, " +
                       std::to_string(forceFailures) + " failed, " + std::to_string(zones.size()) + " zones";
    for (const std::string& error : errors) text += "\n  error: " + error.substr(0, 300);
    if (!childErrors.empty()) text += "\n  child stderr:\n" + childErrors.substr(0, 6000);
    return text;
}

namespace {

// One child running loads first.. until it ends; their outcomes appended to
// `outcomes`, none when it could not start.
void RunBatch(const std::string& casePath, size_t first, size_t count, const std::function<void(size_t)>& prepare,
              const LoadLimits& limits, std::vector<LoadOutcome>& outcomes) {
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0) return;
    if (pipe(errPipe) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return;
    }
    std::fflush(nullptr);  // nothing buffered twice
    const pid_t pid = fork();
    if (pid == 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        RunChild(casePath, first, count, prepare, limits, outPipe[1], errPipe[1]);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    if (pid < 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return;
    }
    std::string report, errors;
    const bool ended = Drain(outPipe[0], errPipe[0], report, errors, std::chrono::seconds(limits.timeoutSeconds));
    if (!ended) kill(pid, SIGKILL);
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    // Split the stream at its "begin" lines: one report each.
    size_t at = report.find("begin\t");
    while (at != std::string::npos) {
        const size_t next = report.find("begin\t", at + 1);
        LoadOutcome outcome;
        outcome.started = true;
        outcome.exitStatus = 0;
        ParseReport(report.substr(at, next == std::string::npos ? std::string::npos : next - at), outcome);
        outcomes.push_back(std::move(outcome));
        at = next;
    }
    // The child's end belongs to its last load when that one did not finish;
    // when it died between loads, to the next one.
    if (outcomes.size() == first || outcomes.back().reported) {
        if ((ended && status == 0) || outcomes.size() >= count) return;
        outcomes.emplace_back().started = true;
    }
    LoadOutcome& charged = outcomes.back();
    charged.timedOut = !ended;
    charged.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    charged.childErrors = errors;
}

}  // namespace

std::vector<LoadOutcome> LoadEachIsolated(const std::string& casePath, size_t count,
                                          const std::function<void(size_t)>& prepare, const LoadLimits& limits) {
    std::vector<LoadOutcome> outcomes;
    while (outcomes.size() < count) {
        const size_t before = outcomes.size();
        RunBatch(casePath, before, count, prepare, limits, outcomes);
        if (outcomes.size() == before) outcomes.emplace_back();  // no progress: count it as not started
    }
    return outcomes;
}

}  // namespace sweep
