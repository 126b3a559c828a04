#pragma once
// Immediate drawing of a whole polygon model, optionally recorded into a new
// display list at the same time.
#include "mesh/RkPolygonModel.h"

namespace vantrel {

// mode 0: filled triangles in `colour` (3 bytes; white when null), each corner with
// its vertex normal; mode 1: the same triangles as lines of width 1 with face
// culling off, after which culling is on and front faces are filled again; any
// other mode draws nothing. When `listId` is given, a new display list is made,
// its id stored there, and the drawing is compiled into it while it executes (the
// caller deletes the list, in the same context).
void DrawModel(const RkPolygonModel& model, int mode, unsigned* listId,
               const unsigned char* colour);

}  // namespace vantrel
