#pragma once

#include "case/ArmSkin.h"
#include "mesh/Mesh.h"

#include <array>
#include <memory>
#include <optional>

class Body;

// The body mesh as drawn with its arm posed, kept until the pose, the body's scales or the mesh
// change, so that frames and picks reuse it. A body at its initial pose, or one whose mesh has no
// arm groups, is drawn as it was read.
class PosedBodyMesh {
public:
    PosedBodyMesh();
    ~PosedBodyMesh();

    // The mesh to draw and to cast rays against for the body's current state; nullptr without a
    // mesh.
    const Mesh* Update(const Body& body);

    // Whether the mesh has the arm groups the pose moves (false before the first Update).
    bool HasArmParts() const { return skin.has_value(); }

private:
    // Everything the posed positions depend on.
    struct Key {
        const Mesh* model = nullptr;
        uint64_t revision = 0;
        std::array<double, 9> values{};
        bool operator==(const Key&) const = default;
    };
    static Key KeyFor(const Body& body);

    std::optional<Key> skinKey;  // the mesh the skin weights belong to
    std::optional<Key> posedKey; // the state the posed mesh was made for
    std::optional<ArmSkin> skin;
    std::unique_ptr<Mesh> posed;
};
