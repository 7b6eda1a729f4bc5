#include "ct/CtWindow.h"

#include <algorithm>
#include <cmath>

CtWindow WindowOfPreset(CtWindowPreset preset) {
    switch (preset) {
    case CtWindowPreset::Lung:
        return {1500, -600};
    case CtWindowPreset::Bone:
        return {2000, 300};
    case CtWindowPreset::Air:
        return {600, -600};
    case CtWindowPreset::SoftTissue:
        break;
    }
    return {400, 40};
}

std::string_view NameOfPreset(CtWindowPreset preset) {
    switch (preset) {
    case CtWindowPreset::Lung:
        return "Lung";
    case CtWindowPreset::Bone:
        return "Bone";
    case CtWindowPreset::Air:
        return "Air (wound channel)";
    case CtWindowPreset::SoftTissue:
        break;
    }
    return "Soft tissue";
}

uint8_t GreyInWindow(const CtWindow& window, int hu) {
    // DICOM's linear function: values up to c - 0.5 - (w - 1) / 2 black, above c - 0.5 +
    // (w - 1) / 2 white, a straight line between. A width under 1 is a threshold at the level.
    const double width = std::max(window.width, 1);
    const double centre = window.level - 0.5;
    const double half = (width - 1) / 2;
    if (hu <= centre - half) {
        return 0;
    }
    if (hu > centre + half) {
        return 255;
    }
    const double grey = ((hu - centre) / std::max(width - 1, 1.0) + 0.5) * 255;
    return static_cast<uint8_t>(std::clamp(std::lround(grey), 0L, 255L));
}
