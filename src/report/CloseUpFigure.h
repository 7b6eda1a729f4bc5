#pragma once

#include "render/CloseUpViews.h"

#include <QImage>

#include <string>

// The length of the scale bar for a picture of `pixelsPerMetre` that is `width` pixels wide: 1, 2
// or 5 times a power of ten centimetres, about a fifth of the width.
double ScaleBarCentimetres(double pixelsPerMetre, int width);

// Draws the scale bar (its length in centimetres under it) in the picture's lower left corner.
void DrawScaleBar(QImage& image, double pixelsPerMetre);

// Marks the trajectory's own IN (a numbered circle) and OUT (a numbered square, or only a dot
// where a bullet that stayed inside ended) on its close-up, joined by a dashed line, so that the
// track reads among the other arrows.
void DrawTrackMarks(QImage& image, const CloseUpView& view);

// What the close-up shows, for its caption: "Trajectory 2 seen perpendicular to its track, from
// the front and the body's left, ...".
std::string CloseUpCaption(int number, const CloseUpFraming& framing, double scaleBarCm);
