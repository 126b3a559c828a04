#pragma once
// The scene file's keys, written once. Each VisitFields overload lists the members of
// one kind of JSON object, in the order the writer puts them, with the kind and the
// accepted range of every value. The reader, the writer and the unknown-key check all
// walk these lists with their own visitor, so a key cannot be spelled differently in
// one of them. Internal to the scene-file reader and writer.
//
// A visitor provides, each taking the key first:
//   Version(key)                          the document's format version
//   Number(key, double, NumberRange)      a finite number in a range
//   Whole(key, int, low, high)            a whole number from low to high
//   Flag(key, bool)                       true or false
//   Point(key, Vector3, Place)            three numbers, in the heart's box or anywhere
//   Matrix(key, Matrix4)                  16 numbers, column-major
//   Color(key, std::array<float, 4>)      four numbers in [0, 1]
//   Points(key, std::vector<Vector3>)     an array of points in the heart's box
//   Unit(key, LengthUnit)                 "um", "mm", "cm" or "m"
//   Numbers(key, std::vector<double>, NumberRange)  an array of numbers in a range
//   Wholes(key, std::vector<int>, low, high)        an array of whole numbers
//   Objects(key, std::vector<T>, start)   an array of objects; start(n) gives the
//                                         start values of n elements
//   Object(key, T)                        a nested object
// Records are passed as they are given: const for the writer, mutable for the reader.
#include <cstddef>
#include <limits>
#include <type_traits>
#include <vector>

#include "growth/Fiber.h"
#include "growth/SceneFile.h"
#include "heart/HeartModel.h"

namespace vantrel {

// Accepted values of a number: from `low` (excluded when `lowOpen`) to `high`;
// `message` is the refusal of anything else.
struct NumberRange {
    double low;
    bool lowOpen;
    double high;
    const char* message;
};

constexpr NumberRange kPositive{0.0, true, std::numeric_limits<double>::infinity(),
                                "must be greater than 0"};
constexpr NumberRange kNotNegative{0.0, false, std::numeric_limits<double>::infinity(),
                                   "must be 0 or more"};
constexpr NumberRange kUnitInterval{0.0, false, 1.0, "must be between 0 and 1"};

// Stem lengths, which bound the work of a growth run. A stroke is stemLength *
// kSegmentLengthFactor long: from the floor on it is at least as long as the shortest
// child growth keeps, so a feature curve (inside the box) is cut into a bounded number
// of strokes and children are not all discarded; up to the ceiling a stroke still fits
// the heart's box. Both rules take the same range.
constexpr NumberRange kStemLength{0.06, false, 37.0, "must be from 0.06 to 37"};
static_assert(kStemLength.low * kSegmentLengthFactor >= kMinimumChildLength);
static_assert(kStemLength.high * kSegmentLengthFactor <= HeartModel::kVolumeExtent);
static_assert(kStemLength.low <= kDraggedStemLengthLow &&
                  kDraggedStemLengthHigh <= kStemLength.high,
              "the file admits every stem length the rule window makes");

// Continuation and lateral lengths are factors of the stem length (the rule window
// draws them so; it only ever sets 1). The floor is the smallest factor growth gives a
// child.
constexpr NumberRange kLengthFactor{kMinimumLengthFactor, false, 10.0, "must be from 0.01 to 10"};

// Where a point may lie: on the normalised heart, inside its box [0, 10]^3 (points far
// outside would make a curve of unbounded length, traced stroke by stroke), or
// anywhere (a direction point only gives a direction).
enum class Place { InBox, Anywhere };

// Selects the VisitFields overload of a record type, const or not.
template <typename Record, typename Type>
using IfRecord = std::enable_if_t<std::is_same_v<std::remove_const_t<Record>, Type>>;

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& startPoint) -> IfRecord<Record, StartPoint> {
    v.Point("position", startPoint.position, Place::InBox);
    v.Point("directionPoint", startPoint.directionPoint, Place::Anywhere);
}

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& curve) -> IfRecord<Record, Polyline> {
    v.Points("points", curve.points);
    v.Color("color", curve.color);
}

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& lateral) -> IfRecord<Record, Lateral> {
    v.Number("length", lateral.length, kLengthFactor);
    v.Number("width", lateral.width, kPositive);
    v.Matrix("matrix", lateral.matrix);
}

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& rule) -> IfRecord<Record, RewritingRule> {
    v.Number("stemLength", rule.stemLength, kStemLength);
    v.Number("stemWidth", rule.stemWidth, kPositive);
    v.Number("continuationLength", rule.continuationLength, kLengthFactor);
    v.Number("continuationWidth", rule.continuationWidth, kPositive);
    v.Matrix("continuationMatrix", rule.continuationMatrix);
    // Laterals given in the file start from the start shape of a rule with that many
    // laterals (their directions depend on the count); the file's values then replace
    // it member by member, without a Rebuild.
    v.Objects("laterals", rule.laterals, [&rule](std::size_t count) {
        return RewritingRule(rule.ruleId, rule.hasContinuation, static_cast<int>(count)).laterals;
    });
}

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& parameters) -> IfRecord<Record, GrowthParameters> {
    v.Whole("SegmentResolution", parameters.SegmentResolution, 2, 102);
    v.Number("GradientDirectionRate", parameters.GradientDirectionRate, kUnitInterval);
    v.Number("RandomDirectionRate", parameters.RandomDirectionRate, kUnitInterval);
    v.Flag("ShuffleGrowthApexOrder", parameters.ShuffleGrowthApexOrder);
    v.Flag("CreateTreeStructure", parameters.CreateTreeStructure);
    v.Flag("FitOffsetFromTargetPolygon", parameters.FitOffsetFromTargetPolygon);
}

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& delays) -> IfRecord<Record, RootDelays> {
    v.Numbers("startPoints", delays.startPoints, kNotNegative);
    v.Numbers("featureCurves", delays.featureCurves, kNotNegative);
}

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& physiology) -> IfRecord<Record, ScenePhysiology> {
    v.Unit("meshUnits", physiology.settings.meshUnit);
    v.Number("purkinjeVelocity", physiology.settings.purkinjeVelocity, kPositive);
    v.Number("myocardialVelocity", physiology.settings.myocardialVelocity, kPositive);
    v.Number("pmjDelay", physiology.settings.pmjDelay, kNotNegative);
    v.Object("rootDelays", physiology.rootDelays);
}

template <typename Visitor, typename Record>
auto VisitFields(Visitor& v, Record& scene) -> IfRecord<Record, Scene> {
    v.Version("version");
    v.Objects("startPoints", scene.startPoints,
              [](std::size_t count) { return std::vector<StartPoint>(count); });
    v.Objects("featureCurves", scene.featureCurves,
              [](std::size_t count) { return std::vector<Polyline>(count); });
    v.Object("rule1", scene.rule1);
    v.Object("rule2", scene.rule2);
    v.Object("parameters", scene.parameters);
    v.Object("physiology", scene.physiology);
    v.Wholes("blockedStrokes", scene.blockedStrokes, 0, std::numeric_limits<int>::max());
}

// The keys of one kind of object, in table order: what the unknown-key check admits.
struct KeyList {
    std::vector<const char*> keys;
    void Version(const char* key) { keys.push_back(key); }
    template <typename... Rest>
    void Number(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Whole(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Flag(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Point(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Matrix(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Color(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Points(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Unit(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Numbers(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Wholes(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Objects(const char* key, Rest&&...) {
        keys.push_back(key);
    }
    template <typename... Rest>
    void Object(const char* key, Rest&&...) {
        keys.push_back(key);
    }
};

template <typename Record>
std::vector<const char*> KeysOf(const Record& record) {
    KeyList list;
    VisitFields(list, record);
    return list.keys;
}

}  // namespace vantrel
