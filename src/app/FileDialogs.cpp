#include "app/FileDialogs.h"

#include <QFileDialog>

namespace vantrel {

QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, QString(), filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, QString(), filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

}  // namespace vantrel
