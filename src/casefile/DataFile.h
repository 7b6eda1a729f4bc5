#pragma once

#include "base/Status.h"
#include "casefile/DataFileReadResult.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct Case;

// One case on disk: the software block, the body's name and height, every trajectory and every
// element, one value per line with XML-like tags, lengths in metres, lines ending in CR LF.
class DataFile {
public:
    // The one line rule of writer and reader: the reader takes a line of up to this many bytes
    // (its line end not counted) whole, and the writer writes no longer line.
    static constexpr std::size_t kMaxLineLength = 32768;

    // Writes the case to `path`, replacing the file only once the whole case is safely on disk;
    // on failure the previous file is left as it was and the status says why. A case holding a
    // text too long for a line is refused, since it would not read back whole.
    static Status Write(const Case& theCase, const std::string& path);
    // Appends the file's trajectories and elements to the case and applies its body block: reads
    // it into a record (ReadCaseFileText) and applies that (ApplyCaseFile). A file that is not
    // empty but holds no tag of a case is refused as no data file, and the case is left as it was.
    // The case holds the scene model and the CT series' folder by their whole paths, a relative
    // name taken from the file's folder (SceneModelPath.h). `bytesRead`, when given, receives the
    // bytes read (also when they are not a data file), so that whoever cites the file (a report and
    // its hash) cites what was read, not the file as it may be when opened again.
    static DataFileReadResult Read(Case& theCase, const std::string& path,
                                   std::string* bytesRead = nullptr);

    // The text that Write stores at `path`: the scene model named relative to the file's folder
    // when it lies in or below it. Without a path, the scene model's path as the case holds it.
    static std::string Format(const Case& theCase, const std::string& path = {});
    // Reads data-file text held in memory exactly as Read reads the file `path` (without one,
    // the scene model's name stays as written).
    static DataFileReadResult ReadText(Case& theCase, std::string_view text,
                                       const std::string& path = {});
};
