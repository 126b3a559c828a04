#include "app/SegmentationQuestion.h"

#include <QMessageBox>
#include <QPushButton>

namespace vantrel {
namespace {

class SegmentationMessageBox : public SegmentationAsker {
public:
    SegmentationAnswer Ask(QWidget* parent, long markedPolygons) override {
        QMessageBox question(QMessageBox::Question, "SegmentationMode",
                             QString("%1 polygons are marked for fibres. Clear the segmentation "
                                     "and paint from nothing, or keep painting on it?")
                                 .arg(markedPolygons),
                             QMessageBox::NoButton, parent);
        QPushButton* clear = question.addButton("Clear", QMessageBox::DestructiveRole);
        QPushButton* keep = question.addButton("Keep painting", QMessageBox::AcceptRole);
        question.setDefaultButton(keep);
        question.setEscapeButton(keep);
        question.exec();
        return question.clickedButton() == clear ? SegmentationAnswer::kClear
                                                 : SegmentationAnswer::kKeep;
    }
};

SegmentationAsker*& InstalledAsker() {
    static SegmentationAsker* asker = nullptr;
    return asker;
}

}  // namespace

SegmentationAsker* InstallSegmentationAsker(SegmentationAsker* asker) {
    SegmentationAsker* previous = InstalledAsker();
    InstalledAsker() = asker;
    return previous;
}

SegmentationAnswer AskAboutSegmentation(QWidget* parent, long markedPolygons) {
    static SegmentationMessageBox messageBox;
    SegmentationAsker* asker = InstalledAsker();
    return (asker ? asker : &messageBox)->Ask(parent, markedPolygons);
}

}  // namespace vantrel
