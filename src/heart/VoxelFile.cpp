// The voxel file: the five per-cell arrays as text, one line per cell, so a layer
// can be kept and loaded again without ray casting.
//
//   #vodelSize <n^3>
//   <v> <surface> <inside> <layer> <layerIndex> <polygon>     (one line per cell)
//   #end
//
// The reader trusts nothing: it checks the count before allocating, parses every
// number with range checks, validates each cell against the mesh and the grid, and
// changes the volume only when the whole file is good.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "geometry/ConsoleLog.h"
#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

namespace {

// Whitespace-separated words of a file; a word longer than any valid one is an error.
class WordReader {
public:
    explicit WordReader(std::FILE* file) : file_(file) {}

    bool Next(std::string& word) {
        word.clear();
        int c = std::getc(file_);
        while (c != EOF && std::isspace(c)) c = std::getc(file_);
        while (c != EOF && !std::isspace(c)) {
            if (word.size() >= kMaxWordLength) return false;
            word.push_back(static_cast<char>(c));
            c = std::getc(file_);
        }
        return !word.empty();
    }

    bool NextInt(long long& value) {
        if (!Next(word_)) return false;
        const char* text = word_.c_str();
        char* end = nullptr;
        errno = 0;
        value = std::strtoll(text, &end, 10);
        return errno == 0 && end != text && *end == '\0';
    }

    bool NextInt32(std::int32_t& value) {
        long long wide = 0;
        if (!NextInt(wide) || wide < INT32_MIN || wide > INT32_MAX) return false;
        value = static_cast<std::int32_t>(wide);
        return true;
    }

private:
    static constexpr std::size_t kMaxWordLength = 32;
    std::FILE* file_;
    std::string word_;
};

}  // namespace

bool VoxelVolume::SaveVoxelFile(std::FILE* file) const {
    const int cells = CellCount();
    std::fprintf(file, "#vodelSize %d\n", cells);
    for (int v = 0; v < cells; ++v) {
        std::fprintf(file, "%d %d %d %d %d %d\n", v, surfaceFlags_[v], insideFlags_[v],
                     layerFlags_[v], layerIndex_[v], polygonOfVoxel_[v]);
    }
    std::fprintf(file, "#end\n");
    return std::fflush(file) == 0 && !std::ferror(file);
}

bool VoxelVolume::LoadVoxelFile(std::FILE* file, const RkPolygonModel& mesh) {
    const auto refuse = [](const char* reason, long long cell) {
        if (cell >= 0) {
            ConsoleLog("voxel file refused: %s (cell %lld)\n", reason, cell);
        } else {
            ConsoleLog("voxel file refused: %s\n", reason);
        }
        return false;
    };
    WordReader reader(file);
    std::string word;
    long long count = 0;
    if (!reader.Next(word) || word != "#vodelSize") return refuse("no \"#vodelSize\" header", -1);
    if (!reader.NextInt(count)) return refuse("missing or malformed cell count", -1);
    const int cells = CellCount();
    if (count != cells) return refuse("cell count differs from the grid's", -1);

    const int polygonCount = static_cast<int>(mesh.polygons.size());
    std::vector<std::int32_t> surface(cells), inside(cells), layer(cells), index(cells),
        polygon(cells);
    for (int v = 0; v < cells; ++v) {
        std::int32_t cellNumber = 0;  // written for the reader's eye; the order is what counts
        if (!reader.NextInt32(cellNumber) || !reader.NextInt32(surface[v]) ||
            !reader.NextInt32(inside[v]) || !reader.NextInt32(layer[v]) ||
            !reader.NextInt32(index[v]) || !reader.NextInt32(polygon[v])) {
            return refuse("missing or malformed cell line", v);
        }
        if (polygon[v] < -1 || polygon[v] >= polygonCount)
            return refuse("polygon outside the mesh", v);
        if (layer[v] != 0) {
            const int x = v % n_;
            const int y = (v / n_) % n_;
            const int z = v / nn_;
            // Layer cells need all 26 neighbours and a polygon for their normal.
            if (x == 0 || y == 0 || z == 0 || x == n_ - 1 || y == n_ - 1 || z == n_ - 1) {
                return refuse("layer cell on the outer shell of the grid", v);
            }
            if (polygon[v] < 0) return refuse("layer cell without a polygon", v);
        }
    }
    if (!reader.Next(word) || word != "#end") return refuse("no \"#end\" after the cells", -1);
    ConsoleLog("%s scceeded!\n", word.c_str());

    surfaceFlags_.swap(surface);
    insideFlags_.swap(inside);
    layerFlags_.swap(layer);
    layerIndex_.swap(index);
    polygonOfVoxel_.swap(polygon);
    // The new records hold no strokes, so the density they were stamped with goes too.
    std::fill(stampDistance_.begin(), stampDistance_.end(), kNoStamp);
    densityCopyCurrent_ = false;
    MakeRecords(mesh, 0.0, 0.0);
    return true;
}

}  // namespace vantrel
