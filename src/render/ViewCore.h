#pragma once
// Holder of both views' OpenGL wrappers with their initial cameras, the main view's
// scene renderer (its kept arrays are told by the program when the heart or the
// network changes), the growth
// parameter dialog and pointers to the frame and the two views. The program keeps
// exactly one; the widgets are created by the program and only referred to here
// (the parameter dialog is owned and deleted here).
#include <QPointer>
#include <QWidget>
#include <functional>

#include "render/HeartDrawing.h"
#include "render/RkOGL.h"

class QOpenGLWidget;

namespace vantrel {

class ViewCore {
public:
    // Sets the initial cameras (main view eye (5, 5, 15) looking at (5, 5, 5), rule
    // window eye (0, 3, 8) looking at (0, 3, 0), both with up +y), creates the hidden
    // parameter dialog through `makeParameterDialog` (which may return null) and
    // writes "test" to the console.
    explicit ViewCore(const std::function<QWidget*()>& makeParameterDialog);
    // Deletes the parameter dialog, then frees the pick buffers of both wrappers.
    ~ViewCore();
    ViewCore(const ViewCore&) = delete;
    ViewCore& operator=(const ViewCore&) = delete;

    // Repaints a view at once (synchronously) without processing events; nothing when
    // it does not exist. Qt paints synchronously at most once per display frame (about
    // 16 ms); a repeat within that time is painted at the next frame.
    void RedrawMainView();
    void RedrawRuleView();

    // Called after an edit in the main view changed the network (a block toggle), so
    // the program can recompute what depends on it; may be empty.
    std::function<void()> networkEdited;
    // Called on every move without a button over the main view while the Activation
    // Map is on, with the stroke under the mouse (null off the fibres); may be empty.
    std::function<void(const Stroke*)> strokeHovered;

    RkOGL mainGL;
    RkOGL ruleGL;
    HeartRenderer mainRenderer;
    QPointer<QWidget> mainFrame;
    QPointer<QWidget> parameterDialog;
    QPointer<QOpenGLWidget> mainView;
    QPointer<QOpenGLWidget> ruleView;
};

}  // namespace vantrel
