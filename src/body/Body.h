#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"
#include "body/BodyModel.h"
#include "body/LandmarkTable.h"
#include "body/Posture.h"
#include "body/Skeleton.h"
#include "body/UncertaintyModel.h"
#include "mesh/Mesh.h"
#include "mesh/MeshParts.h"

#include <memory>
#include <string>
#include <string_view>

class ProgressSink;

// The human model on which trajectories are measured, as a value: its parameters (name, height,
// the sideways and front-to-back stretches, the posture, the lighting, what the uncertainty
// budget draws from) and the loaded model they apply to. Copying a body copies every parameter
// and shares the model, which never changes; two bodies are equal when their parameters are
// and they share one model. Where the posture carries the mesh and the measured points is the
// posed body's business (PosedBody).
class Body {
public:
    Body();
    ~Body();
    Body(const Body&) = default;
    Body& operator=(const Body&) = default;
    bool operator==(const Body&) const = default;

    using WarningSink = BodyModel::WarningSink;

    // Reads (any supported format), fits and prepares a mesh file, and takes it at its own height
    // (scales 1). On failure the previous model and dimensions stay and the status carries the
    // reader's message.
    Status Load(const std::string& path, const WarningSink& warnings = nullptr);
    // The same, reporting 10, 20, 40 and 60 (and advancing while the file is read). When the
    // sink asks to stop, the load ends with a failure and the previous model stays.
    Status LoadWithProgress(const std::string& path, ProgressSink& progress,
                            const WarningSink& warnings = nullptr);
    // Takes a mesh that has just been read, as Load does after reading; its parts are its
    // material groups. Refuses a mesh without triangles or with zero extent.
    Status LoadMesh(std::unique_ptr<Mesh> mesh);
    // Takes a model loaded before, at its own height.
    void Adopt(std::shared_ptr<const BodyModel> model);

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

    // The model's mesh at rest (the anatomical position, in the fitted mesh's frame); nullptr
    // while no model is loaded.
    const Mesh* GetModel() const { return model ? &model->GetMesh() : nullptr; }
    const std::shared_ptr<const BodyModel>& GetBodyModel() const { return model; }
    // The SHA-256 of the bytes the model was read from (lower-case hexadecimal); empty while no
    // model read from a file is loaded.
    const std::string& ModelSha256() const;

    // The posture, and the pivots it turns about (found from the model's landmarks).
    const Posture& GetPosture() const { return posture; }
    void SetPosture(const Posture& value) { posture = value; }
    void SetJoint(skeleton::Joint joint, const JointAngles& angles) { posture.Set(joint, angles); }
    const skeleton::Pivots& GetPivots() const;
    // The anatomical position: nothing is moved by the posture.
    bool HasInitialPose() const { return posture.IsAnatomical(); }
    // Puts every joint back to the anatomical position (the pivots stay).
    void ResetPose() { posture = Posture(); }

    // What the uncertainty budget draws from beyond the points' balls.
    const UncertaintyModel& GetUncertaintyModel() const { return uncertaintyModel; }
    UncertaintyModel& GetUncertaintyModel() { return uncertaintyModel; }

    // The landmarks read with the model from the table beside its file (none when there is no
    // table), at the default height and scales.
    const LandmarkTable& GetLandmarks() const;
    // The landmarks where they lie on the body in the anatomical position at its height and
    // stretches.
    LandmarkTable DrawnLandmarks() const;
    // Why the table beside the model could not be read (ok when it was read or is absent).
    const Status& GetLandmarkStatus() const;

    // The lighting commands lengthen (x 1.1) or shorten (x 0.9) the normals the body is drawn
    // with. The mesh keeps its unit normals; the drawing multiplies them by GetNormalScale, so a
    // step taken back restores exactly the pixels that were shown before it.
    void IncreaseBodyLighting() { lighting *= 1.1; }
    void DecreaseBodyLighting() { lighting *= 0.9; }
    double GetLighting() const { return lighting; }
    // The length of the normals when drawn: the uniform scale (which the drawing scale divides
    // back out) times the lighting factor.
    float GetNormalScale() const { return static_cast<float>(scale * lighting); }

    // The rest frame (the body frame at the default height and scales) and back.
    Vec3 ToRest(const Vec3& point) const;
    Vec3 FromRest(const Vec3& point) const;
    // The rest frame from the fitted mesh's frame: a shift, since the drawing's scales cancel.
    Vec3 MeshToRest() const;
    // Where the fitted mesh is drawn: translate (0, height/2, depth/2), scale (scaleX, 1, scaleZ),
    // then the uniform scale.
    Matrix4 DrawTransform() const;
    Matrix4 DrawTransformInverse() const;

    // Whether the model has the "right_arm" and "right_forearm" parts older files' arm pose moves.
    bool HasArmParts() const { return model && model->HasArmParts(); }
    // Whether the model has parts the skeleton knows (otherwise it moves as one piece).
    bool HasPostureParts() const { return model && model->HasPostureParts(); }
    // The model's named parts: its `g` groups, or its material groups when those name the arm.
    const MeshParts& GetModelParts() const;
    // The part of the body's surface (at rest) nearest to `point` (body frame); "trunk" when the
    // model has no parts the skeleton knows.
    std::string PartNearest(const Vec3& point) const;
    // The segment whose bone carries a measured point (body frame, anatomical position) of the
    // named part: the part's own segment; for the trunk, the pelvis below the lumbar pivot and
    // the torso above it; the pelvis for a model without parts the skeleton knows.
    skeleton::Segment SegmentOf(const Vec3& point, std::string_view part) const;
    // The right elbow's pivot at rest (body frame): older files' trajectories that enter above it
    // move with the upper arm, the others with the forearm.
    Vec3 RestElbow() const;

private:
    std::shared_ptr<const BodyModel> model;
    std::string name = "default";
    double scale = 1.0;
    double scaleX = 1.0;
    double scaleZ = 1.0;
    double height = 0;
    double depth = 0;
    Posture posture;
    UncertaintyModel uncertaintyModel;
    double lighting = 1.0;
};
