#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "edit/CaseEditor.h"
#include "mesh/ArrowModels.h"
#include "support/BoxBody.h"
#include "ui/AdjustTrajectoryDialog.h"
#include "ui/CaseCommands.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/ReportDrawing.h"
#include "ui/ReportExport.h"
#include "view/ViewState.h"

#include <nlohmann/json.hpp>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct ReportCommandsFixture : ::testing::Test {
    void SetUp() override {
        const DefaultModelFiles models;
        ASSERT_TRUE(arrows.Load(models.arrow, models.halfArrow).ok());
        ASSERT_TRUE(theCase.body.Load(models.body).ok());
        // The budget's precision is not what these tests read: a few draws keep them quick.
        ASSERT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        workingFolder = QDir::currentPath();
        // Choosers start in the data folder below the start directory; here it exists.
        ASSERT_TRUE(QDir(folder.path()).mkpath("database"));
        commands.SetStartDirectory(folder.path());
        Trajectory trajectory;
        trajectory.exited = true;
        trajectory.in = {-0.05, 1.4, 0.25};
        trajectory.out = {0.05, 1.3, 0.02};
        theCase.trajectories.push_back(trajectory);
        editor.Preview(); // as a file read into the case
    }

    // The commands put the working folder back to their start directory, set here to a
    // temporary one: the next tests find the models where they were.
    void TearDown() override { QDir::setCurrent(workingFolder); }

    QString workingFolder;
    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    ArrowModels arrows;
    ScriptedPlatform platform;
    CaseCommands commands{
        editor, view, arrows, platform, nullptr, [] {}, [] { return std::nullopt; }};
    QColor proposedColor = Qt::white;
    QTemporaryDir folder;
};

void SetField(QDialog& dialog, const char* name, const QString& text) {
    auto& field = Child<QLineEdit>(dialog, name);
    field.clear();
    QTest::keyClicks(&field, text);
}

} // namespace

TEST_F(ReportCommandsFixture, ExportOffersThreeFormatsAndNamesOnlyAnUnchangedSavedCase) {
    platform.QueueSaveFile(folder.filePath("unsaved.json"));
    platform.QueueSaveFile(folder.filePath("case.txt"));
    platform.QueueSaveFile(folder.filePath("saved.json"));
    platform.QueueSaveFile(folder.filePath("changed.json"));
    commands.ExportReport();
    commands.SaveDataFile();
    commands.ExportReport();
    editor.EditTrajectory(1, "Properties", [](Trajectory& t) { t.label = "changed after saving"; });
    commands.ExportReport();
    commands.ExportReport(); // cancelled: nothing written, nothing said
    EXPECT_TRUE(platform.Messages().empty());

    const FileChooserRequest& request = platform.SaveRequests()[0];
    EXPECT_EQ(request.title, "Export report");
    ASSERT_EQ(request.filters.size(), 3);
    EXPECT_EQ(request.filters[0].pattern, " *.pdf");
    EXPECT_EQ(request.filters[1].pattern, " *.html");
    EXPECT_EQ(request.filters[2].pattern, " *.json");

    const auto caseOf = [this](const char* name) {
        return nlohmann::json::parse(Contents(folder.filePath(name)).toStdString())["case"];
    };
    EXPECT_TRUE(caseOf("unsaved.json")["file"].is_null());
    EXPECT_EQ(caseOf("saved.json")["file"], "case.txt");
    EXPECT_EQ(caseOf("saved.json")["sha256"].get<std::string>().size(), 64u);
    EXPECT_TRUE(caseOf("changed.json")["file"].is_null()) << "the file no longer holds the case";
}

TEST_F(ReportCommandsFixture, ExportWritesPdfAndReportsFailures) {
    // What is written where does not depend on the body: a box is drawn in a moment.
    LoadBoxBody(theCase);
    editor.Preview();
    platform.QueueSaveFile(folder.filePath("report"));
    platform.QueueSaveFile(folder.filePath("missing/folder/r.pdf"));
    commands.ExportReport();
    commands.ExportReport();
    EXPECT_TRUE(Contents(folder.filePath("report.pdf")).startsWith("%PDF"));
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Export report");
    EXPECT_TRUE(platform.Messages()[0].text.contains("missing/folder/r.pdf"));
}

TEST_F(ReportCommandsFixture, DialogsTakeTheUncertaintyInCentimetres) {
    NewTrajectoryDialog create(editor, platform, proposedColor, [] {});
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "uncertainty").text(), "1.0");
        FillCoordinates(d, {"0", "0", "0", "0", "100", "0"});
        SetField(d, "uncertainty", "2.5");
        QTest::mouseClick(&Child<QPushButton>(d, "computeButton"), Qt::LeftButton);
    });
    ASSERT_EQ(create.exec(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(2)->radiusIn, 0.025);

    AdjustTrajectoryDialog adjust(editor, view);
    view.SelectTrajectory(2);
    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "uncertainty").text(), "2.5");
        SetField(d, "uncertainty", "0.4");
        QTest::mouseClick(&Child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
    });
    adjust.exec();
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(2)->radiusIn, 0.025) << "Cancel keeps it";
    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        SetField(d, "uncertainty", "-3");
        QTest::mouseClick(&Child<QPushButton>(d, "okButton"), Qt::LeftButton);
    });
    adjust.exec();
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(2)->radiusIn, 0.025) << "negative is refused";
    WhenModal<AdjustTrajectoryDialog>([](AdjustTrajectoryDialog& d) {
        SetField(d, "uncertainty", "0.4");
        QTest::mouseClick(&Child<QPushButton>(d, "okButton"), Qt::LeftButton);
    });
    adjust.exec();
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(2)->radiusIn, 0.004);
}

using ReportWindowTest = MainWindowFixture;

// The report draws its views in a headless context of its own while the window has its context:
// the window keeps drawing afterwards, and the U key shows the cones in it.
TEST_F(ReportWindowTest, ExportFromTheWindowAndTheConeKey) {
    QTemporaryDir folder;
    ASSERT_TRUE(TheCase().body.GetUncertaintyModel().SetDraws(2000).ok());
    AddTrajectory([](Trajectory& trajectory) { // toward the body's right: the cone opens left
        trajectory.in = {0.3, 1.0, 0.5};
        trajectory.out = {-0.3, 1.0, 0.5};
    });
    platform.QueueSaveFile(folder.filePath("r.html"));
    Commands().ExportReport();
    for (const auto& message : platform.Messages()) {
        // The chooser may say the data folder is missing; the export itself must say nothing.
        EXPECT_FALSE(message.text.startsWith("Cannot write")) << message.text.toStdString();
    }
    EXPECT_TRUE(Contents(folder.filePath("r.html")).contains("data:image/png;base64,"));

    const QPoint behind = Project(1.3, 1.0, 0.5); // 1 m back along the cone's axis, past the arrow
    const QColor before = View().grabFramebuffer().pixelColor(behind);
    EXPECT_FALSE(TheViewState().Switches().uncertaintyCones);
    QTest::keyClick(frame.get(), Qt::Key_U);
    EXPECT_TRUE(TheViewState().Switches().uncertaintyCones);
    const QImage withCones = View().grabFramebuffer();
    const QColor with = withCones.pixelColor(behind);
    EXPECT_EQ(with.alpha(), 255) << "the frame stays opaque";
    EXPECT_GT(with.red() - with.green(), before.red() - before.green() + 20)
        << "a translucent red cone over the grey background";
    QTest::keyClick(frame.get(), Qt::Key_U);
    EXPECT_FALSE(TheViewState().Switches().uncertaintyCones);
}

namespace {

QProgressDialog* ReportDrawingDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget);
            dialog != nullptr && dialog->objectName() == kReportDrawingDialogName &&
            dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

} // namespace

// A large budget is drawn beside the window: the window keeps answering (its timers run, a
// click on the view is taken) while the draws run, and Cancel stops them at once, with nothing
// written and the case as it was.
TEST_F(ReportWindowTest, ALargeBudgetRunsBesideTheWindowAndCancelStopsIt) {
    QTemporaryDir folder;
    UncertaintyModel& model = TheCase().body.GetUncertaintyModel();
    ASSERT_TRUE(model.SetDraws(UncertaintyModel::kMostDraws).ok());
    ASSERT_TRUE(model.SetSigma("tissue", 0.005).ok());
    ASSERT_TRUE(model.SetSigma("heading", 2).ok());
    for (int i = 0; i < 60; ++i) {
        AddTrajectory([i](Trajectory& trajectory) { trajectory.in.y += 0.005 * i; });
    }
    const std::string before = DataFile::Format(TheCase());
    platform.QueueSaveFile(folder.filePath("large.pdf"));

    QElapsedTimer run, sinceTick;
    qint64 longestGap = 0, cancelledAt = -1;
    int ticks = 0, clicks = 0;
    QTimer heartbeat;
    heartbeat.setInterval(10);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        ++ticks;
        QProgressDialog* dialog = ReportDrawingDialog();
        if (dialog == nullptr || cancelledAt >= 0) {
            return;
        }
        if (ticks % 5 == 0) {
            QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            ++clicks;
        }
        if (dialog->value() > 0 && clicks >= 2) {
            auto* cancel = dialog->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            QTest::mouseClick(cancel, Qt::LeftButton);
            cancelledAt = run.elapsed();
        }
    });
    run.start();
    sinceTick.start();
    heartbeat.start();
    Commands().ExportReport();
    const qint64 returnedAt = run.elapsed();
    heartbeat.stop();

    // The window answered while the draws ran: its timer fired and two clicks were taken with
    // the progress dialog up before Cancel. How long it paused is a figure, not a pass mark (a
    // shared machine can stall any process), so it is printed rather than checked.
    ASSERT_GE(cancelledAt, 0) << "the draws ended before they could be cancelled";
    EXPECT_GE(clicks, 2);
    EXPECT_FALSE(QFile::exists(folder.filePath("large.pdf")));
    EXPECT_EQ(DataFile::Format(TheCase()), before);
    ASSERT_FALSE(platform.Messages().empty());
    EXPECT_TRUE(platform.Messages().back().text.contains("cancelled"));
    EXPECT_TRUE(platform.Messages().back().text.contains("nothing was written"));
    std::printf("[ figures ] budget of 60 trajectories x %d draws cancelled after %lld ms, "
                "returned %lld ms later; longest pause of the window %lld ms over %d ticks\n",
                model.DrawCount(), static_cast<long long>(cancelledAt),
                static_cast<long long>(returnedAt - cancelledAt),
                static_cast<long long>(longestGap), ticks);
}
