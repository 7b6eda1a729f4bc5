#include "body/UncertaintyModel.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

Status Refused(std::string_view name, double value, double largest, std::string_view unit) {
    return Status::Failure(
        "The sigma of " + std::string(name) + " (" +
        (std::isfinite(value) ? FormatFixed(value, 0, 4) : std::string("not a number")) +
        ") must lie within 0 and " + FormatFixed(largest, 0, 0) + " " + std::string(unit) + ".");
}

} // namespace

Status UncertaintyModel::SetSigma(std::string_view name, double value) {
    const bool isLength = name == "tissue" || name == "placement";
    const double largest = isLength ? kLargestLengthSigma : kLargestAngleSigma;
    const std::optional<skeleton::Joint> joint = skeleton::JointNamed(name);
    if (!isLength && name != "pose" && name != "heading" && !joint) {
        return Status::Failure("There is no sigma named \"" + std::string(name) +
                               "\": it is pose, tissue, heading, placement or a joint's name.");
    }
    if (!(value >= 0 && value <= largest)) {
        return Refused(name, value, largest, isLength ? "m" : "degrees");
    }
    if (name == "pose") {
        poseSigma = value;
    } else if (name == "tissue") {
        tissueSigma = value;
    } else if (name == "heading") {
        headingSigma = value;
    } else if (name == "placement") {
        placementSigma = value;
    } else {
        jointSigma[static_cast<size_t>(*joint)] = value;
    }
    return Status::Ok();
}

bool UncertaintyModel::LimitsDraws(double value) {
    return value > kMostDraws && std::isfinite(value) && value == std::floor(value);
}

Status UncertaintyModel::SetDraws(double value) {
    if (LimitsDraws(value)) {
        draws = kMostDraws;
        return Status::Ok();
    }
    if (!(value >= kFewestDraws && value <= kMostDraws) || value != std::floor(value)) {
        return Status::Failure("The number of draws (" +
                               (std::isfinite(value)
                                    ? FormatFixed(value, 0, value == std::floor(value) ? 0 : 2)
                                    : std::string("not a number")) +
                               ") must be a whole number from " + std::to_string(kFewestDraws) +
                               " (at most " + std::to_string(kMostDraws) + " are drawn).");
    }
    draws = static_cast<int>(value);
    return Status::Ok();
}

int UncertaintyModel::DrawCount() const {
    return std::clamp(draws, kFewestDraws, kMostDraws);
}
