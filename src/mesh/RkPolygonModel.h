#pragma once
// RkPolygonModel: the triangle mesh that holds a heart surface. Three public
// arrays (vertices, polygons, winged edges), OBJ and small text formats,
// normals, centroid refinement, smoothing and adjacency walks.
//
// The edge table and the vertices' edge links are valid only after
// BuildEdgeTable and until the polygons change. Adjacency walks and
// SmoothTangential read them; RefineByCentroids leaves a fresh table behind.
// Not safe for concurrent use of one model.
#include <string>
#include <vector>

#include "geometry/Vector3.h"
#include "mesh/MeshElements.h"

namespace vantrel {

class RkPolygonModel {
public:
    RkPolygonModel() = default;
    RkPolygonModel(const RkPolygonModel&) = default;
    RkPolygonModel& operator=(const RkPolygonModel&) = default;
    virtual ~RkPolygonModel() = default;

    // Clear, then a deep copy of other's edges, creaseThreshold, polygons,
    // smoothingPasses and vertices. Copying a model onto itself changes nothing.
    virtual void CopyFrom(const RkPolygonModel& other);

    // Empties the three arrays; creaseThreshold = -1.0, smoothingPasses = 0.
    void Clear();

    // True when both vertex counts and both polygon counts are equal.
    bool SameCounts(const RkPolygonModel& other) const;

    // ---- files (ObjReader.cpp, MeshReaders.h, ObjWriter.cpp, IndexedTextFormat.cpp,
    // VrmlWriter.cpp)

    // Reads `path` by its extension, in any letter case: ".obj" with LoadObj,
    // ".stl", ".ply", ".off" and ".vtk" with the readers of MeshReaders.h. Any
    // other path, or a file refused by its reader: one console line, false, the
    // model untouched.
    bool Load(const std::string& path);

    // Wavefront OBJ reader ("v", "vt" and the triangle of the first three corners
    // of each "f"; negative indices count back from the vertices read so far).
    // Replaces the whole model on success; normals and the edge table are not
    // computed. On an unreadable file, a malformed "v"/"vt"/"f" line, a
    // non-finite coordinate, an index outside the vertices or a file without
    // faces: one console line naming the file (and line), false, model unchanged.
    bool LoadObj(const std::string& path);

    // Writes "#Polygon model by RkPolygonModel", "v %f %f %f" per vertex and
    // "f %d %d %d" (1-based) per polygon. False when the file cannot be
    // opened or written; the previous file is then kept.
    bool SaveObj(const std::string& path) const;

    // Counted text format: "%d %d" (vertex and polygon counts), "%f %f %f" per
    // vertex, "%d %d %d" (0-based) per polygon. Throws std::runtime_error
    // "cannot open file." when the file cannot be opened; returns 0 when written,
    // EOF when writing failed (the previous file is then kept).
    int SaveIndexedText(const std::string& path) const;

    // Reads the counted text format and runs BuildEdgeTable. Throws
    // std::runtime_error "Can't load file" (cannot open) or "Illegal file"
    // (bad counts, missing or malformed lines, non-finite values, indices
    // outside the vertices); after a throw the model is unchanged.
    void LoadIndexedText(const std::string& path);

    // VRML 1.0 text (Coordinate3 + IndexedFaceSet, six significant digits).
    // False when the file cannot be opened or written; the previous file is then kept.
    bool SaveVrml(const std::string& path) const;

    // ---- topology and geometry

    // Recomputes the polygon normals and the winged-edge table from the
    // polygons, sets every vertex's edge link, marks sharp edges when
    // creaseThreshold > -1.0 and runs smoothingPasses length-weighted
    // smoothing passes. Edges get indices in order of first use.
    void BuildEdgeTable();

    // Adds one vertex per polygon at its centroid and replaces every edge by two
    // triangles joining its ends to the centroids on either side, so a closed
    // mesh of F triangles becomes 3F triangles and V + F vertices; then
    // BuildEdgeTable and SmoothTangential(2). A boundary edge gives the one
    // triangle to its existing side, keeping the boundary and winding.
    // Builds the edge table first if there is none.
    void RefineByCentroids();

    // `passes` times: each vertex moves to the mean of its neighbours plus its
    // offset from that mean along its (unnormalised) vertex normal; its texture
    // coordinate becomes its neighbours' mean. A vertex without neighbours stays.
    void SmoothTangential(int passes);

    // Unit polygon normals and vertex normals (the normalised sum of the unit
    // normals of the adjacent polygons). Degenerate triangles get their
    // normal's `zero` flag and add nothing.
    void ComputeNormals();

    // Unit normal of (p1 - p0) x (p2 - p0) of `polygon` from current positions
    // (a degenerate triangle gives (0, 0, 0) with `zero` set).
    Vector3 PolygonNormal(int polygon) const;

    // Adds d to every vertex position.
    void Translate(const Vector3& d);

    // Moves the bounding-box centre to the origin and scales uniformly so that
    // the largest extent equals `size`. A model whose extent is 0 is only moved.
    void FitToSize(double size);

    // Every position p becomes centre + (p - centre) * factor; factor 1.0 is a no-op.
    void ScaleAbout(double factor, const Vector3& centre);

    // ---- adjacency walks (need a current edge table)
    // Each walk starts at the vertex's edge link and turns around the vertex
    // through the wings; at a boundary it walks the other way from the link too.
    // Walks end at a vertex without edges, never visit an edge twice and only
    // report polygons and edges that exist, also on non-manifold input.

    // Appends the polygons around `vertex` to `out`, in walk order.
    void PolygonsAroundVertex(int vertex, std::vector<int>& out) const;
    // Appends the vertices joined to `vertex` and the joining edges, in walk order.
    void NeighboursOfVertex(int vertex, std::vector<int>& neighbourVertices,
                            std::vector<int>& neighbourEdges) const;
    void VerticesAroundVertex(int vertex, std::vector<int>& out) const;
    void EdgesAroundVertex(int vertex, std::vector<int>& out) const;
    // Number of edges of the same walk.
    int Valence(int vertex) const;

    std::vector<MeshVertex> vertices;
    std::vector<MeshPolygon> polygons;
    // Winged-edge table, filled only by BuildEdgeTable.
    std::vector<MeshEdge> edges;
    // Cosine threshold for marking edges sharp; -1.0 or less switches marking off.
    double creaseThreshold = -1.0;
    // Length-weighted smoothing passes at the end of BuildEdgeTable.
    int smoothingPasses = 0;
};

}  // namespace vantrel
