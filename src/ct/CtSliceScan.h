#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"

#include <filesystem>
#include <string>
#include <vector>

// One image file of a series as its header describes it, before any pixel is read.
struct CtScannedSlice {
    std::string file;
    std::string seriesUid, description, date, imageType;
    double sliceThickness = 0;
    Vec3 position;        // Image Position (Patient), LPS mm
    Vec3 rowDirection;    // Image Orientation (Patient), first three
    Vec3 columnDirection; // Image Orientation (Patient), last three
    int rows = 0, columns = 0;
    double rowSpacing = 0;    // between rows (down a column), mm
    double columnSpacing = 0; // between columns (along a row), mm
    double slope = 1, intercept = 0;
};

// Scans the folder's files (not its subfolders) and keeps the image slices of one series: the
// named one, or with an empty uid the one with the most slices. Fails when the folder holds no
// image slice or not the series named.
Status ScanCtFolder(const std::filesystem::path& folder, const std::string& seriesUid,
                    std::vector<CtScannedSlice>& slices);

// One series of a folder, as a chooser lists it.
struct CtSeriesEntry {
    std::string seriesUid;
    std::string description; // of its first slice; empty when the files give none
    int slices = 0;          // image slices with a position in the patient
};

// The series in the folder's files, the one ScanCtFolder takes without a uid first, the others
// after it by their number of slices (most first, then by UID). Fails as ScanCtFolder does when
// the folder holds no image slice.
Status ListCtSeries(const std::filesystem::path& folder, std::vector<CtSeriesEntry>& series);
