#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"
#include "case/LandmarkTable.h"
#include "case/Placement.h"
#include "mesh/Mesh.h"
#include "mesh/MeshParts.h"
#include "mesh/SurfaceRayCaster.h"

#include <functional>
#include <memory>
#include <string>

class PosedBodyMesh;
class ProgressSink;

// The human model on which trajectories are measured: one mesh, fitted when loaded, scaled to the
// body height and stretched sideways (scale X) and front to back (scale Z), with the head, arm and
// forearm joints whose angles pose the trajectories. A Body is a value: copying it copies every
// parameter and shares the (never modified) mesh, which is how edits remember a body to go back to.
class Body {
public:
    Body();
    virtual ~Body();
    Body(const Body&) = default;
    Body& operator=(const Body&) = default;
    bool operator==(const Body&) const = default;

    // Receives the reader's warnings about a model file, one line each, and why the landmark table
    // beside it could not be read.
    using WarningSink = std::function<void(const std::string& message)>;

    // Reads (any supported format), fits and prepares a mesh file. On failure the previous mesh
    // and dimensions stay and the status carries the reader's message.
    Status Load(const std::string& path, const WarningSink& warnings = nullptr);
    // The same, reporting 10, 20, 40 and 60 (and advancing while the file is read). When the
    // sink asks to stop, the load ends with a failure and the previous mesh stays.
    Status LoadWithProgress(const std::string& path, ProgressSink& progress,
                            const WarningSink& warnings = nullptr);
    // Takes a mesh that has just been read (fits it and computes its normals), as Load does after
    // reading; its parts are its material groups. Refuses a mesh without triangles or with zero
    // extent.
    Status LoadMesh(std::unique_ptr<Mesh> mesh);

    void SetName(const std::string& value) { name = value; }
    const std::string& GetName() const { return name; }

    // Scales the body to h metres. Refuses (returns false, changes nothing) a height of 0 or less.
    bool SetHeight(double h);
    void SetScaleX(double s);
    void SetScaleZ(double s);

    float GetHeight() const { return static_cast<float>(height); }
    float GetDepth() const { return static_cast<float>(depth); }
    float GetScale() const { return static_cast<float>(scale); }
    double GetScaleX() const { return scaleX; }
    double GetScaleZ() const { return scaleZ; }

    const Mesh* GetModel() const { return model.get(); }

    Placement& GetHead() { return head; }
    Placement& GetArm() { return arm; }
    Placement& GetForearm() { return forearm; }
    const Placement& GetHead() const { return head; }
    const Placement& GetArm() const { return arm; }
    const Placement& GetForearm() const { return forearm; }

    // The landmarks read with the mesh from the table beside its file (none when there is no
    // table), at the default height and scales.
    const LandmarkTable& GetLandmarks() const { return meshLandmarks->table; }
    // The landmarks where they lie on the body as drawn now: scaled with its height and with
    // scale X and scale Z.
    LandmarkTable DrawnLandmarks() const;
    // Why the table beside the last mesh could not be read (ok when it was read or is absent).
    const Status& GetLandmarkStatus() const { return meshLandmarks->status; }

    // The lighting commands lengthen (x 1.1) or shorten (x 0.9) the normals the body is drawn
    // with. The mesh keeps its unit normals; the drawing multiplies them by GetNormalScale, so a
    // step taken back restores exactly the pixels that were shown before it.
    void IncreaseBodyLighting() { lighting *= 1.1; }
    void DecreaseBodyLighting() { lighting *= 0.9; }
    double GetLighting() const { return lighting; }
    // The length of the normals when drawn: the uniform scale (which the drawing scale divides
    // back out) times the lighting factor.
    float GetNormalScale() const { return static_cast<float>(scale * lighting); }

    // The arm pose transform that carries the trajectories that move with the arm, and the
    // forearm part of the body mesh.
    Matrix4 ArmPoseTransform() const;
    // The same without the elbow's turn: how the upper arm moves.
    Matrix4 UpperArmTransform() const;
    // Where the elbow's pivot is in the world with the arm at rest.
    Vec3 RestElbow() const;
    // How a trajectory entering at `entry` (its measured point, with the arm at rest) is carried
    // by the pose: not at all when it does not move with the arm, with the upper arm when it
    // enters above the elbow (an upper-arm wound must not swing with the forearm), otherwise by
    // the whole arm pose transform.
    Matrix4 TrajectoryPoseTransform(bool movesWithArm, const Vec3& entry) const;
    // Where the fitted mesh is drawn: translate (0, height/2, depth/2), scale (scaleX, 1, scaleZ),
    // then the uniform scale.
    Matrix4 DrawTransform() const;
    Matrix4 DrawTransformInverse() const;

    // Arm pitch 90 and every other arm and forearm angle 0: nothing is moved by the pose.
    bool HasInitialPose() const;
    // Puts the three joints back to their initial angles (the pivots stay).
    void ResetPose();

    // The mesh as it is drawn: the model with its arm groups posed, or the model itself at the
    // initial pose or when it has no arm groups. Kept until the pose, scales or mesh change.
    const Mesh* GetPosedModel() const;
    // Whether the model has the "right_arm" and "right_forearm" parts the pose moves.
    bool HasArmParts() const;
    // The model's named parts: its `g` groups, or its material groups when those name the arm.
    const MeshParts& GetModelParts() const { return *modelParts; }

    // The first point of the body's surface along a ray given in the body frame (the body as
    // drawn, its arm posed), with the triangle and the part it lies on (the model's named part,
    // else its material group). Empty when the ray misses or no mesh is loaded. The search
    // structure is built on the first call after the drawn mesh changes.
    std::optional<SurfaceHit> FirstSurfaceHit(const SurfaceRay& ray) const;
    // Builds the search structure now (it is otherwise built by the first ray).
    Status PrepareSurface() const;

private:
    // Fits the mesh, computes its normals and takes it with its dimensions, reporting 40 and 60
    // when a progress sink is given. Leaves everything as it was when the mesh is refused.
    Status AdoptMesh(std::unique_ptr<Mesh> mesh, MeshParts parts, ProgressSink* progress,
                     const WarningSink& warnings = nullptr);
    // The three turns of the arm pose transform, in the world.
    struct ArmTurns {
        Matrix4 arm, forearm, rest;
    };
    ArmTurns ArmPoseTurns() const;

    // Reads the landmark table beside the mesh file, or clears the table; a table that cannot be
    // read is said to `warnings` (to the standard error without one).
    void LoadLandmarks(const std::string& modelPath, const WarningSink& warnings);

    // The landmarks belong to the mesh: copies of the body share them with it.
    struct MeshLandmarks {
        LandmarkTable table;
        Status status = Status::Ok();
    };

    std::shared_ptr<const Mesh> model;
    std::shared_ptr<const MeshParts> modelParts = std::make_shared<const MeshParts>();
    std::shared_ptr<const MeshLandmarks> meshLandmarks = std::make_shared<const MeshLandmarks>();
    float unitizeScale = 0;
    float smoothingAngle = 90;
    std::string name = "default";
    double scale = 1.0;
    double scaleX = 1.0;
    double scaleZ = 1.0;
    double height = 0;
    double depth = 0;
    double baseHeight = 0;
    double baseDepth = 0;
    Placement head;
    Placement arm;
    Placement forearm;
    double lighting = 1.0;
    // A cache of what is drawn, not part of the body's state: a copy starts with an empty cache
    // of its own, and bodies compare equal whatever their caches hold.
    class PosedCache {
    public:
        PosedCache();
        PosedCache(const PosedCache&);
        PosedCache& operator=(const PosedCache&) { return *this; }
        ~PosedCache();
        bool operator==(const PosedCache&) const { return true; }
        PosedBodyMesh& operator*() const { return *mesh; }
        PosedBodyMesh* operator->() const { return mesh.get(); }

    private:
        std::unique_ptr<PosedBodyMesh> mesh;
    };
    PosedCache posedModel;
    // The ray search structure over the mesh as drawn, rebuilt when that mesh changes. A cache
    // like the one above: copies start empty and compare equal.
    struct SurfaceCache {
        SurfaceCache() = default;
        SurfaceCache(const SurfaceCache&) {}
        SurfaceCache& operator=(const SurfaceCache&) { return *this; }
        bool operator==(const SurfaceCache&) const { return true; }

        std::unique_ptr<SurfaceRayCaster> caster;
        const Mesh* mesh = nullptr;
        uint64_t revision = 0;
    };
    mutable SurfaceCache surface;
};
