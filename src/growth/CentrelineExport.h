#pragma once
// The fibre network as centrelines in a legacy VTK file (ASCII POLYDATA), for
// analysis tools that want the tree rather than its tubes.
//
// Strokes are taken in the order of the fibre OBJ export (fibre by fibre, each
// fibre's `strokes` in order, the growth front left out); a stroke without path
// points, which has no tube either, is left out. Every path point becomes its own
// point (points are not shared between strokes) and every stroke one polyline.
// POINT_DATA "radius": the tube's ring radius at that point (the quadratic
// profile from startRadius to endRadius, at least 0.005). CELL_DATA, one int per
// stroke: "fiber" (index in FiberCore::fibers), "branchDepth", "blocked" (0/1) and
// "junction" (1 when the stroke ended on another stroke). Numbers are written with
// 17 significant digits ("%.17g" in the C locale, whatever the process locale is),
// so they read back as the same doubles. An empty network writes "POINTS 0 double"
// and "LINES 0 0" and no data sections. Given `toHeart`, points and radii are in the
// heart file's frame and unit instead of the normalised frame.
#include <cstdio>

namespace vantrel {

class FiberCore;
struct HeartNormalisation;

// Writes the file described above to an open file. Returns false when the file
// reported a write error.
bool ExportCentrelinesVtk(const FiberCore& core, std::FILE* file,
                          const HeartNormalisation* toHeart = nullptr);

// The tube's ring radius at ring `ring` of `rows`: r0 + (r1 - 3 r0) t + 2 r0 t^2
// with t = ring / (rows - 1) (t = 0 for a single ring), raised to 0.005.
double TubeRingRadius(double r0, double r1, int ring, int rows);

}  // namespace vantrel
