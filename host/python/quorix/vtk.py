"""Zones as VTK data sets (python3-vtk9): float arrays are wrapped, not copied,
wherever VTK can take them as they are (points too: VTK's structure-of-arrays
layout over X, Y and Z). Copies: cell values of blocks (the host keeps them
with the nodes' strides), and connectivity VTK wants in another form (mixed
shapes, polyhedra)."""
import numpy as np
from vtkmodules.util import numpy_support
from vtkmodules.vtkCommonCore import vtkPoints, vtkSOADataArrayTemplate, vtkTypeInt32Array
from vtkmodules.vtkCommonDataModel import (VTK_HEXAHEDRON, VTK_LINE, VTK_POLYGON, VTK_POLYHEDRON, VTK_PYRAMID,
                                           VTK_QUAD, VTK_TETRA, VTK_TRIANGLE, VTK_VERTEX, VTK_WEDGE, vtkCellArray,
                                           vtkMultiBlockDataSet, vtkStructuredGrid, vtkUnstructuredGrid)

# The host holds lower shapes in a zone of a higher one by repeating corners:
# (VTK type, corners kept, test on the row) in order of precedence.
_BRICK = [(VTK_TETRA, [0, 1, 2, 4], lambda c: (c[:, 2] == c[:, 3]) & (c[:, 4] == c[:, 7]) & (c[:, 5] == c[:, 7])
           & (c[:, 6] == c[:, 7])),
          (VTK_PYRAMID, [0, 1, 2, 3, 4], lambda c: (c[:, 4] == c[:, 5]) & (c[:, 5] == c[:, 6]) & (c[:, 6] == c[:, 7])),
          (VTK_WEDGE, [0, 1, 2, 4, 5, 6], lambda c: (c[:, 2] == c[:, 3]) & (c[:, 6] == c[:, 7])),
          (VTK_HEXAHEDRON, list(range(8)), lambda c: np.ones(len(c), bool))]
_QUAD = [(VTK_TRIANGLE, [0, 1, 2], lambda c: c[:, 2] == c[:, 3]),
         (VTK_QUAD, [0, 1, 2, 3], lambda c: np.ones(len(c), bool))]
_SHAPES = {"brick": _BRICK, "quadrilateral": _QUAD,
           "tetrahedron": [(VTK_TETRA, [0, 1, 2, 3], lambda c: np.ones(len(c), bool))],
           "triangle": [(VTK_TRIANGLE, [0, 1, 2], lambda c: np.ones(len(c), bool))],
           "linesegment": [(VTK_LINE, [0, 1], lambda c: np.ones(len(c), bool))]}


class _Held(list):
    """NumPy arrays whose memory VTK arrays share, held until the VTK data set
    they went into is deleted (VTK copies arrays by sharing, so a reference on
    the array object alone can go too early)."""

    def hold(self, values):
        self.append(values)
        return values

    def bind(self, dataset):
        dataset.AddObserver("DeleteEvent", lambda *event, held=self: held.clear())
        return dataset


def wrap(values, name, held):
    """A VTK array over the values; no copy when they lie contiguous."""
    flat = held.hold(np.ascontiguousarray(values).reshape(-1))
    array = numpy_support.numpy_to_vtk(flat, deep=False)
    array.SetName(name)
    return array


def _points(zone, held):
    columns = [held.hold(np.ascontiguousarray(zone[c]).reshape(-1)) for c in ("X", "Y", "Z")]
    array = vtkSOADataArrayTemplate[columns[0].dtype.name]()
    array.SetNumberOfComponents(3)
    for component, values in enumerate(columns):
        array.SetArray(component, values, len(values), True, True)  # VTK neither copies nor frees
    points = vtkPoints()
    points.SetData(array)
    return points


def _ints(values, held):
    flat = held.hold(np.ascontiguousarray(values, dtype=np.int32).reshape(-1))
    array = vtkTypeInt32Array()
    array.SetVoidArray(flat, len(flat), 1)
    return array


def _cell_array(offsets, connectivity, held):
    """A vtkCellArray over int32 offsets and connectivity; contiguous
    connectivity is wrapped, not copied."""
    cells = vtkCellArray()
    cells.SetData(_ints(offsets, held), _ints(connectivity, held))
    return cells


def _finite_element_cells(zone, grid, held):
    corners = zone.cells
    elements, width = corners.shape
    types = np.zeros(elements, np.uint8)
    sizes = np.zeros(elements, np.int64)
    for vtk_type, keep, test in _SHAPES[zone.type]:
        mask = test(corners) & (types == 0)
        types[mask] = vtk_type
        sizes[mask] = len(keep)
    if (sizes == width).all():
        # one shape that keeps every corner: the host's node map is VTK's connectivity
        offsets = np.arange(0, width * elements + 1, width, dtype=np.int32)
        connectivity = corners.reshape(-1)
    else:
        starts = np.concatenate(([0], np.cumsum(sizes)))
        connectivity = np.empty(starts[-1], np.int32)
        for vtk_type, keep, _ in _SHAPES[zone.type]:
            mask = types == vtk_type
            if mask.any():
                connectivity[starts[:-1][mask][:, None] + np.arange(len(keep))] = corners[mask][:, keep]
        offsets = starts.astype(np.int32)
    grid.SetCells(numpy_support.numpy_to_vtk(types, deep=True, array_type=3), _cell_array(offsets, connectivity, held))


def _polygon_cells(zone, grid, held):
    offsets, nodes = zone.cells
    grid.SetCells(VTK_POLYGON, _cell_array(offsets.astype(np.int32), nodes, held))


def _polyhedron_cells(zone, grid, held):
    """VTK's face stream (per element: faces, then per face: nodes and the nodes)
    and each element's distinct nodes, built without a loop over elements."""
    offsets, faces, nodes = (np.asarray(a, np.int64) for a in zone.cells)
    elements, face_count = len(offsets) - 1, len(faces) - 1
    face_element = np.repeat(np.arange(elements), np.diff(offsets))
    node_face = np.repeat(np.arange(face_count), np.diff(faces))
    stream = np.empty(elements + face_count + len(nodes), np.int64)
    element_at = faces[offsets[:-1]] + offsets[:-1] + np.arange(elements)
    stream[element_at] = np.diff(offsets)
    stream[faces[:-1] + np.arange(face_count) + face_element + 1] = np.diff(faces)
    stream[np.arange(len(nodes)) + node_face + face_element[node_face] + 2] = nodes
    distinct = np.unique(face_element[node_face] * (int(nodes.max(initial=0)) + 1) + nodes)
    owner = distinct // (int(nodes.max(initial=0)) + 1)
    cells = vtkCellArray()
    cells.SetData(numpy_support.numpy_to_vtkIdTypeArray(
        np.concatenate(([0], np.cumsum(np.bincount(owner, minlength=elements)))), deep=True),
        numpy_support.numpy_to_vtkIdTypeArray(distinct % (int(nodes.max(initial=0)) + 1), deep=True))
    types = numpy_support.numpy_to_vtk(np.full(elements, VTK_POLYHEDRON, np.uint8), deep=True, array_type=3)
    grid.SetCells(types, cells, numpy_support.numpy_to_vtkIdTypeArray(element_at, deep=True),
                  numpy_support.numpy_to_vtkIdTypeArray(stream, deep=True))


def _vertices(zone, grid, held):
    n = zone.nodes
    grid.SetCells(VTK_VERTEX, _cell_array(np.arange(n + 1, dtype=np.int32), np.arange(n, dtype=np.int32), held))


def dataset(zone):
    """The zone as a vtkStructuredGrid (blocks) or vtkUnstructuredGrid, with every variable it holds."""
    points_only = zone.type == "ordered" and (zone.kind == "particles" or zone.name.startswith("Point: "))
    if zone.type == "ordered" and not points_only:
        grid = vtkStructuredGrid()
        grid.SetDimensions(*zone.shape)
    else:
        grid = vtkUnstructuredGrid()
    held = _Held()
    grid.SetPoints(_points(zone, held))
    if points_only:
        _vertices(zone, grid, held)
    elif zone.type == "polygon":
        _polygon_cells(zone, grid, held)
    elif zone.type == "polyhedron":
        _polyhedron_cells(zone, grid, held)
    elif zone.type != "ordered":
        _finite_element_cells(zone, grid, held)
    for name, where, values in zone.arrays():
        if name in ("X", "Y", "Z"):
            continue
        data = grid.GetPointData() if where == "nodal" else grid.GetCellData()
        data.AddArray(wrap(values, name, held))
    return held.bind(grid)


def multiblock(case, time=None, step=None):
    """The zones at one solution time (default: the first) as blocks named after them."""
    times = case.times
    if time is None:
        time = times[step if step is not None else 0]
    blocks = vtkMultiBlockDataSet()
    for zone in (z for z in case.zones if np.isclose(z.time, time, rtol=1e-6, atol=1e-12)):
        n = blocks.GetNumberOfBlocks()
        blocks.SetBlock(n, dataset(zone))
        blocks.GetMetaData(n).Set(vtkMultiBlockDataSet.NAME(), zone.name)
    return blocks
