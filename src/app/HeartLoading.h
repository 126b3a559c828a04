#pragma once
// The heart questions, shared by the start-up and File > "Open Heart...": the heart
// mesh first (with its "Cap open valves" box), and only once that mesh has loaded its
// segmentation. A path given on the command line replaces its question.
#include <QString>
#include <optional>
#include <string>

#include "heart/HeartModel.h"

class QWidget;

namespace vantrel {

struct StartOptions;

struct HeartLoadOutcome {
    enum class Kind { kLoaded, kCancelled, kRefused };
    Kind kind = Kind::kCancelled;
    QString heartPath;           // empty when the heart question was cancelled
    bool capOpenValves = false;  // the "Cap open valves" choice the heart was loaded with
    QString reason;              // why the heart was refused (its console line)
};

// Asks for (or takes from `options`) the heart and loads it into `heart`, which must be
// empty; then asks for (or takes) the segmentation and builds the fibre layer. A
// refused heart leaves `heart` empty and its segmentation is never asked for.
HeartLoadOutcome AskAndLoadHeart(QWidget* parent, const StartOptions& options, HeartModel& heart);

// The status-bar and message-box text for a heart that did not load.
QString HeartNotLoadedMessage(const HeartLoadOutcome& outcome);

}  // namespace vantrel
