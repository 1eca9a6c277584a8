"""to_vtk and `python3 -m quorix convert`, read back with VTK's own readers."""
import gc
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import numpy as np
import pytest

import quorix
from conftest import SAMPLES

vtk = pytest.importorskip("vtkmodules.vtkIOXML")
from vtkmodules.util.numpy_support import vtk_to_numpy  # noqa: E402

MIXED = SAMPLES / "gold/mixed/le/mixed.case"


def test_blocks_wrap_the_views_and_keep_the_shapes():
    with quorix.open(MIXED) as case:
        blocks = case.to_vtk()
        assert blocks.GetNumberOfBlocks() == len(case.zones)
        volume = next(i for i, z in enumerate(case.zones) if z.name == "Vol: volume")
        grid = blocks.GetBlock(volume)
        assert np.shares_memory(vtk_to_numpy(grid.GetPointData().GetArray("pressure")),
                                case.zones[volume]["pressure"])
        assert sorted({grid.GetCellType(c) for c in range(grid.GetNumberOfCells())}) == [10, 12, 13, 14]
        polyhedra = blocks.GetBlock(next(i for i, z in enumerate(case.zones) if z.type == "polyhedron"))
        assert polyhedra.GetNumberOfCells() == 2 and polyhedra.GetCell(0).GetNumberOfFaces() > 3
        pressure = case.zones[volume]["pressure"].copy()
        points = case.zones[volume].points
        assert "SOA" in grid.GetPoints().GetData().GetClassName()  # X, Y, Z wrapped, not interleaved
    del case
    gc.collect()
    junk = [np.full(64, -7, np.int32) for _ in range(20000)]  # noqa: F841 (would take freed memory)
    assert vtk_to_numpy(grid.GetCells().GetOffsetsArray()).tolist() == [0, 4, 9, 15, 23]
    assert np.array_equal(vtk_to_numpy(grid.GetPointData().GetArray("pressure")), pressure)
    assert np.array_equal([grid.GetPoint(i) for i in range(grid.GetNumberOfPoints())], points)


def test_convert_writes_a_time_series_vtk_reads(tmp_path):
    path = SAMPLES / "gold/transient_geometry/le/transient_geometry.case"
    subprocess.run([sys.executable, "-m", "quorix", "convert", str(path), str(tmp_path / "out.pvd")], check=True)
    steps = ElementTree.parse(tmp_path / "out.pvd").getroot().find("Collection")
    with quorix.open(path) as case:
        assert [float(s.get("timestep")) for s in steps] == list(case.times)
        for s, time in zip(steps, case.times):
            reader = vtk.vtkXMLMultiBlockDataReader()
            reader.SetFileName(str(tmp_path / s.get("file")))
            reader.Update()
            blocks = reader.GetOutput()
            zones = [z for z in case.zones if z.time == time]
            assert [blocks.GetBlock(i).GetNumberOfPoints() for i in range(blocks.GetNumberOfBlocks())] == \
                [z.nodes for z in zones]
