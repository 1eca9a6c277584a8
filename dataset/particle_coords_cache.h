// The particle coordinates of one particle zone, read once for its X, Y and Z
// loaders and kept while any of them is registered.
#pragma once

#include <cstdint>

#include "dataset/deferred_load_info.h"
#include "gold/part_collection.h"

namespace quorix {

// A cache holding one reference (the registrar's); null when out of memory.
ParticleCoordsCache* NewParticleCoordsCache(const PartInfo& part);
void AddParticleRef(ParticleCoordsCache& cache);
// Lowers the count; the holder of the last reference frees the values (with
// their negative memory report), the mutex and the cache.
void DropParticleRef(ParticleCoordsCache* cache);
// The values of one component (0 X, 1 Y, 2 Z), reading the file on first use;
// null with `count` 0 when they cannot be read.
const float* ParticleComponent(ParticleCoordsCache& cache, int32_t component, int64_t& count);

}  // namespace quorix
