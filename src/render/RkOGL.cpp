#include "render/RkOGL.h"

#include <QBuffer>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include <GL/gl.h>

#include "geometry/SafeFileWriter.h"

namespace vantrel {
namespace {

constexpr double kFieldOfViewDegrees = 45.0;
// The eye never comes closer to the wheel's target than this, nor farther than this
// many scene radii.
constexpr double kClosestWheelDistance = 0.02;
constexpr double kFarthestWheelRadii = 50.0;
constexpr double kFitMargin = 1.1;

}  // namespace

RkOGL::RkOGL() {
    initial_.eye = Vector3(0, 20, 30);
    initial_.center = Vector3(0, 20, 0);
    initial_.up = Vector3(0, 1, 0);
    camera_ = initial_;
    projection_.SetIdentity();
    modelView_ = LookAtMatrix(camera_);
}

RkOGL::~RkOGL() {
    QObject::disconnect(contextConnection_);
}

bool RkOGL::Init(QOpenGLWidget* window) {
    window_ = window;
    if (!window || !window->context() || !window->context()->isValid()) return false;
    QObject::disconnect(contextConnection_);
    contextConnection_ = QObject::connect(window->context(), &QOpenGLContext::aboutToBeDestroyed,
                                          window, [this] { Destroy(); });
    return InitGL();
}

void RkOGL::Destroy() {
    if (!pickFramebuffer_) return;
    MakeCurrent();
    pickFramebuffer_.reset();
    Release();
}

QOpenGLWidget* RkOGL::Window() const {
    return window_.data();
}

int RkOGL::ClientWidth() const {
    return window_ ? window_->width() : 0;
}

double RkOGL::PixelRatio() const {
    return window_ ? window_->devicePixelRatioF() : 1.0;
}

void RkOGL::MakeCurrent() {
    if (window_ && window_->isValid()) window_->makeCurrent();
}

void RkOGL::Release() {
    if (window_ && window_->isValid() && !drawing_) window_->doneCurrent();
}

void RkOGL::SetClearColour(float r, float g, float b, float a) {
    clearColour_[0] = r;
    clearColour_[1] = g;
    clearColour_[2] = b;
    clearColour_[3] = a;
}

bool RkOGL::InitGL() {
    SetupGLState();
    return true;
}

void RkOGL::SetupGLState() {
    glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const GLfloat materialSpecular[] = {0.0f, 0.0f, 0.05f, 1.0f};
    const GLfloat materialDiffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
    const GLfloat materialAmbient[] = {0.3f, 0.3f, 0.3f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, materialDiffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, materialAmbient);
    glMaterialf(GL_FRONT, GL_SHININESS, 1.5f);

    const GLfloat light0Ambient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat light0Diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat light0Specular[] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, light0Ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light0Diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light0Specular);
    const GLfloat otherAmbient[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat otherDiffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat otherSpecular[] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2}) {
        glLightfv(light, GL_AMBIENT, otherAmbient);
        glLightfv(light, GL_DIFFUSE, otherDiffuse);
        glLightfv(light, GL_SPECULAR, otherSpecular);
    }

    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glShadeModel(GL_SMOOTH);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glCullFace(GL_BACK);
    glPolygonMode(GL_FRONT, GL_FILL);
    glEnable(GL_CULL_FACE);

    camera_ = initial_;
    LoadCamera();
}

void RkOGL::Resize(int cx, int cy) {
    if (cx < 1 || cy < 1) return;
    const double ratio = PixelRatio();
    viewport_.x = 0;
    viewport_.y = 0;
    viewport_.width = static_cast<int>(std::lround(cx * ratio));
    viewport_.height = static_cast<int>(std::lround(cy * ratio));
    aspect_ = static_cast<double>(cx) / cy;
    if (fitPending_) {
        fitPending_ = false;
        camera_ = FitCameraToBox(camera_, fitBox_, kFieldOfViewDegrees, aspect_, kFitMargin);
    }
    LoadCamera();
    pick_.Allocate(viewport_.width, viewport_.height);
}

void RkOGL::LoadCamera() {
    double zNear = 0.0;
    double zFar = 0.0;
    ClipPlanesForBox(camera_, scene_, &zNear, &zFar);
    projection_ = PerspectiveMatrix(kFieldOfViewDegrees, aspect_, zNear, zFar);
    modelView_ = LookAtMatrix(camera_);
}

void RkOGL::SetSceneBox(const SceneBox& box) {
    scene_ = box;
    LoadCamera();
}

void RkOGL::FitBox(const SceneBox& box) {
    if (viewport_.width < 1 || viewport_.height < 1) {
        fitPending_ = true;
        fitBox_ = box;
        return;
    }
    SetCamera(FitCameraToBox(camera_, box, kFieldOfViewDegrees, aspect_, kFitMargin));
}

Vector3 RkOGL::ZoomTarget(int x, int y) const {
    const PickSample sample = ReadPick(x, y);
    if (sample.hit) return UnprojectAt(x, y, sample.depth);
    Vector3 origin, direction;
    MouseRay(x, y, &origin, &direction);
    Vector3 forward = camera_.center - camera_.eye;
    const double distance = forward.Length();
    forward.Normalize();
    const double along = Dot(direction, forward);
    if (along <= 1e-6) return camera_.center;
    return origin + direction * (distance / along);
}

bool RkOGL::WheelZoom(int x, int y, double steps) {
    const double farthest = kFarthestWheelRadii * std::max(scene_.Radius(), 1.0);
    if (!ZoomTowards(camera_, ZoomTarget(x, y), steps, kClosestWheelDistance, farthest)) {
        return false;
    }
    LoadCamera();
    return true;
}

void RkOGL::SetCamera(const Camera& camera) {
    camera_ = camera;
    LoadCamera();
}

void RkOGL::ResetCamera() {
    camera_ = initial_;
    LoadCamera();
}

void RkOGL::BeginPickPass() {
    if (!window_ || !window_->isValid() || viewport_.width < 1 || viewport_.height < 1) return;
    MakeCurrent();
    const QSize size(viewport_.width, viewport_.height);
    if (!pickFramebuffer_ || pickFramebuffer_->size() != size) {
        pickFramebuffer_ =
            std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::Depth);
    }
    if (pick_.Width() != size.width() || pick_.Height() != size.height()) {
        pick_.Allocate(size.width(), size.height());
    }
    pickPass_ = true;
}

void RkOGL::BeginDraw() {
    drawing_ = true;
    if (pickPass_) {
        MakeCurrent();
        pickFramebuffer_->bind();
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    } else {
        glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
    }
    glViewport(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(projection_.m);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(modelView_.m);
}

void RkOGL::ReadBackPickPass() {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    const int width = pick_.Width();
    const int height = pick_.Height();
    glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, pick_.Depths());
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pick_.Codes());
    pick_.MarkRendered();
}

void RkOGL::EndDraw() {
    glFinish();
    if (pickPass_) {
        ReadBackPickPass();
        pickFramebuffer_->release();
        pickPass_ = false;
        drawing_ = false;
        Release();
        return;
    }
    drawing_ = false;
}

void RkOGL::StartDrag(int x, int y, CameraDragMode mode) {
    dragging_ = true;
    captured_ = true;
    lastX_ = x;
    lastY_ = y;
    dragMode_ = mode;
}

bool RkOGL::DragCamera(int x, int y) {
    if (!dragging_ || !captured_) return false;
    switch (dragMode_) {
        case CameraDragMode::Zoom:
            ZoomStep(camera_, lastY_, y);
            break;
        case CameraDragMode::Rotate:
            RotateStep(camera_, lastX_, lastY_, x, y);
            break;
        case CameraDragMode::Pan:
            PanStep(camera_, lastX_, lastY_, x, y);
            break;
        case CameraDragMode::None:
            break;
    }
    LoadCamera();
    lastX_ = x;
    lastY_ = y;
    return true;
}

void RkOGL::EndDrag() {
    if (!captured_) return;
    dragging_ = false;
    captured_ = false;
}

PickSample RkOGL::ReadPick(int x, int y) const {
    const double ratio = PixelRatio();
    const int column = static_cast<int>(std::floor(x * ratio));
    // The pixel under the cursor: window rows count down from the top, buffer rows
    // up from the bottom.
    const int row = pick_.Height() - 1 - static_cast<int>(std::floor(y * ratio));
    return pick_.Read(column, row);
}

Vector3 RkOGL::UnprojectAt(int x, int y, float depth) const {
    const double ratio = PixelRatio();
    // The centre of the pixel under the cursor, in OpenGL window coordinates.
    const double winX = std::floor(x * ratio) + 0.5;
    const double winY = viewport_.height - std::floor(y * ratio) - 0.5;
    Vector3 point = camera_.eye;
    UnprojectWindowPoint(winX, winY, depth, modelView_, projection_, viewport_, &point);
    return point;
}

void RkOGL::MouseRay(int x, int y, Vector3* origin, Vector3* direction) const {
    *origin = camera_.eye;
    Vector3 through = UnprojectAt(x, y, 0.01f);
    Vector3 d = through - camera_.eye;
    d.Normalize();
    *direction = d;
}

bool RkOGL::SaveBitmap(const std::string& path) {
    if (!window_ || !window_->isValid()) return false;
    // 24-bit colour; QImage writes the BMP headers and the padded bottom-up rows.
    const QImage image = window_->grabFramebuffer().convertToFormat(QImage::Format_RGB888);
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) return false;
    const auto size = static_cast<std::size_t>(bitmap.size());
    return WriteFileSafely(path, [&bitmap, size](std::FILE* file) {
               return std::fwrite(bitmap.constData(), 1, size, file) == size;
           }) == FileWriteResult::kWritten;
}

}  // namespace vantrel
