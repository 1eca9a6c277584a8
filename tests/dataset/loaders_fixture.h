// Geometry and variable files written in all three encodings with the file
// positions recorded as a scan records them, zones made in our host, and the
// deferred loads forced through it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "addon/host_api/host_lock.h"
#include "addon/zel_api.h"
#include "casefile/element_types.h"
#include "dataset/deferred_loading.h"
#include "gold/part_collection.h"
#include "host/zel_host.h"
#include "support/ensight_writer.h"

namespace quorix::loadertest {

using test::Encoding;
using test::EnsightWriter;

using Elements = std::vector<std::vector<int32_t>>;

inline GeometryEncoding FormatOf(Encoding e) { return e == Encoding::Ascii ? EncodingAscii : EncodingCBinary; }
inline ByteOrder ByteOrderOf(Encoding e) { return e == Encoding::BinaryBE ? BigEndian : LittleEndian; }

inline const char* TypeName(int32_t type) {
    static const char* const names[] = {"point",  "bar2",      "bar3",   "tria3",   "tria6",  "quad4",
                                        "quad8",  "tetra4",    "tetra10", "pyramid5", "pyramid13", "penta6",
                                        "penta15", "hexa8",    "hexa20", "nsided",  "nfaced"};
    return names[type];
}

// One unstructured part written as a scan would find it, with its record.
class GeometryFile {
public:
    explicit GeometryFile(Encoding encoding, int32_t nodes = 20) : writer_(encoding) {
        writer_.GoldHeader().Part(1, "part");
        part_.kind = PartUnstructured;
        part_.partNumber = 1;
        part_.step = 1;
        part_.format = FormatOf(encoding);
        part_.byteOrder = ByteOrderOf(encoding);
        part_.nodeCount = nodes;
        part_.imax = nodes;
        writer_.String("coordinates").Int(nodes);
        part_.xOffset = writer_.size();
        writer_.Floats(EnsightWriter::Ramp(static_cast<size_t>(nodes)));
        part_.yOffset = writer_.size();
        writer_.Floats(EnsightWriter::Ramp(static_cast<size_t>(nodes), 100.0f));
        part_.zOffset = writer_.size();
        writer_.Floats(EnsightWriter::Ramp(static_cast<size_t>(nodes), 200.0f));
    }

    GeometryFile& Block(int32_t type, const Elements& elements) {
        writer_.String(TypeName(type)).Int(static_cast<int32_t>(elements.size()));
        Add(type, static_cast<int32_t>(elements.size()));
        for (const auto& element : elements) writer_.Ints(element, static_cast<int>(element.size()));
        return *this;
    }
    GeometryFile& Nsided(const Elements& polygons) {
        writer_.String("nsided").Int(static_cast<int32_t>(polygons.size()));
        ElementBlockInfo& block = Add(ElementNsided, static_cast<int32_t>(polygons.size()));
        for (const auto& polygon : polygons) {
            writer_.Int(static_cast<int32_t>(polygon.size()));
            block.nodeCount += static_cast<int32_t>(polygon.size());
        }
        for (const auto& polygon : polygons) writer_.Ints(polygon, static_cast<int>(polygon.size()));
        return *this;
    }
    // Each element: its faces, each face its nodes.
    GeometryFile& Nfaced(const std::vector<Elements>& elements) {
        writer_.String("nfaced").Int(static_cast<int32_t>(elements.size()));
        ElementBlockInfo& block = Add(ElementNfaced, static_cast<int32_t>(elements.size()));
        for (const auto& faces : elements) writer_.Int(static_cast<int32_t>(faces.size()));
        for (const auto& faces : elements)
            for (const auto& face : faces) {
                writer_.Int(static_cast<int32_t>(face.size()));
                ++block.faceCount;
                block.nodeCount += static_cast<int32_t>(face.size());
            }
        for (const auto& faces : elements)
            for (const auto& face : faces) writer_.Ints(face, static_cast<int>(face.size()));
        return *this;
    }

    // Closes the part as the scan does: highest category, in-category blocks,
    // bar3 twice, largest classic element, polytope rule.
    PartInfo& Close(const std::string& path) {
        int32_t category = 0;
        for (const auto& block : part_.blocks) category = std::max(category, ElementCategory(block.type, true));
        part_.category = category;
        part_.elementCount = 0;
        part_.maxNodesPerElement = 0;
        bool polytope = false;
        for (auto& block : part_.blocks) {
            block.inCategory = ElementCategory(block.type, true) == category;
            if (!block.inCategory) continue;
            part_.elementCount += block.type == ElementBar3 ? 2 * block.elementCount : block.elementCount;
            part_.maxNodesPerElement = std::max(part_.maxNodesPerElement, NodesPerElement(block.type));
            const int32_t t = block.type;
            polytope |= t == ElementNsided || t == ElementNfaced || t == ElementTria6 || t == ElementQuad8 ||
                        t == ElementTetra10 || t == ElementPyramid13 || t == ElementPenta15 || t == ElementHexa20;
        }
        polytope |= (category == 3 && part_.maxNodesPerElement > 4) || (category == 4 && part_.maxNodesPerElement >= 9);
        part_.polytope = polytope;
        part_.jmax = part_.elementCount;
        part_.fileName = path;
        writer_.Save(path);
        return part_;
    }

    EnsightWriter& writer() { return writer_; }
    PartInfo& part() { return part_; }

private:
    ElementBlockInfo& Add(int32_t type, int32_t count) {
        ElementBlockInfo block;
        block.type = type;
        block.nodesPerElement = NodesPerElement(type);
        block.elementCount = count;
        block.offset = writer_.size();
        part_.blocks.push_back(block);
        return part_.blocks.back();
    }

    EnsightWriter writer_;
    PartInfo part_;
};

// A fresh host per test with the add-on's identity; every host allocation the
// loaders made must be gone once the frames are deleted.
class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        zelhost::ResetHost();
        SetAddOnId(ZelUtilAddOnRegister(113, "Quorix loaders test", "1.0", "tests"));
    }
    void TearDown() override {
        zelhost::DeleteAllFrames();
        EXPECT_EQ(zelhost::ClientDataRegistered(), zelhost::ClientDataReleased());
        EXPECT_EQ(zelhost::LiveAllocations().count("Client Data"), 0u);
        for (const std::string& fault : zelhost::Faults()) ADD_FAILURE() << "host fault: " << fault;
        zelhost::ResetHost();
    }

    static void CreateDataSet(bool withIBlank = false) {
        StringList_pa names = ZelUtilStringListAlloc();
        for (const char* name : {"X", "Y", "Z"}) ZelUtilStringListAppendString(names, name);
        if (withIBlank) ZelUtilStringListAppendString(names, "IBlank");
        ASSERT_TRUE(ZelUtilDataSetCreate("Ensight Gold", names, ZEL_TRUE));
        ZelUtilStringListDealloc(&names);
    }

    // A zone of every variable deferred; node map deferred for finite elements.
    static int32_t AddZone(int32_t zoneType, int64_t imax, int64_t jmax, int64_t kmax = 1) {
        EntIndex_t zones = 0, variables = 0;
        ZelUtilDataSetGetInfo(nullptr, &zones, &variables);
        std::vector<int32_t> types(static_cast<size_t>(variables), ZelFieldFloat);
        if (variables >= 4 && zelhost::VariableNames()[3] == "IBlank") types[3] = ZelFieldInt32;
        ArgList_pa args = ZelUtilArgListAlloc();
        ZelUtilArgListAppendString(args, "NAME", "zone");
        ZelUtilArgListAppendInt(args, "ZONETYPE", zoneType);
        ZelUtilArgListAppendInt(args, "IMAX", imax);
        ZelUtilArgListAppendInt(args, "JMAX", jmax);
        ZelUtilArgListAppendInt(args, "KMAX", kmax);
        ZelUtilArgListAppendArray(args, "VARDATATYPE", types.data());
        ZelUtilArgListAppendInt(args, "DEFERVARCREATION", 1);
        if (zoneType != ZelZoneOrdered) ZelUtilArgListAppendInt(args, "DEFERNODEMAPCREATION", 1);
        const bool added = ZelUtilDataSetAddZoneX(args) == ZEL_TRUE;
        ZelUtilArgListDealloc(&args);
        EXPECT_TRUE(added);
        return added ? zones + 1 : 0;
    }

    // One deferred host variable at `location` (1 nodal, 0 cell); its number.
    static int32_t AddVariable(const std::string& name, int32_t location) {
        EntIndex_t zones = 0, variables = 0;
        ZelUtilDataSetGetInfo(nullptr, &zones, &variables);
        std::vector<int32_t> locations(static_cast<size_t>(zones), location), types(static_cast<size_t>(zones), 1);
        ArgList_pa args = ZelUtilArgListAlloc();
        ZelUtilArgListAppendString(args, "NAME", name.c_str());
        ZelUtilArgListAppendInt(args, "DEFERVARCREATION", 1);
        ZelUtilArgListAppendArray(args, "VALUELOCATION", locations.data());
        ZelUtilArgListAppendArray(args, "VARDATATYPE", types.data());
        EXPECT_TRUE(ZelUtilDataSetAddVarX(args));
        ZelUtilArgListDealloc(&args);
        return variables + 1;
    }

    // Zone type the zone-creation rules give an unstructured part.
    static int32_t ZoneTypeOf(const PartInfo& part) {
        switch (part.category) {
            case 1: return ZelZoneOrdered;
            case 2: return ZelZoneLineSeg;
            case 3: return part.polytope ? ZelZonePolygon : (part.maxNodesPerElement == 3 ? ZelZoneTriangle : ZelZoneQuad);
            case 4: return part.polytope ? ZelZonePolyhedron
                                         : (part.maxNodesPerElement == 4 ? ZelZoneTetra : ZelZoneBrick);
            default: return ZelZoneInvalid;
        }
    }

    // Data set, zone and the connectivity registration the zone's kind calls for.
    static int32_t UnstructuredZone(const PartInfo& part) {
        CreateDataSet();
        const int32_t zone = AddZone(ZoneTypeOf(part), part.nodeCount, part.elementCount);
        EXPECT_TRUE(RegisterCoordinateLoaders(part, zone));
        bool registered = false;
        if (part.category == 2) registered = RegisterLineNodeMapLoader(part, zone);
        else if (part.category == 3 && part.polytope) registered = RegisterPolygonFaceMapLoader(part, zone);
        else if (part.category == 4 && part.polytope) registered = RegisterPolyhedronFaceMapLoader(part, zone);
        else registered = RegisterNodeMapLoader(part, zone);
        EXPECT_TRUE(registered);
        return zone;
    }

    static std::vector<float> Values(int32_t zone, int32_t variable) {
        std::vector<float> values;
        for (double v : zelhost::FieldValues(zone, variable)) values.push_back(static_cast<float>(v));
        return values;
    }
};

inline std::string PathFor(Encoding e, const std::string& name) { return test::TempPath(name + "." + EncodingName(e)); }

}  // namespace quorix::loadertest
