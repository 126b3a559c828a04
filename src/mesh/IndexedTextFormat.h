#pragma once
// The counted text format read from text in memory: the body of
// RkPolygonModel::LoadIndexedText, also used where the text does not come from
// a file (fuzzing, tests).
#include <string>

#include "mesh/RkPolygonModel.h"

namespace vantrel {

// Reads the counted text format from `text` into `model` and builds its edge
// table. Throws std::runtime_error "Illegal file" after one console line
// "<sourceName>:<line>: <reason>"; the model is then unchanged.
void ReadIndexedText(const std::string& text, const std::string& sourceName, RkPolygonModel& model);

}  // namespace vantrel
