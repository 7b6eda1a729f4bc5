#pragma once

#include "render/PickNames.h"

class ShapeListCache;
struct Element;
struct FrameContext;

// Draws every element of the case as its ellipsoid at its centre, turned by yaw, pitch and
// roll, with its label (rising along +Z from the centre) and, when selected, its box and handles.
// In the selection pass element m carries name 20 + m.
void DrawElements(const FrameContext& frame, RenderPass pass);

// The element's solid: a sphere of diameter width (size.x) stretched to the height (size.y) and
// the length (size.z). An element without width has no solid to draw.
void DrawElementShape(const Element& element, ShapeListCache* shapes = nullptr);
