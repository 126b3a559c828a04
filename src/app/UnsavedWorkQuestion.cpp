#include "app/UnsavedWorkQuestion.h"

#include <QMessageBox>

namespace vantrel {
namespace {

UnsavedWorkAsker*& InstalledAsker() {
    static UnsavedWorkAsker* asker = nullptr;
    return asker;
}

// A modal message box; Escape and the window's close button cancel.
UnsavedWorkAnswer AskWithMessageBox(QWidget* parent, const QString& documentName) {
    const QMessageBox::StandardButton answer = QMessageBox::question(
        parent, "Vantrel", QString("Save the changes to %1?").arg(documentName),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return UnsavedWorkAnswer::kSave;
    if (answer == QMessageBox::Discard) return UnsavedWorkAnswer::kDiscard;
    return UnsavedWorkAnswer::kCancel;
}

}  // namespace

UnsavedWorkAsker* InstallUnsavedWorkAsker(UnsavedWorkAsker* asker) {
    UnsavedWorkAsker* previous = InstalledAsker();
    InstalledAsker() = asker;
    return previous;
}

UnsavedWorkAnswer AskAboutUnsavedWork(QWidget* parent, const QString& documentName) {
    UnsavedWorkAsker* asker = InstalledAsker();
    return asker ? asker->Ask(parent, documentName) : AskWithMessageBox(parent, documentName);
}

}  // namespace vantrel
