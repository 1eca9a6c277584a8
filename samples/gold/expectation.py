"""What a correct load of a sample case gives: zones, variables and, for a
load that forces every deferred array, the statistics of each array.

Rules followed (the loader's, restated here only to predict its output):
one zone per part and geometry step, then one per measured step with
particles; static geometry with a multi-step variable gets copies of the
first step's zones for every later step; zone names "Point: ", "Line: ",
"Surf: ", "Vol: " + description (bare description for blocks, "Particle: "
for particles); elements of a part = those of its highest category, bar3 as
two segments; per-element values of a bar3 go to both segments.
"""
import struct

from ensight_writer import ELEMENTS, HIGHER_ORDER, MeasuredGeometry, Structured

PREFIX = {1: "Point: ", 2: "Line: ", 3: "Surf: ", 4: "Vol: "}
SUFFIXES = {1: [""], 3: ["X", "Y", "Z"], 6: ["11", "22", "33", "12", "13", "23"],
            9: ["11", "12", "13", "21", "22", "23", "31", "32", "33"]}
KIND_COMPONENTS = {"scalar": 1, "vector": 3, "tensor symm": 6, "tensor asym": 9,
                   "complex scalar": 1, "complex vector": 3}
# A complex variable is two in this order: its real part, then its imaginary part (description + "I").
KIND_ORDER = ["scalar per node", "vector per node", "tensor symm per node", "tensor asym per node",
              "scalar per element", "vector per element", "tensor symm per element",
              "tensor asym per element", "complex scalar per node", "complex vector per node",
              "complex scalar per element", "complex vector per element",
              "scalar per measured node", "vector per measured node"]
NODES_HELD = {1: 3, 2: 4, 3: 4, 4: 8, 5: 2}
# zone type codes as the host's report names them
ZONE_TYPE_NAMES = {0: "ordered", 1: "triangle", 2: "quadrilateral", 3: "tetrahedron", 4: "brick",
                   5: "linesegment", 6: "polygon", 7: "polyhedron"}


def f32(v):
    return struct.unpack("f", struct.pack("f", v))[0]


def stats(values, location):
    vals = [f32(v) for v in values]
    return {"location": location, "min": min(vals), "max": max(vals),
            "mean": sum(vals) / len(vals)}


def category(part):
    return max(ELEMENTS[b.type][1] for b in part.blocks)


def in_category(part):
    top = category(part)
    return [b for b in part.blocks if ELEMENTS[b.type][1] == top]


def zone_type(part):
    top = category(part)
    blocks = in_category(part)
    most = max(ELEMENTS[b.type][0] for b in blocks)
    poly = any(b.type in HIGHER_ORDER or b.type in ("nsided", "nfaced") for b in blocks)
    poly = poly or (top == 3 and most > 4) or (top == 4 and most >= 9)
    if top == 1:
        return 0, False
    if top == 2:
        return 5, False
    if top == 3:
        return (6, True) if poly else ({3: 1, 4: 2}.get(most, 255), False)
    return (7, True) if poly else ({4: 3, 5: 4, 6: 4, 8: 4}.get(most, 255), False)


def shape(part):
    """Zone fields that do not depend on step or variables."""
    if isinstance(part, Structured):
        i, j, k = part.dims
        return {"name": part.desc.strip(), "zoneType": "ordered", "imax": i, "jmax": j, "kmax": k,
                "nodes": part.node_count}
    ztype, poly = zone_type(part)
    name = PREFIX[category(part)] + part.desc.strip()
    if ztype == 0:
        return {"name": name, "zoneType": "ordered", "imax": part.node_count, "jmax": 1, "kmax": 1,
                "nodes": part.node_count}
    elements = sum(b.count_in_zone() for b in in_category(part))
    z = {"name": name, "zoneType": ZONE_TYPE_NAMES[ztype], "imax": part.node_count, "jmax": elements,
         "nodes": part.node_count, "elements": elements}
    if not poly:
        z["kmax"] = NODES_HELD[ztype]
    return z


# face-node entries one element of each type gives in a polyhedron zone
POLYHEDRON_ENTRIES = {"tetra4": 12, "tetra10": 24, "pyramid5": 16, "pyramid13": 32, "penta6": 18,
                      "penta15": 36, "hexa8": 24, "hexa20": 48}


def element_nodes(block, element):
    if block.type == "nfaced":
        return [n for face in element for n in face]
    return list(element)


def entries(block, element, ztype):
    """Node-map or face-map entries one element gives in a zone of type ztype."""
    if ztype == 5:
        return 4 if block.type == "bar3" else 2
    if ztype in NODES_HELD:
        return NODES_HELD[ztype]
    if block.type in POLYHEDRON_ENTRIES:
        return POLYHEDRON_ENTRIES[block.type]
    return len(element_nodes(block, element))


def connectivity(part):
    """The expected "nodeMap" or "faceMap" summary of an unstructured zone, or none."""
    ztype, poly = zone_type(part)
    if ztype == 0:
        return {}
    used, count = [], 0
    for b in in_category(part):
        for e in b.elements:
            used += element_nodes(b, e)
            count += entries(b, e, ztype)
    return {"faceMap" if poly else "nodeMap": {"entries": count, "min": min(used), "max": max(used)}}


def cell_values(part, pv, c):
    """Component c of a per-element variable in the zone's cells; the k-th
    section of a type goes with the k-th block of that type."""
    if isinstance(part, Structured):
        return list(pv.sections[0][1][c])
    seen = {}
    out = []
    for name, comps in pv.sections:
        t = name[2:] if name.startswith("g_") else name
        k = seen.get(t, 0)
        seen[t] = k + 1
        blocks = [b for b in part.blocks if b.type == t]
        if ELEMENTS[t][1] != category(part) or k >= len(blocks):
            continue
        for v in comps[c]:
            out.extend([v, v] if t == "bar3" else [v])
    return out


class Variable:
    """kind e.g. "scalar per node"; steps: list (per variable step) of {part number: PartValues}
    (measured: list of MeasuredValues); times: the variable's time values or None."""

    def __init__(self, kind, desc, steps, times=None):
        self.kind = kind
        self.desc = desc
        self.steps = steps
        self.times = times

    @property
    def components(self):
        return KIND_COMPONENTS[self.kind.split(" per ")[0]]

    @property
    def names(self):
        return [self.desc + s for s in SUFFIXES[self.components]]

    @property
    def measured(self):
        return "measured" in self.kind

    @property
    def location(self):
        return "cell" if self.kind.endswith("element") else "nodal"


class Zone:
    def __init__(self, part, step, time, strand):
        self.part = part
        self.step = step  # index into the variables' steps
        self.time = time
        self.strand = strand


def build(geo_steps, variables, measured=None, measured_times=None):
    """geo_steps: [(time or None, [parts])]; measured: [MeasuredGeometry] per step.
    Returns the expectation dictionary (without file names)."""
    variables = sorted(variables, key=lambda v: KIND_ORDER.index(v.kind))
    numbers = []
    for _, parts in geo_steps:
        for p in parts:
            if p.number not in numbers:
                numbers.append(p.number)
    zones = [Zone(p, s, t or 0.0, numbers.index(p.number) + 1)
             for s, (t, parts) in enumerate(geo_steps) for p in parts]
    model_count = len(zones)
    if measured:
        for s, m in enumerate(measured):
            if m.ids:
                t = measured_times[s] if measured_times else 0.0
                zones.append(Zone(m, s, t, len(numbers) + 1))
    if len(geo_steps) == 1:
        zones = copy_for_variable_steps(zones, model_count, variables)
    with_iblank = any(isinstance(p, Structured) and p.iblank for _, ps in geo_steps for p in ps)
    names = ["X", "Y", "Z"] + (["IBlank"] if with_iblank else [])
    for v in variables:
        names += v.names
    described = [describe(z, n + 1, variables, with_iblank) for n, z in enumerate(zones)]
    out = {"datasetTitle": "Ensight Gold", "variables": names, "zones": described}
    # a field without times is read once per part however many steps show it
    if len({z["solutionTime"] for z in described}) > 1:
        once = {name: len({z["strand"] for z in described if name in z["values"]})
                for v in variables if v.times is None for name in v.names}
        if once:
            out["loadsOf"] = once
    return out


def copy_for_variable_steps(zones, model_count, variables):
    """Static geometry: the first model variable with several steps decides the copies."""
    multi = [v for v in variables if not v.measured and v.times and len(v.times) > 1]
    if not multi:
        return zones
    times = multi[0].times
    model, particles = zones[:model_count], zones[model_count:]
    for z in model:
        z.time = times[0]
    out = list(model) + particles
    for k in range(1, len(times)):
        out += [Zone(z.part, k, times[k], z.strand) for z in model]
    return out


def coordinates(part):
    if isinstance(part, Structured):
        return part.nodes()
    return part.xyz


def describe(z, number, variables, with_iblank):
    particle = isinstance(z.part, MeasuredGeometry)
    if particle:
        n = len(z.part.ids)
        out = {"name": "Particle: ", "zoneType": "ordered", "imax": n, "jmax": 1, "kmax": 1, "nodes": n}
        xyz = z.part.xyz
    else:
        out = shape(z.part)
        xyz = coordinates(z.part)
        if not isinstance(z.part, Structured):
            out.update(connectivity(z.part))
    out.update({"number": number, "strand": z.strand, "solutionTime": z.time})
    values = {axis: stats(xyz[a], "nodal") for a, axis in enumerate("XYZ")}
    if with_iblank:
        ib = getattr(z.part, "iblank", None) or [1] * out["nodes"]
        values["IBlank"] = stats(ib, "nodal")
    for v in variables:
        # a variable without times holds at every step whose mesh it fits
        step = 0 if v.times is None else z.step
        if v.measured != particle or step >= len(v.steps):
            continue
        if particle:
            comps = v.steps[step].comps
        else:
            pv = v.steps[step].get(z.part.number)
            if pv is None:
                continue
            if v.location == "nodal":
                comps = pv.sections
            else:
                comps = [cell_values(z.part, pv, c) for c in range(v.components)]
        held = out["nodes"] if v.location == "nodal" else out.get("elements", 0)
        if v.times is None and comps and len(comps[0]) != held and not isinstance(z.part, Structured):
            continue
        for name, comp in zip(v.names, comps):
            if comp:
                values[name] = stats(comp, v.location)
    out["values"] = values
    return out
