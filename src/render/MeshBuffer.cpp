#include "render/MeshBuffer.h"

#include "render/MeshDrawing.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <unordered_map>

namespace {

bool Has(unsigned mode, unsigned bit) {
    return (mode & bit) != 0;
}

bool ValidEntry(const std::vector<Vec3f>& values, uint32_t index) {
    return index < values.size();
}

// The distinct (position, normal) pairs of the corners, numbered in the order the triangles
// reach them. Most positions carry one normal, so an array answers nearly every corner and a
// map only the others.
class CornerVertices {
public:
    CornerVertices(const Mesh& source, float scale)
        : mesh(source), normalScale(scale), firstNormal(source.positions.size(), kNoIndex),
          firstVertex(source.positions.size(), 0) {}

    uint32_t Index(uint32_t position, uint32_t normal) {
        const size_t slot = position;
        if (firstNormal[slot] == kNoIndex) {
            firstNormal[slot] = normal;
            firstVertex[slot] = Append(position, normal);
            return firstVertex[slot];
        }
        if (firstNormal[slot] == normal) {
            return firstVertex[slot];
        }
        const uint64_t key = (static_cast<uint64_t>(position) << 32) | normal;
        const auto [entry, added] = others.try_emplace(key, 0);
        if (added) {
            entry->second = Append(position, normal);
        }
        return entry->second;
    }

    std::vector<float> data; // normal, position

private:
    uint32_t Append(uint32_t position, uint32_t normal) {
        const Vec3f& n = mesh.normals[normal];
        const Vec3f& p = mesh.positions[position];
        data.insert(data.end(),
                    {n.x * normalScale, n.y * normalScale, n.z * normalScale, p.x, p.y, p.z});
        return static_cast<uint32_t>(data.size() / 6 - 1);
    }

    const Mesh& mesh;
    float normalScale;
    std::vector<uint32_t> firstNormal; // kNoIndex: the position has not been reached yet
    std::vector<uint32_t> firstVertex;
    std::unordered_map<uint64_t, uint32_t> others;
};

void ApplyGroupAppearance(const Mesh& mesh, const MeshGroup& group, unsigned mode, float alpha) {
    if (group.material >= mesh.materials.size()) {
        return;
    }
    const MeshMaterial& material = mesh.materials[group.material];
    if (Has(mode, RENDER_MATERIAL)) {
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material.ambient.data());
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material.diffuse.data());
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular.data());
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material.shininess);
    }
    if (Has(mode, RENDER_COLOR)) {
        glColor4f(material.diffuse[0], material.diffuse[1], material.diffuse[2], alpha);
    }
}

} // namespace

MeshBuffer::~MeshBuffer() = default;

bool MeshBuffer::Supports(const Mesh& mesh, unsigned mode) {
    if (!Has(mode, RENDER_SMOOTH) || Has(mode, RENDER_TEXTURE) || Has(mode, RENDER_FLAT)) {
        return false;
    }
    if (Has(mode, RENDER_COLOR) && !mesh.colors.empty()) {
        return false; // a scan's own colours go corner by corner through the display list
    }
    for (const MeshGroup& group : mesh.groups) {
        for (const uint32_t index : group.triangleIndices) {
            if (index >= mesh.triangles.size()) {
                return false;
            }
            const MeshTriangle& triangle = mesh.triangles[index];
            for (int corner = 0; corner < 3; ++corner) {
                if (!ValidEntry(mesh.positions, triangle.position[corner]) ||
                    !ValidEntry(mesh.normals, triangle.normal[corner])) {
                    return false;
                }
            }
        }
    }
    return true;
}

std::unique_ptr<MeshBuffer> MeshBuffer::Create(const Mesh& mesh, unsigned, float normalScale) {
    std::unique_ptr<MeshBuffer> buffer(new MeshBuffer());
    buffer->normalScale = normalScale;
    CornerVertices vertices(mesh, normalScale);
    std::vector<uint32_t> indices;
    indices.reserve(mesh.triangles.size() * 3);
    // The most recently created group first, in the order immediate mode draws them.
    for (size_t g = mesh.groups.size(); g-- > 0;) {
        GroupRange range{g, indices.size(), 0};
        for (const uint32_t index : mesh.groups[g].triangleIndices) {
            const MeshTriangle& triangle = mesh.triangles[index];
            for (int corner = 0; corner < 3; ++corner) {
                indices.push_back(
                    vertices.Index(triangle.position[corner], triangle.normal[corner]));
            }
        }
        range.count = indices.size() - range.first;
        buffer->ranges.push_back(range);
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint names[2] = {0, 0};
    glGenBuffers(2, names);
    buffer->vertexBuffer = names[0];
    buffer->indexBuffer = names[1];
    if (names[0] == 0 || names[1] == 0) {
        return nullptr;
    }
    glBindBuffer(GL_ARRAY_BUFFER, names[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.data.size() * sizeof(float)),
                 vertices.data.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, names[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)), indices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    buffer->vertexCount = vertices.data.size() / 6;
    if (glGetError() != GL_NO_ERROR) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

void MeshBuffer::Draw(const Mesh& mesh, unsigned mode, float alpha) const {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    constexpr GLsizei kStride = 6 * sizeof(float);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glNormalPointer(GL_FLOAT, kStride, nullptr);
    glVertexPointer(3, GL_FLOAT, kStride, reinterpret_cast<const void*>(3 * sizeof(float)));
    for (const GroupRange& range : ranges) {
        ApplyGroupAppearance(mesh, mesh.groups[range.group], mode, alpha);
        if (range.count > 0) {
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(range.count), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(range.first * sizeof(uint32_t)));
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glPopClientAttrib();
    // Immediate mode leaves the last corner's normal current; so does this.
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        if (range->count > 0) {
            const MeshGroup& group = mesh.groups[range->group];
            const MeshTriangle& triangle = mesh.triangles[group.triangleIndices.back()];
            const Vec3f& n = mesh.normals[triangle.normal[2]];
            glNormal3f(n.x * normalScale, n.y * normalScale, n.z * normalScale);
            break;
        }
    }
}

void MeshBuffer::Release() {
    const GLuint names[2] = {vertexBuffer, indexBuffer};
    if (names[0] != 0 || names[1] != 0) {
        glDeleteBuffers(2, names);
    }
    vertexBuffer = indexBuffer = 0;
}
