#pragma once
// Helpers of the mouse-editing tests: real mouse input on a view, sent through the
// frame's window the way the windowing system delivers it (so Qt's double-click
// detection and implicit grab take part), what the main view's pick buffer shows
// under a pixel, and where a world point appears in a view.
#include <QTest>
#include <QWindow>
#include <optional>
#include <set>
#include <vector>

#include "app_harness.h"
#include "render/HeartDrawing.h"

namespace vantrel::testing {

class ViewMouse {
public:
    explicit ViewMouse(QWidget* view) : view_(view) {}

    void Press(Qt::MouseButton button, QPoint at) {
        QTest::mousePress(Window(), button, {}, InWindow(at));
    }
    void Release(Qt::MouseButton button, QPoint at) {
        QTest::mouseRelease(Window(), button, {}, InWindow(at));
    }
    void Move(QPoint to) { QTest::mouseMove(Window(), InWindow(to)); }
    void Click(Qt::MouseButton button, QPoint at) {
        Press(button, at);
        Release(button, at);
    }
    // Two clicks within the double-click interval; the windowing layer turns the
    // second press into a double click.
    void DoubleClick(Qt::MouseButton button, QPoint at) {
        QTest::mouseDClick(Window(), button, {}, InWindow(at));
    }
    // Press at path.front(), a move to every later point, release at path.back().
    void Drag(Qt::MouseButton button, const std::vector<QPoint>& path) {
        Press(button, path.front());
        for (size_t i = 1; i < path.size(); ++i) Move(path[i]);
        Release(button, path.back());
    }

private:
    QWindow* Window() const { return view_->window()->windowHandle(); }
    QPoint InWindow(QPoint p) const { return view_->mapTo(view_->window(), p); }

    QWidget* view_;
};

inline bool SameCamera(const Camera& a, const Camera& b) {
    auto same = [](const Vector3& u, const Vector3& v) {
        return u.x == v.x && u.y == v.y && u.z == v.z;
    };
    return same(a.eye, b.eye) && same(a.center, b.center) && same(a.up, b.up);
}

// The heart polygon under a main-view pixel in the last pick pass, or -1.
inline int PolygonAt(QPoint p) {
    int polygon = -1;
    Vector3 point;
    return PickPolygon(TheViewCore()->mainGL, *TheHeartModel(), p.x(), p.y(), &polygon, &point)
               ? polygon
               : -1;
}

inline bool SegmentedAt(QPoint p) {
    const int polygon = PolygonAt(p);
    return polygon >= 0 && TheHeartModel()->regionIds[static_cast<size_t>(polygon)] != 0;
}

// The picked surface point and the normal of the polygon under a main-view pixel.
inline bool SurfaceAt(QPoint p, Vector3* point, Vector3* normal) {
    int polygon = -1;
    if (!PickPolygon(TheViewCore()->mainGL, *TheHeartModel(), p.x(), p.y(), &polygon, point))
        return false;
    *normal = TheHeartModel()->mesh.polygons[static_cast<size_t>(polygon)].normal;
    return true;
}

// A view pixel, nearest the view's centre, around which every pixel of a square of
// half-size `radius` (sampled every 4 pixels) passes `test`.
template <typename Test>
std::optional<QPoint> AreaWhere(QWidget* view, int radius, Test test) {
    const QPoint centre = view->rect().center();
    for (int ring = 0; ring < std::max(view->width(), view->height()) / 2; ring += 8) {
        for (int dy = -ring; dy <= ring; dy += 8) {
            for (int dx = -ring; dx <= ring; dx += 8) {
                if (std::max(std::abs(dx), std::abs(dy)) != ring) continue;
                const QPoint candidate = centre + QPoint(dx, dy);
                bool all = true;
                for (int y = -radius; y <= radius && all; y += 4) {
                    for (int x = -radius; x <= radius && all; x += 4)
                        all = test(candidate + QPoint(x, y));
                }
                if (all) return candidate;
            }
        }
    }
    return std::nullopt;
}

// A main-view pixel around which only segmented polygons show.
inline std::optional<QPoint> SegmentedArea(QWidget* view, int radius) {
    return AreaWhere(view, radius, SegmentedAt);
}

// A main-view pixel that shows no heart polygon.
inline std::optional<QPoint> BackgroundPixel(QWidget* view) {
    for (int y = 10; y < view->height() - 10; y += 10) {
        for (int x = view->width() - 10; x > 10; x -= 10) {
            if (PolygonAt(QPoint(x, y)) < 0) return QPoint(x, y);
        }
    }
    return std::nullopt;
}

// Where a world point appears in the view of `gl`, in logical pixels (origin top
// left); nullopt behind the eye.
inline std::optional<QPointF> ProjectToView(const RkOGL& gl, const Vector3& world,
                                            double pixelRatio) {
    const Matrix4 clip = gl.Projection().Multiply(gl.ModelView());
    double h[4];
    for (int r = 0; r < 4; ++r)
        h[r] = clip.At(r, 0) * world.x + clip.At(r, 1) * world.y + clip.At(r, 2) * world.z +
               clip.At(r, 3);
    if (h[3] <= 0.0) return std::nullopt;
    const Viewport& viewport = gl.ViewportPixels();
    const double windowX = viewport.x + (h[0] / h[3] + 1.0) * 0.5 * viewport.width;
    const double windowY = viewport.y + (h[1] / h[3] + 1.0) * 0.5 * viewport.height;
    return QPointF(windowX / pixelRatio, (viewport.height - windowY) / pixelRatio);
}

// The polygons that share a vertex with `polygon`, itself included (found by
// comparing vertex indices, independently of the mesh's adjacency walks).
inline std::set<int> PolygonsAround(int polygon) {
    const std::vector<MeshPolygon>& polygons = TheHeartModel()->mesh.polygons;
    const int* corners = polygons[static_cast<size_t>(polygon)].vertex;
    std::set<int> around;
    for (size_t i = 0; i < polygons.size(); ++i) {
        for (int v : polygons[i].vertex) {
            if (v == corners[0] || v == corners[1] || v == corners[2])
                around.insert(static_cast<int>(i));
        }
    }
    return around;
}

// A main-view pixel on the middle of a grown stroke, or nullopt.
inline std::optional<QPoint> StrokePixel() {
    QWidget* view = Frame()->MainView();
    for (const Fiber& fiber : TheFiberCore()->fibers) {
        for (const auto& stroke : fiber.strokes) {
            const std::vector<Vector3>& points = stroke->path.points;
            if (points.size() < 3) continue;
            const auto at = ProjectToView(TheViewCore()->mainGL, points[points.size() / 2],
                                          view->devicePixelRatioF());
            if (at && view->rect().adjusted(5, 5, -5, -5).contains(at->toPoint()))
                return at->toPoint();
        }
    }
    return std::nullopt;
}

// A rule-window pixel inside the handle with pick code `code` in the last pick pass (its
// eight neighbours show the handle too), or nullopt.
inline std::optional<QPoint> HandlePixel(std::uint32_t code) {
    const PickBuffer& pick = TheViewCore()->ruleGL.Pick();
    const double ratio = Frame()->RuleView()->devicePixelRatioF();
    for (int row = 1; row + 1 < pick.Height(); ++row) {
        for (int column = 1; column + 1 < pick.Width(); ++column) {
            bool all = true;
            for (int d = 0; d < 9 && all; ++d) {
                const PickSample sample = pick.Read(column + d % 3 - 1, row + d / 3 - 1);
                all = sample.hit && (sample.code & 0xFFFFFFu) == code;
            }
            if (all) return QPoint(int(column / ratio), int((pick.Height() - 1 - row) / ratio));
        }
    }
    return std::nullopt;
}

}  // namespace vantrel::testing
