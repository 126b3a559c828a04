#pragma once
// The heart file the program has loaded, as the work document names it.
#include <string>

#include "growth/WorkDocument.h"

namespace vantrel {

struct HeartSource {
    std::string path;  // absolute; empty while no heart is loaded
    bool capValves = false;
    FileFingerprint fingerprint;  // of the file as it was loaded
};

HeartSource& LoadedHeartSource();
// Records the heart just loaded from `path` (made absolute) with its fingerprint.
void RememberLoadedHeart(const std::string& path, bool capValves);

}  // namespace vantrel
