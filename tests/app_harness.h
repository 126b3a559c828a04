#pragma once
// The program tests' fixture: each test executable starts the real program once on
// the demo heart (VANTREL_PROGRAM_TEST_MAIN), with its file-name questions answered
// from a script instead of a dialog. Helpers drive its menus, advance its animation,
// count repaints and keep screenshots. Nothing here waits on the clock: every wait
// is for a condition.
#include <dlfcn.h>
#include <link.h>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QOpenGLWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "app/CVantrelView.h"
#include "app/FileDialogs.h"
#include "app/SegmentationQuestion.h"
#include "app/Singletons.h"
#include "app/UnsavedWorkQuestion.h"
#include "cli/StartPolygon.h"
#include "interaction/CRuleView.h"
#include "render/HeartDrawing.h"
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
    QDir().mkpath(VANTREL_TEST_OUTPUT_DIR);
    return VANTREL_TEST_OUTPUT_DIR;
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the program's file-name questions in order from a queue (an empty path, or
// an empty queue, cancels) and records every question.
class ScriptedFileNames : public FileNameProvider {
public:
    void Answer(const QString& path) { answers_.push_back(path); }
    QString Ask(QWidget*, const FileQuestion& question) override {
        questions.push_back(question);
        return answers_.isEmpty() ? QString() : answers_.takeFirst();
    }
    // The filter of the last question asked.
    QString LastFilter() const { return questions.isEmpty() ? QString() : questions.back().filter; }

    QList<FileQuestion> questions;

private:
    QStringList answers_;
};

// Answers the question asked when segmentation mode is entered with polygons marked,
// from a queue; with none queued it keeps the segmentation (the answer that loses
// nothing). Counts the questions.
class ScriptedSegmentationAnswers : public SegmentationAsker {
public:
    void Answer(SegmentationAnswer answer) { answers_.push_back(answer); }
    SegmentationAnswer Ask(QWidget*, long) override {
        ++asked;
        return answers_.isEmpty() ? SegmentationAnswer::kKeep : answers_.takeFirst();
    }
    int asked = 0;

private:
    QList<SegmentationAnswer> answers_;
};
inline ScriptedSegmentationAnswers& SegmentationAnswers() {
    static ScriptedSegmentationAnswers answers;
    return answers;
}

// Answers the question asked before unsaved work would be lost with `answer`
// ("Discard" unless a test sets another, so no test waits on a message box) and
// counts the questions.
class ScriptedUnsavedWorkAnswer : public UnsavedWorkAsker {
public:
    UnsavedWorkAnswer Ask(QWidget*, const QString&) override {
        ++asked;
        return answer;
    }
    UnsavedWorkAnswer answer = UnsavedWorkAnswer::kDiscard;
    int asked = 0;
};
inline ScriptedUnsavedWorkAnswer& UnsavedWorkAnswers() {
    static ScriptedUnsavedWorkAnswer answers;
    return answers;
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

// Points the program's settings at a folder of this test process, empty at first, so
// no run sees the user's settings or another run's. Call before the program starts.
inline void IsolateSettings() {
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

// The window waits are bounded by their condition; the limit only ends a run whose
// display never answers.
constexpr int kWindowWaitMs = 120000;

// The program under test and its scripted file names, set while a program test runs.
struct RunningProgram {
    CVantrelApp* program = nullptr;
    ScriptedFileNames* fileNames = nullptr;
};
inline RunningProgram& Running() {
    static RunningProgram running;
    return running;
}
inline CMainFrame* Frame() {
    return Running().program->Frame();
}
inline ScriptedFileNames& FileNames() {
    return *Running().fileNames;
}

// A growth-progress delay no test's growth reaches.
constexpr int kGrowthProgressNever = std::numeric_limits<int>::max();

// main() of a program test: the OpenGL format is chosen before QApplication, the
// program starts on the demo heart and its segmentation (as the README runs it) with
// an active window (shortcuts reach only the active window), then the tests run.
template <typename Test>
int RunOnDemoHeart(int argc, char** argv) {
    UseFixedFunctionSurfaceFormat();
    QApplication application(argc, argv);
    IsolateSettings();
    ScriptedFileNames fileNames;
    InstallFileNameProvider(&fileNames);
    InstallSegmentationAsker(&SegmentationAnswers());
    InstallUnsavedWorkAsker(&UnsavedWorkAnswers());
    CVantrelApp program;
    StartOptions options;
    options.heartPath = DemoHeart();
    options.segmentationPath = DemoSegmentation();
    const bool shown =
        program.Start(options) && QTest::qWaitForWindowExposed(program.Frame(), kWindowWaitMs);
    if (shown) program.Frame()->activateWindow();
    if (!shown || !QTest::qWaitForWindowActive(program.Frame(), kWindowWaitMs)) {
        qCritical("the program did not start on the demo heart with an active window");
        return 1;
    }
    KeepGlDriverLoaded();
    // Growth shows its progress (and lets events through) only once it has run for a
    // while: how long a growth runs depends on the machine, so tests never reach it
    // unless they ask (SetGrowthProgressDelay(0)).
    program.Frame()->SetGrowthProgressDelay(kGrowthProgressNever);
    Running() = {&program, &fileNames};
    Test test;
    const int failures = QTest::qExec(&test, argc, argv);
    program.Exit(0);
    return failures;
}

// The menu action whose text (with its '&') is `text` in the menu titled `menu`.
inline QAction* MenuAction(const QString& menu, const QString& text) {
    for (QAction* top : Frame()->menuBar()->actions()) {
        if (top->text() != menu || !top->menu()) continue;
        for (QAction* item : top->menu()->actions()) {
            if (item->text() == text) return item;
        }
    }
    return nullptr;
}

// Chooses a menu item as a user would: the action of that menu entry is triggered.
inline bool ChooseMenu(const QString& menu, const QString& text) {
    QAction* action = MenuAction(menu, text);
    if (!action || !action->isEnabled()) return false;
    action->trigger();
    return true;
}

// Advances the excitation wave by one tick of the animation timer. The timer is
// stopped first, so only the test moves the wave and every step is seen.
inline void TickAnimation() {
    QTimer& timer = const_cast<QTimer&>(Frame()->AnimationTimer());
    timer.stop();
    QMetaObject::invokeMethod(&timer, "timeout");
}

// The main view's camera at (5, 5, 15) looking at (5, 5, 5): close enough that the
// heart fills most of the view, as the picking and painting tests need; the pick
// buffers follow.
inline void UseCloseUpCamera() {
    ViewCore* views = TheViewCore();
    views->mainGL.SetCamera(Camera{Vector3(5, 5, 15), Vector3(5, 5, 5), Vector3(0, 1, 0)});
    views->mainRenderer.RenderPickBuffer(views->mainGL, *TheHeartModel(), *TheFiberCore());
}

// Four start points on each polygon, as a mouse placement gives them.
inline void PlaceStartPoints(const std::vector<int>& polygons) {
    HeartModel* heart = TheHeartModel();
    for (int polygon : polygons) {
        const MeshPolygon& p = heart->mesh.polygons[static_cast<size_t>(polygon)];
        for (const StartPoint& start : StartPointsOnPolygon(
                 heart->mesh.vertices[p.vertex[0]].position,
                 heart->mesh.vertices[p.vertex[1]].position,
                 heart->mesh.vertices[p.vertex[2]].position, p.normal, heart->LayerDepth())) {
            TheFiberCore()->startPoints.push_back(start);
        }
    }
}

inline int StrokeCount() {
    int strokes = 0;
    for (const Fiber& fiber : TheFiberCore()->fibers)
        strokes += static_cast<int>(fiber.strokes.size());
    return strokes;
}

// Counts the paint events a widget receives.
class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(QWidget* widget) : widget_(widget) { widget_->installEventFilter(this); }
    ~PaintWatcher() override { widget_->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }

private:
    QWidget* widget_;
};

// Acts on every modal dialog shown while it lives. `act` is posted when the dialog is
// shown, so it runs from the dialog's own event loop: no clock decides when.
class ModalDialogHandler : public QObject {
public:
    explicit ModalDialogHandler(std::function<void(QDialog*)> act) : act_(std::move(act)) {
        qApp->installEventFilter(this);
    }
    ~ModalDialogHandler() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog && dialog->isModal()) {
            QMetaObject::invokeMethod(
                dialog, [this, dialog] { act_(dialog); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void(QDialog*)> act_;
};

// Saves the view's current picture under OutputDir() and returns it.
inline QImage Screenshot(QOpenGLWidget* view, const QString& name) {
    const QImage image = view->grabFramebuffer();
    image.save(OutputDir() + "/" + name + ".png");
    return image;
}

// Number of pixels of `image` whose colour passes `test`.
template <typename Test>
int CountPixels(const QImage& image, Test test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
}

// Number of pixels of `image` within `tolerance` of `colour` in every channel.
inline int CountColour(const QImage& image, QColor colour, int tolerance) {
    return CountPixels(image, [&](const QColor& pixel) {
        return std::abs(pixel.red() - colour.red()) <= tolerance &&
               std::abs(pixel.green() - colour.green()) <= tolerance &&
               std::abs(pixel.blue() - colour.blue()) <= tolerance;
    });
}

}  // namespace vantrel::testing

// main() of a test that starts the program itself.
#define VANTREL_QT_TEST_MAIN(TestClass)           \
    int main(int argc, char** argv) {             \
        vantrel::UseFixedFunctionSurfaceFormat(); \
        QApplication application(argc, argv);     \
        vantrel::testing::IsolateSettings();      \
        TestClass test;                           \
        return QTest::qExec(&test, argc, argv);   \
    }

// main() of a test of the program started on the demo heart.
#define VANTREL_PROGRAM_TEST_MAIN(TestClass)                            \
    int main(int argc, char** argv) {                                   \
        return vantrel::testing::RunOnDemoHeart<TestClass>(argc, argv); \
    }
