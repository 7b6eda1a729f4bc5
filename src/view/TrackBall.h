#pragma once

class Case;

// Turns mouse drags in the view into camera yaw and pitch (half a degree per pixel) and draws a
// frame after each move.
class TrackBall {
public:
    TrackBall();
    virtual ~TrackBall() = default;

    void SetScene(Case* value) { scene = value; }
    // event 0 = press (starts tracking at x, y), 1 = release (stops tracking).
    void MouseEvent(int buttonCode, int eventCode, int x, int y);
    void MouseMove(int x, int y);

    static bool IsTracking() { return tracking; }

private:
    Case* scene = nullptr;
    double deltaX = 0;
    double lastX = 0;
    double deltaY = 0;
    double lastY = 0;

    // Shared by every trackball of the program.
    static inline bool tracking = false;
    static inline int button = 0;
    static inline int event = 0;
};
