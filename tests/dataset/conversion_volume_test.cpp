// The face tables judged by geometry, not restated: a unit element of each
// volume type must enclose its known volume with every face seen from outside,
// and each higher-order boundary must trace the same outline as its corners.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "casefile/element_types.h"
#include "dataset/element_conversion.h"

namespace quorix {
namespace {

using Point = std::array<double, 3>;

Point Cross(const Point& a, const Point& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Point Mid(const Point& a, const Point& b) { return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2}; }

// Corners of unit elements in EnSight numbering, then mid-side nodes as the
// midpoints of the edges the numbering gives them.
struct UnitElement {
    const char* name;
    int32_t type;
    std::vector<Point> corners;
    std::vector<std::array<int, 2>> midEdges;  // 1-based corner pairs, in node order
    double volume;
};

const std::vector<Point> Tetra = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
const std::vector<Point> Pyramid = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 0.5, 1}};
const std::vector<Point> Prism = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}};
const std::vector<Point> Hexa = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

const UnitElement UnitElements[] = {
    {"tetra4", ElementTetra4, Tetra, {}, 1.0 / 6},
    {"tetra10", ElementTetra10, Tetra, {{1, 2}, {2, 3}, {3, 1}, {1, 4}, {2, 4}, {3, 4}}, 1.0 / 6},
    {"pyramid5", ElementPyramid5, Pyramid, {}, 1.0 / 3},
    {"pyramid13", ElementPyramid13, Pyramid,
     {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}, 1.0 / 3},
    {"penta6", ElementPenta6, Prism, {}, 0.5},
    {"penta15", ElementPenta15, Prism,
     {{1, 2}, {2, 3}, {3, 1}, {4, 5}, {5, 6}, {6, 4}, {1, 4}, {2, 5}, {3, 6}}, 0.5},
    {"hexa8", ElementHexa8, Hexa, {}, 1.0},
    {"hexa20", ElementHexa20, Hexa,
     {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {5, 6}, {6, 7}, {7, 8}, {8, 5}, {1, 5}, {2, 6}, {3, 7}, {4, 8}}, 1.0},
};

std::vector<Point> NodesOf(const UnitElement& element) {
    std::vector<Point> nodes = element.corners;
    for (const auto& [a, b] : element.midEdges) nodes.push_back(Mid(element.corners[a - 1], element.corners[b - 1]));
    return nodes;
}

// Divergence theorem over fan-triangulated faces: positive when every face
// winds counter-clockwise seen from outside.
double EnclosedVolume(const std::vector<Point>& nodes, const std::vector<int32_t>& faceSizes,
                      const std::vector<int32_t>& faceNodes) {
    double volume = 0;
    size_t at = 0;
    for (int32_t size : faceSizes) {
        const Point& p0 = nodes[faceNodes[at] - 1];
        for (int32_t k = 1; k + 1 < size; ++k) {
            const Point& p1 = nodes[faceNodes[at + k] - 1];
            const Point& p2 = nodes[faceNodes[at + k + 1] - 1];
            volume += Dot(p0, Cross(p1, p2)) / 6;
        }
        at += static_cast<size_t>(size);
    }
    return volume;
}

std::vector<int32_t> Identity(int32_t n) {
    std::vector<int32_t> element(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) element[static_cast<size_t>(i)] = i + 1;
    return element;
}

TEST(ConversionVolume, EveryVolumeTypeEnclosesItsUnitVolumeFromOutside) {
    for (const UnitElement& element : UnitElements) {
        SCOPED_TRACE(element.name);
        const std::vector<Point> nodes = NodesOf(element);
        ASSERT_EQ(static_cast<int32_t>(nodes.size()), NodesPerElement(element.type));
        const ElementShape shape = PolyhedronShape(element.type);
        ASSERT_GT(shape.faces, 0);
        std::vector<int32_t> faceNodes(static_cast<size_t>(shape.entries));
        const std::vector<int32_t> connectivity = Identity(NodesPerElement(element.type));
        ASSERT_TRUE(GatherElements(connectivity.data(), 1, NodesPerElement(element.type), shape,
                                   NodesPerElement(element.type), faceNodes.data()));
        const std::vector<int32_t> sizes(shape.faceSizes, shape.faceSizes + shape.faces);
        EXPECT_NEAR(EnclosedVolume(nodes, sizes, faceNodes), element.volume, 1e-12);
    }
}

// Every node of the element appears on its faces, every edge twice in opposite
// directions (a closed, consistently oriented surface).
TEST(ConversionVolume, FacesCloseTheElement) {
    for (const UnitElement& element : UnitElements) {
        SCOPED_TRACE(element.name);
        const ElementShape shape = PolyhedronShape(element.type);
        std::vector<int> directed(32 * 32, 0);
        int32_t at = 0;
        for (int32_t f = 0; f < shape.faces; ++f) {
            const int32_t size = shape.faceSizes[f];
            for (int32_t k = 0; k < size; ++k) {
                const int a = shape.nodes[at + k], b = shape.nodes[at + (k + 1) % size];
                ++directed[a * 32 + b];
            }
            at += size;
        }
        ASSERT_EQ(at, shape.entries);
        for (int a = 1; a < 32; ++a) {
            for (int b = 1; b < 32; ++b) {
                if (directed[a * 32 + b] != 0) {
                    EXPECT_EQ(directed[a * 32 + b], directed[b * 32 + a]) << a << "-" << b;
                }
            }
        }
    }
}

// A quadratic surface element's polygon has the area of its corners' polygon.
TEST(ConversionVolume, HigherOrderPolygonsTraceTheirCorners) {
    struct Row {
        const char* name;
        int32_t type;
        std::vector<Point> nodes;
        double area;
    };
    const Row rows[] = {
        {"tria6", ElementTria6, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.5, 0, 0}, {0.5, 0.5, 0}, {0, 0.5, 0}}, 0.5},
        {"quad8", ElementQuad8,
         {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5, 0, 0}, {1, 0.5, 0}, {0.5, 1, 0}, {0, 0.5, 0}}, 1.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ElementShape shape = PolygonShape(row.type);
        std::vector<int32_t> polygon(static_cast<size_t>(shape.entries));
        const std::vector<int32_t> connectivity = Identity(NodesPerElement(row.type));
        ASSERT_TRUE(GatherElements(connectivity.data(), 1, NodesPerElement(row.type), shape, 8, polygon.data()));
        Point normal{0, 0, 0};
        for (size_t k = 0; k < polygon.size(); ++k) {
            const Point c = Cross(row.nodes[polygon[k] - 1], row.nodes[polygon[(k + 1) % polygon.size()] - 1]);
            for (int d = 0; d < 3; ++d) normal[d] += c[d] / 2;
        }
        EXPECT_NEAR(normal[2], row.area, 1e-12);
    }
}

}  // namespace
}  // namespace quorix
