#include "support/BoxBody.h"
#include "support/ExportedScene.h"
#include "support/OldArmPose.h"

#include "base/FileAccess.h"
#include "base/Matrix4.h"
#include "base/ProgramFiles.h"
#include "budget/UncertaintyCone.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "export/GlbSceneWriter.h"
#include "export/ObjSceneWriter.h"
#include "export/SceneExport.h"
#include "export/SceneExportBuilder.h"
#include "mesh/ArrowModels.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/obj/ObjReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A case with every kind of object: a resized and stretched body, a full and a half arrow (one
// adjusted, one carried by a raised arm) and an element.
class ExportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const DefaultModelFiles files;
        ASSERT_TRUE(theCase.body.Load(files.body).ok());
        ASSERT_TRUE(arrows.Load(files.arrow, files.halfArrow).ok());
        theCase.body.SetHeight(1.75);
        theCase.body.SetScaleX(1.1);
        theCase.body.SetScaleZ(0.9);
        Trajectory shot;
        shot.in = {0.1, 1.2, 0.3};
        shot.out = {0.05, 1.1, 0.0};
        shot.exited = true;
        shot.color = {1, 0, 0};
        shot.label = "gun\nshot";
        Trajectory arm;
        arm.in = {-0.2, 1.0, 0.1};
        arm.out = {-0.25, 1.0, 0.05};
        arm.offset.x = 0.01;
        arm.pitchAdjustment = 5;
        theCase.trajectories = {shot, arm};
        OldArm(theCase.body).SetPitch(60);
        Element element;
        element.centre = {0, 1, 0.1};
        element.yaw = 30;
        element.size = {0.1, 0.05, 0.2};
        theCase.elements = {element};
    }

    // For a test of what is written where (targets, names, colours, refusals) the body is only
    // bulk: a box stands in for it, so that each export takes a moment.
    void UseBoxBody() { LoadBoxBody(theCase); }

    // The case as it stands now, posed; the posed mesh is kept while the posture is.
    const PosedCase& Posed() {
        posed = PosedCase(theCase, posed ? &*posed : nullptr);
        return *posed;
    }
    ExportScene Build() { return BuildExportScene(Posed(), arrows, withCones); }
    Status Export(const std::string& path) {
        return ExportSceneFile(Posed(), arrows, path, withCones);
    }

    Case theCase;
    ArrowModels arrows;
    std::optional<PosedCase> posed;
    bool withCones = false; // whether the uncertainty cones are exported
    TemporaryFolder folder;
};

struct Box {
    double min[3] = {1e30, 1e30, 1e30};
    double max[3] = {-1e30, -1e30, -1e30};
    void Add(double x, double y, double z) {
        const double p[3] = {x, y, z};
        for (int axis = 0; axis < 3; ++axis) {
            min[axis] = std::min(min[axis], p[axis]);
            max[axis] = std::max(max[axis], p[axis]);
        }
    }
};

// Triangles and the box of every vertex per named node.
struct NodeSurvey {
    std::map<std::string, unsigned> triangles;
    std::map<std::string, Box> boxes;
};

NodeSurvey SurveyFile(const std::string& path, Box& box) {
    const ExportedScene scene = ReadExportedScene(path);
    EXPECT_EQ(scene.error, "");
    NodeSurvey survey;
    for (const ExportedNode& node : scene.nodes) {
        survey.triangles[node.name] += node.triangles;
        Box& nodeBox = survey.boxes[node.name];
        for (const Vec3& p : node.positions) {
            nodeBox.Add(p.x, p.y, p.z);
            box.Add(p.x, p.y, p.z);
        }
    }
    return survey;
}

// The box of every vertex a node's triangle sets hold, as built for writing.
Box NodeBox(const ExportScene& scene, const std::string& name) {
    Box box;
    for (const ExportNode& node : scene.nodes) {
        for (const ExportPrimitive& primitive : node.primitives) {
            for (std::size_t i = 0; node.name == name && i + 2 < primitive.positions.size();
                 i += 3) {
                box.Add(primitive.positions[i], primitive.positions[i + 1],
                        primitive.positions[i + 2]);
            }
        }
    }
    return box;
}

std::string WrittenName(std::string name, const std::string& path) {
    if (path.ends_with(".obj")) {
        std::replace(name.begin(), name.end(), ' ', '_');
    }
    return name;
}

} // namespace

TEST_F(ExportFixture, ArrowsArePlacedFromTheirEntryTowardTheirExit) {
    const Trajectory& shot = theCase.trajectories[0];
    // The arm pose is at rest for the first trajectory's frame only when the arm is lowered.
    OldArm(theCase.body).SetPitch(90);
    const Matrix4 placement = Posed().TrajectoryNumbered(1)->ArrowTransform();
    const Vec3 tail = placement.TransformPoint({0, 0, 0});
    const Vec3 ahead = placement.TransformPoint({0, 0, -1});
    EXPECT_NEAR(tail.x, 0.1, 1e-6);
    EXPECT_NEAR(tail.y, 1.2, 1e-6);
    EXPECT_NEAR(tail.z, 0.3, 1e-6);
    const Vec3 d = Minus(shot.out, shot.in);
    const double length = std::sqrt(Dot(d, d));
    EXPECT_NEAR(ahead.x - tail.x, d.x / length, 1e-4);
    EXPECT_NEAR(ahead.y - tail.y, d.y / length, 1e-4);
    EXPECT_NEAR(ahead.z - tail.z, d.z / length, 1e-4);
}

// Each exported arrow is its model carried by the posed case's arrow transform: one measured on
// the forearm's part moves with the raised arm, one of an older file with the whole arm, and one
// on the trunk stays.
TEST_F(ExportFixture, AnExportedArrowSitsWhereThePosedCasePutsIt) {
    Trajectory forearm = theCase.trajectories[1];
    forearm.inPart = forearm.outPart = "right_forearm";
    forearm.exited = true;
    theCase.trajectories.push_back(forearm);
    theCase.body.SetJoint(skeleton::Joint::RightShoulder, {0, 0, 70});
    const PosedCase& posedCase = Posed();
    const ExportScene scene = BuildExportScene(posedCase, arrows, withCones);
    for (const PosedTrajectory& track : posedCase.GetTrajectories()) {
        const std::string name =
            "Trajectory " + std::to_string(track.number) + (track.number == 1 ? " (gun shot)" : "");
        SCOPED_TRACE(name);
        const Trajectory& trajectory = *theCase.TrajectoryNumbered(track.number);
        const Mesh& arrow = *arrows.For(trajectory.exited);
        Box expected;
        for (const Vec3f& position : arrow.positions) {
            const Vec3 p = track.ArrowTransform().TransformPoint(ToVec3(position));
            expected.Add(p.x, p.y, p.z);
        }
        const Box written = NodeBox(scene, name);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(written.min[axis], expected.min[axis], 1e-6);
            EXPECT_NEAR(written.max[axis], expected.max[axis], 1e-6);
        }
    }
    // The posture moved the forearm's arrow: the measured IN is far from where it is drawn.
    const Vec3 tail = posedCase.TrajectoryNumbered(3)->ArrowTransform().TransformPoint({});
    const Vec3 moved = Minus(tail, theCase.trajectories[2].in);
    EXPECT_GT(std::sqrt(Dot(moved, moved)), 0.05);
}

TEST_F(ExportFixture, ReimportedScenesKeepEveryNodeItsTrianglesAndTheBox) {
    const ExportScene built = Build();
    std::map<std::string, unsigned> expected;
    Box expectedBox;
    for (const ExportNode& node : built.nodes) {
        for (const ExportPrimitive& primitive : node.primitives) {
            expected[node.name] += static_cast<unsigned>(primitive.indices.size() / 3);
            for (std::size_t i = 0; i + 2 < primitive.positions.size(); i += 3) {
                expectedBox.Add(primitive.positions[i], primitive.positions[i + 1],
                                primitive.positions[i + 2]);
            }
        }
    }
    ASSERT_EQ(expected.size(), 4u);
    EXPECT_EQ(expected.count("Trajectory 1 (gun shot)"), 1u);
    EXPECT_EQ(expected.count("Trajectory 2"), 1u);
    EXPECT_EQ(expected.count("Element 1"), 1u);
    EXPECT_EQ(expected["Body"], theCase.body.GetModel()->triangles.size());
    // The body as drawn: 1.75 m tall, standing on the floor.
    EXPECT_NEAR(expectedBox.min[1], 0.0, 1e-4);

    for (const char* name : {"scene.glb", "scene.obj"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name);
        ASSERT_TRUE(Export(path));
        Box box;
        NodeSurvey survey = SurveyFile(path, box);
        for (const auto& [node, count] : expected) {
            const std::string written = WrittenName(node, path);
            EXPECT_EQ(survey.triangles[written], count) << written;
        }
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(box.min[axis], expectedBox.min[axis], 1e-4);
            EXPECT_NEAR(box.max[axis], expectedBox.max[axis], 1e-4);
        }
    }
    EXPECT_FALSE(Export(folder.File("scene.fbx")));
    EXPECT_FALSE(Export(folder.File("missing/scene.glb")));
}

// A label from an older data file need not be UTF-8, which glTF's JSON requires: the scene is still
// written, each such byte shown as U+FFFD (as the report's JSON shows it), the rest of the label
// kept. Writing it used to end the program.
TEST_F(ExportFixture, LabelsThatAreNotUtf8AreWrittenReadably) {
    UseBoxBody();
    theCase.trajectories[0].label = "Schu\xdf \xe9";
    const std::string glb = folder.File("latin1.glb");
    ASSERT_TRUE(Export(glb));
    Box box;
    const NodeSurvey survey = SurveyFile(glb, box);
    EXPECT_EQ(survey.triangles.count("Trajectory 1 (Schu\xEF\xBF\xBD \xEF\xBF\xBD)"), 1u);
    EXPECT_EQ(survey.triangles.count("Element 1"), 1u);
}

TEST_F(ExportFixture, UncertaintyConesAreExportedWhereTheViewDrawsThemOnlyWhenShown) {
    // A third trajectory whose points lie within the balls' width has no direction and no cone.
    Trajectory undetermined;
    undetermined.in = {0, 1.5, 0.1};
    undetermined.out = {0.005, 1.5, 0.1};
    undetermined.exited = true;
    undetermined.label = "graze";
    theCase.trajectories.push_back(undetermined);
    theCase.trajectories[1].radiusIn = 0.02;

    const std::string obj = folder.File("off.obj");
    const std::string glb = folder.File("off.glb");
    for (const std::string& path : {obj, glb}) {
        ASSERT_TRUE(Export(path));
        Box box;
        for (const auto& [name, count] : SurveyFile(path, box).triangles) {
            EXPECT_FALSE(name.starts_with("Uncertainty")) << name;
        }
    }

    withCones = !withCones; // as View > "Show uncertainty cones" does
    // The frame's cone: its shape carried by the arm pose, moved to the drawn entry point and
    // turned by the direction and elevation, as the arrow is.
    std::map<std::string, Box> expected;
    const PosedCase& posedCase = Posed();
    for (int number = 1; number <= 2; ++number) {
        const std::optional<UncertaintyConeShape> cone = DrawnUncertaintyConeOf(posedCase, number);
        ASSERT_TRUE(cone.has_value());
        const PosedTrajectory& track = *posedCase.TrajectoryNumbered(number);
        const Matrix4 frame = track.arrowAnchor * track.arrowTurn;
        Box& box = expected[number == 1 ? "Uncertainty cone 1 (gun shot)" : "Uncertainty cone 2"];
        for (const Vec3& point : cone->rim) {
            const Vec3 p = frame.TransformPoint(point);
            box.Add(p.x, p.y, p.z);
        }
        const Vec3 apex = frame.TransformPoint(cone->apex);
        box.Add(apex.x, apex.y, apex.z);
    }

    for (const char* name : {"on.glb", "on.obj"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name);
        ASSERT_TRUE(Export(path));
        Box all;
        NodeSurvey survey = SurveyFile(path, all);
        EXPECT_EQ(survey.triangles.count(WrittenName("Uncertainty cone 3 (graze)", path)), 0u);
        for (const auto& [node, box] : expected) {
            const std::string written = WrittenName(node, path);
            ASSERT_EQ(survey.triangles[written], unsigned(kUncertaintyConeSegments)) << written;
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(survey.boxes[written].min[axis], box.min[axis], 1e-4) << written;
                EXPECT_NEAR(survey.boxes[written].max[axis], box.max[axis], 1e-4) << written;
            }
        }
    }
    // Translucent as drawn: the alpha reaches the glTF material (blended) and the MTL.
    const std::string mtl = FileText(folder.File("on.mtl"));
    const std::size_t coneMaterial = mtl.find("newmtl Uncertainty_cone_2\n");
    ASSERT_NE(coneMaterial, std::string::npos);
    EXPECT_EQ(mtl.find("\nd ", coneMaterial), mtl.find("\nd 0.25\n", coneMaterial));
    const ExportedScene imported = ReadExportedScene(folder.File("on.glb"));
    ASSERT_EQ(imported.error, "");
    unsigned blended = 0;
    for (const ExportedMaterial& material : imported.materials) {
        const bool cone = material.name.starts_with("Uncertainty");
        EXPECT_EQ(material.alphaMode == "BLEND", cone) << material.name;
        if (cone) {
            EXPECT_NEAR(material.alpha, kUncertaintyConeAlpha, 1e-6);
            ++blended;
        }
    }
    EXPECT_EQ(blended, 2u);
}

TEST_F(ExportFixture, EveryVertexCarriesAUnitNormalOnItsOutsideSide) {
    withCones = !withCones; // as View > "Show uncertainty cones" does
    const Element& element = theCase.elements[0];
    const Vec3 centre = element.centre;
    // The ellipsoid's own axes: a normal transformed like a position would lean off these.
    const Matrix4 turn = Matrix4::Rotation(element.yaw, 0, 1, 0) *
                         Matrix4::Rotation(element.pitch, 1, 0, 0) *
                         Matrix4::Rotation(element.roll, 0, 0, 1);
    const double semiAxes[3] = {element.size.x / 2, element.size.y / 2, element.size.z / 2};
    std::map<std::string, Vec3> apexes;
    for (const char* name : {"normals.glb", "normals.obj"}) {
        for (int number = 1; number <= 2; ++number) {
            const std::string node =
                number == 1 ? "Uncertainty cone 1 (gun shot)" : "Uncertainty cone 2";
            apexes[WrittenName(node, name)] =
                Posed().TrajectoryNumbered(number)->ArrowTransform().TransformPoint({0, 0, 0});
        }
    }
    for (const char* name : {"normals.glb", "normals.obj"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name);
        ASSERT_TRUE(Export(path));
        const ExportedScene imported = ReadExportedScene(path);
        ASSERT_EQ(imported.error, "");
        std::map<std::string, unsigned> checked;
        for (const ExportedNode& node : imported.nodes) {
            const std::string& nodeName = node.name;
            ASSERT_EQ(node.normals.size(), node.positions.size()) << nodeName;
            for (std::size_t v = 0; v < node.positions.size(); ++v) {
                const Vec3 n = node.normals[v];
                ASSERT_NEAR(Dot(n, n), 1.0, 1e-5) << nodeName;
                const Vec3 p = node.positions[v];
                if (nodeName == "Element_1" || nodeName == "Element 1") {
                    // The gradient of the ellipsoid's equation is its outward normal.
                    const Vec3 local = turn.Inverse()->TransformVector(Minus(p, centre));
                    const Vec3 gradient =
                        turn.TransformVector({local.x / (semiAxes[0] * semiAxes[0]),
                                              local.y / (semiAxes[1] * semiAxes[1]),
                                              local.z / (semiAxes[2] * semiAxes[2])});
                    EXPECT_GT(Dot(n, Minus(p, centre)), 0);
                    EXPECT_NEAR(Dot(n, gradient), std::sqrt(Dot(gradient, gradient)), 1e-3);
                    ++checked["element"];
                } else if (nodeName.starts_with("Uncertainty")) {
                    // Across the side: perpendicular to the line from the apex (the entry).
                    const Vec3 apex = apexes.at(nodeName);
                    const Vec3 side = Minus(p, apex);
                    if (Dot(side, side) > 1e-6) {
                        EXPECT_NEAR(Dot(n, side) / std::sqrt(Dot(side, side)), 0, 1e-4);
                    }
                    ++checked["cone"];
                }
            }
        }
        EXPECT_GT(checked["element"], 0u);
        EXPECT_GT(checked["cone"], 0u);
    }
}

TEST_F(ExportFixture, TheBodyIsExportedWithItsArmPosedAsDrawn) {
    ASSERT_TRUE(theCase.body.HasArmParts());
    const auto bodyBox = [this] { return NodeBox(Build(), "Body"); };
    const Box raised = bodyBox(); // the arm at pitch 60
    Box drawn;
    const Mesh& posedMesh = *Posed().GetBody().GetMesh();
    ASSERT_NE(&posedMesh, theCase.body.GetModel()) << "the raised arm moved the mesh";
    const Matrix4 transform = theCase.body.DrawTransform();
    for (const Vec3f& position : posedMesh.positions) {
        const Vec3 p = transform.TransformPoint(ToVec3(position));
        drawn.Add(p.x, p.y, p.z);
    }
    OldArm(theCase.body).SetPitch(90);
    const Box rest = bodyBox();
    double moved = 0;
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(raised.min[axis], drawn.min[axis], 1e-4);
        EXPECT_NEAR(raised.max[axis], drawn.max[axis], 1e-4);
        moved = std::max({moved, std::fabs(raised.min[axis] - rest.min[axis]),
                          std::fabs(raised.max[axis] - rest.max[axis])});
    }
    EXPECT_GT(moved, 0.01);
}

// The library used to be written before the scene: a scene that could not be replaced left its
// old scene beside a new library, and an export that failed left a stray library.
TEST_F(ExportFixture, AnObjSceneThatCannotBeWrittenLeavesItsLibraryAsItWas) {
    UseBoxBody();
    const std::string scene = folder.File("locked.obj");
    const std::string library = folder.File("locked.mtl");
    WriteText(scene, "old scene");
    WriteText(library, "old library");
    ASSERT_EQ(::chmod(scene.c_str(), 0444), 0);
    const Status locked = Export(scene);
    EXPECT_EQ(locked.message(), "Cannot write the scene \"" + scene + "\": the file is read-only");
    EXPECT_EQ(FileText(scene), "old scene");
    EXPECT_EQ(FileText(library), "old library");

    ASSERT_EQ(::mkdir(folder.File("folder.obj").c_str(), 0700), 0);
    EXPECT_FALSE(Export(folder.File("folder.obj")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("folder.mtl"))) << "no stray library";

    // The library's own failure leaves the scene as it was.
    ASSERT_EQ(::chmod(scene.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(library.c_str(), 0444), 0);
    const Status lockedLibrary = Export(scene);
    EXPECT_EQ(lockedLibrary.message(),
              "Cannot write the scene \"" + library + "\": the file is read-only");
    EXPECT_EQ(FileText(scene), "old scene");
}

// The file API's own codes used to be put into words by strerror: "Unknown error 65537".
TEST_F(ExportFixture, ScenesOntoWhatCannotBeReplacedSayWhyInWords) {
    UseBoxBody();
    for (const char* extension : {".glb", ".obj"}) {
        SCOPED_TRACE(extension);
        const std::string fifo = folder.File(std::string("pipe") + extension);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const std::string full = folder.File(std::string("full") + extension);
        ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
        const std::string subfolder = folder.File(std::string("folder") + extension);
        ASSERT_EQ(::mkdir(subfolder.c_str(), 0700), 0);
        const std::string locked = folder.File(std::string("locked") + extension);
        WriteText(locked, "evidence");
        ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
        const std::pair<std::string, std::string> targets[] = {{fifo, "not a regular file"},
                                                               {full, "not a regular file"},
                                                               {subfolder, "not a regular file"},
                                                               {locked, "the file is read-only"}};
        for (const auto& [target, reason] : targets) {
            EXPECT_EQ(Export(target).message(),
                      "Cannot write the scene \"" + target + "\": " + reason);
        }
        EXPECT_EQ(FileText(locked), "evidence");
    }
}

// A colour far beyond 1 (an older file, a hand-edited one) used to be written as "inf".
TEST_F(ExportFixture, ColoursBeyondZeroToOneAreWrittenClamped) {
    UseBoxBody();
    theCase.trajectories[0].color = {1e300, 0.5, -3};
    theCase.elements[0].color = {-1e300, 2, 0.25};
    const std::string obj = folder.File("colours.obj");
    const std::string glb = folder.File("colours.glb");
    ASSERT_TRUE(Export(obj));
    ASSERT_TRUE(Export(glb));
    const std::string mtl = FileText(folder.File("colours.mtl"));
    EXPECT_EQ(mtl.find("inf"), std::string::npos) << mtl;
    const std::size_t arrow = mtl.find("newmtl Trajectory_1__gun_shot_");
    ASSERT_NE(arrow, std::string::npos) << mtl;
    EXPECT_EQ(mtl.find("\nKd ", arrow), mtl.find("\nKd 1 0.5 0\n", arrow));
    const std::size_t element = mtl.find("newmtl Element_1\n");
    ASSERT_NE(element, std::string::npos) << mtl;
    EXPECT_EQ(mtl.find("\nKd ", element), mtl.find("\nKd 0 1 0.25\n", element));

    const ExportedScene scene = ReadExportedScene(glb);
    ASSERT_EQ(scene.error, "");
    std::map<std::string, std::vector<double>> colours;
    for (const ExportedMaterial& material : scene.materials) {
        colours[material.name] = material.baseColor;
    }
    ASSERT_EQ(colours.count("Element 1"), 1u);
    EXPECT_EQ(colours["Element 1"], (std::vector<double>{0, 1, 0.25, 1}));
    const auto arrowMaterial = std::find_if(colours.begin(), colours.end(), [](const auto& entry) {
        return entry.first.starts_with("Trajectory 1 (gun shot)");
    });
    ASSERT_NE(arrowMaterial, colours.end());
    EXPECT_EQ(arrowMaterial->second, (std::vector<double>{1, 0.5, 0, 1}));
}

// A NaN angle (a NaN adjustment, a NaN element pose) put NaN into every vertex of the object,
// and the export said it had succeeded.
TEST_F(ExportFixture, ANonFiniteAngleRefusesTheExportNamingTheObject) {
    UseBoxBody();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    theCase.trajectories[0].yawAdjustment = nan;
    for (const char* name : {"nan.glb", "nan.obj"}) {
        const std::string path = folder.File(name);
        EXPECT_EQ(Export(path).message(),
                  "Cannot write the scene \"" + path +
                      "\": \"Trajectory 1 (gun shot)\" has a vertex position that is not a "
                      "finite number");
    }
    theCase.trajectories[0].yawAdjustment = 0;
    theCase.elements[0].yaw = nan;
    const std::string path = folder.File("nan.glb");
    EXPECT_EQ(Export(path).message(),
              "Cannot write the scene \"" + path +
                  "\": \"Element 1\" has a vertex position that is not a finite number");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(folder.File("nan.obj")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("nan.mtl")));
}

// The writers are the last guard: a mesh whose reader let a NaN through is not written either.
TEST(SceneWriters, RefuseAVertexThatIsNotFinite) {
    TemporaryFolder folder;
    ExportScene scene;
    ExportPrimitive triangle;
    triangle.materialName = "Body skin";
    triangle.positions = {0, 0, 0, 1, 0, 0, 0, std::numeric_limits<float>::quiet_NaN(), 0};
    triangle.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    triangle.indices = {0, 1, 2};
    scene.nodes.push_back({"Body", {triangle}});
    const std::string glb = folder.File("body.glb");
    const std::string obj = folder.File("body.obj");
    const std::string reason = "\"Body\" has a vertex position that is not a finite number";
    EXPECT_EQ(WriteGlbScene(scene, glb, "test").message(),
              "Cannot write the scene \"" + glb + "\": " + reason);
    EXPECT_EQ(WriteObjScene(scene, obj, "test").message(),
              "Cannot write the scene \"" + obj + "\": " + reason);
    EXPECT_EQ(EncodeGltfScene(scene, "test", false), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "nothing is written";

    scene.nodes[0].primitives[0].positions[7] = 1;
    scene.nodes[0].primitives[0].colors.assign(12, 0.5f);
    scene.nodes[0].primitives[0].colors[5] = std::numeric_limits<float>::infinity();
    EXPECT_EQ(WriteObjScene(scene, obj, "test").message(),
              "Cannot write the scene \"" + obj +
                  "\": \"Body\" has a vertex colour that is not a finite number");
}

// The scene model goes out whole where the view draws it: placed in the scene by its own
// placement, seen from the body placed by the body's; and only while the view shows it.
TEST(SceneModelExport, TheSceneModelIsWrittenWhereTheViewDrawsItOnlyWhenShown) {
    Case theCase;
    ObjReadResult read =
        ReadObjFromMemory("v 0 0 0\nv 1 0 0\nv 0 2 0\nf 1 2 3\n", "room.obj",
                          [](const std::string&) { return std::optional<std::string>(); });
    ASSERT_TRUE(read.mesh) << read.error;
    ComputeFacetNormals(*read.mesh);
    ComputeVertexNormals(*read.mesh, 30.0f);
    CaseWorld& world = theCase.world;
    world.sceneMesh = std::shared_ptr<const Mesh>(std::move(read.mesh));
    world.sceneModelFile = "/cases/17/room.obj";
    world.scene = {0, 0, 3, 0}; // the room 3 m along the scene's +Z
    world.body = {2, 0, 0, 90}; // the body 2 m along +X, its +Z turned toward +X

    const auto named = [](const ExportScene& scene) {
        return std::find_if(scene.nodes.begin(), scene.nodes.end(), [](const ExportNode& node) {
            return node.name == "Scene model (room.obj)";
        });
    };
    const ExportScene shown = BuildExportScene(PosedCase(theCase), ArrowModels(), false);
    const auto node = named(shown);
    ASSERT_NE(node, shown.nodes.end());
    ASSERT_EQ(node->primitives.size(), 1u);
    const std::vector<float>& p = node->primitives[0].positions;
    ASSERT_EQ(p.size(), 9u);
    // Scene point (1, 0, 3) is 1 m short of the body along -X and 3 m along +Z: the body, turned
    // by 90, has its +Z along the scene's +X and its +X along the scene's -Z.
    const std::array<std::array<float, 3>, 3> expected = {{{-3, 0, -2}, {-3, 0, -1}, {-3, 2, -2}}};
    for (size_t v = 0; v < 3; ++v) {
        for (size_t axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(p[3 * v + axis], expected[v][axis], 1e-5)
                << "vertex " << v << " axis " << axis;
        }
    }
    const ExportScene hidden = BuildExportScene(PosedCase(theCase), ArrowModels(), false, false);
    EXPECT_EQ(named(hidden), hidden.nodes.end());
}

TEST(SceneWriters, NamesCarryNoNulNorALineBreakIntoTheFile) {
    TemporaryFolder folder;
    ExportScene scene;
    ExportPrimitive triangle;
    triangle.materialName = "Trajectory 1";
    triangle.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    triangle.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    triangle.indices = {0, 1, 2};
    const std::string label("Trajectory 1 (a\0b\r\nv 9 9 9\x1b)", 28);
    scene.nodes.push_back({label, {triangle}});
    // glTF: the whole name, the NUL as U+FFFD, the line break kept as JSON writes it.
    const std::string gltf = EncodeGltfScene(scene, "test", false);
    EXPECT_NE(gltf.find("Trajectory 1 (a\xef\xbf\xbd"
                        "b\\r\\nv 9 9 9\\u001b)"),
              std::string::npos)
        << gltf;
    EXPECT_EQ(gltf.find("\\u0000"), std::string::npos);
    // OBJ: the object name stays one word on its line; no vertex line is forged.
    const std::string obj = folder.File("named.obj");
    ASSERT_TRUE(WriteObjScene(scene, obj, "test").ok());
    std::string text;
    ASSERT_EQ(ReadWholeFile(obj, text), 0);
    EXPECT_NE(text.find("o Trajectory_1_(a_b__v_9_9_9_)\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("v 9 9 9"), std::string::npos) << text;
    EXPECT_EQ(text.find('\0'), std::string::npos);
}
