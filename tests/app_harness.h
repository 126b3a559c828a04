#pragma once
// Shared helpers of the program's Qt tests: start the real program on the demo
// heart, answer its file dialogs, drive its menus and views with real input
// events, and keep screenshots. Each test executable starts the program once.
#include <dlfcn.h>
#include <link.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QOpenGLWidget>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "app/CVantrelView.h"
#include "app/Singletons.h"
#include "interaction/CRuleView.h"
#include "render/SurfaceFormat.h"

namespace vantrel::testing {

inline std::string DemoHeart() {
    return std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
}
inline std::string DemoSegmentation() {
    return std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";
}

// Where screenshots and files written by the tests go (inside the build folder).
inline QString OutputDir() {
    const QString dir = QString(VANTREL_TEST_OUTPUT_DIR);
    QDir().mkpath(dir);
    return dir;
}

// Keeps the OpenGL driver's shared objects mapped until the process ends. The
// driver is unloaded when the X connection closes at exit; the leak checker that
// runs after that could no longer name it, so its known leaks would escape their
// suppression (tests/lsan.supp). Call once a view has its context.
inline void KeepGlDriverLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so")) {
                // Takes a reference marked "never unload" on the library already loaded.
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

// Starts the program on the demo heart and its segmentation, as the README runs it.
inline std::unique_ptr<CVantrelApp> StartOnDemoHeart() {
    auto program = std::make_unique<CVantrelApp>();
    StartOptions options;
    options.heartPath = DemoHeart();
    options.segmentationPath = DemoSegmentation();
    if (!program->Start(options)) return nullptr;
    if (!QTest::qWaitForWindowExposed(program->Frame())) return nullptr;
    // Shortcuts reach only the active window.
    program->Frame()->activateWindow();
    if (!QTest::qWaitForWindowActive(program->Frame())) return nullptr;
    KeepGlDriverLoaded();
    return program;
}

// The menu action whose text (with its '&') is `text` in the menu titled `menu`.
inline QAction* MenuAction(CMainFrame* frame, const QString& menu, const QString& text) {
    for (QAction* top : frame->menuBar()->actions()) {
        if (top->text() != menu || !top->menu()) continue;
        for (QAction* item : top->menu()->actions()) {
            if (item->text() == text) return item;
        }
    }
    return nullptr;
}

// Chooses a menu item as a user would: the action of that menu entry is triggered.
inline bool ChooseMenu(CMainFrame* frame, const QString& menu, const QString& text) {
    QAction* action = MenuAction(frame, menu, text);
    if (!action || !action->isEnabled()) return false;
    action->trigger();
    return true;
}

// Answers the next modal file dialog: records its name filters, then selects `path`
// and accepts, or cancels when `path` is empty. Returns at once; the answer comes
// when the dialog opens.
inline void AnswerNextFileDialog(const QString& path, QStringList* filters = nullptr) {
    QTimer* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, path, filters] {
        QFileDialog* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        // A dialog answered before may still be closing; wait for the next one.
        if (!dialog || !dialog->isVisible() || dialog->property("vantrelAnswered").toBool()) return;
        dialog->setProperty("vantrelAnswered", true);
        timer->stop();
        timer->deleteLater();
        if (filters) *filters = dialog->nameFilters();
        if (path.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept checks the name
        }
    });
    timer->start();
}

// Saves the view's current picture under OutputDir() and returns it.
inline QImage Screenshot(QOpenGLWidget* view, const QString& name) {
    const QImage image = view->grabFramebuffer();
    image.save(OutputDir() + "/" + name + ".png");
    return image;
}

// Number of pixels of `image` within `tolerance` of `colour` in every channel.
inline int CountColour(const QImage& image, QColor colour, int tolerance) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance &&
                std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace vantrel::testing

// main() of a program test: the OpenGL format must be chosen before QApplication.
#define VANTREL_QT_TEST_MAIN(TestClass)           \
    int main(int argc, char** argv) {             \
        vantrel::UseFixedFunctionSurfaceFormat(); \
        QApplication application(argc, argv);     \
        TestClass test;                           \
        return QTest::qExec(&test, argc, argv);   \
    }
