#include "voxel_reference.h"

#include <cmath>
#include <cstdlib>
#include <set>

namespace vantrel {
namespace reference {

namespace {

double Axis(const Vector3& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

// Cell along an axis: trunc(c*n/extent); n-1 on the upper face; -1 outside the box.
int Cell(double c, int n, double extent) {
    if (!(0.0 <= c && c <= extent)) return -1;
    const int cell = static_cast<int>(c * n / extent);
    return cell < n ? cell : n - 1;
}

bool Segmented(const std::vector<std::int32_t>& regionIds, int polygon) {
    return polygon >= 0 && polygon < static_cast<int>(regionIds.size()) && regionIds[polygon] != 0;
}

}  // namespace

Volume BuildReferenceVolume(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds,
                            int n, double extent) {
    const double h = extent / n;
    const int nn = n * n;
    const int cells = nn * n;
    Volume volume;
    volume.surfaceFlags.assign(cells, 0);
    volume.insideFlags.assign(cells, 0);
    volume.layerFlags.assign(cells, 0);
    volume.layerIndex.assign(cells, -1);
    volume.polygonOfVoxel.assign(cells, -1);
    const int stride[3] = {1, n, nn};
    const int polygonCount = static_cast<int>(mesh.polygons.size());

    // Ray casting: every ray against every polygon.
    for (int d = 0; d < 3; ++d) {
        const int u = (d + 1) % 3;
        const int w = (d + 2) % 3;
        for (int a = 0; a < n; ++a) {
            for (int b = 0; b < n; ++b) {
                const double ru0 = a * h + h / 2;
                const double rw0 = b * h + h / 2;
                std::multiset<int> crossings;
                for (int i = 0; i < polygonCount; ++i) {
                    const MeshPolygon& polygon = mesh.polygons[i];
                    const Vector3& p0 = mesh.vertices[polygon.vertex[0]].position;
                    const Vector3& p1 = mesh.vertices[polygon.vertex[1]].position;
                    const Vector3& p2 = mesh.vertices[polygon.vertex[2]].position;
                    const double u0 = Axis(p0, u), u1 = Axis(p1, u), u2 = Axis(p2, u);
                    const double w0 = Axis(p0, w), w1 = Axis(p1, w), w2 = Axis(p2, w);
                    if (ru0 < u0 && ru0 < u1 && ru0 < u2) continue;
                    if (ru0 > u0 && ru0 > u1 && ru0 > u2) continue;
                    if (rw0 < w0 && rw0 < w1 && rw0 < w2) continue;
                    if (rw0 > w0 && rw0 > w1 && rw0 > w2) continue;
                    const double e1u = u1 - u0, e1w = w1 - w0, e2u = u2 - u0, e2w = w2 - w0;
                    const double ru = ru0 - u0, rw = rw0 - w0;
                    const double det = e1u * e2w - e2u * e1w;
                    if (det == 0.0) continue;
                    const double s = (e2w * ru - e2u * rw) / det;
                    const double t = (e1u * rw - e1w * ru) / det;
                    if (!(s >= 0.0 && t >= 0.0 && s + t <= 1.0)) continue;
                    const double q =
                        (1.0 - s - t) * Axis(p0, d) + s * Axis(p1, d) + t * Axis(p2, d);
                    const int c = Cell(q, n, extent);
                    if (c < 0) continue;
                    crossings.insert(c);
                    const int v = c * stride[d] + a * stride[u] + b * stride[w];
                    volume.surfaceFlags[v] = 1;
                    volume.polygonOfVoxel[v] = i;
                }
                bool inside = false;
                int cursor = 0;
                const auto cellOf = [&](int c) {
                    return c * stride[d] + a * stride[u] + b * stride[w];
                };
                for (int c : crossings) {
                    for (int k = cursor; k < c; ++k) {
                        if (inside) volume.insideFlags[cellOf(k)] = 1;
                    }
                    volume.insideFlags[cellOf(c)] = 1;
                    inside = !inside;
                    cursor = c + 1;
                }
                for (int k = cursor; k < n; ++k) {
                    if (inside) volume.insideFlags[cellOf(k)] = 1;
                }
            }
        }
    }

    // Fibre layer.
    for (int v = 0; v < cells; ++v) {
        if (volume.surfaceFlags[v] && Segmented(regionIds, volume.polygonOfVoxel[v]))
            volume.layerFlags[v] = 1;
    }
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::int32_t> copy = volume.layerFlags;
        for (int z = 1; z <= n - 2; ++z) {
            for (int y = 1; y <= n - 2; ++y) {
                for (int x = 1; x <= n - 2; ++x) {
                    const int v = x + n * y + nn * z;
                    const std::vector<std::int32_t>& before = volume.layerFlags;
                    if (volume.insideFlags[v] && !copy[v] &&
                        (before[v + 1] || before[v - 1] || before[v + n] || before[v - n] ||
                         before[v + nn] || before[v - nn])) {
                        copy[v] = 1;
                    }
                }
            }
        }
        volume.layerFlags = copy;
    }
    for (int v = 0; v < cells; ++v) {
        const int x = v % n, y = (v / n) % n, z = v / nn;
        if (x == 0 || y == 0 || z == 0 || x == n - 1 || y == n - 1 || z == n - 1)
            volume.layerFlags[v] = 0;
    }
    std::vector<Vector3> centroid(polygonCount);
    for (int i = 0; i < polygonCount; ++i) {
        if (!Segmented(regionIds, i)) continue;
        const MeshPolygon& polygon = mesh.polygons[i];
        centroid[i] =
            (mesh.vertices[polygon.vertex[0]].position + mesh.vertices[polygon.vertex[1]].position +
             mesh.vertices[polygon.vertex[2]].position) *
            0.33333333333;
    }
    for (int v = 0; v < cells; ++v) {
        if (!volume.layerFlags[v] || volume.polygonOfVoxel[v] != -1) continue;
        const int x = v % n, y = (v / n) % n, z = v / nn;
        const Vector3 centre(x * h + h / 2, y * h + h / 2, z * h + h / 2);
        double best = 1e6;
        for (int i = 0; i < polygonCount; ++i) {
            if (!Segmented(regionIds, i)) continue;
            const double distance = (centre - centroid[i]).LengthSquared();
            if (distance < best) {
                best = distance;
                volume.polygonOfVoxel[v] = i;
            }
        }
    }

    // Records.
    for (int z = 1; z <= n - 2; ++z) {
        for (int y = 1; y <= n - 2; ++y) {
            for (int x = 1; x <= n - 2; ++x) {
                const int v = x + n * y + nn * z;
                if (!volume.layerFlags[v]) continue;
                Record record;
                record.voxel = v;
                record.index = static_cast<int>(volume.records.size());
                record.polygon = volume.polygonOfVoxel[v];
                record.centre = Vector3(x * h + h / 2, y * h + h / 2, z * h + h / 2);
                record.normal = mesh.polygons[record.polygon].normal;
                volume.layerIndex[v] = record.index;
                volume.records.push_back(record);
            }
        }
    }
    return volume;
}

EagerEscapeDirections::EagerEscapeDirections(const VoxelVolume& layout)
    : layout_(layout),
      n_(layout.Resolution()),
      density_(layout.CellCount(), 0.0),
      escape_(layout.LayerVoxelCount(), Vector3(0.0, 0.0, 0.0)) {}

void EagerEscapeDirections::MarkStroke(const std::vector<Vector3>& points) {
    if (points.size() < 2) return;
    const double h = layout_.VoxelSize();
    const auto mark = [&](const Vector3& p) {
        const int v = layout_.VoxelIndexAt(p);
        if (v >= 0) MarkVoxel(v);
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double length = (points[i] - points[i - 1]).Length();
        const Vector3 step = (points[i] - points[i - 1]) * (h / 2) / length;
        Vector3 position = points[i - 1];
        double travelled = 0.0;
        do {
            mark(position);
            position += step;
            travelled += h / 2;
        } while (travelled <= length);
        mark(points[i]);
    }
}

void EagerEscapeDirections::MarkVoxel(int v) {
    if (density_[v] >= 6.0) return;
    const int nn = n_ * n_;
    const int x = v % n_, y = (v / n_) % n_, z = v / nn;
    const auto inGrid = [&](int c) { return c >= 0 && c < n_; };
    for (int dz = -5; dz <= 5; ++dz) {
        for (int dy = -5; dy <= 5; ++dy) {
            for (int dx = -5; dx <= 5; ++dx) {
                if (!inGrid(x + dx) || !inGrid(y + dy) || !inGrid(z + dz)) continue;
                const double k =
                    layout_.kernelTable()[std::abs(dz) + 6 * std::abs(dy) + 36 * std::abs(dx)];
                double& target = density_[v + dx + n_ * dy + nn * dz];
                if (k != 0.0 && k > target) target = k;
            }
        }
    }
    for (int dz = -6; dz <= 6; ++dz) {
        for (int dy = -6; dy <= 6; ++dy) {
            for (int dx = -6; dx <= 6; ++dx) {
                if (!inGrid(x + dx) || !inGrid(y + dy) || !inGrid(z + dz)) continue;
                const int record = layout_.layerIndex()[v + dx + n_ * dy + nn * dz];
                if (record != -1) Update(record);
            }
        }
    }
}

void EagerEscapeDirections::Update(int record) {
    const LayerVoxel& r = layout_.layerVoxels()[record];
    const int c = r.voxel;
    const int nn = n_ * n_;
    Vector3 g(0.0, 0.0, 0.0);
    for (int e = 0; e < 27; ++e) {
        if (e == 13) continue;
        const int dx = e % 3 - 1, dy = (e / 3) % 3 - 1, dz = e / 9 - 1;
        g += (density_[c] - density_[c + dx + n_ * dy + nn * dz]) *
             VoxelVolume::neighbourDirections()[e];
    }
    g = g - g.Dot(r.normal) * r.normal;
    if (g.Dot(g) == 0.0) {
        escape_[record] = Vector3(0.0, 0.0, 0.0);
    } else {
        g.Normalize();
        escape_[record] = g;
    }
}

}  // namespace reference
}  // namespace vantrel
