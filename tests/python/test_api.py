"""The Python face: views, lifetime, laziness, threads, several cases, failures, Ctrl-C."""
import os
import shutil
import signal
import subprocess
import sys
import threading

import numpy as np
import pytest

import quorix
from conftest import SAMPLES, SHARED

pytestmark = pytest.mark.filterwarnings("ignore::quorix.LoadWarning")


def largest_shared_case():
    cases = [p for p in SHARED.glob("data/*/*/*.case")]
    return max(cases, key=lambda c: sum(f.stat().st_size for f in c.parent.iterdir()))


def all_arrays(case):
    return {(z.number, name, where): np.array(a) for z in case.zones for name, where, a in z.arrays()}


def bytes_read():
    with open("/proc/self/io") as io:
        return int(io.readline().split()[1])


def test_views_share_the_hosts_memory_and_outlive_the_case(cube):
    case = quorix.open(cube)
    z = case.zone("cube")
    x, again = z["X"], z["X"]
    assert np.shares_memory(x, again) and not x.flags.writeable and x.dtype == np.float32
    with pytest.raises(ValueError):
        x[0] = 1
    address, before = x.__array_interface__["data"][0], x.copy()
    case.close()
    del case, z, again
    assert quorix._quorix.array_alive(address) and np.array_equal(x, before)
    del x
    assert not quorix._quorix.array_alive(address)


def test_copies_and_cells(cube):
    with quorix.open(cube) as case:
        z = case.zone(1)
        assert z.points.shape == (8, 3) and np.array_equal(z.points[:, 1], z["Y"])
        assert np.array_equal(z.vector("velocity")[:, 2], z["velocityZ"])
        assert z.cells.shape == (1, 8) and sorted(z.cells[0]) == list(range(8))
        assert [v.name for v in case.variables] == ["coordinates", "temperature", "velocity"]
        assert case.info()["parts"][0]["name"] == "cube"
    info = subprocess.run([sys.executable, "-m", "quorix", "info", str(cube)], capture_output=True, text=True)
    assert info.stdout.startswith("case ") and "velocity     vector per node: cube.velocity" in info.stdout


def test_polyhedra_come_as_offsets_and_faces():
    with quorix.open(SHARED / "data/realwriter/er_cell_types/cell_types.case") as case:
        offsets, faces, nodes = next(z.cells for z in case.zones if z.type == "polyhedron")
        assert offsets[-1] == len(faces) - 1 and faces[-1] == len(nodes) and nodes.min() >= 0


def test_opening_reads_no_value():
    path = largest_shared_case()
    start = bytes_read()
    with quorix.open(path) as case:
        opened = bytes_read() - start
        pending = case.pending()
        result = case.load_all()
        assert pending > 0 and result["loads"] == pending and case.pending() == 0
        assert opened < bytes_read() - start - opened


@pytest.mark.parametrize("path", [SAMPLES / "gold/mixed/le/mixed.case", largest_shared_case()])
def test_four_threads_and_two_cases_give_one_threads_arrays(path):
    with quorix.open(path) as alone:
        alone.load_all(threads=1)
        expected = all_arrays(alone)
    with quorix.open(path, threads=4) as first, quorix.open(path) as second:
        first.load_all()
        assert first.pending() == 0 and second.pending() > 0
        got_first = all_arrays(first)
        first.close()  # the other stays whole
        for got in (got_first, all_arrays(second)):
            assert got.keys() == expected.keys()
            assert all(np.array_equal(got[k], expected[k], equal_nan=True) for k in expected)


def truncated(tmp_path):
    shutil.copytree(SAMPLES / "gold/cube/le", tmp_path / "le")
    (tmp_path / "le/cube.case").write_text((SAMPLES / "gold/cube/cube.case").read_text().replace("le/", ""))
    with open(tmp_path / "le/cube.temperature", "r+b") as f:
        f.truncate(os.path.getsize(f.name) - 12)
    return tmp_path / "le/cube.case"


def fifo(tmp_path):
    os.mkfifo(tmp_path / "x.case")
    return tmp_path / "x.case"


@pytest.mark.parametrize("make, text", [
    (lambda tmp: tmp / "missing.case", "missing.case"),
    (fifo, "x.case: not a regular file"),
    (lambda tmp: tmp, ": not a regular file"),
])
def test_failed_loads_raise_the_addons_message(tmp_path, make, text):
    with pytest.raises(quorix.LoadError, match="Invalid file name.\nCase file: .*" + text):
        quorix.open(make(tmp_path))


def test_a_truncated_variable_fails_when_read(tmp_path):
    with quorix.open(truncated(tmp_path)) as case:
        z = case.zone("cube")
        assert z["X"].size == 8
        with pytest.raises(quorix.LoadError, match="cube.temperature .Attempt to read beyond limits of file"):
            z["temperature"]
        assert "temperature" not in z


@pytest.mark.parametrize("during", ["open", "load_all"])
def test_ctrl_c_stops_and_removes_the_data_set(during):
    path = SAMPLES / "gold/mixed/le/mixed.case"
    case = quorix.open(path) if during == "load_all" else None
    quorix._quorix.set_check_delay(100)
    # Python's own handler, also where the shell started it with SIGINT ignored (a background job)
    handler = signal.signal(signal.SIGINT, signal.default_int_handler)
    timer = threading.Timer(0.15, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            case.load_all() if case else quorix.open(path)
    finally:
        quorix._quorix.set_check_delay(0)
        timer.join()
        signal.signal(signal.SIGINT, handler)
    assert case is None or case.closed
    with quorix.open(path) as again:  # the next load runs
        assert again.load_all()["failures"] == 0
