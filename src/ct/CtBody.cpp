#include "ct/CtBody.h"

#include "ct/IsoSurface.h"

namespace {

bool Cancelled(ProgressSink* progress) {
    return progress != nullptr && progress->CancelRequested();
}

void Report(ProgressSink* progress, int position) {
    if (progress != nullptr) {
        progress->SetProgress(position);
    }
}

Status Stopped(CtBodySurfaces& surfaces) {
    surfaces = CtBodySurfaces();
    return Status::Failure("Building the body from the CT series was cancelled.");
}

} // namespace

Status BuildCtBody(const CtVolume& volume, const CtBodyOptions& options, CtBodySurfaces& surfaces,
                   ProgressSink* progress) {
    surfaces = CtBodySurfaces();
    Report(progress, 0);
    if (Status skin =
            ExtractIsoSurface(volume, {options.skinThresholdHu, options.threads}, surfaces.skin);
        !skin) {
        return skin;
    }
    if (Status framed = BodyFrameOfSkin(surfaces.skin, surfaces.frame); !framed) {
        surfaces = CtBodySurfaces();
        return Status::Failure("The CT series shows no skin at " +
                               std::to_string(options.skinThresholdHu) + " HU.");
    }
    if (Cancelled(progress)) {
        return Stopped(surfaces);
    }
    Report(progress, 50);
    if (Status bone =
            ExtractIsoSurface(volume, {options.boneThresholdHu, options.threads}, surfaces.bone);
        !bone) {
        surfaces = CtBodySurfaces();
        return bone;
    }
    if (Cancelled(progress)) {
        return Stopped(surfaces);
    }
    MoveToBodyFrame(surfaces.frame, surfaces.skin);
    MoveToBodyFrame(surfaces.frame, surfaces.bone);
    surfaces.lengthCm = surfaces.skin.box[4] - surfaces.skin.box[1];
    Report(progress, 100);
    return Status::Ok();
}
