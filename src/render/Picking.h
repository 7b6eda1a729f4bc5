#pragma once

#include <GL/gl.h>

#include <optional>

class ViewState;
struct Case;
struct FrameContext;

// The selection buffer of one pick: records of name count, minimum and maximum depth, names.
constexpr int kSelectionBufferSize = 512;

// The name on top of the stack in the last complete hit record, or nothing when there is no hit
// (a count of 0 or less, as after a buffer overflow).
std::optional<GLuint> LastHitName(const GLuint* buffer, int bufferSize, GLint hitCount);

// The name on top of the stack in the complete hit record nearest the eye (least minimum depth),
// or nothing when there is no hit: of balls one behind another, the one in front.
std::optional<GLuint> NearestHitName(const GLuint* buffer, int bufferSize, GLint hitCount);

// Stores what the name designates: a trajectory or an element of `theCase` (by the number the
// user reads), or a handle of the selected object; anything else (or no name) is a miss, which
// keeps the handle.
void ApplyPickName(const Case& theCase, ViewState& view, std::optional<GLuint> name);

// Runs the selection pass around window pixel (x, y) (y downward) with the camera and the
// projection of the frame, drawing the trajectories and the elements only, and returns the name
// hit (see LastHitName). Leaves the matrices and the matrix mode (model-view) as the frame expects
// them.
std::optional<GLuint> PickName(const FrameContext& frame, int x, int y);

// Runs a selection pass of the CT scan's metal balls alone around window pixel (x, y), as they
// are drawn (inside the transparent skin only), and returns the index in the scan's metal list of
// the ball nearest the eye there; nothing when no ball is under the pointer.
std::optional<int> PickMetalObject(const FrameContext& frame, int x, int y);
