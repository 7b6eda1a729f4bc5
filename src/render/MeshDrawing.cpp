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
    return !mesh.materials.empty();
}

// Corner data may only be read where the mesh really holds it.
template <typename Entry>
const Entry* EntryAt(const std::vector<Entry>& entries, std::size_t index) {
    return index < entries.size() ? &entries[index] : nullptr;
}

void ApplyMaterial(const MeshMaterial& material) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material.ambient.data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material.diffuse.data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular.data());
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
}

void IssueNormal(const Vec3f& normal, float scale) {
    if (scale == 1.0f) {
        glNormal3f(normal.x, normal.y, normal.z);
    } else {
        glNormal3f(normal.x * scale, normal.y * scale, normal.z * scale);
    }
}

void IssueTriangle(const Mesh& mesh, std::size_t index, unsigned mode, float alpha,
                   float normalScale) {
    const MeshTriangle& triangle = mesh.triangles[index];
    if (Has(mode, RENDER_FLAT)) {
        if (const Vec3f* normal = EntryAt(mesh.facetNormals, index)) {
            IssueNormal(*normal, normalScale);
        }
    }
    for (int corner = 0; corner < 3; ++corner) {
        if (Has(mode, RENDER_SMOOTH)) {
            if (const Vec3f* normal = EntryAt(mesh.normals, triangle.normal[corner])) {
                IssueNormal(*normal, normalScale);
            }
        }
        if (Has(mode, RENDER_TEXTURE)) {
            if (const auto* uv = EntryAt(mesh.texCoords, triangle.texCoord[corner])) {
                glTexCoord2fv(uv->data());
            }
        }
        // A scan's own colours replace the material colour corner by corner; the light still
        // shades them.
        if (Has(mode, RENDER_COLOR)) {
            if (const auto* color = EntryAt(mesh.colors, triangle.position[corner])) {
                glColor4f((*color)[0], (*color)[1], (*color)[2], (*color)[3] * alpha);
            }
        }
        if (const Vec3f* position = EntryAt(mesh.positions, triangle.position[corner])) {
            glVertex3f(position->x, position->y, position->z);
        }
    }
}

} // namespace

unsigned ReconcileDrawMode(const Mesh& mesh, unsigned mode) {
    if (Has(mode, RENDER_FLAT) && mesh.facetNormals.empty()) {
        Warn("glmDraw() warning: flat render mode requested with no facet normals defined.");
        mode &= ~RENDER_FLAT;
    }
    if (Has(mode, RENDER_SMOOTH) && mesh.normals.empty()) {
        Warn("glmDraw() warning: smooth render mode requested with no normals defined.");
        mode &= ~RENDER_SMOOTH;
    }
    if (Has(mode, RENDER_TEXTURE) && mesh.texCoords.empty()) {
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
    // The most recently created group first, as the mesh has always been drawn: where groups
    // overlap (coplanar faces, translucent bodies) the order decides the pixels.
    for (auto it = mesh.groups.rbegin(); it != mesh.groups.rend(); ++it) {
        const MeshGroup& group = *it;
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
                IssueTriangle(mesh, index, mode, alpha, normalScale);
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
