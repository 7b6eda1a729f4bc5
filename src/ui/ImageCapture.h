#pragma once

#include "export/CapturedImage.h"

class QImage;

// The image as a 32-bit bitmap (blue, green, red, 0 per pixel), bottom row first. The colour
// channels are kept as stored and the alpha is dropped, as the opaque view window shows them.
CapturedImage CapturedImageFromQImage(const QImage& image);
