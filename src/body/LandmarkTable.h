#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"

#include <string>
#include <string_view>
#include <vector>

// A named point on a body's skin, in the body frame (metres): +X toward the body's left, +Y up,
// +Z toward its front, feet on y = 0, back at z = 0.
struct Landmark {
    std::string name;
    Vec3 position;
};

// The landmarks shipped beside a body model ("man1.obj" has "man1.landmarks"). The file is text:
// blank lines and lines starting with '#' are skipped; every other line is a name (words
// separated by blanks) followed by x, y and z in metres.
class LandmarkTable {
public:
    // Reads the table from text; on failure `table` is left as it was and the status names the
    // first bad line.
    static Status Parse(std::string_view text, LandmarkTable& table);
    // Reads the table from a file; `path` is named in the message of a failure.
    static Status Load(const std::string& path, LandmarkTable& table);
    // Where a model's landmark table lies: the model's path with its extension replaced.
    static std::string PathBesideModel(const std::string& modelPath);

    const std::vector<Landmark>& GetLandmarks() const { return landmarks; }
    bool IsEmpty() const { return landmarks.empty(); }
    // The same landmarks on a body stretched by these factors about the origin of the body
    // frame (the heel plane, the midline and the back stay where they are).
    LandmarkTable Scaled(double sx, double sy, double sz) const;
    // The same landmarks, in order, at these positions (one per landmark; missing ones stay).
    LandmarkTable Placed(const std::vector<Vec3>& positions) const;
    // The landmark nearest to `point`, or nullptr when there is none.
    const Landmark* Nearest(const Vec3& point) const;

private:
    std::vector<Landmark> landmarks;
};
