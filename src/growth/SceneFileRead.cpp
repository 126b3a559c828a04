// Reading a scene file: a path-tracking JSON parse, then a checked walk over the
// document along the key table that names the JSON path of the first value it refuses.
#include <array>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "growth/SceneFile.h"
#include "growth/SceneFileKeys.h"
#include "growth/SceneJson.h"
#include "heart/HeartModel.h"

namespace vantrel {

using Json = nlohmann::json;

namespace {

using Refusal = JsonRefusal;

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

void ExpectObject(const Json& value, const std::string& path) {
    if (!value.is_object())
        RefuseJson(path, std::string("expected an object, found ") + TypeName(value));
}

void ExpectArray(const Json& value, const std::string& path) {
    if (!value.is_array())
        RefuseJson(path, std::string("expected an array, found ") + TypeName(value));
}

// Refuses every member whose name is not in `known`.
void ExpectOnlyKeys(const Json& object, const std::string& path,
                    const std::vector<const char*>& known) {
    for (auto member = object.begin(); member != object.end(); ++member) {
        bool isKnown = false;
        for (const char* name : known) isKnown = isKnown || member.key() == name;
        if (!isKnown) RefuseJson(MemberPath(path, member.key()), "unknown key");
    }
}

double ReadNumber(const Json& value, const std::string& path) {
    if (!value.is_number())
        RefuseJson(path, std::string("expected a number, found ") + TypeName(value));
    const double number = value.get<double>();
    if (!std::isfinite(number)) RefuseJson(path, "number is not a finite double");
    return number;
}

// The numbers of an array of exactly `count` finite numbers.
std::vector<double> ReadNumbers(const Json& value, const std::string& path, std::size_t count) {
    ExpectArray(value, path);
    if (value.size() != count) {
        RefuseJson(path, "expected " + std::to_string(count) + " numbers, found " +
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

Matrix4 ReadMatrix(const Json& value, const std::string& path) {
    const std::vector<double> elements = ReadNumbers(value, path, 16);
    Matrix4 matrix;
    for (int i = 0; i < 16; ++i) matrix.m[i] = elements[i];
    return matrix;
}

double ReadInRange(const Json& value, const std::string& path, const NumberRange& range) {
    const double number = ReadNumber(value, path);
    const bool aboveLow = range.lowOpen ? number > range.low : number >= range.low;
    if (!aboveLow || number > range.high) RefuseJson(path, range.message);
    return number;
}

// Whole numbers only; 5.0 is as good as 5.
int ReadWhole(const Json& value, const std::string& path, int low, int high) {
    const double number = ReadNumber(value, path);
    if (!(number >= low && number <= high) || number != std::floor(number))
        RefuseJson(
            path, "must be an integer from " + std::to_string(low) + " to " + std::to_string(high));
    return static_cast<int>(number);
}

Vector3 ReadPoint(const Json& value, const std::string& path, Place place) {
    const Vector3 point = ReadVector3(value, path);
    if (place == Place::InBox) {
        const double xyz[3] = {point.x, point.y, point.z};
        for (std::size_t i = 0; i < 3; ++i) {
            if (xyz[i] < 0.0 || xyz[i] > HeartModel::kVolumeExtent)
                RefuseJson(ElementPath(path, i), "must lie in the heart's box [0, 10]");
        }
    }
    return point;
}

template <typename Record>
void ReadObject(const Json& value, const std::string& path, Record& record);

// Reads the members of one object over a record that holds their start values, as
// the key table lists them; members the file leaves out keep those values.
class MemberReader {
public:
    MemberReader(const Json& object, const std::string& path) : object_(object), path_(path) {}

    void Version(const char* key) {
        if (!object_.contains(key)) RefuseJson(At(key), "missing (this program reads version 1)");
        const Json& version = object_[key];
        if (ReadNumber(version, At(key)) != kSceneFileVersion) {
            std::ostringstream message;
            message << "unsupported version " << version.dump()
                    << " (this program reads version 1)";
            RefuseJson(At(key), message.str());
        }
    }

    void Number(const char* key, double& number, const NumberRange& range) {
        if (object_.contains(key)) number = ReadInRange(object_[key], At(key), range);
    }

    void Whole(const char* key, int& number, int low, int high) {
        if (object_.contains(key)) number = ReadWhole(object_[key], At(key), low, high);
    }

    void Unit(const char* key, LengthUnit& unit) {
        if (!object_.contains(key)) return;
        const Json& value = object_[key];
        if (!value.is_string() || !ParseLengthUnit(value.get<std::string>(), unit))
            RefuseJson(At(key), "must be \"um\", \"mm\", \"cm\" or \"m\"");
    }

    void Numbers(const char* key, std::vector<double>& numbers, const NumberRange& range) {
        if (!object_.contains(key)) return;
        const Json& array = object_[key];
        ExpectArray(array, At(key));
        std::vector<double> read;
        for (std::size_t k = 0; k < array.size(); ++k)
            read.push_back(ReadInRange(array[k], ElementPath(At(key), k), range));
        numbers = std::move(read);
    }

    void Wholes(const char* key, std::vector<int>& numbers, int low, int high) {
        if (!object_.contains(key)) return;
        const Json& array = object_[key];
        ExpectArray(array, At(key));
        std::vector<int> read;
        for (std::size_t k = 0; k < array.size(); ++k)
            read.push_back(ReadWhole(array[k], ElementPath(At(key), k), low, high));
        numbers = std::move(read);
    }

    void Flag(const char* key, bool& flag) {
        if (!object_.contains(key)) return;
        const Json& value = object_[key];
        if (!value.is_boolean())
            RefuseJson(At(key), std::string("expected true or false, found ") + TypeName(value));
        flag = value.get<bool>();
    }

    void Point(const char* key, Vector3& point, Place place) {
        if (object_.contains(key)) point = ReadPoint(object_[key], At(key), place);
    }

    void Matrix(const char* key, Matrix4& matrix) {
        if (object_.contains(key)) matrix = ReadMatrix(object_[key], At(key));
    }

    void Color(const char* key, std::array<float, 4>& color) {
        if (!object_.contains(key)) return;
        const std::vector<double> rgba = ReadNumbers(object_[key], At(key), 4);
        for (std::size_t k = 0; k < 4; ++k) {
            if (rgba[k] < 0.0 || rgba[k] > 1.0)
                RefuseJson(ElementPath(At(key), k), "must be between 0 and 1");
            color[k] = static_cast<float>(rgba[k]);
        }
    }

    void Points(const char* key, std::vector<Vector3>& points) {
        if (!object_.contains(key)) return;
        const Json& array = object_[key];
        ExpectArray(array, At(key));
        points.clear();
        for (std::size_t k = 0; k < array.size(); ++k)
            points.push_back(ReadPoint(array[k], ElementPath(At(key), k), Place::InBox));
    }

    template <typename Element, typename StartValues>
    void Objects(const char* key, std::vector<Element>& elements, StartValues startValues) {
        if (!object_.contains(key)) return;
        const Json& array = object_[key];
        ExpectArray(array, At(key));
        std::vector<Element> read = startValues(array.size());
        for (std::size_t i = 0; i < array.size(); ++i)
            ReadObject(array[i], ElementPath(At(key), i), read[i]);
        elements = std::move(read);
    }

    template <typename Record>
    void Object(const char* key, Record& record) {
        if (object_.contains(key)) ReadObject(object_[key], At(key), record);
    }

private:
    std::string At(const char* key) const { return MemberPath(path_, key); }

    const Json& object_;
    const std::string& path_;
};

// Checks that `value` is an object with only the table's keys, then reads it.
template <typename Record>
void ReadObject(const Json& value, const std::string& path, Record& record) {
    ExpectObject(value, path);
    ExpectOnlyKeys(value, path, KeysOf(record));
    MemberReader reader(value, path);
    VisitFields(reader, record);
}

}  // namespace

std::string SceneFileError::Describe() const {
    return path.empty() ? message : path + ": " + message;
}

bool ParseJsonWithPaths(const std::string& text, Json& document, SceneFileError& error) {
    PathTrackingBuilder builder;
    if (!Json::sax_parse(text, &builder)) {
        error.path = builder.Failure().path;
        error.message = builder.Failure().message;
        return false;
    }
    document = std::move(builder.Document());
    return true;
}

bool ReadSceneJson(const Json& value, const std::string& path, Scene& scene,
                   SceneFileError& error) {
    try {
        Scene read;
        ReadObject(value, path, read);
        scene = std::move(read);
    } catch (const Refusal& refusal) {
        error.path = refusal.path;
        error.message = refusal.message;
        return false;
    }
    return true;
}

bool ParseSceneText(const std::string& text, Scene& scene, SceneFileError& error) {
    Json document;
    return ParseJsonWithPaths(text, document, error) &&
           ReadSceneJson(document, std::string(), scene, error);
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
