#pragma once

// Small shapes used by the element pass and the manipulation handles.

class ShapeListCache;

// A circle of `segments` line segments in the plane y = 0 round the origin.
void DrawRing(double radius, int segments);
// A filled sphere of quads, one normal per quad; `segments` longitude steps and half as many
// latitude bands. With a cache the sphere comes from a display list.
void DrawSphere(double radius, int segments, ShapeListCache* cache = nullptr);
// A grey wireframe box; lighting is off while it draws and on afterwards.
void DrawBox(float x0, float y0, float z0, float x1, float y1, float z1);
