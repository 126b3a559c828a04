// Generates the demo heart in a folder (normally the project's data/):
//   demo-heart.obj    a closed left-ventricular cavity (the endocardial surface) in
//                     millimetres, polygon normals pointing out of the cavity;
//   demo-heart.kxseg  its segmentation for the refined mesh the program builds from
//                     it: the wall segmented, the flat valve plane not.
//
// The cavity is a prolate spheroid (radius 23 mm, half length 55 mm) with its apex
// at the origin, cut by the valve plane 16.5 mm above its equator (71.5 mm long),
// and bulging 12 % more on its free-wall side (+x) than on the septal side (-x).
// It is meshed ring by ring from the apex to the rim and on over the valve plane to
// its centre, with triangles of about 2.7 mm. The segmentation is made by loading
// the written file through HeartModel (load, normalise, refine) and marking every
// polygon that does not face up the long axis.
//
// Usage: make_demo_heart <output folder>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "geometry/ConsoleLog.h"
#include "geometry/Vector3.h"
#include "heart/HeartModel.h"
#include "mesh/RkPolygonModel.h"

namespace {

using vantrel::HeartModel;
using vantrel::MeshPolygon;
using vantrel::MeshVertex;
using vantrel::RkPolygonModel;
using vantrel::Vector3;

const double kPi = 3.14159265358979323846;
const double kRadius = 23.0;           // equatorial radius of the spheroid (mm)
const double kHalfLength = 55.0;       // polar half axis (mm)
const double kBaseAboveEquator = 0.3;  // valve plane height above the equator, in half lengths
const double kFreeWallBulge = 0.12;    // radius factor 1 + bulge * cos(azimuth)
const double kEdgeLength = 2.7;        // target triangle edge (mm)
// Polygons of the refined, normalised mesh whose normal is within about 45 degrees
// of the long axis (pointing to the base) belong to the valve plane.
const double kValveNormalZ = 0.7;

double RadiusFactor(double azimuth) {
    return 1.0 + kFreeWallBulge * std::cos(azimuth);
}

// Point of the wall at polar angle theta from the apex.
Vector3 WallPoint(double theta, double azimuth) {
    const double r = kRadius * std::sin(theta) * RadiusFactor(azimuth);
    return Vector3(r * std::cos(azimuth), r * std::sin(azimuth),
                   kHalfLength - kHalfLength * std::cos(theta));
}

using Ring = std::vector<int>;

int RingSize(double circumference) {
    const int size = static_cast<int>(std::lround(circumference / kEdgeLength));
    return size < 6 ? 6 : size;
}

// Polar angles from the apex to the rim, spaced evenly along the meridian.
std::vector<double> RingAngles(double baseAngle) {
    const int samples = 4000;
    std::vector<double> arc(samples + 1, 0.0);
    for (int k = 1; k <= samples; ++k) {
        const double t0 = baseAngle * (k - 1) / samples;
        const double t1 = baseAngle * k / samples;
        const double dr = kRadius * (std::sin(t1) - std::sin(t0));
        const double dz = kHalfLength * (std::cos(t0) - std::cos(t1));
        arc[k] = arc[k - 1] + std::sqrt(dr * dr + dz * dz);
    }
    const int rings = static_cast<int>(std::lround(arc[samples] / kEdgeLength));
    std::vector<double> angles;
    int k = 0;
    for (int i = 1; i <= rings; ++i) {
        const double target = arc[samples] * i / rings;
        while (k < samples && arc[k + 1] < target) ++k;
        const double fraction = k < samples ? (target - arc[k]) / (arc[k + 1] - arc[k]) : 0.0;
        angles.push_back(baseAngle * (k + fraction) / samples);
    }
    angles.back() = baseAngle;
    return angles;
}

class CavityBuilder {
public:
    RkPolygonModel Build() {
        const double baseAngle = std::acos(-kBaseAboveEquator);
        std::vector<Ring> rings;
        rings.push_back({AddVertex(Vector3(0.0, 0.0, 0.0))});

        for (const double theta : RingAngles(baseAngle)) {
            const int size = RingSize(2.0 * kPi * kRadius * std::sin(theta));
            Ring ring;
            for (int k = 0; k < size; ++k)
                ring.push_back(AddVertex(WallPoint(theta, 2.0 * kPi * k / size)));
            rings.push_back(ring);
        }

        // The valve plane: rings shrinking towards the centre of the rim, in the rim's plane.
        const double baseZ = kHalfLength + kHalfLength * kBaseAboveEquator;
        const double rimRadius = kRadius * std::sin(baseAngle);
        const int capRings = static_cast<int>(std::lround(rimRadius / kEdgeLength));
        for (int j = capRings - 1; j >= 1; --j) {
            const double shrink = static_cast<double>(j) / capRings;
            const int size = RingSize(2.0 * kPi * rimRadius * shrink);
            Ring ring;
            for (int k = 0; k < size; ++k) {
                const double azimuth = 2.0 * kPi * k / size;
                const double r = rimRadius * shrink * RadiusFactor(azimuth);
                ring.push_back(
                    AddVertex(Vector3(r * std::cos(azimuth), r * std::sin(azimuth), baseZ)));
            }
            rings.push_back(ring);
        }
        rings.push_back({AddVertex(Vector3(0.0, 0.0, baseZ))});

        for (std::size_t i = 1; i < rings.size(); ++i) Stitch(rings[i - 1], rings[i]);
        return model_;
    }

private:
    int AddVertex(const Vector3& position) {
        MeshVertex vertex;
        vertex.position = position;
        model_.vertices.push_back(vertex);
        return static_cast<int>(model_.vertices.size()) - 1;
    }

    void AddTriangle(int a, int b, int c) {
        MeshPolygon polygon;
        polygon.vertex[0] = a;
        polygon.vertex[1] = b;
        polygon.vertex[2] = c;
        model_.polygons.push_back(polygon);
    }

    // Joins ring `from` to the next ring `to` (further from the apex). With the rings
    // running apex -> rim -> valve centre, (from[k], from[k+1], to[m]) turns outwards.
    void Stitch(const Ring& from, const Ring& to) {
        const std::size_t nf = from.size();
        const std::size_t nt = to.size();
        if (nf == 1) {
            for (std::size_t t = 0; t < nt; ++t) AddTriangle(from[0], to[(t + 1) % nt], to[t]);
            return;
        }
        if (nt == 1) {
            for (std::size_t f = 0; f < nf; ++f) AddTriangle(from[f], from[(f + 1) % nf], to[0]);
            return;
        }
        std::size_t f = 0, t = 0;
        while (f < nf || t < nt) {
            // Advance on the ring whose next vertex comes first around the axis: vertex k
            // of a ring of n lies at k/n of a turn.
            const bool advanceFrom = t == nt || (f < nf && (f + 1) * nt <= (t + 1) * nf);
            if (advanceFrom) {
                AddTriangle(from[f], from[(f + 1) % nf], to[t % nt]);
                ++f;
            } else {
                AddTriangle(from[f % nf], to[(t + 1) % nt], to[t]);
                ++t;
            }
        }
    }

    RkPolygonModel model_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::string meshPath = folder + "/demo-heart.obj";
    const std::string segmentationPath = folder + "/demo-heart.kxseg";

    const RkPolygonModel cavity = CavityBuilder().Build();
    if (!cavity.SaveObj(meshPath)) {
        std::fprintf(stderr, "cannot write %s\n", meshPath.c_str());
        return 1;
    }

    // The segmentation must fit the mesh the program makes of the written file.
    HeartModel heart;
    if (!heart.LoadHeart(meshPath, vantrel::SegmentationChoice::None())) return 1;
    int segmented = 0;
    for (std::size_t i = 0; i < heart.mesh.polygons.size(); ++i) {
        const bool valvePlane = heart.mesh.polygons[i].normal.z > kValveNormalZ;
        heart.regionIds[i] = valvePlane ? 0 : 1;
        segmented += valvePlane ? 0 : 1;
    }
    if (!heart.ExportSegmentation(segmentationPath)) return 1;
    vantrel::ConsoleLog(
        "\n%s: %zu vertices, %zu triangles; %s: %d of %zu refined polygons "
        "segmented\n",
        meshPath.c_str(), cavity.vertices.size(), cavity.polygons.size(), segmentationPath.c_str(),
        segmented, heart.mesh.polygons.size());
    return 0;
}
