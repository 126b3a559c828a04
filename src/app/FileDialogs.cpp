#include "app/FileDialogs.h"

#include <QFileDialog>

namespace vantrel {
namespace {

FileNameProvider*& InstalledProvider() {
    static FileNameProvider* provider = nullptr;
    return provider;
}

QString AskInstalled(QWidget* parent, FileQuestion::Mode mode, const QString& title,
                     const QString& filter) {
    static QtFileDialogs dialogs;
    FileNameProvider* provider = InstalledProvider();
    return (provider ? provider : &dialogs)->Ask(parent, {mode, title, filter});
}

}  // namespace

QString QtFileDialogs::Ask(QWidget* parent, const FileQuestion& question) {
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

}  // namespace vantrel
