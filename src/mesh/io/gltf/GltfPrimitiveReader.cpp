#include "mesh/io/gltf/GltfPrimitiveReader.h"

#include <tiny_gltf.h>

#include <algorithm>

namespace {

bool IsSurface(int mode) {
    return mode == TINYGLTF_MODE_TRIANGLES || mode == TINYGLTF_MODE_TRIANGLE_STRIP ||
           mode == TINYGLTF_MODE_TRIANGLE_FAN;
}

uint64_t TrianglesOf(int mode, uint64_t corners) {
    if (mode == TINYGLTF_MODE_TRIANGLES) {
        return corners / 3;
    }
    return corners >= 3 ? corners - 2 : 0;
}

int Attribute(const tinygltf::Primitive& primitive, const char* name) {
    const auto found = primitive.attributes.find(name);
    return found == primitive.attributes.end() ? -1 : found->second;
}

bool IsColorType(int type) {
    return type == TINYGLTF_COMPONENT_TYPE_FLOAT || type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
           type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
}

// The corner of a strip's or fan's triangle `t` (from 0), in the winding of the first one.
void StripOrFanTriangle(int mode, uint64_t t, uint64_t corner[3]) {
    if (mode == TINYGLTF_MODE_TRIANGLE_FAN) {
        corner[0] = 0;
        corner[1] = t + 1;
        corner[2] = t + 2;
    } else if (t % 2 == 0) {
        corner[0] = t;
        corner[1] = t + 1;
        corner[2] = t + 2;
    } else {
        corner[0] = t + 1;
        corner[1] = t;
        corner[2] = t + 2;
    }
}

} // namespace

Status GltfPrimitiveReader::PlanPrimitive(int mesh, std::size_t index, Plan& plan) const {
    const tinygltf::Primitive& primitive =
        model.meshes[static_cast<std::size_t>(mesh)].primitives[index];
    const auto named = [&](const char* part) {
        return std::string("the ") + part + " of primitive " + std::to_string(index) + " of mesh " +
               std::to_string(mesh);
    };
    plan.mode = primitive.mode;
    plan.material = primitive.material;
    plan.positions = Attribute(primitive, "POSITION");
    GltfAccessorReader::Shape shape;
    if (Status status = accessors.Check(plan.positions, named("positions"), shape); !status) {
        return status;
    }
    if (shape.components != 3 || shape.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT) {
        return Status::Failure(named("positions") + " are not three floats each");
    }
    plan.vertexCount = shape.count;
    if (const int colors = Attribute(primitive, "COLOR_0"); colors >= 0) {
        if (Status status = accessors.Check(colors, named("colours"), shape); !status) {
            return status;
        }
        if (shape.count == plan.vertexCount && shape.components >= 3 &&
            IsColorType(shape.componentType)) {
            plan.colors = colors; // colours of another layout are left out
        }
    }
    if (const int texCoords = Attribute(primitive, "TEXCOORD_0"); texCoords >= 0) {
        if (Status status = accessors.Check(texCoords, named("texture coordinates"), shape);
            !status) {
            return status;
        }
        if (shape.count == plan.vertexCount && shape.components == 2 &&
            IsColorType(shape.componentType)) {
            plan.texCoords = texCoords;
        }
    }
    uint64_t corners = plan.vertexCount;
    if (primitive.indices >= 0) {
        plan.indices = primitive.indices;
        if (Status status = accessors.Check(plan.indices, named("indices"), shape); !status) {
            return status;
        }
        corners = shape.count;
    }
    plan.triangleCount = TrianglesOf(plan.mode, corners);
    return Status::Ok();
}

Status GltfPrimitiveReader::PlanMesh(int mesh, std::vector<Plan>& plans) const {
    plans.clear();
    const tinygltf::Mesh& source = model.meshes[static_cast<std::size_t>(mesh)];
    for (std::size_t p = 0; p < source.primitives.size(); ++p) {
        const tinygltf::Primitive& primitive = source.primitives[p];
        // Points and lines have no surface; a primitive without positions has nothing to place.
        if (!IsSurface(primitive.mode) || Attribute(primitive, "POSITION") < 0) {
            continue;
        }
        Plan plan;
        if (Status status = PlanPrimitive(mesh, p, plan); !status) {
            return status;
        }
        if (plan.triangleCount > 0) {
            plans.push_back(plan);
        }
    }
    return Status::Ok();
}

Status GltfPrimitiveReader::ReadCorners(const Plan& plan, const std::string& what,
                                        std::vector<uint32_t>& triangles) const {
    std::vector<uint32_t> indices;
    if (plan.indices >= 0) {
        if (Status status = accessors.ReadIndices(plan.indices, "the indices" + what,
                                                  plan.vertexCount, indices);
            !status) {
            return status;
        }
    }
    const auto cornerAt = [&](uint64_t position) {
        return plan.indices >= 0 ? indices[position] : static_cast<uint32_t>(position);
    };
    triangles.clear();
    triangles.reserve(3 * plan.triangleCount);
    for (uint64_t t = 0; t < plan.triangleCount; ++t) {
        uint64_t position[3] = {3 * t, 3 * t + 1, 3 * t + 2};
        if (plan.mode != TINYGLTF_MODE_TRIANGLES) {
            StripOrFanTriangle(plan.mode, t, position);
        }
        const uint32_t a = cornerAt(position[0]), b = cornerAt(position[1]),
                       c = cornerAt(position[2]);
        // Strips repeat a corner to restart; those triangles have no area.
        if (plan.mode != TINYGLTF_MODE_TRIANGLES && (a == b || b == c || a == c)) {
            continue;
        }
        triangles.insert(triangles.end(), {a, b, c});
    }
    return Status::Ok();
}

Status GltfPrimitiveReader::Read(int mesh, const Plan& plan, Primitive& primitive) const {
    const std::string what = " of mesh " + std::to_string(mesh);
    primitive.material = plan.material;
    if (Status status = accessors.ReadFloats(plan.positions, "the positions" + what, false,
                                             primitive.positions);
        !status) {
        return status;
    }
    if (plan.colors >= 0) {
        std::vector<float> colors;
        if (Status status = accessors.ReadFloats(plan.colors, "the colours" + what, true, colors);
            !status) {
            return status;
        }
        const std::size_t components = colors.size() / std::max<uint64_t>(plan.vertexCount, 1);
        primitive.colors.assign(4 * plan.vertexCount, 1.0f);
        for (uint64_t v = 0; v < plan.vertexCount; ++v) {
            for (std::size_t c = 0; c < components; ++c) {
                primitive.colors[4 * v + c] = colors[components * v + c];
            }
        }
    }
    if (plan.texCoords >= 0) {
        if (Status status = accessors.ReadFloats(plan.texCoords, "the texture coordinates" + what,
                                                 true, primitive.texCoords);
            !status) {
            return status;
        }
    }
    return ReadCorners(plan, what, primitive.triangles);
}
