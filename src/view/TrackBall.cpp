#include "view/TrackBall.h"

#include "case/Case.h"

TrackBall::TrackBall() {
    tracking = false;
}

void TrackBall::MouseEvent(int buttonCode, int eventCode, int x, int y) {
    button = buttonCode;
    event = eventCode;
    if (eventCode == 0) {
        tracking = true;
        lastX = x;
        lastY = y;
    } else if (eventCode == 1) {
        tracking = false;
    }
}

void TrackBall::MouseMove(int x, int y) {
    if (!tracking) {
        return;
    }
    // Half a degree per pixel; moving down tilts the scene the other way.
    deltaX = (x - lastX) * 0.5;
    deltaY = (y - lastY) * -0.5;
    if (scene) {
        if (button == 0) {
            scene->RotateCameraYaw(deltaX);
        }
        scene->RotateCameraPitch(deltaY);
    }
    lastX = x;
    lastY = y;
    if (scene) {
        scene->RenderFrame();
    }
}
