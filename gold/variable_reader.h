// Gold variable files (per node, per element, measured): format detection and
// the scan that records where each component's values lie.
#pragma once

#include "gold/ensight_reader.h"
#include "gold/part_collection.h"
#include "gold/variable_info.h"

namespace quorix {

class CFileEnsightVarGold : public CFileEnsight {
public:
    // `geometry` settles the byte order of files whose first part number is 0.
    bool Open(const std::string& path, const PartCollection& geometry);
    bool ScanVariableParts(PartCollection& collection, VariableKind& kind, int32_t step);
    // Time steps the last ScanVariableParts found in the file.
    int32_t stepsScanned() const { return stepsScanned_; }
    // What this file departs from the layout in ways the scan allowed for, as
    // one information text; empty when nothing.
    std::string DeparturesText() const;
    bool OpenMeasuredVariable(PartCollection& collection, VariableKind& kind, const std::string& path,
                              int32_t step, int32_t stride);
    bool ScanMeasuredValues(PartCollection& collection, VariableKind& kind, int32_t step);

private:
    bool OpenFile(const std::string& path, ByteOrder byteOrder);
    bool TryFirstPart(int32_t& partNumber, int64_t& partPosition);
    ByteOrder OrderOfPartZero(const PartCollection& geometry);
    // One string record; ASCII blank lines are passed over. `value1` as the
    // recogniser gives it; the number after "part" goes to `partNumber` unless null.
    // With `form`, a section header's form word is taken off first.
    HeaderKind NextRecord(std::string& text, int32_t& value1, int32_t* partNumber,
                          SectionForm::Kind* form = nullptr);
    bool SectionIsBare();
    bool RecordComponents(TypeVariableInfo& info, int32_t components, int64_t count);
    bool PassExtraComponents(int32_t components, int64_t count);
    bool StartsValueLine();
    bool RecordSection(TypeVariableInfo& info, SectionForm::Kind form, int32_t components, int32_t count);
    bool ScanPart(const PartCollection& collection, VariableKind& kind, int32_t partNumber, int32_t step);
    bool ScanNodeValues(const PartInfo& part, PartVariableInfo& record, int32_t components);
    bool ScanElementValues(const PartInfo& part, PartVariableInfo& record, int32_t components);
    bool TestMeasuredEncoding(int64_t valueCount);
    // OtherLine once the description is passed; EndOfFile when nothing is left.
    HeaderKind PassMeasuredHeader();
    bool ReadMeasuredString(std::string& text);
    bool BinaryValuesSettleOrder(int64_t count);
    bool AsciiValuesComplete(int64_t count);

    int32_t stepsScanned_ = 0;
    bool extraComponents_ = false;
};

}  // namespace quorix
