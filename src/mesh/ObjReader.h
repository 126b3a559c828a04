#pragma once
// Wavefront OBJ reading from text in memory: the body of RkPolygonModel::LoadObj,
// also used where the text does not come from a file (fuzzing, tests).
#include <string>

#include "mesh/RkPolygonModel.h"

namespace vantrel {

// Reads "v", "vt" and "f" lines of `text` into `model` as LoadObj does; every
// other line is ignored. `sourceName` names the text in console lines. On
// failure: one console line "<sourceName>:<line>: <reason>", false, and the
// model is unchanged.
bool ReadObjText(const std::string& text, const std::string& sourceName, RkPolygonModel& model);

}  // namespace vantrel
