#pragma once

#include "export/CapturedImage.h"

#include <functional>

class QImage;
class ViewState;

// The image as a 32-bit bitmap (blue, green, red, 0 per pixel), bottom row first. The colour
// channels are kept as stored and the alpha is dropped, as the opaque view window shows them.
CapturedImage CapturedImageFromQImage(const QImage& image);

// The program setting that puts the selection (its box and handles) into a saved view image;
// off unless the user turns it on.
inline constexpr const char* kSavedImageSelectionKey = "SaveImage/SelectionBox";
bool SavedImageShowsSelection();

// The view as `grab` draws it with nothing selected: the view's selection is set aside for the
// grab and put back after it, so that the window goes on showing it.
CapturedImage CaptureWithoutSelection(ViewState& view, const std::function<QImage()>& grab);
