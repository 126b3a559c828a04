#include "app/ConsoleDock.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>

#include "geometry/ConsoleLog.h"

namespace vantrel {
namespace {

QString& Captured() {
    static QString text;
    return text;
}

QPointer<QPlainTextEdit>& Pane() {
    static QPointer<QPlainTextEdit> pane;
    return pane;
}

void Append(QPlainTextEdit* pane, const QString& text) {
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

}  // namespace

void CaptureConsole() {
    SetConsoleSink([](const std::string& text) {
        const QString piece =
            QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
        Captured() += piece;
        if (Pane()) Append(Pane(), piece);
    });
}

const QString& CapturedConsoleText() {
    return Captured();
}

void ReleaseConsole() {
    SetConsoleSink({});
}

ConsoleDock::ConsoleDock(QWidget* parent) : QDockWidget("Console", parent) {
    setObjectName("Console");
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The console keeps the last 1200 lines.
    text_->setMaximumBlockCount(1200);
    text_->setPlainText(Captured());
    setWidget(text_);
    Pane() = text_;
}

ConsoleDock::~ConsoleDock() {
    if (Pane() == text_) Pane() = nullptr;
}

}  // namespace vantrel
