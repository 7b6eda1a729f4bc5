#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// A window on Hounsfield units for a grey picture: `width` HU from black to white around the
// centre `level`, mapped the way DICOM's linear VOI function does it.
struct CtWindow {
    int width = 400;
    int level = 40;
    bool operator==(const CtWindow&) const = default;
};

// The windows a pathologist reads post-mortem CT with. Air shows the wound channel: the gas in
// a track is black while fat and soft tissue around it are white.
enum class CtWindowPreset { SoftTissue, Lung, Bone, Air };
inline constexpr std::array<CtWindowPreset, 4> kCtWindowPresets = {
    CtWindowPreset::SoftTissue, CtWindowPreset::Lung, CtWindowPreset::Bone, CtWindowPreset::Air};

// Soft tissue W 400 L 40, lung W 1500 L -600, bone W 2000 L 300, air W 600 L -600 (black at
// -900 HU and below, white from -300 HU up).
CtWindow WindowOfPreset(CtWindowPreset preset);
// "Soft tissue", "Lung", "Bone", "Air (wound channel)".
std::string_view NameOfPreset(CtWindowPreset preset);

// The grey (0 black to 255 white) of a value in the window.
uint8_t GreyInWindow(const CtWindow& window, int hu);
