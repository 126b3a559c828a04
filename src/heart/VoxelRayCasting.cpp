// First phase of Build: surface and inside cells by ray casting along x, y and z.
//
// For each axis d a ray runs through the centre of every column (a along u, b along
// w, u and w the two other axes). A triangle is crossed by the ray when the ray's
// (u, w) lies in it (edges and corners count); the crossing depths, as cells along
// d, form a sorted multiset, and walking it with an inside/outside parity fills the
// inside cells. Instead of testing every polygon against every ray, each polygon is
// first binned to the rays its (u, w) bounding box covers, in polygon order, so each
// ray sees exactly the polygons (and so the crossings, in the same order) that the
// bounding test of the loop over all polygons would let through.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/ConsoleLog.h"
#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

namespace {

double Component(const Vector3& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

// Ray positions along one axis: ray a runs at a*h + h/2.
class RayColumns {
public:
    RayColumns(int n, double h) : n_(n), h_(h) {}
    double Position(int a) const { return a * h_ + h_ / 2; }

    // First ray whose position is >= low and last ray whose position is <= high,
    // found with the very expression Position() uses, so the bounding-box test of a
    // ray in the range always passes. first > last when no ray lies in [low, high].
    void Range(double low, double high, int& first, int& last) const {
        first = static_cast<int>(Clamp(std::ceil((low - h_ / 2) / h_), 0.0, n_));
        while (first > 0 && Position(first - 1) >= low) --first;
        while (first < n_ && Position(first) < low) ++first;
        last = static_cast<int>(Clamp(std::floor((high - h_ / 2) / h_), -1.0, n_ - 1));
        while (last < n_ - 1 && Position(last + 1) <= high) ++last;
        while (last >= 0 && Position(last) > high) --last;
    }

private:
    // The estimate may be infinite; the loops above correct the clamped value.
    static double Clamp(double estimate, double low, double high) {
        return estimate < low ? low : (estimate > high ? high : estimate);
    }

    int n_;
    double h_;
};

// Beyond this many (ray, polygon) pairs per axis (a mesh of huge overlapping
// triangles) the bins would cost more memory than they save time; every ray then
// tests every polygon, as the straightforward loop does, with the same result.
constexpr long long kMaxBinnedPairs = 1LL << 25;

// The polygons binned to the rays of one axis, in compressed rows: the polygons of
// ray (a, b) are polygon[start[a + n*b] .. start[a + n*b + 1]), in index order.
// When everyPolygon is set, every ray takes every polygon instead.
struct RayBins {
    bool everyPolygon = false;
    std::vector<int> start;
    std::vector<int> polygon;
};

bool HasValidCorners(const MeshPolygon& polygon, int vertexCount) {
    for (int corner : polygon.vertex) {
        if (corner < 0 || corner >= vertexCount) return false;
    }
    return true;
}

// For each coordinate axis, the rays (by their position along that axis) that the
// polygon's bounding test lets through: first .. end-1. Kept in 16 bits (the grid
// has at most 1290 cells a side): fresh memory is what costs most in Build.
struct PolygonRays {
    std::uint16_t first[3] = {0, 0, 0};
    std::uint16_t end[3] = {0, 0, 0};
};

std::vector<PolygonRays> RaysOfPolygons(const RkPolygonModel& mesh, const RayColumns& columns) {
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    std::vector<PolygonRays> rays(mesh.polygons.size());
    for (std::size_t i = 0; i < mesh.polygons.size(); ++i) {
        const MeshPolygon& polygon = mesh.polygons[i];
        // A polygon with a bad corner keeps empty ranges and is never crossed.
        if (!HasValidCorners(polygon, vertexCount)) continue;
        const Vector3& p0 = mesh.vertices[polygon.vertex[0]].position;
        const Vector3& p1 = mesh.vertices[polygon.vertex[1]].position;
        const Vector3& p2 = mesh.vertices[polygon.vertex[2]].position;
        for (int axis = 0; axis < 3; ++axis) {
            const double c0 = Component(p0, axis), c1 = Component(p1, axis),
                         c2 = Component(p2, axis);
            // A NaN coordinate on a ray's u or w axis makes the crossing determinant
            // NaN, so such a polygon is crossed by no ray across that axis.
            if (std::isnan(c0) || std::isnan(c1) || std::isnan(c2)) continue;
            int first, last;
            columns.Range(std::min({c0, c1, c2}), std::max({c0, c1, c2}), first, last);
            if (first > last) continue;
            rays[i].first[axis] = static_cast<std::uint16_t>(first);
            rays[i].end[axis] = static_cast<std::uint16_t>(last + 1);
        }
    }
    return rays;
}

// Fills `bins` with the polygons of the rays along axis d (u and w the other axes).
void BinPolygonsToRays(const std::vector<PolygonRays>& rays, int n, int u, int w, RayBins& bins) {
    const int polygonCount = static_cast<int>(rays.size());
    long long pairs = 0;
    for (const PolygonRays& r : rays) {
        pairs += static_cast<long long>(r.end[u] - r.first[u]) * (r.end[w] - r.first[w]);
    }
    bins.everyPolygon = pairs > kMaxBinnedPairs;
    if (bins.everyPolygon) return;
    bins.start.assign(static_cast<std::size_t>(n) * n + 1, 0);
    for (const PolygonRays& r : rays) {
        for (int b = r.first[w]; b < r.end[w]; ++b) {
            for (int a = r.first[u]; a < r.end[u]; ++a) ++bins.start[a + n * b];
        }
    }
    // Each ray's range is filled from its end while walking the polygons backwards,
    // so the polygons of a ray stay in index order.
    int end = 0;
    for (int ray = 0; ray < n * n; ++ray) {
        end += bins.start[ray];
        bins.start[ray] = end;
    }
    bins.start[n * n] = end;
    bins.polygon.resize(end);
    for (int i = polygonCount - 1; i >= 0; --i) {
        const PolygonRays& r = rays[i];
        for (int b = r.first[w]; b < r.end[w]; ++b) {
            for (int a = r.first[u]; a < r.end[u]; ++a) bins.polygon[--bins.start[a + n * b]] = i;
        }
    }
}

// One ray: it runs along axis d through (u, w) = (atU, atW).
struct Ray {
    int d, u, w;
    double atU, atW;
};

// Whether the ray crosses polygon i (edges and corners count), and at which depth
// along d. A polygon seen edge-on (determinant 0) is not crossed.
bool CrossingDepth(const RkPolygonModel& mesh, int i, const Ray& ray, double& depth) {
    const MeshPolygon& polygon = mesh.polygons[i];
    const Vector3& p0 = mesh.vertices[polygon.vertex[0]].position;
    const Vector3& p1 = mesh.vertices[polygon.vertex[1]].position;
    const Vector3& p2 = mesh.vertices[polygon.vertex[2]].position;
    const double p0u = Component(p0, ray.u), p1u = Component(p1, ray.u), p2u = Component(p2, ray.u);
    const double p0w = Component(p0, ray.w), p1w = Component(p1, ray.w), p2w = Component(p2, ray.w);
    const double rayU = ray.atU, rayW = ray.atW;
    if ((rayU < p0u && rayU < p1u && rayU < p2u) || (rayU > p0u && rayU > p1u && rayU > p2u) ||
        (rayW < p0w && rayW < p1w && rayW < p2w) || (rayW > p0w && rayW > p1w && rayW > p2w)) {
        return false;
    }
    const double e1u = p1u - p0u, e1w = p1w - p0w;
    const double e2u = p2u - p0u, e2w = p2w - p0w;
    const double ru = rayU - p0u, rw = rayW - p0w;
    const double det = e1u * e2w - e2u * e1w;
    if (det == 0.0) return false;
    const double s = (e2w * ru - e2u * rw) / det;
    const double t = (e1u * rw - e1w * ru) / det;
    if (!(s >= 0.0 && t >= 0.0 && s + t <= 1.0)) return false;
    depth =
        (1.0 - s - t) * Component(p0, ray.d) + s * Component(p1, ray.d) + t * Component(p2, ray.d);
    return true;
}

// Marks the inside cells of one ray from its sorted crossings: every crossing cell,
// and the cells between a crossing that enters and the next one. Equal crossings are
// walked one by one: a ray through an edge shared by two triangles inverts the state
// twice, leaving it as it was.
void FillInside(const std::vector<int>& sortedCrossings, int rayBase, int step, int n,
                std::vector<std::int32_t>& insideFlags) {
    bool inside = false;
    int cursor = 0;
    for (int c : sortedCrossings) {
        if (inside) {
            for (int cell = cursor; cell < c; ++cell) insideFlags[rayBase + cell * step] = 1;
        }
        insideFlags[rayBase + c * step] = 1;
        inside = !inside;
        cursor = c + 1;
    }
    if (inside) {
        for (int cell = cursor; cell < n; ++cell) insideFlags[rayBase + cell * step] = 1;
    }
}

}  // namespace

void VoxelVolume::CastRays(const RkPolygonModel& mesh) {
    const RayColumns columns(n_, h_);
    const int stride[3] = {1, n_, nn_};
    const char* const doneLine[3] = {"xdir done...", "ydir done...", "zdir done..."};
    const int polygonCount = static_cast<int>(mesh.polygons.size());
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    std::vector<int> crossings;
    const std::vector<PolygonRays> polygonRays = RaysOfPolygons(mesh, columns);
    RayBins bins;  // reused by the three axes
    for (int d = 0; d < 3; ++d) {
        const int u = (d + 1) % 3;
        const int w = (d + 2) % 3;
        BinPolygonsToRays(polygonRays, n_, u, w, bins);
        for (int b = 0; b < n_; ++b) {
            const double rayW = columns.Position(b);
            for (int a = 0; a < n_; ++a) {
                const double rayU = columns.Position(a);
                const int rayBase = a * stride[u] + b * stride[w];
                const Ray ray{d, u, w, rayU, rayW};
                crossings.clear();
                const auto crossPolygon = [&](int i) {
                    double depth = 0.0;
                    if (!CrossingDepth(mesh, i, ray, depth)) return;
                    // A crossing on the upper face of the box belongs to the last
                    // cell; one outside the box (or NaN) has no cell and is dropped.
                    const int c = CellCoordinate(depth);
                    if (c < 0) return;
                    crossings.push_back(c);
                    const int v = rayBase + c * stride[d];
                    surfaceFlags_[v] = 1;
                    polygonOfVoxel_[v] = i;  // later crossings win
                };
                if (bins.everyPolygon) {
                    for (int i = 0; i < polygonCount; ++i) {
                        if (HasValidCorners(mesh.polygons[i], vertexCount)) crossPolygon(i);
                    }
                } else {
                    const int rayIndex = a + n_ * b;
                    for (int k = bins.start[rayIndex]; k < bins.start[rayIndex + 1]; ++k)
                        crossPolygon(bins.polygon[k]);
                }
                if (crossings.empty()) continue;
                std::sort(crossings.begin(), crossings.end());
                FillInside(crossings, rayBase, stride[d], n_, insideFlags_);
            }
        }
        ConsoleLog("%s", doneLine[d]);
    }
}

}  // namespace vantrel
