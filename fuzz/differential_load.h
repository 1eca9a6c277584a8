// One input of the differential target: a small header says what a geometry
// scan would have recorded (encoding, node count, coordinate and iblank
// positions, element blocks, the sections of a per-element variable) and the
// rest is the file. The add-on's deferred loaders run through libzel as in a
// load; the reference loader reads the same file value by value; both must
// agree on success and, on success, bit for bit.
//
// Header, integers little-endian:
//   0      encoding % 4: ASCII, C binary little-endian, big-endian, Fortran binary
//          big-endian (positions name records' starts)
//   1      node count
//   2      bits 0-3: piece size - 1 of a direct chunked read; bit 4: it reads
//          integers; bit 5: a per-element variable
//   3      bits 0-2: element blocks; bits 4-6: variable sections
//   4..15  x, y, z, iblank (0: none) positions; direct read position and count (u16 each)
//   blocks, 9 bytes each: type % 17, elements (u16), position (u16), faces (u16), nodes (u16)
//   sections, 5 bytes each: type (bits 0-4, % 18, 17 is no element type; bits 5-6 form:
//          1 undef, 2 partial, else plain; bit 7 present), values (u16), position (u16);
//          an undef or partial section 4 more: marker or index list position (u16),
//          values listed (u16)
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "casefile/element_types.h"
#include "dataset/deferred_loading.h"
#include "dataset/load_reader.h"
#include "dataset/zone_creation.h"
#include "gold/ensight_reader.h"
#include "gold/file_a.h"
#include "gold/part_collection.h"
#include "gold/variable_info.h"
#include "host/zel_host.h"
#include "host_api/host_lock.h"
#include "host_api/zel_api.h"
#include "reference_loader.h"
#include "scratch_dir.h"

namespace differential {

constexpr size_t HeaderBytes = 16;
constexpr size_t BlockBytes = 9;
constexpr size_t SectionBytes = 5;
constexpr size_t FormBytes = 4;

struct Input {
    reference::Encoding encoding = reference::Encoding::Ascii;
    int32_t nodeCount = 0;
    int64_t piece = 1;
    bool directInts = false;
    bool cellVariable = false;
    int64_t coordinates[3] = {};
    int64_t iblank = 0;
    int64_t directOffset = 0, directCount = 0;
    reference::Part part;
    std::vector<reference::Section> sections;
    std::string bytes;
};

inline int64_t U16(const uint8_t* at) { return at[0] | at[1] << 8; }

inline bool Parse(const uint8_t* data, size_t size, Input& in) {
    if (size < HeaderBytes) return false;
    const size_t blocks = data[3] & 7, sections = (data[3] >> 4) & 7;
    if (size < HeaderBytes + blocks * BlockBytes) return false;
    constexpr reference::Encoding encodings[] = {reference::Encoding::Ascii, reference::Encoding::LittleEndian,
                                                 reference::Encoding::BigEndian, reference::Encoding::FortranBigEndian};
    in.encoding = encodings[data[0] % 4];
    in.nodeCount = data[1];
    in.piece = (data[2] & 15) + 1;
    in.directInts = (data[2] & 16) != 0;
    in.cellVariable = (data[2] & 32) != 0;
    for (int axis = 0; axis < 3; ++axis) in.coordinates[axis] = U16(data + 4 + 2 * axis);
    in.iblank = U16(data + 10);
    in.directOffset = U16(data + 12);
    in.directCount = U16(data + 14);
    const uint8_t* at = data + HeaderBytes;
    for (size_t b = 0; b < blocks; ++b, at += BlockBytes)
        in.part.blocks.push_back({at[0] % reference::TypeCount, U16(at + 1), U16(at + 3), U16(at + 5), U16(at + 7)});
    const uint8_t* end = data + size;
    for (size_t s = 0; s < sections; ++s) {
        if (end - at < static_cast<std::ptrdiff_t>(SectionBytes)) return false;
        const int32_t type = (at[0] & 31) % 18;
        const int32_t form = (at[0] >> 5) & 3;
        reference::Section& section = in.sections.emplace_back();
        section.type = type == 17 ? 255 : type;
        section.present = (at[0] & 128) != 0;
        section.count = U16(at + 1);
        section.offset = U16(at + 3);
        at += SectionBytes;
        if (form != 1 && form != 2) continue;
        if (end - at < static_cast<std::ptrdiff_t>(FormBytes)) return false;
        section.form = form == 1 ? reference::Form::Undef : reference::Form::Partial;
        section.formOffset = U16(at);
        section.listed = form == 2 ? U16(at + 2) : 0;
        at += FormBytes;
    }
    in.part.nodeCount = in.nodeCount;
    in.bytes.assign(reinterpret_cast<const char*>(at), static_cast<size_t>(end - at));
    return true;
}

inline std::string WriteFile(const std::string& bytes) {
    const std::string path = ScratchRoot() + "/fuzz_differential_" + std::to_string(::getpid());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {};
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written ? path : std::string();
}

inline quorix::GeometryEncoding FormatOf(reference::Encoding encoding) {
    if (encoding == reference::Encoding::Ascii) return quorix::EncodingAscii;
    return encoding == reference::Encoding::FortranBigEndian ? quorix::EncodingFortranBinary : quorix::EncodingCBinary;
}

inline quorix::ByteOrder ByteOrderOf(reference::Encoding encoding) {
    return encoding == reference::Encoding::LittleEndian ? quorix::LittleEndian : quorix::BigEndian;
}

template <class T>
uint64_t HashOf(const std::vector<T>& values) {
    return zelhost::HashBytes(values.data(), values.size() * sizeof(T));
}

// What differed, empty while everything agrees.
class Verdict {
public:
    void Differs(const std::string& what) {
        if (text_.empty()) text_ = what;
    }
    void Check(bool agree, const std::string& what) {
        if (!agree) Differs(what);
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// A field loaded by the host against the reference's values of it.
template <class T>
void CompareField(Verdict& verdict, int32_t zone, int32_t variable, bool expected, const std::vector<T>& values,
                  const std::string& what) {
    const bool loaded = zelhost::ForceField(zone, variable);
    verdict.Check(loaded == expected, what + (expected ? ": the add-on failed" : ": the add-on succeeded"));
    if (!loaded || !expected) return;
    const zelhost::FieldReport report = zelhost::Field(zone, variable);
    verdict.Check(report.length == static_cast<int64_t>(values.size()) && report.hash == HashOf(values),
                  what + ": values differ");
}

// LoadReader and ReadChunks with a small chunk, so that chunk boundaries fall
// inside inputs this small.
template <class T>
void CompareDirectRead(Verdict& verdict, const Input& in, const std::string& path) {
    std::vector<T> expected;
    reference::File file(in.bytes, in.encoding);
    const bool expectedOk = reference::ReadInPieces(file, in.directOffset, in.directCount, in.piece, expected);
    std::vector<T> got;
    quorix::LoadReader reader;
    const bool ok = reader.Open(path, FormatOf(in.encoding), ByteOrderOf(in.encoding), in.directOffset) &&
                    reader.Fits(in.directOffset, in.directCount) &&
                    quorix::ReadChunks<T>(reader, in.directCount, in.piece, [&](T* values, int64_t first, int64_t n) {
                        if (first != static_cast<int64_t>(got.size())) return false;
                        got.insert(got.end(), values, values + n);
                        return true;
                    });
    verdict.Check(ok == expectedOk, "chunked read: success differs");
    if (ok && expectedOk) verdict.Check(HashOf(got) == HashOf(expected) && got.size() == expected.size(),
                                        "chunked read: values differ");
}

// The part record as the geometry scan leaves it.
inline void FillPart(const Input& in, const std::string& path, quorix::PartInfo& part) {
    part.kind = quorix::PartUnstructured;
    part.fileName = path;
    part.format = FormatOf(in.encoding);
    part.byteOrder = ByteOrderOf(in.encoding);
    part.nodeCount = part.imax = in.nodeCount;
    part.xOffset = in.coordinates[0];
    part.yOffset = in.coordinates[1];
    part.zOffset = in.coordinates[2];
    part.iblankOffset = in.iblank;
    part.category = quorix::CategoryPoint;
    for (const reference::Block& block : in.part.blocks) {
        quorix::ElementBlockInfo& info = part.blocks.emplace_back();
        info.type = static_cast<quorix::ElementType>(block.type);
        info.nodesPerElement = quorix::NodesPerElement(info.type);
        info.elementCount = static_cast<int32_t>(block.count);
        info.faceCount = static_cast<int32_t>(block.faces);
        info.nodeCount = static_cast<int32_t>(block.nodes);
        info.offset = block.offset;
        part.category = std::max(part.category, quorix::ElementCategory(info.type));
    }
    quorix::ClosePart(part);
}

inline quorix::PartVariableInfo VariableOf(const Input& in, const quorix::PartInfo& part) {
    quorix::PartVariableInfo variable;
    variable.partNumber = part.partNumber;
    variable.step = part.step;
    variable.fileName = part.fileName;
    variable.format = part.format;
    variable.byteOrder = part.byteOrder;
    for (const reference::Section& section : in.sections) {
        quorix::TypeVariableInfo& type = variable.types.emplace_back();
        type.type = static_cast<quorix::ElementType>(section.type);
        type.count = static_cast<int32_t>(section.count);
        type.present = section.present;
        type.componentOffset[0] = section.offset;
        if (section.form == reference::Form::Plain) continue;
        const bool undef = section.form == reference::Form::Undef;
        type.form.kind = undef ? quorix::SectionForm::Undef : quorix::SectionForm::Partial;
        type.form.offset = section.formOffset;
        type.form.listed = static_cast<int32_t>(section.listed);
    }
    return variable;
}

inline std::vector<std::string> PendingKinds() {
    std::vector<std::string> kinds;
    for (const zelhost::LoadRequest& request : zelhost::PendingLoadRequests())
        kinds.push_back(request.kind + " " + std::to_string(request.variable));
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

// Zones made and loads forced through the host, each against the reference.
inline void CompareZoneLoads(Verdict& verdict, const Input& in, const std::string& path) {
    const reference::Zone expected = reference::ZoneOf(in.part);
    quorix::PartCollection collection(0, 1, 0, 1);
    quorix::PartInfo& part = collection.AddPart(1, 1);
    FillPart(in, path, part);
    Set_pa zones = ZelUtilSetAlloc(ZEL_FALSE);
    quorix::CreateGeometryZones(collection, false, nullptr, zones);
    ZelUtilSetDealloc(&zones);
    const int32_t zone = collection.ZoneForPartStep(1, 1);
    verdict.Check((zone >= 1) == expected.made, "zone made or not");
    if (zone < 1 || !expected.made) return;

    const bool withIBlank = in.iblank > 0;
    const bool connectivity = expected.category >= 2;
    bool placed = false;
    std::vector<float> cellValues;
    reference::File cellFile(in.bytes, in.encoding);
    const bool cellsRead = reference::CellValues(cellFile, expected, in.sections, placed, cellValues);
    int32_t cellVariable = 0;
    if (in.cellVariable && connectivity) {
        EntIndex_t zoneCount = 0, variableCount = 0;
        ZelUtilDataSetGetInfo(nullptr, &zoneCount, &variableCount);
        cellVariable = variableCount + 1;
        if (!quorix::AddVariables(1, "cells", 0) ||
            !quorix::RegisterCellValueLoaders(VariableOf(in, part), part, zone, cellVariable, 1))
            cellVariable = 0;
        verdict.Check(cellVariable != 0 || !placed, "cell values not registered");
    }

    std::vector<std::string> kinds = {"values 1", "values 2", "values 3"};
    if (withIBlank) kinds.push_back("values 4");
    if (connectivity) kinds.push_back(expected.faceMap ? "faceMap 0" : "nodeMap 0");
    if (cellVariable != 0 && placed) kinds.push_back("values " + std::to_string(cellVariable));
    std::sort(kinds.begin(), kinds.end());
    verdict.Check(PendingKinds() == kinds, "registered loads differ");

    for (int axis = 0; axis < 3; ++axis) {
        std::vector<float> values;
        reference::File file(in.bytes, in.encoding);
        const bool ok = reference::ReadReals(file, in.coordinates[axis], in.nodeCount, values);
        CompareField(verdict, zone, axis + 1, ok, values, "coordinate " + std::to_string(axis + 1));
    }
    if (withIBlank) {
        std::vector<int32_t> values;
        reference::File file(in.bytes, in.encoding);
        const bool ok = reference::ReadInts(file, in.iblank, in.nodeCount, values);
        CompareField(verdict, zone, 4, ok, values, "iblank");
    }
    if (connectivity && !expected.faceMap) {
        std::vector<int32_t> entries;
        reference::File file(in.bytes, in.encoding);
        const bool ok = reference::NodeMap(file, in.part, expected, entries);
        const bool loaded = zelhost::ForceNodeMap(zone);
        verdict.Check(loaded == ok, ok ? "node map: the add-on failed" : "node map: the add-on succeeded");
        if (loaded && ok) verdict.Check(zelhost::NodeMapNodes(zone) == entries, "node map: entries differ");
    }
    if (connectivity && expected.faceMap) {
        reference::FaceMapArrays arrays;
        reference::File file(in.bytes, in.encoding);
        const bool ok = reference::FaceMap(file, in.part, expected, arrays);
        const bool loaded = zelhost::ForceFaceMap(zone);
        verdict.Check(loaded == ok, ok ? "face map: the add-on failed" : "face map: the add-on succeeded");
        const std::optional<zelhost::FaceMapArrays> got = zelhost::FaceMapContents(zone);
        if (loaded && ok)
            verdict.Check(got.has_value() && got->polyhedron == (expected.category == 4) &&
                              got->elementCounts == arrays.elementSizes && got->nodes == arrays.nodes &&
                              (expected.category == 3 || got->faceNodeCounts == arrays.faceSizes),
                          "face map: arrays differ");
    }
    if (cellVariable != 0 && placed) CompareField(verdict, zone, cellVariable, cellsRead, cellValues, "cell values");
}

// Runs one input; what differed, empty when the add-on and the reference agree.
inline std::string Run(const uint8_t* data, size_t size) {
    Input in;
    if (!Parse(data, size, in)) return {};
    const std::string path = WriteFile(in.bytes);
    if (path.empty()) return {};
    Verdict verdict;
    if (in.directInts) {
        CompareDirectRead<int32_t>(verdict, in, path);
    } else {
        CompareDirectRead<float>(verdict, in, path);
    }
    const int64_t liveBefore = zelhost::LiveAllocations()["Client Data"].count;
    zelhost::ResetHost();
    quorix::SetAddOnId(ZelUtilAddOnRegister(113, "Quorix differential", "1.0", "fuzz"));
    zelhost::Settings settings = zelhost::CurrentSettings();
    settings.batchMode = true;
    settings.echoMessages = false;  // batch mode still prints every error
    zelhost::Configure(settings);
    CompareZoneLoads(verdict, in, path);
    zelhost::DeleteAllFrames();
    verdict.Check(zelhost::ClientDataRegistered() == zelhost::ClientDataReleased(), "a registration was not cleaned up");
    verdict.Check(zelhost::LiveAllocations()["Client Data"].count == liveBefore, "client data left alive");
    std::remove(path.c_str());
    return verdict.text();
}

}  // namespace differential
