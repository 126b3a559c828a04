#pragma once
// Drawing of what the user places on the heart: start points as yellow arrows,
// feature curves and sketches as lines; and the colour class of a stroke's tube
// (the network itself is drawn by FiberRenderer). Each routine sets the OpenGL
// state it needs and restores what it changes.
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

// The tube colour classes of a stroke, in the order of the tests that pick them.
enum class TubeColour { Blocked, Rest, Excited, Rising, Active };
TubeColour TubeColourOf(const Stroke& stroke, bool animation);

}  // namespace vantrel
