#include "app/Singletons.h"

#include <cassert>

#include "app/GrowthParameterDlg.h"

namespace vantrel {
namespace {

ViewCore* viewCore = nullptr;
FiberCore* fiberCore = nullptr;
HeartModel* heartModel = nullptr;
RuleLayout* ruleLayout = nullptr;
MLforRuleWindow* ruleWindowListener = nullptr;
MLforMainWindow* mainWindowListener = nullptr;
MLforSegmentation* segmentationListener = nullptr;
ListenerManager* listenerManager = nullptr;
bool deleted = false;

}  // namespace

ViewCore* TheViewCore() {
    assert(!deleted);
    if (!viewCore) {
        viewCore = new ViewCore([] { return new GrowthParameterDlg(ProgramGrowthParameters()); });
    }
    return viewCore;
}

FiberCore* TheFiberCore() {
    assert(!deleted);
    if (!fiberCore) fiberCore = new FiberCore();
    return fiberCore;
}

HeartModel* TheHeartModel() {
    assert(!deleted);
    if (!heartModel) heartModel = new HeartModel();
    return heartModel;
}

RuleLayout* TheRuleLayout() {
    assert(!deleted);
    if (!ruleLayout) ruleLayout = new RuleLayout(TheFiberCore()->rule1, TheFiberCore()->rule2);
    return ruleLayout;
}

MLforRuleWindow* TheMLforRuleWindow() {
    assert(!deleted);
    if (!ruleWindowListener)
        ruleWindowListener = new MLforRuleWindow(*TheViewCore(), *TheRuleLayout());
    return ruleWindowListener;
}

MLforMainWindow* TheMLforMainWindow() {
    assert(!deleted);
    if (!mainWindowListener) {
        mainWindowListener = new MLforMainWindow(*TheViewCore(), *TheHeartModel(), *TheFiberCore());
    }
    return mainWindowListener;
}

MLforSegmentation* TheMLforSegmentation() {
    assert(!deleted);
    if (!segmentationListener) {
        segmentationListener =
            new MLforSegmentation(*TheViewCore(), *TheHeartModel(), *TheFiberCore());
    }
    return segmentationListener;
}

ListenerManager* TheListenerManager() {
    assert(!deleted);
    if (!listenerManager) {
        listenerManager = new ListenerManager(TheMLforRuleWindow(), TheMLforMainWindow(),
                                              [] { return TheMLforSegmentation(); });
    }
    return listenerManager;
}

ListenerManager* ExistingListenerManager() {
    return listenerManager;
}

GrowthParameters& ProgramGrowthParameters() {
    static GrowthParameters parameters;
    return parameters;
}

ScenePhysiology& ProgramPhysiology() {
    static ScenePhysiology physiology;
    return physiology;
}

GrowthRandom& ProgramRandom() {
    static GrowthRandom random;
    return random;
}

void DeleteSingletons() {
    delete heartModel;
    heartModel = nullptr;
    delete ruleLayout;
    ruleLayout = nullptr;
    delete ruleWindowListener;
    ruleWindowListener = nullptr;
    delete mainWindowListener;
    mainWindowListener = nullptr;
    delete listenerManager;
    listenerManager = nullptr;
    delete segmentationListener;
    segmentationListener = nullptr;
    delete fiberCore;
    fiberCore = nullptr;
    delete viewCore;
    viewCore = nullptr;
    deleted = true;
}

}  // namespace vantrel
