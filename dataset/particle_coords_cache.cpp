#include "dataset/particle_coords_cache.h"

#include "dataset/load_reader.h"
#include "host_api/host_memory.h"

namespace quorix {
namespace {

// Kilobytes of particleCount x 3 floats, as the host is told.
int64_t CacheKilobytes(const ParticleCoordsCache& cache) { return int64_t{cache.particleCount} * 3 / 256; }

// Runs under the cache mutex, never under the host lock.
void ReleaseValues(ParticleCoordsCache& cache) {
    if (!cache.values) return;
    cache.values = {};
    ZelUtilMemoryChangeNotify(-CacheKilobytes(cache));
}

// A C binary particle takes 16 bytes (id and x, y, z): 4 words.
void ReadValues(ParticleCoordsCache& cache) {
    const int64_t count = cache.particleCount;
    LoadReader reader;
    if (count < 1 || !reader.Open(cache.fileName, cache.format, cache.byteOrder, cache.offset) ||
        !reader.Fits(cache.offset, reader.isBinary() ? 4 * count : count))
        return;
    cache.values = PageArray<float>(3 * count);
    if (!cache.values) return;
    ZelUtilMemoryChangeNotify(CacheKilobytes(cache));
    if (!reader.ReadParticleCoords(cache.values.get(), count)) ReleaseValues(cache);
}

}  // namespace

ParticleCoordsCache* NewParticleCoordsCache(const PartInfo& part) {
    ParticleCoordsCache* cache = HostNew<ParticleCoordsCache>("Client Data");
    if (cache == nullptr) return nullptr;
    cache->mutex = ZelUtilThreadMutexAlloc();
    if (cache->mutex == nullptr) {
        HostDelete(cache);
        return nullptr;
    }
    try {
        cache->fileName = part.fileName;
    } catch (...) {
        cache->refCount = 1;
        DropParticleRef(cache);
        return nullptr;
    }
    cache->format = part.format;
    cache->byteOrder = part.byteOrder;
    cache->offset = part.xOffset;
    cache->particleCount = part.nodeCount;
    cache->refCount = 1;
    return cache;
}

void AddParticleRef(ParticleCoordsCache& cache) {
    ZelUtilThreadMutexLock(cache.mutex);
    ++cache.refCount;
    ZelUtilThreadMutexUnlock(cache.mutex);
}

void DropParticleRef(ParticleCoordsCache* cache) {
    ZelUtilThreadMutexLock(cache->mutex);
    const bool last = --cache->refCount == 0;
    ZelUtilThreadMutexUnlock(cache->mutex);
    if (!last) return;
    ReleaseValues(*cache);
    ZelUtilThreadMutexDealloc(&cache->mutex);
    HostDelete(cache);
}

const float* ParticleComponent(ParticleCoordsCache& cache, int32_t component, int64_t& count) {
    count = 0;
    const float* values = nullptr;
    ZelUtilThreadMutexLock(cache.mutex);
    try {
        if (!cache.values) ReadValues(cache);
    } catch (...) {
        ReleaseValues(cache);  // never half-read values; a later call retries
    }
    if (cache.values && component >= 0 && component < 3) {
        values = cache.values.get() + int64_t{cache.particleCount} * component;
        count = cache.particleCount;
    }
    ZelUtilThreadMutexUnlock(cache.mutex);
    return values;
}

}  // namespace quorix
