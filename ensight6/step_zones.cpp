#include "ensight6/step_zones.h"

namespace quorix {

void Ensight6StepZones::IndexParts() {
    indexOf_.clear();
    const auto& parts = geometry->parts.parts();
    for (size_t i = 0; i < parts.size(); ++i) indexOf_.emplace(parts[i]->partNumber, static_cast<int32_t>(i));
}

int32_t Ensight6StepZones::PartIndex(int32_t partNumber) const {
    auto found = indexOf_.find(partNumber);
    return found == indexOf_.end() ? -1 : found->second;
}

std::vector<int64_t> BlockZonePositions(const GeometryPart& part) {
    std::vector<int64_t> positions;
    int64_t next = 1;
    for (const GeometryElementBlock* b = part.blocks; b != nullptr; b = b->next) {
        positions.push_back(b->inCategory ? next : 0);
        if (b->inCategory) next += b->ZoneElements();
    }
    return positions;
}

}  // namespace quorix
