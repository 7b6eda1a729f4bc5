#include "body/Body.h"

#include <cmath>

namespace {

bool IsUsableScale(double s) {
    return std::isfinite(s) && s > 0;
}

const MeshParts& NoParts() {
    static const MeshParts none;
    return none;
}

const LandmarkTable& NoLandmarks() {
    static const LandmarkTable none;
    return none;
}

} // namespace

Body::Body() = default;

Body::~Body() = default;

Status Body::Load(const std::string& path, const WarningSink& warnings) {
    BodyModel::Loaded loaded = BodyModel::Load(path, warnings);
    if (loaded.model) {
        Adopt(std::move(loaded.model));
    }
    return loaded.status;
}

Status Body::LoadWithProgress(const std::string& path, ProgressSink& progress,
                              const WarningSink& warnings) {
    BodyModel::Loaded loaded = BodyModel::LoadWithProgress(path, progress, warnings);
    if (loaded.model) {
        Adopt(std::move(loaded.model));
    }
    return loaded.status;
}

Status Body::LoadMesh(std::unique_ptr<Mesh> mesh) {
    BodyModel::Loaded loaded = BodyModel::FromMesh(std::move(mesh));
    if (loaded.model) {
        Adopt(std::move(loaded.model));
    }
    return loaded.status;
}

void Body::Adopt(std::shared_ptr<const BodyModel> loaded) {
    if (!loaded) {
        return;
    }
    model = std::move(loaded);
    height = model->BaseHeight();
    depth = model->BaseDepth();
    scale = 1.0;
    lighting = 1.0; // a new mesh is lit as read
}

bool Body::SetHeight(double h) {
    // The height is kept and written in single precision: a value that is finite as a double but
    // not as a float (1e300) would become an infinite body.
    const float single = static_cast<float>(h);
    if (!std::isfinite(h) || h <= 0 || !std::isfinite(single) || single <= 0) {
        return false;
    }
    height = h;
    if (!model || model->BaseHeight() <= 0) {
        // No model yet: remember the height; the scale waits for a model to measure.
        return true;
    }
    // The drawing scale divides the normals by the scale; GetNormalScale brings them back, so
    // setting the same height again leaves the brightness alone.
    scale = h / model->BaseHeight();
    depth = scale * model->BaseDepth() * scaleZ;
    return true;
}

void Body::SetScaleX(double s) {
    if (IsUsableScale(s)) {
        scaleX = s;
    }
}

void Body::SetScaleZ(double s) {
    if (!IsUsableScale(s)) {
        return;
    }
    scaleZ = s;
    depth = (model ? model->BaseDepth() : 0.0) * scale * s;
}

const skeleton::Pivots& Body::GetPivots() const {
    static const skeleton::Pivots defaults = skeleton::Pivots::Default();
    return model ? model->GetPivots() : defaults;
}

const LandmarkTable& Body::GetLandmarks() const {
    return model ? model->GetLandmarks() : NoLandmarks();
}

LandmarkTable Body::DrawnLandmarks() const {
    return GetLandmarks().Scaled(scale * scaleX, scale, scale * scaleZ);
}

const Status& Body::GetLandmarkStatus() const {
    static const Status ok = Status::Ok();
    return model ? model->GetLandmarkStatus() : ok;
}

const std::string& Body::ModelSha256() const {
    static const std::string none;
    return model ? model->GetMesh().sourceSha256 : none;
}

const MeshParts& Body::GetModelParts() const {
    return model ? model->GetParts() : NoParts();
}

Vec3 Body::ToRest(const Vec3& point) const {
    return {point.x / (scale * scaleX), point.y / scale, point.z / (scale * scaleZ)};
}

Vec3 Body::FromRest(const Vec3& point) const {
    return {point.x * scale * scaleX, point.y * scale, point.z * scale * scaleZ};
}

Vec3 Body::MeshToRest() const {
    return model ? model->MeshToRest() : Vec3{};
}

std::string Body::PartNearest(const Vec3& point) const {
    return model ? model->PartNearest(ToRest(point)) : "trunk";
}

skeleton::Segment Body::SegmentOf(const Vec3& point, std::string_view part) const {
    if (!HasPostureParts()) {
        return skeleton::Segment::Pelvis;
    }
    if (const std::optional<skeleton::Segment> own = skeleton::SegmentOfPart(part);
        own && part != "trunk") {
        return *own;
    }
    const double lumbar = GetPivots()[skeleton::Joint::Trunk].y;
    return ToRest(point).y >= lumbar ? skeleton::Segment::Torso : skeleton::Segment::Pelvis;
}

Vec3 Body::RestElbow() const {
    return FromRest(GetPivots()[skeleton::Joint::RightElbow]);
}

Matrix4 Body::DrawTransform() const {
    return Matrix4::Translation(0, height * 0.5, depth * 0.5) *
           Matrix4::Scaling(scaleX, 1, scaleZ) * Matrix4::Scaling(scale, scale, scale);
}

Matrix4 Body::DrawTransformInverse() const {
    return Matrix4::Scaling(1 / (scaleX * scale), 1 / scale, 1 / (scaleZ * scale)) *
           Matrix4::Translation(0, -height * 0.5, -depth * 0.5);
}
