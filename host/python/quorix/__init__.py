"""quorix: EnSight cases from Python, read by the Quorix add-on into our host.

    import quorix
    with quorix.open("run.case", threads=4) as case:
        z = case.zone("Vol: fluid", time=0.5)
        p = z["pressure"]        # a read-only float32 view of the host's array

Opening runs only the add-on's load (a structure scan); each array is read
on its first access, the GIL released meanwhile. Arrays are zero-copy views
that keep their memory alive after the case is closed; `Zone.points`,
`Zone.vector` and `Zone.cells` offsets are the documented copies.
"""
import pathlib

from . import _quorix
from ._quorix import LoadError
from .case import Case, Part, Variable, Zone, LoadWarning

# the add-on sits beside the extension (the package folder may link to its sources)
_quorix.start(str(pathlib.Path(_quorix.__file__).parent / "libquorix.so"))

__all__ = ["open", "info", "Case", "Zone", "Part", "Variable", "LoadError", "LoadWarning"]


def open(path, threads=1):
    """Loads a case (the structure only); a Case, usable as a context manager.
    Raises LoadError with the add-on's message when the load fails."""
    return Case(path, threads=threads)


def info(path):
    """What `zelhost info --json` prints for the case, as a dict; no values are read."""
    import json
    return json.loads(_quorix.info(str(path)))
