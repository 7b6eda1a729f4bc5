#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A plain indexed triangle mesh and the bytes of the model files we read, written from it, so
// that the tests and benchmarks read the same shape in every format.
struct SimpleMesh {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<uint8_t, 3>> colors;     // one per position, or empty
    std::vector<std::array<uint32_t, 3>> triangles; // 0-based
};

// A torus round the Y axis (major radius 1, minor 0.3) of about `triangles` triangles.
SimpleMesh MakeTorus(uint64_t triangles);
// An octahedron with a colour per corner: small enough to read by eye.
SimpleMesh MakeColoredOctahedron();

enum class PlyEncoding { Ascii, LittleEndian, BigEndian };

std::string PlyBytes(const SimpleMesh& mesh, PlyEncoding encoding);
std::string StlAsciiBytes(const SimpleMesh& mesh);
std::string StlBinaryBytes(const SimpleMesh& mesh);
std::string ObjBytes(const SimpleMesh& mesh);
std::string OffBytes(const SimpleMesh& mesh);
