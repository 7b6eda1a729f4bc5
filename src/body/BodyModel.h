#pragma once

#include "base/Diagnostics.h"
#include "base/Matrix4.h"
#include "base/Status.h"
#include "body/BodySkin.h"
#include "body/LandmarkTable.h"
#include "body/Skeleton.h"
#include "mesh/Mesh.h"
#include "mesh/MeshParts.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class ProgressSink;

// A body model as loaded from its file: the mesh fitted to the view with its normals, its named
// parts, the landmark table beside its file and the joints' pivots found from it. A loaded model
// never changes: every copy of a body shares it, and what is derived from it (the skin's weights,
// the vertex each landmark lies on) is worked out once, on first use, from any thread.
class BodyModel {
public:
    // Receives the reader's warnings about a model file, one line each, and why the landmark table
    // beside it could not be read; without one they go to the process's diagnostics.
    using WarningSink = DiagnosticSink;

    // A model, or why none could be made.
    struct Loaded {
        std::shared_ptr<const BodyModel> model;
        Status status = Status::Ok();
    };

    // Reads (any supported format), fits and prepares a mesh file, with its landmark table.
    static Loaded Load(const std::string& path, const WarningSink& warnings = nullptr);
    // The same, reporting 10 up to 20 while the file is read, then 40 and 60. When the sink asks
    // to stop, the load ends with a failure.
    static Loaded LoadWithProgress(const std::string& path, ProgressSink& progress,
                                   const WarningSink& warnings = nullptr);
    // Takes a mesh that has just been read (fits it and computes its normals); its parts are its
    // material groups. Refuses a mesh without triangles or with zero extent.
    static Loaded FromMesh(std::unique_ptr<Mesh> mesh);

    BodyModel(const BodyModel&) = delete;
    BodyModel& operator=(const BodyModel&) = delete;
    ~BodyModel();

    const Mesh& GetMesh() const { return *mesh; }
    const MeshParts& GetParts() const { return parts; }
    const LandmarkTable& GetLandmarks() const { return landmarks; }
    // Why the table beside the model could not be read (ok when it was read or is absent).
    const Status& GetLandmarkStatus() const { return landmarkStatus; }
    const skeleton::Pivots& GetPivots() const { return pivots; }

    // The height and depth of the fitted mesh (metres at the default scale), and where the rest
    // frame (the body frame at the default height and scales) has the fitted mesh's origin.
    double BaseHeight() const { return baseHeight; }
    double BaseDepth() const { return baseDepth; }
    Vec3 MeshToRest() const { return {0, baseHeight * 0.5, baseDepth * 0.5}; }

    // The skin's weights; none when the model has no parts the skeleton knows (it then moves as
    // one piece).
    const BodySkin* Skin() const;
    // Whether the model has parts the skeleton knows, and both parts of the right arm (what an
    // older file's arm pose moves).
    bool HasPostureParts() const { return Skin() != nullptr; }
    bool HasArmParts() const;
    // The lowest point of the mesh at rest (its fitted frame), where a posed body is set down.
    double RestLowest() const;
    // The part of the surface nearest to `restPoint` (rest frame); "trunk" when the model has no
    // parts the skeleton knows.
    std::string PartNearest(const Vec3& restPoint) const;
    // For each landmark of the table, the mesh vertex nearest to it (an index into
    // Mesh::positions; kNoIndex without a mesh vertex), whose skin weights carry it when the body
    // is posed.
    const std::vector<uint32_t>& LandmarkVertices() const;

private:
    BodyModel() = default;
    // Fits the mesh, computes its normals and takes it with its parts, reporting 40 when a
    // progress sink is given.
    static Loaded Adopt(std::unique_ptr<Mesh> mesh, MeshParts parts, ProgressSink* progress,
                        const WarningSink& warnings);
    void LoadLandmarks(const WarningSink& warnings);

    std::shared_ptr<const Mesh> mesh;
    MeshParts parts;
    LandmarkTable landmarks;
    Status landmarkStatus = Status::Ok();
    skeleton::Pivots pivots = skeleton::Pivots::Default();
    double baseHeight = 0;
    double baseDepth = 0;

    // Derived on first use.
    mutable std::once_flag skinOnce;
    mutable std::optional<BodySkin> skin;
    mutable double restLowest = 0;
    mutable std::once_flag landmarkVerticesOnce;
    mutable std::vector<uint32_t> landmarkVertices;
};
