#include "app/HeartSource.h"

#include <QFileInfo>

namespace vantrel {

HeartSource& LoadedHeartSource() {
    static HeartSource source;
    return source;
}

void RememberLoadedHeart(const std::string& path, bool capValves) {
    HeartSource& source = LoadedHeartSource();
    source.path = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    source.capValves = capValves;
    // A file that cannot be read again gets the empty fingerprint: no document
    // saved on it will open, which is what a vanished heart file deserves.
    if (!FingerprintFile(source.path, source.fingerprint)) source.fingerprint = FileFingerprint();
}

}  // namespace vantrel
