// Reading a scene file: a path-tracking JSON parse, then a checked walk over the
// document that names the JSON path of the first value it refuses.
#include <cmath>
#include <cstddef>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "growth/SceneFile.h"
#include "heart/HeartModel.h"

namespace vantrel {

using Json = nlohmann::json;

namespace {

// Thrown by the checks below and turned into a SceneFileError at the top: one
// refusal ends the whole read, so unwinding is the simplest way out of the walk.
struct Refusal {
    std::string path;
    std::string message;
};

std::string MemberPath(const std::string& parent, const std::string& key) {
    return parent.empty() ? key : parent + "." + key;
}

std::string ElementPath(const std::string& parent, std::size_t index) {
    return parent + "[" + std::to_string(index) + "]";
}

// nlohmann's messages start with "[json.exception.parse_error.101] "; the user
// needs only the text after it.
std::string WithoutExceptionTag(const std::string& what) {
    if (!what.empty() && what[0] == '[') {
        const std::size_t end = what.find("] ");
        if (end != std::string::npos) return what.substr(end + 2);
    }
    return what;
}

// Builds the document like nlohmann's own DOM parser, but remembers where it is, so
// that a syntax error or a number too large for a double (which the parser reports
// before any value exists) can be given a JSON path. It also refuses duplicate keys,
// which the plain parser would resolve silently in favour of the last one.
class PathTrackingBuilder : public Json::json_sax_t {
public:
    bool null() override { return Add(Json(nullptr)); }
    bool boolean(bool value) override { return Add(Json(value)); }
    bool number_integer(number_integer_t value) override { return Add(Json(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Add(Json(value)); }
    bool number_float(number_float_t value, const string_t&) override { return Add(Json(value)); }
    bool string(string_t& value) override { return Add(Json(std::move(value))); }
    bool binary(binary_t& value) override { return Add(Json::binary(std::move(value))); }

    bool start_object(std::size_t) override { return Open(Json::object()); }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Open(Json::array()); }
    bool end_array() override { return Close(); }

    bool key(string_t& key) override {
        Frame& frame = frames_.back();
        if (frame.value->contains(key)) {
            refusal_ = {MemberPath(PathOfOpenValue(), key), "duplicate key"};
            return false;
        }
        frame.key = std::move(key);
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const Json::exception& error) override {
        std::string message = WithoutExceptionTag(error.what());
        // 406 is the parser's "number overflow": a number no double can hold.
        if (error.id == 406) message = "number is not a finite double (" + message + ")";
        refusal_ = {PathOfNextValue(), message};
        return false;
    }

    Json& Document() { return root_; }
    const Refusal& Failure() const { return refusal_; }

private:
    struct Frame {
        Json* value;
        std::string key;          // objects: the member being read
        std::size_t started = 0;  // arrays: elements begun so far
    };

    // Places a finished value where the open container expects it; returns the
    // stored value so that containers can be opened in place.
    Json* Place(Json&& value) {
        if (frames_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Frame& frame = frames_.back();
        if (frame.value->is_object()) return &((*frame.value)[frame.key] = std::move(value));
        ++frame.started;
        frame.value->push_back(std::move(value));
        return &frame.value->back();
    }

    bool Add(Json&& value) {
        Place(std::move(value));
        return true;
    }

    bool Open(Json&& container) {
        Json* placed = Place(std::move(container));
        frames_.push_back(Frame{placed, std::string(), 0});
        return true;
    }

    bool Close() {
        frames_.pop_back();
        return true;
    }

    // The path of the innermost open container.
    std::string PathOfOpenValue() const {
        std::string path;
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            const Frame& frame = frames_[i];
            path = frame.value->is_object() ? MemberPath(path, frame.key)
                                            : ElementPath(path, frame.started - 1);
        }
        return path;
    }

    // The path of the value the parser was reading when it stopped: the current
    // member of the innermost object, or the next element of the innermost array.
    std::string PathOfNextValue() const {
        if (frames_.empty()) return std::string();
        const Frame& frame = frames_.back();
        const std::string parent = PathOfOpenValue();
        if (frame.value->is_object())
            return frame.key.empty() ? parent : MemberPath(parent, frame.key);
        return ElementPath(parent, frame.started);
    }

    Json root_;
    std::vector<Frame> frames_;
    Refusal refusal_;
};

const char* TypeName(const Json& value) {
    if (value.is_number()) return "a number";
    return value.type_name();
}

[[noreturn]] void Refuse(const std::string& path, const std::string& message) {
    throw Refusal{path, message};
}

void ExpectObject(const Json& value, const std::string& path) {
    if (!value.is_object())
        Refuse(path, std::string("expected an object, found ") + TypeName(value));
}

void ExpectArray(const Json& value, const std::string& path) {
    if (!value.is_array()) Refuse(path, std::string("expected an array, found ") + TypeName(value));
}

// Refuses every member whose name is not in `known`.
void ExpectOnlyKeys(const Json& object, const std::string& path,
                    std::initializer_list<const char*> known) {
    for (auto member = object.begin(); member != object.end(); ++member) {
        bool isKnown = false;
        for (const char* name : known) isKnown = isKnown || member.key() == name;
        if (!isKnown) Refuse(MemberPath(path, member.key()), "unknown key");
    }
}

double ReadNumber(const Json& value, const std::string& path) {
    if (!value.is_number())
        Refuse(path, std::string("expected a number, found ") + TypeName(value));
    const double number = value.get<double>();
    if (!std::isfinite(number)) Refuse(path, "number is not a finite double");
    return number;
}

double ReadPositive(const Json& value, const std::string& path) {
    const double number = ReadNumber(value, path);
    if (!(number > 0.0)) Refuse(path, "must be greater than 0");
    return number;
}

double ReadUnitInterval(const Json& value, const std::string& path) {
    const double number = ReadNumber(value, path);
    if (number < 0.0 || number > 1.0) Refuse(path, "must be between 0 and 1");
    return number;
}

bool ReadBool(const Json& value, const std::string& path) {
    if (!value.is_boolean())
        Refuse(path, std::string("expected true or false, found ") + TypeName(value));
    return value.get<bool>();
}

// The numbers of an array of exactly `count` finite numbers.
std::vector<double> ReadNumbers(const Json& value, const std::string& path, std::size_t count) {
    ExpectArray(value, path);
    if (value.size() != count) {
        Refuse(path, "expected " + std::to_string(count) + " numbers, found " +
                         std::to_string(value.size()));
    }
    std::vector<double> numbers;
    for (std::size_t i = 0; i < count; ++i)
        numbers.push_back(ReadNumber(value[i], ElementPath(path, i)));
    return numbers;
}

Vector3 ReadVector3(const Json& value, const std::string& path) {
    const std::vector<double> xyz = ReadNumbers(value, path, 3);
    return Vector3(xyz[0], xyz[1], xyz[2]);
}

// A point that must lie on the normalised heart, inside the box [0, 10]^3. Points far
// outside it would make a curve of unbounded length, traced stroke by stroke.
Vector3 ReadPointInBox(const Json& value, const std::string& path) {
    const Vector3 point = ReadVector3(value, path);
    const double xyz[3] = {point.x, point.y, point.z};
    for (std::size_t i = 0; i < 3; ++i) {
        if (xyz[i] < 0.0 || xyz[i] > HeartModel::kVolumeExtent) {
            Refuse(ElementPath(path, i), "must lie in the heart's box [0, 10]");
        }
    }
    return point;
}

Matrix4 ReadMatrix(const Json& value, const std::string& path) {
    const std::vector<double> elements = ReadNumbers(value, path, 16);
    Matrix4 matrix;
    for (int i = 0; i < 16; ++i) matrix.m[i] = elements[i];
    return matrix;
}

std::vector<StartPoint> ReadStartPoints(const Json& value, const std::string& path) {
    ExpectArray(value, path);
    std::vector<StartPoint> startPoints;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::string at = ElementPath(path, i);
        const Json& entry = value[i];
        ExpectObject(entry, at);
        ExpectOnlyKeys(entry, at, {"position", "directionPoint"});
        StartPoint startPoint;
        if (entry.contains("position"))
            startPoint.position = ReadPointInBox(entry["position"], MemberPath(at, "position"));
        if (entry.contains("directionPoint")) {
            startPoint.directionPoint =
                ReadVector3(entry["directionPoint"], MemberPath(at, "directionPoint"));
        }
        startPoints.push_back(startPoint);
    }
    return startPoints;
}

std::vector<Polyline> ReadFeatureCurves(const Json& value, const std::string& path) {
    ExpectArray(value, path);
    std::vector<Polyline> curves;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::string at = ElementPath(path, i);
        const Json& entry = value[i];
        ExpectObject(entry, at);
        ExpectOnlyKeys(entry, at, {"points", "color"});
        Polyline curve;
        if (entry.contains("points")) {
            const std::string pointsPath = MemberPath(at, "points");
            const Json& points = entry["points"];
            ExpectArray(points, pointsPath);
            for (std::size_t k = 0; k < points.size(); ++k) {
                curve.points.push_back(ReadPointInBox(points[k], ElementPath(pointsPath, k)));
            }
        }
        if (entry.contains("color")) {
            const std::string colorPath = MemberPath(at, "color");
            const std::vector<double> rgba = ReadNumbers(entry["color"], colorPath, 4);
            for (std::size_t k = 0; k < 4; ++k) {
                if (rgba[k] < 0.0 || rgba[k] > 1.0)
                    Refuse(ElementPath(colorPath, k), "must be between 0 and 1");
                curve.color[k] = static_cast<float>(rgba[k]);
            }
        }
        curves.push_back(curve);
    }
    return curves;
}

// Reads one rule over `rule`, which holds the program's start value of that rule.
void ReadRule(const Json& value, const std::string& path, RewritingRule& rule) {
    ExpectObject(value, path);
    ExpectOnlyKeys(value, path,
                   {"stemLength", "stemWidth", "continuationLength", "continuationWidth",
                    "continuationMatrix", "laterals"});
    if (value.contains("laterals")) {
        const std::string lateralsPath = MemberPath(path, "laterals");
        const Json& laterals = value["laterals"];
        ExpectArray(laterals, lateralsPath);
        // The start shape of a rule with this many laterals; the file's values
        // then replace it member by member.
        rule = RewritingRule(rule.ruleId, rule.hasContinuation, static_cast<int>(laterals.size()));
        for (std::size_t i = 0; i < laterals.size(); ++i) {
            const std::string at = ElementPath(lateralsPath, i);
            const Json& entry = laterals[i];
            ExpectObject(entry, at);
            ExpectOnlyKeys(entry, at, {"length", "width", "matrix"});
            Lateral& lateral = rule.laterals[i];
            if (entry.contains("length"))
                lateral.length = ReadPositive(entry["length"], MemberPath(at, "length"));
            if (entry.contains("width"))
                lateral.width = ReadPositive(entry["width"], MemberPath(at, "width"));
            if (entry.contains("matrix"))
                lateral.matrix = ReadMatrix(entry["matrix"], MemberPath(at, "matrix"));
        }
    }
    if (value.contains("stemLength"))
        rule.stemLength = ReadPositive(value["stemLength"], MemberPath(path, "stemLength"));
    if (value.contains("stemWidth"))
        rule.stemWidth = ReadPositive(value["stemWidth"], MemberPath(path, "stemWidth"));
    if (value.contains("continuationLength")) {
        rule.continuationLength =
            ReadPositive(value["continuationLength"], MemberPath(path, "continuationLength"));
    }
    if (value.contains("continuationWidth")) {
        rule.continuationWidth =
            ReadPositive(value["continuationWidth"], MemberPath(path, "continuationWidth"));
    }
    if (value.contains("continuationMatrix")) {
        rule.continuationMatrix =
            ReadMatrix(value["continuationMatrix"], MemberPath(path, "continuationMatrix"));
    }
}

int ReadSegmentResolution(const Json& value, const std::string& path) {
    const double number = ReadNumber(value, path);
    // Whole numbers only; 5.0 is as good as 5.
    if (!(number >= 2.0 && number <= 102.0) || number != std::floor(number)) {
        Refuse(path, "must be an integer from 2 to 102");
    }
    return static_cast<int>(number);
}

GrowthParameters ReadParameters(const Json& value, const std::string& path) {
    ExpectObject(value, path);
    ExpectOnlyKeys(value, path,
                   {"SegmentResolution", "GradientDirectionRate", "RandomDirectionRate",
                    "ShuffleGrowthApexOrder", "CreateTreeStructure", "FitOffsetFromTargetPolygon"});
    GrowthParameters parameters;
    auto at = [&](const char* key) { return MemberPath(path, key); };
    if (value.contains("SegmentResolution")) {
        parameters.SegmentResolution =
            ReadSegmentResolution(value["SegmentResolution"], at("SegmentResolution"));
    }
    if (value.contains("GradientDirectionRate")) {
        parameters.GradientDirectionRate =
            ReadUnitInterval(value["GradientDirectionRate"], at("GradientDirectionRate"));
    }
    if (value.contains("RandomDirectionRate")) {
        parameters.RandomDirectionRate =
            ReadUnitInterval(value["RandomDirectionRate"], at("RandomDirectionRate"));
    }
    if (value.contains("ShuffleGrowthApexOrder")) {
        parameters.ShuffleGrowthApexOrder =
            ReadBool(value["ShuffleGrowthApexOrder"], at("ShuffleGrowthApexOrder"));
    }
    if (value.contains("CreateTreeStructure")) {
        parameters.CreateTreeStructure =
            ReadBool(value["CreateTreeStructure"], at("CreateTreeStructure"));
    }
    if (value.contains("FitOffsetFromTargetPolygon")) {
        parameters.FitOffsetFromTargetPolygon =
            ReadBool(value["FitOffsetFromTargetPolygon"], at("FitOffsetFromTargetPolygon"));
    }
    return parameters;
}

void ReadVersion(const Json& document) {
    if (!document.contains("version")) Refuse("version", "missing (this program reads version 1)");
    const Json& version = document["version"];
    const double number = ReadNumber(version, "version");
    if (number != kSceneFileVersion) {
        std::ostringstream message;
        message << "unsupported version " << version.dump() << " (this program reads version 1)";
        Refuse("version", message.str());
    }
}

Scene ReadScene(const Json& document) {
    ExpectObject(document, "");
    ExpectOnlyKeys(document, "",
                   {"version", "startPoints", "featureCurves", "rule1", "rule2", "parameters"});
    ReadVersion(document);
    Scene scene;
    if (document.contains("startPoints"))
        scene.startPoints = ReadStartPoints(document["startPoints"], "startPoints");
    if (document.contains("featureCurves")) {
        scene.featureCurves = ReadFeatureCurves(document["featureCurves"], "featureCurves");
    }
    if (document.contains("rule1")) ReadRule(document["rule1"], "rule1", scene.rule1);
    if (document.contains("rule2")) ReadRule(document["rule2"], "rule2", scene.rule2);
    if (document.contains("parameters"))
        scene.parameters = ReadParameters(document["parameters"], "parameters");
    return scene;
}

}  // namespace

std::string SceneFileError::Describe() const {
    return path.empty() ? message : path + ": " + message;
}

bool ParseSceneText(const std::string& text, Scene& scene, SceneFileError& error) {
    PathTrackingBuilder builder;
    if (!Json::sax_parse(text, &builder)) {
        error.path = builder.Failure().path;
        error.message = builder.Failure().message;
        return false;
    }
    try {
        scene = ReadScene(builder.Document());
    } catch (const Refusal& refusal) {
        error.path = refusal.path;
        error.message = refusal.message;
        return false;
    }
    return true;
}

bool ReadSceneFile(const std::string& path, Scene& scene, SceneFileError& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = {std::string(), "cannot open '" + path + "'"};
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        error = {std::string(), "cannot read '" + path + "'"};
        return false;
    }
    return ParseSceneText(content.str(), scene, error);
}

}  // namespace vantrel
