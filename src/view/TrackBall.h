#pragma once

class Camera;

// Turns mouse drags in the view into camera yaw and pitch, half a degree per pixel: the yaw only
// while the drag began with button code 0, the pitch always.
class TrackBall {
public:
    explicit TrackBall(Camera& turned) : camera(turned) {}

    // event 0 = press (starts tracking at x, y), 1 = release (stops tracking).
    void MouseEvent(int buttonCode, int eventCode, int x, int y);
    // Turns the camera by the motion since the last position; false (nothing turned) while not
    // tracking.
    bool MouseMove(int x, int y);

    bool IsTracking() const { return tracking; }

private:
    Camera& camera;
    double lastX = 0;
    double lastY = 0;
    bool tracking = false;
    int button = 0;
};
