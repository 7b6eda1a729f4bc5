#pragma once

#include "base/Status.h"
#include "ct/CtSliceScan.h"

#include <filesystem>
#include <vector>

// Every image slice of the folder's files (not its subfolders), whatever its series, as its
// header describes it. Fails when the folder cannot be read or holds no image slice with a
// position in the patient.
Status ScanDicomFolder(const std::filesystem::path& folder, std::vector<CtScannedSlice>& all);
