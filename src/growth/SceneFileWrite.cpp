// Writing a scene file. Keys keep the documented order, and arrays of numbers
// (vectors, colours, matrices) stay on one line so that the file remains readable.
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "geometry/SafeFileWriter.h"
#include "growth/SceneFile.h"

namespace vantrel {

using OrderedJson = nlohmann::ordered_json;

namespace {

OrderedJson VectorJson(const Vector3& v) {
    return OrderedJson::array({v.x, v.y, v.z});
}

OrderedJson MatrixJson(const Matrix4& matrix) {
    OrderedJson elements = OrderedJson::array();
    for (double element : matrix.m) elements.push_back(element);
    return elements;
}

OrderedJson RuleJson(const RewritingRule& rule) {
    OrderedJson json = OrderedJson::object();
    json["stemLength"] = rule.stemLength;
    json["stemWidth"] = rule.stemWidth;
    json["continuationLength"] = rule.continuationLength;
    json["continuationWidth"] = rule.continuationWidth;
    json["continuationMatrix"] = MatrixJson(rule.continuationMatrix);
    OrderedJson laterals = OrderedJson::array();
    for (const Lateral& lateral : rule.laterals) {
        OrderedJson entry = OrderedJson::object();
        entry["length"] = lateral.length;
        entry["width"] = lateral.width;
        entry["matrix"] = MatrixJson(lateral.matrix);
        laterals.push_back(entry);
    }
    json["laterals"] = laterals;
    return json;
}

OrderedJson SceneJson(const Scene& scene) {
    OrderedJson json = OrderedJson::object();
    json["version"] = kSceneFileVersion;
    OrderedJson startPoints = OrderedJson::array();
    for (const StartPoint& startPoint : scene.startPoints) {
        OrderedJson entry = OrderedJson::object();
        entry["position"] = VectorJson(startPoint.position);
        entry["directionPoint"] = VectorJson(startPoint.directionPoint);
        startPoints.push_back(entry);
    }
    json["startPoints"] = startPoints;
    OrderedJson curves = OrderedJson::array();
    for (const Polyline& curve : scene.featureCurves) {
        OrderedJson entry = OrderedJson::object();
        OrderedJson points = OrderedJson::array();
        for (const Vector3& point : curve.points) points.push_back(VectorJson(point));
        entry["points"] = points;
        // Widened to double, each float component prints in the shortest form that
        // reads back to the same float.
        entry["color"] =
            OrderedJson::array({curve.color[0], curve.color[1], curve.color[2], curve.color[3]});
        curves.push_back(entry);
    }
    json["featureCurves"] = curves;
    json["rule1"] = RuleJson(scene.rule1);
    json["rule2"] = RuleJson(scene.rule2);
    const GrowthParameters& parameters = scene.parameters;
    json["parameters"] = OrderedJson::object();
    json["parameters"]["SegmentResolution"] = parameters.SegmentResolution;
    json["parameters"]["GradientDirectionRate"] = parameters.GradientDirectionRate;
    json["parameters"]["RandomDirectionRate"] = parameters.RandomDirectionRate;
    json["parameters"]["ShuffleGrowthApexOrder"] = parameters.ShuffleGrowthApexOrder;
    json["parameters"]["CreateTreeStructure"] = parameters.CreateTreeStructure;
    json["parameters"]["FitOffsetFromTargetPolygon"] = parameters.FitOffsetFromTargetPolygon;
    return json;
}

bool IsNumberArray(const OrderedJson& value) {
    if (!value.is_array()) return false;
    for (const OrderedJson& element : value) {
        if (!element.is_number()) return false;
    }
    return true;
}

// Pretty-prints with two-space indentation, arrays of numbers on one line. Scalars
// use nlohmann's own output: shortest round-trip form, "." as decimal point always.
void Print(const OrderedJson& value, int indent, std::string& out) {
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    const std::string closing(static_cast<std::size_t>(indent), ' ');
    if (value.is_object() && !value.empty()) {
        out += "{\n";
        std::size_t remaining = value.size();
        for (auto member = value.begin(); member != value.end(); ++member) {
            out += inner + OrderedJson(member.key()).dump() + ": ";
            Print(member.value(), indent + 2, out);
            out += --remaining > 0 ? ",\n" : "\n";
        }
        out += closing + "}";
    } else if (value.is_array() && !value.empty() && !IsNumberArray(value)) {
        out += "[\n";
        for (std::size_t i = 0; i < value.size(); ++i) {
            out += inner;
            Print(value[i], indent + 2, out);
            out += i + 1 < value.size() ? ",\n" : "\n";
        }
        out += closing + "]";
    } else if (value.is_array()) {
        out += "[";
        for (std::size_t i = 0; i < value.size(); ++i) out += (i > 0 ? ", " : "") + value[i].dump();
        out += "]";
    } else {
        out += value.dump();
    }
}

}  // namespace

std::string SceneText(const Scene& scene) {
    std::string text;
    Print(SceneJson(scene), 0, text);
    text += "\n";
    return text;
}

bool WriteSceneFile(const std::string& path, const Scene& scene, std::string& error) {
    const std::string text = SceneText(scene);
    const FileWriteResult result = WriteFileSafely(path, [&text](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
    if (result == FileWriteResult::kCannotOpen) error = "cannot open '" + path + "' for writing";
    if (result == FileWriteResult::kCannotWrite) error = "cannot write '" + path + "'";
    return result == FileWriteResult::kWritten;
}

}  // namespace vantrel
