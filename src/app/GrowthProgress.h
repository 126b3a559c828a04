#pragma once
// The progress of one growth run in the program, and its cancellation. Until the run
// has gone on for `showAfterMs` (about a second) nothing but the caller's own status
// line and repaint shows, and no event is processed (growth is not re-entrant). From
// then on an application-modal dialog shows the pass and the strokes, and events are
// processed after every pass: the dialog being modal, no edit can reach the scene
// meanwhile, but its Cancel button or Esc can, and the run then ends after the pass
// under way, keeping the network grown so far.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace vantrel {

class GrowthProgress : public QObject {
public:
    GrowthProgress(QWidget* parent, int showAfterMs);
    ~GrowthProgress() override;

    // Called after every pass (0 for the set-up): opens the dialog once the delay has
    // passed, shows `message` in it and lets the events through.
    void ShowPass(const QString& message);
    // Cancel or Esc was pressed in the dialog.
    bool Cancelled() const { return cancelled_; }
    // The dialog while it is open, else null.
    QProgressDialog* Dialog() const { return dialog_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* parent_;
    int showAfterMs_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

}  // namespace vantrel
