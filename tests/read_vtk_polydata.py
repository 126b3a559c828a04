#!/usr/bin/env python3
# Reads a legacy VTK polydata file with VTK's own reader and prints what VTK understood:
# "points N" and N lines "x y z", "lines M" and M lines of point ids, "verts K" / "polys K"
# (only when there are any) and their ids, then "point|cell <name> <type> <count>" and one
# value per line. Doubles are printed with repr(), the shortest text that reads back to the
# same double. Exits 1 with a message when VTK cannot read the file as polydata.
import sys

import vtk


def print_arrays(kind, data):
    for a in range(data.GetNumberOfArrays()):
        array = data.GetArray(a)
        count = array.GetNumberOfTuples()
        print(kind, array.GetName(), array.GetDataTypeAsString(), count)
        for i in range(count):
            print(repr(array.GetValue(i)))


def print_cells(cells):
    ids = vtk.vtkIdList()
    cells.InitTraversal()
    while cells.GetNextCell(ids):
        print(" ".join(str(ids.GetId(k)) for k in range(ids.GetNumberOfIds())))


def main(path):
    reader = vtk.vtkPolyDataReader()
    reader.SetFileName(path)
    if not reader.IsFilePolyData():
        print("not a legacy VTK polydata file:", path, file=sys.stderr)
        return 1
    reader.Update()
    data = reader.GetOutput()
    print("points", data.GetNumberOfPoints())
    for i in range(data.GetNumberOfPoints()):
        print(" ".join(repr(c) for c in data.GetPoint(i)))
    print("lines", data.GetNumberOfLines())
    print_cells(data.GetLines())
    for name, cells in (("verts", data.GetVerts()), ("polys", data.GetPolys())):
        if cells.GetNumberOfCells() > 0:
            print(name, cells.GetNumberOfCells())
            print_cells(cells)
    print_arrays("point", data.GetPointData())
    print_arrays("cell", data.GetCellData())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
