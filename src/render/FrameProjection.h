#pragma once

// Multiplies the camera's projection for a view of width x height pixels onto the current matrix:
// the frame and the selection pass project exactly as the surface picking does.
void ApplyFramePerspective(int width, int height);

class Camera;

// Multiplies the camera's view transform onto the current matrix (the model-view matrix).
void ApplyCameraView(const Camera& camera);
