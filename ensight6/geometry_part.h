// One part of an EnSight 6 geometry file as the scan found it, and the
// list of a file's parts.
#pragma once

#include <cstdint>
#include <vector>

#include "casefile/element_types.h"
#include "casefile/string_record.h"
#include "gold/part_collection.h"

namespace quorix {

// The part kinds zone creation knows, by their EnSight 6 names.
constexpr PartKind Ensight6Block = PartCurvilinear;
constexpr PartKind Ensight6Unstructured = PartUnstructured;

// Node and element ids carried by an unstructured part's file (kept in kmax).
enum Ensight6IdMode : int32_t { IdsNone = 1, IdsBoth = 2, IdsElementOnly = 3, IdsNodeOnly = 4 };

inline bool HasNodeIds(int32_t idMode) { return idMode == IdsBoth || idMode == IdsNodeOnly; }
inline bool HasElementIds(int32_t idMode) { return idMode == IdsBoth || idMode == IdsElementOnly; }

// Host allocation "Element".
struct GeometryElementBlock {
    ElementType type = ElementNone;
    int32_t nodesPerElement = 0;
    int32_t elementCount = 0;  // as written
    int64_t offset = 0;        // first element line (ASCII) or connectivity integer (C binary)
    bool inCategory = false;   // loaded; lower-category blocks are passed over
    GeometryElementBlock* next = nullptr;
};

// Host allocation "Geometry Part". Not a PartInfo: the EnSight 6 path keeps
// its plain records in host memory as a linked list, its part kinds and id
// modes are those of that format (kmax holds the id mode), and its node maps
// are written during the load, so no deferred load needs a file's name or
// encoding from it. Both close their element blocks with one ZoneElementTally.
struct GeometryPart {
    PartKind kind = Ensight6Block;
    int32_t partNumber = 0;
    char description[StringRecordBytes + 1] = {};  // 79 characters allowed; room for 80 and the terminator
    int32_t imax = 1;           // block: I; unstructured: nodes of the file
    int32_t jmax = 1;           // block: J; unstructured: in-category elements (bar3 twice)
    int32_t kmax = 1;           // block: K; unstructured: Ensight6IdMode
    int64_t xOffset = 0, yOffset = 0, zOffset = 0;
    int64_t iblankOffset = 0;   // 0: no iblank values
    int32_t maxNodesPerElement = 0;
    GeometryElementBlock* blocks = nullptr;
    ElementCategoryCode category = CategoryUnknown;  // highest loadable ElementCategory of the blocks
    bool polytope = false;      // higher-order elements in the category: a polygon or polyhedron zone
    GeometryPart* next = nullptr;

    int64_t NodeCount() const;  // block: I*J*K; unstructured: nodes of the file
    int64_t CellCount() const;  // block: see BlockCellCount
};

// Parts in file order, in host memory; released with the list.
class GeometryPartList {
public:
    GeometryPartList() = default;
    GeometryPartList(const GeometryPartList&) = delete;
    GeometryPartList& operator=(const GeometryPartList&) = delete;
    ~GeometryPartList() { Release(); }

    // Null when the host has no memory.
    GeometryPart* AppendPart(int32_t partNumber);
    static GeometryElementBlock* AppendBlock(GeometryPart& part);
    void Release();

    GeometryPart* head() const { return parts_.empty() ? nullptr : parts_.front(); }
    const std::vector<GeometryPart*>& parts() const { return parts_; }
    int32_t size() const { return static_cast<int32_t>(parts_.size()); }

private:
    std::vector<GeometryPart*> parts_;
};

// The part's in-category blocks in zone order: by ascending type code, file
// order within a type (the element order of every unstructured zone).
std::vector<const GeometryElementBlock*> ZoneBlockOrder(const GeometryPart& part);

// Closes an unstructured part: category, in-category flags, jmax,
// maxNodesPerElement and polytope. False when the element count overflows int32.
bool CloseUnstructuredPart(GeometryPart& part);

}  // namespace quorix
