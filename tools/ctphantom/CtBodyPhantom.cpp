#include "CtBodyPhantom.h"

#include "mesh/io/MeshImport.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Half a voxel beyond the voxel centre nearest to where a body of `extent` (mm) starts when it
// is centred in `count` voxels of `spacing` (mm), counted from the first voxel centre.
double StartInGrid(int count, double spacing, double extent) {
    const double margin = std::floor((count * spacing - extent) / (2 * spacing));
    return (margin - 0.5) * spacing;
}

bool Overlaps(const CtPhantomCapsule& capsule, double y) {
    return y > std::min(capsule.a.y, capsule.b.y) - capsule.radius &&
           y < std::max(capsule.a.y, capsule.b.y) + capsule.radius;
}

} // namespace

Status CtBodyPhantom::Load(const std::string& modelPath) {
    const MeshImportResult imported = ImportMesh(modelPath);
    if (!imported.mesh)
        return Status::Failure(imported.error);
    const Mesh& mesh = *imported.mesh;
    Vec3 low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
             std::numeric_limits<double>::max()};
    Vec3 high{-low.x, -low.y, -low.z};
    for (const Vec3f& p : mesh.positions) {
        low = {std::min(low.x, double{p.x}), std::min(low.y, double{p.y}),
               std::min(low.z, double{p.z})};
        high = {std::max(high.x, double{p.x}), std::max(high.y, double{p.y}),
                std::max(high.z, double{p.z})};
    }
    if (mesh.triangles.empty() || high.y <= low.y)
        return Status::Failure("The body model " + modelPath + " has no triangles.");
    const double middle = (low.x + high.x) / 2;
    triangles_.clear();
    triangles_.reserve(mesh.triangles.size());
    for (const MeshTriangle& triangle : mesh.triangles) {
        CtBodySection::Triangle corners;
        for (int c = 0; c < 3; ++c) {
            const Vec3f& p = mesh.positions[triangle.position[c]];
            corners[c] = {(p.x - middle) * 100, (p.y - low.y) * 100, (p.z - low.z) * 100};
        }
        triangles_.push_back(corners);
    }
    size_ = {(high.x - low.x) * 100, (high.y - low.y) * 100, (high.z - low.z) * 100};
    layout_ = MakeCtBodyPhantomLayout(size_.y);
    haveSection_ = false;
    return Status::Ok();
}

Vec3 CtBodyPhantom::OriginLps(const CtPhantomOptions& options) const {
    const Vec3 centre = CtPhantomCentre();
    const double lowestS = centre.z - (options.size[2] - 1) / 2.0 * options.sliceGap;
    const double highestP = centre.y + (options.size[1] - 1) / 2.0 * options.pixelSpacing[1];
    return {centre.x,
            highestP - StartInGrid(options.size[1], options.pixelSpacing[1], DepthCm() * 10),
            lowestS + StartInGrid(options.size[2], options.sliceGap, HeightCm() * 10)};
}

Vec3 CtBodyPhantom::ToLps(const CtPhantomOptions& options, const Vec3& bodyCm) const {
    const Vec3 origin = OriginLps(options);
    return {origin.x + bodyCm.x * 10, origin.y - bodyCm.z * 10, origin.z + bodyCm.y * 10};
}

Vec3 CtBodyPhantom::ToBody(const CtPhantomOptions& options, const Vec3& lps) const {
    const Vec3 origin = OriginLps(options);
    return {(lps.x - origin.x) / 10, (lps.z - origin.z) / 10, (origin.y - lps.y) / 10};
}

std::vector<CtBodyPhantom::KnownPoint> CtBodyPhantom::KnownPoints() const {
    const double s = HeightCm() / 200;
    const CtPhantomCapsule& spine = layout_.bones.front();
    const double t = (120 * s - spine.a.y) / (spine.b.y - spine.a.y);
    std::vector<KnownPoint> points = {
        {"channel middle", layout_.channel.Centre()},
        {"fragment", layout_.fragment.Centre()},
        {"bullet", layout_.bullet.Centre()},
        {"left lung", layout_.lungs.back().Centre()},
        {"left femur", Vec3{}},
        {"spine",
         {spine.a.x + t * (spine.b.x - spine.a.x), 120 * s,
          spine.a.z + t * (spine.b.z - spine.a.z)}},
        {"belly", {0, 110 * s, 14 * s}},
    };
    for (const CtPhantomCapsule& bone : layout_.bones)
        if (bone.name == "left femur")
            points[4].bodyCm = bone.Centre();
    for (KnownPoint& point : points)
        point.hu = HuAtBody(point.bodyCm);
    return points;
}

const CtBodySection& CtBodyPhantom::SectionAt(double y) const {
    if (!haveSection_ || section_.Height() != y) {
        section_ = CtBodySection(triangles_, y, layout_.fatDepthCm);
        haveSection_ = true;
    }
    return section_;
}

// The solids that reach the height y, metal first, then the air of the channels, which cuts
// through bone and lung, then bone, then lung.
std::vector<const CtPhantomCapsule*> CtBodyPhantom::CapsulesAt(double y) const {
    std::vector<const CtPhantomCapsule*> all = {&layout_.fragment, &layout_.bullet,
                                                &layout_.channel, &layout_.bulletChannel};
    for (const CtPhantomCapsule& bone : layout_.bones)
        all.push_back(&bone);
    for (const CtPhantomCapsule& lung : layout_.lungs)
        all.push_back(&lung);
    std::vector<const CtPhantomCapsule*> near;
    for (const CtPhantomCapsule* capsule : all)
        if (Overlaps(*capsule, y))
            near.push_back(capsule);
    return near;
}

int16_t CtBodyPhantom::Classify(const Vec3& p, bool inside,
                                const std::vector<const CtPhantomCapsule*>& near,
                                const CtBodySection& section) const {
    for (const CtPhantomCapsule* capsule : near) {
        if (!inside && capsule->hu != CtBodyPhantomLayout::kMetalHu)
            continue;
        if (capsule->Contains(p))
            return capsule->hu;
    }
    if (!inside)
        return CtBodyPhantomLayout::kAirHu;
    if (section.Within(p.x, p.z, layout_.fatDepthCm))
        return CtBodyPhantomLayout::kFatHu;
    return CtBodyPhantomLayout::kTissueHu;
}

bool CtBodyPhantom::InsideSkin(const Vec3& bodyCm) const {
    return SectionAt(bodyCm.y).Inside(bodyCm.x, bodyCm.z);
}

int16_t CtBodyPhantom::HuAtBody(const Vec3& bodyCm) const {
    const CtBodySection& section = SectionAt(bodyCm.y);
    return Classify(bodyCm, section.Inside(bodyCm.x, bodyCm.z), CapsulesAt(bodyCm.y), section);
}

void CtBodyPhantom::HuAlongRow(const Vec3& start, const Vec3& step, int count, int16_t* hu) const {
    if (step.y != 0 || step.z != 0) { // a row across the body's axes: point by point
        for (int i = 0; i < count; ++i)
            hu[i] = HuAtBody({start.x + i * step.x, start.y + i * step.y, start.z + i * step.z});
        return;
    }
    const CtBodySection& section = SectionAt(start.y);
    const std::vector<const CtPhantomCapsule*> near = CapsulesAt(start.y);
    std::vector<std::pair<double, int>> crossings;
    section.Crossings(start.z, crossings);
    // The winding number left of each crossing, for the points between crossings.
    std::vector<double> at;
    std::vector<int> winding{0};
    for (const auto& [x, sign] : crossings) {
        at.push_back(x);
        winding.push_back(winding.back() + sign);
    }
    for (int i = 0; i < count; ++i) {
        const Vec3 p{start.x + i * step.x, start.y, start.z};
        const auto before = std::lower_bound(at.begin(), at.end(), p.x) - at.begin();
        hu[i] = Classify(p, winding[before] != 0, near, section);
    }
}
