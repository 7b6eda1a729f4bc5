#pragma once

#include "base/ProgressSink.h"
#include "base/Status.h"
#include "ct/CtSeriesFacts.h"
#include "ct/CtVolume.h"

#include <filesystem>
#include <string>
#include <vector>

// Reads one CT series from a folder of DICOM files into a volume of Hounsfield units.
// With several series in the folder it takes the one with the most slices, or the one named by
// its Series Instance UID. Slices are ordered by their position along the slice normal (file
// names say nothing). A series that would give a distorted volume (unequal gaps, a missing
// slice, mixed orientations, a gantry tilt, a localizer among the slices) is refused with a
// message that says which; nothing is resampled.
class CtSeriesReader {
public:
    // An empty seriesUid takes the series with the most slices. The progress sink, when given,
    // sees the pixel reading and may cancel it.
    Status Read(const std::filesystem::path& folder, const std::string& seriesUid = {},
                ProgressSink* progress = nullptr);

    const CtVolume& Volume() const { return volume_; }
    const CtSeriesFacts& Facts() const { return facts_; }
    // The series' files in the order of their slices (whole paths as found in the folder).
    const std::vector<std::string>& Files() const { return files_; }
    // Hands the volume over without a copy (the reader's own is left empty).
    CtVolume TakeVolume() { return std::move(volume_); }

private:
    CtVolume volume_;
    CtSeriesFacts facts_;
    std::vector<std::string> files_;
};
