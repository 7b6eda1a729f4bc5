#include "report/ReportJson.h"

#include "report/CarriedBodies.h"
#include "report/ReportOriginJson.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>
#include <utility>

namespace {

using json = nlohmann::ordered_json;

constexpr int kFormatVersion = 1;

template <typename T> json OrNull(const std::optional<T>& value) {
    return value ? json(*value) : json(nullptr);
}

json FileJson(const FileFact& file) {
    if (file.name.empty()) {
        return {{"file", nullptr}, {"sha256", nullptr}};
    }
    return {{"file", file.name}, {"sha256", OrNull(file.sha256)}};
}

json UncertaintyJson(const DirectionUncertainty& uncertainty) {
    return {{"radius_cm", uncertainty.radius * 100.0},
            {"cone_half_angle_deg", OrNull(uncertainty.coneHalfAngle)},
            {"direction_deg", OrNull(uncertainty.direction)},
            {"elevation_deg", OrNull(uncertainty.elevation)}};
}

json BudgetJson(const std::optional<UncertaintyBudget>& budget) {
    if (!budget) {
        return nullptr;
    }
    json sources = json::array();
    for (const BudgetSource& source : budget->sources) {
        sources.push_back({{"source", source.source}, {"cone95_deg", source.cone95}});
    }
    return {{"draws", budget->draws},
            {"direction_deg",
             budget->directionDetermined ? json(budget->directionInterval) : json(nullptr)},
            {"elevation_deg", budget->elevationInterval},
            {"cone95_deg", budget->cone95},
            {"sources", sources},
            {"statement", budget->Statement()}};
}

json PartJson(const std::string& part) {
    return part.empty() ? json(nullptr) : json(part);
}

// The points between IN and OUT in order, each with its misfit from the track's fitted line.
json TrackPointsJson(const TrackPointsFacts& track) {
    // Without a fitted line (the stops coincide) no point has a misfit.
    const auto fitted = [&track](json value) {
        return track.fitted ? std::move(value) : json(nullptr);
    };
    json points = json::array();
    for (const TrackPointFacts& p : track.points) {
        points.push_back({{"x_cm", p.cm[0]},
                          {"y_cm", p.cm[1]},
                          {"z_cm", p.cm[2]},
                          {"radius_cm", p.radiusCm},
                          {"part", PartJson(p.part)},
                          {"description", p.description},
                          {"misfit_cm", fitted(p.misfitCm)},
                          {"off_line", fitted(p.offLine)}});
    }
    return points;
}

// A track of several pieces: each piece's stops (0 is IN), part and angles, and the angle between
// each piece and the next.
void AddPiecesJson(json& trajectory, const TrackPointsFacts& track) {
    json pieces = json::array();
    for (const TrackPieceFacts& piece : track.pieces) {
        pieces.push_back({{"first_stop", piece.firstStop},
                          {"last_stop", piece.lastStop},
                          {"part", PartJson(piece.part)},
                          {"direction_deg", piece.direction},
                          {"elevation_deg", piece.elevation}});
    }
    trajectory["pieces"] = pieces;
    trajectory["deflection_deg"] = track.deflection;
}

json TrajectoryJson(const TrajectoryFacts& t) {
    const TrajectoryCourse& course = t.course;
    json result = {
        {"number", t.number},
        {"label", t.label},
        {"bullet_inside", t.bulletInside},
        {"in_cm", t.inCm},
        {"out_cm", t.outCm},
        {"direction_deg", t.direction},
        {"elevation_deg", t.elevation},
        {"anatomical_direction_deg", t.anatomicalDirection},
        {"anatomical_elevation_deg", t.anatomicalElevation},
        {"in_part", t.inPart.empty() ? json(nullptr) : json(t.inPart)},
        {"out_part", t.outPart.empty() ? json(nullptr) : json(t.outPart)},
        {"posed_in_cm", t.posedInCm},
        {"posed_out_cm", t.posedOutCm},
        {"course",
         {{"anteroposterior", course.components.anteroposterior},
          {"lateral", course.components.lateral},
          {"vertical", course.components.vertical}}},
        {"description", course.sentence},
        {"plane_angles_deg",
         {{"transverse", OrNull(course.planeAngles.transverse)},
          {"sagittal", OrNull(course.planeAngles.sagittal)},
          {"coronal", OrNull(course.planeAngles.coronal)}}},
        {"uncertainty", UncertaintyJson(course.uncertainty)},
        {"adjustment",
         {{"offset_cm", t.offsetCm}, {"yaw", t.yawAdjustment}, {"pitch", t.pitchAdjustment}}},
    };
    result["uncertainty_budget"] = BudgetJson(t.budget);
    if (!t.inDescription.empty() || !t.outDescription.empty()) {
        result["in_description"] = t.inDescription;
        result["out_description"] = t.outDescription;
    }
    result["points"] = TrackPointsJson(t.track);
    if (!t.track.points.empty()) {
        const bool fitted = t.track.fitted;
        result["in_misfit_cm"] = fitted ? json(t.track.inMisfitCm) : json(nullptr);
        result["out_misfit_cm"] = fitted ? json(t.track.outMisfitCm) : json(nullptr);
        result["on_one_line"] = fitted ? json(t.track.onOneLine) : json(nullptr);
    }
    if (t.track.pieces.size() > 1) {
        AddPiecesJson(result, t.track);
    }
    return result;
}

// An angle pair with the budget's 95 % intervals for it (null without a budget).
json AnglesJson(double direction, double elevation, const AngleIntervals* intervals) {
    return {{"direction_deg", direction},
            {"elevation_deg", elevation},
            {"direction_95_deg", intervals && intervals->directionDetermined
                                     ? json(intervals->directionInterval)
                                     : json(nullptr)},
            {"elevation_95_deg", intervals ? json(intervals->elevationInterval) : json(nullptr)}};
}

// What a posed or placed case adds to a trajectory, after the keys every case has: the angles
// of the measured points and of the posed track, each with its own intervals, and the body
// diagram each wound is marked on.
void AddPostureJson(json& trajectory, const TrajectoryFacts& t) {
    const AngleIntervals posed = t.budget ? t.budget->Posed() : AngleIntervals{};
    trajectory["anatomical"] = AnglesJson(t.anatomicalDirection, t.anatomicalElevation,
                                          t.budget ? &t.budget->anatomical : nullptr);
    trajectory["posed"] = AnglesJson(t.direction, t.elevation, t.budget ? &posed : nullptr);
    trajectory["in_diagram"] = DiagramSideName(t.inDiagram);
    trajectory["out_diagram"] = t.outDiagram ? json(DiagramSideName(*t.outDiagram)) : json(nullptr);
}

json LandmarksJson(const std::vector<LandmarkFacts>& landmarks) {
    json list = json::array();
    for (const LandmarkFacts& landmark : landmarks) {
        list.push_back({{"name", landmark.name},
                        {"anatomical_cm", landmark.anatomicalCm},
                        {"posed_cm", landmark.posedCm}});
    }
    return list;
}

json PostureJson(const CaseReport& report) {
    json joints = json::object();
    for (const auto& [name, angles] : report.joints) {
        joints[name] = angles;
    }
    return {{"name", report.postureName}, {"joints", joints}, {"body_turn", report.bodyTurn}};
}

// Each field of the case information by its key, null when not given.
json CaseInfoJson(const CaseInfo& info) {
    json result = json::object();
    for (const CaseInfo::Field field : CaseInfo::kFields) {
        const std::string& value = info.Get(field);
        result[std::string(CaseInfo::Key(field))] = value.empty() ? json(nullptr) : json(value);
    }
    return result;
}

json ElementJson(const ElementFacts& e) {
    return {{"number", e.number},  {"label", e.label}, {"centre_cm", e.centreCm},
            {"size_cm", e.sizeCm}, {"yaw", e.yaw},     {"pitch", e.pitch},
            {"roll", e.roll}};
}

// The metal objects, largest first; null when they were not looked for.
json CtMetalJson(const CtBodyFacts& ct) {
    if (!ct.read || !ct.metalSearched) {
        return nullptr;
    }
    json objects = json::array();
    for (const CtMetalFacts& object : ct.metal) {
        objects.push_back({{"centroid_cm", object.centroidCm},
                           {"volume_mm3", object.volumeMm3},
                           {"extent_mm", object.extentMm},
                           {"peak_hu", object.peakHu}});
    }
    return objects;
}

// The CT body a carried case was measured on, and how its points reached the posable body.
json CarriedJson(const CarriedFrom& carried) {
    return {
        {"ct_folder", carried.ctFolder},
        {"series_uid", carried.seriesUid},
        {"sha256", carried.seriesSha256.empty() ? json(nullptr) : json(carried.seriesSha256)},
        {"ct_length_cm", carried.ctLength * 100},
        {"body_length_cm", carried.bodyLength * 100},
        {"body_scale", carried.bodyScale},
        {"rule", kCarriedPointRule},
        {"text", CarriedBodiesText(carried)},
    };
}

// The series a CT body was drawn from; what is not known before the series is read is null.
json CtJson(const CtBodyFacts& ct) {
    const auto known = [&ct](json value) { return ct.read ? std::move(value) : json(nullptr); };
    return {
        {"folder", ct.folder},
        {"series_uid", ct.seriesUid.empty() ? json(nullptr) : json(ct.seriesUid)},
        {"read", ct.read},
        {"description", known(ct.description)},
        {"date", known(ct.date)},
        {"slice_thickness_mm",
         ct.read && ct.sliceThickness > 0 ? json(ct.sliceThickness) : json(nullptr)},
        {"voxel_size_mm", known(ct.spacing)},
        {"voxels", known(ct.voxels)},
        {"skin_threshold_hu", known(ct.skinThresholdHu)},
        {"bone_threshold_hu", known(ct.boneThresholdHu)},
        {"body_length_cm", known(ct.bodyLengthCm)},
        {"skin_triangles", known(ct.skinTriangles)},
        {"bone_triangles", known(ct.boneTriangles)},
        {"sha256", known(ct.sha256)},
        {"sha256_rule", kCtSeriesHashRule},
        {"frame", kCtBodyFrameRule},
        {"posture", "as scanned"},
        {"metal_threshold_hu",
         ct.read && ct.metalSearched ? json(ct.metalThresholdHu) : json(nullptr)},
        {"metal", CtMetalJson(ct)},
    };
}

// Where the first number that is not finite sits in the document, or nothing.
std::optional<std::string> NonFiniteNumberPlace(const json& value, const std::string& place) {
    if (value.is_number_float()) {
        return std::isfinite(value.get<double>()) ? std::nullopt : std::optional(place);
    }
    if (value.is_object()) {
        for (const auto& member : value.items()) {
            const std::string inner = place.empty() ? member.key() : place + "." + member.key();
            if (auto found = NonFiniteNumberPlace(member.value(), inner)) {
                return found;
            }
        }
    }
    if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (auto found =
                    NonFiniteNumberPlace(value[i], place + "[" + std::to_string(i) + "]")) {
                return found;
            }
        }
    }
    return std::nullopt;
}

} // namespace

Status FormatReportJson(const CaseReport& report, std::string& text) {
    const bool postureKeys = report.posed || report.placed;
    json trajectories = json::array();
    for (const TrajectoryFacts& t : report.trajectories) {
        trajectories.push_back(TrajectoryJson(t));
        AddOriginJson(trajectories.back(), report.origin, t.number);
        AddBudgetOriginJson(trajectories.back(), report.origin, t.number);
        // Only a posed or placed case says more than before, so that the report of a body in
        // the anatomical position, not placed, stays as it was.
        if (postureKeys) {
            AddPostureJson(trajectories.back(), t);
        }
    }
    json elements = json::array();
    for (const ElementFacts& e : report.elements) {
        elements.push_back(ElementJson(e));
    }
    json document = {
        {"format", "ruvolane-report"},
        {"version", kFormatVersion},
        {"software", report.software},
        {"generated", report.generated},
        {"case", FileJson(report.caseFile)},
        {"case_info", CaseInfoJson(report.caseInfo)},
        {"reading_notes", report.readingNotes},
        {"body",
         {{"name", report.bodyName},
          {"height_m", report.bodyHeight},
          {"scale_x", report.scaleX},
          {"scale_z", report.scaleZ},
          {"model", FileJson(report.bodyModel)},
          {"arm", {{"yaw", report.armYaw}, {"pitch", report.armPitch}}},
          {"forearm", {{"yaw", report.forearmYaw}, {"pitch", report.forearmPitch}}}}},
        {"posture", PostureJson(report)},
        {"uncertainty_budget_convention", report.budgetConvention},
        {"origin_draws_convention", report.origin.drawsConvention.empty()
                                        ? json(nullptr)
                                        : json(report.origin.drawsConvention)},
        {"trajectories", trajectories},
        {"elements", elements},
    };
    document["convergence"] = ConvergenceJson(report.origin);
    if (!report.origin.sceneModelSha256.empty()) {
        // Only a scene model that was read: its reader's digest of the bytes it parsed.
        document["scene_model"] =
            FileJson(DescribeReadModel(report.origin.sceneModel, report.origin.sceneModelSha256));
    }
    if (postureKeys) {
        document["landmarks"] = LandmarksJson(report.landmarks);
    }
    // Only a body drawn from a CT series says so: every other report stays as it was.
    if (report.ct) {
        document["body_source"] = "ct";
        document["ct"] = CtJson(*report.ct);
    }
    if (report.carried) {
        document["carried_from"] = CarriedJson(*report.carried);
    }
    if (const auto place = NonFiniteNumberPlace(document, {})) {
        return Status::Failure(*place + " is not a finite number");
    }
    // Labels are the user's bytes; a text that is not valid UTF-8 is kept readable, not refused.
    text = document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    return Status::Ok();
}
