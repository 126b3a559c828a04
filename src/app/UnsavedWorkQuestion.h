#pragma once
// The question asked before work that is not saved would be lost (New, Open, another
// heart, Exit, closing the window): "Save", "Discard" or "Cancel". It goes through
// the installed asker: by default a message box; the program's tests install one
// that answers at once.
#include <QString>

class QWidget;

namespace vantrel {

enum class UnsavedWorkAnswer { kSave, kDiscard, kCancel };

class UnsavedWorkAsker {
public:
    virtual ~UnsavedWorkAsker() = default;
    // `documentName` is the title's name of the document ("Untitled" for a new one).
    virtual UnsavedWorkAnswer Ask(QWidget* parent, const QString& documentName) = 0;
};

// Makes `asker` answer every later question (not owned; nullptr restores the message
// box) and returns the asker it replaces.
UnsavedWorkAsker* InstallUnsavedWorkAsker(UnsavedWorkAsker* asker);

UnsavedWorkAnswer AskAboutUnsavedWork(QWidget* parent, const QString& documentName);

}  // namespace vantrel
