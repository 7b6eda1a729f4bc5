#pragma once

#include "mesh/Mesh.h"

#include <gtest/gtest.h>

#include <cstring>

// Every field and array of two meshes, compared bit for bit (floats included).
inline void ExpectSameMesh(const Mesh& a, const Mesh& b) {
    const auto sameBits = [](const auto& x, const auto& y) {
        return x.size() == y.size() &&
               (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof(x[0])) == 0);
    };
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.positions.size(), b.positions.size());
    EXPECT_EQ(a.normals.size(), b.normals.size());
    EXPECT_EQ(a.texCoords.size(), b.texCoords.size());
    EXPECT_EQ(a.triangles.size(), b.triangles.size());
    EXPECT_TRUE(sameBits(a.positions, b.positions));
    EXPECT_TRUE(sameBits(a.normals, b.normals));
    EXPECT_TRUE(sameBits(a.colors, b.colors));
    EXPECT_TRUE(sameBits(a.texCoords, b.texCoords));
    EXPECT_TRUE(sameBits(a.triangles, b.triangles));
    EXPECT_TRUE(sameBits(a.facetNormals, b.facetNormals));
    EXPECT_TRUE(sameBits(a.box, b.box));
    ASSERT_EQ(a.materials.size(), b.materials.size());
    for (std::size_t i = 0; i < a.materials.size(); ++i) {
        EXPECT_EQ(a.materials[i].name, b.materials[i].name);
        EXPECT_TRUE(sameBits(a.materials[i].diffuse, b.materials[i].diffuse)) << i;
        EXPECT_TRUE(sameBits(a.materials[i].ambient, b.materials[i].ambient)) << i;
        EXPECT_TRUE(sameBits(a.materials[i].specular, b.materials[i].specular)) << i;
        EXPECT_EQ(std::memcmp(&a.materials[i].shininess, &b.materials[i].shininess, sizeof(float)),
                  0)
            << i;
    }
    ASSERT_EQ(a.groups.size(), b.groups.size());
    for (std::size_t i = 0; i < a.groups.size(); ++i) {
        EXPECT_EQ(a.groups[i].name, b.groups[i].name) << i;
        EXPECT_EQ(a.groups[i].triangleIndices, b.groups[i].triangleIndices) << i;
        EXPECT_EQ(a.groups[i].material, b.groups[i].material) << i;
        EXPECT_TRUE(sameBits(a.groups[i].box, b.groups[i].box)) << i;
    }
}
