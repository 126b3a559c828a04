#include "heart/SurfaceFitting.h"

namespace vantrel {

void SnapToLayerPlane(const RkPolygonModel& mesh, const LayerVoxel& record, double layerDepth,
                      Vector3& p) {
    if (record.polygon < 0 || static_cast<std::size_t>(record.polygon) >= mesh.polygons.size()) {
        return;
    }
    const MeshPolygon& polygon = mesh.polygons[static_cast<std::size_t>(record.polygon)];
    const Vector3 p0 = mesh.vertices[static_cast<std::size_t>(polygon.vertex[0])].position;
    const Vector3 n = polygon.normal;
    const double d = (p0 - p).Dot(n);
    const Vector3 foot = p + d * n;
    p = foot - layerDepth * n;
}

void AlignFrameToSurface(Matrix4& frame, const Vector3& normal) {
    // The rotations turn the axes about the frame's own origin, so the origin is
    // kept aside while they are applied.
    const double origin[3] = {frame.m[12], frame.m[13], frame.m[14]};
    frame.m[12] = frame.m[13] = frame.m[14] = 0.0;

    Vector3 yAxis(frame.m[4], frame.m[5], frame.m[6]);
    Vector3 yInPlane = yAxis - yAxis.Dot(normal) * normal;
    Matrix4 layY;
    RotationBetween(yAxis, yInPlane, layY);
    frame = layY.Multiply(frame);

    Vector3 zAxis(frame.m[8], frame.m[9], frame.m[10]);
    Vector3 target = normal;
    if (zAxis.Dot(normal) < 0.0) target = -normal;
    Matrix4 raiseZ;
    RotationBetween(zAxis, target, raiseZ);
    frame = raiseZ.Multiply(frame);

    frame.m[12] = origin[0];
    frame.m[13] = origin[1];
    frame.m[14] = origin[2];
}

}  // namespace vantrel
