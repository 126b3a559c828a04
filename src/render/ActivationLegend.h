#pragma once
// The Activation Map's legend: a vertical colour bar in the view's top-right corner
// with tick labels in ms and the title "activation (ms)" on a light backing. Laid
// out in logical pixels (the font and bar follow the view's height within readable
// bounds) and painted with QPainter into an image of device pixels, which OpenGL
// draws over the scene: sharp at every device pixel ratio.
#include <QRect>
#include <vector>

class QPainter;

namespace vantrel {

// Tick values from 0 to `maxMs`: round steps (1, 2 or 5 times a power of ten), the
// last tick being `maxMs` itself so that both extremes are labelled.
std::vector<double> LegendTicks(double maxMs);

// Where the bar goes in a view of `width` x `height` logical pixels.
QRect LegendBarRect(int width, int height);

// The legend's backing, which holds all of it (logical pixels).
QRect LegendBackingRect(int width, int height);

void DrawActivationLegend(QPainter& painter, int width, int height, double maxMs);

// Draws the legend into the current OpenGL viewport (device pixels) of a view whose
// logical pixels are `devicePixelRatio` device pixels; restores the state it changes.
void DrawActivationLegendOverlay(double maxMs, double devicePixelRatio);

}  // namespace vantrel
