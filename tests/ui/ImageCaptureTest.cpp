#include "MainWindowFixture.h"

#include "export/JpegWriter.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "support/BaselineImage.h"
#include "ui/CaseCommands.h"
#include "ui/ImageCapture.h"
#include "ui/ProgramSettings.h"

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>

namespace {

baseline::RgbImage FromDib(const CapturedImage& dib) {
    const int width = dib.Width(), height = dib.Height();
    baseline::RgbImage image{width, height, {}};
    image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    uint8_t* out = image.rgb.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = dib.Pixels() + dib.RowStride() * (height - 1 - y);
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = row[4 * x + 2];
            out[1] = row[4 * x + 1];
            out[2] = row[4 * x];
        }
    }
    return image;
}

CapturedImage ToDib(const baseline::RgbImage& image) {
    CapturedImage dib = CapturedImage::Create(image.width, image.height, 32);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = dib.Pixels() + dib.RowStride() * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            row[4 * x] = image.At(x, y)[2];
            row[4 * x + 1] = image.At(x, y)[1];
            row[4 * x + 2] = image.At(x, y)[0];
        }
    }
    return dib;
}

baseline::RgbImage FromQImage(const QImage& source) {
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    baseline::RgbImage image{rgb.width(), rgb.height(), {}};
    for (int y = 0; y < rgb.height(); ++y) {
        const uint8_t* row = rgb.constScanLine(y);
        image.rgb.insert(image.rgb.end(), row, row + rgb.width() * 3);
    }
    return image;
}

// The case drawn the way `ruvo --render` draws it: a case of its own with the default models,
// a headless context of the given size.
baseline::RgbImage RenderHeadless(const baseline::DisplayMode& displayMode, int width, int height) {
    std::string error;
    const auto context = HeadlessContext::Create(width, height, error);
    EXPECT_NE(context, nullptr) << error;
    if (!context) {
        return {};
    }
    Case theCase;
    ViewState view;
    const DefaultModelFiles models;
    ArrowModels arrows;
    const Status arrowsRead = arrows.Load(models.arrow, models.halfArrow);
    EXPECT_TRUE(arrowsRead.ok()) << arrowsRead.message();
    Renderer renderer;
    renderer.SetArrowModels(std::make_shared<const ArrowModels>(arrows));
    view.ViewFront();
    const Status loaded = theCase.body.Load(models.body);
    EXPECT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_TRUE(renderer.InitializeContext());
    baseline::AddEvidence(theCase);
    displayMode.apply(view);
    renderer.Resize(width, height);
    renderer.RenderFrame(PosedCase(theCase), view);
    glFinish();
    baseline::RgbImage image = baseline::ReadFramebuffer(width, height);
    renderer.DestroyContext();
    return image;
}

// The main window showing the case in one display mode.
class WindowCapture : public MainWindowFixture,
                      public ::testing::WithParamInterface<baseline::DisplayMode> {
protected:
    void ShowCase() {
        baseline::AddEvidence(TheCase());
        Posed();
        GetParam().apply(TheViewState());
        View().Redraw();
        QTest::qWait(50);
    }

    // Another context kind is made current next: the view's is released first.
    baseline::RgbImage Headless() {
        View().doneCurrent();
        const qreal ratio = View().devicePixelRatioF();
        return RenderHeadless(GetParam(), qRound(View().width() * ratio),
                              qRound(View().height() * ratio));
    }
};

TEST_P(WindowCapture, TheSavedPixelsAreTheHeadlessRenderOfTheSameCase) {
    ShowCase();
    const std::optional<CapturedImage> captured = View().CaptureView();
    ASSERT_TRUE(captured.has_value());
    EXPECT_EQ(baseline::Differences(FromDib(*captured), Headless()), "");
}

INSTANTIATE_TEST_SUITE_P(DisplayModes, WindowCapture, ::testing::ValuesIn(baseline::DisplayModes()),
                         [](const ::testing::TestParamInfo<baseline::DisplayMode>& mode) {
                             return std::string(mode.param.name);
                         });

class TransparentBodyImage : public WindowCapture {};

// What the display shows of the view, the capture and the saved JPEG agree; the transparent body
// keeps its skin colour in all three.
TEST_P(TransparentBodyImage, ScreenCaptureAndSavedFileShowTheSamePixels) {
    ShowCase();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    QTest::qWait(200); // the composed window reaches the display
    const QPoint origin = View().mapTo(frame.get(), QPoint(0, 0));
    const QImage screen =
        frame->screen()
            ->grabWindow(frame->winId(), origin.x(), origin.y(), View().width(), View().height())
            .toImage();
    const std::optional<CapturedImage> captured = View().CaptureView();
    ASSERT_TRUE(captured.has_value());
    EXPECT_EQ(baseline::Differences(FromDib(*captured), FromQImage(screen)), "");

    QTemporaryDir folder;
    platform.QueueSaveFile(folder.filePath("view.jpg"));
    Commands().SaveImage();
    QImage saved;
    ASSERT_TRUE(saved.load(folder.filePath("view.jpg")));
    // The same encoder given the headless pixels writes the same picture (JPEG's own error at
    // colour edges is then the same in both).
    const CapturedImage headless = ToDib(Headless());
    std::string error;
    ASSERT_TRUE(WriteJpeg(&headless, 100, folder.filePath("headless.jpg").toStdString(), error))
        << error;
    QImage expected;
    ASSERT_TRUE(expected.load(folder.filePath("headless.jpg")));
    EXPECT_EQ(baseline::Differences(FromQImage(saved), FromQImage(expected)), "");
}

INSTANTIATE_TEST_SUITE_P(Transparency, TransparentBodyImage,
                         ::testing::Values(baseline::DisplayModes()[1],
                                           baseline::DisplayModes()[6]),
                         [](const ::testing::TestParamInfo<baseline::DisplayMode>& mode) {
                             return std::string(mode.param.name);
                         });

class SelectionInSavedImage : public WindowCapture {
protected:
    // The JPEG Save image writes of the view as it is now.
    QImage Saved(const QTemporaryDir& folder, const QString& name) {
        platform.QueueSaveFile(folder.filePath(name));
        Commands().SaveImage();
        QImage saved;
        EXPECT_TRUE(saved.load(folder.filePath(name))) << name.toStdString();
        return saved;
    }
    // The same encoder's picture of the captured pixels.
    static QImage Encoded(const QTemporaryDir& folder, const QString& name,
                          const CapturedImage& pixels) {
        std::string error;
        EXPECT_TRUE(WriteJpeg(&pixels, 100, folder.filePath(name).toStdString(), error)) << error;
        QImage encoded;
        EXPECT_TRUE(encoded.load(folder.filePath(name)));
        return encoded;
    }
};

// The window shows the selected trajectory's box and handles; the saved image leaves them out
// unless the setting asks for them, and the window keeps its selection.
TEST_P(SelectionInSavedImage, TheSavedJpegHasNoSelectionBoxUnlessAskedFor) {
    ShowCase();
    ASSERT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 1);
    const std::optional<CapturedImage> shown = View().CaptureView();
    const std::optional<CapturedImage> unselected = View().CaptureView(false);
    ASSERT_TRUE(shown && unselected);
    EXPECT_NE(baseline::Differences(FromDib(*shown), FromDib(*unselected)), "")
        << "the view shows a selection to leave out";
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 1);
    EXPECT_EQ(TheViewState().GetManipulationMode(), ManipulationMode::Move);

    QTemporaryDir folder;
    const QImage saved = Saved(folder, "view.jpg");
    EXPECT_EQ(baseline::Differences(FromQImage(saved),
                                    FromQImage(Encoded(folder, "plain.jpg", *unselected))),
              "");
    EXPECT_NE(
        baseline::Differences(FromQImage(saved), FromQImage(Encoded(folder, "box.jpg", *shown))),
        "");
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 1) << "the window keeps it";

    // Asked for through File > Selection in saved image, which the settings keep.
    QAction* ask = frame->GetCommandSet().Action(Command::SelectionInSavedImage);
    ASSERT_FALSE(ask->isChecked());
    ask->trigger();
    EXPECT_TRUE(OpenProgramSettings()->value(kSavedImageSelectionKey).toBool());
    const QImage withBox = Saved(folder, "asked.jpg");
    ask->trigger();
    EXPECT_FALSE(OpenProgramSettings()->value(kSavedImageSelectionKey).toBool());
    EXPECT_EQ(
        baseline::Differences(FromQImage(withBox), FromQImage(Encoded(folder, "box2.jpg", *shown))),
        "");
}

INSTANTIATE_TEST_SUITE_P(Handles, SelectionInSavedImage,
                         ::testing::Values(baseline::DisplayModes()[7]),
                         [](const ::testing::TestParamInfo<baseline::DisplayMode>& mode) {
                             return std::string(mode.param.name);
                         });

} // namespace

TEST(ImageCaptureTest, RowsAreStoredBottomFirstAsBlueGreenRedZero) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(0, 0, QColor(255, 0, 0)); // top left
    image.setPixelColor(2, 1, QColor(1, 2, 3));   // bottom right

    const CapturedImage dib = CapturedImageFromQImage(image);
    ASSERT_EQ(dib.Width(), 3);
    ASSERT_EQ(dib.Height(), 2);
    ASSERT_EQ(dib.BitCount(), 32);
    const uint8_t* bottom = dib.Pixels();
    const uint8_t* top = dib.Pixels() + dib.RowStride();
    EXPECT_EQ(bottom[8], 3);
    EXPECT_EQ(bottom[9], 2);
    EXPECT_EQ(bottom[10], 1);
    EXPECT_EQ(bottom[11], 0);
    EXPECT_EQ(top[0], 0);
    EXPECT_EQ(top[1], 0);
    EXPECT_EQ(top[2], 255);
    EXPECT_EQ(top[3], 0);
    EXPECT_EQ(top[4], 30);
}

// A framebuffer read back comes labelled premultiplied with whatever alpha the drawing left (a
// transparent body leaves about 0.76); the window shows the colour channels as they are.
TEST(ImageCaptureTest, ColoursAreKeptWhateverAlphaTheFramebufferHolds) {
    for (const QImage::Format format :
         {QImage::Format_RGBA8888_Premultiplied, QImage::Format_ARGB32_Premultiplied}) {
        QImage image(1, 1, format);
        const uint32_t skin = format == QImage::Format_RGBA8888_Premultiplied
                                  ? 0xc2bdcde6u  // bytes 230, 205, 189, 194 in memory
                                  : 0xc2e6cdbdu; // 0xAARRGGBB
        std::memcpy(image.bits(), &skin, 4);
        const CapturedImage dib = CapturedImageFromQImage(image);
        EXPECT_EQ(dib.Pixels()[0], 189) << format;
        EXPECT_EQ(dib.Pixels()[1], 205) << format;
        EXPECT_EQ(dib.Pixels()[2], 230) << format;
    }
}
