#pragma once

#include "base/Status.h"

#include <cstdint>
#include <string>

// How much memory a model may make of itself. Every reader checks each count it reads against the
// bytes the file has left before it reserves anything; on top of that, the mesh a model builds
// (every placement of an instanced mesh counted, and every node the scene places) may take at
// most
//     32 MiB + 16 bytes for each byte of the model and of the files it names,
// so that a few hundred hostile bytes cannot ask for gigabytes. A mesh is costed as the arrays it
// fills: 44 bytes per triangle (its corners and its place in a group), 12 bytes per vertex, 16
// more with colours and 8 more with texture coordinates. Readers check the whole cost before
// they allocate, so a refused model costs no more than its own bytes.
//
// A glTF file's JSON is parsed by a library whose model of it takes several hundred bytes per
// JSON object (some 800 for a node that only names its mesh); that description may take
//     32 MiB + 64 bytes for each byte of the JSON,
// estimated from the JSON's objects and values before it is parsed (GltfJsonSurvey).
class ImportBudget {
public:
    static constexpr uint64_t kFixedBytes = uint64_t{32} << 20;
    static constexpr uint64_t kBytesPerInputByte = 16;
    static constexpr uint64_t kDescriptionBytesPerJsonByte = 64;
    // The files a model names (glTF buffers) may add up to this much.
    static constexpr uint64_t kMaxNamedFileBytes = uint64_t{2} << 30;
    // What one placed node costs on top of its mesh (its transform while the scene is walked).
    static constexpr uint64_t kBytesPerPlacement = 128;

    explicit ImportBudget(uint64_t inputBytes) : ImportBudget(inputBytes, kBytesPerInputByte) {}

    // The budget of a glTF file's parsed description.
    static ImportBudget ForGltfDescription(uint64_t jsonBytes) {
        return ImportBudget(jsonBytes, kDescriptionBytesPerJsonByte);
    }

    // The bytes the mesh arrays of `vertices` and `triangles` take.
    static uint64_t MeshBytes(uint64_t vertices, uint64_t triangles, bool colors, bool texCoords);

    uint64_t LimitBytes() const { return limit; }
    bool Allows(uint64_t bytes) const { return bytes <= limit; }

    // The refusal for a model that would take `bytes`: "the model would take 1,234 MB (...)".
    std::string TooLarge(const std::string& what, uint64_t bytes) const;

private:
    ImportBudget(uint64_t inputBytes, uint64_t bytesPerInputByte);

    uint64_t limit;
};
