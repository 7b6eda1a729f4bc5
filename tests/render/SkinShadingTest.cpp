#include "support/RenderTestSupport.h"

#include "case/Case.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "view/ViewState.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 800;

struct Picture {
    std::vector<unsigned char> rgba = std::vector<unsigned char>(4u * kWidth * kHeight);
    const unsigned char* At(int x, int y) const { return &rgba[4u * (y * kWidth + x)]; }
};

bool IsBackground(const unsigned char* pixel) {
    const int grey = static_cast<int>(Renderer::kClearGrey * 255.0f + 0.5f);
    return std::abs(pixel[0] - grey) < 6 && std::abs(pixel[1] - grey) < 6 &&
           std::abs(pixel[2] - grey) < 6;
}

// Skin away from the silhouette: the outline is grazing light everywhere on the body.
bool IsInnerSkin(const Picture& picture, int x, int y) {
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int px = std::clamp(x + dx, 0, kWidth - 1),
                      py = std::clamp(y + dy, 0, kHeight - 1);
            if (IsBackground(picture.At(px, py))) {
                return false;
            }
        }
    }
    return true;
}

double Luma(const unsigned char* pixel) {
    return 0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2];
}

// The brightness of every inner skin pixel in the rows [from, to), in order.
std::vector<double> SkinBrightness(const Picture& picture, int from, int to) {
    std::vector<double> values;
    for (int y = from; y < to; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (IsInnerSkin(picture, x, y)) {
                values.push_back(Luma(picture.At(x, y)));
            }
        }
    }
    std::sort(values.begin(), values.end());
    return values;
}

} // namespace

// The feet of the default body seen from the front were drawn dark brown, as if bruised: the only
// light shone along the line of sight, and the top of a foot faces upward as much as toward the
// viewer. Skin around the feet must be shaded within the range of the shins above it.
TEST(SkinShading, TheFeetOfTheDefaultBodyAreShadedAsTheShinsInTheFrontView) {
    std::string error;
    std::unique_ptr<HeadlessContext> context = HeadlessContext::Create(kWidth, kHeight, error);
    ASSERT_TRUE(context) << error;
    Case theCase;
    std::shared_ptr<const ArrowModels> arrows;
    ASSERT_TRUE(LoadDefaultModels(theCase, arrows).ok()); // the tests run in the project folder
    ViewState view;
    view.ViewFront();
    view.Switches().axes = false;
    view.Switches().text = false;
    Renderer renderer;
    ASSERT_TRUE(renderer.InitializeContext());
    renderer.Resize(kWidth, kHeight);
    renderer.RenderFrame(PosedCase(theCase), view);
    Picture picture;
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data());
    renderer.DestroyContext();

    // Rows counted from the bottom: the body's lowest and highest rows.
    int lowest = kHeight, highest = -1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!IsBackground(picture.At(x, y))) {
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
            }
        }
    }
    ASSERT_LT(lowest, highest);
    const int bodyRows = highest - lowest;
    // The feet: the lowest 5 % of the body; the shins: from 9 % to 20 % of its height.
    const std::vector<double> feet = SkinBrightness(picture, lowest, lowest + bodyRows / 20);
    const std::vector<double> shins =
        SkinBrightness(picture, lowest + bodyRows * 9 / 100, lowest + bodyRows / 5);
    ASSERT_GT(feet.size(), 200u);
    ASSERT_GT(shins.size(), 200u);

    const double darkestShin = shins.front();
    const auto darker = std::count_if(feet.begin(), feet.end(),
                                      [darkestShin](double value) { return value < darkestShin; });
    EXPECT_LT(darker, static_cast<long>(feet.size() / 100))
        << darker << " of " << feet.size() << " skin pixels of the feet are darker than any shin's";
    EXPECT_GT(feet[feet.size() / 2], 0.8 * shins[shins.size() / 2]);
}
