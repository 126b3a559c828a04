#pragma once
// The endocardial activation map as a legacy VTK file (ASCII POLYDATA): the heart
// file's own surface, its vertices and triangles in file order and in its own frame,
// with POINT_DATA "activation_ms" (double; -1 where the wave never arrives) and
// "segmented" (int 0/1: the vertex touches a segmented polygon). The unit is named
// in the title line.
#include <string>

#include "conduction/EndocardialMap.h"
#include "conduction/HeartFrame.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

std::string EndocardiumVtkText(const RkPolygonModel& fileMesh, const EndocardialMap& map,
                               LengthUnit unit);

}  // namespace vantrel
