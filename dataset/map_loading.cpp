// Node maps and face maps of unstructured zones, walked in element order.
#include <algorithm>

#include "casefile/element_types.h"
#include "dataset/field_loading.h"
#include "dataset/load_reader.h"
#include "host_api/host_lock.h"

namespace quorix {
namespace {

// Connectivity is read a whole number of elements at a time, so ASCII chunks
// end at line ends (one element per line).
int64_t ChunkElements(int32_t nodesPerElement) { return std::max<int64_t>(1, ChunkValues / nodesPerElement); }

// Reads the connectivity of `block`, rewrites each element by `shape` into
// `destination`(first element of the run) and hands each run to
// `consume`(entries, first element, elements).
template <class Destination, class Consume>
bool ConvertBlock(LoadReader& reader, const LoadBlock& block, const ElementShape& shape, int32_t nodeCount,
                  Destination&& destination, Consume&& consume) {
    const int32_t nodes = NodesPerElement(block.type);
    if (shape.entries < 1 || nodes < 1 || !reader.SeekFitting(block.offset, int64_t{block.count} * nodes))
        return false;
    return ReadChunks<int32_t>(reader, int64_t{block.count} * nodes, ChunkElements(nodes) * nodes,
                               [&](int32_t* connectivity, int64_t first, int64_t n) {
                                   const int64_t elements = n / nodes;
                                   int32_t* out = destination(first / nodes);
                                   return GatherElements(connectivity, elements, nodes, shape, nodeCount, out) &&
                                          consume(out, first / nodes, elements);
                               });
}

// Fixed-shape elements of a face-map zone: their nodes by the face table
// straight into the node list, their sizes repeated per element.
bool ConvertFixedFaces(LoadReader& reader, const LoadBlock& block, const ElementShape& shape, int32_t nodeCount,
                       int32_t* nodeList, int32_t* elementSizes, int32_t* faceSizes) {
    const int32_t perElement = shape.faces > 0 ? shape.faces : shape.entries;
    const auto destination = [&](int64_t first) { return nodeList + first * shape.entries; };
    return ConvertBlock(reader, block, shape, nodeCount, destination, [&](int32_t*, int64_t first, int64_t elements) {
        std::fill_n(elementSizes + first, elements, perElement);
        for (int64_t e = first; faceSizes != nullptr && e < first + elements; ++e)
            std::copy(shape.faceSizes, shape.faceSizes + shape.faces, faceSizes + e * shape.faces);
        return true;
    });
}

// A size array read from the file: every size at least 1 and the sum the scan recorded.
bool ReadSizes(LoadReader& reader, int32_t* sizes, int64_t count, int64_t expectedSum) {
    return reader.ReadInts(sizes, count) && SizesAddUp(sizes, count, expectedSum);
}

bool ReadNodeNumbers(LoadReader& reader, int32_t* nodes, int64_t count, int32_t nodeCount) {
    return reader.ReadInts(nodes, count) && NodesInRange(nodes, count, nodeCount);
}

// Where the face-map walk has got to in its three arrays, each with its limit.
struct FaceMapCursor {
    int64_t elements = 0, faces = 0, nodes = 0;
    bool Room(const DeferredLoadInfo& info, int64_t moreElements, int64_t moreFaces, int64_t moreNodes) const {
        return moreElements <= info.elementCount - elements && moreFaces <= info.faceCount - faces &&
               moreNodes <= info.valueCount - nodes;
    }
};

// Sizes of one block in the face map: elements, faces, face nodes.
struct FaceMapExtent {
    int64_t elements = 0, faces = 0, nodes = 0;
    int64_t fileValues = 0;  // 4-byte values the block holds in the file
};

FaceMapExtent ExtentOf(const LoadBlock& block, bool polyhedra) {
    const int64_t count = block.count;
    if (block.type == ElementNsided) return {count, 0, block.nodeCount, count + block.nodeCount};
    if (block.type == ElementNfaced)
        return {count, block.faceCount, block.nodeCount, count + block.faceCount + block.nodeCount};
    const ElementShape shape = polyhedra ? PolyhedronShape(block.type) : PolygonShape(block.type);
    return {count, polyhedra ? count * shape.faces : 0, count * shape.entries, count * NodesPerElement(block.type)};
}

bool ConvertFaceBlock(LoadReader& reader, const DeferredLoadInfo& info, const LoadBlock& block, bool polyhedra,
                      FaceMapCursor& at, int32_t* elementSizes, int32_t* faceSizes, int32_t* nodeList) {
    const FaceMapExtent extent = ExtentOf(block, polyhedra);
    if (!at.Room(info, extent.elements, extent.faces, extent.nodes) ||
        !reader.SeekFitting(block.offset, extent.fileValues))
        return false;
    int32_t* sizes = elementSizes + at.elements;
    int32_t* nodes = nodeList + at.nodes;
    bool converted = false;
    if (block.type == ElementNsided) {
        converted = ReadSizes(reader, sizes, extent.elements, extent.nodes) &&
                    ReadNodeNumbers(reader, nodes, extent.nodes, info.nodeCount);
    } else if (block.type == ElementNfaced) {
        converted = ReadSizes(reader, sizes, extent.elements, extent.faces) &&
                    ReadSizes(reader, faceSizes + at.faces, extent.faces, extent.nodes) &&
                    ReadNodeNumbers(reader, nodes, extent.nodes, info.nodeCount);
    } else {
        const ElementShape shape = polyhedra ? PolyhedronShape(block.type) : PolygonShape(block.type);
        converted = ConvertFixedFaces(reader, block, shape, info.nodeCount, nodes, sizes,
                                      polyhedra ? faceSizes + at.faces : nullptr);
    }
    at.elements += extent.elements;
    at.faces += extent.faces;
    at.nodes += extent.nodes;
    return converted;
}

}  // namespace

bool LoadZoneNodeMap(const DeferredLoadInfo& info, NodeMap_pa nodeMap) {
    const bool lines = info.kind == LoadKind::LineNodeMap;
    if (!lines && info.kind != LoadKind::ClassicNodeMap) return false;
    LoadReader reader;
    if (!reader.Open(info.fileName, info.format, info.byteOrder, 0)) return false;
    for (const LoadBlock& block : info.blocks) {
        const ElementShape shape = lines ? LineShape(block.type) : NodeMapShape(block.type, info.width);
        const int32_t nodes = NodesPerElement(block.type);
        const int64_t chunkElements = std::min<int64_t>(block.count, ChunkElements(std::max(nodes, 1)));
        const ScratchArray<int32_t> out(chunkElements * shape.entries);
        if (!out) return false;
        const auto destination = [&](int64_t) { return out.get(); };
        const bool converted =
            ConvertBlock(reader, block, shape, info.nodeCount, destination, [&](int32_t* entries, int64_t first, int64_t elements) {
                const int64_t position = block.firstElement * info.width + first * shape.entries + 1;
                HostLock lock;
                return ZelUtilDataNodeArraySetByRef(nodeMap, position, elements * shape.entries, entries) == ZEL_TRUE;
            });
        if (!converted) return false;
    }
    return true;
}

bool LoadZoneFaceMap(const DeferredLoadInfo& info, FaceMap_pa faceMap) {
    const bool polyhedra = info.kind == LoadKind::PolyhedronFaceMap;
    if (!polyhedra && info.kind != LoadKind::PolygonFaceMap) return false;
    LoadReader reader;
    if (!reader.Open(info.fileName, info.format, info.byteOrder, 0)) return false;
    // Every block must fit in the file before the arrays are sized from the counts.
    for (const LoadBlock& block : info.blocks)
        if (!reader.Fits(block.offset, ExtentOf(block, polyhedra).fileValues)) return false;
    const PageArray<int32_t> elementSizes(info.elementCount);
    const PageArray<int32_t> faceSizes(polyhedra ? info.faceCount : 0);
    const PageArray<int32_t> nodes(info.valueCount);
    if (!elementSizes || !faceSizes || !nodes) return false;
    FaceMapCursor at;
    for (const LoadBlock& block : info.blocks)
        if (!ConvertFaceBlock(reader, info, block, polyhedra, at, elementSizes.get(), faceSizes.get(), nodes.get()))
            return false;
    if (at.elements != info.elementCount || at.nodes != info.valueCount || (polyhedra && at.faces != info.faceCount))
        return false;
    HostLock lock;
    return ZelUtilDataFaceMapAssignElemToNodeMap(faceMap, info.elementCount, elementSizes.get(),
                                                 polyhedra ? faceSizes.get() : nullptr, nodes.get()) == ZEL_TRUE;
}

}  // namespace quorix
