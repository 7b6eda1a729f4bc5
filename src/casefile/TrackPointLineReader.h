#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Trajectory;

// The data-file reader's part for the points a trajectory passed between IN and OUT: a
// "<point>x y z</point>" line each (metres, body frame, in order from IN to OUT), each optionally
// followed by its "<pointradius>" and "<pointpart>" lines. It keeps the raw texts with the lines
// they stood on and checks them when the trajectory block closes; a point or value no case takes
// is left out and said in a note naming its line, and the points around it are kept.
class TrackPointLineReader {
public:
    using NoteSink = std::function<void(std::string)>;
    explicit TrackPointLineReader(NoteSink noteSink) : note(std::move(noteSink)) {}

    void Start() { points.clear(); }
    // Takes a value line of a trajectory block; false when it is none of the point lines.
    // `lowered` is the lower-cased line, `line` its number in the file.
    bool StoreValue(std::string_view lowered, std::string_view value, long line);
    // The block's points, checked, into `trajectory.points`.
    void Finish(Trajectory& trajectory, const std::string& where);

private:
    struct Text {
        std::string value;
        long line = 0;
    };
    struct PointTexts {
        Text point;
        std::optional<Text> radius;
        std::optional<Text> part;
    };

    // Takes a radius or part line into the point just read; a note when there is none.
    void StoreFollowing(std::optional<Text> PointTexts::*member, std::string_view what,
                        std::string_view value, long line);
    std::string Where(std::string_view what, const Text& text, const std::string& where) const;
    bool ReadPoint(const PointTexts& texts, const std::string& where, Trajectory& trajectory);
    double ReadRadius(const std::optional<Text>& text, const std::string& where);
    std::string ReadPart(const std::optional<Text>& text, const std::string& where);

    NoteSink note;
    std::vector<PointTexts> points;
};
