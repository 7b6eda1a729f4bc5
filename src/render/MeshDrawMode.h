#pragma once

// Draw mode bits of DrawMesh: which of the mesh's normals, texture coordinates, colours and
// materials the drawing uses.
enum : unsigned {
    RENDER_FLAT = 1,
    RENDER_SMOOTH = 2,
    RENDER_TEXTURE = 4,
    RENDER_COLOR = 8,
    RENDER_MATERIAL = 16,
};
