#include "host/python/host_arrays.h"

#include <memory>
#include <string>
#include <vector>

#include "host/recursive_lock.h"
#include "host/python/open_case.h"

namespace quorixpy {
namespace {

template <class Owner>
py::capsule Keeper(std::shared_ptr<Owner> owner) {
    return py::capsule(new std::shared_ptr<Owner>(std::move(owner)),
                       [](void* held) { delete static_cast<std::shared_ptr<Owner>*>(held); });
}

py::array ReadOnly(py::array array) {
    array.attr("setflags")(py::arg("write") = false);
    return array;
}

template <class Owner>
py::array View(const std::shared_ptr<Owner>& owner, const py::dtype& type, std::vector<py::ssize_t> shape,
               std::vector<py::ssize_t> strides, const void* data) {
    return ReadOnly(py::array(type, std::move(shape), std::move(strides), data, Keeper(owner)));
}

// Loads `data` unless loaded; a failed load raises with the add-on's messages.
void EnsureLoaded(zelhost::DeferredData& data, const std::string& what) {
    if (!data.LoadPending()) return;
    const size_t mark = MessageMark();
    bool loaded = false;
    {
        py::gil_scoped_release release;
        loaded = data.Ensure();
    }
    if (!loaded) throw LoadFailure(ErrorText(MessagesSince(mark), "cannot load " + what));
}

struct Layout {
    std::vector<py::ssize_t> shape;
    std::vector<py::ssize_t> strides;
};

Layout FieldLayout(const zelhost::Zone& zone, const ZelFieldData_s& field) {
    if (!zone.IsOrdered()) return {{field.count}, {4}};
    const py::ssize_t row = zone.imax * 4, plane = zone.jmax * zone.imax * 4;
    if (field.location == ZelLocationNodal) return {{zone.kmax, zone.jmax, zone.imax}, {plane, row, 4}};
    // Cell values sit at the cells' first corners; a row of points holds one a point.
    if (zone.jmax == 1 && zone.kmax == 1) return {{1, 1, zone.imax}, {plane, row, 4}};
    const auto used = [](int64_t d) { return d > 1 ? d - 1 : d; };
    return {{used(zone.kmax), used(zone.jmax), used(zone.imax)}, {plane, row, 4}};
}

std::shared_ptr<ZelFieldData_s> FieldOf(const zelhost::Zone& zone, int32_t variable) {
    zelhost::HostGuard guard;
    if (variable < 0 || variable >= static_cast<int32_t>(zone.fields.size())) throw py::index_error("no such variable");
    return zone.fields[static_cast<size_t>(variable)];
}

// Values a get-value function computes have no storage to view: the one copy.
py::array ComputedValues(const zelhost::Zone& zone, const ZelFieldData_s& field) {
    const Layout layout = FieldLayout(zone, field);
    py::array_t<float> whole(field.count);
    float* out = whole.mutable_data();
    for (int64_t p = 0; p < field.count; ++p) out[p] = static_cast<float>(field.ValueAt(p));
    return ReadOnly(py::array(py::dtype::of<float>(), layout.shape, layout.strides, whole.data(), whole));
}

py::array IntsView(const std::shared_ptr<ZelFaceMap_s>& map, const zelhost::HostInts& ints) {
    return View(map, py::dtype::of<int32_t>(), {static_cast<py::ssize_t>(ints.size())}, {4}, ints.data());
}

}  // namespace

bool HasValues(const zelhost::Zone& zone, int32_t variable) {
    const std::shared_ptr<ZelFieldData_s> field = FieldOf(zone, variable);
    return field != nullptr && (field->present() || field->LoadPending());
}

const char* ValueLocation(const zelhost::Zone& zone, int32_t variable) {
    const std::shared_ptr<ZelFieldData_s> field = FieldOf(zone, variable);
    return field != nullptr && field->location == ZelLocationCellCentered ? "cell" : "nodal";
}

py::array FieldView(const zelhost::Zone& zone, int32_t variable) {
    const std::shared_ptr<ZelFieldData_s> field = FieldOf(zone, variable);
    if (field == nullptr) throw py::key_error("the zone holds no such variable");
    EnsureLoaded(*field, "the values of zone \"" + zone.name + "\"");
    zelhost::HostGuard guard;
    if (!field->present()) throw py::key_error("zone \"" + zone.name + "\" holds no values of this variable");
    if (!field->storage.present()) return ComputedValues(zone, *field);
    const Layout layout = FieldLayout(zone, *field);
    const py::dtype type = field->dataType == ZelFieldInt32 ? py::dtype::of<int32_t>() : py::dtype::of<float>();
    return View(field, type, layout.shape, layout.strides, field->storage.data());
}

py::object CellsView(const zelhost::Zone& zone) {
    std::shared_ptr<ZelNodeMap_s> nodeMap;
    std::shared_ptr<ZelFaceMap_s> faceMap;
    {
        zelhost::HostGuard guard;
        nodeMap = zone.nodeMap;
        faceMap = zone.faceMap;
    }
    const std::string what = "the connectivity of zone \"" + zone.name + "\"";
    if (nodeMap != nullptr) {
        EnsureLoaded(*nodeMap, what);
        zelhost::HostGuard guard;
        if (!nodeMap->present()) return py::none();
        return View(nodeMap, py::dtype::of<int32_t>(), {nodeMap->elements, nodeMap->nodesPerElement},
                    {nodeMap->nodesPerElement * 4, 4}, nodeMap->Entries());
    }
    if (faceMap == nullptr) return py::none();
    EnsureLoaded(*faceMap, what);
    zelhost::HostGuard guard;
    if (!faceMap->present()) return py::none();
    py::dict arrays;
    arrays["polyhedron"] = faceMap->polyhedron;
    arrays["counts"] = IntsView(faceMap, faceMap->elementCounts);
    arrays["face_counts"] = IntsView(faceMap, faceMap->faceNodeCounts);
    arrays["nodes"] = IntsView(faceMap, faceMap->nodes);
    return arrays;
}

}  // namespace quorixpy
