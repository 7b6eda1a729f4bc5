#pragma once

#include "export/CapturedImage.h"

// Reads the colour buffer of the current OpenGL context (the region 0, 0, width, height) into a
// 32-bit bitmap, bottom row first.
CapturedImage CaptureFramebuffer(int width, int height);
