#include "gold/part_collection.h"

#include <cstdint>

#include <algorithm>

#include "casefile/checked_math.h"
#include "casefile/element_types.h"

namespace quorix {

bool ClosePart(PartInfo& part) {
    ZoneElementTally tally;
    for (ElementBlockInfo& block : part.blocks) {
        block.inCategory = ElementCategory(block.type) == part.category;
        if (block.inCategory) tally.Add(block.type, block.elementCount);
    }
    part.maxNodesPerElement = tally.maxNodesPerElement;
    part.polytope = tally.polytope;
    const bool fits = IsCount32(tally.elements);
    part.elementCount = fits ? static_cast<int32_t>(tally.elements) : 0;
    part.jmax = part.elementCount;
    return fits;
}

bool SameMesh(const PartInfo& a, const PartInfo& b) {
    const auto sameBlock = [](const ElementBlockInfo& x, const ElementBlockInfo& y) {
        return x.type == y.type && x.elementCount == y.elementCount && x.faceCount == y.faceCount &&
               x.nodeCount == y.nodeCount;
    };
    return a.kind == b.kind && a.category == b.category && a.nodeCount == b.nodeCount &&
           a.elementCount == b.elementCount && a.imax == b.imax && a.jmax == b.jmax && a.kmax == b.kmax &&
           std::equal(a.blocks.begin(), a.blocks.end(), b.blocks.begin(), b.blocks.end(), sameBlock);
}

PartCollection::PartCollection(int32_t modelTimeSet, int32_t modelStepCount, int32_t measuredTimeSet,
                               int32_t measuredStepCount)
    : modelTimeSet(modelTimeSet),
      modelStepCount(modelStepCount),
      measuredTimeSet(measuredTimeSet),
      measuredStepCount(measuredStepCount) {}

PartInfo& PartCollection::AddPart(int32_t partNumber, int32_t step) {
    parts_.push_back(std::make_unique<PartInfo>());
    PartInfo& part = *parts_.back();
    part.partNumber = partNumber;
    part.step = step;
    auto [strand, added] = strandOf_.emplace(partNumber, static_cast<int32_t>(partNumbers_.size()) + 1);
    if (added) {
        partNumbers_.push_back(partNumber);
        zoneLists_.emplace_back();
    }
    ++zoneLists_[static_cast<size_t>(strand->second) - 1].records;
    firstPart_.emplace(partNumber, &part);
    partAt_.emplace(Key(partNumber, step), &part);
    return part;
}

int32_t PartCollection::StrandForPart(int32_t partNumber) const {
    auto found = strandOf_.find(partNumber);
    return strandBase + (found == strandOf_.end() ? 1 : found->second);
}

const PartInfo* PartCollection::PartForStrand(int32_t strand) const {
    strand -= strandBase;
    if (strand < 1 || static_cast<size_t>(strand) > partNumbers_.size()) return nullptr;
    return FindPart(partNumbers_[static_cast<size_t>(strand) - 1]);
}

const PartInfo* PartCollection::FindPart(int32_t partNumber) const {
    auto found = firstPart_.find(partNumber);
    return found == firstPart_.end() ? nullptr : found->second;
}

const PartInfo* PartCollection::FindPart(int32_t partNumber, int32_t step) const {
    auto found = partAt_.find(Key(partNumber, step));
    return found == partAt_.end() ? FindPart(partNumber) : found->second;
}

bool PartCollection::HasPartInStep(int32_t partNumber, int32_t step) const {
    return partAt_.count(Key(partNumber, step)) != 0;
}

void PartCollection::RecordPartZone(int32_t partNumber, int32_t step, int32_t zone) {
    auto found = strandOf_.find(partNumber);
    if (found == strandOf_.end()) return;
    PartZoneList& list = zoneLists_[static_cast<size_t>(found->second) - 1];
    if (list.firstZone == 0) list.firstZone = zone;
    // Steps usually come in order: appending needs no search.
    auto at = list.steps.empty() || list.steps.back() < step
                  ? list.steps.end()
                  : std::lower_bound(list.steps.begin(), list.steps.end(), step);
    if (at != list.steps.end() && *at == step) return;  // the first zone of a step stays
    const auto index = at - list.steps.begin();
    list.steps.insert(at, step);
    list.zones.insert(list.zones.begin() + index, zone);
}

void PartCollection::ReserveZonesPerPart(int32_t steps) {
    if (steps < 1) return;
    for (PartZoneList& list : zoneLists_) {
        list.steps.reserve(list.steps.size() + static_cast<size_t>(steps));
        list.zones.reserve(list.zones.size() + static_cast<size_t>(steps));
    }
}

void PartCollection::ReserveZonesForRecords() {
    for (PartZoneList& list : zoneLists_) {
        list.steps.reserve(list.steps.size() + list.records);
        list.zones.reserve(list.zones.size() + list.records);
    }
}

int32_t PartCollection::ZoneForPartStep(int32_t partNumber, int32_t step) const {
    const PartZoneList* list = ZonesOfPart(partNumber);
    if (list == nullptr) return 0;
    auto at = std::lower_bound(list->steps.begin(), list->steps.end(), step);
    if (at == list->steps.end() || *at != step) return 0;
    return list->zones[static_cast<size_t>(at - list->steps.begin())];
}

int32_t PartCollection::FirstZoneForPart(int32_t partNumber) const {
    const PartZoneList* list = ZonesOfPart(partNumber);
    return list != nullptr ? list->firstZone : 0;
}

const PartZoneList* PartCollection::ZonesOfPart(int32_t partNumber) const {
    auto found = strandOf_.find(partNumber);
    return found == strandOf_.end() ? nullptr : &zoneLists_[static_cast<size_t>(found->second) - 1];
}

bool PartCollection::BorrowConnectivity(int32_t connectivityStep, std::string& fault) {
    for (const auto& record : parts_) {
        PartInfo& part = *record;
        const bool coordinatesOnly = part.kind == PartUnstructured && part.blocks.empty() && part.nodeCount > 0;
        if (!coordinatesOnly || part.step <= connectivityStep || !HasPartInStep(part.partNumber, connectivityStep)) {
            continue;
        }
        const PartInfo& lender = *FindPart(part.partNumber, connectivityStep);
        if (lender.kind != PartUnstructured || lender.blocks.empty()) continue;
        if (lender.nodeCount != part.nodeCount) {
            fault = "Part " + std::to_string(part.partNumber) + " of " + part.fileName + " holds " +
                    std::to_string(part.nodeCount) + " nodes, but its elements, in " + lender.fileName + ", are for " +
                    std::to_string(lender.nodeCount) + ".";
            return false;
        }
        part.blocks = lender.blocks;
        part.category = lender.category;
        part.elementCount = lender.elementCount;
        part.jmax = lender.jmax;
        part.maxNodesPerElement = lender.maxNodesPerElement;
        part.polytope = lender.polytope;
        part.connectivityStep = connectivityStep;
    }
    return true;
}

bool PartCollection::AnyPartHasIBlank() const {
    // Called once per zone: remember what was already looked at. Only the most
    // recent record can still change while a scan runs, so it is looked at again.
    if (anyIBlank_) return true;
    size_t from = iblankChecked_ > 0 ? iblankChecked_ - 1 : 0;
    for (size_t i = from; i < parts_.size(); ++i) {
        if (parts_[i]->iblankOffset > 0) return anyIBlank_ = true;
    }
    iblankChecked_ = parts_.size();
    return false;
}

}  // namespace quorix
