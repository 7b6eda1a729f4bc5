#include "ct/CtSeriesHash.h"

#include "base/FileAccess.h"
#include "base/RegularFile.h"
#include "base/Sha256.h"

#include <algorithm>

Status Sha256OfSeriesFiles(std::vector<std::string> files, std::string& hex) {
    hex.clear();
    std::sort(files.begin(), files.end());
    Sha256 hash;
    for (const std::string& path : files) {
        int error = 0;
        const std::optional<RegularFile> file = RegularFile::Open(path, &error);
        if (!file) {
            return Status::Failure("Cannot read the CT file \"" + path +
                                   "\": " + FileErrorText(error));
        }
        if (!hash.UpdateFromFile(*file) || !file->Unchanged()) {
            return Status::Failure("The CT file \"" + path + "\" changed while it was read.");
        }
    }
    hex = hash.FinishHex();
    return Status::Ok();
}
