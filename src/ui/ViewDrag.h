#pragma once

#include "view/ViewModes.h"

class CaseEditor;
class ViewState;

// The pointer step of one move in the view, in metres: pixels / 200 to the right and pixels / -200
// downward (so upward motion is positive).
struct DragStep {
    double x = 0;
    double y = 0;
};

// Where a world axis points on the screen for the current camera: its first two components after
// turning by the camera yaw about Y and then by minus the pitch about X.
struct ScreenDirection {
    double x = 0;
    double y = 0;

    // The part of the pointer step that runs along this direction.
    double Along(const DragStep& step) const { return x * step.x + y * step.y; }
};

struct ScreenAxes {
    ScreenDirection ax;
    ScreenDirection ay;
    ScreenDirection az;
};

// The screen directions of the world X, Y and Z axes for a camera yaw and pitch in degrees.
ScreenAxes ComputeScreenAxes(double yawDegrees, double pitchDegrees);

// Moves or turns the selected trajectory, or else the selected element, along or about the axis
// of `handle` by one pointer step, in the view's manipulation mode, as a preview of the editor
// (the release makes the whole drag one edit). Trajectory shifts stay within +-0.4 m. Returns
// false, changing nothing, when neither a trajectory nor an element is selected.
bool DragSelectedObject(CaseEditor& editor, const ViewState& view, Handle handle,
                        const DragStep& step);
