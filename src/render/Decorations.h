#pragma once

// The axes cross and the grids drawn over the scene. Lighting is off while they draw and on
// afterwards.

// Lines of 3 m from the origin: red +X, green +Y, blue +Z, white along the negative axes.
void DrawAxes();
// A line every 0.1 m over 6 x 6 m in the plane z = 0, brighter at +-1 m and +-2 m, none through 0
// (the axes run there). The lateral grid is the same call turned 90 degrees about Y.
void DrawGrid();
