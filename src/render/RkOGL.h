#pragma once
// One view's OpenGL wrapper: binds a QOpenGLWidget, keeps its orbiting camera and
// projection, draws normal frames inside the widget's paintGL and pick passes into
// an offscreen framebuffer whose colours and depths it keeps for later clicks.
//
// Pixels: the public operations take mouse positions in the widget's logical
// pixels (origin top left); the viewport, the pick framebuffer and the stored
// pick arrays are in device pixels (logical x devicePixelRatioF).
//
// Contexts: operations that issue OpenGL calls make the widget's context current
// and release it afterwards, except between BeginDraw and EndDraw.
#include <QMetaObject>
#include <QPointer>
#include <memory>
#include <string>

#include "geometry/Matrix4.h"
#include "geometry/Vector3.h"
#include "render/CameraMath.h"
#include "render/PickBuffer.h"

class QOpenGLWidget;
class QOpenGLFramebufferObject;

namespace vantrel {

enum class CameraDragMode : int { None = 0, Zoom = 3, Rotate = 4, Pan = 5 };

class RkOGL {
public:
    RkOGL();
    ~RkOGL();
    RkOGL(const RkOGL&) = delete;
    RkOGL& operator=(const RkOGL&) = delete;

    // Binds the widget and sets the fixed rendering state (InitGL). Call from the
    // widget's initializeGL (its context current). False when the widget has no
    // valid context; the view then shows no image. GL resources are freed when the
    // widget's context is about to be destroyed.
    bool Init(QOpenGLWidget* window);
    // Frees the pick framebuffer while its context still exists. Idempotent.
    void Destroy();
    QOpenGLWidget* Window() const;

    // Starts a frame: in a pick pass binds the pick framebuffer and clears to opaque
    // white, otherwise (only from the widget's paintGL) clears to the clear colour.
    // Loads viewport, projection and the camera; leaves the model-view stack selected.
    void BeginDraw();
    // Ends a frame: waits for OpenGL; a pick pass reads codes and depths into the pick
    // buffers, rebinds the widget's framebuffer, clears pickPass and releases the
    // context. A normal frame is shown by the widget after paintGL returns.
    void EndDraw();
    bool Drawing() const { return drawing_; }

    // New client size in logical pixels: viewport, 45-degree perspective (near and
    // far planes around the scene box, see SetSceneBox), camera reloaded; a fit asked
    // for before the view had a size is done now; pick buffers reallocated and marked not rendered
    // (no hit until the next pick pass). Sizes below 1 change nothing.
    void Resize(int cx, int cy);

    // Camera drags. StartDrag marks the drag and captures the mouse for this view;
    // DragCamera does one step (false, nothing done, without a drag or capture);
    // EndDrag ends the drag and releases the capture.
    void StartDrag(int x, int y, CameraDragMode mode);
    bool DragCamera(int x, int y);
    void EndDrag();
    bool Dragging() const { return dragging_; }
    bool Captured() const { return captured_; }
    CameraDragMode DragMode() const { return dragMode_; }

    void MakeCurrent();
    // Releases the context unless a frame is being drawn.
    void Release();

    // Writes the view's current image as an uncompressed 24-bit BMP; false when it
    // cannot be written (the previous file is then kept).
    bool SaveBitmap(const std::string& path);

    bool InitGL();
    // The fixed state every frame relies on (depth test, blend function, default
    // material and lights, culling), and the camera back to the initial one.
    void SetupGLState();

    // Prepares a pick pass: makes the context current, sizes the pick framebuffer and
    // buffers to the client area and sets pickPass. Without a valid context nothing
    // happens and pickPass stays false.
    void BeginPickPass();
    bool PickPass() const { return pickPass_; }

    // The pick code and depth under the mouse position (x, y) from the last pick
    // pass; no hit outside the view, on the background or before any pick pass.
    PickSample ReadPick(int x, int y) const;
    // World point under (x, y) at the window depth `depth` (0 near .. 1 far). Falls
    // back to the eye when the camera is degenerate.
    Vector3 UnprojectAt(int x, int y, float depth) const;
    // The ray from the eye through (x, y): origin = eye, direction normalised.
    void MouseRay(int x, int y, Vector3* origin, Vector3* direction) const;

    void SetInitialCamera(const Camera& camera) { initial_ = camera; }
    const Camera& InitialCamera() const { return initial_; }
    // Back to the initial camera.
    void ResetCamera();
    const Camera& CurrentCamera() const { return camera_; }
    void SetCamera(const Camera& camera);

    // What the view shows: the near and far planes follow the camera so that the
    // whole box is drawn at any zoom, and FitScene frames it. Without a box the planes
    // stay at 0.01 and 40.
    void SetSceneBox(const SceneBox& box);
    const SceneBox& SceneBounds() const { return scene_; }
    // Frames `box` (ten per cent margin) looking along the current direction; before
    // the view has a size, the fit waits for the first Resize.
    void FitBox(const SceneBox& box);
    void FitScene() { FitBox(scene_); }
    // One wheel zoom by `steps` notches (fractions for pixel deltas) towards the scene
    // point under (x, y): the point of the last pick pass there, else the point of the
    // plane through the centre facing the eye. False when the zoom limit refuses it.
    bool WheelZoom(int x, int y, double steps);

    void SetClearColour(float r, float g, float b, float a);
    const Matrix4& ModelView() const { return modelView_; }
    const Matrix4& Projection() const { return projection_; }
    const Viewport& ViewportPixels() const { return viewport_; }
    // Width of the client area in logical pixels (0 without a window).
    int ClientWidth() const;

    // Frees the pick arrays (width and height back to -1).
    void FreePickBuffers() { pick_.Free(); }
    const PickBuffer& Pick() const { return pick_; }

private:
    double PixelRatio() const;
    void LoadCamera();
    void ReadBackPickPass();
    Vector3 ZoomTarget(int x, int y) const;

    QPointer<QOpenGLWidget> window_;
    QMetaObject::Connection contextConnection_;
    std::unique_ptr<QOpenGLFramebufferObject> pickFramebuffer_;
    Camera initial_;
    Camera camera_;
    Matrix4 projection_;
    Matrix4 modelView_;
    Viewport viewport_;
    double aspect_ = 1.0;
    SceneBox scene_;
    bool fitPending_ = false;
    SceneBox fitBox_;
    float clearColour_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool drawing_ = false;
    bool pickPass_ = false;
    bool dragging_ = false;
    bool captured_ = false;
    CameraDragMode dragMode_ = CameraDragMode::None;
    int lastX_ = 0;
    int lastY_ = 0;
    PickBuffer pick_;
};

}  // namespace vantrel
