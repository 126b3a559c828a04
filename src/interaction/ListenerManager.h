#pragma once
// Holds the listener that currently receives each window's mouse input: the rule
// window's, and the main view's, which the segmentation mode switches.
#include <functional>

#include "interaction/MLState.h"

namespace vantrel {

class ListenerManager {
public:
    // `segmentationListener` is asked for the segmentation listener on the first
    // switch to it (so that it is made only when needed).
    ListenerManager(MLState* ruleWindowListener, MLState* mainWindowListener,
                    std::function<MLState*()> segmentationListener);

    // The main view's input goes to the segmentation listener / back to the main
    // listener. Neither touches the listeners' own state.
    void SwitchToSegmentation();
    void SwitchToMain();

    MLState* ruleListener;
    MLState* mainListener;

private:
    MLState* mainWindowListener_;
    std::function<MLState*()> segmentationListener_;
};

}  // namespace vantrel
