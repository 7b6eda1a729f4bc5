#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"
#include "body/BodySkin.h"
#include "body/LandmarkTable.h"
#include "body/Posture.h"
#include "body/SegmentPoses.h"
#include "body/Skeleton.h"
#include "body/UncertaintyModel.h"
#include "mesh/Mesh.h"
#include "mesh/MeshParts.h"
#include "mesh/SurfaceRayCaster.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class PosedBodyMesh;
class ProgressSink;

// The human model on which trajectories are measured: one mesh, fitted when loaded, scaled to the
// body height and stretched sideways (scale X) and front to back (scale Z), and posed by its
// skeleton's joints, which carry the mesh and every measured point with its own part. A Body is a
// value: copying it copies every parameter and shares the (never modified) mesh, which is how edits
// remember a body to go back to.
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

    // The posture and the pivots it turns about (found from the landmarks when the mesh is read).
    const Posture& GetPosture() const { return posture; }
    void SetPosture(const Posture& value) { posture = value; }
    void SetJoint(skeleton::Joint joint, const JointAngles& angles) { posture.Set(joint, angles); }
    const skeleton::Pivots& GetPivots() const { return pivots; }
    // What the uncertainty budget draws from beyond the points' balls.
    const UncertaintyModel& GetUncertaintyModel() const { return uncertaintyModel; }
    UncertaintyModel& GetUncertaintyModel() { return uncertaintyModel; }

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

    // Where segment `segment` is carried by the posture, in the body frame (the body as drawn,
    // set down on the floor).
    Matrix4 SegmentTransform(skeleton::Segment segment) const;
    // Where a measured point (body frame, anatomical position) on the named part lies on the
    // posed body: moved with its own part only, blended as the skin is near a joint.
    Vec3 PosePoint(const Vec3& point, std::string_view part) const;
    // The pieces PosePoint is made of, for searches that pose the same points in many postures:
    // the rest frame (the body frame at the default height and scales) and back, and the weights
    // with which the segments carry a rest-frame point of the named part.
    Vec3 ToRest(const Vec3& point) const;
    Vec3 FromRest(const Vec3& point) const;
    BodySkin::Weights RestPointWeights(const Vec3& restPoint, std::string_view part) const;
    // The part of the body's surface (at rest) nearest to `point` (body frame); "trunk" when the
    // model has no parts the skeleton knows.
    std::string PartNearest(const Vec3& point) const;
    // The way older files carried a trajectory: not at all when it does not move with the arm,
    // with the upper arm when it enters above the elbow (an upper-arm wound must not swing with
    // the forearm), otherwise with the forearm.
    Matrix4 TrajectoryPoseTransform(bool movesWithArm, const Vec3& entry) const;
    // The upper arm's and the forearm's transforms, and the elbow's pivot at rest (body frame).
    Matrix4 UpperArmTransform() const { return SegmentTransform(skeleton::Segment::RightUpperArm); }
    Matrix4 ArmPoseTransform() const { return SegmentTransform(skeleton::Segment::RightForearm); }
    Vec3 RestElbow() const;
    // The rest frame (the body frame at the default height and scales) from the fitted mesh's
    // frame: a shift, since the drawing's scales cancel.
    Vec3 MeshToRest() const { return {0, baseHeight * 0.5, baseDepth * 0.5}; }
    // Where the fitted mesh is drawn: translate (0, height/2, depth/2), scale (scaleX, 1, scaleZ),
    // then the uniform scale.
    Matrix4 DrawTransform() const;
    Matrix4 DrawTransformInverse() const;

    // The anatomical position: nothing is moved by the posture.
    bool HasInitialPose() const { return posture.IsAnatomical(); }
    // Puts every joint back to the anatomical position (the pivots stay).
    void ResetPose() { posture = Posture(); }

    // The mesh as it is drawn: the model in its posture, or the model itself in the anatomical
    // position. Kept until the posture or the mesh change.
    const Mesh* GetPosedModel() const;
    // Whether the model has the "right_arm" and "right_forearm" parts older files' arm pose moves.
    bool HasArmParts() const;
    // Whether the model has parts the skeleton knows (otherwise it moves as one piece).
    bool HasPostureParts() const;
    // The model's named parts: its `g` groups, or its material groups when those name the arm.
    const MeshParts& GetModelParts() const { return *modelParts; }

    // The first point of the body's surface along a ray given in the body frame (the body as
    // drawn, its arm posed), with the triangle and the part it lies on (the model's named part,
    // else its material group). Empty when the ray misses or no mesh is loaded. The search
    // structure is built on the first call after the drawn mesh changes.
    std::optional<SurfaceHit> FirstSurfaceHit(const SurfaceRay& ray) const;
    // Where a hit on the body as drawn lies on the body at rest (the anatomical position): the same
    // place on the same triangle. A measured point is kept at rest and posed with its part.
    Vec3 RestPointOf(const SurfaceHit& hit) const;
    // Builds the search structure now (it is otherwise built by the first ray).
    Status PrepareSurface() const;

    // The segments' rest-frame transforms, the posture's support included.
    SegmentPoses RestSegments() const;

private:
    // Fits the mesh, computes its normals and takes it with its dimensions, reporting 40 and 60
    // when a progress sink is given. Leaves everything as it was when the mesh is refused.
    Status AdoptMesh(std::unique_ptr<Mesh> mesh, MeshParts parts, ProgressSink* progress,
                     const WarningSink& warnings = nullptr);
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
    Posture posture;
    skeleton::Pivots pivots = skeleton::Pivots::Default();
    UncertaintyModel uncertaintyModel;
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
