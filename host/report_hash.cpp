// The report's hash: XXH3 from the header alone, so libzel links nothing more.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include "host/zel_host.h"

namespace zelhost {

uint64_t HashBytes(const void* data, size_t bytes, uint64_t seed) { return XXH3_64bits_withSeed(data, bytes, seed); }

}  // namespace zelhost
