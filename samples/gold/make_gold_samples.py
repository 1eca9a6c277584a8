#!/usr/bin/env python3
"""Write the Gold sample cases of samples/gold/ and their expected summaries.

Usage: python3 samples/gold/make_gold_samples.py [OUTDIR]   (default: beside this script)

Each case <name> is written three times, in <name>/ascii/, <name>/le/ (C
binary little-endian) and <name>/be/ (C binary big-endian), each holding
<name>.case and its data files, and <name>/<name>.expect.json holds what a
correct load gives: zones (names, types, dimensions, strands, times),
variable names and, per zone and array, the min/max/mean a load that forces
every deferred array must report.

All reals are multiples of 1/8 well inside float32 and the 12-character
ASCII field, so the three encodings hold identical numbers.
"""
import json
import os
import sys

sys.dont_write_bytecode = True  # keep samples/ free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from ensight_writer import (C_ENCODINGS, ENCODINGS, Block, Geometry, MeasuredGeometry, MeasuredValues,  # noqa: E402
                            PartValues, Structured, Unstructured, VariableFile, encode)
from expectation import Variable, build  # noqa: E402

NOT_LOADED = "The following variables were not loaded\n(file was empty or an error was encountered)\n"
PASSED_OVER = "The following sections and lines of the case file were passed over\n(this reader does not load them)\n"


def vals(n, salt):
    """n exact reals in [-4, 4), different per salt."""
    return [((i * 37 + salt * 11 + 5) % 64 - 32) * 0.125 for i in range(n)]


def grid(ni, nj, nk, origin=(0.0, 0.0, 0.0), h=0.5):
    """Nodes of a box grid (i fastest) and a function giving the 1-based node number."""
    pts = [(origin[0] + i * h, origin[1] + j * h, origin[2] + k * h)
           for k in range(nk) for j in range(nj) for i in range(ni)]
    xyz = tuple([p[a] for p in pts] for a in range(3))
    return xyz, (lambda i, j, k: 1 + i + ni * (j + nj * k))


def line_nodes(n, y=0.0):
    return ([i * 0.5 for i in range(n)], [y] * n, [0.0] * n)


# ---------------------------------------------------------------- parts

def surface_part(number, desc="surface"):
    xyz, n = grid(4, 2, 1)
    return Unstructured(number, desc, xyz, [
        Block("tria3", [(n(1, 0, 0), n(2, 0, 0), n(2, 1, 0)), (n(1, 0, 0), n(2, 1, 0), n(1, 1, 0))]),
        Block("quad4", [(n(0, 0, 0), n(1, 0, 0), n(1, 1, 0), n(0, 1, 0)),
                        (n(2, 0, 0), n(3, 0, 0), n(3, 1, 0), n(2, 1, 0))]),
    ])


def volume_part(number, desc="volume"):
    """hexa8 + pyramid5 on top + penta6 + tetra4 beside, with a tria3 skin and bar2 edges."""
    xyz, n = grid(3, 2, 2, origin=(1.0, 0.0, 0.0))
    apex = len(xyz[0]) + 1
    for a, v in enumerate((1.25, 0.25, 1.0)):
        xyz[a].append(v)
    hexa = (n(0, 0, 0), n(1, 0, 0), n(1, 1, 0), n(0, 1, 0), n(0, 0, 1), n(1, 0, 1), n(1, 1, 1), n(0, 1, 1))
    return Unstructured(number, desc, xyz, [
        Block("tria3", [(n(0, 0, 0), n(1, 0, 0), n(0, 0, 1)), (n(1, 0, 0), n(2, 0, 0), n(2, 0, 1))]),
        Block("hexa8", [hexa]),
        Block("bar2", [(n(0, 0, 0), n(1, 0, 0)), (n(1, 0, 0), n(2, 0, 0))]),
        Block("pyramid5", [(n(0, 0, 1), n(1, 0, 1), n(1, 1, 1), n(0, 1, 1), apex)]),
        Block("penta6", [(n(1, 0, 0), n(2, 0, 0), n(2, 1, 0), n(1, 0, 1), n(2, 0, 1), n(2, 1, 1))]),
        Block("tetra4", [(n(1, 0, 0), n(2, 1, 0), n(1, 1, 0), n(1, 1, 1))]),
    ])


def lines_part(number, desc="lines"):
    return Unstructured(number, desc, line_nodes(6, 2.0), [
        Block("bar3", [(3, 5, 4), (5, 6, 6)]),
        Block("bar2", [(1, 2), (2, 3)]),
    ])


def points_part(number, desc="points"):
    return Unstructured(number, desc, line_nodes(4, -1.0), [Block("point", [(1,), (2,), (3,), (4,)])])


def polygons_part(number, desc="polygons"):
    xyz = ([0.0, 1.0, 0.5, 2.0, 2.5, 1.5], [0.0, 0.0, 1.0, 0.0, 1.0, 1.5], [3.0] * 6)
    return Unstructured(number, desc, xyz, [Block("nsided", [(1, 2, 3), (2, 4, 5, 6, 3)])])


def polyhedra_part(number, desc="polyhedra"):
    xyz, n = grid(2, 2, 2, origin=(0.0, 0.0, 4.0), h=1.0)
    for a, v in enumerate((0.5, 0.5, 5.5)):
        xyz[a].append(v)
    c = [n(0, 0, 0), n(1, 0, 0), n(1, 1, 0), n(0, 1, 0), n(0, 0, 1), n(1, 0, 1), n(1, 1, 1), n(0, 1, 1)]
    cube = [(c[0], c[3], c[2], c[1]), (c[0], c[1], c[5], c[4]), (c[1], c[2], c[6], c[5]),
            (c[2], c[3], c[7], c[6]), (c[3], c[0], c[4], c[7]), (c[4], c[5], c[6], c[7])]
    pyramid = [(c[4], c[7], c[6], c[5]), (c[4], c[5], 9), (c[5], c[6], 9), (c[6], c[7], 9), (c[7], c[4], 9)]
    return Unstructured(number, desc, xyz, [Block("nfaced", [cube, pyramid])])


def quadratic_surface_part(number, desc="quadratic surface"):
    xs = [0.0, 1.0, 0.0, 0.5, 0.5, 0.0, 2.0, 2.0, 1.5, 2.0, 1.5]
    ys = [0.0, 0.0, 1.0, 0.0, 0.5, 0.5, 0.0, 1.0, 0.0, 0.5, 1.0]
    return Unstructured(number, desc, (xs, ys, [6.0] * 11), [
        Block("quad8", [(2, 7, 8, 3, 9, 10, 11, 5)]),
        Block("tria6", [(1, 2, 3, 4, 5, 6)]),
    ])


def quadratic_volume_part(number, desc="quadratic volume"):
    xyz, _ = grid(5, 3, 2, origin=(0.0, 0.0, 8.0))
    return Unstructured(number, desc, xyz, [
        Block("hexa20", [tuple(range(11, 31))]),
        Block("tetra10", [tuple(range(1, 11))]),
    ])


def two_blocks_part(number, desc="two triangle blocks"):
    xyz, n = grid(3, 2, 1, origin=(0.0, 0.0, 10.0))
    return Unstructured(number, desc, xyz, [
        Block("tria3", [(n(0, 0, 0), n(1, 0, 0), n(1, 1, 0)), (n(0, 0, 0), n(1, 1, 0), n(0, 1, 0))]),
        Block("g_tria3", [(n(1, 0, 0), n(2, 0, 0), n(2, 1, 0))]),
    ])


def curvilinear(number, desc, ni, nj, nk, **extra):
    idx = [(i, j, k) for k in range(nk) for j in range(nj) for i in range(ni)]
    data = ([i * 0.5 + k * 0.125 for i, j, k in idx], [j * 0.25 + i * 0.125 for i, j, k in idx],
            [k * 0.5 - 1.0 for i, j, k in idx])
    return Structured(number, desc, "curvilinear", (ni, nj, nk), data, **extra)


# ---------------------------------------------------------------- variables

def nodal(parts, desc, components, salt):
    out = {}
    for n, p in enumerate(parts):
        header = "block" if isinstance(p, Structured) else "coordinates"
        comps = [vals(p.node_count, salt + 7 * n + c) for c in range(components)]
        out[p.number] = PartValues(p.number, header, comps)
    return out


def per_element(parts, components, salt):
    """Types in reverse file order (blocks of one type keep theirs); lower-category blocks get values far outside the rest."""
    out = {}
    for n, p in enumerate(parts):
        if isinstance(p, Structured):
            secs = [("block", [vals(p.cells, salt + 3 * n + c) for c in range(components)])]
        else:
            secs = []
            types = list(dict.fromkeys(b.type for b in reversed(p.blocks)))
            for b in [b for t in types for b in p.blocks if b.type == t]:
                m = len(b.elements)
                comps = [vals(m, salt + 3 * n + c) for c in range(components)]
                if b.type in ("tria3", "bar2") and p.desc == "volume":
                    comps = [[500.0 + 0.5 * i for i in range(m)] for _ in range(components)]
                secs.append((b.etype, comps))
        out[p.number] = PartValues(p.number, None, secs)
    return out


class Case:
    """One sample: its data files (file name -> writer item), case file text and expectation."""

    def __init__(self, name, case_text, files, expect):
        self.name = name
        self.case_text = case_text
        self.files = files
        self.expect = expect
        self.demo = False  # also a <name>.case beside the encodings, reading le/
        self.quirks = False  # data files written as Out(quirks=True) writes them
        self.encodings = ENCODINGS

    def demo_text(self):
        text = self.case_text
        for fname in self.files:
            text = text.replace(" %s\n" % fname, " le/%s\n" % fname)
        return text


def case_text(geometry, variables=(), time=(), fileset=()):
    text = "FORMAT\ntype: ensight gold\n\nGEOMETRY\n" + "".join(g + "\n" for g in geometry)
    for title, lines in (("VARIABLE", variables), ("TIME", time), ("FILE", fileset)):
        if lines:
            text += "\n%s\n" % title + "".join(ln + "\n" for ln in lines)
    return text


def time_set(number, times, start=None, numbers=None):
    lines = ["time set: %d" % number, "number of steps: %d" % len(times)]
    if start is not None:
        lines += ["filename start number: %d" % start, "filename increment: 1"]
    if numbers:
        lines.append("filename numbers: " + " ".join(str(x) for x in numbers))
    return lines + ["time values: " + " ".join(repr(t) for t in times)]


def static_case(name, parts, variables=(), node_id="off", element_id="off", extents=None):
    """One geometry file, steady variables given as (kind, desc, {part: PartValues})."""
    files = {name + ".geo": Geometry([parts], node_id, element_id, extents)}
    lines, specs = [], []
    for kind, desc, data in variables:
        fname = "%s.%s" % (name, desc)
        files[fname] = VariableFile([list(data.values())])
        lines.append("%s: %s %s" % (kind, desc, fname))
        specs.append(Variable(kind, desc, [data]))
    return Case(name, case_text(["model: %s.geo" % name], lines), files, build([(None, parts)], specs))


ALL_KINDS = [("scalar", 1), ("vector", 3), ("tensor symm", 6), ("tensor asym", 9)]


def mixed_case():
    parts = [surface_part(1), volume_part(2), lines_part(3), points_part(4), polygons_part(5),
             polyhedra_part(6), quadratic_surface_part(7), quadratic_volume_part(8), two_blocks_part(9)]
    cells = [p for p in parts if p.desc != "points"]
    return static_case("mixed", parts, [("scalar per node", "pressure", nodal(parts, "pressure", 1, 1)),
                                        ("scalar per element", "cellid", per_element(cells, 1, 2)),
                                        ("scalar per node", "temperature", nodal(parts, "t", 1, 3))])


def variables_case():
    parts = [surface_part(1), volume_part(2), two_blocks_part(3), lines_part(4),
             curvilinear(5, "block", 2, 3, 2)]
    variables = []
    for n, (kind, comps) in enumerate(ALL_KINDS):
        variables.append(("%s per node" % kind, "n" + kind.replace(" ", ""), nodal(parts, kind, comps, 10 * n)))
        variables.append(("%s per element" % kind, "e" + kind.replace(" ", ""),
                          per_element(parts, comps, 10 * n + 5)))
    return static_case("variables", parts, variables)


def structured_cases():
    rect = Structured(1, "rectilinear", "rectilinear", (2, 3, 4),
                      ([0.0, 1.5], [0.0, 0.5, 2.0], [-1.0, 0.0, 0.25, 3.0]))
    uniform = Structured(1, "uniform", "uniform", (3, 3, 2), [1.0, 2.0, 3.0, 0.5, 0.25, 1.0])
    iblanked = curvilinear(1, "iblanked", 3, 3, 2, iblank=[1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1])
    rng_curv = Structured(1, "curvilinear range", "curvilinear", (3, 3, 1),
                          ([0.0, 0.5, 0.0, 0.5], [0.0, 0.0, 0.5, 0.5], [0.0] * 4), rng=(1, 2, 1, 2, 1, 1))
    rng_rect = Structured(2, "rectilinear range", "rectilinear", (4, 3, 2),
                          ([0.0, 1.0, 2.0, 3.0], [5.0, 5.5, 6.0], [0.0, 0.5]), rng=(2, 3, 1, 3, 1, 2))
    flat = curvilinear(1, "flat", 4, 4, 1, ghost=[0, 0, 0, 0, 1, 0, 0, 0, 0])
    curv = curvilinear(1, "curvilinear", 3, 4, 5)
    return [
        static_case("struct_curvilinear", [curv], [
            ("scalar per node", "temperature", nodal([curv], "t", 1, 3)),
            ("scalar per element", "density", per_element([curv], 1, 4))]),
        static_case("struct_rectilinear", [rect], [("vector per node", "velocity", nodal([rect], "v", 3, 5))]),
        static_case("struct_uniform", [uniform, surface_part(2, "after uniform")],
                    [("scalar per node", "temperature", nodal([uniform, surface_part(2)], "t", 1, 6))]),
        static_case("struct_iblanked", [iblanked, surface_part(2, "no iblank")]),
        static_case("struct_range", [rng_curv, rng_rect]),
        static_case("struct_flat_ghost", [flat], [
            ("scalar per node", "temperature", nodal([flat], "t", 1, 7)),
            ("scalar per element", "density", per_element([flat], 1, 8))]),
    ]


def part_number_cases():
    def renumbered(numbers):
        makers = [(surface_part, "first"), (lines_part, "second"), (polygons_part, "third")]
        return [make(n, desc) for n, (make, desc) in zip(numbers, makers)]
    p125 = renumbered([1, 2, 5])
    p0 = renumbered([0, 1])
    big = renumbered([70000, 3])
    return [
        static_case("parts125", p125, [("scalar per node", "temperature", nodal(p125, "t", 1, 9))]),
        static_case("part0", p0, [("scalar per node", "temperature", nodal(p0, "t", 1, 11))]),
        static_case("part70000", big),
    ]


def ids_case():
    curv = curvilinear(2, "block with ids", 2, 2, 2, node_ids=list(range(501, 509)), element_ids=[900])
    surf = surface_part(1)
    surf.node_ids = list(range(101, 101 + surf.node_count))
    for n, b in enumerate(surf.blocks):
        b.ids = [1000 + 10 * n + i for i in range(len(b.elements))]
    return static_case("ids_given", [surf, curv], [("scalar per node", "temperature", nodal([surf, curv], "t", 1, 12))],
                       node_id="given", element_id="given")


def extents_case():
    vol = volume_part(1)
    return static_case("extents", [vol, lines_part(2)], extents=[0.0, 2.5, -1.0, 2.0, 0.0, 1.0])


def moved(part, dz):
    """The part one step later: same topology, shifted in z."""
    return Unstructured(part.number, part.desc, (part.xyz[0], part.xyz[1], [z + dz for z in part.xyz[2]]),
                        part.blocks)


def transient_geometry_case():
    times = [0.0, 0.25]
    steps = [[surface_part(1), volume_part(2)], [moved(surface_part(1), 1.0), moved(volume_part(2), 1.0)]]
    files, temps = {}, []
    for s, parts in enumerate(steps):
        files["geo.%04d" % (s + 1)] = Geometry([parts])
        temps.append(nodal(parts, "t", 1, 20 + s))
        files["temperature.%04d" % (s + 1)] = VariableFile([list(temps[-1].values())])
    # no time set: the same values at both steps, whose meshes are alike
    wall = per_element(steps[0], 1, 25)
    files["wall.id"] = VariableFile([list(wall.values())])
    text = case_text(["model: 1 geo.****"], ["scalar per node: 1 temperature temperature.****",
                                             "scalar per element: wall wall.id"],
                     time_set(1, times, start=1))
    expect = build(list(zip(times, steps)), [Variable("scalar per node", "temperature", temps, times),
                                             Variable("scalar per element", "wall", [wall])])
    return Case("transient_geometry", text, files, expect)


def coordinates_only_case():
    """change_coords_only 1: the files after the second hold the parts' coordinates only."""
    times = [0.0, 0.5, 1.0, 1.5]
    first = [surface_part(1), volume_part(2), polyhedra_part(3)]
    steps = [[moved(p, 0.25 * s) for p in first] for s in range(4)]
    files, temps, cells = {}, [], []
    for s, parts in enumerate(steps):
        files["geo.%04d" % (s + 1)] = Geometry([parts], coordinates_only=s > 1)
        temps.append(nodal(parts, "t", 1, 120 + s))
        cells.append(per_element(parts, 1, 130 + s))
        files["temperature.%04d" % (s + 1)] = VariableFile([list(temps[-1].values())])
        files["density.%04d" % (s + 1)] = VariableFile([list(cells[-1].values())])
    text = case_text(["model: 1 geo.**** change_coords_only 1"],
                     ["scalar per node: 1 temperature temperature.****",
                      "scalar per element: 1 density density.****"], time_set(1, times, start=1))
    expect = build(list(zip(times, steps)), [Variable("scalar per node", "temperature", temps, times),
                                             Variable("scalar per element", "density", cells, times)])
    return Case("coordinates_only", text, files, expect)


def one_file_case():
    """Ten steps of geometry and of a variable, each in one file (a file set)."""
    times = [0.5 * s for s in range(10)]
    steps = [[moved(lines_part(1), 0.5 * s), moved(two_blocks_part(2), 0.5 * s)] for s in range(10)]
    temps = [nodal(parts, "t", 1, 30 + s) for s, parts in enumerate(steps)]
    files = {"steps.geo": Geometry(steps),
             "steps.temperature": VariableFile([list(t.values()) for t in temps])}
    text = case_text(["model: 1 1 steps.geo"], ["scalar per node: 1 1 temperature steps.temperature"],
                     time_set(1, times), ["file set: 1", "number of steps: 10"])
    expect = build(list(zip(times, steps)), [Variable("scalar per node", "temperature", temps, times)])
    return Case("ten_steps_one_file", text, files, expect)


def variable_steps_case(name, start, numbers):
    """Static geometry, variables over three steps with files numbered `numbers`."""
    times = [0.0, 1.5, 3.0]
    parts = [surface_part(1), curvilinear(2, "block", 2, 3, 2)]
    temps = [nodal(parts, "t", 1, 40 + s) for s in range(3)]
    dens = [per_element(parts, 3, 50 + s) for s in range(3)]
    distance = nodal(parts, "d", 1, 55)
    files = {"static.geo": Geometry([parts]), "distance.fixed": VariableFile([list(distance.values())])}
    for s, n in enumerate(numbers):
        files["temperature.%04d" % n] = VariableFile([list(temps[s].values())])
        files["velocity.%04d" % n] = VariableFile([list(dens[s].values())])
    # "distance" has no time set: a field fixed at every step
    text = case_text(["model: static.geo"], ["scalar per node: distance distance.fixed",
                                             "scalar per node: 1 temperature temperature.****",
                                             "vector per element: 1 velocity velocity.****"],
                     time_set(1, times, start=start))
    expect = build([(None, parts)], [Variable("scalar per node", "distance", [distance]),
                                     Variable("scalar per node", "temperature", temps, times),
                                     Variable("vector per element", "velocity", dens, times)])
    return Case(name, text, files, expect)


def complex_case():
    """Steady complex variables: real and imaginary parts, each a scalar or vector file."""
    parts = [surface_part(1), volume_part(2), curvilinear(3, "block", 2, 3, 2)]
    files = {"complex.geo": Geometry([parts])}
    lines, specs = [], []
    for kind, desc, make, salt in (("complex scalar per node", "pressure", lambda s: nodal(parts, "p", 1, s), 60),
                                   ("complex vector per element", "velocity", lambda s: per_element(parts, 3, s), 70)):
        real, imag = make(salt), make(salt + 5)
        files["complex.%s_r" % desc] = VariableFile([list(real.values())])
        files["complex.%s_i" % desc] = VariableFile([list(imag.values())])
        lines.append("%s: %s complex.%s_r complex.%s_i 50.0" % (kind, desc, desc, desc))
        specs += [Variable(kind, desc, [real]), Variable(kind, desc + "I", [imag])]
    return Case("complex", case_text(["model: complex.geo"], lines), files, build([(None, parts)], specs))


def complex_transient_case():
    """Complex variables over the two steps of a transient geometry."""
    times = [0.0, 0.5]
    steps = [[surface_part(1), volume_part(2)], [moved(surface_part(1), 1.0), moved(volume_part(2), 1.0)]]
    files = {"geo.%04d" % (s + 1): Geometry([parts]) for s, parts in enumerate(steps)}
    lines, specs = [], []
    for kind, desc, make, salt in (("complex vector per node", "displacement", lambda p, s: nodal(p, "d", 3, s), 80),
                                   ("complex scalar per element", "stress", lambda p, s: per_element(p, 1, s), 90)):
        real = [make(parts, salt + s) for s, parts in enumerate(steps)]
        imag = [make(parts, salt + 5 + s) for s, parts in enumerate(steps)]
        for s in range(len(steps)):
            files["%s_r.%04d" % (desc, s + 1)] = VariableFile([list(real[s].values())])
            files["%s_i.%04d" % (desc, s + 1)] = VariableFile([list(imag[s].values())])
        lines.append("%s: 1 %s %s_r.**** %s_i.**** 2.5" % (kind, desc, desc, desc))
        specs += [Variable(kind, desc, real, times), Variable(kind, desc + "I", imag, times)]
    text = case_text(["model: 1 geo.****"], lines, time_set(1, times, start=1))
    return Case("complex_transient", text, files, build(list(zip(times, steps)), specs))


def complex_steps_case():
    """A steady geometry whose only variable, a complex scalar, has three steps: it decides the zones of the steps."""
    times = [0.0, 1.5, 3.0]
    parts = [surface_part(1), curvilinear(2, "block", 2, 3, 2)]
    real = [nodal(parts, "p", 1, 100 + s) for s in range(3)]
    imag = [nodal(parts, "p", 1, 110 + s) for s in range(3)]
    files = {"static.geo": Geometry([parts])}
    for s in range(3):
        files["pressure_r.%04d" % (s + 1)] = VariableFile([list(real[s].values())])
        files["pressure_i.%04d" % (s + 1)] = VariableFile([list(imag[s].values())])
    text = case_text(["model: static.geo"], ["complex scalar per node: 1 pressure pressure_r.**** pressure_i.**** 7.5"],
                     time_set(1, times, start=1))
    kind = "complex scalar per node"
    expect = build([(None, parts)], [Variable(kind, "pressure", real, times), Variable(kind, "pressureI", imag, times)])
    return Case("complex_steps", text, files, expect)


def measured_case():
    """Particles over three steps: ids above 65535, an empty middle step."""
    times = [0.0, 0.5, 1.0]
    steps = [MeasuredGeometry([70001, 70002, 70003, 70004],
                              ([0.0, 0.5, 1.0, 1.5], [0.25, 0.25, 0.5, 0.5], [0.0, 0.125, 0.25, 0.375])),
             MeasuredGeometry([], ([], [], [])),
             MeasuredGeometry([65536, 99999, 123456], ([2.0, 2.5, 3.0], [-1.0, -0.5, 0.0], [1.0, 1.0, 1.0]))]
    model = [surface_part(1)]
    files = {"model.geo": Geometry([model])}
    scal, vec = [], []
    for s, m in enumerate(steps):
        n = len(m.ids)
        scal.append(MeasuredValues([vals(n, 60 + s)]))
        vec.append(MeasuredValues([vals(n, 70 + s + c) for c in range(3)]))
        files["particles.%04d" % (s + 1)] = m
        files["mass.%04d" % (s + 1)] = scal[-1]
        files["drift.%04d" % (s + 1)] = vec[-1]
    # no time set, and four particles: it fits step 1 only
    size = MeasuredValues([vals(4, 65)])
    files["size.fixed"] = size
    text = case_text(["model: model.geo", "measured: 1 particles.****"],
                     ["scalar per measured node: 1 mass mass.****",
                      "vector per measured node: 1 drift drift.****",
                      "scalar per measured node: size size.fixed"],
                     time_set(1, times, start=1))
    expect = build([(None, model)], [Variable("scalar per measured node", "mass", scal, times),
                                     Variable("vector per measured node", "drift", vec, times),
                                     Variable("scalar per measured node", "size", [size])],
                   measured=steps, measured_times=times)
    expect["messages"] = [{"kind": "info", "text": NOT_LOADED + "\nsize.fixed (it has no time set; it fits the particles "
                           "at step 1, not at step 3, where the mesh differs)"}]
    case = Case("measured", text, files, expect)
    case.encodings = C_ENCODINGS
    return case


def missing_variable_case():
    parts = [surface_part(1)]
    case = static_case("missing_variable", parts, [("scalar per node", "pressure", nodal(parts, "p", 1, 80))])
    case.case_text = case.case_text.replace("VARIABLE\n", "VARIABLE\nscalar per node: temperature absent.scl\n")
    case.expect["messages"] = [{"kind": "info", "text": NOT_LOADED + "\nabsent.scl (Unable to open file for reading.)"}]
    return case


def passed_over_case():
    """Sections and lines of today's case files that hold nothing the host shows."""
    parts = [surface_part(1)]
    case = static_case("passed_over", parts, [("scalar per node", "pressure", nodal(parts, "p", 1, 81))])
    text = case.case_text.replace("model: passed_over.geo", "model: passed_over.geo change_coords_only 0")
    text = text.replace("VARIABLE\n", "VARIABLE\nconstant per part: Density 1.5\n")
    case.case_text = text + ("\nTIME\ntime set: 1\nnumber of steps: 1\nmaximum time steps: 4\ntime values: 0\n"
                             "\nMATERIAL\nmaterial set number: 1 materials\nmaterial id count: 2\n"
                             "material id numbers: 1 2\nmaterial id names: steel copper\n"
                             "material id per element: passed_over.matid\nmaterial mixed ids: passed_over.mixid\n"
                             "material mixed values: passed_over.mixval\n"
                             "\nBLOCK_CONTINUATION\nnumber of sets: 2\nfilename padding: 3\n"
                             "\nSCRIPTS\nmetadata: passed_over.xml\n")
    case.expect["messages"] = [
        {"kind": "info", "text": NOT_LOADED + "\nDensity (constants are not loaded)"},
        {"kind": "info", "text": PASSED_OVER + "\n\"maximum time steps\" in the TIME section\nMATERIAL section"
                                               "\nBLOCK_CONTINUATION section\nSCRIPTS section"}]
    return case


def cube_case():
    xyz, n = grid(2, 2, 2, h=1.0)
    cube = Unstructured(1, "cube", xyz, [Block("hexa8", [(1, 2, 4, 3, 5, 6, 8, 7)])])
    case = static_case("cube", [cube], [("scalar per node", "temperature", nodal([cube], "t", 1, 90)),
                                        ("vector per node", "velocity", nodal([cube], "v", 3, 91))])
    case.demo = True
    return case


def quirks_case():
    """What real writers do: see Out; descriptions with trailing blanks, and a
    case file with comments, blank lines and no line end at its end."""
    parts = [surface_part(1, "padded description   "), curvilinear(2, "block   ", 2, 2, 2)]
    case = static_case("writer_quirks", parts, [("scalar per node", "temperature", nodal(parts, "t", 1, 95)),
                                                ("scalar per element", "density", per_element(parts, 1, 96))])
    case.quirks = True
    body = case.case_text.replace("GEOMETRY\n", "# geometry follows\nGEOMETRY\n\n")
    case.case_text = "# written by make_gold_samples.py\n\n" + body.rstrip("\n")
    return case


def all_cases():
    return ([cube_case(), mixed_case(), variables_case()] + structured_cases() + part_number_cases()
            + [ids_case(), extents_case(), transient_geometry_case(), coordinates_only_case(), one_file_case(),
               variable_steps_case("variable_steps", 1, [1, 2, 3]),
               variable_steps_case("start_number_0", 0, [0, 1, 2]),
               measured_case(), missing_variable_case(), passed_over_case(), quirks_case(), complex_case(), complex_transient_case(),
               complex_steps_case()])


def write_case(root, case):
    top = os.path.join(root, case.name)
    for enc in case.encodings:
        d = os.path.join(top, enc)
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, case.name + ".case"), "w") as f:
            f.write(case.case_text)
        for fname, item in case.files.items():
            with open(os.path.join(d, fname), "wb") as f:
                f.write(encode(item, enc, case.quirks))
    if case.demo:
        with open(os.path.join(top, case.name + ".case"), "w") as f:
            f.write(case.demo_text())
    expect = dict(case.expect)
    expect.setdefault("messages", [])
    expect = {"case": case.name + ".case", "encodings": list(case.encodings), "loaded": True, **expect}
    with open(os.path.join(top, case.name + ".expect.json"), "w") as f:
        json.dump(expect, f, indent=1)
        f.write("\n")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for case in all_cases():
        write_case(root, case)
        print("wrote", case.name)


if __name__ == "__main__":
    main()
