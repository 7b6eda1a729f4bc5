#include "body/LandmarkTable.h"

#include "base/FileAccess.h"
#include "base/NumberText.h"
#include "base/ValueLimits.h"

#include <cmath>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        const size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

// A whole word that is a finite decimal number.
bool ReadNumber(std::string_view word, double& value) {
    const std::optional<double> number = ParseNumberToken(word);
    value = number.value_or(0);
    return number.has_value();
}

Status BadLine(size_t lineNumber, const std::string& why) {
    return Status::Failure("Landmark table line " + std::to_string(lineNumber) + ": " + why);
}

} // namespace

Status LandmarkTable::Parse(std::string_view text, LandmarkTable& table) {
    LandmarkTable read;
    size_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const std::vector<std::string_view> words = SplitWords(line);
        if (words.empty() || words.front().front() == '#') {
            continue;
        }
        if (words.size() < 4) {
            return BadLine(lineNumber, "expected a name followed by x, y and z in metres");
        }
        double xyz[3];
        for (int axis = 0; axis < 3; ++axis) {
            const std::string_view word = words[words.size() - 3 + axis];
            if (!ReadNumber(word, xyz[axis])) {
                return BadLine(lineNumber, "\"" + std::string(word) + "\" is not a number");
            }
            // 1e308 is a number, but scaled with the body it becomes infinite.
            if (!value_limits::IsLength(xyz[axis])) {
                return BadLine(lineNumber, "\"" + std::string(word) +
                                               "\" is not a length on a body (at most 1000000 m "
                                               "either way)");
            }
        }
        std::string name(words.front());
        for (size_t w = 1; w + 3 < words.size(); ++w) {
            name += ' ';
            name += words[w];
        }
        read.landmarks.push_back({std::move(name), {xyz[0], xyz[1], xyz[2]}});
    }
    table = std::move(read);
    return Status::Ok();
}

Status LandmarkTable::Load(const std::string& path, LandmarkTable& table) {
    std::string text;
    if (const int error = ReadWholeFile(path, text); error != 0) {
        return Status::Failure("Cannot read the landmark table \"" + path +
                               "\": " + FileErrorText(error));
    }
    if (Status status = Parse(text, table); !status) {
        return Status::Failure("\"" + path + "\": " + status.message());
    }
    return Status::Ok();
}

std::string LandmarkTable::PathBesideModel(const std::string& modelPath) {
    const size_t slash = modelPath.find_last_of('/');
    const size_t dot = modelPath.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? modelPath.substr(0, dot) : modelPath) + ".landmarks";
}

LandmarkTable LandmarkTable::Scaled(double sx, double sy, double sz) const {
    LandmarkTable scaled = *this;
    for (Landmark& landmark : scaled.landmarks) {
        landmark.position = {landmark.position.x * sx, landmark.position.y * sy,
                             landmark.position.z * sz};
    }
    return scaled;
}

LandmarkTable LandmarkTable::Placed(const std::vector<Vec3>& positions) const {
    LandmarkTable placed = *this;
    for (size_t i = 0; i < placed.landmarks.size() && i < positions.size(); ++i) {
        placed.landmarks[i].position = positions[i];
    }
    return placed;
}

const Landmark* LandmarkTable::Nearest(const Vec3& point) const {
    const Landmark* nearest = nullptr;
    double best = std::numeric_limits<double>::infinity();
    for (const Landmark& landmark : landmarks) {
        const double dx = landmark.position.x - point.x;
        const double dy = landmark.position.y - point.y;
        const double dz = landmark.position.z - point.z;
        const double distance = dx * dx + dy * dy + dz * dz;
        if (distance < best) {
            best = distance;
            nearest = &landmark;
        }
    }
    return nearest;
}
