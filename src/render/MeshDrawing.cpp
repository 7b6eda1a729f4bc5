#include "render/MeshDrawing.h"

#include "base/Diagnostics.h"
#include "render/MeshDrawCache.h"

#include <GL/gl.h>

namespace {

bool Has(unsigned mode, unsigned bit) {
    return (mode & bit) != 0;
}

void Warn(const char* text) {
    ReportDiagnostic(text);
}

bool HasMaterials(const Mesh& mesh) {
    return mesh.materialCount > 0 && !mesh.materials.empty();
}

// Corner data may only be read where the mesh really holds it.
const float* Entry3(const std::vector<float>& values, int32_t index) {
    const size_t offset = static_cast<size_t>(index) * 3;
    return index > 0 && offset + 3 <= values.size() ? &values[offset] : nullptr;
}

const float* Entry2(const std::vector<float>& values, int32_t index) {
    const size_t offset = static_cast<size_t>(index) * 2;
    return index > 0 && offset + 2 <= values.size() ? &values[offset] : nullptr;
}

void ApplyMaterial(const MeshMaterial& material) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material.ambient.data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material.diffuse.data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular.data());
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
}

void IssueNormal(const float* normal, float scale) {
    if (scale == 1.0f) {
        glNormal3fv(normal);
    } else {
        glNormal3f(normal[0] * scale, normal[1] * scale, normal[2] * scale);
    }
}

// A scan's own colours replace the material colour corner by corner; the light still shades them.
const float* VertexColor(const Mesh& mesh, int32_t vertex) {
    const size_t offset = static_cast<size_t>(vertex) * 4;
    return vertex > 0 && offset + 4 <= mesh.colors.size() ? &mesh.colors[offset] : nullptr;
}

void IssueTriangle(const Mesh& mesh, const MeshTriangle& triangle, unsigned mode, float alpha,
                   float normalScale) {
    if (Has(mode, RENDER_FLAT)) {
        if (const float* normal = Entry3(mesh.facetNormals, triangle.facetNormal)) {
            IssueNormal(normal, normalScale);
        }
    }
    for (int corner = 0; corner < 3; ++corner) {
        if (Has(mode, RENDER_SMOOTH)) {
            if (const float* normal = Entry3(mesh.normals, triangle.normal[corner])) {
                IssueNormal(normal, normalScale);
            }
        }
        if (Has(mode, RENDER_TEXTURE)) {
            if (const float* uv = Entry2(mesh.texCoords, triangle.texCoord[corner])) {
                glTexCoord2fv(uv);
            }
        }
        if (Has(mode, RENDER_COLOR)) {
            if (const float* color = VertexColor(mesh, triangle.vertex[corner])) {
                glColor4f(color[0], color[1], color[2], color[3] * alpha);
            }
        }
        if (const float* position = Entry3(mesh.vertices, triangle.vertex[corner])) {
            glVertex3fv(position);
        }
    }
}

} // namespace

unsigned ReconcileDrawMode(const Mesh& mesh, unsigned mode) {
    if (Has(mode, RENDER_FLAT) && (mesh.facetNormalCount == 0 || mesh.facetNormals.empty())) {
        Warn("glmDraw() warning: flat render mode requested with no facet normals defined.");
        mode &= ~RENDER_FLAT;
    }
    if (Has(mode, RENDER_SMOOTH) && (mesh.normalCount == 0 || mesh.normals.empty())) {
        Warn("glmDraw() warning: smooth render mode requested with no normals defined.");
        mode &= ~RENDER_SMOOTH;
    }
    if (Has(mode, RENDER_TEXTURE) && (mesh.texCoordCount == 0 || mesh.texCoords.empty())) {
        Warn("glmDraw() warning: texture render mode requested with no texture coordinates "
             "defined.");
        mode &= ~RENDER_TEXTURE;
    }
    if (Has(mode, RENDER_FLAT) && Has(mode, RENDER_SMOOTH)) {
        Warn("glmDraw() warning: flat render mode requested and smooth render mode requested "
             "(using smooth).");
        mode &= ~RENDER_FLAT;
    }
    if (Has(mode, RENDER_COLOR) && !HasMaterials(mesh)) {
        Warn("glmDraw() warning: color render mode requested with no materials defined.");
        mode &= ~RENDER_COLOR;
    }
    if (Has(mode, RENDER_MATERIAL) && !HasMaterials(mesh)) {
        Warn("glmDraw() warning: material render mode requested with no materials defined.");
        mode &= ~RENDER_MATERIAL;
    }
    if (Has(mode, RENDER_COLOR) && Has(mode, RENDER_MATERIAL)) {
        Warn("glmDraw() warning: color and material render mode requested using only material "
             "mode.");
        mode &= ~RENDER_COLOR;
    }
    return mode;
}

void IssueMeshTriangles(const Mesh& mesh, unsigned mode, float alpha, float normalScale) {
    for (const MeshGroup& group : mesh.groups) {
        const bool hasMaterial = group.material < mesh.materials.size();
        if (hasMaterial && Has(mode, RENDER_MATERIAL)) {
            ApplyMaterial(mesh.materials[group.material]);
        }
        if (hasMaterial && Has(mode, RENDER_COLOR)) {
            const auto& diffuse = mesh.materials[group.material].diffuse;
            glColor4f(diffuse[0], diffuse[1], diffuse[2], alpha);
        }
        glBegin(GL_TRIANGLES);
        for (uint32_t index : group.triangleIndices) {
            if (index < mesh.triangles.size()) {
                IssueTriangle(mesh, mesh.triangles[index], mode, alpha, normalScale);
            }
        }
        glEnd();
    }
}

void DrawMesh(const Mesh& mesh, unsigned mode, float alpha, float normalScale,
              MeshDrawCache* cache) {
    mode = ReconcileDrawMode(mesh, mode);
    if (Has(mode, RENDER_COLOR)) {
        glEnable(GL_COLOR_MATERIAL);
    } else if (Has(mode, RENDER_MATERIAL)) {
        glDisable(GL_COLOR_MATERIAL);
    }
    if (cache != nullptr) {
        cache->Draw(mesh, mode, alpha, normalScale);
    } else {
        IssueMeshTriangles(mesh, mode, alpha, normalScale);
    }
}
