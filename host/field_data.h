// One variable's values in one zone (possibly shared by several zones).
#pragma once

#include <cstdint>

#include "host/deferred_data.h"
#include "host/host_buffer.h"
#include "host_api/zel_api.h"

struct ZelFieldData_s final : zelhost::DeferredData {
    ZelFieldData_s(int32_t dataType, int32_t location, int64_t count)
        : dataType(dataType), location(location), count(count) {}
    ~ZelFieldData_s() override;

    bool Register(LoadOnDemandVarLoad_pf load, LoadOnDemandVarUnload_pf unload, LoadOnDemandVarCleanup_pf cleanup,
                  FieldValueGetFunction_pf getValue, FieldValueSetFunction_pf setValue, ArbParam_t clientData);
    // Positions from 1; false outside the field.
    bool SetValues(int64_t firstPosition, int64_t valueCount, const void* values);
    bool Allocate();
    int64_t LoadBytesHint() const override { return count * 4; }
    bool present() const override { return storage.present() || getValue != nullptr; }
    // Value at a 0-based position, from storage or the get-value function.
    double ValueAt(int64_t position) const;

    const int32_t dataType;  // ZelFieldFloat or ZelFieldInt32: both four bytes a value
    const int32_t location;
    const int64_t count;
    zelhost::HostBuffer storage;
    bool hasMinMax = false;
    double minValue = 0.0;
    double maxValue = 0.0;
    FieldValueGetFunction_pf getValue = nullptr;

private:
    bool CallLoad() override;
    void Discard() override;
    bool MakePresent() override;

    LoadOnDemandVarLoad_pf load_ = nullptr;
    LoadOnDemandVarCleanup_pf cleanup_ = nullptr;
};
