#include "app/CVantrelView.h"

#include "app/Singletons.h"
#include "render/ActivationLegend.h"
#include "render/HeartDrawing.h"

namespace vantrel {

CVantrelView::CVantrelView(QWidget* parent) : ListenerView(parent) {
    TheViewCore()->mainView = this;
    SetListenerSource([] { return TheListenerManager()->mainListener; });
    SetWheelZoom([this](int x, int y, double steps) {
        ViewCore* views = TheViewCore();
        if (views->mainGL.Dragging() || !views->mainGL.WheelZoom(x, y, steps)) return;
        // The next click and the next wheel step resolve against the new picture.
        views->mainRenderer.RenderPickBuffer(views->mainGL, *TheHeartModel(), *TheFiberCore());
        update();
    });
}

CVantrelView::~CVantrelView() {
    TheViewCore()->mainGL.Destroy();
}

void CVantrelView::initializeGL() {
    TheViewCore()->mainGL.Init(this);
}

void CVantrelView::resizeGL(int width, int height) {
    ViewCore* views = TheViewCore();
    views->mainGL.Resize(width, height);
    views->mainRenderer.RenderPickBuffer(views->mainGL, *TheHeartModel(), *TheFiberCore());
}

void CVantrelView::paintGL() {
    PaintScene();
}

void CVantrelView::PaintScene() {
    ViewCore* views = TheViewCore();
    RkOGL& gl = views->mainGL;
    gl.BeginDraw();
    // The overlay belongs to the current listener; before the listeners exist there
    // is nothing to show.
    ListenerManager* listeners = ExistingListenerManager();
    views->mainRenderer.DrawScene(gl, *TheHeartModel(), *TheFiberCore(), [listeners] {
        if (listeners) listeners->mainListener->DrawOverlay();
    });
    DrawAxes();
    const ActivationDisplay& activation = views->mainRenderer.Activation();
    if (activation.enabled) DrawActivationLegendOverlay(activation.maxTime, devicePixelRatioF());
    gl.EndDraw();
}

}  // namespace vantrel
