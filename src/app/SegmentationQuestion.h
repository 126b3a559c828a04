#pragma once
// The question asked when "SegmentationMode" is switched on while polygons are marked:
// clear the segmentation and paint from nothing, or keep painting on it. It goes
// through the installed asker: by default a message box (closing it keeps painting on
// the segmentation, which loses nothing); the program's tests install one that answers
// at once.
#include <QString>

class QWidget;

namespace vantrel {

enum class SegmentationAnswer { kClear, kKeep };

class SegmentationAsker {
public:
    virtual ~SegmentationAsker() = default;
    // `markedPolygons` is the number of polygons marked for fibres (at least 1).
    virtual SegmentationAnswer Ask(QWidget* parent, long markedPolygons) = 0;
};

// Makes `asker` answer every later question (not owned; nullptr restores the message
// box) and returns the asker it replaces.
SegmentationAsker* InstallSegmentationAsker(SegmentationAsker* asker);

SegmentationAnswer AskAboutSegmentation(QWidget* parent, long markedPolygons);

}  // namespace vantrel
