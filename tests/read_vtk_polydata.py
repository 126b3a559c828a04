#!/usr/bin/env python3
# Prints what VTK's own legacy reader understood of a polydata file (see vtk_python_reader.h).
import sys

import vtk


def print_arrays(kind, data):
    for array in (data.GetArray(a) for a in range(data.GetNumberOfArrays())):
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


sys.exit(main(sys.argv[1]))
