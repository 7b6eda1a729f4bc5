#pragma once

#include "export/Dib.h"

class QImage;

// The image as a 32-bit bitmap (blue, green, red, 0 per pixel), bottom row first.
Dib DibFromImage(const QImage& image);
