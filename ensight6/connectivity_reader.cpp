#include "ensight6/connectivity_reader.h"

#include <algorithm>
#include <vector>

#include "casefile/checked_math.h"
#include "casefile/element_types.h"
#include "dataset/element_conversion.h"
#include "ensight6/ascii_value_reader.h"
#include "ensight6/text_fields.h"
#include "host_api/host_lock.h"
#include "host_api/host_memory.h"

namespace quorix {
namespace {

// Node numbers per run: bounds the buffers whatever the part's size.
constexpr int64_t RunNodes = 4096;

// What every connectivity writer reports its failures against.
class PartWriter {
public:
    PartWriter(const GeometryPart& part, const Ensight6GeometryFile& geometry, Failure& failure)
        : part_(part), geometry_(geometry), failure_(failure) {}

    bool Fail(const std::string& what) {
        return failure_.Set("Error reading the connectivity of part " + std::to_string(part_.partNumber) + " in " +
                            geometry_.path + ": " + what + ".");
    }

protected:
    bool FailShape() { return Fail("element type does not fit the zone"); }

    bool CheckNodes(const int32_t* nodes, int32_t count) {
        for (int32_t i = 0; i < count; ++i)
            if (nodes[i] < 1 || nodes[i] > geometry_.nodeCount)
                return Fail("node number " + std::to_string(nodes[i]) + " out of range");
        return true;
    }

    // The element's nodes rewritten by `shape` (1-based indices into the element as read).
    static void AppendShape(const int32_t* nodes, const ElementShape& shape, std::vector<int32_t>& out) {
        for (int32_t k = 0; k < shape.entries; ++k) out.push_back(nodes[shape.nodes[k] - 1]);
    }

    const GeometryPart& part_;
    const Ensight6GeometryFile& geometry_;
    Failure& failure_;
};

// One block's elements, run by run, into node-map slots.
class BlockWriter : public PartWriter {
public:
    BlockWriter(const NodeMapAccess& access, const GeometryPart& part, const Ensight6GeometryFile& geometry,
                Failure& failure)
        : PartWriter(part, geometry, failure), access_(access) {}

    bool Begin(const GeometryElementBlock& block) {
        int32_t corners = access_.nodesPerElement;
        // a bar3 fills two segment slots
        shape_ = part_.category == CategoryLine ? LineShape(block.type) : NodeMapShape(block.type, corners);
        nodesPerElement_ = block.nodesPerElement;
        runEntries_ = std::max<int64_t>(RunNodes / std::max(shape_.entries, 1), 1) * shape_.entries;
        run_.clear();
        return (shape_.entries > 0 && shape_.entries % corners == 0) || FailShape();
    }

    // The nodes of one element as read (ids already mapped).
    bool Add(const int32_t* nodes) {
        if (!CheckNodes(nodes, nodesPerElement_)) return false;
        AppendShape(nodes, shape_, run_);
        if (static_cast<int64_t>(run_.size()) >= runEntries_) return Flush();
        return true;
    }

    bool Flush() {
        if (run_.empty()) return true;
        if (!WriteNodeRun(access_, access_.nodesPerElement, position_, static_cast<int64_t>(run_.size()), run_.data()))
            return Fail("more elements than the zone holds");
        position_ += static_cast<int64_t>(run_.size());
        run_.clear();
        return true;
    }

    int64_t entriesWritten() const { return position_ - 1; }

private:
    const NodeMapAccess& access_;
    ElementShape shape_;
    int32_t nodesPerElement_ = 0;
    int64_t runEntries_ = 1;
    int64_t position_ = 1;
    std::vector<int32_t> run_;
};

// Polygons or polyhedra of one zone, gathered at load time and handed to the
// host when it first needs the face map. Host allocation "Client Data".
struct Ensight6FaceMap {
    bool polyhedra = false;
    std::vector<int32_t> elementSizes;  // polygons: nodes; polyhedra: faces
    std::vector<int32_t> faceSizes;     // polyhedra: nodes per face
    std::vector<int32_t> nodes;
};

// Each element rewritten by its polygon or polyhedron table.
class FaceMapWriter : public PartWriter {
public:
    FaceMapWriter(Ensight6FaceMap& map, const GeometryPart& part, const Ensight6GeometryFile& geometry,
                  Failure& failure)
        : PartWriter(part, geometry, failure), map_(map) {}

    bool Begin(const GeometryElementBlock& block) {
        shape_ = map_.polyhedra ? PolyhedronShape(block.type) : PolygonShape(block.type);
        nodesPerElement_ = block.nodesPerElement;
        return shape_.entries > 0 || FailShape();
    }

    bool Add(const int32_t* nodes) {
        if (!CheckNodes(nodes, nodesPerElement_)) return false;
        AppendShape(nodes, shape_, map_.nodes);
        if (!map_.polyhedra) {
            map_.elementSizes.push_back(shape_.entries);
            return true;
        }
        map_.elementSizes.push_back(shape_.faces);
        map_.faceSizes.insert(map_.faceSizes.end(), shape_.faceSizes, shape_.faceSizes + shape_.faces);
        return true;
    }

    bool Flush() { return true; }

private:
    Ensight6FaceMap& map_;
    ElementShape shape_;
    int32_t nodesPerElement_ = 0;
};

Boolean_t LoadFaceMap(FaceMap_pa faceMap) {
    HostLock lock;
    const auto* map = reinterpret_cast<const Ensight6FaceMap*>(ZelUtilDataFaceMapGetClientData(faceMap));
    if (map == nullptr) return ZEL_FALSE;
    return ZelUtilDataFaceMapAssignElemToNodeMap(faceMap, static_cast<LgIndex_t>(map->elementSizes.size()),
                                                 map->elementSizes.data(),
                                                 map->polyhedra ? map->faceSizes.data() : nullptr, map->nodes.data());
}

void ReleaseFaceMap(FaceMap_pa faceMap) {
    HostLock lock;
    auto* map = reinterpret_cast<Ensight6FaceMap*>(ZelUtilDataFaceMapGetClientData(faceMap));
    HostDelete(map);
}

bool MapIds(const Ensight6GeometryFile& geometry, int32_t* nodes, int32_t npe, PartWriter& writer) {
    if (!HasNodeIds(geometry.idMode)) return true;
    for (int32_t i = 0; i < npe; ++i) {
        int32_t id = nodes[i];
        if (!MapNodeIds(geometry.nodeIdMap, nodes + i, 1))
            return writer.Fail("node id " + std::to_string(id) + " not in the node list");
    }
    return true;
}

template <class Writer>
bool ReadAsciiBlock(File_a& file, const GeometryElementBlock& block, const Ensight6GeometryFile& geometry,
                    Writer& writer) {
    if (!file.Seek(block.offset, 0)) return writer.Fail("seek failed");
    AsciiValueReader reader(file);
    const int32_t idWords = HasElementIds(geometry.idMode) ? 1 : 0;
    const int32_t words = idWords + block.nodesPerElement;
    // One element per line, read a batch of lines at a time.
    const int64_t batch = std::max<int64_t>(1, RunNodes / words);
    std::vector<int32_t> elements(static_cast<size_t>(std::min<int64_t>(batch, block.elementCount) * words));
    for (int64_t done = 0; done < block.elementCount;) {
        const int64_t n = std::min<int64_t>(batch, block.elementCount - done);
        if (!reader.ReadIntegers(elements.data(), n * words, words))
            return writer.Fail(file.BytesLeft() == 0 ? "the file ends inside an element block" : "bad element line");
        for (int64_t e = 0; e < n; ++e) {
            int32_t* nodes = elements.data() + e * words + idWords;
            if (!MapIds(geometry, nodes, block.nodesPerElement, writer) || !writer.Add(nodes)) return false;
        }
        done += n;
    }
    return true;
}

template <class Writer>
bool ReadBinaryBlock(File_a& file, const GeometryElementBlock& block, const Ensight6GeometryFile& geometry,
                     Writer& writer) {
    int32_t npe = block.nodesPerElement;
    int64_t size = file.FileSize();
    if (block.offset < 0 || block.offset > size || !FitsIn(block.elementCount, 4 * int64_t{npe}, size - block.offset))
        return writer.Fail("the file ends inside an element block");
    if (!file.Seek(block.offset, 0)) return writer.Fail("seek failed");
    int64_t runElements = std::max<int64_t>(RunNodes / npe, 1);
    std::vector<int32_t> run(static_cast<size_t>(std::min<int64_t>(runElements, block.elementCount) * npe));
    for (int64_t done = 0; done < block.elementCount;) {
        int64_t n = std::min(runElements, block.elementCount - done);
        if (!file.ReadInt32Array(run.data(), n * npe)) return writer.Fail("the file ends inside an element block");
        for (int64_t e = 0; e < n; ++e) {
            int32_t* nodes = run.data() + e * npe;
            if (!MapIds(geometry, nodes, npe, writer) || !writer.Add(nodes)) return false;
        }
        done += n;
    }
    return true;
}

// Every in-category block of the part, in zone order, through `writer`.
template <class Writer>
bool ReadBlocks(File_a& file, const GeometryPart& part, const Ensight6GeometryFile& geometry, Writer& writer) {
    for (const GeometryElementBlock* block : ZoneBlockOrder(part)) {
        if (!writer.Begin(*block)) return false;
        bool ok = geometry.encoding == EncodingAscii ? ReadAsciiBlock(file, *block, geometry, writer)
                                                     : ReadBinaryBlock(file, *block, geometry, writer);
        if (!ok || !writer.Flush()) return false;
    }
    return true;
}

}  // namespace

bool MapNodeIds(const NodeIdMap& map, int32_t* nodes, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        int32_t position = map.Position(nodes[i]);
        if (position < 1) return false;
        nodes[i] = position;
    }
    return true;
}

bool WriteNodeRun(const NodeMapAccess& access, int32_t corners, int64_t first, int64_t count, const int32_t* nodes) {
    if (corners < 1 || first < 1 || count < 0) return false;
    if (access.raw != nullptr) {
        if (corners != access.nodesPerElement || first - 1 > access.elementCount * corners - count) return false;
        int32_t* out = access.raw + (first - 1);
        for (int64_t i = 0; i < count; ++i) out[i] = nodes[i] - 1;
        return true;
    }
    for (int64_t i = 0; i < count; ++i) {
        int64_t p = first + i - 1;
        if (!SetEntry(access, p / corners + 1, static_cast<int32_t>(p % corners) + 1, nodes[i])) return false;
    }
    return true;
}

bool Ensight6ReadConnectivity(EntIndex_t zone, File_a& file, const GeometryPart& part,
                              const Ensight6GeometryFile& geometry, Failure& failure) {
    NodeMapAccess access;
    if (ZelUtilDataNodeAlloc(zone) == ZEL_TRUE) access = WritableNodeMapAccess(zone);
    BlockWriter writer(access, part, geometry, failure);
    if (access.nodesPerElement < 1 || (access.raw == nullptr && access.ref == nullptr))
        return writer.Fail("the zone's node map cannot be written");
    if (access.elementCount != part.jmax) return writer.Fail("element count differs from the zone's");
    if (!ReadBlocks(file, part, geometry, writer)) return false;
    if (writer.entriesWritten() != access.elementCount * access.nodesPerElement)
        return writer.Fail("fewer elements than the zone holds");
    return true;
}

bool Ensight6ReadFaceMap(EntIndex_t zone, File_a& file, const GeometryPart& part,
                         const Ensight6GeometryFile& geometry, Failure& failure) {
    Ensight6FaceMap* map = HostNew<Ensight6FaceMap>("Client Data");
    if (map == nullptr) {
        failure.Set("Not enough memory to load data");
        return false;
    }
    map->polyhedra = part.category == CategoryVolume;
    FaceMapWriter writer(*map, part, geometry, failure);
    bool ok = ReadBlocks(file, part, geometry, writer);
    if (ok && static_cast<int64_t>(map->elementSizes.size()) != part.jmax)
        ok = writer.Fail("element count differs from the zone's");
    if (ok && ZelUtilDataFaceMapCustomLOD(zone, 0, 0, 0, 0, LoadFaceMap, nullptr, ReleaseFaceMap,
                                          reinterpret_cast<ArbParam_t>(map)) == ZEL_TRUE)
        return true;
    if (ok) writer.Fail("the host refused the face map");
    HostDelete(map);
    return false;
}

}  // namespace quorix
