import json
import pathlib
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
SHARED = ROOT.parent / "shared"
SAMPLES = ROOT / "samples"
# the package as tools/demo builds it, unless PYTHONPATH names another
if not any(pathlib.Path(p, "quorix").is_dir() for p in sys.path if p):
    sys.path.insert(0, str(ROOT / "build" / "release" / "python"))


def shared_cases():
    """(id, case path) of every shared case with an oracle."""
    found = []
    for oracle in sorted(SHARED.glob("data/*/*/oracle.json")):
        case = oracle.parent / json.loads(oracle.read_text())["case"]
        found.append(pytest.param(case, id="%s/%s" % (oracle.parent.parent.name, oracle.parent.name)))
    return found


@pytest.fixture
def cube():
    return SAMPLES / "gold" / "cube" / "cube.case"
