// Loading the body's mesh and everything that changes its normals.
#include "body/Body.h"

#include "base/ProgressSink.h"
#include "body/Skeleton.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/MeshFormat.h"
#include "mesh/io/MeshImport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace {

const char kCancelled[] = "The body load was cancelled";

Status FailedRead(MeshImportResult& result) {
    if (result.cancelled) {
        return Status::Failure(kCancelled);
    }
    if (result.error.empty()) {
        return Status::Failure("Read Obj failed");
    }
    return Status::Failure(std::move(result.error));
}

bool NamesABodyPart(const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
        return name != "trunk" && skeleton::SegmentOfPart(name).has_value();
    });
}

// The parts the posture moves: the material groups when they name a limb or the head, else the
// file's `g` groups (read again, since the reader keeps only material groups), else the material
// groups.
MeshParts PartsOf(const Mesh& mesh, const std::string& path) {
    MeshParts byMaterial = PartsFromMaterialGroups(mesh);
    // Only a Wavefront file has `g` groups to read again.
    if (!NamesABodyPart(byMaterial.names) && MeshFormatFromExtension(path) == MeshFormat::Obj) {
        MeshParts byGroup = ReadObjPartGroupsFromFile(path, mesh.triangleCount);
        if (NamesABodyPart(byGroup.names)) {
            return byGroup;
        }
    }
    return byMaterial;
}

// The shortest text that reads back as `value`, whatever the locale.
std::string FormatExtent(float value) {
    std::string text(32, '\0'); // room for any float's shortest form
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    text.resize(error == std::errc() ? static_cast<std::size_t>(end - text.data()) : 0);
    return text;
}

// Why the mesh cannot be fitted to the view as `fit` (measured on it) says, in the words the body
// load reports; fitting may go ahead when the status is ok. Nothing that is not a finite number
// may reach the body.
Status CheckFittable(const Mesh& mesh, const MeshFit& fit) {
    const std::string model = "The body model \"" + mesh.path + "\"";
    if (const std::optional<uint32_t> vertex = FirstNonFiniteVertex(mesh)) {
        return Status::Failure(model + " has a coordinate that is not a number (vertex " +
                               std::to_string(*vertex) + ")");
    }
    if (fit.refusal == MeshFit::Refusal::TooSmall) {
        return Status::Failure(model + " is too small to be scaled to the view (its largest " +
                               "extent is " + FormatExtent(fit.largest) + ")");
    }
    if (fit.refusal != MeshFit::Refusal::None) {
        return Status::Failure(model + " has no extent");
    }
    return Status::Ok();
}

} // namespace

Status Body::Load(const std::string& path, const WarningSink& warnings) {
    MeshImportCallbacks callbacks;
    callbacks.warning = warnings;
    MeshImportResult result = ImportMesh(path, callbacks);
    if (!result.mesh) {
        return FailedRead(result);
    }
    MeshParts parts = PartsOf(*result.mesh, path);
    return AdoptMesh(std::move(result.mesh), std::move(parts), nullptr, warnings);
}

Status Body::LoadWithProgress(const std::string& path, ProgressSink& progress,
                              const WarningSink& warnings) {
    progress.SetProgress(10);
    int lastReported = 10;
    MeshImportCallbacks callbacks;
    callbacks.warning = warnings;
    callbacks.progress = [&](double fraction) {
        // 10 up to 19 while reading; 20 is reported once the mesh is complete.
        const double clamped = fraction >= 0 ? std::min(fraction, 0.99) : 0.0;
        const int position = 10 + static_cast<int>(clamped * 10);
        if (position != lastReported) {
            lastReported = position;
            progress.SetProgress(position);
        }
        return !progress.CancelRequested();
    };
    MeshImportResult result = ImportMesh(path, callbacks);
    if (!result.mesh) {
        return FailedRead(result);
    }
    progress.SetProgress(20);
    if (progress.CancelRequested()) {
        return Status::Failure(kCancelled);
    }
    MeshParts parts = PartsOf(*result.mesh, path);
    return AdoptMesh(std::move(result.mesh), std::move(parts), &progress, warnings);
}

Status Body::LoadMesh(std::unique_ptr<Mesh> mesh) {
    if (!mesh) {
        return Status::Failure("No body model was given");
    }
    MeshParts parts = PartsFromMaterialGroups(*mesh);
    return AdoptMesh(std::move(mesh), std::move(parts), nullptr);
}

Status Body::AdoptMesh(std::unique_ptr<Mesh> mesh, MeshParts parts, ProgressSink* progress,
                       const WarningSink& warnings) {
    if (mesh->triangleCount == 0) {
        return Status::Failure("The body model \"" + mesh->path + "\" has no triangles");
    }
    const MeshFit fit = MeasureFit(*mesh);
    if (Status fittable = CheckFittable(*mesh, fit); !fittable) {
        return fittable;
    }
    const float fitScale = ApplyFit(*mesh, fit);
    ComputeFacetNormals(*mesh);
    ComputeVertexNormals(*mesh, smoothingAngle);
    if (progress) {
        progress->SetProgress(40);
        if (progress->CancelRequested()) {
            return Status::Failure(kCancelled);
        }
    }

    unitizeScale = fitScale;
    baseHeight = mesh->fitSize[1] * unitizeScale;
    baseDepth = mesh->fitSize[2] * unitizeScale;
    height = baseHeight;
    depth = baseDepth;
    scale = 1.0;
    lighting = 1.0; // a new mesh is lit as read
    model = std::move(mesh);
    modelParts = std::make_shared<const MeshParts>(std::move(parts));
    surface = {};
    LoadLandmarks(model->path, warnings);
    if (progress) {
        progress->SetProgress(60);
    }
    return Status::Ok();
}

void Body::LoadLandmarks(const std::string& modelPath, const WarningSink& warnings) {
    auto loaded = std::make_shared<MeshLandmarks>();
    const std::string path = LandmarkTable::PathBesideModel(modelPath);
    std::error_code error;
    if (!modelPath.empty() && std::filesystem::is_regular_file(path, error)) {
        loaded->status = LandmarkTable::Load(path, loaded->table);
        if (!loaded->status && warnings) {
            // The body is usable without its landmarks; say why they are missing, as the model
            // reader reports its warnings.
            warnings(loaded->status.message());
        } else if (!loaded->status) {
            std::fprintf(stderr, "ruvo: warning: %s\n", loaded->status.message().c_str());
        }
    }
    pivots = skeleton::Pivots::FromLandmarks(loaded->table);
    meshLandmarks = std::move(loaded);
}

LandmarkTable Body::DrawnLandmarks() const {
    return meshLandmarks->table.Scaled(scale * scaleX, scale, scale * scaleZ);
}

bool Body::SetHeight(double h) {
    // The height is kept and written in single precision: a value that is finite as a double but
    // not as a float (1e300) would become an infinite body.
    const float single = static_cast<float>(h);
    if (!std::isfinite(h) || h <= 0 || !std::isfinite(single) || single <= 0) {
        return false;
    }
    height = h;
    if (baseHeight <= 0) {
        // No mesh yet: remember the height; the scale waits for a mesh to measure.
        return true;
    }
    // The drawing scale divides the normals by the scale; GetNormalScale brings them back, so
    // setting the same height again leaves the brightness alone.
    scale = h / baseHeight;
    depth = scale * baseDepth * scaleZ;
    return true;
}
