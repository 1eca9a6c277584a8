"""Every shared case opened from Python: statistics computed in NumPy from the
views, checked against the oracle by compare_report.py. Where zelhost's own
report fails too (a gap of the readers, or the oracle's reader misreading a
variable), both must fail alike."""
import json
import re
import subprocess
import sys

import numpy as np
import pytest

import quorix
from conftest import ROOT, SHARED, shared_cases

def compare(report_path, oracle):
    run = subprocess.run([sys.executable, str(SHARED / "tools" / "compare_report.py"), str(report_path), str(oracle)],
                         capture_output=True, text=True)
    return run.returncode == 0, run.stdout


def mismatches_of_zelhost(path, tmp_path):
    run = subprocess.run([str(ROOT / "build/release/bin/zelhost"), "load", str(path), "--batch", "--json",
                          "--load-all"], capture_output=True, text=True)
    (tmp_path / "zelhost.json").write_text(run.stdout)
    return compare(tmp_path / "zelhost.json", path.parent / "oracle.json")[1]


def what_differs(mismatches):
    """The mismatch lines less the values found (NumPy and zelhost sum in different orders)."""
    return sorted(re.sub(r" \S+, oracle .*", "", line) for line in mismatches.splitlines() if "MISMATCH" in line)


def statistics(values):
    d = np.asarray(values, dtype=np.float64).ravel()
    finite = d[np.isfinite(d)]
    stats = {"nonFinite": bool(finite.size < d.size), "undefined": int(np.isnan(d).sum())}
    if finite.size:
        stats.update(min=float(finite.min()), max=float(finite.max()), mean=float(finite.mean()))
    return stats


def report(case):
    """zelhost's JSON report, as far as compare_report.py reads it."""
    zones = []
    for z in case.zones:
        # a later variable of the same name wins, as when zelhost's JSON is read
        values = {n: dict(statistics(a), location=where) for n, where, a in z.arrays()}
        shape = z.shape or (None, None, None)
        zones.append({"name": z.name, "nodes": z.nodes, "elements": z.elements, "imax": shape[0],
                      "jmax": shape[1], "kmax": shape[2], "solutionTime": z.time, "values": values})
    return {"loaded": True, "zones": zones}


@pytest.mark.filterwarnings("ignore::quorix.LoadWarning")
@pytest.mark.parametrize("path", shared_cases())
def test_arrays_match_the_oracle(path, tmp_path):
    try:
        with quorix.open(path) as case:
            made = report(case)
    except quorix.LoadError:
        made = {"loaded": False}
    (tmp_path / "report.json").write_text(json.dumps(made))
    passed, mismatches = compare(tmp_path / "report.json", path.parent / "oracle.json")
    if not passed:
        assert what_differs(mismatches) == what_differs(mismatches_of_zelhost(path, tmp_path)), mismatches
    assert undefined_counts(path, made) == []


def undefined_counts(path, made):
    """Arrays of a one-step case whose NaN count differs from the values the oracle counts undefined."""
    oracle = json.loads((path.parent / "oracle.json").read_text())
    if len(oracle["steps"]) != 1:
        return []
    wrong = []
    for part in oracle["steps"][0]["parts"]:
        zone = next((z for z in made["zones"] if z["name"].endswith(part["description"].strip())), None)
        for name, array in part["arrays"].items():
            names = [name] if array["components"] == 1 else [name + s for s in "XYZ"][:array["components"]]
            for host, stats in zip(names, array["stats"]):
                got = zone["values"].get(host, {}).get("undefined") if zone else None
                if stats.get("undefined") and got != stats["undefined"]:
                    wrong.append((part["description"], host, got, stats["undefined"]))
    return wrong

