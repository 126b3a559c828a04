#pragma once
// The program's start-up and exit, in their fixed order. Start-up: "start" on the
// console, the heart and then, once it loaded, its segmentation (from the command line
// or the two file dialogs) before any window, then the frame with its views, the
// remaining shared objects, and both views' pick buffers, so the first click already
// resolves. A heart cancelled or refused is reported in the window, which stays usable.
// Exit: the frame (and with it the views' OpenGL resources), then the shared
// objects.
#include <memory>

#include "app/StartOptions.h"

namespace vantrel {

class CMainFrame;

class CVantrelApp {
public:
    CVantrelApp();
    ~CVantrelApp();

    // Runs the start-up once a QApplication exists; sets LC_NUMERIC to "C" first.
    // Returns false when the program cannot start.
    bool Start(const StartOptions& options);
    // Runs the exit sequence; returns `exitCode`.
    int Exit(int exitCode);

    CMainFrame* Frame() const { return frame_.get(); }

private:
    std::unique_ptr<CMainFrame> frame_;
    bool exited_ = false;
};

}  // namespace vantrel
