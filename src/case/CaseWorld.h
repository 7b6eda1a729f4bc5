#pragma once

#include "case/ScenePlacement.h"
#include "mesh/Mesh.h"

#include <memory>
#include <string>
#include <vector>

// The world a case places its body in: where the body stands, the scene model (a room, a
// vehicle, an outdoor scan) with its own placement, and the heights at which a shooter is
// assumed to hold the muzzle. Lengths are metres in the scene frame.
struct CaseWorld {
    static constexpr int kMaxMuzzleHeights = 8;
    // A muzzle held higher than this (a shot from a tower) is beyond what the zones are for.
    static constexpr double kLargestMuzzleHeight = 100.0;
    // Scene coordinates (placements, exterior points) lie within this distance of the origin.
    static constexpr double kLargestSceneCoordinate = 10000.0;

    // Standing, kneeling and prone.
    static std::vector<double> DefaultMuzzleHeights() { return {1.5, 1.0, 0.3}; }
    static bool IsMuzzleHeight(double metres) {
        return metres >= 0 && metres <= kLargestMuzzleHeight;
    }
    static bool IsSceneCoordinate(double metres) {
        return metres >= -kLargestSceneCoordinate && metres <= kLargestSceneCoordinate;
    }

    ScenePlacement body;
    std::string sceneModelFile; // empty: no scene model
    ScenePlacement scene;
    std::vector<double> muzzleHeights = DefaultMuzzleHeights();
    // The scene model as read from sceneModelFile (shared by copies of the world, as the body
    // shares its mesh); null while none is loaded.
    std::shared_ptr<const Mesh> sceneMesh;

    // The scene model's own frame into the body frame: placed in the scene, seen from the body.
    Matrix4 SceneModelToBodyFrame() const { return body.FromScene() * scene.ToScene(); }

    bool operator==(const CaseWorld&) const = default;
};
