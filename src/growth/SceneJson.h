#pragma once
// The scene reader's JSON steps, for documents of the growth layer that hold a scene
// inside them (the work document). Internal to the growth layer's readers: the JSON
// library stays out of the public headers.
#include <string>

#include <nlohmann/json.hpp>

#include "growth/SceneFile.h"

namespace vantrel {

// Thrown by a reader's checks and turned into its error at the top: one refusal ends
// the whole read, so unwinding is the simplest way out of the walk.
struct JsonRefusal {
    std::string path;
    std::string message;
};

[[noreturn]] inline void RefuseJson(const std::string& path, const std::string& message) {
    throw JsonRefusal{path, message};
}

// Parses JSON text as the scene reader does: a syntax error, a number no double
// holds or a duplicate key is refused with the JSON path where it was found.
bool ParseJsonWithPaths(const std::string& text, nlohmann::json& document, SceneFileError& error);

// Reads a scene object that sits at `path` of a larger document (error paths start
// with it). On refusal `scene` is unchanged.
bool ReadSceneJson(const nlohmann::json& value, const std::string& path, Scene& scene,
                   SceneFileError& error);

}  // namespace vantrel
