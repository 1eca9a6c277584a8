// zelhost: a command-line host that drives the add-on through libzel.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "apps/addon_library.h"
#include "apps/case_command.h"
#include "apps/host_options.h"
#include "apps/info_command.h"
#include "apps/load_report.h"
#include "host/zel_host.h"
#include "host_api/zel_api.h"

namespace {

// Exit status of a load the user stopped with Ctrl-C, as shells report a SIGINT.
constexpr int StoppedStatus = 130;

void OnInterrupt(int) { zelhost::Interrupt(); }

// The first Ctrl-C asks the load to stop, as the host's Stop button does; the
// handler then reverts, so a second one ends zelhost at once.
void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

// A hook for tests, which need a load slow enough to interrupt.
int32_t TestDelayMs() {
    const char* text = std::getenv("ZELHOST_TEST_DELAY_MS");
    return text != nullptr ? static_cast<int32_t>(std::clamp(std::atol(text), 0L, 10000L)) : 0;
}

bool ConfigureHost(const HostOptions& options, std::string& error) {
    zelhost::Settings settings;
    settings.batchMode = options.batch;
    settings.messageBoxAnswer = options.answer.value_or(true);
    if (!options.hostVersion.empty() && !zelhost::ParseVersion(options.hostVersion, settings.version)) {
        error = "--host-version takes four numbers, e.g. 12.0.0.0";
        return false;
    }
    settings.cancelAtPercent = options.cancelAt;
    if (options.command == "pick" && !options.dialogCancel) settings.dialogAnswer = options.operands.front();
    settings.refuseRegistration = options.refuseRegistration;
    settings.withholdRawNodeMap = options.noRawNodeMap;
    settings.refuseValueSharing = options.noValueSharing;
    settings.drawProgress = !options.json && isatty(STDERR_FILENO) == 1;
    settings.checkDelayMs = TestDelayMs();
    zelhost::Configure(settings);
    return true;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool RunCommand(const HostOptions& options) {
    if (!options.preload.empty()) zelhost::CallLoader(LoadInstructions(options.preload));
    if (options.command == "load") return zelhost::CallLoader(LoadInstructions(options.operands.front()));
    if (options.command == "run") return zelhost::CallLoader(options.operands);
    return zelhost::CallLoaderSelected();
}

// Bytes this process has read from files so far (the kernel's count); -1 when unknown.
int64_t BytesReadSoFar() {
    std::FILE* io = std::fopen("/proc/self/io", "r");
    if (io == nullptr) return -1;
    long long bytes = -1;
    if (std::fscanf(io, "rchar: %lld", &bytes) != 1) bytes = -1;
    std::fclose(io);
    return bytes;
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "zelhost: %s\n", error.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    HostOptions options;
    std::string error;
    if (!ParseHostOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "zelhost: %s\n%s", error.c_str(), HostUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(HostUsage(), stdout);
        return 0;
    }
    if (options.command == "case") return RunCaseCommand(options.operands.front(), options.json);
    if (options.command == "info") return RunInfoCommand(options.operands.front(), options.json);
    if (!ConfigureHost(options, error)) return Fail(error);
    CatchInterrupt();
    if (!StartAddOn(options.addon.empty() ? DefaultAddOnPath() : options.addon, error)) return Fail(error);
    // An add-on that refused to register (the version gate) still gets a report.
    if (!zelhost::HasLoader()) std::fprintf(stderr, "zelhost: the add-on registered no loader\n");

    RunRecord run;
    const int64_t bytesBefore = BytesReadSoFar();
    const auto loadStart = std::chrono::steady_clock::now();
    run.loaded = zelhost::HasLoader() && RunCommand(options);
    run.loadSeconds = SecondsSince(loadStart);
    run.listRequests = options.dumpLoadRequests;
    if (run.listRequests) run.requests = zelhost::PendingLoadRequests();
    const zelhost::LockTimes lockAtLoad = zelhost::AddOnLockTimes();
    const double placedAtLoad = zelhost::LoadArraysPlacedSeconds();
    if (options.loadAll) {
        const auto forceStart = std::chrono::steady_clock::now();
        run.forceResult = zelhost::ForceAllLoads(options.threads);
        run.forceSeconds = SecondsSince(forceStart);
        run.forced = true;
    }
    // The open holds the lock throughout by design; what two threads share is the forcing.
    const zelhost::LockTimes lockAtEnd = zelhost::AddOnLockTimes();
    run.lock = {lockAtEnd.heldSeconds - lockAtLoad.heldSeconds, lockAtEnd.hostCallSeconds - lockAtLoad.hostCallSeconds};
    run.arraysPlacedSeconds = zelhost::LoadArraysPlacedSeconds() - placedAtLoad;
    const int64_t bytesAfter = BytesReadSoFar();
    if (bytesBefore >= 0 && bytesAfter >= bytesBefore) run.bytesRead = bytesAfter - bytesBefore;
    const ModelSnapshot model = TakeSnapshot(options.json, options.dumpConnectivity);

    // Leave as the host would: data set gone, then "quit" to the add-on.
    zelhost::DeleteAllFrames();
    zelhost::SendStateChange(ZelStateQuit);

    if (options.json) {
        std::fputs(RenderJsonReport(model, run).c_str(), stdout);
    } else {
        std::fputs(RenderTextReport(model, run).c_str(), stdout);
        if (options.time) {
            std::fprintf(stderr,
                         "load: %.6f s, force: %.6f s, lock held: %.6f s, in host calls: %.6f s, arrays placed: %.6f s "
                         "(forcing)\n",
                         run.loadSeconds, run.forceSeconds, run.lock.heldSeconds, run.lock.hostCallSeconds,
                         run.arraysPlacedSeconds);
        }
    }
    if (zelhost::Interrupted()) {
        std::fprintf(stderr, "zelhost: stopped by Ctrl-C; the data set was removed\n");
        return StoppedStatus;
    }
    const bool forceFailed = run.forced && run.forceResult.failures > 0;
    return run.loaded && !forceFailed ? 0 : 1;
}
