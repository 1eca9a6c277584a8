// Gold geometry files: format and byte-order detection, and the structure scan.
#pragma once

#include "gold/ensight_reader.h"
#include "gold/part_collection.h"

namespace quorix {

class CFileEnsightGeom : public CFileEnsight {
public:
    bool nodeIdsPresent = false;
    bool elementIdsPresent = false;
};

class CFileEnsightGeomGold : public CFileEnsightGeom {
public:
    // Positioned at the first part (or particle section) header on success.
    virtual bool Open(const std::string& path);
    // One file of the series; `step` is its 0-based step index.
    bool ScanParts(PartCollection& collection, int32_t step);
    // Time steps the last ScanParts found in the file.
    int32_t stepsScanned() const { return stepsScanned_; }
    // What this file departs from the layout in ways the scan allowed for, as
    // one information text; empty when nothing.
    std::string DeparturesText() const;
    // The structured half of the scan, right after the "block" line.
    bool ScanStructuredBlock(PartInfo& part, PartKind structure, int32_t flags);
    // A "particle coordinates" section, right after its count.
    bool ScanParticles(PartInfo& part, int32_t count);

private:
    // Where a pass found the first part or particle section.
    struct FirstSection {
        bool found = false;
        HeaderKind kind = OtherLine;
        int64_t position = 0;
        int32_t number = 0;  // part number or particle count as read in that pass
    };
    void NoteIdOption(HeaderKind kind, int32_t option);
    bool FindFirstPart();
    FirstSection LocateFirstSection(ByteOrder byteOrder);
    OrderEvidence JudgeOrder(ByteOrder byteOrder);
    bool CountsFit(const FirstSection& section, ByteOrder byteOrder);
    bool ScanPart(PartCollection& collection, int32_t partNumber, int32_t step);
    bool ScanUnstructured(PartInfo& part, HeaderKind kind, int32_t value1, int32_t value2);
    bool ScanCoordinates(PartInfo& part, int32_t nodeCount);
    bool ScanElementBlock(PartInfo& part, ElementType type, int32_t count, ElementCategoryCode& category);
    bool SumSizes(int64_t count, int64_t& sum);
    bool EmptyLineBeforeDescriptions();
    // Whether a section read without its ids, from `first` to `end`, lacks them; leaves the position at `end`.
    bool IdsMissing(int64_t first, int64_t end, int32_t nodesPerElement);
    bool FirstLineCannotBeId(int64_t first, int32_t nodesPerElement);
    bool ReadBlockDimensions(PartInfo& part, int32_t flags, int64_t& nodes, int64_t& cells);
    bool ScanBlockCoordinates(PartInfo& part, int64_t nodes);
    bool SkipLabelledSection(HeaderKind expected, const char* missingText, int64_t count);
    // The ids when the next record is `label`; otherwise the position stays.
    bool SkipOptionalIds(HeaderKind label, int64_t count);

    int32_t stepsScanned_ = 0;
    bool emptyFirstLine_ = false;
    bool nodeIdsMissing_ = false;
    bool elementIdsMissing_ = false;
};

}  // namespace quorix
