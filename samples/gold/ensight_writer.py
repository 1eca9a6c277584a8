"""A small EnSight Gold writer: ASCII, C binary and Fortran binary, the
binary ones in either byte order.

Every value goes through `Out`, so one description of a file gives all five
encodings. In Fortran binary every string, count and array is one record,
framed by its byte length before and after. Reals must be exact in float32 and in a 12-character "%12.5e"
field, so that the ASCII and binary forms of a case hold identical numbers.
"""
import array
import struct
import sys

ENCODINGS = ("ascii", "le", "be", "fortran_le", "fortran_be")
# Particle data have no Fortran form that a reader here takes.
C_ENCODINGS = ENCODINGS[:3]

# element type -> (nodes per element, category); order = type code
ELEMENTS = {
    "point": (1, 1), "bar2": (2, 2), "bar3": (3, 2), "tria3": (3, 3), "tria6": (6, 3),
    "quad4": (4, 3), "quad8": (8, 3), "tetra4": (4, 4), "tetra10": (10, 4),
    "pyramid5": (5, 4), "pyramid13": (13, 4), "penta6": (6, 4), "penta15": (15, 4),
    "hexa8": (8, 4), "hexa20": (20, 4), "nsided": (0, 3), "nfaced": (0, 4),
}
HIGHER_ORDER = {"tria6", "quad8", "tetra10", "pyramid13", "penta15", "hexa20"}


def base_type(name):
    return name[2:] if name.startswith("g_") else name


def exact(v):
    """Refuse a real that the ASCII and binary forms would not hold alike."""
    f = struct.unpack("f", struct.pack("f", v))[0]
    if f != v or float("%12.5e" % v) != v:
        raise ValueError("value %r is not exact in float32 and %%12.5e" % v)
    return v


class Out:
    """One file being written in one encoding. With quirks it writes as some
    real writers do: "C binary" in small letters, a line feed before the NUL
    fill of 80-byte strings, 8-wide ASCII counts."""

    def __init__(self, encoding, quirks=False):
        self.encoding = encoding
        self.quirks = quirks
        self.parts = []

    @property
    def ascii(self):
        return self.encoding == "ascii"

    @property
    def fortran(self):
        return self.encoding.startswith("fortran")

    def _big(self):
        return self.encoding.endswith("be")

    def _record(self, data):
        if self.fortran:
            length = struct.pack(">i" if self._big() else "<i", len(data))
            data = length + data + length
        self.parts.append(data)

    def _words(self, code, values):
        a = array.array(code, values)
        if self._big() == (sys.byteorder == "little"):
            a.byteswap()
        self._record(a.tobytes())

    def line(self, text):
        if self.ascii:
            self.parts.append(text.encode() + b"\n")
        else:
            raw = (text + "\n" if self.quirks else text).encode()[:80]
            self._record(raw + b"\0" * (80 - len(raw)))

    def format_line(self):
        if not self.ascii:
            name = "Fortran Binary" if self.fortran else "C Binary"
            self.line(name.lower() if self.quirks else name)

    def int1(self, n):
        if self.ascii:
            self.parts.append((b"%8d\n" if self.quirks else b"%10d\n") % n)
        else:
            self._words("i", [n])

    def ints(self, values, per_line=1):
        """Integers; ASCII puts per_line of them on a line (0: all on one line)."""
        values = list(values)
        if not self.ascii:
            self._words("i", values)
            return
        step = per_line or max(len(values), 1)
        for i in range(0, len(values), step):
            self.parts.append(b"".join(b"%10d" % v for v in values[i:i + step]) + b"\n")

    def int_rows(self, rows):
        """One row per ASCII line (connectivity); binary: all words in order."""
        if self.ascii:
            for r in rows:
                self.parts.append(b"".join(b"%10d" % v for v in r) + b"\n")
        else:
            self._words("i", [v for r in rows for v in r])

    def floats(self, values, per_line=1):
        values = [exact(v) for v in values]
        if not self.ascii:
            self._words("f", values)
            return
        for i in range(0, len(values), per_line):
            self.parts.append(b"".join(b"%12.5e" % v for v in values[i:i + per_line]) + b"\n")

    def particles(self, ids, xs, ys, zs):
        if self.fortran:
            raise ValueError("particles are written in ASCII or C binary only")
        if self.ascii:
            for i, x, y, z in zip(ids, xs, ys, zs):
                self.parts.append(b"%8d%12.5e%12.5e%12.5e\n" % (i, exact(x), exact(y), exact(z)))
        else:
            self._words("i", ids)
            self.floats([v for xyz in zip(xs, ys, zs) for v in xyz])

    def data(self):
        return b"".join(self.parts)


# ---------------------------------------------------------------- geometry

class Block:
    """One element section: type name as written, connectivity, optional ids."""

    def __init__(self, etype, elements, ids=None):
        self.etype = etype
        self.elements = elements
        self.ids = ids

    @property
    def type(self):
        return base_type(self.etype)

    def count_in_zone(self):
        return len(self.elements) * (2 if self.type == "bar3" else 1)

    def write(self, out, element_ids):
        out.line(self.etype)
        out.int1(len(self.elements))
        if element_ids:
            out.ints(self.ids or range(1, len(self.elements) + 1))
        if self.type == "nsided":
            out.ints([len(e) for e in self.elements])
            out.int_rows(self.elements)
        elif self.type == "nfaced":
            out.ints([len(e) for e in self.elements])
            out.ints([len(f) for e in self.elements for f in e])
            out.int_rows([f for e in self.elements for f in e])
        else:
            out.int_rows(self.elements)


class Unstructured:
    def __init__(self, number, desc, xyz, blocks, node_ids=None):
        self.number = number
        self.desc = desc
        self.xyz = xyz
        self.blocks = blocks
        self.node_ids = node_ids

    @property
    def node_count(self):
        return len(self.xyz[0])

    def write(self, out, node_ids, element_ids, elements=True):
        out.line("part")
        out.int1(self.number)
        out.line(self.desc)
        out.line("coordinates")
        out.int1(self.node_count)
        if node_ids:
            out.ints(self.node_ids or range(1, self.node_count + 1))
        for axis in self.xyz:
            out.floats(axis)
        for b in self.blocks if elements else []:
            b.write(out, element_ids)


def cell_count(dims):
    """Cells of a block: flat dimensions (n = 1) do not count."""
    n = 1
    for d in dims:
        n *= max(d - 1, 1)
    return n


class Structured:
    """kind: curvilinear | rectilinear | uniform. data: the coordinate reals as
    the file holds them (curvilinear x, y, z arrays; rectilinear i, j, k arrays;
    uniform (origin xyz + spacing xyz))."""

    def __init__(self, number, desc, kind, ijk, data, rng=None, iblank=None, ghost=None,
                 node_ids=None, element_ids=None):
        self.number = number
        self.desc = desc
        self.kind = kind
        self.ijk = ijk
        self.data = data
        self.rng = rng
        self.iblank = iblank
        self.ghost = ghost
        self.node_ids = node_ids
        self.element_ids = element_ids

    @property
    def dims(self):
        if not self.rng:
            return tuple(self.ijk)
        r = self.rng
        return (r[1] - r[0] + 1, r[3] - r[2] + 1, r[5] - r[4] + 1)

    @property
    def node_count(self):
        i, j, k = self.dims
        return i * j * k

    @property
    def cells(self):
        return cell_count(self.dims)

    def nodes(self):
        """Node coordinates (x, y, z lists), i fastest."""
        ni, nj, nk = self.dims
        if self.kind == "curvilinear":
            return self.data
        if self.kind == "rectilinear":
            lo = self.rng or (1, self.ijk[0], 1, self.ijk[1], 1, self.ijk[2])
            ax = [self.data[a][lo[2 * a] - 1:lo[2 * a + 1]] for a in range(3)]
        else:
            o, d = self.data[:3], self.data[3:]
            ax = [[o[a] + n * d[a] for n in range((ni, nj, nk)[a])] for a in range(3)]
        idx = [(a, b, c) for c in range(nk) for b in range(nj) for a in range(ni)]
        return tuple([ax[axis][p[axis]] for p in idx] for axis in range(3))

    def write(self, out, node_ids, element_ids):
        out.line("part")
        out.int1(self.number)
        out.line(self.desc)
        words = ["block"]
        if self.kind != "curvilinear":
            words.append(self.kind)
        if self.iblank:
            words.append("iblanked")
        if self.ghost:
            words.append("with_ghost")
        if self.rng:
            words.append("range")
        out.line(" ".join(words))
        out.ints(self.ijk, 0)
        if self.rng:
            out.ints(self.rng, 0)
        for axis in (self.data if self.kind != "uniform" else [self.data]):
            out.floats(axis)
        if self.iblank:
            out.ints(self.iblank)
        if self.ghost:
            out.line("ghost_flags")
            out.ints(self.ghost)
        if node_ids:
            out.line("node_ids")
            out.ints(self.node_ids or range(1, self.node_count + 1))
        if element_ids:
            out.line("element_ids")
            out.ints(self.element_ids or range(1, self.cells + 1))


class Geometry:
    """A geometry file; steps > 1 are written between BEGIN/END TIME STEP.
    coordinates_only: unstructured parts without their elements (change_coords_only)."""

    def __init__(self, steps, node_id="off", element_id="off", extents=None, coordinates_only=False):
        self.steps = steps
        self.node_id = node_id
        self.element_id = element_id
        self.extents = extents
        self.coordinates_only = coordinates_only

    def write(self, out):
        out.format_line()
        many = len(self.steps) > 1
        given = (self.node_id in ("given", "ignore"), self.element_id in ("given", "ignore"))
        for n, parts in enumerate(self.steps):
            if many:
                out.line("BEGIN TIME STEP")
            out.line("geometry written by make_gold_samples.py")
            out.line("step %d" % (n + 1))
            out.line("node id %s" % self.node_id)
            out.line("element id %s" % self.element_id)
            if self.extents:
                out.line("extents")
                out.floats(self.extents, 2)
            for p in parts:
                if self.coordinates_only and isinstance(p, Unstructured):
                    p.write(out, *given, elements=False)
                else:
                    p.write(out, *given)
            if many:
                out.line("END TIME STEP")


# ---------------------------------------------------------------- variables

class PartValues:
    """Values of one variable for one part: nodal -> [component arrays];
    per element -> [(section name, [component arrays])] ('block' for blocks)."""

    def __init__(self, number, header, sections):
        self.number = number
        self.header = header  # "coordinates" / "block" for nodal; None per element
        self.sections = sections


class VariableFile:
    """steps: list of [PartValues]; several steps go between BEGIN/END TIME STEP."""

    def __init__(self, steps, desc="variable written by make_gold_samples.py"):
        self.steps = steps
        self.desc = desc

    def write(self, out):
        many = len(self.steps) > 1
        for parts in self.steps:
            if many:
                out.line("BEGIN TIME STEP")
            out.line(self.desc)
            for pv in parts:
                out.line("part")
                out.int1(pv.number)
                if pv.header:
                    out.line(pv.header)
                    for comp in pv.sections:
                        out.floats(comp)
                else:
                    for name, comps in pv.sections:
                        out.line(name)
                        for comp in comps:
                            out.floats(comp)
            if many:
                out.line("END TIME STEP")


class MeasuredGeometry:
    def __init__(self, ids, xyz):
        self.ids = ids
        self.xyz = xyz

    def write(self, out):
        out.format_line()
        out.line("measured particles written by make_gold_samples.py")
        out.line("particle coordinates")
        out.int1(len(self.ids))
        out.particles(self.ids, *self.xyz)


class MeasuredValues:
    """Per-particle values; a vector is written interleaved (vx vy vz per particle)."""

    def __init__(self, comps):
        self.comps = comps

    def write(self, out):
        out.line("measured values written by make_gold_samples.py")
        flat = [v for row in zip(*self.comps) for v in row]
        out.floats(flat, 6)


class RawFile:
    def __init__(self, text):
        self.text = text

    def write(self, out):
        out.parts.append(self.text.encode())


def encode(item, encoding, quirks=False):
    out = Out(encoding, quirks)
    item.write(out)
    return out.data()
