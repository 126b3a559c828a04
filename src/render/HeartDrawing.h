#pragma once
// Drawing and picking of the main view's scene: the heart as wire frame, lit
// polygons (seen from inside: front faces culled, normals negated) or with its
// segmented part transparent, the user's start points and curves, the fibres, the
// fibre layer's voxels, and the pick pass that draws every heart polygon in the
// colour of its index.
#include <functional>
#include <vector>

#include "growth/FiberCore.h"
#include "heart/HeartModel.h"
#include "render/FiberRenderer.h"
#include "render/RkOGL.h"

namespace vantrel {

// One view's heart scene. Between frames it keeps the mesh's positions and inward
// normals, the triangle lists of the unsegmented and segmented polygons and the
// pick pass's per-polygon arrays, until the program says the heart changed; the
// fibres go through its FiberRenderer. The arrays are client memory: no OpenGL
// object outlives a frame, so the renderer is not tied to a context.
class HeartRenderer {
public:
    // One frame of the heart scene into the current context, after RkOGL::BeginDraw.
    // In a pick pass (gl.PickPass()) only the polygon ids are drawn. Otherwise:
    // `overlay` (the current listener's feedback, may be empty), the heart according
    // to its flags, start points and curves, fibres, the transparent heart, the field.
    void DrawScene(const RkOGL& gl, const HeartModel& heart, const FiberCore& fibers,
                   const std::function<void()>& overlay);

    // Renders the view's pick buffers: a pick pass of the heart scene. Nothing when
    // the view has no context yet (its clicks then read no hit).
    void RenderPickBuffer(RkOGL& gl, const HeartModel& heart, const FiberCore& fibers);

    // A new mesh (heart load): every heart array is gathered again at the next frame.
    void InvalidateHeart();
    // The region ids changed (painting, erasing, segmentation mode): the split into
    // unsegmented and segmented polygons is gathered again.
    void InvalidateRegions() { regionsValid_ = false; }
    // The network's strokes changed (growth, Init All Strokes).
    void InvalidateFibers() { fibers_.Invalidate(); }

    // The Activation Map of this view: while `enabled`, the fibres and the lit heart
    // polygons are coloured by activation time (see ActivationDisplay). The program
    // refills the times after every conduction run; the colours are chosen each frame.
    ActivationDisplay& Activation() { return activation_; }
    const ActivationDisplay& Activation() const { return activation_; }

private:
    void GatherMesh(const RkPolygonModel& mesh);
    void GatherRegions(const HeartModel& heart);
    void GatherPickIds(const RkPolygonModel& mesh);
    // The lit heart: the unsegmented polygons opaque grey, then the segmented ones
    // reddish, or when `transparent` blended without writing depth. With the
    // Activation Map on, every polygon takes its vertices' map colours instead.
    void DrawPolygons(const HeartModel& heart, bool transparent);
    // Every polygon flat in the colour of its index (EncodePolygonPick), unlit.
    void DrawActivationPolygons(const HeartModel& heart, bool transparent);
    void DrawPickIds(const RkPolygonModel& mesh);

    std::vector<float> positions_;
    std::vector<float> inwardNormals_;
    bool meshValid_ = false;
    std::vector<unsigned> unsegmented_;
    std::vector<unsigned> segmented_;
    bool regionsValid_ = false;
    // Flat shading takes a triangle's colour from its last vertex, so every polygon
    // gets its own three vertices in the pick arrays.
    std::vector<float> pickPositions_;
    std::vector<unsigned char> pickColours_;
    bool pickValid_ = false;
    FiberRenderer fibers_;
    ActivationDisplay activation_;
    // Activation Map: per vertex colours of the mesh, chosen each frame.
    std::vector<float> vertexColours_;
};

// The mesh's edges as lines of width 2 in (0, 128, 128) bytes, unlit.
void DrawHeartFrame(const RkPolygonModel& mesh);
// Unit axes from the origin: x red, y green, z blue.
void DrawAxes();

// The heart polygon under (x, y) (logical pixels, origin top left) from the last
// pick pass and the surface point there. False on the background, before any pick
// pass, or when the code names no polygon of the mesh.
bool PickPolygon(const RkOGL& mainGL, const HeartModel& heart, int x, int y, int* polygon,
                 Vector3* point);

}  // namespace vantrel
