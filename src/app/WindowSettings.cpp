#include "app/WindowSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <algorithm>

#include "app/CMainFrame.h"

namespace vantrel {
namespace {

constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kStateKey = "window/state";
constexpr const char* kSplitterKey = "window/splitter";
constexpr int kRuleWindowWidth = 200;

QSettings ProgramSettings() {
    return QSettings("Vantrel", "Vantrel");
}

void ShowAsFirstStart(CMainFrame& frame) {
    QScreen* screen = frame.screen() ? frame.screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1125, 950);
    const QSize size(available.width() * 8 / 10, available.height() * 8 / 10);
    frame.resize(size);
    frame.move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    frame.show();
    const int total = frame.Splitter()->width() - frame.Splitter()->handleWidth();
    frame.Splitter()->setSizes({kRuleWindowWidth, std::max(total - kRuleWindowWidth, 1)});
}

}  // namespace

void ShowFrameAsLastTime(CMainFrame& frame) {
    QSettings settings = ProgramSettings();
    const QByteArray geometry = settings.value(kGeometryKey).toByteArray();
    if (geometry.isEmpty() || !frame.restoreGeometry(geometry)) {
        ShowAsFirstStart(frame);
        return;
    }
    frame.restoreState(settings.value(kStateKey).toByteArray());
    frame.show();
    frame.Splitter()->restoreState(settings.value(kSplitterKey).toByteArray());
}

void KeepFrameLayout(const CMainFrame& frame) {
    QSettings settings = ProgramSettings();
    settings.setValue(kGeometryKey, frame.saveGeometry());
    settings.setValue(kStateKey, frame.saveState());
    settings.setValue(kSplitterKey, frame.Splitter()->saveState());
}

}  // namespace vantrel
