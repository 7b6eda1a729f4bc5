#include "world/CtBodyFile.h"

#include "base/ProgressRange.h"
#include "case/Case.h"
#include "case/SceneModelPath.h"
#include "ct/CtMetal.h"
#include "ct/CtSeriesHash.h"
#include "ct/CtSeriesReader.h"

#include <filesystem>
#include <memory>
#include <system_error>

namespace {

constexpr double kMetresPerCentimetre = 0.01;

Status Failure(const std::string& folder, const Status& reason) {
    return Status::Failure("Cannot read the CT series in \"" + folder + "\": " + reason.message());
}

// The skin as the body takes it: in metres, like every length of the case.
std::unique_ptr<Mesh> SkinInMetres(Mesh skin) {
    auto mesh = std::make_unique<Mesh>(std::move(skin));
    for (Vec3f& position : mesh->positions) {
        position = position * static_cast<float>(kMetresPerCentimetre);
    }
    for (float& bound : mesh->box) {
        bound *= static_cast<float>(kMetresPerCentimetre);
    }
    for (MeshGroup& group : mesh->groups) {
        for (float& bound : group.box) {
            bound *= static_cast<float>(kMetresPerCentimetre);
        }
    }
    mesh->revision = NextMeshRevision();
    return mesh;
}

// Finds the metal objects once, so that the panel, the view and the report share them. A search
// that fails leaves the scan without metal, and says why, but the body is read all the same:
// only a cancellation stops the reading.
Status FindMetal(CtScan& scan, ProgressSink* progress) {
    const CtMetalOptions options;
    scan.metalThresholdHu = options.thresholdHu;
    if (Status found = FindCtMetal(scan, options, scan.metal, progress); !found) {
        if (progress != nullptr && progress->CancelRequested()) {
            return found;
        }
        scan.metalFailure = found.message();
    }
    return Status::Ok();
}

// Reads the series, hashes its files, draws its surfaces and finds its metal: 0 to 50 reading,
// 50 to 55 hashing, 55 to 95 the surfaces, 95 to 100 the metal.
Status ReadScan(const std::string& folder, const std::string& seriesUid, ProgressSink* progress,
                const CtBodyOptions& options, CtScan& scan, Mesh& skin) {
    CtSeriesReader reader;
    ProgressRange reading(progress, 0, 50);
    if (Status read = reader.Read(folder, seriesUid, &reading); !read) {
        return read;
    }
    if (Status hashed = Sha256OfSeriesFiles(reader.Files(), scan.seriesSha256); !hashed) {
        return hashed;
    }
    ProgressRange building(progress, 55, 95);
    CtBodySurfaces surfaces;
    if (Status built = BuildCtBody(reader.Volume(), options, surfaces, &building); !built) {
        return built;
    }
    scan.facts = reader.Facts();
    scan.volume = reader.TakeVolume();
    scan.frame = surfaces.frame;
    scan.skinThresholdHu = options.skinThresholdHu;
    scan.boneThresholdHu = options.boneThresholdHu;
    scan.skinTriangles = surfaces.skin.triangles.size();
    scan.boneTriangles = surfaces.bone.triangles.size();
    scan.bodyLengthCm = surfaces.lengthCm;
    scan.bone = std::make_shared<const Mesh>(std::move(surfaces.bone));
    skin = std::move(surfaces.skin);
    ProgressRange finding(progress, 95, 100);
    return FindMetal(scan, &finding);
}

// Makes the skin the body, at the scan's own length: the fitted model stands with its soles at
// y = 0, its back at z = 0 and the middle of its width at x = 0, which is the frame the skin was
// drawn in, so a point of the scan keeps its body-frame coordinates on the body.
Status AdoptSkin(Body& body, Mesh skin, double lengthCm) {
    Body adopted = body;
    if (Status taken = adopted.LoadMesh(SkinInMetres(std::move(skin))); !taken) {
        return taken;
    }
    adopted.SetScaleX(1.0);
    adopted.SetScaleZ(1.0);
    adopted.ResetPose();
    if (!adopted.SetHeight(lengthCm * kMetresPerCentimetre)) {
        return Status::Failure("the skin has no height");
    }
    body = adopted; // copies the parameters, shares the model
    return Status::Ok();
}

Status ReadInto(Case& theCase, const std::string& folder, const std::string& seriesUid,
                ProgressSink* progress, const CtBodyOptions& options) {
    auto scan = std::make_shared<CtScan>();
    Mesh skin;
    if (Status read = ReadScan(folder, seriesUid, progress, options, *scan, skin); !read) {
        return Failure(folder, read);
    }
    if (Status adopted = AdoptSkin(theCase.body, std::move(skin), scan->bodyLengthCm); !adopted) {
        return Failure(folder, adopted);
    }
    theCase.ct.folder = folder;
    theCase.ct.seriesUid = scan->facts.seriesUid;
    theCase.ct.scan = std::move(scan);
    if (progress != nullptr) {
        progress->SetProgress(100);
    }
    return Status::Ok();
}

std::string WholePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(path, error);
    return error ? path : whole.lexically_normal().string();
}

} // namespace

Status LoadCtBody(Case& theCase, const std::string& caseFile, ProgressSink* progress,
                  const CtBodyOptions& options) {
    if (!theCase.ct.IsCtBody() || theCase.ct.scan) {
        return Status::Ok();
    }
    const std::string folder = SceneModelPathOfFile(theCase.ct.folder, caseFile);
    Case loaded = theCase;
    if (Status read = ReadInto(loaded, folder, theCase.ct.seriesUid, progress, options); !read) {
        return read;
    }
    theCase = std::move(loaded);
    return Status::Ok();
}

Status OpenCtSeries(Case& theCase, const std::string& folder, const std::string& seriesUid,
                    ProgressSink* progress, const CtBodyOptions& options) {
    Case loaded = theCase;
    if (Status read = ReadInto(loaded, WholePath(folder), seriesUid, progress, options); !read) {
        return read;
    }
    theCase = std::move(loaded);
    return Status::Ok();
}
