#pragma once
// The program's shared objects. Each accessor makes its object on first use and
// returns the same one afterwards; DeleteSingletons deletes them all once, at exit,
// in a fixed order. Only the program's own layer calls these: the classes below
// receive what they use from here, never call back.
#include "growth/FiberCore.h"
#include "growth/GrowthParameters.h"
#include "growth/GrowthRandom.h"
#include "growth/SceneFile.h"
#include "heart/HeartModel.h"
#include "interaction/ListenerManager.h"
#include "interaction/MLforMainWindow.h"
#include "interaction/MLforRuleWindow.h"
#include "interaction/MLforSegmentation.h"
#include "interaction/RuleLayout.h"
#include "render/ViewCore.h"

namespace vantrel {

ViewCore* TheViewCore();
FiberCore* TheFiberCore();
HeartModel* TheHeartModel();
RuleLayout* TheRuleLayout();
MLforRuleWindow* TheMLforRuleWindow();
MLforMainWindow* TheMLforMainWindow();
MLforSegmentation* TheMLforSegmentation();
ListenerManager* TheListenerManager();

// The listener manager if it has been made yet, else null (for drawing code that
// must not bring it into existence early).
ListenerManager* ExistingListenerManager();

// The one growth parameter record (dialog and menu write it, growth reads it) and
// the growth's random generator, whose sequence carries on from run to run.
GrowthParameters& ProgramGrowthParameters();
GrowthRandom& ProgramRandom();
// The conduction settings the program runs with and saves in its scene files (the
// root delays as the scene gives them, per start point and curve).
ScenePhysiology& ProgramPhysiology();

// Deletes, in this order: HeartModel, RuleLayout, MLforRuleWindow, MLforMainWindow,
// ListenerManager, MLforSegmentation, FiberCore, ViewCore (those that exist). The
// views must be gone already. An accessor called afterwards is a programming error.
void DeleteSingletons();

}  // namespace vantrel
