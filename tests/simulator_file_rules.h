#pragma once
// Readers of the simulator files written the way their consumers read them, with
// the consumers' rules, for the conduction export tests and the program tests.
//
// openCARP .pkje (meshalyzer's reader): the cable count, then per cable a line
// "Cable i" that is discarded whole, exactly eight numbers (parent 0, parent 1,
// child 0, child 1, node count, radius, R_gj, sigma_i) and the node triplets.
//
// MonoAlg3D network: legacy VTK, "POINTS N float", then "LINES E 3E" of "2 a b" lines;
// the network is walked from point 0 along the lines' direction.
#include <array>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vantrel {
namespace simulator_files {

using Point = std::array<double, 3>;

inline double Distance(const Point& a, const Point& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

struct PkjeCable {
    int parents[2] = {-1, -1};
    int children[2] = {-1, -1};
    double radius = 0, gapResistance = 0, sigmaI = 0;
    std::vector<Point> nodes;
};

// Reads `text` as the consumer does; "" or what went wrong.
inline std::string ReadPkje(const std::string& text, std::vector<PkjeCable>& cables) {
    std::istringstream in(text);
    long long count = -1;
    if (!(in >> count) || count < 0) return "no cable count";
    std::string line;
    std::getline(in, line);  // the rest of the count's line
    for (long long i = 0; i < count; ++i) {
        const std::string at = "cable " + std::to_string(i) + ": ";
        in >> std::ws;
        if (!std::getline(in, line) || line.rfind("Cable", 0) != 0) return at + "no 'Cable' line";
        PkjeCable cable;
        long long n = 0;
        if (!(in >> cable.parents[0] >> cable.parents[1] >> cable.children[0] >>
              cable.children[1] >> n >> cable.radius >> cable.gapResistance >> cable.sigmaI))
            return at + "eight numbers expected";
        if (n < 2) return at + "fewer than 2 nodes";
        cable.nodes.resize(static_cast<std::size_t>(n));
        for (Point& p : cable.nodes) {
            if (!(in >> p[0] >> p[1] >> p[2])) return at + "short node list";
        }
        cables.push_back(cable);
    }
    in >> std::ws;
    return in.eof() ? std::string() : "text after the last cable";
}

// The structure rules of a cable network; "" or the first rule broken.
inline std::string CheckPkjeStructure(const std::vector<PkjeCable>& cables) {
    const int count = static_cast<int>(cables.size());
    auto names = [](const int(&list)[2], int i) { return list[0] == i || list[1] == i; };
    for (int i = 0; i < count; ++i) {
        const PkjeCable& cable = cables[i];
        const std::string at = "cable " + std::to_string(i) + ": ";
        for (int k = 0; k < 2; ++k) {
            const int child = cable.children[k], parent = cable.parents[k];
            if (child < -1 || child >= count || parent < -1 || parent >= count)
                return at + "bad index";
            if (child >= 0 && (child <= i || !names(cables[child].parents, i) ||
                               cables[child].nodes.front() != cable.nodes.back()))
                return at + "child before it, not naming it or not starting at its end";
            if (parent >= 0 && !names(cables[parent].children, i))
                return at + "parent does not name it";
        }
        if (cable.children[0] >= 0 && cable.children[0] == cable.children[1])
            return at + "one child twice";
        for (std::size_t n = 1; n < cable.nodes.size(); ++n) {
            if (!(Distance(cable.nodes[n - 1], cable.nodes[n]) > 0)) return at + "zero-length step";
        }
    }
    return std::string();
}

struct MonoAlg3dNetwork {
    std::vector<Point> points;
    std::vector<std::array<int, 2>> lines;
};

// Reads the POINTS and LINES sections; "" or what went wrong.
inline std::string ReadMonoAlg3d(const std::string& text, MonoAlg3dNetwork& network) {
    std::istringstream in(text);
    std::string word;
    while (in >> word && word != "POINTS") {
    }
    long long n = 0, lines = 0, size = 0;
    if (!(in >> n >> word) || word != "float") return "no 'POINTS N float'";
    network.points.resize(static_cast<std::size_t>(n));
    for (Point& p : network.points) {
        if (!(in >> p[0] >> p[1] >> p[2])) return "short POINTS";
    }
    if (!(in >> word >> lines >> size) || word != "LINES" || size != 3 * lines)
        return "no 'LINES E 3E'";
    for (long long i = 0; i < lines; ++i) {
        int two = 0, a = 0, b = 0;
        if (!(in >> two >> a >> b) || two != 2 || a < 0 || b < 0 || a >= n || b >= n)
            return "line " + std::to_string(i) + " is not 2 valid ids";
        network.lines.push_back({a, b});
    }
    if (in >> word) return "'" + word + "' after the lines (no point data expected)";
    return std::string();
}

// The rules MonoAlg3D's tree walk needs; "" or the first rule broken.
inline std::string CheckMonoAlg3dRules(const MonoAlg3dNetwork& network) {
    const std::size_t n = network.points.size();
    if (n == 0) return "no points";
    if (std::set<Point>(network.points.begin(), network.points.end()).size() != n)
        return "duplicate points";
    // Walked from point 0 along the lines, every other point is reached exactly once:
    // each has one line in, and following lines in backwards leads to point 0.
    std::vector<int> from(n, -1);
    for (const auto& line : network.lines) {
        if (!(Distance(network.points[line[0]], network.points[line[1]]) > 0))
            return "zero-length line";
        if (line[1] == 0 || from[line[1]] >= 0)
            return "a second way into point " + std::to_string(line[1]);
        from[line[1]] = line[0];
    }
    for (std::size_t v = 1; v < n; ++v) {
        std::size_t steps = 0;
        for (int p = static_cast<int>(v); p != 0; p = from[p]) {
            if (p < 0 || ++steps > n) return "point " + std::to_string(v) + " not reached";
        }
    }
    return std::string();
}

}  // namespace simulator_files
}  // namespace vantrel
