#pragma once
// The work document (".kx"): one JSON file holding what a user has built on a heart,
// so that opening it gives back the same scene, segmentation and network.
//
//   {"version": 1,
//    "heart": {"path": "demo-heart.obj", "bytes": 714301, "fnv1a64": "9f0c1e2d3b4a5968",
//              "capValves": false},
//    "regionIds": [[0, 120], [1, 8556]],
//    "scene": {scene-file object, with physiology and blockedStrokes},
//    "growth": {"randomState": 1, "scene": {scene-file object}}}
//
// "heart" names the heart file (relative to the document's folder when written by
// this program; an absolute path is read as it stands) with its size and FNV-1a 64
// digest, so that a heart file changed since is refused rather than misread.
// "regionIds" is the segmentation, one id per polygon of the loaded heart, as runs of
// [id, count]. "scene" is what the user set up: start points, curves, rules,
// parameters, physiology and the blocked strokes of the grown network (by their index
// in the conduction graph's stroke order). "growth", left out when no network is
// grown, is what the network grew from: the random generator's state before the run
// and the scene of that run (which later edits may have changed). Growing from it
// again gives the same network.
//
// Every key but "growth" is required. A document is refused as a whole, with the
// JSON path of the first offending value, for an unknown key, a wrong type, a
// version other than 1, a negative size, a digest that is not 16 hexadecimal digits,
// a run whose count is not a whole number from 1 on, more than kMaxDocumentPolygons
// ids, a random state that is not a whole number below 2^32, or a scene the scene
// file would refuse.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "growth/SceneFile.h"

namespace vantrel {

constexpr int kWorkDocumentVersion = 1;
// Far above the polygon count of any refined heart; bounds the memory (64 MB of ids)
// a document can ask for.
constexpr std::int64_t kMaxDocumentPolygons = 1 << 24;

// What identifies a heart file's content.
struct FileFingerprint {
    std::uint64_t bytes = 0;
    std::uint64_t fnv1a64 = 0;
    bool operator==(const FileFingerprint& other) const {
        return bytes == other.bytes && fnv1a64 == other.fnv1a64;
    }
};

// The fingerprint of the file at `path`; false when it cannot be read.
bool FingerprintFile(const std::string& path, FileFingerprint& fingerprint);

struct GrownNetwork {
    std::uint32_t randomState = 1;
    Scene scene;
};

struct WorkDocument {
    // The heart file as the document names it; ReadWorkDocument makes a relative
    // path absolute (against the document's folder).
    std::string heartPath;
    FileFingerprint heart;
    bool capValves = false;
    std::vector<std::int32_t> regionIds;
    Scene scene;
    std::optional<GrownNetwork> growth;
};

// Why a document was refused: the JSON path of the offending value (empty for the
// document as a whole) and what is wrong, as SceneFileError.
using WorkDocumentError = SceneFileError;

// Parses document text. On success fills `document` completely and returns true; on
// refusal returns false, fills `error` and leaves `document` unchanged.
bool ParseWorkDocumentText(const std::string& text, WorkDocument& document,
                           WorkDocumentError& error);

// What ReadWorkDocument found.
enum class WorkDocumentRead {
    kRead,     // `document` holds the file's work
    kEmpty,    // a zero-byte file: a document with nothing to restore
    kRefused,  // `error` says why; `document` is unchanged
};

// Reads the document at `path`: ParseWorkDocumentText, then the heart path made
// absolute against the document's folder, and the heart file checked: refused when it
// is missing or unreadable ("heart.path") or its size or digest differs from the
// document's ("heart": changed since the document was saved).
WorkDocumentRead ReadWorkDocument(const std::string& path, WorkDocument& document,
                                  WorkDocumentError& error);

// The document as text (UTF-8, ends with a line end), with the heart path written
// relative to the folder of `documentPath` when both are absolute.
std::string WorkDocumentText(const WorkDocument& document, const std::string& documentPath);

// Writes WorkDocumentText to `path` through the safe writer. Returns false with a
// one-line reason in `error` when the file cannot be written completely.
bool WriteWorkDocument(const std::string& path, const WorkDocument& document, std::string& error);

}  // namespace vantrel
