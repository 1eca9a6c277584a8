#include "host/field_data.h"

#include <cstring>

ZelFieldData_s::~ZelFieldData_s() {
    if (CleanupDue()) {
        cleanup_(this);
        CleanupDone();
    }
}

bool ZelFieldData_s::Register(LoadOnDemandVarLoad_pf load, LoadOnDemandVarUnload_pf, LoadOnDemandVarCleanup_pf cleanup,
                              FieldValueGetFunction_pf getValueFunction, FieldValueSetFunction_pf,
                              ArbParam_t clientData) {
    if (load == nullptr && getValueFunction == nullptr) return false;
    if (!AcceptRegistration(clientData, load != nullptr, cleanup != nullptr)) return false;
    load_ = load;
    cleanup_ = cleanup;
    // A get-value function stands in for the array only when nothing loads one.
    if (load == nullptr) getValue = getValueFunction;
    return true;
}

bool ZelFieldData_s::Allocate() {
    return storage.present() || storage.Allocate(count * 4);
}

bool ZelFieldData_s::SetValues(int64_t firstPosition, int64_t valueCount, const void* values) {
    if (firstPosition < 1 || valueCount < 0 || valueCount > count - (firstPosition - 1)) return false;
    if (valueCount > 0 && values == nullptr) return false;
    if (!Allocate()) return false;
    if (valueCount > 0) {
        std::memcpy(storage.data() + (firstPosition - 1) * 4, values, static_cast<size_t>(valueCount) * 4);
    }
    return true;
}

double ZelFieldData_s::ValueAt(int64_t position) const {
    if (!storage.present()) return getValue(const_cast<ZelFieldData_s*>(this), position);
    const std::byte* at = storage.data() + position * 4;
    if (dataType == ZelFieldInt32) {
        int32_t value;
        std::memcpy(&value, at, 4);
        return value;
    }
    float value;
    std::memcpy(&value, at, 4);
    return value;
}

bool ZelFieldData_s::CallLoad() {
    return zelhost::PrepareLoadArray(*this) && load_(this) != ZEL_FALSE;
}

void ZelFieldData_s::Discard() {
    storage.Release();
    hasMinMax = false;
}

bool ZelFieldData_s::MakePresent() { return Allocate(); }
