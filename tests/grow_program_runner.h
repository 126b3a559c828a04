#pragma once
// Runs the command-line grower from a program test, for comparing its files with the
// program's. Needs VANTREL_GROW_PROGRAM (the test target's path to vantrel-grow).
#include <QProcess>
#include <QStringList>

#include "app_harness.h"

namespace vantrel::testing {

// Runs vantrel-grow on the demo heart with `arguments`; true on exit status 0.
inline bool RunGrowProgram(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(VANTREL_GROW_PROGRAM, QStringList{"--heart", DemoHeart().c_str(),
                                                    "--segmentation", DemoSegmentation().c_str()} +
                                            arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

}  // namespace vantrel::testing
