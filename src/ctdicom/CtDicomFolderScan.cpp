#include "ctdicom/CtDicomFolderScan.h"

#include "ctdicom/GdcmQuiet.h"

#include <gdcmDirectory.h>
#include <gdcmScanner.h>
#include <gdcmTag.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <sstream>

namespace {

const gdcm::Tag kSeriesUid(0x0020, 0x000e);
const gdcm::Tag kDescription(0x0008, 0x103e);
const gdcm::Tag kSeriesDate(0x0008, 0x0021);
const gdcm::Tag kStudyDate(0x0008, 0x0020);
const gdcm::Tag kImageType(0x0008, 0x0008);
const gdcm::Tag kSliceThickness(0x0018, 0x0050);
const gdcm::Tag kPosition(0x0020, 0x0032);
const gdcm::Tag kOrientation(0x0020, 0x0037);
const gdcm::Tag kRows(0x0028, 0x0010);
const gdcm::Tag kColumns(0x0028, 0x0011);
const gdcm::Tag kPixelSpacing(0x0028, 0x0030);
const gdcm::Tag kIntercept(0x0028, 0x1052);
const gdcm::Tag kSlope(0x0028, 0x1053);

// The numbers of a backslash-separated decimal string; fewer than asked for is a failure.
bool ParseNumbers(const char* text, size_t count, std::vector<double>& numbers) {
    numbers.clear();
    if (!text)
        return false;
    std::string value(text);
    std::stringstream stream(value);
    std::string item;
    while (std::getline(stream, item, '\\')) {
        char* end = nullptr;
        const double number = std::strtod(item.c_str(), &end);
        if (end == item.c_str())
            return false;
        numbers.push_back(number);
    }
    return numbers.size() == count;
}

std::string Trimmed(const char* text) {
    if (!text)
        return {};
    std::string value(text);
    const size_t last = value.find_last_not_of(" \0", std::string::npos, 2);
    return last == std::string::npos ? std::string() : value.substr(0, last + 1);
}

double NumberOr(const char* text, double fallback) {
    std::vector<double> numbers;
    return ParseNumbers(text, 1, numbers) ? numbers[0] : fallback;
}

// False for files that are not image slices with a place in the patient frame.
bool ScanSlice(const gdcm::Scanner::TagToValue& values, CtScannedSlice& slice) {
    auto value = [&](const gdcm::Tag& tag) -> const char* {
        const auto found = values.find(tag);
        return found == values.end() ? nullptr : found->second;
    };
    std::vector<double> position, orientation, spacing;
    if (!ParseNumbers(value(kPosition), 3, position) ||
        !ParseNumbers(value(kOrientation), 6, orientation) ||
        !ParseNumbers(value(kPixelSpacing), 2, spacing))
        return false;
    slice.rows = static_cast<int>(NumberOr(value(kRows), 0));
    slice.columns = static_cast<int>(NumberOr(value(kColumns), 0));
    if (slice.rows <= 0 || slice.columns <= 0)
        return false;
    slice.seriesUid = Trimmed(value(kSeriesUid));
    slice.description = Trimmed(value(kDescription));
    slice.date = Trimmed(value(kSeriesDate));
    if (slice.date.empty())
        slice.date = Trimmed(value(kStudyDate));
    slice.imageType = Trimmed(value(kImageType));
    slice.sliceThickness = NumberOr(value(kSliceThickness), 0);
    slice.position = {position[0], position[1], position[2]};
    slice.rowDirection = {orientation[0], orientation[1], orientation[2]};
    slice.columnDirection = {orientation[3], orientation[4], orientation[5]};
    slice.rowSpacing = spacing[0];
    slice.columnSpacing = spacing[1];
    slice.slope = NumberOr(value(kSlope), 1);
    slice.intercept = NumberOr(value(kIntercept), 0);
    return true;
}

Status ScanFiles(const std::filesystem::path& folder, std::vector<CtScannedSlice>& all) {
    gdcm::Directory directory;
    if (directory.Load(folder.string(), false) == 0)
        return Status::Failure("No files in the folder " + folder.string() + ".");
    gdcm::Scanner scanner;
    for (const gdcm::Tag& tag :
         {kSeriesUid, kDescription, kSeriesDate, kStudyDate, kImageType, kSliceThickness, kPosition,
          kOrientation, kRows, kColumns, kPixelSpacing, kIntercept, kSlope})
        scanner.AddTag(tag);
    if (!scanner.Scan(directory.GetFilenames()))
        return Status::Failure("The files in " + folder.string() + " could not be scanned.");
    for (const std::string& file : directory.GetFilenames()) {
        if (!scanner.IsKey(file.c_str()))
            continue; // not a DICOM file
        CtScannedSlice slice;
        slice.file = file;
        if (ScanSlice(scanner.GetMapping(file.c_str()), slice))
            all.push_back(std::move(slice));
    }
    return Status::Ok();
}

} // namespace

Status ScanDicomFolder(const std::filesystem::path& folder, std::vector<CtScannedSlice>& all) {
    GdcmQuiet quiet;
    try {
        if (Status scanned = ScanFiles(folder, all); !scanned)
            return scanned;
    } catch (const std::exception& error) {
        return Status::Failure("The folder " + folder.string() +
                               " could not be read: " + error.what());
    }
    if (all.empty())
        return Status::Failure("The folder " + folder.string() +
                               " holds no DICOM image slice with a position in the patient.");
    return Status::Ok();
}
