#include "DialogsTestSupport.h"

#include "ScriptedPlatform.h"
#include "case/Case.h"
#include "casefile/DataSummary.h"
#include "edit/CaseEditor.h"
#include "mesh/ArrowModels.h"
#include "ui/AdjustTrajectoryDialog.h"
#include "ui/BodyLoadProgressDialog.h"
#include "ui/BodyParametersDialog.h"
#include "ui/CaseCommands.h"
#include "ui/DataSummaryDialog.h"
#include "ui/FileCommands.h"
#include "ui/NewElementDialog.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/QtPlatform.h"
#include "view/ViewState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct CommandsFixture : ::testing::Test {
    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;
    ArrowModels arrows; // none: the scene export writes the case without arrows
    ScriptedPlatform platform;
    int redraws = 0;
    std::optional<CapturedImage> capturedImage = CapturedImage::Create(4, 3, 32);
    CaseCommands commands{editor,
                          view,
                          arrows,
                          platform,
                          nullptr,
                          [this] { ++redraws; },
                          [this] { return capturedImage; }};
    QTemporaryDir folder;

    // Appends a trajectory (IN and OUT at the origin unless given), as a file would, and poses the
    // case again; returns its number.
    int AddTrajectory(bool exited = true, Vec3 in = {}, Vec3 out = {}) {
        Trajectory trajectory;
        trajectory.exited = exited;
        trajectory.in = in;
        trajectory.out = out;
        theCase.trajectories.push_back(trajectory);
        editor.Preview();
        return theCase.TrajectoryCount();
    }
    void AddElement() {
        theCase.elements.emplace_back();
        editor.Preview();
    }

    QString InFolder(const QString& name) const { return folder.filePath(name); }
    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const auto& message : platform.Messages()) {
            texts.push_back(message.caption + ": " + message.text);
        }
        return texts;
    }
};

// Where a chooser starts: the documented folder when it exists, else the start directory (a
// missing data folder is not created: the scripted question is answered No).
QString ChooserStart(const QString& documented) {
    return QFileInfo(documented).isDir() ? documented : StartDirectory();
}

// A small closed model: a tetrahedron one metre high.
bool WriteTetrahedron(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
               "f 1 3 2\nf 1 2 4\nf 1 4 3\nf 2 3 4\n");
    return true;
}

} // namespace

TEST_F(CommandsFixture, AdjustAndDeleteExplainWhatIsMissing) {
    commands.DeleteSelected();
    EXPECT_TRUE(platform.Messages().empty()); // an empty case: nothing at all

    commands.AdjustTrajectory();
    AddTrajectory();
    commands.AdjustTrajectory();
    AddElement();
    view.SelectElement(1);
    commands.AdjustTrajectory();
    view.ClearSelection();
    commands.DeleteSelected();
    const std::vector<QString> expected = {
        "Adjust trajectory: Create a trajectory first",
        "Adjust trajectory: Select a trajectory first, by left clicking on an arrow or element.",
        "Adjust trajectory: Select a trajectory first, by left clicking on an arrow or element.",
        "Delete trajectory/element: No trajectory or element selected."};
    EXPECT_EQ(MessageTexts(), expected);
    EXPECT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_EQ(theCase.ElementCount(), 1);
}

TEST_F(CommandsFixture, DeleteAsksAndRemovesTheSelectedElement) {
    AddTrajectory();
    AddElement();
    view.SelectElement(1);
    WhenModal<QDialog>([](QDialog& d) { Click(d, "okButton"); });
    commands.DeleteSelected();
    EXPECT_EQ(theCase.ElementCount(), 0);
    EXPECT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_GE(redraws, 1);
}

TEST_F(CommandsFixture, NewTrajectoryZeroesOnlyTheShiftOfTheOneItCreated) {
    AddTrajectory();
    theCase.TrajectoryNumbered(1)->offset = {0.1, 0, -0.2};
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) { Click(d, "cancelButton"); });
    commands.NewTrajectory();
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->offset.x, 0.1);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->offset.z, -0.2);
    EXPECT_EQ(redraws, 1);

    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) {
        FillCoordinates(d);
        Click(d, "computeButton");
    });
    commands.NewTrajectory();
    ASSERT_EQ(theCase.TrajectoryCount(), 2);
    EXPECT_EQ(commands.GetTrajectoryDialog().GetCreatedNumber(), 2);
    EXPECT_EQ(theCase.TrajectoryNumbered(2)->offset.x, 0.0);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->offset.x, 0.1);
}

TEST_F(CommandsFixture, TheTwentyFirstTrajectoryAndElementAreRefused) {
    while (theCase.TrajectoryCount() < Case::kMaxTrajectories) {
        AddTrajectory();
    }
    while (theCase.ElementCount() < Case::kMaxElements) {
        AddElement();
    }
    bool opened = false;
    WhenModal<QDialog>([&opened](QDialog&) { opened = true; });
    commands.NewTrajectory();
    commands.NewElement();
    QTest::qWait(10); // let the watcher run: no dialog may have been waiting
    EXPECT_FALSE(opened);
    const std::vector<QString> expected = {
        "New trajectory: The case already holds 20 trajectories; no more can be added.",
        "New element: The case already holds 20 elements; no more can be added."};
    EXPECT_EQ(MessageTexts(), expected);
    EXPECT_EQ(theCase.TrajectoryCount(), 20);
    // The editor refuses the twenty-first as well, whatever asks it.
    EXPECT_FALSE(editor.AddTrajectory("New trajectory", Trajectory{}));
    EXPECT_FALSE(editor.AddElement("New element", Element{}));
    EXPECT_EQ(theCase.ElementCount(), 20);
}

TEST_F(CommandsFixture, ChangeColorStoresTheChooserAnswerEvenWhenCancelled) {
    AddTrajectory();
    theCase.TrajectoryNumbered(1)->color = {0.5, 0.25, 1.0};
    commands.ChangeColor(); // nothing selected: nothing asked
    EXPECT_TRUE(platform.ColorRequests().empty());

    view.SelectTrajectory(1);
    commands.ChangeColor(); // the chooser is cancelled and answers its initial colour
    ASSERT_EQ(platform.ColorRequests().size(), 1u);
    EXPECT_EQ(platform.ColorRequests()[0], QColor(127, 63, 255));
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->color.x, 127 / 255.0);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(1)->color.z, 1.0);

    AddElement();
    view.SelectElement(1);
    platform.QueueColor(QColor(0, 128, 0));
    commands.ChangeColor();
    EXPECT_DOUBLE_EQ(theCase.ElementNumbered(1)->color.y, 128 / 255.0);
    EXPECT_DOUBLE_EQ(theCase.ElementNumbered(1)->color.x, 0.0);
}

TEST_F(CommandsFixture, SaveDataAppendsTxtAndReportsFailures) {
    ASSERT_TRUE(folder.isValid());
    AddTrajectory(true, {0.1, 1.5, 0.05}, {-0.1, 1.4, 0.2});
    const QString start = QDir::currentPath();
    platform.QueueSaveFile(InFolder("case"));
    platform.QueueSaveFile(InFolder("case.TXT"));
    platform.QueueSaveFile(InFolder("missing/folder/case.txt"));
    commands.SaveDataFile();
    commands.SaveDataFile();
    QDir::setCurrent(folder.path()); // as a chooser may leave it
    commands.SaveDataFile();
    commands.SaveDataFile(); // cancelled: nothing written, nothing said
    EXPECT_TRUE(QFileInfo::exists(InFolder("case.txt")));
    EXPECT_TRUE(QFileInfo::exists(InFolder("case.TXT.txt")));
    EXPECT_FALSE(QFileInfo::exists(InFolder("case")));
    EXPECT_EQ(QDir::currentPath(), start);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Save data");
    EXPECT_TRUE(platform.Messages()[0].text.contains("missing/folder/case.txt"));

    ASSERT_EQ(platform.SaveRequests().size(), 4u);
    const FileChooserRequest& request = platform.SaveRequests()[0];
    EXPECT_EQ(request.title, "Save data");
    ASSERT_EQ(request.filters.size(), 1);
    EXPECT_EQ(request.filters[0].description, "Txt Files (*.txt) ");
    EXPECT_EQ(request.filters[0].pattern, " *.txt");
    EXPECT_EQ(request.initialFolder, ChooserStart(SaveDataRequest().initialFolder));
    EXPECT_EQ(SaveDataRequest().initialFolder, StartDirectory() + "/database");
}

TEST_F(CommandsFixture, OpenDataAppendsWhatFitsAndReportsTheRest) {
    for (int i = 0; i < 12; ++i) {
        AddTrajectory(true, {0.01 * i, 1, 0}, {0, 1, 0.3});
    }
    platform.QueueSaveFile(InFolder("twelve.txt"));
    commands.SaveDataFile();
    // A copy, since the case's own file is never added to it again.
    ASSERT_TRUE(QFile::copy(InFolder("twelve.txt"), InFolder("copy.txt")));
    platform.QueueOpenFile(InFolder("copy.txt"));
    platform.QueueOpenFile(InFolder("absent.txt"));
    platform.QueueChoice(0); // Add
    const QString start = QDir::currentPath();
    QDir::setCurrent(folder.path());
    commands.OpenDataFile();
    EXPECT_EQ(QDir::currentPath(), start);
    commands.OpenDataFile(); // not asked about: there is no file to add
    ASSERT_EQ(platform.Choices().size(), 1u);
    EXPECT_EQ(platform.Choices()[0].choices, (QStringList{"Add", "Replace", "Cancel"}));
    EXPECT_EQ(theCase.TrajectoryCount(), 20);
    EXPECT_DOUBLE_EQ(theCase.TrajectoryNumbered(20)->in.x, 0.07);
    // The editor's posed case holds what was read.
    EXPECT_EQ(editor.GetPosed().GetTrajectories().size(), 20u);
    ASSERT_EQ(platform.Messages().size(), 2u);
    EXPECT_TRUE(platform.Messages()[0].text.contains("4"));
    EXPECT_TRUE(platform.Messages()[1].text.contains("absent.txt"));
    EXPECT_EQ(platform.OpenRequests()[0].title, "Open data");
    EXPECT_EQ(platform.OpenRequests()[0].initialFolder,
              ChooserStart(OpenDataRequest().initialFolder));
    EXPECT_EQ(OpenDataRequest().initialFolder, StartDirectory() + "/database");
}

TEST_F(CommandsFixture, OpenBodyReplacesTheBodyAndCentresTheScaleSliders) {
    ASSERT_TRUE(WriteTetrahedron(InFolder("small.obj")));
    theCase.body.SetScaleX(1.2);
    editor.Preview();
    commands.GetBodyDialog().SetSavedScaleX(60);
    commands.GetBodyDialog().SetSavedScaleZ(35);
    platform.QueueOpenFile(InFolder("small.obj"));
    commands.OpenBodyFile();
    EXPECT_TRUE(platform.Messages().empty());
    ASSERT_NE(theCase.body.GetModel(), nullptr);
    EXPECT_EQ(theCase.body.GetScaleX(), 1.0);
    EXPECT_EQ(editor.GetPosed().GetCase().body.GetModel(), theCase.body.GetModel());
    EXPECT_EQ(commands.GetBodyDialog().GetSavedScaleX(), 50);
    EXPECT_EQ(commands.GetBodyDialog().GetSavedScaleZ(), 50);
    EXPECT_EQ(platform.ProgressWindowsOpened(), 1);
    EXPECT_FALSE(platform.ProgressWindowOpen());
    const FileChooserRequest& request = platform.OpenRequests()[0];
    EXPECT_EQ(request.title, "Open body");
    // Every format is offered at once, then each on its own.
    EXPECT_EQ(QtPlatform::FilterText(request.filters),
              "Body models (*.obj *.ply *.stl *.glb *.gltf *.off);;Wavefront Files (*.obj);;"
              "Stanford PLY Files (*.ply);;STL Files (*.stl);;glTF Files (*.glb *.gltf);;"
              "OFF Files (*.off)");
    EXPECT_EQ(request.initialFolder, StartDirectory() + "/data");

    // A model that cannot be read is reported; the body and its scales stay.
    const Mesh* before = theCase.body.GetModel();
    theCase.body.SetScaleZ(0.8);
    commands.GetBodyDialog().SetSavedScaleZ(40);
    platform.QueueOpenFile(InFolder("nothing.obj"));
    commands.OpenBodyFile();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Info");
    EXPECT_FALSE(platform.Messages()[0].text.isEmpty());
    EXPECT_EQ(theCase.body.GetModel(), before);
    EXPECT_DOUBLE_EQ(theCase.body.GetScaleZ(), 0.8);
    EXPECT_EQ(commands.GetBodyDialog().GetSavedScaleZ(), 40);
}

TEST_F(CommandsFixture, ScansOpenLikeWavefrontModelsAndACancelKeepsTheBody) {
    const QString meshes = QStringLiteral(RUVO_SOURCE_DIR "/tests/data/meshes/");
    ASSERT_TRUE(WriteTetrahedron(InFolder("small.obj")));
    commands.OpenDocument(InFolder("small.obj"));
    const Mesh* before = theCase.body.GetModel();
    ASSERT_NE(before, nullptr);
    AddTrajectory();

    // Cancel pressed while the scan is read: the body and the case stay, nothing is reported.
    platform.CancelProgressAt(15);
    commands.GetBodyDialog().SetSavedScaleX(66);
    commands.OpenDocument(meshes + "octahedron_le.ply");
    EXPECT_EQ(theCase.body.GetModel(), before);
    EXPECT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_EQ(commands.GetBodyDialog().GetSavedScaleX(), 66);
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_FALSE(platform.ProgressWindowOpen());
    EXPECT_LT(platform.ProgressValues().back(), 40); // stopped before the normals

    // Dropped or chosen, a scan in any letter case replaces the body.
    platform.CancelProgressAt(0);
    commands.OpenDocument(meshes + "octahedron_binary.STL");
    EXPECT_TRUE(platform.Messages().empty());
    ASSERT_NE(theCase.body.GetModel(), before);
    EXPECT_EQ(theCase.body.GetModel()->triangles.size(), 8u);
    platform.QueueOpenFile(meshes + "octahedron.glb");
    commands.OpenBodyFile();
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_FALSE(theCase.body.GetModel()->colors.empty());
    EXPECT_EQ(theCase.TrajectoryCount(), 1);

    // A broken scan: one message naming the file, the body stays.
    before = theCase.body.GetModel();
    commands.OpenDocument(meshes + "truncated.ply");
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Info");
    EXPECT_TRUE(platform.Messages()[0].text.contains("truncated.ply"));
    EXPECT_EQ(theCase.body.GetModel(), before);
}

TEST(BodyLoadBar, CancelEscAndTheCloseBoxAskTheLoadToStop) {
    for (int way = 0; way < 3; ++way) {
        BodyLoadProgressDialog window(nullptr);
        window.SetProgress(15);
        EXPECT_FALSE(window.CancelRequested());
        if (way == 0) {
            Click(window, "Cancel");
        } else if (way == 1) {
            QTest::keyClick(&window, Qt::Key_Escape);
        } else {
            window.close();
        }
        EXPECT_TRUE(window.CancelRequested());
        // The window stays until the load has returned and its owner releases it.
        EXPECT_TRUE(window.isVisible());
    }
}

TEST_F(CommandsFixture, ExportSceneWritesTheChosenFormatAndCancelWritesNothing) {
    platform.QueueSaveFile(InFolder("scene"));
    commands.ExportScene();
    EXPECT_TRUE(QFileInfo::exists(InFolder("scene.glb")));
    EXPECT_EQ(platform.SaveRequests()[0].title, "Export scene");
    platform.QueueSaveFile(InFolder("scene.obj"));
    commands.ExportScene();
    EXPECT_TRUE(QFileInfo::exists(InFolder("scene.obj")));
    EXPECT_TRUE(QFileInfo::exists(InFolder("scene.mtl")));
    commands.ExportScene(); // cancelled
    platform.QueueSaveFile(InFolder("missing/scene.glb"));
    commands.ExportScene();
    // The failure is reported (the chooser may also have said where it opened).
    ASSERT_FALSE(platform.Messages().empty());
    EXPECT_EQ(platform.Messages().back().caption, "Export scene");
    EXPECT_TRUE(platform.Messages().back().text.contains("missing/scene.glb"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 3);
}

TEST_F(CommandsFixture, OpenedDocumentsGoByTheirExtension) {
    ASSERT_TRUE(WriteTetrahedron(InFolder("DROPPED.OBJ")));
    commands.GetBodyDialog().SetSavedScaleX(66);
    commands.OpenDocument(InFolder("DROPPED.OBJ"));
    EXPECT_NE(theCase.body.GetModel(), nullptr);
    EXPECT_EQ(commands.GetBodyDialog().GetSavedScaleX(), 50);
    EXPECT_EQ(platform.ProgressWindowsOpened(), 1);

    AddTrajectory(false);
    platform.QueueSaveFile(InFolder("case.txt"));
    commands.SaveDataFile();
    // The case's own file dropped again is never added to it (it was, doubling the case): the
    // user is asked whether to reload it, here answered Cancel.
    commands.OpenDocument(InFolder("case.txt"));
    ASSERT_EQ(platform.Choices().size(), 1u);
    EXPECT_EQ(platform.Choices()[0].choices, (QStringList{"Reload", "Cancel"}));
    EXPECT_EQ(theCase.TrajectoryCount(), 1);

    commands.OpenDocument(InFolder("photo.png"));
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_TRUE(platform.Messages()[0].text.contains("photo.png"));
    EXPECT_EQ(theCase.TrajectoryCount(), 1);
}

TEST_F(CommandsFixture, SaveImageWritesAJpegAndReportsFailures) {
    platform.QueueSaveFile(InFolder("view"));
    commands.SaveImage();
    QFile image(InFolder("view.jpg"));
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    EXPECT_TRUE(image.read(2) == QByteArray("\xFF\xD8", 2));
    // Without ../images the chooser starts in the start directory, and the user is told.
    const bool imagesThere = QFileInfo("../images").isDir();
    EXPECT_EQ(platform.Messages().size(), imagesThere ? 0u : 1u);
    EXPECT_EQ(platform.SaveRequests()[0].initialFolder,
              imagesThere ? QString("../images") : StartDirectory());
    EXPECT_EQ(SaveImageRequest().initialFolder, "../images");
    const FileChooserRequest& request = platform.SaveRequests()[0];
    EXPECT_EQ(request.title, "Save image");
    ASSERT_EQ(request.filters.size(), 2);
    EXPECT_EQ(request.filters[0].description, "Jpeg Files (*.jpg) ");
    EXPECT_EQ(request.filters[0].pattern, " *.jpg");
    EXPECT_EQ(request.filters[1].description, "All");
    EXPECT_EQ(request.filters[1].pattern, "*.*");

    platform.ClearRecords();
    const QStringList before = QDir(folder.path()).entryList(QDir::Files);
    commands.SaveImage(); // cancelled
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), before);
    EXPECT_FALSE(QFileInfo::exists(".jpg"));
    EXPECT_TRUE(platform.Messages().empty());

    platform.QueueSaveFile(InFolder("no/such/folder/view.jpg"));
    commands.SaveImage();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].caption, "Save image");
    EXPECT_TRUE(platform.Messages()[0].text.contains("no/such/folder/view.jpg"));
}

TEST_F(CommandsFixture, DataSummaryShowsTheReportAndPropertiesRedraw) {
    AddTrajectory(true, {0.1, 1.5, 0.05}, {-0.1, 1.4, 0.2});
    QString shown;
    QString angles;
    WhenModal<DataSummaryDialog>([&shown, &angles](DataSummaryDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Data summary");
        shown = Child<QPlainTextEdit>(d, "textField").toPlainText();
        angles = Child<QLabel>(d, "angleLabel").text();
        Click(d, "okButton");
    });
    commands.DataSummary();
    QString expected = QString::fromStdString(DataSummary::Build(theCase));
    expected.replace("\r\n", "\n");
    EXPECT_EQ(shown, expected);
    // The report's angles are those of the measured points, and the window says so.
    EXPECT_TRUE(shown.contains("Direction angle"));
    EXPECT_EQ(angles, "Direction and elevation angles: anatomical position, as measured.");
    EXPECT_EQ(redraws, 1);
}
