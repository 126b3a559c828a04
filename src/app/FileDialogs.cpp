#include "app/FileDialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>

namespace vantrel {
namespace {

FileNameProvider*& InstalledProvider() {
    static FileNameProvider* provider = nullptr;
    return provider;
}

QString AskInstalled(QWidget* parent, const FileQuestion& question) {
    static QtFileDialogs dialogs;
    FileNameProvider* provider = InstalledProvider();
    return (provider ? provider : &dialogs)->Ask(parent, question);
}

QString AskInstalled(QWidget* parent, FileQuestion::Mode mode, const QString& title,
                     const QString& filter) {
    return AskInstalled(parent, {mode, title, filter, QString(), nullptr});
}

// Qt's own open dialog with the question's check box in a row of its own under
// the file list (the dialog lays itself out on a grid).
QString AskOpenWithOption(QWidget* parent, const FileQuestion& question) {
    QFileDialog dialog(parent, question.title, QString(), question.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QCheckBox* box = new QCheckBox(question.option, &dialog);
    box->setObjectName("questionOption");
    box->setChecked(*question.optionTicked);
    if (QGridLayout* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    *question.optionTicked = box->isChecked();
    return dialog.selectedFiles().first();
}

}  // namespace

QString QtFileDialogs::Ask(QWidget* parent, const FileQuestion& question) {
    if (question.mode == FileQuestion::Mode::Open && !question.option.isEmpty() &&
        question.optionTicked != nullptr)
        return AskOpenWithOption(parent, question);
    if (question.mode == FileQuestion::Mode::Open) {
        return QFileDialog::getOpenFileName(parent, question.title, QString(), question.filter,
                                            nullptr, QFileDialog::DontUseNativeDialog);
    }
    return QFileDialog::getSaveFileName(parent, question.title, QString(), question.filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

FileNameProvider* InstallFileNameProvider(FileNameProvider* provider) {
    FileNameProvider* previous = InstalledProvider();
    InstalledProvider() = provider;
    return previous;
}

QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter) {
    return AskInstalled(parent, FileQuestion::Mode::Open, title, filter);
}

QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& filter) {
    return AskInstalled(parent, FileQuestion::Mode::Save, title, filter);
}

QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter,
                         const QString& option, bool& ticked) {
    return AskInstalled(parent, {FileQuestion::Mode::Open, title, filter, option, &ticked});
}

}  // namespace vantrel
