#pragma once

#include "base/Matrix4.h"

class PosedCase;

// What a view of the whole scene takes in, in the body frame the view draws in (metres): the
// scene model's placed box when there is one, else the body with every posed trajectory's zones.
struct SceneFraming {
    Vec3 centre;
    double radius = 1.0;
};

SceneFraming FrameScene(const PosedCase& posed);
