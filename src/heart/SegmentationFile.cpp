#include "heart/SegmentationFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "geometry/ConsoleLog.h"
#include "geometry/SafeFileWriter.h"
#include "mesh/FileExtension.h"

namespace vantrel {
namespace {

const char kSegmentationExtension[] = "kxseg";

// A whole token as a 32-bit integer, the way "%d" reads a well-formed one (an
// optional sign, then decimal digits). Anything else, or a value out of range,
// is not a number here: a partial read would silently misplace later entries.
bool ParseInt32(const std::string& token, std::int32_t& value) {
    const char* first = token.data();
    const char* last = token.data() + token.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return false;
    }
    std::int32_t parsed = 0;
    const std::from_chars_result result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last) return false;
    value = parsed;
    return true;
}

void ReportEndsEarly(const std::string& name) {
    ConsoleLog("segmentation file %s ends before its entries and end word; no region id changed\n",
               name.c_str());
}

void ReportNotNumeric(const std::string& name, const std::string& token) {
    ConsoleLog("segmentation file %s has the non-numeric entry \"%.40s\"; no region id changed\n",
               name.c_str(), token.c_str());
}

}  // namespace

bool ReadSegmentation(std::istream& in, const std::string& name,
                      std::vector<std::int32_t>& regionIds) {
    std::string word;
    if (!(in >> word)) {
        ReportEndsEarly(name);
        return false;
    }
    ConsoleLog("%s \n", word.c_str());

    std::string countWord1, countWord2, countToken;
    if (!(in >> countWord1 >> countWord2 >> countToken)) {
        ReportEndsEarly(name);
        return false;
    }
    std::int32_t count = 0;
    if (!ParseInt32(countToken, count)) {
        ReportNotNumeric(name, countToken);
        return false;
    }
    ConsoleLog("%s %s %d\n", countWord1.c_str(), countWord2.c_str(), count);
    if (count < 0 || static_cast<std::size_t>(count) != regionIds.size()) {
        ConsoleLog(
            "segmentation file %s is for %d polygons but the heart has %zu; no region id "
            "changed\n",
            name.c_str(), count, regionIds.size());
        return false;
    }

    // Entries go to a scratch array first so that a bad entry anywhere leaves the ids as they were.
    std::vector<std::int32_t> read(regionIds.size(), 0);
    std::string label, indexToken, idToken;
    for (std::int32_t k = 0; k < count; ++k) {
        if (!(in >> label >> indexToken >> idToken)) {
            ReportEndsEarly(name);
            return false;
        }
        std::int32_t unusedIndex = 0, id = 0;
        if (!ParseInt32(indexToken, unusedIndex)) {
            ReportNotNumeric(name, indexToken);
            return false;
        }
        if (!ParseInt32(idToken, id)) {
            ReportNotNumeric(name, idToken);
            return false;
        }
        read[static_cast<std::size_t>(k)] = id != 0 ? 1 : 0;
    }
    // The closing word tells a complete file from one cut inside its last number.
    std::string closing;
    if (!(in >> closing)) {
        ReportEndsEarly(name);
        return false;
    }
    regionIds.swap(read);
    ConsoleLog("fin %s", closing.c_str());
    return true;
}

bool ImportSegmentationFile(const std::string& path, std::vector<std::int32_t>& regionIds) {
    if (!HasExactExtension(path, kSegmentationExtension)) {
        ConsoleLog("segmentation file %s does not end in .kxseg; no region id changed\n",
                   path.c_str());
        return false;
    }
    std::ifstream in(path);
    if (!in) {
        ConsoleLog("cannot open segmentation file %s; no region id changed\n", path.c_str());
        return false;
    }
    return ReadSegmentation(in, path, regionIds);
}

std::string SegmentationExportPath(const std::string& chosenPath) {
    if (HasExactExtension(chosenPath, kSegmentationExtension)) return chosenPath;
    return chosenPath + "." + kSegmentationExtension;
}

bool WriteSegmentationFile(const std::string& path, const std::vector<std::int32_t>& regionIds) {
    const FileWriteResult result = WriteFileSafely(path, [&regionIds](std::FILE* file) {
        std::fprintf(file, "segmentationdata\n");
        std::fprintf(file, "polygon number %d\n", static_cast<int>(regionIds.size()));
        for (std::size_t i = 0; i < regionIds.size(); ++i) {
            std::fprintf(file, "id: %d %d\n", static_cast<int>(i), static_cast<int>(regionIds[i]));
        }
        std::fprintf(file, "end\n");
        return std::ferror(file) == 0;
    });
    if (result == FileWriteResult::kCannotOpen) {
        ConsoleLog("cannot write segmentation file %s: %s\n", path.c_str(), std::strerror(errno));
    } else if (result == FileWriteResult::kCannotWrite) {
        ConsoleLog("cannot write segmentation file %s: the write did not complete\n", path.c_str());
    }
    return result == FileWriteResult::kWritten;
}

}  // namespace vantrel
