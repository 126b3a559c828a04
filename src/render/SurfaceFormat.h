#pragma once
// The OpenGL context every view asks for: a compatibility profile, so that the
// fixed-function pipeline and GLU work (also on Mesa's software renderer), with a
// depth buffer. Call before the QApplication is created.
namespace vantrel {

void UseFixedFunctionSurfaceFormat();

}  // namespace vantrel
