#pragma once

#include "body/BodySkin.h"
#include "body/Posture.h"
#include "body/Skeleton.h"
#include "mesh/Mesh.h"

#include <memory>
#include <optional>

class Body;

// The body mesh as drawn in its posture, kept until the posture or the mesh change, so that
// frames and picks reuse it. A body in the anatomical position, or one whose mesh has no parts
// the skeleton knows, is drawn as it was read (the latter still turned and set down as a whole).
class PosedBodyMesh {
public:
    PosedBodyMesh();
    ~PosedBodyMesh();

    // The mesh to draw and to cast rays against for the body's current state; nullptr without a
    // mesh.
    const Mesh* Update(const Body& body);

    // The skin weights of the current mesh (none before the first Update or without parts).
    const BodySkin* Skin() const { return skin ? &*skin : nullptr; }
    // How far the posture's support raised the body (rest frame, metres) so that its lowest point
    // stays where the standing body's lowest point is.
    double Lift() const { return lift; }

private:
    struct Key {
        const Mesh* model = nullptr;
        uint64_t revision = 0;
        Posture posture;
        skeleton::Pivots pivots;
        bool operator==(const Key&) const = default;
    };

    std::optional<Key> skinKey;  // the mesh and pivots the skin weights belong to
    std::optional<Key> posedKey; // the state the posed mesh was made for
    std::optional<BodySkin> skin;
    std::unique_ptr<Mesh> posed;
    double restLowest = 0;
    double lift = 0;
};
