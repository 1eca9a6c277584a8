"""python3 -m quorix info CASE | convert CASE OUT.pvd [--threads N]"""
import argparse
import os
import sys
import xml.etree.ElementTree as ElementTree

from . import _quorix, open as open_case


def convert(case_path, out, threads):
    """Every time step as a .vtm (a .vtu or .vts per zone, VTK's XML writers)
    beside OUT.pvd, the list of steps, files and times."""
    from vtkmodules.vtkIOXML import vtkXMLMultiBlockDataWriter
    base, folder = os.path.splitext(os.path.basename(out))[0], os.path.dirname(os.path.abspath(out))
    collection = ElementTree.Element("Collection")
    with open_case(case_path, threads=threads) as case:
        case.load_all()
        for step, time in enumerate(case.times):
            name = "%s_%04d.vtm" % (base, step)
            writer = vtkXMLMultiBlockDataWriter()
            writer.SetFileName(os.path.join(folder, name))
            writer.SetInputData(case.to_vtk(time=time))
            writer.SetDataModeToAppended()
            writer.EncodeAppendedDataOff()
            writer.SetCompressorTypeToNone()  # zlib would take ten times the read
            if not writer.Write():
                raise OSError("VTK could not write " + os.path.join(folder, name))
            ElementTree.SubElement(collection, "DataSet", timestep=repr(float(time)), part="0", file=name)
    root = ElementTree.Element("VTKFile", type="Collection", version="0.1", byte_order="LittleEndian")
    root.append(collection)
    ElementTree.indent(root)
    ElementTree.ElementTree(root).write(out, xml_declaration=True, encoding="utf-8")


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m quorix", description=__doc__)
    commands = parser.add_subparsers(dest="command", required=True)
    info = commands.add_parser("info", help="what a case holds, without loading it (as zelhost info)")
    info.add_argument("case")
    info.add_argument("--json", action="store_true")
    conv = commands.add_parser("convert", help="write every step with VTK's XML writers and a .pvd index")
    conv.add_argument("case")
    conv.add_argument("out", help="OUT.pvd")
    conv.add_argument("--threads", type=int, default=2)
    args = parser.parse_args(argv)
    try:
        if args.command == "info":
            sys.stdout.write(_quorix.info(args.case, args.json))
        else:
            convert(args.case, args.out, args.threads)
    except _quorix.LoadError as error:
        sys.stderr.write("quorix: %s\n" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
