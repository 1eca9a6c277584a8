// Every block the host hands out, by label, so tests can see what leaks.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

namespace zelhost {

struct LedgerEntry {
    int64_t count = 0;
    int64_t bytes = 0;
};

class Ledger {
public:
    void Add(const void* block, const std::string& label, int64_t bytes);
    // False when the block was never handed out (or is already back).
    bool Remove(const void* block);
    std::map<std::string, LedgerEntry> Live() const;
    bool Holds(const void* block) const;

private:
    struct Block {
        std::string label;
        int64_t bytes;
    };
    // Its own mutex: allocations happen under add-on mutexes that must never meet the host lock.
    mutable std::mutex mutex_;
    std::unordered_map<const void*, Block> blocks_;
};

Ledger& TheLedger();

}  // namespace zelhost
