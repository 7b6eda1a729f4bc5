#pragma once

#include <optional>

class PosedCase;
class ViewState;

// Draws a posed case as the user looks at it into the current OpenGL context. The window's view
// and the headless commands hold one; tests put one in that refuses its context.
class FrameRenderer {
public:
    virtual ~FrameRenderer() = default;

    // Sets up the current context: GL state, lights, bitmap font lists. False when the context
    // cannot be used.
    virtual bool InitializeContext() = 0;
    virtual void Resize(int width, int height) = 0;
    virtual void RenderFrame(const PosedCase& posed, const ViewState& view) = 0;
    // Runs the selection pass at window pixel (x, y), y downward, and stores the hit in the
    // view's selection.
    virtual void Pick(const PosedCase& posed, ViewState& view, int x, int y) = 0;
    // The index (in the case's CT scan's list) of the metal ball drawn at window pixel (x, y),
    // nearest the eye; nothing where no ball is drawn, and for a renderer that draws none.
    virtual std::optional<int> PickMetal(const PosedCase&, const ViewState&, int, int) {
        return std::nullopt;
    }
    // Releases what the renderer keeps in the context, which must still be current.
    virtual void DestroyContext() = 0;
};
