#pragma once

#include "export/Dib.h"

// Reads the colour buffer of the current OpenGL context (the region 0, 0, width, height) into a
// 32-bit bitmap, bottom row first.
Dib CaptureFramebuffer(int width, int height);
