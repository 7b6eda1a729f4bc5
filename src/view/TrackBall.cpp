#include "view/TrackBall.h"

#include "view/Camera.h"

void TrackBall::MouseEvent(int buttonCode, int eventCode, int x, int y) {
    button = buttonCode;
    if (eventCode == 0) {
        tracking = true;
        lastX = x;
        lastY = y;
    } else if (eventCode == 1) {
        tracking = false;
    }
}

bool TrackBall::MouseMove(int x, int y) {
    if (!tracking) {
        return false;
    }
    // Half a degree per pixel; moving down tilts the view the other way.
    const double deltaX = (x - lastX) * 0.5;
    const double deltaY = (y - lastY) * -0.5;
    if (button == 0) {
        camera.SetYaw(camera.GetYaw() + deltaX);
    }
    camera.SetPitch(camera.GetPitch() + deltaY);
    lastX = x;
    lastY = y;
    return true;
}
