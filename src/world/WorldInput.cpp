#include "world/WorldInput.h"

#include "base/NumberText.h"
#include "base/TextWords.h"
#include "base/Utf8Text.h"
#include "base/ValueLimits.h"
#include "case/CaseWorld.h"
#include "case/Trajectory.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

std::optional<double> Number(std::string_view word) {
    word = Trimmed(word);
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
    }
    double value = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (word.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string Quoted(std::string_view text) {
    constexpr size_t kLongest = 40;
    return "\"" + std::string(text.substr(0, kLongest)) + (text.size() > kLongest ? "...\"" : "\"");
}

std::string Centimetres(double metres) {
    std::string text = FormatFixed(metres * 100, 0, 2);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

} // namespace

Status ReadSceneCoordinate(std::string_view text, const std::string& field, double& metres) {
    const std::optional<double> value = Number(text);
    if (!value || !CaseWorld::IsSceneCoordinate(*value / 100)) {
        return Status::Failure(field + " " + Quoted(Trimmed(text)) +
                               " is refused: it must be a number of centimetres within 1000000 "
                               "either way.");
    }
    metres = *value / 100;
    return Status::Ok();
}

Status ReadHeading(std::string_view text, const std::string& field, double& degrees) {
    const std::optional<double> value = Number(text);
    if (!value || !value_limits::IsAngle(*value)) {
        return Status::Failure(field + " " + Quoted(Trimmed(text)) +
                               " is refused: it must be a number of degrees within 1000000 "
                               "either way.");
    }
    degrees = *value;
    return Status::Ok();
}

Status ReadMuzzleHeights(std::string_view text, std::vector<double>& metres) {
    const std::vector<std::string_view> words = Words(text);
    if (words.empty() || words.size() > CaseWorld::kMaxMuzzleHeights) {
        return Status::Failure("The muzzle heights " + Quoted(Trimmed(text)) +
                               " are refused: give one to eight heights in centimetres.");
    }
    std::vector<double> heights;
    for (const std::string_view word : words) {
        const std::optional<double> value = Number(word);
        if (!value || !CaseWorld::IsMuzzleHeight(*value / 100)) {
            return Status::Failure("The muzzle height " + Quoted(word) +
                                   " is refused: a muzzle height must lie within 0 and 10000 cm.");
        }
        heights.push_back(*value / 100);
    }
    metres = std::move(heights);
    return Status::Ok();
}

Status ReadExteriorPoints(std::string_view text, std::vector<ExteriorPoint>& points) {
    std::vector<ExteriorPoint> read;
    int line = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view content = Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++line;
        if (content.empty()) {
            continue;
        }
        const std::string where = "Exterior point " + std::to_string(read.size() + 1) + " (line " +
                                  std::to_string(line) + ") " + Quoted(content);
        const std::vector<std::string_view> words = Words(content);
        if (words.size() < 4 || words.size() > 5 || (words[3] != "before" && words[3] != "after")) {
            return Status::Failure(where + " is refused: write x y z in centimetres, "
                                           "\"before\" (IN) or \"after\" (OUT), and if you "
                                           "wish the point's radius in centimetres.");
        }
        ExteriorPoint point;
        double* axes[3] = {&point.point.x, &point.point.y, &point.point.z};
        const char* names[3] = {"x", "y", "z"};
        for (int axis = 0; axis < 3; ++axis) {
            if (Status status =
                    ReadSceneCoordinate(words[axis], where + ": its " + names[axis], *axes[axis]);
                !status.ok()) {
                return status;
            }
        }
        point.beforeEntry = words[3] == "before";
        if (words.size() == 5) {
            const std::optional<double> radius = Number(words[4]);
            if (!radius || !Trajectory::IsRadius(*radius / 100)) {
                return Status::Failure(where + " is refused: its radius " + Quoted(words[4]) +
                                       " must be a number of centimetres within 0 and 100.");
            }
            point.radius = *radius / 100;
        }
        if (read.size() >= Trajectory::kMaxExteriorPoints) {
            return Status::Failure(where + " is refused: a trajectory holds at most 20 exterior "
                                           "points.");
        }
        read.push_back(point);
    }
    points = std::move(read);
    return Status::Ok();
}

Status ReadGroupName(std::string_view text, std::string& group) {
    const std::string_view name = Trimmed(text);
    if (CountCharacters(name) > Trajectory::kMaxGroupLength || name.find('\n') != name.npos) {
        return Status::Failure("The shot group " + Quoted(name) +
                               " is refused: a group's name is one line of at most 80 "
                               "characters.");
    }
    group = std::string(name);
    return Status::Ok();
}

std::string MuzzleHeightsText(const std::vector<double>& metres) {
    std::string text;
    for (const double height : metres) {
        text += (text.empty() ? "" : " ") + Centimetres(height);
    }
    return text;
}

std::string ExteriorPointsText(const std::vector<ExteriorPoint>& points) {
    std::string text;
    for (const ExteriorPoint& point : points) {
        text += Centimetres(point.point.x) + " " + Centimetres(point.point.y) + " " +
                Centimetres(point.point.z) + (point.beforeEntry ? " before" : " after") +
                (point.radius != ExteriorPoint::kDefaultRadius ? " " + Centimetres(point.radius)
                                                               : std::string()) +
                "\n";
    }
    return text;
}
