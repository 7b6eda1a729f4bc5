// Loading a body model, and what is derived from it once.
#include "body/BodyModel.h"

#include "base/ProgressSink.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/MeshFormat.h"
#include "mesh/io/MeshImport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

namespace {

const char kCancelled[] = "The body load was cancelled";

// Normals are smoothed across edges up to this angle (degrees) when a model is loaded.
constexpr float kSmoothingAngle = 90;

BodyModel::Loaded Failure(Status status) {
    return {nullptr, std::move(status)};
}

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
        MeshParts byGroup =
            ReadObjPartGroupsFromFile(path, static_cast<uint32_t>(mesh.triangles.size()));
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
                               std::to_string(*vertex + 1) + ")"); // counting as the file does
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

Vec3 VertexOf(const Mesh& mesh, uint32_t vertex) {
    return ToVec3(mesh.positions[vertex]);
}

bool HasVertex(const Mesh& mesh, uint32_t vertex) {
    return vertex < mesh.positions.size();
}

// The squared distance from p to the triangle abc, by the regions of the triangle's plane.
double SquaredDistanceToTriangle(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c) {
    const auto at = [&](double s, double t) {
        return Vec3{a.x + s * (b.x - a.x) + t * (c.x - a.x),
                    a.y + s * (b.y - a.y) + t * (c.y - a.y),
                    a.z + s * (b.z - a.z) + t * (c.z - a.z)};
    };
    const Vec3 ab = Minus(b, a), ac = Minus(c, a), ap = Minus(p, a);
    const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    Vec3 closest = a;
    if (!(d1 <= 0 && d2 <= 0)) {
        const Vec3 bp = Minus(p, b);
        const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
        const Vec3 cp = Minus(p, c);
        const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
        const double vc = d1 * d4 - d3 * d2, vb = d5 * d2 - d1 * d6, va = d3 * d6 - d5 * d4;
        if (d3 >= 0 && d4 <= d3) {
            closest = b;
        } else if (d6 >= 0 && d5 <= d6) {
            closest = c;
        } else if (vc <= 0 && d1 >= 0 && d3 <= 0) {
            closest = at(d1 / (d1 - d3), 0);
        } else if (vb <= 0 && d2 >= 0 && d6 <= 0) {
            closest = at(0, d2 / (d2 - d6));
        } else if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
            const double w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
            closest = at(1 - w, w);
        } else {
            const double denominator = va + vb + vc;
            closest = denominator != 0 ? at(vb / denominator, vc / denominator) : a;
        }
    }
    const Vec3 d = Minus(p, closest);
    return Dot(d, d);
}

double LowestY(const Mesh& mesh) {
    double lowest = std::numeric_limits<double>::infinity();
    for (const Vec3f& position : mesh.positions) {
        lowest = std::min(lowest, double(position.y));
    }
    return std::isfinite(lowest) ? lowest : 0.0;
}

} // namespace

BodyModel::~BodyModel() = default;

BodyModel::Loaded BodyModel::Load(const std::string& path, const WarningSink& warnings) {
    MeshImportCallbacks callbacks;
    callbacks.warning = warnings;
    MeshImportResult result = ImportMesh(path, callbacks);
    if (!result.mesh) {
        return Failure(FailedRead(result));
    }
    MeshParts parts = PartsOf(*result.mesh, path);
    return Adopt(std::move(result.mesh), std::move(parts), nullptr, warnings);
}

BodyModel::Loaded BodyModel::LoadWithProgress(const std::string& path, ProgressSink& progress,
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
        return Failure(FailedRead(result));
    }
    progress.SetProgress(20);
    if (progress.CancelRequested()) {
        return Failure(Status::Failure(kCancelled));
    }
    MeshParts parts = PartsOf(*result.mesh, path);
    Loaded loaded = Adopt(std::move(result.mesh), std::move(parts), &progress, warnings);
    if (loaded.model) {
        progress.SetProgress(60);
    }
    return loaded;
}

BodyModel::Loaded BodyModel::FromMesh(std::unique_ptr<Mesh> mesh) {
    if (!mesh) {
        return Failure(Status::Failure("No body model was given"));
    }
    MeshParts parts = PartsFromMaterialGroups(*mesh);
    return Adopt(std::move(mesh), std::move(parts), nullptr, nullptr);
}

BodyModel::Loaded BodyModel::Adopt(std::unique_ptr<Mesh> mesh, MeshParts parts,
                                   ProgressSink* progress, const WarningSink& warnings) {
    if (mesh->triangles.empty()) {
        return Failure(Status::Failure("The body model \"" + mesh->path + "\" has no triangles"));
    }
    const MeshFit fit = MeasureFit(*mesh);
    if (Status fittable = CheckFittable(*mesh, fit); !fittable) {
        return Failure(std::move(fittable));
    }
    const float fitScale = ApplyFit(*mesh, fit);
    ComputeFacetNormals(*mesh);
    ComputeVertexNormals(*mesh, kSmoothingAngle);
    if (progress) {
        progress->SetProgress(40);
        if (progress->CancelRequested()) {
            return Failure(Status::Failure(kCancelled));
        }
    }
    std::shared_ptr<BodyModel> model(new BodyModel());
    model->baseHeight = mesh->fitSize[1] * fitScale;
    model->baseDepth = mesh->fitSize[2] * fitScale;
    model->mesh = std::move(mesh);
    model->parts = std::move(parts);
    model->LoadLandmarks(warnings);
    return {std::move(model), Status::Ok()};
}

void BodyModel::LoadLandmarks(const WarningSink& warnings) {
    const std::string& modelPath = mesh->path;
    const std::string path = LandmarkTable::PathBesideModel(modelPath);
    std::error_code error;
    if (!modelPath.empty() && std::filesystem::is_regular_file(path, error)) {
        landmarkStatus = LandmarkTable::Load(path, landmarks);
        if (!landmarkStatus) {
            // The body is usable without its landmarks; say why they are missing, as the model
            // reader reports its warnings.
            ReportDiagnostic(warnings, landmarkStatus.message());
        }
    }
    pivots = skeleton::Pivots::FromLandmarks(landmarks);
}

const BodySkin* BodyModel::Skin() const {
    std::call_once(skinOnce, [this] {
        skin = BodySkin::Build(*mesh, parts, pivots, MeshToRest());
        restLowest = LowestY(*mesh);
    });
    return skin ? &*skin : nullptr;
}

bool BodyModel::HasArmParts() const {
    const BodySkin* built = Skin();
    return built != nullptr && built->HasRightArm();
}

double BodyModel::RestLowest() const {
    Skin();
    return restLowest;
}

std::string BodyModel::PartNearest(const Vec3& restPoint) const {
    if (parts.triangleParts.size() != mesh->triangles.size() || !HasPostureParts()) {
        return "trunk";
    }
    const Vec3 toRest = MeshToRest();
    const Vec3 p = Minus(restPoint, toRest);
    double best = std::numeric_limits<double>::infinity();
    size_t nearest = 0;
    for (size_t t = 0; t < mesh->triangles.size(); ++t) {
        const auto& v = mesh->triangles[t].position;
        if (!HasVertex(*mesh, v[0]) || !HasVertex(*mesh, v[1]) || !HasVertex(*mesh, v[2])) {
            continue;
        }
        const double d = SquaredDistanceToTriangle(p, VertexOf(*mesh, v[0]), VertexOf(*mesh, v[1]),
                                                   VertexOf(*mesh, v[2]));
        if (d < best) {
            best = d;
            nearest = t;
        }
    }
    const uint32_t part = parts.triangleParts[nearest];
    const std::string& name = part < parts.names.size() ? parts.names[part] : "";
    if (name == "right_leg") {
        return "right_thigh";
    }
    if (name == "left_leg") {
        return "left_thigh";
    }
    for (std::string_view known : skeleton::kPartNames) {
        if (known == name) {
            return name;
        }
    }
    return "trunk";
}

const std::vector<uint32_t>& BodyModel::LandmarkVertices() const {
    std::call_once(landmarkVerticesOnce, [this] {
        const Vec3 toRest = MeshToRest();
        for (const Landmark& landmark : landmarks.GetLandmarks()) {
            const Vec3 p = Minus(landmark.position, toRest);
            double best = std::numeric_limits<double>::infinity();
            uint32_t nearest = kNoIndex;
            for (uint32_t v = 0; v < mesh->positions.size(); ++v) {
                const Vec3 d = Minus(VertexOf(*mesh, v), p);
                if (const double distance = Dot(d, d); distance < best) {
                    best = distance;
                    nearest = v;
                }
            }
            landmarkVertices.push_back(nearest);
        }
    });
    return landmarkVertices;
}
