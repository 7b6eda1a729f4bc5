#pragma once

#include "base/Status.h"

#include <string>
#include <vector>

// The SHA-256 a report cites for a CT series: of the series' files' bytes, one file after the
// other in the byte order of their names (as `LC_ALL=C ls` lists them), so that a reader can check
// it with `cat` and `sha256sum` on those files. Fails, naming the file, when one cannot be read or
// changes while it is read.
Status Sha256OfSeriesFiles(std::vector<std::string> files, std::string& hex);
