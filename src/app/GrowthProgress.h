#pragma once
// The progress of one growth run in the program, and its cancellation. A run that
// ends within a quarter of `showAfterMs` shows nothing until its final picture (on a
// software renderer one picture of the view costs more than a quick growth). Later
// passes are shown, at most four times per `showAfterMs`, by the caller's status
// line and repaint. Once the
// run has gone on for `showAfterMs` (about a second) an application-modal dialog shows
// the pass and the strokes too, and events are processed after every pass shown: the
// dialog being modal, no edit can reach the scene meanwhile, but its Cancel button or
// Esc can, and the run then ends after the pass under way, keeping the network grown
// so far. Before the dialog opens no event is processed (growth is not re-entrant).
// With `showAfterMs` 0 every pass is shown and the dialog opens at once.
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

    // Whether the pass just grown is to be shown (then call ShowPass).
    bool PassDue();
    // Opens the dialog once the delay has passed, shows `message` in it and lets the
    // events through.
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
    qint64 lastShownMs_ = -1;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

}  // namespace vantrel
