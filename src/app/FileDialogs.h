#pragma once
// Where the program gets file names from: every open and save question goes through
// the installed FileNameProvider. By default that is Qt's own dialogs (the same on
// every desktop), with filters written as "name (*.ext)", no default suffix and no
// initial name; the program's tests install one that answers from a script.
#include <QString>

class QWidget;

namespace vantrel {

// One question for a file name, as the user would see it.
struct FileQuestion {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString filter;
    // A check box asked with an open question ("Cap open valves"); empty: none. Its
    // state starts as *optionTicked and goes back there when the question is answered.
    QString option;
    bool* optionTicked = nullptr;
};

class FileNameProvider {
public:
    virtual ~FileNameProvider() = default;
    // The chosen path, or an empty string when the question was cancelled. `parent`
    // is the window the question belongs to (none before the main window exists).
    virtual QString Ask(QWidget* parent, const FileQuestion& question) = 0;
};

// Asks with a modal QFileDialog.
class QtFileDialogs : public FileNameProvider {
public:
    QString Ask(QWidget* parent, const FileQuestion& question) override;
};

// Makes `provider` answer every later question (not owned; nullptr restores Qt's
// dialogs) and returns the provider it replaces.
FileNameProvider* InstallFileNameProvider(FileNameProvider* provider);

// The chosen path, or an empty string when the question was cancelled.
QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter);
QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& filter);
// An open question with a check box labelled `option` under the file list; `ticked`
// gives the box's start state and receives its state when the question is answered.
QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filter,
                         const QString& option, bool& ticked);

}  // namespace vantrel
