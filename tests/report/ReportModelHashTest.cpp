#include "support/BoxBody.h"

#include "case/Case.h"
#include "case/PosedCase.h"
#include "report/ReportHtml.h"
#include "report/ReportJson.h"
#include "world/SceneModelFile.h"

#include <QCryptographicHash>
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Independent of the readers' own SHA-256.
std::string QtSha256Of(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// A wall 4 m wide and 3 m tall, 1 m behind the body's back.
constexpr const char* kWallObj = "v -2 0 -1\nv 2 0 -1\nv 2 3 -1\nv -2 3 -1\nf 1 2 3\nf 1 3 4\n";

// As a copy or an editor's save does: a new file renamed over the old name.
void ReplaceByRenaming(const std::string& path, const std::string& text) {
    WriteText(path + ".new", text);
    ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
}

} // namespace

// The body model and the scene model replaced after the case was read and before the report is
// written: the report cites the SHA-256 of the bytes the models were read from, never the files
// as they are by the time it is written.
TEST(ReportModelHashTest, ModelsReplacedAfterReadingAreCitedByTheBytesRead) {
    TemporaryFolder folder;
    const std::string bodyPath = folder.File("body.obj");
    const std::string scenePath = folder.File("room.obj");
    WriteText(bodyPath, kBoxObj);
    WriteText(scenePath, kWallObj);
    Case theCase;
    ASSERT_TRUE(theCase.body.Load(bodyPath).ok());
    theCase.bodyModelFile = bodyPath;
    ASSERT_TRUE(ReplaceSceneModel(theCase, scenePath).ok());

    ReplaceByRenaming(bodyPath, std::string(kBoxObj) + "# replaced\n");
    WriteText(scenePath, std::string(kWallObj) + "f 2 3 4\n"); // rewritten in place
    const CaseReport report = GatherCaseReport(PosedCase(theCase), {});

    EXPECT_EQ(report.bodyModel.name, "body.obj");
    EXPECT_EQ(report.bodyModel.sha256, QtSha256Of(kBoxObj));
    EXPECT_EQ(report.origin.sceneModelSha256, QtSha256Of(kWallObj));
    std::string text;
    ASSERT_TRUE(FormatReportJson(report, text).ok());
    const nlohmann::json json = nlohmann::json::parse(text);
    EXPECT_EQ(json["body"]["model"]["sha256"], QtSha256Of(kBoxObj));
    EXPECT_EQ(json["scene_model"]["file"], "room.obj");
    EXPECT_EQ(json["scene_model"]["sha256"], QtSha256Of(kWallObj));
    const std::string html =
        FormatReportHtml(report, {}, [](const std::string&) { return std::string(); });
    EXPECT_NE(html.find(QtSha256Of(kBoxObj)), std::string::npos);
    EXPECT_NE(html.find(QtSha256Of(kWallObj)), std::string::npos);
    EXPECT_EQ(html.find(QtSha256Of(FileText(scenePath))), std::string::npos);
}

// A body whose model was made in memory, not read from the file the case names, has no digest to
// cite: the report says so rather than hashing whatever that file holds now.
TEST(ReportModelHashTest, ModelNotReadFromItsFileIsNotHashedFromTheFile) {
    TemporaryFolder folder;
    Case theCase;
    auto mesh = std::make_unique<Mesh>();
    mesh->positions = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {0, 0, 1}};
    mesh->triangles = {MeshTriangle{{0, 1, 2}}, MeshTriangle{{0, 2, 3}}, MeshTriangle{{0, 3, 1}}};
    mesh->groups = {MeshGroup{"default", {0, 1, 2}}};
    ASSERT_TRUE(theCase.body.LoadMesh(std::move(mesh)).ok());
    theCase.bodyModelFile = folder.File("other.obj");
    WriteText(theCase.bodyModelFile, kBoxObj);
    const CaseReport report = GatherCaseReport(PosedCase(theCase), {});
    EXPECT_EQ(report.bodyModel.name, "other.obj");
    EXPECT_FALSE(report.bodyModel.sha256);
    EXPECT_EQ(report.bodyModel.problem, "no model was read from it");
    // No scene model: the report's JSON keeps the keys it always had.
    std::string text;
    ASSERT_TRUE(FormatReportJson(report, text).ok());
    EXPECT_FALSE(nlohmann::json::parse(text).contains("scene_model"));
}
