#include "render/PickPass.h"

#include <GL/gl.h>

namespace vantrel {

void RenderPickPass(RkOGL& gl, const std::function<void()>& drawCodes) {
    gl.BeginPickPass();
    if (!gl.PickPass()) return;
    gl.BeginDraw();
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_FLAT);
    drawCodes();
    glPopAttrib();
    gl.EndDraw();
}

}  // namespace vantrel
