#pragma once
// The "Console" dock: a read-only text pane that shows every console line of the
// run, including those written before the window existed (they are kept from the
// moment CaptureConsole is called). Text is shown exactly as written: lines
// without a line end run on into the next, as they do on standard error.
#include <QDockWidget>
#include <QString>

class QPlainTextEdit;

namespace vantrel {

// Installs the console sink that keeps every text for the dock. Call once, before
// the first console line.
void CaptureConsole();
// Everything written to the console since CaptureConsole.
const QString& CapturedConsoleText();
// Removes the sink (at exit, before the dock goes away).
void ReleaseConsole();

class ConsoleDock : public QDockWidget {
public:
    // Shows the text captured so far and every later text.
    explicit ConsoleDock(QWidget* parent = nullptr);
    ~ConsoleDock() override;

    QPlainTextEdit* Text() const { return text_; }

private:
    QPlainTextEdit* text_;
};

}  // namespace vantrel
