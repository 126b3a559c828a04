#include "voxel_reference.h"

#include <algorithm>
#include <cmath>

#include "heart/VoxelVolume.h"

namespace vantrel {
namespace reference {

namespace {

double Axis(const Vector3& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

// Cell along an axis: trunc(c*n/extent); n-1 on the upper face; -1 outside the box.
int Cell(double c, int n, double extent) {
    if (!(0.0 <= c && c <= extent)) return -1;
    return std::min(static_cast<int>(c * n / extent), n - 1);
}

}  // namespace

int NearestCentroid(const RkPolygonModel& mesh, const std::vector<std::int32_t>& ids,
                    const Vector3& q, double cutoff) {
    int best = -1;
    for (std::size_t i = 0; i < mesh.polygons.size() && i < ids.size(); ++i) {
        const int* corner = mesh.polygons[i].vertex;
        if (ids[i] == 0 || std::any_of(corner, corner + 3, [&](int v) {
                return v < 0 || v >= static_cast<int>(mesh.vertices.size());
            }))
            continue;
        const Vector3 c = (mesh.vertices[corner[0]].position + mesh.vertices[corner[1]].position +
                           mesh.vertices[corner[2]].position) *
                          0.33333333333;
        const double d = (q - c).LengthSquared();
        if (std::isfinite(c.x + c.y + c.z) && d < cutoff) cutoff = d, best = static_cast<int>(i);
    }
    return best;
}

Volume Build(const RkPolygonModel& mesh, const std::vector<std::int32_t>& ids, int n,
             double extent) {
    const double h = extent / n;
    const int nn = n * n, cells = nn * n, stride[3] = {1, n, nn};
    Volume volume;
    volume.surface = volume.inside = volume.layer = std::vector<std::int32_t>(cells, 0);
    volume.layerIndex = volume.polygonOfVoxel = std::vector<std::int32_t>(cells, -1);
    volume.density.assign(cells, 0.0);
    const auto centre = [&](int v) {
        return Vector3(v % n * h + h / 2, v / n % n * h + h / 2, v / nn * h + h / 2);
    };
    // Rays along each axis d through the centres of the columns (a, b) of the other
    // two axes (u, w), every ray tested against every polygon by its barycentric (s, t).
    // A cell of a ray is inside when it holds a crossing or has an odd number before it.
    for (int d = 0; d < 3; ++d) {
        const int u = (d + 1) % 3, w = (d + 2) % 3;
        const auto cell = [&](int a, int b, int c) {
            return a * stride[u] + b * stride[w] + c * stride[d];
        };
        std::vector<int> hits(cells, 0);
        for (std::size_t i = 0; i < mesh.polygons.size(); ++i) {
            double pu[3], pw[3], pd[3];
            for (int k = 0; k < 3; ++k) {
                const Vector3& p = mesh.vertices[mesh.polygons[i].vertex[k]].position;
                pu[k] = Axis(p, u);
                pw[k] = Axis(p, w);
                pd[k] = Axis(p, d);
            }
            const auto [uLow, uHigh] = std::minmax({pu[0], pu[1], pu[2]});
            const auto [wLow, wHigh] = std::minmax({pw[0], pw[1], pw[2]});
            const double e1u = pu[1] - pu[0], e1w = pw[1] - pw[0];
            const double e2u = pu[2] - pu[0], e2w = pw[2] - pw[0], det = e1u * e2w - e2u * e1w;
            for (int a = 0; a < n; ++a) {
                for (int b = 0; b < n; ++b) {
                    const double ru = a * h + h / 2, rw = b * h + h / 2;
                    if (ru < uLow || ru > uHigh || rw < wLow || rw > wHigh || det == 0.0) continue;
                    const double tu = ru - pu[0], tw = rw - pw[0];
                    const double s = (e2w * tu - e2u * tw) / det, t = (e1u * tw - e1w * tu) / det;
                    if (!(s >= 0.0 && t >= 0.0 && s + t <= 1.0)) continue;
                    const int c = Cell((1.0 - s - t) * pd[0] + s * pd[1] + t * pd[2], n, extent);
                    if (c < 0) continue;
                    ++hits[cell(a, b, c)];
                    volume.surface[cell(a, b, c)] = 1;
                    volume.polygonOfVoxel[cell(a, b, c)] = static_cast<int>(i);
                }
            }
        }
        for (int a = 0; a < n; ++a) {
            for (int b = 0; b < n; ++b) {
                for (int c = 0, before = 0; c < n; before += hits[cell(a, b, c++)])
                    if (hits[cell(a, b, c)] || before % 2) volume.inside[cell(a, b, c)] = 1;
            }
        }
    }
    // The fibre layer: the surface cells of segmented polygons, grown twice by the
    // inside cells off the grid's outer shell next to a layer cell; then off the shell.
    const auto onShell = [&](int v) {
        const int x = v % n, y = v / n % n, z = v / nn;
        return std::min({x, y, z}) == 0 || std::max({x, y, z}) == n - 1;
    };
    std::vector<std::int32_t>& layer = volume.layer;
    for (int v = 0; v < cells; ++v) {
        const int polygon = volume.polygonOfVoxel[v];  // -1 off the surface
        layer[v] = polygon >= 0 && polygon < static_cast<int>(ids.size()) && ids[polygon] != 0;
    }
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<std::int32_t> before = layer;
        for (int v = 0; v < cells; ++v)
            layer[v] |= !onShell(v) && volume.inside[v] &&
                        (before[v - 1] || before[v + 1] || before[v - n] || before[v + n] ||
                         before[v - nn] || before[v + nn]);
    }
    for (int v = 0; v < cells; ++v) {
        if (onShell(v)) layer[v] = 0;
        if (layer[v] && volume.polygonOfVoxel[v] == -1)
            volume.polygonOfVoxel[v] = NearestCentroid(mesh, ids, centre(v), 1e6);
    }
    for (int v = 0; v < cells; ++v) {
        if (!layer[v]) continue;
        const int index = volume.layerIndex[v] = static_cast<int>(volume.records.size());
        const int polygon = volume.polygonOfVoxel[v];
        volume.records.push_back(
            {v, index, polygon, centre(v), Vector3(), mesh.polygons[polygon].normal, {}});
    }
    return volume;
}

void Density::Stamp(int v) {
    const int x = v % n, y = v / n % n, z = v / (n * n);
    for (int dz = std::max(-5, -z); dz <= std::min(5, n - 1 - z); ++dz) {
        for (int dy = std::max(-5, -y); dy <= std::min(5, n - 1 - y); ++dy) {
            for (int dx = std::max(-5, -x); dx <= std::min(5, n - 1 - x); ++dx) {
                double& density = field[v + dx + n * dy + n * n * dz];
                density = std::max(
                    {density, 6.0 - std::sqrt(static_cast<double>(dx * dx + dy * dy + dz * dz)),
                     0.0});
            }
        }
    }
}

void Density::MarkStroke(const std::vector<Vector3>& points) {
    const double h = extent / n;
    const auto mark = [&](const Vector3& p) {
        const int x = Cell(p.x, n, extent), y = Cell(p.y, n, extent), z = Cell(p.z, n, extent);
        if (std::min({x, y, z}) >= 0) Stamp(x + n * y + n * n * z);
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double length = (points[i] - points[i - 1]).Length();
        const Vector3 step = (points[i] - points[i - 1]) * (h / 2) / length;
        Vector3 p = points[i - 1];
        for (double travelled = 0.0; travelled <= length; travelled += h / 2, p += step) mark(p);
        mark(points[i]);
    }
}

Vector3 Density::Escape(const LayerVoxel& record) const {
    // Neighbour e lies at (e % 3 - 1, e / 3 % 3 - 1, e / 9 - 1); 13 is the cell itself.
    const VoxelVolume::NeighbourTable& directions = VoxelVolume::neighbourDirections();
    Vector3 g(0.0, 0.0, 0.0);
    for (int e = 0; e < 27; ++e) {
        const int neighbour = record.voxel + e % 3 - 1 + n * (e / 3 % 3 - 1) + n * n * (e / 9 - 1);
        if (e != 13) g += (field[record.voxel] - field[neighbour]) * directions[e];
    }
    g = g - g.Dot(record.normal) * record.normal;
    if (g.Dot(g) == 0.0) return Vector3(0.0, 0.0, 0.0);
    g.Normalize();
    return g;
}

}  // namespace reference
}  // namespace vantrel
