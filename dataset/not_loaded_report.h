// Variables a load leaves out, each named with its reason and shown once after
// the variables, so that none is dropped without a word; the load goes on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "casefile/case_record.h"

namespace quorix {

class NotLoadedReport {
public:
    // One line: "name (reason)".
    void Add(std::string_view name, std::string_view reason);
    // The entries no loader reads: constants, and the particle values when
    // `particlesLeftOut` says why they cannot be loaded (null when they can).
    void AddUnloadable(const VariableSectionInfo& variables, const char* particlesLeftOut);
    bool empty() const { return lines_.empty(); }
    // Shows the list in one message under the host lock, then empties it.
    void Show();

private:
    std::vector<std::string> lines_;
};

}  // namespace quorix
