#pragma once
// The main 3-D view: the heart scene and the axes, drawn through the main view's
// wrapper (mainGL); its mouse input goes to the main view's current listener.
// Its pick buffers are re-rendered after every resize, so that the first click
// after a window-manager resize resolves against what is on screen.
#include "interaction/ListenerView.h"

namespace vantrel {

class CVantrelView : public ListenerView {
public:
    explicit CVantrelView(QWidget* parent = nullptr);
    ~CVantrelView() override;

    // Draws one frame of the scene and the axes into the view's framebuffer (what
    // paintGL does; the context must be current). The widget shows it when it is
    // next composed.
    void PaintScene();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
};

}  // namespace vantrel
