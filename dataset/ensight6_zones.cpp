#include "dataset/ensight6_zones.h"

#include "dataset/element_conversion.h"
#include "host_api/host_handles.h"
#include "host_api/variable_numbers.h"
#include "host_api/zel_api.h"

namespace quorix {
namespace {

constexpr const char* CategoryPrefixes[] = {"", "Point: ", "Line: ", "Surf: ", "Vol: "};

bool IsPointRow(const Ensight6ZoneShape& part) {
    return part.kind == PartUnstructured && part.category == CategoryPoint;
}

std::string ZoneName(const Ensight6ZoneShape& part) {
    if (part.kind != PartUnstructured) return part.description;
    bool known = part.category >= CategoryPoint && part.category <= CategoryVolume;
    return std::string(CategoryPrefixes[known ? part.category : 0]) + part.description;
}

}  // namespace

int32_t ZoneTypeForEnsight6Part(const Ensight6ZoneShape& part) {
    if (part.kind != PartUnstructured) return ZelZoneOrdered;
    return UnstructuredZoneType(part.category, part.maxNodesPerElement, part.polytope);
}

int32_t CreateEnsight6PartZone(const Ensight6ZoneShape& part, int32_t strand, int32_t shareZone, float solutionTime) {
    int32_t zoneType = ZoneTypeForEnsight6Part(part);
    int64_t jmax = IsPointRow(part) ? 1 : part.jmax;
    int64_t kmax = IsPointRow(part) ? 1 : part.kmax;
    if (zoneType == ZelZoneInvalid || part.imax < 1 || jmax < 1 || kmax < 1) return 0;
    EntIndex_t zoneCount = 0;
    EntIndex_t varCount = 0;
    if (ZelUtilDataSetGetInfo(nullptr, &zoneCount, &varCount) != ZEL_TRUE) return 0;
    std::vector<int32_t> dataTypes(static_cast<size_t>(varCount), ZelFieldFloat);
    if (varCount >= IBlankVariable) dataTypes[IBlankVariable - 1] = ZelFieldInt32;
    std::string name = ZoneName(part);

    HostArgList args;
    ZelUtilArgListAppendString(args.get(), "NAME", name.c_str());
    ZelUtilArgListAppendInt(args.get(), "ZONETYPE", zoneType);
    ZelUtilArgListAppendInt(args.get(), "IMAX", part.imax);
    ZelUtilArgListAppendInt(args.get(), "JMAX", jmax);
    ZelUtilArgListAppendInt(args.get(), "KMAX", kmax);
    ZelUtilArgListAppendArray(args.get(), "VARDATATYPE", dataTypes.data());
    ZelUtilArgListAppendInt(args.get(), "DEFERVARCREATION", 1);
    ZelUtilArgListAppendInt(args.get(), "STRANDID", strand);
    ZelUtilArgListAppendDouble(args.get(), "SOLUTIONTIME", static_cast<double>(solutionTime));
    if (zoneType != ZelZoneOrdered) {
        if (shareZone > 0)
            ZelUtilArgListAppendInt(args.get(), "CONNECTSHAREZONE", shareZone);
        else
            ZelUtilArgListAppendInt(args.get(), "DEFERNODEMAPCREATION", 1);
    }
    if (ZelUtilDataSetAddZoneX(args.get()) != ZEL_TRUE) return 0;
    int32_t zone = zoneCount + 1;
    for (int32_t v = XVariable; shareZone > 0 && v <= IBlankVariable && v <= varCount; ++v)
        ZelUtilDataValueShare(shareZone, zone, v);
    return zone;
}

}  // namespace quorix
