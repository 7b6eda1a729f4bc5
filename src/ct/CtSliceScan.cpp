#include "ct/CtSliceScan.h"

#include "ct/CtDicomModule.h"

#include <algorithm>
#include <map>

namespace {

// Every image slice of the folder, whatever its series.
Status ScanAllSlices(const std::filesystem::path& folder, std::vector<CtScannedSlice>& all) {
    std::string reason;
    const CtDicomFunctions* dicom = LoadCtDicomModule(reason);
    if (!dicom)
        return Status::Failure(reason);
    return dicom->scanFolder(folder, all);
}

} // namespace

Status ScanCtFolder(const std::filesystem::path& folder, const std::string& seriesUid,
                    std::vector<CtScannedSlice>& slices) {
    slices.clear();
    std::vector<CtScannedSlice> all;
    if (Status scanned = ScanAllSlices(folder, all); !scanned)
        return scanned;
    std::map<std::string, size_t> counts;
    for (const CtScannedSlice& slice : all)
        ++counts[slice.seriesUid];
    std::string chosen = seriesUid;
    if (chosen.empty()) {
        size_t most = 0;
        for (const auto& [uid, count] : counts)
            if (count > most) {
                most = count;
                chosen = uid;
            }
    } else if (counts.count(chosen) == 0) {
        return Status::Failure("The folder " + folder.string() + " holds no series " + chosen +
                               ".");
    }
    for (CtScannedSlice& slice : all)
        if (slice.seriesUid == chosen)
            slices.push_back(std::move(slice));
    return Status::Ok();
}

Status ListCtSeries(const std::filesystem::path& folder, std::vector<CtSeriesEntry>& series) {
    series.clear();
    std::vector<CtScannedSlice> all;
    if (Status scanned = ScanAllSlices(folder, all); !scanned)
        return scanned;
    std::map<std::string, CtSeriesEntry> byUid;
    for (const CtScannedSlice& slice : all) {
        CtSeriesEntry& entry = byUid[slice.seriesUid];
        if (entry.slices++ == 0) {
            entry.seriesUid = slice.seriesUid;
            entry.description = slice.description;
        }
    }
    for (auto& [uid, entry] : byUid)
        series.push_back(std::move(entry));
    // Stable over the UID order of the map: among equals the smallest UID first, which is the
    // one ScanCtFolder takes.
    std::stable_sort(
        series.begin(), series.end(),
        [](const CtSeriesEntry& a, const CtSeriesEntry& b) { return a.slices > b.slices; });
    return Status::Ok();
}
