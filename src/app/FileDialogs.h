#pragma once
// The program's file choosers: Qt's own dialogs (the same on every desktop), with
// filters written as "name (*.ext)", no default suffix and no initial name.
#include <QString>

class QWidget;

namespace vantrel {

// The chosen path, or an empty string when the dialog was cancelled.
QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter);
QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& filter);

}  // namespace vantrel
