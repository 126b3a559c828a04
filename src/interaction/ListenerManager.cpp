#include "interaction/ListenerManager.h"

#include <utility>

namespace vantrel {

ListenerManager::ListenerManager(MLState* ruleWindowListener, MLState* mainWindowListener,
                                 std::function<MLState*()> segmentationListener)
    : ruleListener(ruleWindowListener),
      mainListener(mainWindowListener),
      mainWindowListener_(mainWindowListener),
      segmentationListener_(std::move(segmentationListener)) {}

void ListenerManager::SwitchToSegmentation() {
    if (segmentationListener_) mainListener = segmentationListener_();
}

void ListenerManager::SwitchToMain() {
    mainListener = mainWindowListener_;
}

}  // namespace vantrel
