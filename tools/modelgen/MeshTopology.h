#pragma once

#include "TriMesh.h"

#include <string>

// Counts that tell whether a triangle mesh is one closed, consistently oriented surface.
struct TopologyReport {
    size_t edges = 0;
    size_t openOrOverusedEdges = 0; // undirected edges not shared by exactly two triangles
    size_t misorientedEdges = 0;    // directed edges used twice (neighbours facing opposite ways)
    long long eulerCharacteristic = 0;
    double volume = 0; // positive when the facets face outward
};

TopologyReport CheckTopology(const TriMesh& mesh);

std::string Describe(const TopologyReport& report);
