#pragma once
// Keeps growing fibres on the inner side of the heart wall: a point is put just
// behind the plane of the heart polygon it lies over, and a stroke's frame is
// turned to lie along the surface. Both are used by the growth step.
#include "geometry/Matrix4.h"
#include "geometry/Vector3.h"
#include "heart/LayerVoxel.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

// Moves p onto the plane of the heart polygon `record.polygon` (through its first
// vertex, with its unit polygon normal N from `mesh`), then `layerDepth` model units
// against N, that is into the fibre layer. A record without a valid polygon leaves
// p unchanged.
void SnapToLayerPlane(const RkPolygonModel& mesh, const LayerVoxel& record, double layerDepth,
                      Vector3& p);

// Turns the frame M (axes in columns 0 to 2, origin in m[12..14]) about its origin by
// the smallest rotations that first lay its y axis into the plane normal to the unit
// vector `normal`, then put its z axis on the normal line, on the side z already
// points to. A y axis already in the plane, or a z axis already on the line, leaves
// that step without effect.
void AlignFrameToSurface(Matrix4& frame, const Vector3& normal);

}  // namespace vantrel
