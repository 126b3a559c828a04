#pragma once
// Drawing and picking of the main view's scene: the heart as wire frame, lit
// polygons (seen from inside: front faces culled, normals negated) or with its
// segmented part transparent, the user's start points and curves, the fibres, the
// fibre layer's voxels, and the pick pass that draws every heart polygon in the
// colour of its index.
#include <functional>

#include "growth/FiberCore.h"
#include "heart/HeartModel.h"
#include "render/RkOGL.h"

namespace vantrel {

// One frame of the heart scene into the current context, after RkOGL::BeginDraw.
// In a pick pass (mainGL.PickPass()) only the polygon ids are drawn. Otherwise:
// `overlay` (the current listener's feedback, may be empty), the heart according
// to its flags, start points and curves, fibres, the transparent heart, the field.
void DrawHeartScene(const RkOGL& mainGL, const HeartModel& heart, const FiberCore& fibers,
                    const std::function<void()>& overlay);

// The mesh's edges as lines of width 2 in (0, 128, 128) bytes, unlit.
void DrawHeartFrame(const RkPolygonModel& mesh);
// The two lit passes (unsegmented grey, segmented reddish) with front faces culled.
void DrawHeartPolygons(const HeartModel& heart);
// The unsegmented polygons opaque, then the segmented ones blended without
// writing depth.
void DrawHeartTransparent(const HeartModel& heart);
// Every polygon flat in the colour of its index (EncodePolygonPick), unlit.
void DrawPickIds(const RkPolygonModel& mesh);
// Unit axes from the origin: x red, y green, z blue.
void DrawAxes();

// Renders the main view's pick buffers: a pick pass of the heart scene. Nothing
// when the view has no context yet (its clicks then read no hit).
void RenderPickBuffer(RkOGL& mainGL, const HeartModel& heart, const FiberCore& fibers);

// The heart polygon under (x, y) (logical pixels, origin top left) from the last
// pick pass and the surface point there. False on the background, before any pick
// pass, or when the code names no polygon of the mesh.
bool PickPolygon(const RkOGL& mainGL, const HeartModel& heart, int x, int y, int* polygon,
                 Vector3* point);

}  // namespace vantrel
