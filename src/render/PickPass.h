#pragma once
// One pick pass of a view: prepares the pass (RkOGL::BeginPickPass), draws unlit,
// flat and unblended through `drawCodes` (each pickable thing in the colour of its
// code) and reads the codes and depths back (RkOGL::EndDraw). Nothing when the view
// has no context yet (its clicks then read no hit).
#include <functional>

#include "render/RkOGL.h"

namespace vantrel {

void RenderPickPass(RkOGL& gl, const std::function<void()>& drawCodes);

}  // namespace vantrel
