// The add-on's deferred loaders against a slow reference loader written from
// the same rules (fuzz/reference_loader.h): any disagreement on success or on
// a single value bit traps. The input layout is in fuzz/differential_load.h.
#include <cstdint>
#include <cstdio>
#include <string>

#include "differential_load.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t MaxInput = 1 << 16;
    if (size > MaxInput) return 0;
    const std::string differs = differential::Run(data, size);
    if (!differs.empty()) {
        std::fprintf(stderr, "differential: %s\n", differs.c_str());
        __builtin_trap();
    }
    return 0;
}
