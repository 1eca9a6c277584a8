#include "ensight6/step_zones.h"

#include <algorithm>

#include "dataset/element_conversion.h"

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
    std::vector<const GeometryElementBlock*> inFile;
    for (const GeometryElementBlock* b = part.blocks; b != nullptr; b = b->next) inFile.push_back(b);
    std::vector<int64_t> positions(inFile.size(), 0);
    int64_t next = 1;
    for (const GeometryElementBlock* block : ZoneBlockOrder(part)) {
        size_t index = static_cast<size_t>(std::find(inFile.begin(), inFile.end(), block) - inFile.begin());
        positions[index] = next;
        next += ZoneElementsOf(block->type, block->elementCount);
    }
    return positions;
}

}  // namespace quorix
