// Registration, version, locks, dialogs, percent-done status and state changes.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

#include "host/arg_list.h"
#include "host/host_state.h"
#include "host/host_strings.h"
#include "host/progress_line.h"
#include "host/recursive_lock.h"
#include "host_api/zel_api.h"

struct ZelAddOn_s {
    std::string name;
};

using namespace zelhost;

namespace {

std::string Text(const char* s) { return s != nullptr ? std::string(s) : std::string(); }

// Whether `pattern`, where '*' stands for any run of characters, matches all of `name` in any letter case.
bool GlobMatches(std::string_view pattern, std::string_view name) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && lower(pattern[p]) == lower(name[n])) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// The dialog lists the files whose name (folder aside) matches one of the
// filter's ';'-separated patterns; an empty filter lists every file.
bool FilterLists(std::string_view filter, const std::string& path) {
    if (filter.empty()) return true;
    const std::string_view name = std::string_view(path).substr(path.find_last_of('/') + 1);
    for (size_t begin = 0; begin <= filter.size();) {
        const size_t end = std::min(filter.find(';', begin), filter.size());
        if (GlobMatches(filter.substr(begin, end - begin), name)) return true;
        begin = end + 1;
    }
    return false;
}

// One line redrawn in place; only a terminal gets it.
void ShowProgress(int32_t percent) {
    HostState& state = State();
    if (!state.progressShown) return;
    TheProgressLine().Draw(state.statusTexts.empty() ? std::string() : state.statusTexts.back(), percent);
}

// The test hook stands for a slow disk: a Ctrl-C can then arrive during the wait.
void WaitForTestHook() {
    const int32_t delay = State().settings.checkDelayMs;
    if (delay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
}

void AskToStopAt(int32_t percent) {
    HostState& state = State();
    if (state.interrupted.load()) state.stopRequested = true;
    const int32_t cancelAt = state.settings.cancelAtPercent;
    if (cancelAt >= 0 && percent >= cancelAt && !state.cancelHookFired) {
        state.cancelHookFired = true;  // the hook fires once per host
        state.stopRequested = true;
    }
}

}  // namespace

namespace zelhost {

// Batch mode shows no dialog; the text still goes to the log and to stderr.
void RecordMessage(const char* kind, const std::string& text) {
    HostGuard guard;
    HostState& state = State();
    state.messages.push_back(Message{kind, text, !state.settings.batchMode});
    if (state.settings.echoMessages) std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace zelhost

extern "C" {

AddOn_pa ZelUtilAddOnRegister(int32_t, const char* name, const char*, const char*) {
    HostGuard guard;
    static ZelAddOn_s addOn;  // one identity serves every add-on's lock calls
    addOn.name = Text(name);
    return &addOn;
}

Boolean_t ZelUtilImportAddLoader(DataSetLoader_pf loader, const char* loaderName,
                                 DynamicMenuCallback_pf loaderSelected, DataSetLoaderInstructionOverride_pf) {
    if (loader == nullptr) return ZEL_FALSE;
    HostGuard guard;
    HostState& state = State();
    state.loader = loader;
    state.loaderName = Text(loaderName);
    state.loaderSelected = loaderSelected;
    return ZEL_TRUE;
}

Boolean_t ZelUtilImportSetLoaderInstr(const char*, StringList_pa instructions) {
    if (instructions == nullptr) return ZEL_FALSE;
    HostGuard guard;
    ++State().loaderInstructionCalls;
    return ZEL_TRUE;
}

Boolean_t ZelUtilStateChangeAddCallbackX(ArgList_pa args) {
    if (args == nullptr) return ZEL_FALSE;
    auto callback = reinterpret_cast<StateChangeAddOnCallback_pf>(args->Function(ArgName::CallbackFunction));
    if (callback == nullptr) return ZEL_FALSE;
    HostGuard guard;
    State().stateCallbacks.push_back(callback);
    return ZEL_TRUE;
}

int32_t ZelUtilZelvaneGetMajorVersion(void) { return State().settings.version[0]; }
int32_t ZelUtilZelvaneGetMinorVersion(void) { return State().settings.version[1]; }
int32_t ZelUtilZelvaneGetMajorRevision(void) { return State().settings.version[2]; }
int32_t ZelUtilZelvaneGetMinorRevision(void) { return State().settings.version[3]; }

void ZelUtilLockOn(void) { TheHostLock().LockForAddOn(); }

void ZelUtilLockOff(void) {
    if (!TheHostLock().Unlock()) State().Fault("ZelUtilLockOff without the lock");
}

void ZelUtilLockStart(AddOn_pa) { TheHostLock().LockForAddOn(); }

void ZelUtilLockFinish(AddOn_pa) {
    if (!TheHostLock().Unlock()) State().Fault("ZelUtilLockFinish without the lock");
}

void ZelUtilDialogErrMsg(const char* message) { RecordMessage("error", Text(message)); }

// A question in batch mode asks nobody: it takes the configured answer.
Boolean_t ZelUtilDialogMessageBox(const char* message, int32_t kind) {
    const bool question = kind == ZelMessageQuestion;
    RecordMessage(question ? "question" : "info", Text(message));
    if (!question) return ZEL_TRUE;
    return State().settings.messageBoxAnswer ? ZEL_TRUE : ZEL_FALSE;
}

Boolean_t ZelUtilDialogGetFileName(int32_t, char** fileName, const char*, const char*, const char* filter) {
    HostGuard guard;
    HostState& state = State();
    if (fileName == nullptr || !state.settings.dialogAnswer) return ZEL_FALSE;
    // A file the dialog does not list cannot be chosen: the user can only cancel.
    if (!FilterLists(Text(filter), *state.settings.dialogAnswer)) return ZEL_FALSE;
    *fileName = CopyToHostString(*state.settings.dialogAnswer, "Dialog File Name");
    return *fileName != nullptr ? ZEL_TRUE : ZEL_FALSE;
}

Boolean_t ZelUtilMacroIsBatchModeActive(void) { return State().settings.batchMode ? ZEL_TRUE : ZEL_FALSE; }

Boolean_t ZelUtilStatusStartPercentDone(const char* text, Boolean_t, Boolean_t showProgressBar) {
    HostGuard guard;
    HostState& state = State();
    state.statusTexts.push_back(Text(text));
    state.stopRequested = false;
    state.progressShown = showProgressBar != ZEL_FALSE && state.settings.drawProgress;
    return ZEL_TRUE;
}

Boolean_t ZelUtilStatusCheckPercentDone(int32_t percentDone) {
    HostGuard guard;
    ShowProgress(percentDone < 0 ? 0 : percentDone > 100 ? 100 : percentDone);
    WaitForTestHook();
    AskToStopAt(percentDone);
    return State().stopRequested ? ZEL_FALSE : ZEL_TRUE;
}

void ZelUtilStatusSetPercentDoneText(const char* text) {
    HostGuard guard;
    State().statusTexts.push_back(Text(text));
}

void ZelUtilStatusFinishPercentDone(void) {
    HostGuard guard;
    HostState& state = State();
    if (state.progressShown) TheProgressLine().Clear();
    state.progressShown = false;
    state.stopRequested = false;
}

void ZelUtilStateChanged(int32_t stateChange, Set_pa set) {
    HostGuard guard;
    State().stateChanges.push_back(StateChangeRecord{stateChange, SetMembers(set)});
}

Boolean_t ZelUtilFrameSetPlotType(int32_t) { return ZEL_TRUE; }

void ZelUtilRedraw(Boolean_t) {}

// Called under the add-on's particle-cache mutex: must not take the host lock.
void ZelUtilMemoryChangeNotify(int64_t changeInKB) { State().memoryKB.fetch_add(changeInKB); }

}  // extern "C"
