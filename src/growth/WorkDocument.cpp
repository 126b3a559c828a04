// Reading and writing the work document. The scenes inside it go through the scene
// file's own reader and writer, so they are checked and written exactly as scene files.
#include "growth/WorkDocument.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

#include "geometry/SafeFileWriter.h"
#include "growth/SceneJson.h"

namespace vantrel {

using Json = nlohmann::json;

namespace {

using Refusal = JsonRefusal;

std::string At(const std::string& parent, const std::string& key) {
    return parent.empty() ? key : parent + "." + key;
}

const char* TypeName(const Json& value) {
    return value.is_number() ? "a number" : value.type_name();
}

// `object[key]`, which must exist and be of the kind `is` tests for.
const Json& Member(const Json& object, const std::string& path, const char* key,
                   bool (Json::*is)() const noexcept, const char* expected) {
    if (!object.contains(key)) RefuseJson(At(path, key), "missing");
    const Json& value = object[key];
    if (!(value.*is)())
        RefuseJson(At(path, key),
                   std::string("expected ") + expected + ", found " + TypeName(value));
    return value;
}

void ExpectOnlyKeys(const Json& object, const std::string& path,
                    std::initializer_list<const char*> known) {
    for (auto member = object.begin(); member != object.end(); ++member) {
        bool isKnown = false;
        for (const char* name : known) isKnown = isKnown || member.key() == name;
        if (!isKnown) RefuseJson(At(path, member.key()), "unknown key");
    }
}

// A whole number from `low` to `high` (5.0 is as good as 5).
double Whole(const Json& value, const std::string& path, double low, double high) {
    if (!value.is_number())
        RefuseJson(path, std::string("expected a number, found ") + TypeName(value));
    const double number = value.get<double>();
    if (!(number >= low && number <= high) || number != std::floor(number))
        RefuseJson(path, "must be a whole number from " +
                             std::to_string(static_cast<long long>(low)) + " to " +
                             std::to_string(static_cast<long long>(high)));
    return number;
}

std::uint64_t ReadDigest(const Json& value, const std::string& path) {
    const std::string text = value.get<std::string>();
    std::uint64_t digest = 0;
    if (text.size() != 16) RefuseJson(path, "must be 16 hexadecimal digits");
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) RefuseJson(path, "must be 16 hexadecimal digits");
        digest = digest * 16 + static_cast<std::uint64_t>(digit);
    }
    return digest;
}

void ReadHeart(const Json& heart, WorkDocument& document) {
    const std::string path = "heart";
    ExpectOnlyKeys(heart, path, {"path", "bytes", "fnv1a64", "capValves"});
    document.heartPath =
        Member(heart, path, "path", &Json::is_string, "a string").get<std::string>();
    if (document.heartPath.empty()) RefuseJson(At(path, "path"), "must not be empty");
    // Sizes beyond 2^53 would not be whole doubles; no heart file comes near.
    document.heart.bytes =
        static_cast<std::uint64_t>(Whole(Member(heart, path, "bytes", &Json::is_number, "a number"),
                                         At(path, "bytes"), 0, 9007199254740992.0));
    document.heart.fnv1a64 = ReadDigest(
        Member(heart, path, "fnv1a64", &Json::is_string, "a string"), At(path, "fnv1a64"));
    document.capValves =
        Member(heart, path, "capValves", &Json::is_boolean, "true or false").get<bool>();
}

std::vector<std::int32_t> ReadRegionIds(const Json& runs) {
    std::vector<std::int32_t> ids;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string path = "regionIds[" + std::to_string(i) + "]";
        const Json& run = runs[i];
        if (!run.is_array() || run.size() != 2) RefuseJson(path, "expected an [id, count] pair");
        const double id = Whole(run[0], path + "[0]", std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max());
        const double count = Whole(run[1], path + "[1]", 1, kMaxDocumentPolygons);
        total += static_cast<std::int64_t>(count);
        if (total > kMaxDocumentPolygons) RefuseJson(path + "[1]", "more ids than any heart has");
        ids.insert(ids.end(), static_cast<std::size_t>(count), static_cast<std::int32_t>(id));
    }
    return ids;
}

void ReadScene(const Json& value, const std::string& path, Scene& scene) {
    SceneFileError error;
    if (!ReadSceneJson(value, path, scene, error)) RefuseJson(error.path, error.message);
}

WorkDocument ReadDocument(const Json& root) {
    if (!root.is_object())
        RefuseJson("", std::string("expected an object, found ") + TypeName(root));
    ExpectOnlyKeys(root, "", {"version", "heart", "regionIds", "scene", "growth"});
    if (!root.contains("version")) RefuseJson("version", "missing (this program reads version 1)");
    if (Whole(root["version"], "version", 0, std::numeric_limits<int>::max()) !=
        kWorkDocumentVersion)
        RefuseJson("version", "unsupported version (this program reads version 1)");
    WorkDocument document;
    ReadHeart(Member(root, "", "heart", &Json::is_object, "an object"), document);
    document.regionIds = ReadRegionIds(Member(root, "", "regionIds", &Json::is_array, "an array"));
    ReadScene(Member(root, "", "scene", &Json::is_object, "an object"), "scene", document.scene);
    if (root.contains("growth")) {
        const Json& growth = Member(root, "", "growth", &Json::is_object, "an object");
        ExpectOnlyKeys(growth, "growth", {"randomState", "scene"});
        GrownNetwork network;
        network.randomState = static_cast<std::uint32_t>(
            Whole(Member(growth, "growth", "randomState", &Json::is_number, "a number"),
                  "growth.randomState", 0, 4294967295.0));
        ReadScene(Member(growth, "growth", "scene", &Json::is_object, "an object"), "growth.scene",
                  network.scene);
        document.growth = std::move(network);
    }
    return document;
}

std::string DigestText(std::uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

// Scene-file text set in by `indent` spaces after its first line, without its line end.
std::string Indented(std::string text, const std::string& indent) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\n') out += indent;
    }
    return out;
}

std::string JsonString(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

bool FingerprintFile(const std::string& path, FileFingerprint& fingerprint) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    FileFingerprint read;
    read.fnv1a64 = 14695981039346656037ull;
    char buffer[65536];
    while (file) {
        file.read(buffer, sizeof buffer);
        const std::streamsize got = file.gcount();
        for (std::streamsize i = 0; i < got; ++i) {
            read.fnv1a64 ^= static_cast<unsigned char>(buffer[i]);
            read.fnv1a64 *= 1099511628211ull;
        }
        read.bytes += static_cast<std::uint64_t>(got);
    }
    if (file.bad()) return false;
    fingerprint = read;
    return true;
}

bool ParseWorkDocumentText(const std::string& text, WorkDocument& document,
                           WorkDocumentError& error) {
    Json root;
    if (!ParseJsonWithPaths(text, root, error)) return false;
    try {
        document = ReadDocument(root);
    } catch (const Refusal& refusal) {
        error = {refusal.path, refusal.message};
        return false;
    }
    return true;
}

WorkDocumentRead ReadWorkDocument(const std::string& path, WorkDocument& document,
                                  WorkDocumentError& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = {std::string(), "cannot open '" + path + "'"};
        return WorkDocumentRead::kRefused;
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        error = {std::string(), "cannot read '" + path + "'"};
        return WorkDocumentRead::kRefused;
    }
    const std::string text = content.str();
    if (text.empty()) return WorkDocumentRead::kEmpty;
    WorkDocument read;
    if (!ParseWorkDocumentText(text, read, error)) return WorkDocumentRead::kRefused;
    const std::filesystem::path heart(read.heartPath);
    if (heart.is_relative())
        read.heartPath =
            (std::filesystem::path(path).parent_path() / heart).lexically_normal().string();
    FileFingerprint found;
    if (!FingerprintFile(read.heartPath, found)) {
        error = {"heart.path", "the heart file '" + read.heartPath + "' cannot be read"};
        return WorkDocumentRead::kRefused;
    }
    if (!(found == read.heart)) {
        error = {"heart", "the heart file '" + read.heartPath +
                              "' has changed since the document was saved"};
        return WorkDocumentRead::kRefused;
    }
    document = std::move(read);
    return WorkDocumentRead::kRead;
}

std::string WorkDocumentText(const WorkDocument& document, const std::string& documentPath) {
    std::filesystem::path heart(document.heartPath);
    const std::filesystem::path folder = std::filesystem::path(documentPath).parent_path();
    if (heart.is_absolute() && folder.is_absolute()) {
        const std::filesystem::path relative = heart.lexically_relative(folder);
        if (!relative.empty()) heart = relative;
    }
    std::string text = "{\n  \"version\": " + std::to_string(kWorkDocumentVersion) + ",\n";
    text += "  \"heart\": {\"path\": " + JsonString(heart.generic_string()) +
            ", \"bytes\": " + std::to_string(document.heart.bytes) + ", \"fnv1a64\": \"" +
            DigestText(document.heart.fnv1a64) +
            "\", \"capValves\": " + (document.capValves ? "true" : "false") + "},\n";
    text += "  \"regionIds\": [";
    for (std::size_t i = 0; i < document.regionIds.size();) {
        std::size_t end = i;
        while (end < document.regionIds.size() && document.regionIds[end] == document.regionIds[i])
            ++end;
        text += (i > 0 ? ", [" : "[") + std::to_string(document.regionIds[i]) + ", " +
                std::to_string(end - i) + "]";
        i = end;
    }
    text += "],\n  \"scene\": " + Indented(SceneText(document.scene), "  ");
    if (document.growth) {
        text +=
            ",\n  \"growth\": {\"randomState\": " + std::to_string(document.growth->randomState) +
            ", \"scene\": " + Indented(SceneText(document.growth->scene), "  ") + "}";
    }
    text += "\n}\n";
    return text;
}

bool WriteWorkDocument(const std::string& path, const WorkDocument& document, std::string& error) {
    const FileWriteResult result = WriteTextSafely(path, WorkDocumentText(document, path));
    if (result != FileWriteResult::kWritten) error = FileWriteFailureReason(path, result);
    return result == FileWriteResult::kWritten;
}

}  // namespace vantrel
