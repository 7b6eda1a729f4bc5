#include "ct/CtSeriesReader.h"

#include "ct/CtSliceGeometry.h"
#include "ct/CtSlicePixels.h"
#include "ct/CtSliceScan.h"

#include <algorithm>
#include <limits>

namespace {

void SetFacts(const CtScannedSlice& first, const CtVolume& volume, CtSeriesFacts& facts) {
    facts.seriesUid = first.seriesUid;
    facts.description = first.description;
    facts.date = first.date;
    facts.sliceThickness = first.sliceThickness;
    facts.size = volume.size;
    facts.spacing = volume.spacing;
}

} // namespace

Status CtSeriesReader::Read(const std::filesystem::path& folder, const std::string& seriesUid,
                            ProgressSink* progress) {
    volume_ = CtVolume();
    facts_ = CtSeriesFacts();
    files_.clear();
    std::vector<CtScannedSlice> slices;
    if (Status scanned = ScanCtFolder(folder, seriesUid, slices); !scanned)
        return scanned;
    CtVolume volume;
    if (Status placed = PlaceCtSlices(slices, volume); !placed)
        return placed;
    CtSeriesFacts facts;
    SetFacts(slices.front(), volume, facts);
    if (Status read = ReadCtSlicePixels(slices, volume, facts, progress); !read)
        return read;
    volume_ = std::move(volume);
    facts_ = std::move(facts);
    for (const CtScannedSlice& slice : slices) {
        files_.push_back(slice.file);
    }
    return Status::Ok();
}
