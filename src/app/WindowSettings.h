#pragma once
// The frame's layout between runs: window geometry, toolbar and dock placement and
// the splitter between the rule window and the main view, kept in the user's
// QSettings (organisation and application "Vantrel"). A first start, with nothing
// kept, opens the window at about 80 % of the screen with the rule window 200 px wide.
namespace vantrel {

class CMainFrame;

// Lays out and shows the frame from the kept settings, or as on a first start.
void ShowFrameAsLastTime(CMainFrame& frame);
// Keeps the frame's layout for the next run.
void KeepFrameLayout(const CMainFrame& frame);

}  // namespace vantrel
