// What one load's geometry scans found: parts with their element blocks and
// file offsets, and the zone made for each (part number, step).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "casefile/element_types.h"
#include "gold/ensight_reader.h"
#include "gold/file_a.h"

namespace quorix {

constexpr int32_t ParticlePartNumber = -1;

struct ElementBlockInfo {
    ElementType type = ElementNone;
    int32_t nodesPerElement = 0;
    int32_t elementCount = 0;      // as written (bar3 not doubled)
    int32_t faceCount = 0;         // nfaced: faces of all elements
    int32_t nodeCount = 0;         // nsided: nodes of all polygons; nfaced: nodes of all faces
    int64_t offset = 0;            // connectivity, past any element ids
    bool inCategory = false;
};

// A Gold part as its scan found it. Not shared with EnSight 6 (GeometryPart):
// a Gold part is read later, by the deferred loads, so it carries what they
// need to reopen its file (name, encoding, byte order, every block's offset,
// structured ranges, the step that lends coordinates-only geometry its
// elements) and lives as an owned object for the whole load.
struct PartInfo {
    PartKind kind = PartCurvilinear;
    ElementCategoryCode category = CategoryUnknown;
    int32_t partNumber = 0;
    int32_t step = 0;              // 1-based
    std::string name;              // description as read
    std::string fileName;
    ByteOrder byteOrder = ByteOrderUnknown;
    GeometryEncoding format = EncodingUndefined;
    int32_t nodeCount = 0;
    int32_t elementCount = 0;      // in-category elements, bar3 twice; structured: cells
    int32_t imax = 1, jmax = 1, kmax = 1;
    int64_t xOffset = 0, yOffset = 0, zOffset = 0;
    int64_t iblankOffset = 0;      // > 0: the part has iblank values
    int32_t maxNodesPerElement = 0;
    bool polytope = false;
    int32_t rangeIMin = 1, rangeJMin = 1, rangeKMin = 1;  // structured "range": first index used
    int32_t rectI = 0, rectJ = 0, rectK = 0;  // rectilinear: lengths of the x, y, z arrays in the file
    std::vector<ElementBlockInfo> blocks;     // file order
    // Coordinates-only geometry: the step whose part lends the elements (their
    // offsets lie in that step's file); 0 when the part holds its own.
    int32_t connectivityStep = 0;
};

// Sets maxNodesPerElement, inCategory, elementCount (bar3 twice), jmax and
// polytope from the blocks and `category`; false when a count overflows int32.
bool ClosePart(PartInfo& part);

// No nodes and no elements: a part selected by a criterion that nothing met at that step.
inline bool IsEmptyPart(const PartInfo& part) { return part.nodeCount == 0 && part.elementCount == 0; }

// Same nodes, elements and element blocks: values read against one fit the other.
bool SameMesh(const PartInfo& a, const PartInfo& b);

// One part's zones by step: steps ascending, each once, with the zone made first.
struct PartZoneList {
    std::vector<int32_t> steps;
    std::vector<int32_t> zones;  // parallel to steps
    int32_t firstZone = 0;       // the first zone recorded, whatever its step
    size_t records = 0;          // scanned records of the part: the zones a scan can yield
};

class PartCollection {
public:
    PartCollection(int32_t modelTimeSet, int32_t modelStepCount, int32_t measuredTimeSet,
                   int32_t measuredStepCount);

    PartInfo& AddPart(int32_t partNumber, int32_t step);
    int32_t StrandForPart(int32_t partNumber) const;
    const PartInfo* PartForStrand(int32_t strand) const;
    const PartInfo* FindPart(int32_t partNumber) const;
    // The record of (partNumber, step), else the first with that part number.
    const PartInfo* FindPart(int32_t partNumber, int32_t step) const;
    bool HasPartInStep(int32_t partNumber, int32_t step) const;
    void RecordPartZone(int32_t partNumber, int32_t step, int32_t zone);
    // Room for `steps` more zones of every part, so a series of steps grows no list.
    void ReserveZonesPerPart(int32_t steps);
    // Room for a zone per scanned record.
    void ReserveZonesForRecords();
    int32_t ZoneForPartStep(int32_t partNumber, int32_t step) const;
    int32_t FirstZoneForPart(int32_t partNumber) const;
    // The zones of a part by step; null for a part number never scanned.
    const PartZoneList* ZonesOfPart(int32_t partNumber) const;
    bool AnyPartHasIBlank() const;
    // Coordinates-only geometry: each part that holds nodes but no elements
    // after `connectivityStep` (1-based) takes the elements of that step's
    // part. False, with `fault` naming the file, when node counts differ.
    bool BorrowConnectivity(int32_t connectivityStep, std::string& fault);
    // Another case loaded into the same data set has iblank values, so the data set has "IBlank".
    void ShareIBlank() { anyIBlank_ = true; }
    bool IsGeometryTransient() const { return modelStepCount > 1; }
    bool IsMeasuredTransient() const { return measuredStepCount > 1; }
    bool AcceptsVariableTimeSet(int32_t timeSet) const { return timeSet == 0 || timeSet == modelTimeSet; }
    bool AcceptsMeasuredTimeSet(int32_t timeSet) const { return timeSet == 0 || timeSet == measuredTimeSet; }

    const std::vector<std::unique_ptr<PartInfo>>& parts() const { return parts_; }

    int32_t modelTimeSet;
    int32_t modelStepCount;
    int32_t measuredTimeSet;
    int32_t measuredStepCount;
    int32_t strandBase = 0;  // strands of the cases loaded before this one into the same data set

private:
    static uint64_t Key(int32_t partNumber, int32_t step) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(partNumber)) << 32) | static_cast<uint32_t>(step);
    }
    std::vector<std::unique_ptr<PartInfo>> parts_;
    std::vector<int32_t> partNumbers_;
    std::vector<PartZoneList> zoneLists_;                     // parallel to partNumbers_
    std::unordered_map<int32_t, int32_t> strandOf_;           // part number -> strand (1-based)
    std::unordered_map<int32_t, const PartInfo*> firstPart_;  // part number -> first record
    std::unordered_map<uint64_t, const PartInfo*> partAt_;    // (part, step) -> record
    mutable bool anyIBlank_ = false;
    mutable size_t iblankChecked_ = 0;  // records already looked at by AnyPartHasIBlank
};

}  // namespace quorix
