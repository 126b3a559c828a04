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
#include <vector>

#include "geometry/ConsoleLog.h"
#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

namespace {

double Component(const Vector3& p, int axis) { return axis == 0 ? p.x : (axis == 1 ? p.y : p.z); }

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

RayBins BinPolygonsToRays(const RkPolygonModel& mesh, int n, const RayColumns& columns, int u, int w) {
    const int polygonCount = static_cast<int>(mesh.polygons.size());
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    // Ray rectangle of each polygon: first and last a, first and last b; empty
    // (first a > last a) for a polygon that no ray can cross.
    std::vector<int> rectangle(4 * static_cast<std::size_t>(polygonCount), 0);
    long long pairs = 0;
    for (int i = 0; i < polygonCount; ++i) {
        int* r = &rectangle[4 * static_cast<std::size_t>(i)];
        r[1] = -1;
        const MeshPolygon& polygon = mesh.polygons[i];
        if (!HasValidCorners(polygon, vertexCount)) continue;
        const Vector3& p0 = mesh.vertices[polygon.vertex[0]].position;
        const Vector3& p1 = mesh.vertices[polygon.vertex[1]].position;
        const Vector3& p2 = mesh.vertices[polygon.vertex[2]].position;
        const double u0 = Component(p0, u), u1 = Component(p1, u), u2 = Component(p2, u);
        const double w0 = Component(p0, w), w1 = Component(p1, w), w2 = Component(p2, w);
        // A NaN coordinate makes the crossing determinant NaN for every ray.
        if (std::isnan(u0) || std::isnan(u1) || std::isnan(u2) || std::isnan(w0) || std::isnan(w1) ||
            std::isnan(w2)) {
            continue;
        }
        int a0, a1, b0, b1;
        columns.Range(std::min({u0, u1, u2}), std::max({u0, u1, u2}), a0, a1);
        columns.Range(std::min({w0, w1, w2}), std::max({w0, w1, w2}), b0, b1);
        if (a0 > a1 || b0 > b1) continue;
        r[0] = a0;
        r[1] = a1;
        r[2] = b0;
        r[3] = b1;
        pairs += static_cast<long long>(a1 - a0 + 1) * (b1 - b0 + 1);
    }
    RayBins bins;
    if (pairs > kMaxBinnedPairs) {
        bins.everyPolygon = true;
        return bins;
    }
    bins.start.assign(static_cast<std::size_t>(n) * n + 1, 0);
    for (int i = 0; i < polygonCount; ++i) {
        const int* r = &rectangle[4 * static_cast<std::size_t>(i)];
        for (int b = r[2]; b <= r[3] && r[0] <= r[1]; ++b) {
            for (int a = r[0]; a <= r[1]; ++a) ++bins.start[a + n * b + 1];
        }
    }
    for (std::size_t ray = 1; ray < bins.start.size(); ++ray) bins.start[ray] += bins.start[ray - 1];
    bins.polygon.resize(bins.start.back());
    std::vector<int> fill(bins.start.begin(), bins.start.end() - 1);
    for (int i = 0; i < polygonCount; ++i) {
        const int* r = &rectangle[4 * static_cast<std::size_t>(i)];
        for (int b = r[2]; b <= r[3] && r[0] <= r[1]; ++b) {
            for (int a = r[0]; a <= r[1]; ++a) bins.polygon[fill[a + n * b]++] = i;
        }
    }
    return bins;
}

}  // namespace

void VoxelVolume::CastRays(const RkPolygonModel& mesh) {
    const RayColumns columns(n_, h_);
    const int stride[3] = {1, n_, nn_};
    const char* const doneLine[3] = {"xdir done...", "ydir done...", "zdir done..."};
    const int polygonCount = static_cast<int>(mesh.polygons.size());
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    std::vector<int> crossings;
    for (int d = 0; d < 3; ++d) {
        const int u = (d + 1) % 3;
        const int w = (d + 2) % 3;
        const RayBins bins = BinPolygonsToRays(mesh, n_, columns, u, w);
        for (int b = 0; b < n_; ++b) {
            const double rayW = columns.Position(b);
            for (int a = 0; a < n_; ++a) {
                const double rayU = columns.Position(a);
                const int rayBase = a * stride[u] + b * stride[w];
                crossings.clear();
                const auto crossPolygon = [&](int i) {
                    const MeshPolygon& polygon = mesh.polygons[i];
                    const Vector3& p0 = mesh.vertices[polygon.vertex[0]].position;
                    const Vector3& p1 = mesh.vertices[polygon.vertex[1]].position;
                    const Vector3& p2 = mesh.vertices[polygon.vertex[2]].position;
                    const double p0u = Component(p0, u), p1u = Component(p1, u), p2u = Component(p2, u);
                    const double p0w = Component(p0, w), p1w = Component(p1, w), p2w = Component(p2, w);
                    if ((rayU < p0u && rayU < p1u && rayU < p2u) || (rayU > p0u && rayU > p1u && rayU > p2u) ||
                        (rayW < p0w && rayW < p1w && rayW < p2w) || (rayW > p0w && rayW > p1w && rayW > p2w)) {
                        return;
                    }
                    const double e1u = p1u - p0u, e1w = p1w - p0w;
                    const double e2u = p2u - p0u, e2w = p2w - p0w;
                    const double ru = rayU - p0u, rw = rayW - p0w;
                    const double det = e1u * e2w - e2u * e1w;
                    if (det == 0.0) return;
                    const double s = (e2w * ru - e2u * rw) / det;
                    const double t = (e1u * rw - e1w * ru) / det;
                    if (!(s >= 0.0 && t >= 0.0 && s + t <= 1.0)) return;
                    const double depth =
                        (1.0 - s - t) * Component(p0, d) + s * Component(p1, d) + t * Component(p2, d);
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
                    const int ray = a + n_ * b;
                    for (int k = bins.start[ray]; k < bins.start[ray + 1]; ++k) crossPolygon(bins.polygon[k]);
                }
                if (crossings.empty()) continue;
                std::sort(crossings.begin(), crossings.end());
                // Equal crossings are walked one by one: a ray through an edge shared
                // by two triangles inverts the state twice, leaving it as it was.
                bool inside = false;
                int cursor = 0;
                for (int c : crossings) {
                    if (inside) {
                        for (int cell = cursor; cell < c; ++cell) insideFlags_[rayBase + cell * stride[d]] = 1;
                    }
                    insideFlags_[rayBase + c * stride[d]] = 1;
                    inside = !inside;
                    cursor = c + 1;
                }
                if (inside) {
                    for (int cell = cursor; cell < n_; ++cell) insideFlags_[rayBase + cell * stride[d]] = 1;
                }
            }
        }
        ConsoleLog("%s", doneLine[d]);
    }
}

}  // namespace vantrel
