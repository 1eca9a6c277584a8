// Variable files of independent writers, scanned against their own geometry:
// every part must be found and its counts must agree with the geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "casefile/checked_math.h"
#include "gold/geometry_reader.h"
#include "gold/variable_reader.h"
#include "support/realwriter.h"

namespace quorix {
namespace {

enum class Where { Node, Element, Measured };

struct VariableFile {
    Where where;
    int32_t components;
    const char* file;
};

struct RealCase {
    const char* directory;
    const char* geometry;
    std::vector<VariableFile> variables;
};

const RealCase kCases[] = {
    {"gen_gold_ascii_unstructured", "mixed.geo",
     {{Where::Node, 1, "mixed.pressure"}, {Where::Node, 3, "mixed.velocity"}, {Where::Node, 6, "mixed.stress"},
      {Where::Element, 1, "mixed.cellvol"}, {Where::Element, 3, "mixed.cellvec"},
      {Where::Element, 6, "mixed.cellten"}}},
    {"gen_gold_struct_be", "blocks.geo",
     {{Where::Node, 1, "blocks.temperature"}, {Where::Node, 3, "blocks.velocity"},
      {Where::Element, 1, "blocks.density"}, {Where::Element, 6, "blocks.stress"}}},
    {"gen_gold_transient_ascii", "flow.geo0005",
     {{Where::Node, 1, "flow.T0005"}, {Where::Node, 3, "flow.V0005"}, {Where::Element, 1, "flow.Q0005"}}},
    {"gen_gold_transient_ascii", "parts.mgeo0005",
     {{Where::Measured, 1, "parts.diam0005"}, {Where::Measured, 3, "parts.vel0005"}}},
    {"of_cavity", "geometry", {{Where::Element, 3, "data/00000020/U"}, {Where::Element, 1, "data/00000100/p"}}},
    {"pv_sphere", "sphere.0.00000.geo", {{Where::Node, 1, "sphere.0.00000_n.RTData"}}},
    {"vtkw_mixed", "mixed.0.00000.geo",
     {{Where::Node, 1, "mixed.0.00000_n.pressure"}, {Where::Node, 3, "mixed.0.00000_n.velocity"},
      {Where::Element, 1, "mixed.0.00000_c.cellindex"}, {Where::Element, 3, "mixed.0.00000_c.cellvec"}}},
    {"vtkw_transient", "moving.0.00002.geo",
     {{Where::Node, 1, "moving.0.00002_n.pressure"}, {Where::Element, 3, "moving.0.00002_c.cellvec"}}},
};

// Values of a record as the geometry counts them: nodes, cells, or the
// elements of the in-category blocks as written (bar3 once).
int64_t GeometryValueCount(const PartInfo& part, Where where) {
    if (where != Where::Element) return part.nodeCount;
    if (part.kind != PartUnstructured) return *BlockCellCount(part.imax, part.jmax, part.kmax);
    int64_t elements = 0;
    for (const ElementBlockInfo& block : part.blocks) elements += block.inCategory ? block.elementCount : 0;
    return elements;
}

bool Scan(CFileEnsightVarGold& reader, PartCollection& collection, VariableKind& kind, const std::string& path,
          Where where) {
    if (where != Where::Measured) return reader.Open(path, collection) && reader.ScanVariableParts(collection, kind, 0);
    return reader.OpenMeasuredVariable(collection, kind, path, 0, 1) && reader.ScanMeasuredValues(collection, kind, 0);
}

TEST(VariableRealFiles, EveryPartMatchesItsGeometry) {
    SKIP_WITHOUT_REALWRITER();
    for (const RealCase& realCase : kCases) {
        const std::string directory = std::string(QUORIX_REALWRITER) + "/" + realCase.directory + "/";
        PartCollection collection(0, 1, 0, 1);
        CFileEnsightGeomGold geometry;
        ASSERT_TRUE(geometry.Open(directory + realCase.geometry)) << realCase.directory;
        ASSERT_TRUE(geometry.ScanParts(collection, 0)) << geometry.errorText();
        for (const VariableFile& variable : realCase.variables) {
            SCOPED_TRACE(std::string(realCase.directory) + "/" + variable.file);
            VariableKind kind;
            kind.isNodal = variable.where != Where::Element;
            kind.components = variable.components;
            CFileEnsightVarGold reader;
            ASSERT_TRUE(Scan(reader, collection, kind, directory + variable.file, variable.where))
                << reader.errorText();
            ASSERT_FALSE(kind.items.empty());
            for (const PartVariableInfo& record : kind.items) {
                const PartInfo* part = collection.FindPart(record.partNumber, record.step);
                ASSERT_NE(part, nullptr);
                int64_t present = 0;
                for (const TypeVariableInfo& info : record.types) present += info.present ? info.count : 0;
                EXPECT_EQ(present, GeometryValueCount(*part, variable.where)) << "part " << record.partNumber;
            }
        }
    }
}

}  // namespace
}  // namespace quorix
