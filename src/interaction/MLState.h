#pragma once
// A mouse listener: the object that interprets one view's mouse input in the
// current mode. A view forwards each of its ten mouse messages to the matching
// slot with the cursor position in the view's logical pixels (origin top left);
// the main view's scene drawing calls DrawOverlay in normal frames.
namespace vantrel {

class MLState {
public:
    virtual ~MLState() = default;

    virtual void OnLButtonUp(int x, int y) = 0;
    virtual void OnRButtonUp(int x, int y) = 0;
    virtual void OnMButtonUp(int x, int y) = 0;
    virtual void OnLButtonDown(int x, int y) = 0;
    virtual void OnRButtonDown(int x, int y) = 0;
    virtual void OnMButtonDown(int x, int y) = 0;
    virtual void OnLButtonDblClk(int x, int y) = 0;
    virtual void OnRButtonDblClk(int x, int y) = 0;
    virtual void OnMButtonDblClk(int x, int y) = 0;
    virtual void OnMouseMove(int x, int y) = 0;
    // Draws the listener's feedback into the current frame.
    virtual void DrawOverlay() = 0;

    // The buttons this listener has seen pressed and not yet released.
    bool leftDown = false;
    bool rightDown = false;
    bool middleDown = false;
};

}  // namespace vantrel
