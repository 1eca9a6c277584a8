#!/usr/bin/env python3
"""Writes the EnSight 6 sample cases under samples/ensight6/<case>/<encoding>/.

Every case is written in ASCII ("ascii") and C binary of both byte orders
("le", "be"); the reals are rounded to the ASCII text first so that all three
encodings carry the same values. Some cases also have a Gold twin ("gold":
the same nodes, elements and values written as EnSight Gold, every
unstructured part with the whole node list), and some hold all their steps
in one file ("BEGIN TIME STEP" ... "END TIME STEP", a file set) beside the same
steps one file each. Standard library only.
Usage: python3 make_ensight6_samples.py [OUTDIR]
"""
import os
import struct
import sys

sys.dont_write_bytecode = True  # keep samples/ free of caches
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "gold"))

import ensight_writer as gold  # noqa: E402


def r5(v):
    return float("%12.5e" % v)


class Unstructured:
    def __init__(self, number, desc, blocks):
        self.number, self.desc, self.blocks = number, desc, blocks  # blocks: [(type, [[node ids]])]


class Block:
    def __init__(self, number, desc, dims, iblank=False):
        self.number, self.desc, self.dims = number, desc, dims
        i, j, k = dims
        self.n = i * j * k
        self.xyz = [[r5(a + 0.5 * c) for a in range(i) for b in range(j) for c in range(k)]
                    for _ in range(1)]
        self.x = [r5(10 + a) for c in range(k) for b in range(j) for a in range(i)]
        self.y = [r5(-b) for c in range(k) for b in range(j) for a in range(i)]
        self.z = [r5(0.5 * c) for c in range(k) for b in range(j) for a in range(i)]
        self.iblank = [0 if m % 5 == 0 else 1 for m in range(self.n)] if iblank else None

    def cells(self):
        i, j, k = self.dims
        return max(i - 1, 1) * max(j - 1, 1) * max(k - 1, 1)


class Geometry:
    def __init__(self, nodes, parts, node_ids="given", element_ids="given", title="EnSight 6 sample"):
        self.nodes, self.parts = nodes, parts  # nodes: [(id, x, y, z)]
        self.node_ids, self.element_ids, self.title = node_ids, element_ids, title

    def has_node_ids(self):
        return self.node_ids in ("given", "ignore")

    def has_element_ids(self):
        return self.element_ids in ("given", "ignore")


class Writer:
    def __init__(self, encoding):
        self.encoding = encoding
        self.out = []
        self.fmt = "<" if encoding == "le" else ">"

    def text(self, s):
        if self.encoding == "ascii":
            self.out.append((s + "\n").encode())
        else:
            # big-endian records padded with blanks, as some writers do, little-endian with NULs
            self.out.append(s.encode()[:80].ljust(80, b" " if self.encoding == "be" else b"\0"))

    def ints(self, values, per_line=1, width=8):
        if self.encoding == "ascii":
            for a in range(0, len(values), per_line):
                self.out.append(("".join("%*d" % (width, v) for v in values[a:a + per_line]) + "\n").encode())
        else:
            self.out.append(struct.pack(self.fmt + "%di" % len(values), *values))

    def reals(self, values, per_line=6):
        if self.encoding == "ascii":
            for a in range(0, len(values), per_line):
                self.out.append(("".join("%12.5e" % v for v in values[a:a + per_line]) + "\n").encode())
        else:
            self.out.append(struct.pack(self.fmt + "%df" % len(values), *values))

    def data(self):
        return b"".join(self.out)


def geometry_bytes(g, encoding):
    w = Writer(encoding)
    if encoding != "ascii":
        w.text("C Binary")
    write_geometry(w, g, encoding)
    return w.data()


def steps_bytes(step_writers, encoding, c_binary_mark=False):
    """Several steps of one file, each between BEGIN and END TIME STEP."""
    w = Writer(encoding)
    if c_binary_mark and encoding != "ascii":
        w.text("C Binary")
    for write_step in step_writers:
        w.text("BEGIN TIME STEP")
        write_step(w)
        w.text("END TIME STEP")
    return w.data()


def write_geometry(w, g, encoding):
    w.text(g.title)
    w.text("written by make_ensight6_samples.py")
    w.text("node id " + g.node_ids)
    w.text("element id " + g.element_ids)
    w.text("coordinates")
    w.ints([len(g.nodes)])
    if encoding == "ascii":
        for (nid, x, y, z) in g.nodes:
            head = "%8d" % nid if g.has_node_ids() else ""
            w.out.append((head + "%12.5e%12.5e%12.5e\n" % (x, y, z)).encode())
    else:
        if g.has_node_ids():
            w.ints([n[0] for n in g.nodes])
        w.reals([c for n in g.nodes for c in n[1:]])
    for p in g.parts:
        w.text("part %8d" % p.number)
        w.text(p.desc)
        if isinstance(p, Block):
            w.text("block iblanked" if p.iblank else "block")
            w.ints(list(p.dims), per_line=3)
            for arr in (p.x, p.y, p.z):
                w.reals(arr)
            if p.iblank:
                w.ints(p.iblank, per_line=10)
            continue
        for (etype, elements) in p.blocks:
            w.text(etype)
            w.ints([len(elements)])
            eids = [1000 * p.number + e + 1 for e in range(len(elements))]
            if encoding == "ascii":
                for e, nodes in enumerate(elements):
                    row = ([eids[e]] if g.has_element_ids() else []) + nodes
                    w.ints(row, per_line=len(row))
            else:
                if g.has_element_ids():
                    w.ints(eids)
                w.ints([n for el in elements for n in el])


def node_values(g, comps, seed):
    """Per node of the global list and per block node: comps values."""
    glob = [[r5(seed + 0.25 * i + c - (i % 3)) for c in range(comps)] for i in range(len(g.nodes))]
    blocks = {p.number: [[r5(seed * 2 + 0.5 * m - c) for m in range(p.n)] for c in range(comps)]
              for p in g.parts if isinstance(p, Block)}
    return glob, blocks


def node_variable_bytes(g, desc, comps, seed, encoding, values=None):
    w = Writer(encoding)
    write_node_variable(w, g, desc, comps, seed, values)
    return w.data()


def write_node_variable(w, g, desc, comps, seed, values=None):
    w.text(desc)
    glob, blocks = (values or node_values)(g, comps, seed)
    if any(isinstance(p, Unstructured) for p in g.parts):
        w.reals([v for node in glob for v in node])
    for p in g.parts:
        if isinstance(p, Block):
            w.text("part %8d" % p.number)
            w.text("block")
            write_block_values(w, blocks[p.number])


def write_block_values(w, components):
    """ASCII: component after component; C binary: interleaved per node or cell."""
    if w.encoding == "ascii":
        for comp in components:
            w.reals(comp)
    else:
        w.reals([v for item in zip(*components) for v in item])


def element_values(g, comps, seed):
    """Per part: blocks -> [component arrays of cells]; unstructured -> [(type, [[comps] per element])]."""
    out = {}
    for p in g.parts:
        if isinstance(p, Block):
            out[p.number] = [[r5(seed + p.number + 0.5 * m - c) for m in range(p.cells())] for c in range(comps)]
            continue
        count, sections = 0, []
        for (etype, elements) in p.blocks:
            sections.append((etype, [[r5(seed + p.number * 10 + count + e + 0.1 * c) for c in range(comps)]
                                     for e in range(len(elements))]))
            count += len(elements)
        out[p.number] = sections
    return out


def element_variable_bytes(g, desc, comps, seed, encoding, values=None):
    w = Writer(encoding)
    write_element_variable(w, g, desc, comps, seed, values)
    return w.data()


def write_element_variable(w, g, desc, comps, seed, values=None):
    w.text(desc)
    table = (values or element_values)(g, comps, seed)
    for p in g.parts:
        w.text("part %8d" % p.number)
        if isinstance(p, Block):
            w.text("block")
            write_block_values(w, table[p.number])
            continue
        # components follow each other per element
        for (etype, per_element) in table[p.number]:
            w.text(etype)
            w.reals([v for element in per_element for v in element])


def case_text(geo, variables, time_values=None, geo_time=False):
    lines = ["FORMAT", "type: ensight", "", "GEOMETRY",
             "model: %s%s" % ("1 " if geo_time else "", geo), "", "VARIABLE"]
    lines += variables
    if time_values:
        lines += ["", "TIME", "time set: 1", "number of steps: %d" % len(time_values),
                  "filename start number: 0", "filename increment: 1",
                  "time values: " + " ".join("%g" % t for t in time_values)]
    return "\n".join(lines) + "\n"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def grid_nodes(ids):
    pts = [(x, y, z) for z in (0.0, 1.0, 2.0) for y in (0.0, 1.0) for x in (-1.0, 1.0)]
    return [(ids[i], r5(p[0]), r5(p[1]), r5(p[2])) for i, p in enumerate(pts)]


def mixed_geometry(node_ids="given", element_ids="given"):
    ids = [5, 9, 7] + list(range(30, 39)) if node_ids in ("given", "ignore") else list(range(1, 13))
    if node_ids == "ignore":
        ids = list(range(1, 13))
    n = lambda *positions: [ids[p - 1] for p in positions]
    parts = [
        Unstructured(1, "surface mix", [("tria3", [n(1, 2, 4), n(1, 4, 3)]), ("quad4", [n(3, 4, 6, 5)])]),
        Unstructured(2, "volume mix", [("tetra4", [n(1, 2, 3, 5)]), ("pyramid5", [n(1, 2, 4, 3, 5)]),
                                       ("penta6", [n(1, 2, 3, 5, 6, 7)]),
                                       ("hexa8", [n(5, 6, 8, 7, 9, 10, 12, 11)])]),
        Unstructured(3, "bar3 line", [("bar3", [n(1, 5, 3), n(5, 9, 7)])]),
        Unstructured(4, "edge and skin", [("bar2", [n(1, 2), n(2, 4), n(4, 3), n(3, 1)]),
                                          ("tria3", [n(5, 6, 8), n(5, 8, 7), n(9, 10, 12)])]),
        Unstructured(5, "points", [("point", [n(1), n(6), n(12)])]),
        Block(6, "block with iblank", (3, 2, 2), iblank=True),
        Block(7, "flat block", (3, 3, 1)),
    ]
    return Geometry(grid_nodes(ids), parts, node_ids, element_ids)


def simple_geometry(node_ids, element_ids, number_offset=0, title="EnSight 6 sample"):
    ids = list(range(1, 13)) if node_ids != "given" else [100 + 3 * i for i in range(12)]
    n = lambda *positions: [ids[p - 1] for p in positions]
    parts = [Unstructured(1 + number_offset, "tri and quad",
                          [("tria3", [n(1, 2, 4)]), ("quad4", [n(3, 4, 6, 5), n(5, 6, 8, 7)])]),
             Unstructured(2 + number_offset, "hexes", [("hexa8", [n(1, 2, 4, 3, 5, 6, 8, 7),
                                                                   n(5, 6, 8, 7, 9, 10, 12, 11)])])]
    return Geometry(grid_nodes(ids), parts, node_ids, element_ids, title)


ENCODINGS = ("ascii", "le", "be")


def write_case(root, name, g, variables, time_values=None, exact=False):
    """variables: [(case line prefix, desc, kind, comps, seed)]; exact: reals in 1/8 steps."""
    nv, ev = (exact_node_values, exact_element_values) if exact else (None, None)
    for enc in ENCODINGS:
        d = os.path.join(root, name, enc)
        write(os.path.join(d, name + ".geo"), geometry_bytes(g, enc))
        lines = []
        for (prefix, desc, comps, seed, per_element) in variables:
            fname = "%s.%s" % (name, desc)
            make = element_variable_bytes if per_element else node_variable_bytes
            values = ev if per_element else nv
            if time_values and prefix.startswith("1 "):
                for k in range(len(time_values)):
                    write(os.path.join(d, fname + "%d" % k), make(g, desc, comps, seed + k, enc, values))
                lines.append("%s %s %s*" % (prefix.split(" ", 1)[1], "1 " + desc, fname))
            else:
                write(os.path.join(d, fname), make(g, desc, comps, seed, enc, values))
                lines.append("%s %s %s" % (prefix, desc, fname))
        write(os.path.join(d, name + ".case"), case_text(name + ".geo", lines, time_values))


def eighths(n, salt):
    """n reals in 1/8 steps, exact in float32 and in a %12.5e field."""
    return [((i * 37 + salt * 11 + 5) % 64 - 32) * 0.125 for i in range(n)]


def exact_node_values(g, comps, seed):
    glob = [[v for v in eighths(comps, 7 * i + seed)] for i in range(len(g.nodes))]
    blocks = {p.number: [eighths(p.n, 13 * c + seed + p.number) for c in range(comps)]
              for p in g.parts if isinstance(p, Block)}
    return glob, blocks


def exact_element_values(g, comps, seed):
    out = {}
    for p in g.parts:
        if isinstance(p, Block):
            out[p.number] = [eighths(p.cells(), 5 * c + seed + p.number) for c in range(comps)]
            continue
        out[p.number] = [(etype, [eighths(comps, 3 * e + 17 * b + seed + p.number) for e in range(len(elements))])
                         for b, (etype, elements) in enumerate(p.blocks)]
    return out


# ---- the same data as EnSight Gold: every unstructured part holds the whole node list

def gold_geometry(g):
    position = {n[0]: i + 1 for i, n in enumerate(g.nodes)}
    at = (lambda node: position[node]) if g.has_node_ids() else (lambda node: node)
    xyz = tuple([n[a] for n in g.nodes] for a in (1, 2, 3))
    parts = []
    for p in g.parts:
        if isinstance(p, Block):
            parts.append(gold.Structured(p.number, p.desc, "curvilinear", p.dims, [p.x, p.y, p.z], iblank=p.iblank))
        else:
            blocks = [gold.Block(t, [[at(n) for n in e] for e in elements]) for t, elements in p.blocks]
            parts.append(gold.Unstructured(p.number, p.desc, xyz, blocks))
    return gold.Geometry([parts])


def gold_node_variable(g, comps, seed):
    glob, blocks = exact_node_values(g, comps, seed)
    parts = []
    for p in g.parts:
        if isinstance(p, Block):
            parts.append(gold.PartValues(p.number, "block", blocks[p.number]))
        else:
            parts.append(gold.PartValues(p.number, "coordinates", [[node[c] for node in glob] for c in range(comps)]))
    return gold.VariableFile([parts])


def gold_element_variable(g, comps, seed):
    table = exact_element_values(g, comps, seed)
    parts = []
    for p in g.parts:
        if isinstance(p, Block):
            parts.append(gold.PartValues(p.number, None, [("block", table[p.number])]))
        else:
            sections = [(t, [[e[c] for e in per_element] for c in range(comps)]) for t, per_element in table[p.number]]
            parts.append(gold.PartValues(p.number, None, sections))
    return gold.VariableFile([parts])


def write_gold_twin(root, name, g, variables):
    d = os.path.join(root, name, "gold")
    write(os.path.join(d, name + ".geo"), gold.encode(gold_geometry(g), "le"))
    lines = []
    for (prefix, desc, comps, seed, per_element) in variables:
        fname = "%s.%s" % (name, desc)
        item = (gold_element_variable if per_element else gold_node_variable)(g, comps, seed)
        write(os.path.join(d, fname), gold.encode(item, "le"))
        lines.append("%s %s %s" % (prefix, desc, fname))
    text = case_text(name + ".geo", lines).replace("type: ensight", "type: ensight gold")
    write(os.path.join(d, name + ".case"), text)


def higher_order_geometry():
    """Every higher-order type beside linear ones, blocks out of type order, node and element ids."""
    pts = [(x, y, z) for z in (0.0, 0.5, 1.0) for y in (0.0, 0.5, 1.0) for x in (0.0, 0.5, 1.0)]
    ids = [100 + 3 * i for i in range(len(pts))]
    nodes = [(ids[i], r5(p[0]), r5(p[1]), r5(p[2])) for i, p in enumerate(pts)]
    n = lambda *positions: [ids[q - 1] for q in positions]
    run = lambda first, count: n(*[(first + k - 1) % 27 + 1 for k in range(count)])
    parts = [
        Unstructured(1, "curved skin", [("quad8", [run(1, 8)]), ("tria3", [n(1, 2, 4)]),
                                        ("tria6", [run(5, 6), run(11, 6)]), ("quad4", [n(4, 5, 8, 7)])]),
        Unstructured(2, "curved solid", [("hexa20", [run(3, 20)]), ("tetra4", [n(1, 2, 4, 10)]),
                                         ("tria3", [n(1, 2, 3)]), ("penta15", [run(7, 15)]),
                                         ("pyramid13", [run(9, 13)]), ("tetra10", [run(12, 10), run(20, 10)]),
                                         ("hexa8", [n(1, 2, 5, 4, 10, 11, 14, 13)])]),
        Unstructured(3, "linear solid", [("hexa8", [n(14, 15, 18, 17, 23, 24, 27, 26)]),
                                         ("tetra4", [n(1, 2, 4, 10), n(2, 3, 6, 12)])]),
        Block(4, "vector block", (3, 2, 2), iblank=True),
        Block(5, "flat vector block", (4, 3, 1)),
    ]
    return Geometry(nodes, parts, "given", "given", "higher order")


TWIN_VARIABLES = [("scalar per node:", "temperature", 1, 1, False), ("vector per node:", "velocity", 3, 2, False),
                  ("tensor symm per node:", "stress", 6, 3, False), ("tensor asym per node:", "spin", 9, 7, False),
                  ("scalar per element:", "cellid", 1, 4, True),
                  ("vector per element:", "cellvec", 3, 5, True), ("tensor asym per element:", "grad", 9, 6, True)]


def write_file_sets(root):
    """Three steps (the second with node ids, another node count and a block) in one
    file per series ("fileset") and one file per step ("fileset_split")."""
    g0 = simple_geometry("off", "off")
    g1 = simple_geometry("given", "given", title="step 2")
    g1.parts.append(Block(5, "vector block", (3, 2, 2), iblank=True))
    g2 = simple_geometry("off", "off", title="step 3")
    g2.nodes = [(i, x + 1.0, y, z) for (i, x, y, z) in g2.nodes]
    steps, times = [g0, g1, g2], [0.5, 1.0, 2.0]
    for enc in ENCODINGS:
        d = os.path.join(root, "fileset", enc)
        write(os.path.join(d, "fileset.geo"),
              steps_bytes([lambda w, g=g: write_geometry(w, g, enc) for g in steps], enc, True))
        write(os.path.join(d, "fileset.vel"),
              steps_bytes([lambda w, g=g, k=k: write_node_variable(w, g, "velocity", 3, k, exact_node_values)
                           for k, g in enumerate(steps)], enc))
        # the element values marked "C Binary" first, as some writers do
        write(os.path.join(d, "fileset.cid"),
              steps_bytes([lambda w, g=g, k=k: write_element_variable(w, g, "cellid", 1, k, exact_element_values)
                           for k, g in enumerate(steps)], enc, True))
        text = case_text("fileset.geo", ["vector per node: 1 1 velocity fileset.vel",
                                         "scalar per element: 1 1 cellid fileset.cid"], times, geo_time=True)
        write(os.path.join(d, "fileset.case"), text.replace("model: 1 ", "model: 1 1 ") +
              "\nFILE\nfile set: 1\nnumber of steps: 3\n")
        d = os.path.join(root, "fileset_split", enc)
        for k, g in enumerate(steps):
            write(os.path.join(d, "geo%d" % k), geometry_bytes(g, enc))
            write(os.path.join(d, "vel%d" % k), node_variable_bytes(g, "velocity", 3, k, enc, exact_node_values))
            write(os.path.join(d, "cid%d" % k),
                  element_variable_bytes(g, "cellid", 1, k, enc, exact_element_values))
        text = case_text("geo*", ["vector per node: 1 velocity vel*", "scalar per element: 1 cellid cid*"], times,
                         geo_time=True)
        write(os.path.join(d, "fileset_split.case"), text)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    nodal = [("scalar per node:", "temperature", 1, 1.0, False), ("vector per node:", "velocity", 3, 2.0, False),
             ("tensor symm per node:", "stress", 6, 3.0, False),
             ("scalar per element:", "cellid", 1, 4.0, True), ("vector per element:", "cellvec", 3, 5.0, True)]
    write_case(root, "mixed", mixed_geometry(), nodal)
    write_case(root, "ids_ignore", mixed_geometry("ignore", "ignore"), nodal[:1])
    write_case(root, "ids_assign", simple_geometry("assign", "assign"), nodal[:1])
    write_case(root, "ids_off", simple_geometry("off", "off"), nodal[:1])
    write_case(root, "ids_given", simple_geometry("given", "off"), nodal[:1])
    # steady geometry, a 3-step per-node variable and a field fixed over the steps
    write_case(root, "steady_var3", simple_geometry("off", "off"),
               [("1 scalar per node:", "pressure", 1, 1.0, False), ("scalar per element:", "zoneid", 1, 6.0, True)],
               time_values=[0.25, 0.5, 1.0])
    # parts 1 3 7 9 for ZONE selection
    g = simple_geometry("off", "off")
    g.parts = [Unstructured(k, "part %d" % k, [("tria3", [[1, 2, 4]])]) for k in (1, 3, 7, 9)]
    write_case(root, "parts1379", g, [("scalar per node:", "first", 1, 1.0, False),
                                       ("scalar per node:", "second", 1, 2.0, False)])
    # 2-file transient geometry: different parts and node counts per step
    for enc in ENCODINGS:
        d = os.path.join(root, "transient_geo2", enc)
        g0 = simple_geometry("off", "off")
        g0.parts = g0.parts[:1]
        g1 = simple_geometry("given", "given", title="step 2")
        write(os.path.join(d, "geo0"), geometry_bytes(g0, enc))
        write(os.path.join(d, "geo1"), geometry_bytes(g1, enc))
        write(os.path.join(d, "t.scl0"), node_variable_bytes(g0, "t", 1, 1.0, enc))
        write(os.path.join(d, "t.scl1"), node_variable_bytes(g1, "t", 1, 7.0, enc))
        # no time set: it fits the first step's mesh only
        write(os.path.join(d, "wall.fixed"), node_variable_bytes(g0, "wall", 1, 3.0, enc))
        text = case_text("geo*", ["scalar per node: 1 t t.scl*", "scalar per node: wall wall.fixed"], [1.0, 2.0],
                         geo_time=True)
        write(os.path.join(d, "transient_geo2.case"), text)
    # complex scalar: P and PI
    for enc in ENCODINGS:
        d = os.path.join(root, "complex", enc)
        g = simple_geometry("off", "off")
        write(os.path.join(d, "complex.geo"), geometry_bytes(g, enc))
        write(os.path.join(d, "p.re"), node_variable_bytes(g, "P real", 1, 1.0, enc))
        write(os.path.join(d, "p.im"), node_variable_bytes(g, "P imaginary", 1, 9.0, enc))
        write(os.path.join(d, "complex.case"),
              case_text("complex.geo", ["complex scalar per node: P p.re p.im 2.0"]))
    write_case(root, "higher_order", higher_order_geometry(), TWIN_VARIABLES, exact=True)
    write_gold_twin(root, "higher_order", higher_order_geometry(), TWIN_VARIABLES)
    write_file_sets(root)
    write_failures(root)


def write_failures(root):
    d = os.path.join(root, "failures")
    base = simple_geometry("off", "off")
    ok_case = lambda geo: case_text(geo, ["scalar per node: temperature " + geo + ".scl"])
    for name, data in [("empty", b""),
                       ("fortran", struct.pack("<i", 80) + b"Fortran Binary".ljust(80, b" ")),
                       ("desc80", geometry_bytes(Geometry(base.nodes, base.parts, "off", "off", "d" * 80),
                                                 "ascii")),
                       ("desc79", geometry_bytes(Geometry(base.nodes, base.parts, "off", "off", "d" * 79),
                                                 "ascii"))]:
        write(os.path.join(d, name + ".geo"), data)
        write(os.path.join(d, name + ".geo.scl"), node_variable_bytes(base, "temperature", 1, 1.0, "ascii"))
        write(os.path.join(d, name + ".case"), ok_case(name + ".geo"))
    # the first variable file is missing: the geometry stays, the load fails
    write(os.path.join(d, "missing_var.geo"), geometry_bytes(base, "le"))
    write(os.path.join(d, "missing_var.case"), ok_case("missing_var.geo"))
    # node number 13 of 12
    bad = simple_geometry("off", "off")
    bad.parts[0].blocks[0] = ("tria3", [[1, 2, 13]])
    for enc in ("ascii", "le"):
        write(os.path.join(d, "node_range_%s.geo" % enc), geometry_bytes(bad, enc))
        write(os.path.join(d, "node_range_%s.case" % enc), case_text("node_range_%s.geo" % enc, []))
    # counts: node count negative and huge, element count negative
    good = geometry_bytes(base, "le")
    nn_at = 80 * 6
    for name, value in [("nn_negative", -5), ("nn_huge", 0x7FFFFFF0)]:
        data = good[:nn_at] + struct.pack("<i", value) + good[nn_at + 4:]
        write(os.path.join(d, name + ".geo"), data)
        write(os.path.join(d, name + ".case"), case_text(name + ".geo", []))
    write(os.path.join(d, "truncated.geo"), good[:len(good) - 20])
    write(os.path.join(d, "truncated.case"), case_text("truncated.geo", []))
    # variable files cut short: binary values past the end, an ASCII line short of values
    write(os.path.join(d, "var_truncated.geo"), good)
    write(os.path.join(d, "var_truncated.geo.scl"), node_variable_bytes(base, "temperature", 1, 1.0, "le")[:-8])
    write(os.path.join(d, "var_truncated.case"), ok_case("var_truncated.geo"))
    write(os.path.join(d, "var_short_line.geo"), geometry_bytes(base, "ascii"))
    short = node_variable_bytes(base, "temperature", 1, 1.0, "ascii").decode().split("\n")
    short[1] = short[1][:36]
    write(os.path.join(d, "var_short_line.geo.scl"), "\n".join(short))
    write(os.path.join(d, "var_short_line.case"), ok_case("var_short_line.geo"))
    # file sets of 3 steps whose files hold fewer, or a step without its end
    geo = lambda w: write_geometry(w, base, "le")
    scl = lambda w: write_node_variable(w, base, "temperature", 1, 1.0)
    three = case_text("%s.geo", ["scalar per node: 1 1 temperature %s.scl"], [1.0, 2.0, 3.0], geo_time=True)
    three = three.replace("model: 1 ", "model: 1 1 ") + "\nFILE\nfile set: 1\nnumber of steps: 3\n"
    unclosed = Writer("le")
    unclosed.text("C Binary")
    for _ in range(2):
        unclosed.text("BEGIN TIME STEP")
        geo(unclosed)
    for name, geo_steps, scl_steps, geo_data in [("steps_short_geo", 2, 3, None), ("steps_short_var", 3, 2, None),
                                                 ("step_unclosed", 3, 3, unclosed.data())]:
        write(os.path.join(d, name + ".geo"), geo_data or steps_bytes([geo] * geo_steps, "le", True))
        write(os.path.join(d, name + ".scl"), steps_bytes([scl] * scl_steps, "le"))
        write(os.path.join(d, name + ".case"), three % (name, name))


if __name__ == "__main__":
    main()
