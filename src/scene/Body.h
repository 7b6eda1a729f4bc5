#pragma once

#include "model/Mesh.h"
#include "model/Status.h"
#include "scene/Matrix4.h"
#include "scene/Object.h"

#include <functional>
#include <memory>
#include <string>

class ProgressSink;

// The human model on which trajectories are measured: one mesh, fitted when loaded, scaled to the
// body height and stretched sideways (scale X) and front to back (scale Z), with the head, arm and
// forearm joints whose angles pose the trajectories.
class Body {
public:
    Body();
    virtual ~Body();

    // Receives the reader's warnings about a model file, one line each.
    using WarningSink = std::function<void(const std::string& message)>;

    // Reads (any supported format), fits and prepares a mesh file. On failure the previous mesh
    // and dimensions stay and the status carries the reader's message.
    Status Load(const std::string& path, const WarningSink& warnings = nullptr);
    // The same, reporting 10, 20, 40 and 60 (and advancing while the file is read). When the
    // sink asks to stop, the load ends with a failure and the previous mesh stays.
    Status LoadWithProgress(const std::string& path, ProgressSink& progress,
                            const WarningSink& warnings = nullptr);
    // Takes a mesh that has just been read (fits it and computes its normals), as Load does after
    // reading. Refuses a mesh without triangles or with zero extent.
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

    Mesh* GetModel() { return model.get(); }
    const Mesh* GetModel() const { return model.get(); }

    Object& GetHead() { return *head; }
    Object& GetArm() { return *arm; }
    Object& GetForearm() { return *forearm; }
    const Object& GetHead() const { return *head; }
    const Object& GetArm() const { return *arm; }
    const Object& GetForearm() const { return *forearm; }

    void IncreaseBodyLighting(); // every vertex normal x 1.1
    void DecreaseBodyLighting(); // every vertex normal x 0.9

    // The arm pose transform that carries every trajectory with the arm and forearm.
    Matrix4 ArmPoseTransform() const;
    // Where the fitted mesh is drawn: translate (0, height/2, depth/2), scale (scaleX, 1, scaleZ),
    // then the uniform scale.
    Matrix4 DrawTransform() const;

private:
    // Fits the mesh, computes its normals and takes it with its dimensions, reporting 40 and 60
    // when a progress sink is given. Leaves everything as it was when the mesh is refused.
    Status AdoptMesh(std::unique_ptr<Mesh> mesh, ProgressSink* progress);

    std::unique_ptr<Mesh> model;
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
    std::unique_ptr<Object> head;
    std::unique_ptr<Object> arm;
    std::unique_ptr<Object> forearm;
};
