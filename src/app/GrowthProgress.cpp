#include "app/GrowthProgress.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressDialog>

namespace vantrel {

GrowthProgress::GrowthProgress(QWidget* parent, int showAfterMs)
    : parent_(parent), showAfterMs_(showAfterMs) {
    clock_.start();
}

GrowthProgress::~GrowthProgress() = default;

bool GrowthProgress::PassDue() {
    const qint64 now = clock_.elapsed();
    const qint64 interval = showAfterMs_ / 4;
    if (now < interval || (lastShownMs_ >= 0 && now - lastShownMs_ < interval)) return false;
    lastShownMs_ = now;
    return true;
}

void GrowthProgress::ShowPass(const QString& message) {
    if (!dialog_) {
        if (clock_.elapsed() < showAfterMs_) return;
        // Made only now: the dialog's own show timer starts at its construction.
        dialog_ = std::make_unique<QProgressDialog>(parent_);
        dialog_->setWindowTitle("Growing");
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setRange(0, 0);  // the number of passes is not known ahead
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setCancelButtonText("Cancel (Esc)");
        connect(dialog_.get(), &QProgressDialog::canceled, this, [this] { cancelled_ = true; });
        // Esc is taken here, so that it cancels rather than just hiding the dialog.
        dialog_->installEventFilter(this);
        dialog_->show();
    }
    dialog_->setLabelText(message + "\nEsc cancels and keeps the network grown so far.");
    QCoreApplication::processEvents();
}

bool GrowthProgress::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dialog_.get() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancelled_ = true;
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vantrel
