#pragma once

#include "mesh/Mesh.h"
#include "render/MeshDrawMode.h"

class MeshDrawCache;

// Draws the mesh group by group with OpenGL: mode is a set of RENDER_* bits; alpha replaces the
// diffuse alpha in colour mode. Modes the mesh cannot serve are dropped with a warning on the
// standard output (on every call that meets them). With a cache the triangles come from a display
// list or vertex buffers kept on the GL side; the pixels are the same. The vertex and facet
// normals are drawn multiplied by normalScale (the mesh itself is not changed); the fixed
// pipeline does not renormalise, so their length sets the brightness.
void DrawMesh(const Mesh& mesh, unsigned mode, float alpha, float normalScale = 1.0f,
              MeshDrawCache* cache = nullptr);

// The mode DrawMesh really draws with, after dropping what the mesh cannot serve; prints the
// warnings.
unsigned ReconcileDrawMode(const Mesh& mesh, unsigned mode);

// Issues the triangles of every group in immediate mode with an already reconciled mode. This is
// exactly what a cached display list holds.
void IssueMeshTriangles(const Mesh& mesh, unsigned mode, float alpha, float normalScale = 1.0f);
