#pragma once

#include "CtPhantom.h"
#include "ct/CtScan.h"
#include "ct/CtSeriesReader.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

// The CT phantom written as a series into a folder of its own and read back (the folder is
// removed again); its body frame puts the soles 70 mm below the phantom's middle and its back
// 50 mm behind it. Null when the series could not be written or read.
inline std::shared_ptr<CtScan> ReadCtPhantomScan(const CtPhantomOptions& options = {}) {
    std::string folder = (std::filesystem::temp_directory_path() / "ruvo-ct-scan-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        return nullptr;
    }
    CtSeriesReader reader;
    const bool read = WriteCtPhantom(folder, options) && reader.Read(folder);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (!read) {
        return nullptr;
    }
    auto scan = std::make_shared<CtScan>();
    scan->volume = reader.TakeVolume();
    const Vec3 centre = CtPhantomCentre();
    scan->frame.originLps = {centre.x, centre.y + 50, centre.z - 70};
    return scan;
}
