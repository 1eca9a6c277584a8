// The add-on's front door: entry, registration and the host's callbacks.
#include <cstdio>
#include <cstring>
#include <new>

#include "addon/load_request.h"
#include "gold/file_a.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"

namespace quorix {

namespace {

const char* const LoaderName = "Quorix";
const char* const AddOnVersion = "V1.0.0.0 (1.0.0.0) 2026-12-06";
const char* const AddOnAuthor = "The Quorix developers";
const int32_t RequiredVersion[4] = {12, 1, 0, 0};

// Default offered by the next file dialog.
char* rememberedCaseFileName = nullptr;

bool HostIsRecentEnough() {
    const int32_t host[4] = {ZelUtilZelvaneGetMajorVersion(), ZelUtilZelvaneGetMinorVersion(),
                             ZelUtilZelvaneGetMajorRevision(), ZelUtilZelvaneGetMinorRevision()};
    for (int i = 0; i < 4; ++i) {
        if (host[i] != RequiredVersion[i]) return host[i] > RequiredVersion[i];
    }
    return true;
}

Boolean_t LoaderCallback(StringList_pa instructions) noexcept {
    HostLock lock;
    LoadOptions options;
    bool result = false;
    try {
        result = ParseLoadInstructions(instructions, options) && LoadCaseFile(options);
    } catch (const std::bad_alloc&) {
        ZelUtilDialogErrMsg("Not enough memory to load data");
        result = false;
    }
    if (result) {
        ZelUtilImportSetLoaderInstr(LoaderName, instructions);
        ZelUtilFrameSetPlotType(1);
        ZelUtilRedraw(ZEL_TRUE);
    }
    ReleaseLoadOptions(options);
    return result ? ZEL_TRUE : ZEL_FALSE;
}

void RememberCaseFileName(const char* name) {
    ZelUtilStringDealloc(&rememberedCaseFileName);
    const size_t length = std::strlen(name);
    rememberedCaseFileName = ZelUtilStringAlloc(static_cast<int64_t>(length) + 1, "Case File Name");
    if (rememberedCaseFileName != nullptr) std::memcpy(rememberedCaseFileName, name, length + 1);
}

void LoadChosenCase(const char* name) {
    StringList_pa instructions = ZelUtilStringListAlloc();
    if (instructions == nullptr) return;
    ZelUtilStringListAppendString(instructions, "STANDARDSYNTAX");
    ZelUtilStringListAppendString(instructions, "1.0");
    ZelUtilStringListAppendString(instructions, "FILENAME_CASEFILE");
    ZelUtilStringListAppendString(instructions, name);
    LoaderCallback(instructions);  // reports its own errors
    ZelUtilStringListDealloc(&instructions);
}

// Case files by every name writers give them, and the master files of partitioned runs.
constexpr const char* CaseFileFilter = "*.case;*.encas;*.encase;*.sos";

void LoaderSelectedCallback() noexcept {
    HostLock lock;
    char* name = nullptr;
    if (!ZelUtilDialogGetFileName(0, &name, "EnSight Case", rememberedCaseFileName, CaseFileFilter) ||
        name == nullptr) {
        ZelUtilStringDealloc(&name);
        return;
    }
    if (ZelUtilDataSetIsAvailable() &&
        !ZelUtilDialogMessageBox("Warning: All current data will be lost. Continue?", ZelMessageQuestion)) {
        ZelUtilStringDealloc(&name);
        return;
    }
    RememberCaseFileName(name);
    LoadChosenCase(name);
    ZelUtilStringDealloc(&name);
}

void StateChangeCallback(int32_t stateChange) noexcept {
    if (stateChange == ZelStateQuit) ZelUtilStringDealloc(&rememberedCaseFileName);
}

void RegisterWithHost() {
    SetAddOnId(ZelUtilAddOnRegister(ZelAddOnApiVersion, LoaderName, AddOnVersion, AddOnAuthor));
    rememberedCaseFileName = nullptr;
    (void)NativeByteOrder();
    ZelUtilImportAddLoader(LoaderCallback, LoaderName, LoaderSelectedCallback, nullptr);
    ArgList_pa args = ZelUtilArgListAlloc();
    ZelUtilArgListAppendFunction(args, "CALLBACKFUNCTION", reinterpret_cast<ZelFunction_pf>(&StateChangeCallback));
    ZelUtilArgListAppendInt(args, "STATECHANGEMODE", ZelStateChangeModeV2);
    ZelUtilStateChangeAddCallbackX(args);
    ZelUtilArgListDealloc(&args);
}

}  // namespace

void InitAddOn() noexcept {
    ZelUtilLockOn();
    if (HostIsRecentEnough()) {
        RegisterWithHost();
    } else {
        char message[256];
        std::snprintf(message, sizeof message,
                      "Add-on \"%s\" requires Zelvane version %s\n or later.  Please contact Zelvane Technical Support.",
                      LoaderName, "12.1-0-0");
        ZelUtilDialogErrMsg(message);
    }
    ZelUtilLockOff();
}

}  // namespace quorix
