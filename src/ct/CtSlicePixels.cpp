#include "ct/CtSlicePixels.h"

#include "ct/CtDicomModule.h"

#include <algorithm>
#include <string>

namespace {

void SetRange(const CtVolume& volume, CtSeriesFacts& facts) {
    if (volume.hu.empty())
        return;
    const auto [low, high] = std::minmax_element(volume.hu.begin(), volume.hu.end());
    facts.minHu = *low;
    facts.maxHu = *high;
}

} // namespace

Status ReadCtSlicePixels(const std::vector<CtScannedSlice>& slices, CtVolume& volume,
                         CtSeriesFacts& facts, ProgressSink* progress) {
    std::string reason;
    const CtDicomFunctions* dicom = LoadCtDicomModule(reason);
    if (!dicom)
        return Status::Failure(reason);
    const size_t perSlice =
        static_cast<size_t>(volume.size[0]) * static_cast<size_t>(volume.size[1]);
    volume.hu.assign(perSlice * slices.size(), 0);
    std::vector<char> buffer;
    for (size_t k = 0; k < slices.size(); ++k) {
        if (progress && progress->CancelRequested())
            return Status::Failure("Reading the series was cancelled.");
        if (Status read = dicom->decodeSlice(slices[k], buffer, volume.hu.data() + k * perSlice,
                                             facts.clampedVoxels);
            !read)
            return read;
        if (progress)
            progress->SetProgress(static_cast<int>(100 * (k + 1) / slices.size()));
    }
    SetRange(volume, facts);
    return Status::Ok();
}
