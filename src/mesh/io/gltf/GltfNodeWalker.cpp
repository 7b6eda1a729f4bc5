#include "mesh/io/gltf/GltfNodeWalker.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

using Matrix = GltfNodeWalker::Matrix;

constexpr uint64_t kSaturated = uint64_t{1} << 62;

Matrix Identity() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[column * 4 + k];
            }
            product[column * 4 + row] = sum;
        }
    }
    return product;
}

// The node's own transform: its matrix, or translation * rotation * scale; parts of the wrong
// length are left out.
Matrix LocalTransform(const tinygltf::Node& node) {
    if (node.matrix.size() == 16) {
        Matrix m{};
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return m;
    }
    Matrix m = Identity();
    if (node.rotation.size() == 4) {
        const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2],
                     w = node.rotation[3];
        m[0] = 1 - 2 * (y * y + z * z);
        m[1] = 2 * (x * y + z * w);
        m[2] = 2 * (x * z - y * w);
        m[4] = 2 * (x * y - z * w);
        m[5] = 1 - 2 * (x * x + z * z);
        m[6] = 2 * (y * z + x * w);
        m[8] = 2 * (x * z + y * w);
        m[9] = 2 * (y * z - x * w);
        m[10] = 1 - 2 * (x * x + y * y);
    }
    if (node.scale.size() == 3) {
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                m[column * 4 + row] *= node.scale[static_cast<std::size_t>(column)];
            }
        }
    }
    if (node.translation.size() == 3) {
        m[12] = node.translation[0];
        m[13] = node.translation[1];
        m[14] = node.translation[2];
    }
    return m;
}

bool InRange(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

} // namespace

Status GltfNodeWalker::CheckIndices() const {
    for (std::size_t n = 0; n < model.nodes.size(); ++n) {
        const tinygltf::Node& node = model.nodes[n];
        if (node.mesh != -1 && !InRange(node.mesh, model.meshes.size())) {
            return Status::Failure("node " + std::to_string(n) +
                                   " names a mesh that does not exist");
        }
        for (int child : node.children) {
            if (!InRange(child, model.nodes.size())) {
                return Status::Failure("node " + std::to_string(n) +
                                       " names a child node that does not exist");
            }
        }
    }
    return Status::Ok();
}

Status GltfNodeWalker::FindRoots() {
    roots.clear();
    if (model.defaultScene >= 0) {
        if (!InRange(model.defaultScene, model.scenes.size())) {
            return Status::Failure("the default scene does not exist");
        }
        roots = model.scenes[static_cast<std::size_t>(model.defaultScene)].nodes;
        for (int root : roots) {
            if (!InRange(root, model.nodes.size())) {
                return Status::Failure("the scene names a node that does not exist");
            }
        }
        return Status::Ok();
    }
    // No default scene: every node that is no other node's child.
    std::vector<bool> isChild(model.nodes.size(), false);
    for (const tinygltf::Node& node : model.nodes) {
        for (int child : node.children) {
            isChild[static_cast<std::size_t>(child)] = true;
        }
    }
    for (std::size_t n = 0; n < model.nodes.size(); ++n) {
        if (!isChild[n]) {
            roots.push_back(static_cast<int>(n));
        }
    }
    return Status::Ok();
}

// Every node reachable from the roots, parents before children; fails on a cycle. A depth-first
// walk with its own stack: a node is "open" while its children are being visited, and reaching
// an open node again closes a cycle.
Status GltfNodeWalker::SortNodes(std::vector<int>& order) const {
    enum State : unsigned char { kUnseen, kOpen, kDone };
    std::vector<State> state(model.nodes.size(), kUnseen);
    std::vector<std::pair<int, std::size_t>> stack; // node, next child to visit
    for (int root : roots) {
        if (state[static_cast<std::size_t>(root)] != kUnseen) {
            continue;
        }
        stack.emplace_back(root, 0);
        state[static_cast<std::size_t>(root)] = kOpen;
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            const std::vector<int>& children = model.nodes[static_cast<std::size_t>(node)].children;
            if (next == children.size()) {
                state[static_cast<std::size_t>(node)] = kDone;
                order.push_back(node);
                stack.pop_back();
                continue;
            }
            const int child = children[next++];
            if (state[static_cast<std::size_t>(child)] == kOpen) {
                return Status::Failure("node " + std::to_string(child) +
                                       " is its own ancestor: the node hierarchy has a cycle");
            }
            if (state[static_cast<std::size_t>(child)] == kUnseen) {
                state[static_cast<std::size_t>(child)] = kOpen;
                stack.emplace_back(child, 0);
            }
        }
    }
    std::reverse(order.begin(), order.end()); // post-order reversed: parents first
    return Status::Ok();
}

Status GltfNodeWalker::Prepare() {
    if (Status status = CheckIndices(); !status) {
        return status;
    }
    if (Status status = FindRoots(); !status) {
        return status;
    }
    std::vector<int> order;
    if (Status status = SortNodes(order); !status) {
        return status;
    }
    // The number of paths to each node: one per listing as a root, plus its parents' counts, one
    // per listing as a child.
    placements.assign(model.nodes.size(), 0);
    for (int root : roots) {
        placements[static_cast<std::size_t>(root)] += 1;
    }
    for (int node : order) {
        const uint64_t paths = placements[static_cast<std::size_t>(node)];
        for (int child : model.nodes[static_cast<std::size_t>(node)].children) {
            uint64_t& count = placements[static_cast<std::size_t>(child)];
            count = std::min(kSaturated, count + paths);
        }
    }
    return Status::Ok();
}

Status GltfNodeWalker::Walk(const std::function<Status(const Placement&)>& place) const {
    struct Pending {
        int node;
        Matrix parent;
    };
    std::vector<Pending> stack;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) {
        stack.push_back({*root, Identity()});
    }
    while (!stack.empty()) {
        const Pending pending = stack.back();
        stack.pop_back();
        const tinygltf::Node& node = model.nodes[static_cast<std::size_t>(pending.node)];
        const Matrix transform = Multiply(pending.parent, LocalTransform(node));
        if (node.mesh >= 0) {
            if (Status status = place({pending.node, node.mesh, transform}); !status) {
                return status;
            }
        }
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
            stack.push_back({*child, transform});
        }
    }
    return Status::Ok();
}
