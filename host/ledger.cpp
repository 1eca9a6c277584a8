#include "host/ledger.h"

namespace zelhost {

void Ledger::Add(const void* block, const std::string& label, int64_t bytes) {
    std::lock_guard<std::mutex> guard(mutex_);
    blocks_[block] = Block{label, bytes};
}

bool Ledger::Remove(const void* block) {
    std::lock_guard<std::mutex> guard(mutex_);
    return blocks_.erase(block) == 1;
}

std::map<std::string, LedgerEntry> Ledger::Live() const {
    std::lock_guard<std::mutex> guard(mutex_);
    std::map<std::string, LedgerEntry> live;
    for (const auto& [block, entry] : blocks_) {
        LedgerEntry& sum = live[entry.label];
        ++sum.count;
        sum.bytes += entry.bytes;
    }
    return live;
}

bool Ledger::Holds(const void* block) const {
    std::lock_guard<std::mutex> guard(mutex_);
    return blocks_.count(block) == 1;
}

Ledger& TheLedger() {
    static Ledger* ledger = new Ledger;
    return *ledger;
}

}  // namespace zelhost
