#pragma once
// One view's drawing of the fibre network: every fibre's strokes as lit tubes
// coloured by their animation state and conduction block (TubeColourOf), or as
// lines of width 2 coloured green (left the volume), yellow (collided) or dark red,
// with the growth front in light blue. Large networks go through vertex arrays,
// one draw call per colour; each draw sets the OpenGL state it needs and restores
// what it changes.
//
// With an enabled ActivationDisplay every stroke that is not blocked takes the
// colour of its activation time instead (grey when not reached by the cursor); the
// blocked ones stay blue.
//
// The tube geometry is kept between frames (it changes only with the network's
// strokes; the colours are chosen anew each frame) until Invalidate. The arrays
// are client memory: no OpenGL object outlives a frame, so the renderer is not
// tied to a context.
#include <array>
#include <vector>

#include "growth/FiberCore.h"
#include "render/ActivationDisplay.h"

namespace vantrel {

class FiberRenderer {
public:
    void Draw(const FiberCore& fibers, bool asPolygon, const ActivationDisplay& activation);
    // The network's strokes changed (growth, Init All Strokes, a scene read): the
    // tube geometry is gathered again at the next Draw.
    void Invalidate() { tubesValid_ = false; }

private:
    static constexpr int kColourCount = 5;  // TubeColour's values

    void GatherTubes(const FiberCore& fibers);
    // Whether every stroke's tube has as many vertices as the kept arrays hold for it.
    bool TubesFit(const FiberCore& fibers) const;
    void DrawTubes(const FiberCore& fibers, const ActivationDisplay& activation);
    void DrawActivationTubes(const std::vector<unsigned>& indices);
    void DrawWireFrame(const FiberCore& fibers, const ActivationDisplay& activation);

    // Tube vertices and normals of every stroke in network order, the first vertex
    // of each stroke's tube (and the total at the end), and this frame's triangle indices per
    // colour.
    std::vector<float> tubeVertices_;
    std::vector<float> tubeNormals_;
    std::vector<unsigned> tubeBase_;
    std::array<std::vector<unsigned>, kColourCount> tubeIndices_;
    bool tubesValid_ = false;
    // Activation Map: per tube vertex colours, kept while the tubes, the display's
    // times and its cursor stay the same, and this frame's triangles of the strokes
    // coloured by time.
    std::vector<float> tubeColours_;
    bool coloursValid_ = false;
    unsigned coloursRevision_ = 0;
    double coloursCursor_ = 0.0;
    std::vector<unsigned> activationIndices_;
    // Wire-frame lines, gathered each frame (the growth front changes every pass).
    std::vector<float> lineVertices_;
    std::vector<float> lineColours_;
};

}  // namespace vantrel
