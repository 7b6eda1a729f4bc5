#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "render/FrameRenderer.h"
#include "ui/Application.h"
#include "ui/CaseView.h"
#include "ui/MainWindow.h"
#include "view/ViewState.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST(StartupTest, AMissingDefaultModelIsReportedAndEndsTheStart) {
    DefaultModelFiles models;
    models.body = "./no/such/man.obj";
    ScriptedPlatform platform;
    Application app(platform, models);
    EXPECT_FALSE(app.InitInstance(QString()));
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, QStringLiteral("Info"));
    EXPECT_EQ(platform.Messages()[0].text,
              QStringLiteral("Read Obj failed: can't open data file \"./no/such/man.obj\"."));
}

TEST(StartupTest, TheFileOnTheCommandLineIsOpenedAfterTheDefaultModels) {
    ScriptedPlatform platform;
    Application app(platform);
    const QString body =
        QFileInfo(QString::fromStdString(DefaultModelFiles().body)).absoluteFilePath();
    ASSERT_TRUE(app.InitInstance(body));
    MainWindow* frame = app.GetMainWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->GetView().GetContextState(), CaseView::ContextState::Ready);
    EXPECT_EQ(QString::fromStdString(app.GetCase().bodyModelFile), body);
    // The view draws the editor's posed case, which holds the body read.
    EXPECT_EQ(app.GetEditor().GetPosed().GetCase().body.GetModel(), app.GetCase().body.GetModel());
    ASSERT_NE(app.GetEditor().GetPosed().GetBody().GetMesh(), nullptr);
    EXPECT_NE(app.GetArrows().For(true), nullptr);
    EXPECT_NE(app.GetArrows().For(false), nullptr);
    // The body came through the body-file path, with its progress window.
    EXPECT_EQ(platform.ProgressWindowsOpened(), 1);
    EXPECT_TRUE(platform.Messages().empty());
}

namespace {

// A renderer whose context cannot be used, as on a display without a suitable pixel format.
class RefusingRenderer : public FrameRenderer {
public:
    bool InitializeContext() override { return false; }
    void Resize(int, int) override {}
    void RenderFrame(const PosedCase&, const ViewState&) override {
        ADD_FAILURE() << "drew without a context";
    }
    void Pick(const PosedCase&, ViewState&, int, int) override {
        ADD_FAILURE() << "picked without a context";
    }
    void DestroyContext() override {}
};

} // namespace

TEST(StartupTest, AContextThatCannotBeUsedIsReportedAndLeavesTheViewBlank) {
    ScriptedPlatform platform;
    Application app(platform, {}, [] { return std::make_unique<RefusingRenderer>(); });
    ASSERT_TRUE(app.InitInstance(QString()));
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, QStringLiteral("SetPixelformat Failed!"));
    EXPECT_EQ(platform.Messages()[0].caption, QStringLiteral("Error"));
    CaseView& view = app.GetMainWindow()->GetView();
    EXPECT_EQ(view.GetContextState(), CaseView::ContextState::ContextFailed);
    // The program keeps running: input and commands change the view but draw nothing.
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, view.rect().center());
    QTest::keyClick(&view, 't');
    EXPECT_DOUBLE_EQ(app.GetViewState().GetCamera().GetPitch(), -90);
    view.repaint();
    EXPECT_FALSE(view.CaptureView().has_value());
}

TEST(StartupTest, TheProgramEndsWithStatusOneWithoutItsDefaultModels) {
    QTemporaryDir emptyStart;
    ASSERT_TRUE(emptyStart.isValid());
    QProcess ruvo;
    ruvo.setWorkingDirectory(emptyStart.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("RUVO_TEST_AUTOCLOSE_MESSAGES", "1");
    if (environment.contains("ASAN_OPTIONS")) {
        // Under the sanitizers the graphics driver's own allocations are only recognised (and
        // left out of the leak report) with the slower, exact stack walk.
        environment.insert("ASAN_OPTIONS",
                           environment.value("ASAN_OPTIONS") + ":fast_unwind_on_malloc=0");
    }
    ruvo.setProcessEnvironment(environment);
    ruvo.start(RUVO_BINARY, {});
    ASSERT_TRUE(ruvo.waitForFinished(60000)) << "ruvo did not end";
    EXPECT_EQ(ruvo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ruvo.exitCode(), 1);
    EXPECT_TRUE(ruvo.readAllStandardError().contains(
        "Info: Read Obj failed: can't open data file \"./data/default/Arrow1.obj\"."));
}

TEST(StartupTest, HeadlessOptionsNeedNoDisplay) {
    QProcess ruvo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    ruvo.setProcessEnvironment(environment);
    ruvo.start(RUVO_BINARY, {"--version"});
    ASSERT_TRUE(ruvo.waitForFinished(60000));
    EXPECT_EQ(ruvo.exitCode(), 0);
    EXPECT_TRUE(ruvo.readAllStandardOutput().contains("2.7.0"));
}
