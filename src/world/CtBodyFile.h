#pragma once

#include "base/ProgressSink.h"
#include "base/Status.h"
#include "ct/CtBody.h"

#include <string>

struct Case;

// Reads the CT series the case names (theCase.ct: the folder, a relative one taken from the
// folder of the data file `caseFile`, never from the current folder; the Series Instance UID),
// draws its skin and bone, and makes the skin the case's body at its own length, in the body
// frame the skin defines. Nothing to do for a case without a series or with its scan read
// already. On failure (or a cancel through `progress`, which sees 0 to 100) the case keeps the
// body it had, without a scan, and the status says why, naming the folder.
Status LoadCtBody(Case& theCase, const std::string& caseFile = {}, ProgressSink* progress = nullptr,
                  const CtBodyOptions& options = {});

// Reads the series in `folder` (with an empty UID the one with the most slices) as the case's
// body, as LoadCtBody does; the case then names the folder by its whole path and the series by
// its UID. On failure the case is left as it was.
Status OpenCtSeries(Case& theCase, const std::string& folder, const std::string& seriesUid = {},
                    ProgressSink* progress = nullptr, const CtBodyOptions& options = {});
