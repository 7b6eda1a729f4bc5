#pragma once

// Rendered images compared with the committed baselines in tests/baselines/. Shared by the
// headless rendering tests and the window tests (header only: each test program builds its own
// sources).

#include "case/Case.h"
#include "case/Element.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace baseline {

// Every channel of every pixel must lie within this many levels of the baseline. llvmpipe draws
// the same bytes on every run; the margin absorbs rounding differences of an equivalent drawing
// path (another way of drawing the label glyphs, another context kind) but not a missing line,
// label or handle, nor a colour composed with the alpha.
constexpr int kChannelTolerance = 2;

constexpr int kWidth = 256;
constexpr int kHeight = 192;

// Red, green, blue bytes, top row first (the order of a binary PPM file).
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    const uint8_t* At(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

// Reads the current framebuffer (its region 0, 0, width, height).
inline RgbImage ReadFramebuffer(int width, int height) {
    RgbImage image{width, height,
                   std::vector<uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    std::vector<uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = rgba.data() + static_cast<std::size_t>(height - 1 - y) * width * 4;
        uint8_t* target = image.rgb.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            target[x * 3] = source[x * 4];
            target[x * 3 + 1] = source[x * 4 + 1];
            target[x * 3 + 2] = source[x * 4 + 2];
        }
    }
    return image;
}

inline std::filesystem::path Folder() {
    return std::filesystem::path(RUVO_SOURCE_DIR) / "tests" / "baselines";
}

inline bool ReadPpm(const std::filesystem::path& path, RgbImage& image) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    if (!(in >> magic >> image.width >> image.height >> maximum) || magic != "P6" ||
        maximum != 255 || image.width <= 0 || image.height <= 0) {
        return false;
    }
    in.get(); // the single blank after the header
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()),
            static_cast<std::streamsize>(image.rgb.size()));
    return static_cast<std::size_t>(in.gcount()) == image.rgb.size();
}

inline bool WritePpm(const std::filesystem::path& path, const RgbImage& image) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.rgb.data()),
              static_cast<std::streamsize>(image.rgb.size()));
    return static_cast<bool>(out);
}

// Empty when the images agree within the tolerance; else what differs, for the failure message.
inline std::string Differences(const RgbImage& actual, const RgbImage& expected,
                               int tolerance = kChannelTolerance) {
    if (actual.width != expected.width || actual.height != expected.height) {
        std::ostringstream sizes;
        sizes << "size " << actual.width << "x" << actual.height << ", expected " << expected.width
              << "x" << expected.height;
        return sizes.str();
    }
    int beyond = 0;
    int worst = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            int largest = 0;
            for (int c = 0; c < 3; ++c) {
                largest = std::max(largest, std::abs(actual.At(x, y)[c] - expected.At(x, y)[c]));
            }
            if (largest > tolerance) {
                if (beyond++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
            worst = std::max(worst, largest);
        }
    }
    if (beyond == 0) {
        return {};
    }
    std::ostringstream text;
    text << beyond << " pixels differ by more than " << tolerance << " levels (at most " << worst
         << "), the first at (" << firstX << ", " << firstY
         << ") from the top left: " << int(actual.At(firstX, firstY)[0]) << ","
         << int(actual.At(firstX, firstY)[1]) << "," << int(actual.At(firstX, firstY)[2])
         << " instead of " << int(expected.At(firstX, firstY)[0]) << ","
         << int(expected.At(firstX, firstY)[1]) << "," << int(expected.At(firstX, firstY)[2]);
    return text.str();
}

// Compares with the named baseline; with RUVO_UPDATE_BASELINES=1 in the environment writes the
// baseline instead (after a deliberate change of the drawing, to be reviewed before committing).
inline std::string CompareWithBaseline(const std::string& name, const RgbImage& actual) {
    const std::filesystem::path path = Folder() / (name + ".ppm");
    const char* update = std::getenv("RUVO_UPDATE_BASELINES");
    if (update != nullptr && std::string(update) == "1") {
        return WritePpm(path, actual) ? std::string() : "cannot write " + path.string();
    }
    RgbImage expected;
    if (!ReadPpm(path, expected)) {
        return "cannot read the baseline " + path.string();
    }
    return Differences(actual, expected);
}

// The evidence every case shows: a full arrow through the chest with a two-line label, a half
// arrow that stayed in the abdomen, and a small labelled element beside it. Body frame: +X toward
// the body's left, +Y up, +Z toward its front.
inline void AddEvidence(Case& theCase) {
    Trajectory through;
    through.in = {-0.10, 1.36, 0.26};
    through.out = {0.06, 1.22, 0.02};
    through.exited = true;
    through.color = {1, 0, 0};
    through.label = "Entry A\r\nright chest";
    theCase.trajectories.push_back(through);
    Trajectory inside;
    inside.in = {0.10, 1.02, 0.24};
    inside.out = {0.02, 1.06, 0.10};
    inside.exited = false;
    inside.color = {0, 0, 1};
    inside.label = "Entry B";
    theCase.trajectories.push_back(inside);
    Element element;
    element.centre = {0.02, 1.06, 0.10};
    element.size = {0.06, 0.04, 0.05};
    element.color = {0, 0.8, 0};
    element.label = "Fragment";
    theCase.elements.push_back(element);
}

// One display mode: its baseline's name and the switches that make it, applied to a view that was
// just set up (front view, axes on, labels on, opaque body) on a case that holds the evidence.
struct DisplayMode {
    const char* name;
    std::function<void(ViewState&)> apply;
};

// Test listings name a mode by its name, not by its bytes.
inline void PrintTo(const DisplayMode& c, std::ostream* out) {
    *out << c.name;
}

inline std::vector<DisplayMode> DisplayModes() {
    return {
        {"plain", [](ViewState& s) { s.ToggleAxes(); }},
        {"transparent",
         [](ViewState& s) {
             s.ToggleAxes();
             s.ToggleBodyTransparency();
         }},
        {"axes", [](ViewState&) {}},
        {"front_grid", [](ViewState& s) { s.ToggleFrontGrid(); }},
        {"lateral_grid",
         [](ViewState& s) {
             s.ToggleLateralGrid();
             s.ViewProfile();
         }},
        {"labels_off", [](ViewState& s) { s.ToggleText(); }},
        {"labels_transparent", [](ViewState& s) { s.ToggleBodyTransparency(); }},
        {"move_handles",
         [](ViewState& s) {
             s.SetManipulationMode(ManipulationMode::Move);
             s.SelectTrajectory(1);
         }},
        {"rotate_handles",
         [](ViewState& s) {
             s.ToggleBodyTransparency();
             s.SetManipulationMode(ManipulationMode::Rotate);
             s.SelectElement(1);
             s.SelectHandle(Handle::None); // no handle highlighted
         }},
    };
}

} // namespace baseline
