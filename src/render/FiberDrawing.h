#pragma once
// Drawing of the fibre network and of what the user places on the heart: start
// points as yellow arrows, feature curves and sketches as lines, strokes as lit
// tubes coloured by their animation state and conduction block, or as wire frame.
// Each routine sets the OpenGL state it needs and restores what it changes. Large
// networks go through vertex arrays, one draw call per colour.
#include "growth/FiberCore.h"
#include "growth/Polyline.h"
#include "growth/Stroke.h"

namespace vantrel {

// The start-point arrow from `position` towards `directionPoint`: a yellow lit
// cylinder (radius 0.08) over the first half and a cone (radius 0.2) over the
// second, scaled by the distance of the two points. Nothing when they coincide.
void DrawStartArrow(const Vector3& position, const Vector3& directionPoint);

// One GL_LINES pair per segment of `line` in the polyline's own colour (with alpha),
// width `width`, unlit and flat. Nothing for fewer than 2 points.
void DrawPolylineLines(const Polyline& line, float width);

// Every start point's arrow, then every feature curve as lines of width 2.
void DrawFeatures(const FiberCore& fibers);

// Every fibre's strokes (the growth front only in wire frame): as lit tubes when
// `asPolygon`, else as lines of width 2 coloured green (left the volume), yellow
// (collided) or dark red, with the front in light blue.
void DrawFibers(const FiberCore& fibers, bool asPolygon);

// The tube colour classes of a stroke, in the order of the tests that pick them.
enum class TubeColour { Blocked, Rest, Excited, Rising, Active };
TubeColour TubeColourOf(const Stroke& stroke, bool animation);

}  // namespace vantrel
