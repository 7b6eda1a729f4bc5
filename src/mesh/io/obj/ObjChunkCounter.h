#pragma once

#include "mesh/io/obj/ObjReadProgress.h"
#include "mesh/io/obj/ObjSource.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the first reading finds in one stretch of a model's text. Groups are local to the stretch
// (numbered in the order the stretch first names them); the triangles before the stretch's first
// usemtl belong to whatever group the stretches before it left current.
struct ObjChunkCount {
    std::size_t begin = 0;
    std::size_t end = 0;

    uint64_t vertices = 0;
    uint64_t normals = 0;
    uint64_t texCoords = 0;
    uint64_t triangles = 0;
    uint64_t leadingTriangles = 0; // before the stretch's first usemtl

    std::vector<std::string> groupNames; // local groups, in order of first use
    std::vector<uint64_t> groupTriangles;
    std::vector<uint32_t> usemtlGroups;     // the local group of every usemtl, in text order
    std::vector<std::size_t> usemtlOffsets; // where each of those usemtl statements stands

    struct Library {
        std::size_t offset;
        std::string name;
    };
    std::vector<Library> libraries; // mtllib statements in text order

    // The first statement the reading could not take, where counting stopped.
    std::optional<std::size_t> faultOffset;
    std::string unknownWord; // a v statement of an unknown kind; empty when the text was unreadable
};

// Counts the stretch [count.begin, count.end) of the source, reading a file through
// `windowBuffer`.
void CountObjChunk(const ObjSource& source, std::size_t windowBytes, std::string& windowBuffer,
                   ObjChunkCount& count, ObjReadProgress& progress);
