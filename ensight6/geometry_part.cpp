#include "ensight6/geometry_part.h"

#include <algorithm>

#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "dataset/element_conversion.h"
#include "host_api/host_memory.h"

namespace quorix {

int64_t GeometryPart::NodeCount() const {
    if (kind == Ensight6Unstructured) return imax;
    return static_cast<int64_t>(imax) * jmax * kmax;
}

int64_t GeometryPart::CellCount() const { return BlockCellCount(imax, jmax, kmax).value_or(0); }

GeometryPart* GeometryPartList::AppendPart(int32_t partNumber) {
    parts_.reserve(parts_.size() + 1);
    GeometryPart* part = HostNew<GeometryPart>("Geometry Part");
    if (part == nullptr) return nullptr;
    part->partNumber = partNumber;
    if (!parts_.empty()) parts_.back()->next = part;
    parts_.push_back(part);
    return part;
}

GeometryElementBlock* GeometryPartList::AppendBlock(GeometryPart& part) {
    GeometryElementBlock* block = HostNew<GeometryElementBlock>("Element");
    if (block == nullptr) return nullptr;
    GeometryElementBlock** link = &part.blocks;
    while (*link != nullptr) link = &(*link)->next;
    *link = block;
    return block;
}

void GeometryPartList::Release() {
    for (GeometryPart* part : parts_) {
        GeometryElementBlock* block = part->blocks;
        while (block != nullptr) {
            GeometryElementBlock* next = block->next;
            HostDelete(block);
            block = next;
        }
        HostDelete(part);
    }
    parts_.clear();
}

std::vector<const GeometryElementBlock*> ZoneBlockOrder(const GeometryPart& part) {
    std::vector<const GeometryElementBlock*> order;
    for (const GeometryElementBlock* b = part.blocks; b != nullptr; b = b->next)
        if (b->inCategory) order.push_back(b);
    SortIntoZoneOrder(order, [](const GeometryElementBlock* block) { return block->type; });
    return order;
}

bool CloseUnstructuredPart(GeometryPart& part) {
    ElementCategoryCode category = CategoryNone;
    for (GeometryElementBlock* b = part.blocks; b != nullptr; b = b->next)
        category = std::max(category, ElementCategory(b->type));
    part.category = category >= CategoryPoint ? category : CategoryUnknown;
    ZoneElementTally tally;
    for (GeometryElementBlock* b = part.blocks; b != nullptr; b = b->next) {
        b->inCategory = ElementCategory(b->type) == category && category >= CategoryPoint;
        if (b->inCategory) tally.Add(b->type, b->elementCount);
    }
    part.maxNodesPerElement = tally.maxNodesPerElement;
    part.polytope = tally.polytope;
    if (!IsCount32(tally.elements)) return false;
    part.jmax = static_cast<int32_t>(tally.elements);
    return true;
}

}  // namespace quorix
