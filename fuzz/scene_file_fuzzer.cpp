// Feeds arbitrary bytes to the scene-file parser. A refused text must leave the
// scene as it was; an accepted one must hold only values the file format allows
// and must write out to text that reads back to the same text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "growth/SceneFile.h"

namespace {

bool Finite(const vantrel::Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool RuleAllowed(const vantrel::RewritingRule& rule) {
    if (!(rule.stemLength > 0.0 && rule.stemWidth > 0.0 && rule.continuationLength > 0.0 &&
          rule.continuationWidth > 0.0)) {
        return false;
    }
    for (double element : rule.continuationMatrix.m) {
        if (!std::isfinite(element)) return false;
    }
    for (const vantrel::Lateral& lateral : rule.laterals) {
        if (!(lateral.length > 0.0 && lateral.width > 0.0)) return false;
        for (double element : lateral.matrix.m) {
            if (!std::isfinite(element)) return false;
        }
    }
    return std::isfinite(rule.stemLength) && std::isfinite(rule.stemWidth);
}

bool SceneAllowed(const vantrel::Scene& scene) {
    for (const vantrel::StartPoint& sp : scene.startPoints) {
        if (!Finite(sp.position) || !Finite(sp.directionPoint)) return false;
    }
    for (const vantrel::Polyline& curve : scene.featureCurves) {
        for (const vantrel::Vector3& p : curve.points) {
            if (!Finite(p)) return false;
        }
        for (float c : curve.color) {
            if (!(c >= 0.0f && c <= 1.0f)) return false;
        }
    }
    const vantrel::GrowthParameters& p = scene.parameters;
    return RuleAllowed(scene.rule1) && RuleAllowed(scene.rule2) && p.SegmentResolution >= 2 &&
           p.SegmentResolution <= 102 && p.GradientDirectionRate >= 0.0 &&
           p.GradientDirectionRate <= 1.0 && p.RandomDirectionRate >= 0.0 &&
           p.RandomDirectionRate <= 1.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::Scene scene;
    const std::string before = vantrel::SceneText(scene);
    vantrel::SceneFileError error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!vantrel::ParseSceneText(text, scene, error)) {
        if (vantrel::SceneText(scene) != before) __builtin_trap();
        return 0;
    }
    if (!SceneAllowed(scene)) __builtin_trap();
    const std::string written = vantrel::SceneText(scene);
    vantrel::Scene reread;
    if (!vantrel::ParseSceneText(written, reread, error)) __builtin_trap();
    if (vantrel::SceneText(reread) != written) __builtin_trap();
    return 0;
}
