#pragma once

#include "ct/CtScan.h"

#include <memory>
#include <string>

// The CT series a case's body comes from, as the data file names it: the folder of DICOM files
// (the whole path once read; relative to the data file's folder where it lies below it) and the
// Series Instance UID. An empty folder: the body is a body model, not a scan. The scan as read is
// shared by copies of the case, as the body shares its mesh; null while none is read.
struct CaseCt {
    std::string folder;
    std::string seriesUid;
    std::shared_ptr<const CtScan> scan;

    bool IsCtBody() const { return !folder.empty(); }
    bool operator==(const CaseCt&) const = default;
};
