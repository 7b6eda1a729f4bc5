#pragma once

#include "base/Status.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace tinygltf {
class Model;
}

// The placements of a glTF scene: every path from a root node of the default scene (of every
// root node when the file names no default scene) down to a node with a mesh, with the node
// transforms (a matrix, or translation * rotation * scale) multiplied along it. The node graph is
// walked with explicit stacks, never by recursion, so no depth of hierarchy can overflow the
// stack. A cycle is refused; a node listed twice (a shared subtree) is placed once per path, and
// the number of paths is counted before any is walked, so that the caller can refuse a scene
// that places its meshes more often than it may.
class GltfNodeWalker {
public:
    using Matrix = std::array<double, 16>; // column-major, as glTF stores it

    struct Placement {
        int node = 0;
        int mesh = 0;
        Matrix transform{};
    };

    explicit GltfNodeWalker(const tinygltf::Model& gltfModel) : model(gltfModel) {}

    // Checks every node and scene index and that the graph has no cycle, and counts how many
    // times each node is placed.
    Status Prepare();

    // How many times each node is placed (saturating at 2^62), after Prepare.
    const std::vector<uint64_t>& PlacementCounts() const { return placements; }

    // Calls `place` for every placement of a node with a mesh, in the order of the scene (a node
    // before its children, children in their listed order), after Prepare.
    Status Walk(const std::function<Status(const Placement&)>& place) const;

private:
    Status CheckIndices() const;
    Status FindRoots();
    Status SortNodes(std::vector<int>& order) const;

    const tinygltf::Model& model;
    std::vector<int> roots;
    std::vector<uint64_t> placements;
};
