// NumPy views of the host's own arrays: read-only, no copy, each keeping its
// array alive (the owner's shared handle rides in the view's base object).
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "host/data_set.h"

namespace quorixpy {

namespace py = pybind11;

// Raised as quorix.LoadError: a deferred load the add-on could not make.
struct LoadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The values of one variable in one zone, loaded first when due (the GIL
// released meanwhile). Unstructured zones: one value per node or element.
// Blocks: shape (K, J, I); cell values only at used cells (a strided view).
py::array FieldView(const zelhost::Zone& zone, int32_t variable);
// Whether the zone holds values of the variable, loaded or due.
bool HasValues(const zelhost::Zone& zone, int32_t variable);
// "nodal" or "cell".
const char* ValueLocation(const zelhost::Zone& zone, int32_t variable);
// Finite elements: (elements, corners) node numbers from 0. Polytopes: a
// dict of the face map's arrays. Blocks: None.
py::object CellsView(const zelhost::Zone& zone);

}  // namespace quorixpy
