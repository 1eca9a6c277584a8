#!/usr/bin/env python3
"""Write a benchmark EnSight case of a chosen size (never into the repository).

Usage:
  python3 bench/gen_case.py OUTDIR [--cells N] [--parts P] [--steps S]
                            [--encodings ascii,le,be] [--ensight6] [--nfaced M]

Gold: P parts of hexa8 cells (N in all), one tetra4 part and one nfaced part
(each about N/10 cubes; --nfaced M sets the nfaced part's cubes), per-node scalar and vector, per-element scalar; with
S > 1 the variables have S time steps in files named with "****". Each
encoding goes to OUTDIR/<encoding>/ (gold.case, or e6.case with --ensight6,
which has no nfaced part). Prints the bytes written per encoding.

Speed: arrays are built in bulk. Connectivity of a box of cubes is affine in
the cell position, so one row of cells is made in Python and every further
row and layer is that row plus a constant, added to all 4-byte lanes at once
as one big integer; coordinates and values are short patterns repeated.
"""
import argparse
import array
import os
import sys
import time

HEXA = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0), (0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)]
# six tetrahedra around the cube diagonal 0-6
TETS = [(0, 1, 2, 6), (0, 2, 3, 6), (0, 3, 7, 6), (0, 7, 4, 6), (0, 4, 5, 6), (0, 5, 1, 6)]
FACES = [(0, 3, 2, 1), (0, 1, 5, 4), (1, 2, 6, 5), (2, 3, 7, 6), (3, 0, 4, 7), (4, 5, 6, 7)]
SPACING = 0.125
LITTLE = sys.byteorder == "little"


def lanes_one(count):
    """The integer with 1 in each of count 4-byte little-endian lanes."""
    return int.from_bytes(b"\x01\x00\x00\x00" * count, "little")


def plus(data, value, ones):
    """Add value to every 4-byte lane of data (no lane may overflow)."""
    return (int.from_bytes(data, "little") + value * ones).to_bytes(len(data), "little")


class Box:
    """nx * ny * nz cubes; nodes numbered i fastest. `first` is the number of
    its first node in a global list (EnSight 6); Gold parts number from 1."""

    def __init__(self, nx, ny, nz, first, x0):
        self.nx, self.ny, self.nz = nx, ny, nz
        self.first = first
        self.x0 = x0

    @property
    def node_count(self):
        return (self.nx + 1) * (self.ny + 1) * (self.nz + 1)

    @property
    def cubes(self):
        return self.nx * self.ny * self.nz

    def node(self, i, j, k, first):
        return first + i + (self.nx + 1) * (j + (self.ny + 1) * k)

    def connectivity(self, corners, first):
        """Little-endian int32 layers: for each cube, the nodes of `corners` in order."""
        row = array.array("i", [self.node(i + a, b, c, first) for i in range(self.nx) for a, b, c in corners])
        if not LITTLE:
            row.byteswap()
        row = row.tobytes()
        ones = lanes_one(len(row) // 4)
        layer = b"".join(plus(row, (self.nx + 1) * j, ones) for j in range(self.ny))
        ones = lanes_one(len(layer) // 4)
        stride = (self.nx + 1) * (self.ny + 1)
        for k in range(self.nz):
            yield plus(layer, stride * k, ones)

    def axes(self):
        """x, y, z node arrays (float32)."""
        nx1, ny1, nz1 = self.nx + 1, self.ny + 1, self.nz + 1
        x = array.array("f", [self.x0 + i * SPACING for i in range(nx1)]) * (ny1 * nz1)
        y = array.array("f", [j * SPACING for j in range(ny1) for _ in range(nx1)]) * nz1
        z = array.array("f", [k * SPACING for k in range(nz1) for _ in range(nx1 * ny1)])
        return x, y, z

    def node_pattern(self, salt):
        row = array.array("f", [((i * 7 + salt) % 32 - 16) * 0.25 for i in range(self.nx + 1)])
        return row * ((self.ny + 1) * (self.nz + 1))

    def cell_pattern(self, salt, per_cube=1):
        row = array.array("f", [((i * 5 + salt) % 32 - 16) * 0.5 for i in range(self.nx) for _ in range(per_cube)])
        return row * (self.ny * self.nz)


def box_for(cells, first, x0):
    n = max(1, round(cells ** (1 / 3)))
    nz = max(1, -(-cells // (n * n)))
    return Box(n, n, nz, first, x0)


class Writer:
    """One output file in one encoding; integer width 10 (Gold) or 8 (EnSight 6)."""

    def __init__(self, path, encoding, int_width):
        self.f = open(path, "wb")
        self.encoding = encoding
        self.ascii = encoding == "ascii"
        self.int_width = int_width
        self.bytes = 0
        self._int_table = []
        self._real_text = RealText()

    def close(self):
        self.f.close()

    def raw(self, data):
        self.f.write(data)
        self.bytes += len(data)

    def line(self, text):
        data = text.encode()
        self.raw(data + b"\n" if self.ascii else data[:80].ljust(80, b"\0"))

    def int1(self, n):
        self.ints(array.array("i", [n]))

    def _swap(self, a):
        if (self.encoding == "be") == LITTLE:
            a.byteswap()
        return a

    def ints(self, a, per_line=1):
        if not self.ascii:
            self.raw(self._swap(array.array("i", a)).tobytes())
            return
        top = max(a) if len(a) else 0
        if top >= len(self._int_table):
            self._int_table = [b"%*d" % (self.int_width, i) for i in range(max(top + 1, 2 * len(self._int_table)))]
        self.raw(join_lines(list(map(self._int_table.__getitem__, a)), per_line))

    def int_layers(self, layers, per_line):
        """Little-endian int32 layers from Box.connectivity."""
        for data in layers:
            a = array.array("i")
            a.frombytes(data)
            if not LITTLE:
                a.byteswap()
            self.ints(a, per_line)

    def reals(self, a, per_line=1):
        if not self.ascii:
            self.raw(self._swap(array.array("f", a)).tobytes())
            return
        self.raw(join_lines(list(map(self._real_text.__getitem__, a)), per_line))


class RealText(dict):
    """float -> its 12-character field, each distinct value formatted once."""

    def __missing__(self, v):
        text = self[v] = b"%12.5e" % v
        return text


def join_lines(pieces, per_line):
    """Concatenate fields, per_line to a line."""
    if not pieces:
        return b""
    for i in range(per_line - 1, len(pieces), per_line):
        pieces[i] += b"\n"
    if len(pieces) % per_line:
        pieces[-1] += b"\n"
    return b"".join(pieces)


def interleave(arrays):
    out = array.array("f", bytes(4 * len(arrays[0]) * len(arrays)))
    for c, a in enumerate(arrays):
        out[c::len(arrays)] = a
    return out


# ---------------------------------------------------------------- model

class Model:
    def __init__(self, cells, parts, with_nfaced, nfaced_cells=None):
        self.hexa = []
        first, x0 = 1, 0.0
        for p in range(parts):
            box = box_for(max(1, cells // parts), first, x0)
            self.hexa.append(box)
            first, x0 = first + box.node_count, x0 + (box.nx + 2) * SPACING
        small = max(1, cells // 10)
        self.tetra = box_for(small, first, x0)
        first, x0 = first + self.tetra.node_count, x0 + (self.tetra.nx + 2) * SPACING
        self.nfaced = box_for(nfaced_cells or small, first, x0) if with_nfaced else None

    def parts(self):
        """(part number, description, box, element kind)."""
        out = [(n + 1, "hexa part %d" % (n + 1), b, "hexa8") for n, b in enumerate(self.hexa)]
        out.append((len(out) + 1, "tetra part", self.tetra, "tetra4"))
        if self.nfaced:
            out.append((len(out) + 1, "nfaced part", self.nfaced, "nfaced"))
        return out


def element_count(box, kind):
    return box.cubes * (len(TETS) if kind == "tetra4" else 1)


def write_elements(w, box, kind, first):
    if kind == "hexa8":
        w.int_layers(box.connectivity(HEXA, first), 8)
    elif kind == "tetra4":
        w.int_layers(box.connectivity([HEXA[c] for t in TETS for c in t], first), 4)
    else:
        w.ints(array.array("i", [len(FACES)]) * box.cubes)
        w.ints(array.array("i", [4]) * (box.cubes * len(FACES)))
        w.int_layers(box.connectivity([HEXA[c] for f in FACES for c in f], first), 4)


def cell_values(box, kind, salt):
    if kind == "tetra4":
        return box.cell_pattern(salt, len(TETS))
    return box.cell_pattern(salt)


# ---------------------------------------------------------------- Gold

def geometry_header(path, enc, int_width, id_option):
    """A geometry file opened and its header written: format line, descriptions, id lines."""
    w = Writer(path, enc, int_width)
    if enc != "ascii":
        w.line("C Binary")
    w.line("benchmark case written by gen_case.py")
    w.line("geometry")
    w.line("node id " + id_option)
    w.line("element id " + id_option)
    return w


def gold_geometry(path, enc, model):
    w = geometry_header(path, enc, 10, "off")
    for number, desc, box, kind in model.parts():
        w.line("part")
        w.int1(number)
        w.line(desc)
        w.line("coordinates")
        w.int1(box.node_count)
        for axis in box.axes():
            w.reals(axis)
        w.line(kind)
        w.int1(element_count(box, kind))
        write_elements(w, box, kind, 1)
    w.close()
    return w.bytes


def gold_variable(path, enc, model, components, per_node, step):
    w = Writer(path, enc, 10)
    w.line("variable step %d" % step)
    for number, _, box, kind in model.parts():
        w.line("part")
        w.int1(number)
        w.line("coordinates" if per_node else kind)
        for c in range(components):
            salt = step * 3 + c
            w.reals(box.node_pattern(salt) if per_node else cell_values(box, kind, salt))
    w.close()
    return w.bytes


VARIABLES = [("scalar per node", "temperature", 1, True), ("vector per node", "velocity", 3, True),
             ("scalar per element", "density", 1, False)]


def step_name(name, steps):
    return name + ".****" if steps > 1 else name


def time_section(steps):
    if steps <= 1:
        return ""
    times = " ".join("%g" % (0.5 * s) for s in range(steps))
    return ("\nTIME\ntime set: 1\nnumber of steps: %d\nfilename start number: 1\n"
            "filename increment: 1\ntime values: %s\n" % (steps, times))


# ---------------------------------------------------------------- EnSight 6

def e6_geometry(path, enc, model):
    """Global coordinates (interleaved per node), then parts referring to them."""
    w = geometry_header(path, enc, 8, "assign")
    w.line("coordinates")
    parts = model.parts()
    w.int1(sum(b.node_count for _, _, b, _ in parts))
    for _, _, box, _ in parts:
        w.reals(interleave(box.axes()), 3)
    for number, desc, box, kind in parts:
        w.line("part %d" % number)
        w.line(desc)
        w.line(kind)
        w.int1(element_count(box, kind))
        write_elements(w, box, kind, box.first)
    w.close()
    return w.bytes


def e6_variable(path, enc, model, components, per_node, step):
    w = Writer(path, enc, 8)
    w.line("variable step %d" % step)
    if per_node:
        values = array.array("f")
        for _, _, box, _ in model.parts():
            values += interleave([box.node_pattern(step * 3 + c) for c in range(components)])
        w.reals(values, 6)
    else:
        for number, _, box, kind in model.parts():
            w.line("part %d" % number)
            w.line(kind)
            w.reals(interleave([cell_values(box, kind, step * 3 + c) for c in range(components)]), 6)
    w.close()
    return w.bytes


# flavour -> (file prefix, FORMAT type, geometry writer, variable writer)
FLAVOURS = {"gold": ("gold", "ensight gold", gold_geometry, gold_variable),
            "e6": ("e6", "ensight", e6_geometry, e6_variable)}


def write_case(folder, enc, model, steps, flavour):
    prefix, format_type, geometry, variable = FLAVOURS[flavour]
    total = geometry(os.path.join(folder, prefix + ".geo"), enc, model)
    ts = "1 " if steps > 1 else ""
    lines = []
    for kind, desc, comps, per_node in VARIABLES:
        base = "%s_%s" % (prefix, desc)
        lines.append("%s: %s%s %s" % (kind, ts, desc, step_name(base, steps)))
        for s in range(steps):
            name = "%s.%04d" % (base, s + 1) if steps > 1 else base
            total += variable(os.path.join(folder, name), enc, model, comps, per_node, s)
    with open(os.path.join(folder, prefix + ".case"), "w") as f:
        f.write("FORMAT\ntype: %s\n\nGEOMETRY\nmodel: %s.geo\n\nVARIABLE\n" % (format_type, prefix))
        f.write("".join(ln + "\n" for ln in lines) + time_section(steps))
    return total


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("outdir")
    ap.add_argument("--cells", type=int, default=100000, help="hexa8 cells in all hexa parts")
    ap.add_argument("--parts", type=int, default=4, help="number of hexa8 parts")
    ap.add_argument("--steps", type=int, default=1, help="time steps of the variables")
    ap.add_argument("--encodings", default="ascii,le,be")
    ap.add_argument("--ensight6", action="store_true", help="write an EnSight 6 case instead of Gold")
    ap.add_argument("--nfaced", type=int, help="cubes of the nfaced part (default: a tenth of --cells)")
    args = ap.parse_args()
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if os.path.abspath(args.outdir).startswith(repo + os.sep):
        sys.exit("gen_case.py: generated cases never go into the repository")
    model = Model(args.cells, max(1, args.parts), not args.ensight6, args.nfaced)
    for enc in args.encodings.split(","):
        if enc not in ("ascii", "le", "be"):
            sys.exit("gen_case.py: unknown encoding " + enc)
        folder = os.path.join(args.outdir, enc)
        os.makedirs(folder, exist_ok=True)
        start = time.perf_counter()
        total = write_case(folder, enc, model, max(1, args.steps), "e6" if args.ensight6 else "gold")
        print("%s: %d bytes in %.2f s -> %s" % (enc, total, time.perf_counter() - start, folder))


if __name__ == "__main__":
    main()
