"""Case, Zone, Part and Variable over the extension's loaded data set."""
import collections
import json
import os
import sys
import warnings

import numpy as np

from . import _quorix


class LoadWarning(UserWarning):
    """A message of the add-on during a load that succeeded (a passed-over
    line, a refused variable)."""


Part = collections.namedtuple("Part", "number name kind times zones")
Part.__doc__ = "One EnSight part: its number, zone name, kind and the times (and zones) it has."
Variable = collections.namedtuple("Variable", "name location components")
Variable.__doc__ = "One EnSight variable: its name, 'nodal' or 'cell', and the host variables of its components."

# The host variables of an EnSight variable, by the kind the case file gives.
_SUFFIXES = {1: [""], 3: ["X", "Y", "Z"], 6: ["11", "22", "33", "12", "13", "23"],
             9: ["11", "12", "13", "21", "22", "23", "31", "32", "33"]}


def _components(kind):
    count = 9 if "asym" in kind else 6 if "tensor" in kind else 3 if "vector" in kind else 1
    if kind.startswith("complex"):
        return lambda name: [name + s for s in _SUFFIXES[count]] + [name + "I" + s for s in _SUFFIXES[count]]
    return lambda name: [name + s for s in _SUFFIXES[count]]


class Case:
    """A loaded case. `times`, `parts`, `variables` and `zones` are cheap; arrays load on access."""

    def __init__(self, path, threads=1):
        self.path = os.fspath(path)
        self.threads = max(1, int(threads))
        self._case = _quorix.Case(os.path.abspath(self.path))
        self._info = None
        self._zones = [Zone(self, n) for n in range(1, self._case.zone_count + 1)]
        for kind, text in self._case.messages:
            warnings.warn(text, LoadWarning, stacklevel=3)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __repr__(self):
        state = "closed" if self.closed else "%d zones" % len(self._zones)
        return "<quorix.Case %r %s>" % (self.path, state)

    def close(self):
        """Takes the data set out of the host; arrays read stay valid."""
        self._case.close()

    @property
    def closed(self):
        return self._case.closed

    @property
    def messages(self):
        """The add-on's messages so far: (kind, text) pairs, kind 'error', 'question' or 'info'."""
        return self._case.messages

    @property
    def title(self):
        return self._case.title

    @property
    def zones(self):
        return list(self._zones)

    @property
    def times(self):
        """The solution times of the zones, ascending (float64)."""
        return np.unique(np.array([z.time for z in self._zones], dtype=np.float64))

    @property
    def parts(self):
        """One Part per strand (an EnSight part over time), in the order of the zones."""
        numbers = [p["number"] for p in self.info().get("parts", [])]
        groups = collections.OrderedDict()
        for z in self._zones:
            groups.setdefault(z.strand, []).append(z)
        parts = []
        for i, (strand, zones) in enumerate(groups.items()):
            number = numbers[i] if i < len(numbers) and len(numbers) == len(groups) else strand
            parts.append(Part(number, zones[0].name, zones[0].kind, [z.time for z in zones], zones))
        return parts

    @property
    def variables(self):
        """The EnSight variables, each with the host variables of its components."""
        host = self._case.variables
        found = [Variable("coordinates", "nodal", [n for n in ("X", "Y", "Z") if n in host])]
        if "IBlank" in host:
            found.append(Variable("iblank", "nodal", ["IBlank"]))
        for entry in self.info().get("files", []):
            names = [n for n in _components(entry["kind"])(entry["name"]) if n in host]
            if entry["kind"] != "geometry" and names and entry["name"] not in [v.name for v in found]:
                location = "cell" if "element" in entry["kind"] else "nodal"
                found.append(Variable(entry["name"], location, names))
        return found

    def _refusal(self, name):
        """The add-on's message when it refused the variable of this host name at the load."""
        files = [os.path.basename(f[end]) for f in self.info().get("files", []) if f["kind"] != "geometry"
                 and name in _components(f["kind"])(f["name"]) for end in ("first", "last")]
        return next((text for _, text in self.messages if any(f and f in text for f in files)), None)

    def info(self):
        """What `zelhost info --json` prints for this case, as a dict (read once)."""
        if self._info is None:
            self._info = json.loads(_quorix.info(os.path.abspath(self.path)))
        return self._info

    def zone(self, key, time=None, step=None):
        """The zone of a part (its zone name, description or part number) at a
        solution time or step index (default: the first)."""
        if isinstance(key, Part):
            candidates = key.zones
        else:
            candidates = [p.zones for p in self.parts
                          if key in (p.number, p.name) or (isinstance(key, str) and p.name.split(": ", 1)[-1] == key)]
            if not candidates:
                raise KeyError("no part %r in %s" % (key, self.path))
            candidates = candidates[0]
        if time is not None:
            best = min(candidates, key=lambda z: abs(z.time - time))
            if not np.isclose(best.time, time, rtol=1e-6, atol=1e-12):
                raise KeyError("part %r has no zone at time %r" % (key, time))
            return best
        if step is not None:
            times = list(self.times)
            wanted = times[step]
            matching = [z for z in candidates if z.time == wanted]
            if not matching:
                raise KeyError("part %r has no zone at step %r" % (key, step))
            return matching[0]
        return candidates[0]

    def pending(self):
        """Deferred loads not made yet."""
        return self._case.pending()

    def load_all(self, threads=None, progress=False):
        """Makes every deferred load from `threads` threads (default: those of
        open). progress=True draws a progress line on a terminal. Returns the
        counts {'loads', 'failures', 'messages'}; each failure is a warning."""
        counts = self._case.load_all(threads or self.threads, bool(progress) and sys.stderr.isatty())
        for kind, text in counts["messages"]:
            warnings.warn(text, LoadWarning, stacklevel=2)
        return counts

    def to_vtk(self, time=None, step=None):
        """A vtkMultiBlockDataSet of the zones at one time (see quorix.vtk)."""
        from . import vtk as qvtk
        return qvtk.multiblock(self, time=time, step=step)


class Zone:
    """One zone: a part at one time. `zone[name]` is a view of a host variable."""

    def __init__(self, case, number):
        self._owner = case
        self.number = number
        facts = case._case.zone(number)
        self.name = facts["name"]
        self.type = facts["type"]
        self.shape = (facts["imax"], facts["jmax"], facts["kmax"]) if facts["type"] == "ordered" else None
        self.nodes = facts["nodes"]
        self.elements = facts["elements"]
        self.strand = facts["strand"]
        self.time = facts["time"]
        self.kind = ("particles" if self.name.startswith("Particle: ")
                     else "block" if self.type == "ordered" else "unstructured")

    def __repr__(self):
        return "<quorix.Zone %d %r t=%g>" % (self.number, self.name, self.time)

    def _numbers(self):
        """(host variable number, name) of each variable this zone holds values of."""
        case = self._owner._case
        return [(i, n) for i, n in enumerate(case.variables, 1) if case.has_values(self.number, i)]

    def _variable(self, key):
        name, location = key if isinstance(key, tuple) else (key, None)
        for number, held in self._numbers():
            if held == name and location in (None, self._owner._case.location(self.number, number)):
                return number
        refusal = self._owner._refusal(name)
        if refusal:
            raise _quorix.LoadError(refusal)
        raise KeyError("zone %r holds no variable %r" % (self.name, key))

    def keys(self):
        """The host variables this zone holds values of (loaded or due)."""
        return [n for _, n in self._numbers()]

    def __contains__(self, key):
        try:
            return self._variable(key) > 0
        except (KeyError, _quorix.LoadError):
            return False

    def __getitem__(self, key):
        """The values of a host variable: zone["pressure"], or zone["pressure", "cell"]
        where a case names a nodal and a cell variable alike."""
        return self._owner._case.values(self.number, self._variable(key))

    def arrays(self):
        """(name, location, view) of every variable this zone holds, each loaded now."""
        case = self._owner._case
        return [(n, case.location(self.number, i), case.values(self.number, i)) for i, n in self._numbers()]

    def location(self, key):
        """Where a host variable's values sit in this zone: 'nodal' or 'cell'."""
        return self._owner._case.location(self.number, self._variable(key))

    @property
    def points(self):
        """The coordinates as one (nodes, 3) float32 array: a copy."""
        return np.stack([self[c].reshape(-1) for c in ("X", "Y", "Z")], axis=1)

    def vector(self, name):
        """A vector or tensor variable's components as one (n, components) array: a copy."""
        variable = next((v for v in self._owner.variables if v.name == name), None)
        if variable is None:
            raise KeyError("no EnSight variable %r" % name)
        return np.stack([self[c].reshape(-1) for c in variable.components], axis=1)

    @property
    def cells(self):
        """Connectivity, node numbers from 0. Finite elements: an (elements,
        corners) view (tetrahedra, pyramids and prisms are bricks with
        repeated corners, as the host holds them). Polygons: (offsets, nodes);
        polyhedra: (offsets, face_offsets, nodes), where element e has faces
        offsets[e]:offsets[e+1] and face f has nodes face_offsets[f]:face_offsets[f+1].
        Offsets are computed (copies), nodes are views. Blocks: None."""
        cells = self._owner._case.cells(self.number)
        if not isinstance(cells, dict):
            return cells
        offsets = np.concatenate(([0], np.cumsum(cells["counts"], dtype=np.int64)))
        if not cells["polyhedron"]:
            return offsets, cells["nodes"]
        faces = np.concatenate(([0], np.cumsum(cells["face_counts"], dtype=np.int64)))
        return offsets, faces, cells["nodes"]
