#include "casefile/TrackPointLineReader.h"

#include "base/NumberText.h"
#include "base/TextWords.h"
#include "base/ValueLimits.h"
#include "body/Skeleton.h"
#include "case/Trajectory.h"
#include "casefile/LineText.h"

namespace {

using line_text::Contains;
using line_text::LowerCased;
using line_text::Quoted;

std::string PartList() {
    std::string list;
    for (std::string_view part : skeleton::kPartNames) {
        list += (list.empty() ? "" : ", ") + std::string(part);
    }
    return list;
}

} // namespace

bool TrackPointLineReader::StoreValue(std::string_view lowered, std::string_view value, long line) {
    if (Contains(lowered, "<pointradius>")) {
        StoreFollowing(&PointTexts::radius, "point radius", value, line);
    } else if (Contains(lowered, "<pointpart>")) {
        StoreFollowing(&PointTexts::part, "point part", value, line);
    } else if (Contains(lowered, "<point>")) {
        points.push_back({{std::string(value), line}, std::nullopt, std::nullopt});
    } else {
        return false;
    }
    return true;
}

// A radius or part line belongs to the point line before it; a file of an older version has
// none and each point keeps the default radius and no part.
void TrackPointLineReader::StoreFollowing(std::optional<Text> PointTexts::*member,
                                          std::string_view what, std::string_view value,
                                          long line) {
    if (points.empty()) {
        note("The " + std::string(what) + " " + Quoted(value) + " on line " + std::to_string(line) +
             " left out: it follows no point of its trajectory.");
        return;
    }
    points.back().*member = Text{std::string(value), line};
}

std::string TrackPointLineReader::Where(std::string_view what, const Text& text,
                                        const std::string& where) const {
    return "The " + std::string(what) + " " + Quoted(text.value) + " on line " +
           std::to_string(text.line) + " (" + where + ")";
}

void TrackPointLineReader::Finish(Trajectory& trajectory, const std::string& where) {
    trajectory.points.clear();
    for (const PointTexts& texts : points) {
        if (trajectory.points.size() >= static_cast<size_t>(Trajectory::kMaxTrackPoints)) {
            note(Where("point", texts.point, where) + " left out: a trajectory holds at most " +
                 std::to_string(Trajectory::kMaxTrackPoints) + " points between IN and OUT.");
            continue;
        }
        ReadPoint(texts, where, trajectory);
    }
    points.clear();
}

// "x y z": a point of the body in metres; its radius and part from their own lines.
bool TrackPointLineReader::ReadPoint(const PointTexts& texts, const std::string& where,
                                     Trajectory& trajectory) {
    const std::vector<std::string_view> words = Words(texts.point.value);
    std::optional<double> values[3];
    for (size_t i = 0; i < 3 && i < words.size(); ++i) {
        values[i] = ParseNumberToken(words[i]);
    }
    if (words.size() != 3 || !values[0] || !values[1] || !values[2]) {
        note(Where("point", texts.point, where) +
             " left out: a point is three numbers, x y z in metres.");
        return false;
    }
    if (!value_limits::IsLength(*values[0]) || !value_limits::IsLength(*values[1]) ||
        !value_limits::IsLength(*values[2])) {
        note(Where("point", texts.point, where) +
             " left out: a length must be at most 1000000 m either way.");
        return false;
    }
    TrackPoint point;
    point.point = {*values[0], *values[1], *values[2]};
    point.radius = ReadRadius(texts.radius, where);
    point.part = ReadPart(texts.part, where);
    trajectory.points.push_back(std::move(point));
    return true;
}

// A radius in metres within 0 and 1 m; the default when there is none or it is none of those.
double TrackPointLineReader::ReadRadius(const std::optional<Text>& text, const std::string& where) {
    if (!text) {
        return TrackPoint::kDefaultRadius;
    }
    const std::optional<double> radius = ParseNumberToken(Trimmed(text->value));
    if (!radius || !Trajectory::IsRadius(*radius)) {
        note(Where("point radius", *text, where) +
             " left out: a radius is a number of metres within 0 and 1; the point keeps 0.0100.");
        return TrackPoint::kDefaultRadius;
    }
    return *radius;
}

// A part the skeleton knows; none (the part of the stop before it) when the line names another.
std::string TrackPointLineReader::ReadPart(const std::optional<Text>& text,
                                           const std::string& where) {
    if (!text) {
        return {};
    }
    std::string lowered = LowerCased(Trimmed(text->value));
    for (std::string_view part : skeleton::kPartNames) {
        if (lowered == part) {
            return lowered;
        }
    }
    note(Where("point part", *text, where) + " left out: a part is one of " + PartList() +
         "; the point takes the part of the stop before it.");
    return {};
}
