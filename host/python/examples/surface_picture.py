"""Draws one surface part of a case coloured by a variable, from quorix arrays
(matplotlib, no display needed):

    build/release/python/python3 python/examples/surface_picture.py CASE PART VARIABLE OUT.png [STEP]
"""
import sys

import matplotlib
import numpy as np

import quorix

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from mpl_toolkits.mplot3d.art3d import Poly3DCollection  # noqa: E402


def faces(zone):
    """Each face's corner nodes (polygons as they come)."""
    cells = zone.cells
    if isinstance(cells, tuple):
        offsets, nodes = cells
        return [nodes[offsets[e]:offsets[e + 1]] for e in range(len(offsets) - 1)]
    return list(cells)


def main():
    case_path, part, variable, out = sys.argv[1:5]
    step = int(sys.argv[5]) if len(sys.argv) > 5 else -1
    with quorix.open(case_path) as case:
        zone = case.zone(part, step=step)
        points, values, polygons = zone.points, zone[variable].reshape(-1), faces(zone)
        shade = values if zone.location(variable) == "cell" else np.array([values[f].mean() for f in polygons])
        figure = plt.figure(figsize=(6.4, 4.4), dpi=100)
        axes = figure.add_subplot(projection="3d")
        surface = Poly3DCollection([points[f] for f in polygons], cmap="viridis", edgecolor="k", linewidths=0.15)
        surface.set_array(shade)
        axes.add_collection3d(surface)
        low, high = points.min(axis=0), points.max(axis=0)
        axes.set(xlim=(low[0], high[0]), ylim=(low[1], high[1]), zlim=(low[2], high[2]))
        axes.set_box_aspect(high - low + 1e-9)
        axes.view_init(elev=25, azim=-60)
        axes.set_axis_off()
        figure.colorbar(surface, ax=axes, shrink=0.6, pad=0.02, label=variable)
        axes.set_title("%s, %s at t = %g" % (zone.name, variable, zone.time), fontsize=10)
        figure.savefig(out, bbox_inches="tight")


if __name__ == "__main__":
    main()
