#include "body/Body.h"
#include "body/PosedBody.h"
#include "body/PostureAlignment.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "case/WoundAlignment.h"
#include "casefile/DataFile.h"
#include "support/OldArmPose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>

using skeleton::Joint;

namespace {

std::string DefaultModel() {
    return RUVO_SOURCE_DIR "/data/default/man1.obj";
}

double Distance(const Vec3& a, const Vec3& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vec3 LandmarkAt(const Body& body, const std::string& name) {
    const LandmarkTable table = body.DrawnLandmarks();
    for (const Landmark& l : table.GetLandmarks()) {
        if (l.name == name) {
            return l.position;
        }
    }
    ADD_FAILURE() << "no landmark " << name;
    return {};
}

// A mesh vertex where the body draws it; `drawn` is the body's draw transform, computed once by
// the caller for every vertex it places.
Vec3 MeshVertex(const Matrix4& drawn, const Mesh& mesh, uint32_t v) {
    return drawn.TransformPoint(ToVec3(mesh.positions[v]));
}

// One default body for the whole suite (reading it takes a moment); each test poses a copy.
class PostureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        shared = std::make_unique<Case>();
        ASSERT_TRUE(shared->body.Load(DefaultModel()).ok());
    }
    static void TearDownTestSuite() { shared.reset(); }
    void SetUp() override { body = shared->body; }

    // Where the body in its posture carries a measured point of the named part.
    Vec3 Posed(const Vec3& point, std::string_view part) const {
        return PosedBody(body).PosePoint(point, part);
    }

    // A shot through the right forearm with the arm raised forward and out and the elbow bent:
    // `theCase` takes the body in that posture; IN and the exit from the forearm are measured at
    // rest, and posedIn and posedExit are where the posture carries them.
    struct ForearmShot {
        Posture known;
        Vec3 in, exitArm, posedIn, posedExit;
        // Along the posed forearm track, beyond its exit, `k` times its length.
        Vec3 Beyond(double k) const {
            const Vec3 d = Minus(posedExit, posedIn);
            return {posedExit.x + k * d.x, posedExit.y + k * d.y, posedExit.z + k * d.z};
        }
    };
    ForearmShot RaisedForearmShot(Case& theCase) const {
        ForearmShot shot;
        theCase.body = body;
        shot.known.Set(Joint::RightShoulder, {0, 50, 25});
        shot.known.Set(Joint::RightElbow, {0, 60, 0});
        theCase.body.SetPosture(shot.known);
        const Vec3 wrist = PartCentres().at("right_forearm");
        shot.in = {wrist.x - 0.03, wrist.y, wrist.z};
        shot.exitArm = {wrist.x + 0.03, wrist.y + 0.005, wrist.z - 0.01};
        const PosedBody posed(theCase.body);
        shot.posedIn = posed.PosePoint(shot.in, "right_forearm");
        shot.posedExit = posed.PosePoint(shot.exitArm, "right_forearm");
        return shot;
    }

    // The centre of a triangle of each part, far from its borders as the mesh allows: the
    // triangle whose centre is nearest the centre of all the part's triangles.
    std::map<std::string, Vec3> PartCentres() const {
        const Mesh& mesh = *body.GetModel();
        const MeshParts& parts = body.GetModelParts();
        const Matrix4 drawn = body.DrawTransform();
        std::vector<std::pair<Vec3, int>> sums(parts.names.size());
        std::vector<Vec3> centres(mesh.triangles.size());
        for (size_t t = 0; t < mesh.triangles.size(); ++t) {
            const auto& v = mesh.triangles[t].position;
            const Vec3 a = MeshVertex(drawn, mesh, v[0]), b = MeshVertex(drawn, mesh, v[1]),
                       c = MeshVertex(drawn, mesh, v[2]);
            centres[t] = {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
            auto& [sum, count] = sums[parts.triangleParts[t]];
            sum = {sum.x + centres[t].x, sum.y + centres[t].y, sum.z + centres[t].z};
            ++count;
        }
        // Each part's triangle nearest to its mean, the first in file order on a tie.
        std::vector<double> best(parts.names.size(), 1e9);
        std::map<std::string, Vec3> result;
        for (size_t t = 0; t < mesh.triangles.size(); ++t) {
            const uint32_t part = parts.triangleParts[t];
            const auto& [sum, count] = sums[part];
            const Vec3 mean = {sum.x / count, sum.y / count, sum.z / count};
            if (Distance(centres[t], mean) < best[part]) {
                best[part] = Distance(centres[t], mean);
                result[parts.names[part]] = centres[t];
            }
        }
        return result;
    }

    static std::unique_ptr<Case> shared;
    Body body;
};

std::unique_ptr<Case> PostureTest::shared;

} // namespace

TEST_F(PostureTest, EveryPointsPartIsFoundOnEveryPartAndOnTheSeams) {
    const std::map<std::string, Vec3> centres = PartCentres();
    ASSERT_EQ(centres.size(), skeleton::kPartNames.size());
    for (const auto& [name, point] : centres) {
        EXPECT_EQ(body.PartNearest(point), name);
        // A few millimetres off the skin, inside or out, the part is the same.
        EXPECT_EQ(body.PartNearest({point.x, point.y, point.z + 0.003}), name);
    }
    // On a seam the point belongs to one of the two parts it joins.
    const Mesh& mesh = *body.GetModel();
    const MeshParts& parts = body.GetModelParts();
    const Matrix4 drawn = body.DrawTransform();
    std::map<uint32_t, std::set<std::string>> partsOfVertex;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        for (const uint32_t v : mesh.triangles[t].position) {
            partsOfVertex[v].insert(parts.names[parts.triangleParts[t]]);
        }
    }
    std::set<std::set<std::string>> seamsSeen;
    for (const auto& [vertex, names] : partsOfVertex) {
        if (names.size() == 2 && seamsSeen.insert(names).second) {
            const std::string found = body.PartNearest(MeshVertex(drawn, mesh, vertex));
            EXPECT_TRUE(names.count(found)) << found;
        }
    }
    EXPECT_GE(seamsSeen.size(), 9u); // head-trunk, 4 limbs at the trunk, 2 elbows, 2 knees
    // A model without parts puts every point on the trunk.
    EXPECT_EQ(Body().PartNearest({0, 1, 0}), "trunk");
}

TEST_F(PostureTest, ALimbPosedMovesItsOwnPartsAndNeverTheTrunk) {
    const std::map<std::string, Vec3> centres = PartCentres();
    // Trunk points near every limb's border: the shoulders, the hips, the groin, the neck.
    const std::vector<Vec3> trunk = {
        centres.at("trunk"),
        LandmarkAt(body, "right acromion"),
        LandmarkAt(body, "left acromion"),
        LandmarkAt(body, "right iliac crest"),
        LandmarkAt(body, "left anterior superior iliac spine"),
        LandmarkAt(body, "right buttock"),
        LandmarkAt(body, "jugular notch"),
    };
    Posture arms;
    for (Joint joint : {Joint::RightShoulder, Joint::RightElbow, Joint::LeftShoulder,
                        Joint::LeftElbow, Joint::Neck}) {
        arms.Set(joint, {10, 40, 20});
    }
    body.SetPosture(arms);
    for (const Vec3& p : trunk) {
        EXPECT_EQ(Distance(Posed(p, "trunk"), p), 0.0);
    }
    for (const char* part : {"right_forearm", "left_arm", "head"}) {
        EXPECT_GT(Distance(Posed(centres.at(part), part), centres.at(part)), 0.02) << part;
    }
    // Legs posed: the trunk is only set down (one knee bent lifts a foot, the other leg stands
    // bent), never turned: every trunk point moves by the same vertical step.
    Posture legs;
    legs.Set(Joint::RightKnee, {0, 60, 0});
    legs.Set(Joint::LeftHip, {5, 30, 10});
    legs.Set(Joint::LeftKnee, {0, 30, 0});
    body.SetPosture(legs);
    const Vec3 first = Posed(trunk[0], "trunk");
    const double step = first.y - trunk[0].y;
    for (const Vec3& p : trunk) {
        const Vec3 moved = Posed(p, "trunk");
        EXPECT_NEAR(moved.x, p.x, 1e-12);
        EXPECT_NEAR(moved.y - p.y, step, 1e-12);
        EXPECT_NEAR(moved.z, p.z, 1e-12);
    }
}

TEST_F(PostureTest, AForearmPointFollowsTheElbowAndTheShoulder) {
    const Vec3 wrist = PartCentres().at("right_forearm");
    Posture posture;
    posture.Set(Joint::RightElbow, {0, 60, 0});
    body.SetPosture(posture);
    const Vec3 bent = Posed(wrist, "right_forearm");
    // Far from the elbow's band the point turns rigidly with the forearm.
    const Vec3 rigid =
        PosedBody(body).SegmentTransform(skeleton::Segment::RightForearm).TransformPoint(wrist);
    EXPECT_LT(Distance(bent, rigid), 1e-9);
    EXPECT_GT(bent.z, wrist.z + 0.1); // the elbow flexes forward
    // The elbow itself stays put when only it turns, and the distance from it is kept.
    const Vec3 elbow = body.RestElbow();
    EXPECT_NEAR(Distance(bent, elbow), Distance(wrist, elbow), 1e-9);

    posture.Set(Joint::RightShoulder, {0, 0, 45});
    body.SetPosture(posture);
    const Vec3 raised = Posed(wrist, "right_forearm");
    EXPECT_LT(raised.x, bent.x - 0.1); // abduction swings the whole arm out to the right
    const Vec3 shoulder = body.GetPivots()[Joint::RightShoulder];
    EXPECT_NEAR(Distance(raised, shoulder), Distance(bent, shoulder), 1e-9);
    // The same point called an upper-arm point would not bend at the elbow.
    EXPECT_GT(Distance(Posed(wrist, "right_arm"), raised), 0.05);
}

TEST_F(PostureTest, JointLimitsHoldAndAFileCannotBendAKneeBackward) {
    Posture posture;
    posture.Set(Joint::RightKnee, {0, -10, 0});
    posture.Set(Joint::LeftKnee, {0, 170, 0});
    EXPECT_EQ(posture.FirstAngleBeyondLimits(), "right knee pitch -10.0 (0.0 to 150.0)");
    const Posture clamped = posture.Clamped();
    EXPECT_EQ(clamped.Get(Joint::RightKnee).pitch, 0);
    EXPECT_EQ(clamped.Get(Joint::LeftKnee).pitch, 150);
    EXPECT_FALSE(clamped.FirstAngleBeyondLimits().has_value());
    for (const std::string& name : Posture::PresetNames()) {
        EXPECT_FALSE(Posture::Preset(name)->FirstAngleBeyondLimits().has_value()) << name;
        EXPECT_EQ(Posture::Preset(name)->GetName(), name);
    }
    EXPECT_FALSE(Posture::Preset("crouching").has_value());

    Case theCase;
    theCase.body = body;
    const DataFileReadResult read = DataFile::ReadText(
        theCase,
        "<root><body>\r\n<height>2</height>\r\n<pose>right_knee 0 -20 0</pose>\r\n"
        "<pose>left_knee 0 400 3</pose>\r\n<pose>body 0 -90 0</pose>\r\n</body></root>\r\n");
    const Posture& readPosture = theCase.body.GetPosture();
    EXPECT_EQ(readPosture.Get(Joint::RightKnee), (JointAngles{0, 0, 0}));
    EXPECT_EQ(readPosture.Get(Joint::LeftKnee), (JointAngles{0, 150, 3}));
    EXPECT_EQ(readPosture.GetBodyTurn(), (JointAngles{0, -90, 0}));
    ASSERT_EQ(read.ReadingNotes().size(), 2u);
    EXPECT_NE(read.ReadingNotes()[0].find("right knee pitch -20.0"), std::string::npos);
}

TEST_F(PostureTest, KneelingPutsTheKneesOnTheFloorAndLowersTheChestByTheShank) {
    const Vec3 nipple = LandmarkAt(body, "right nipple");
    const Vec3 patella = LandmarkAt(body, "right patella");
    body.SetPosture(*Posture::Preset("kneeling"));
    const Vec3 kneeling = Posed(nipple, "trunk");
    // The lowest point of the kneeling body is at the knee, on the floor.
    const PosedBody posedBody(body);
    const Mesh& posed = *posedBody.GetMesh();
    float lowest = 1e9f;
    uint32_t lowestVertex = 0;
    for (uint32_t v = 0; v < posed.positions.size(); ++v) {
        if (posed.positions[v].y < lowest) {
            lowest = posed.positions[v].y;
            lowestVertex = v;
        }
    }
    EXPECT_NEAR(MeshVertex(body.DrawTransform(), posed, lowestVertex).y, 0.0, 1e-6);
    const Vec3 restOfLowest = MeshVertex(body.DrawTransform(), *body.GetModel(), lowestVertex);
    EXPECT_LT(Distance(restOfLowest, patella), 0.12) << "the lowest point lies at the knee";
    // The chest comes down by the shank: the knee's height less the knee's own thickness.
    const double drop = nipple.y - kneeling.y;
    EXPECT_GT(drop, patella.y - 0.10);
    EXPECT_LT(drop, patella.y + 0.01);
    EXPECT_NEAR(kneeling.x, nipple.x, 1e-9);
    EXPECT_NEAR(kneeling.z, nipple.z, 1e-9);
}

TEST_F(PostureTest, EveryPresetKeepsTheSkinClosedAndStandsOnTheFloor) {
    const Mesh& rest = *body.GetModel();
    for (const std::string& name : Posture::PresetNames()) {
        SCOPED_TRACE(name);
        body.SetPosture(*Posture::Preset(name));
        const PosedBody posedBody(body);
        const Mesh& posed = *posedBody.GetMesh();
        float lowest = 1e9f;
        for (const Vec3f& p : posed.positions) {
            lowest = std::min(lowest, p.y);
        }
        EXPECT_NEAR(body.DrawTransform().TransformPoint({0, lowest, 0}).y, 0.0, 1e-6);
        // The posed mesh uses the same triangles, so the surface stays closed as long as no
        // edge tears: the bands at the hips and shoulders stretch edges of under a centimetre
        // to a few centimetres at a right angle, where a tear would span the gap between parts.
        int torn = 0;
        double worst = 0;
        Vec3 worstAt;
        // The default body is drawn at its own height, so the mesh's units are metres.
        const auto raw = [](const Mesh& mesh, uint32_t v) { return ToVec3(mesh.positions[v]); };
        for (const MeshTriangle& t : rest.triangles) {
            for (int c = 0; c < 3; ++c) {
                const uint32_t a = t.position[c], b = t.position[(c + 1) % 3];
                const double after = Distance(raw(posed, a), raw(posed, b));
                torn += !(after < 0.08);
                if (after > worst) {
                    worst = after;
                    worstAt = MeshVertex(body.DrawTransform(), rest, a);
                }
            }
        }
        EXPECT_EQ(torn, 0) << "longest edge " << worst << " m, at " << worstAt.x << " " << worstAt.y
                           << " " << worstAt.z;
    }
}

TEST_F(PostureTest, OlderFilesReadAndDrawAsBefore) {
    // A first-version file: no with-arm line (every trajectory then followed the arm) and the
    // arm raised. Its trajectories keep the arm rule and are drawn as the arm carries them.
    Case posedCase;
    posedCase.body = body;
    const std::string trajectoryBlock = "<trajectory>\r\n<x1>0.05</x1>\r\n<y1>1.4</y1>\r\n"
                                        "<z1>0.27</z1>\r\n<x2>0.05</x2>\r\n<y2>1.4</y2>\r\n"
                                        "<z2>0.02</z2>\r\n</trajectory>\r\n";
    DataFile::ReadText(posedCase, "<root><body>\r\n<height>2</height>\r\n"
                                  "<pose>arm 0 40 0</pose>\r\n</body>\r\n" +
                                      trajectoryBlock + "</root>\r\n");
    const Trajectory& legacy = posedCase.trajectories.at(0);
    EXPECT_FALSE(legacy.HasParts());
    const PosedCase posed(posedCase);
    const PosedTrajectory& track = *posed.TrajectoryNumbered(1);
    const Matrix4 carried = posed.GetBody().SegmentTransform(skeleton::Segment::RightUpperArm) *
                            Matrix4::Translation(0.05, 1.4, 0.27) * track.arrowTurn;
    const Matrix4 drawn = track.ArrowTransform();
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(drawn.Data()[i], carried.Data()[i], 1e-12);
    }
    // Its arrow is turned as measured, and its posed points are the arm's.
    EXPECT_NEAR(track.arrowTurn.Data()[0],
                Matrix4::Rotation(ArrowYaw(legacy.in, legacy.out), 0, 1, 0).Data()[0], 1e-12);
    ASSERT_TRUE(track.olderFilePose.has_value());
    EXPECT_LT(Distance(track.in, track.olderFilePose->TransformPoint(legacy.in)), 1e-12);
    EXPECT_NE(DataFile::Format(posedCase).find("<witharm>true</witharm>"), std::string::npos);

    // The same file standing: the trajectory gets the parts under its points, drawn where they
    // are, and is written with them from now on.
    Case standing;
    standing.body = body;
    DataFile::ReadText(standing, "<root><body>\r\n<height>2</height>\r\n</body>\r\n" +
                                     trajectoryBlock + "</root>\r\n");
    const Trajectory& assigned = standing.trajectories.at(0);
    EXPECT_EQ(assigned.inPart, "trunk");
    EXPECT_EQ(assigned.outPart, "trunk");
    const std::string written = DataFile::Format(standing);
    EXPECT_NE(written.find("  <inpart>trunk</inpart>\r\n  <outpart>trunk</outpart>\r\n"),
              std::string::npos);
    EXPECT_EQ(written.find("<witharm>"), std::string::npos);

    // A second-version file says whether each trajectory follows the arm: it keeps that.
    Case second;
    second.body = body;
    DataFile::ReadText(second, "<root><body>\r\n<height>2</height>\r\n</body>\r\n"
                               "<trajectory>\r\n<x1>0.05</x1>\r\n<witharm>false</witharm>\r\n"
                               "</trajectory>\r\n</root>\r\n");
    EXPECT_FALSE(second.trajectories.at(0).HasParts());
    EXPECT_FALSE(second.trajectories.at(0).withArm);
}

TEST_F(PostureTest, APosedCaseRoundTripsAndItsTrackIsThePosedOne) {
    Case theCase;
    theCase.body = body;
    Trajectory forearm;
    forearm.exited = true;
    const Vec3 wrist = PartCentres().at("right_forearm");
    forearm.in = {wrist.x, wrist.y, wrist.z + 0.03};
    forearm.out = {wrist.x, wrist.y, wrist.z - 0.03};
    forearm.inPart = forearm.outPart = "right_forearm";
    theCase.trajectories.push_back(forearm);
    Posture posture = *Posture::Preset("arms raised");
    posture.Set(Joint::Trunk, {5, 10, -3});
    theCase.body.SetPosture(posture);
    const std::string text = DataFile::Format(theCase);
    EXPECT_NE(text.find("   <posture>custom</posture>\r\n"), std::string::npos);
    EXPECT_NE(text.find("   <pose>trunk  5.00 10.00 -3.00</pose>\r\n"), std::string::npos);

    Case reopened;
    reopened.body = shared->body;
    const DataFileReadResult read = DataFile::ReadText(reopened, text);
    EXPECT_TRUE(read.ReadingNotes().empty());
    EXPECT_EQ(reopened.body.GetPosture(), posture);
    EXPECT_EQ(reopened.trajectories.at(0).inPart, "right_forearm");
    EXPECT_EQ(DataFile::Format(reopened), text);

    // The arms are raised: the forearm track now lies above the head, and the arrow is drawn on it.
    const PosedCase posed(reopened);
    const PosedTrajectory& track = posed.GetTrajectories().at(0);
    EXPECT_GT(track.in.y, 1.9);
    const Vec3 anchor = track.arrowAnchor.TransformPoint({0, 0, 0});
    EXPECT_LT(Distance(anchor, track.in), 1e-9);
    // Both angles are kept: the measured track's and the posed one's.
    EXPECT_EQ(track.anatomical, AnglesOfTrack(forearm.in, forearm.out));
    EXPECT_EQ(track.posed, AnglesOfTrack(track.in, track.out));
    // The arm raised over the head turns the front-to-back track through the forearm around.
    EXPECT_GT(std::fabs(WrapBearing(track.posed.direction - track.anatomical.direction) - 180), 0);
    EXPECT_NEAR(WrapBearing(track.posed.direction - track.anatomical.direction), 180, 30);
}

TEST_F(PostureTest, APointMovesRigidlyWithItsBoneAndTwoPointsOfOnePartKeepTheirDistance) {
    // Two points on the right upper arm near the armpit, where the skin blends into the trunk:
    // abducting the shoulder must not stretch the track between them.
    const Vec3 acromion = LandmarkAt(body, "right acromion");
    const Vec3 a = {acromion.x - 0.01, acromion.y - 0.08, acromion.z + 0.02};
    const Vec3 b = {acromion.x + 0.02, acromion.y - 0.14, acromion.z - 0.04};
    for (double abduction : {0.0, 45.0, 78.0, 150.0}) {
        Posture posture;
        posture.Set(Joint::RightShoulder, {10, 20, abduction});
        posture.Set(Joint::Trunk, {0, 15, 5});
        body.SetPosture(posture);
        EXPECT_NEAR(Distance(Posed(a, "right_arm"), Posed(b, "right_arm")), Distance(a, b), 1e-12)
            << abduction;
    }
    // Kneeling moves the trunk as one piece above the lumbar spine and the shanks as theirs.
    body.SetPosture(*Posture::Preset("kneeling"));
    const Vec3 nipple = LandmarkAt(body, "right nipple"), navel = LandmarkAt(body, "umbilicus");
    EXPECT_NEAR(Distance(Posed(nipple, "trunk"), Posed(navel, "trunk")), Distance(nipple, navel),
                1e-12);
    const Vec3 shin = LandmarkAt(body, "right patella");
    const Vec3 ankle = {shin.x, shin.y - 0.3, shin.z - 0.02};
    EXPECT_NEAR(Distance(Posed(shin, "right_shank"), Posed(ankle, "right_shank")),
                Distance(shin, ankle), 1e-12);
}

TEST_F(PostureTest, ThePosedCaseCarriesTheLandmarksWithTheSkinAndKeepsItsMeshAcrossEdits) {
    Case theCase;
    theCase.body = body;
    theCase.body.SetPosture(*Posture::Preset("kneeling"));
    const PosedCase posed(theCase);
    ASSERT_EQ(posed.PosedLandmarks().GetLandmarks().size(),
              posed.AnatomicalLandmarks().GetLandmarks().size());
    const auto find = [](const LandmarkTable& table, const std::string& name) {
        for (const Landmark& l : table.GetLandmarks()) {
            if (l.name == name) {
                return l.position;
            }
        }
        ADD_FAILURE() << name;
        return Vec3{};
    };
    // The umbilicus comes down with the trunk, by about the shank's length, and stays on the
    // posed skin: near the posed mesh's vertex that was nearest to it at rest.
    const Vec3 navel = find(posed.AnatomicalLandmarks(), "umbilicus");
    const Vec3 kneeling = find(posed.PosedLandmarks(), "umbilicus");
    EXPECT_GT(navel.y - kneeling.y, 0.3);
    EXPECT_NEAR(kneeling.x, navel.x, 0.005);
    const Mesh& mesh = *posed.GetBody().GetMesh();
    const Matrix4 drawn = theCase.body.DrawTransform();
    double nearest = 1e9;
    for (uint32_t v = 0; v < mesh.positions.size(); ++v) {
        nearest = std::min(nearest, Distance(MeshVertex(drawn, mesh, v), kneeling));
    }
    EXPECT_LT(nearest, 0.01);
    // The head comes down with the trunk; a heel, behind the bent knee, rises off the floor.
    EXPECT_LT(find(posed.PosedLandmarks(), "top of the head").y,
              find(posed.AnatomicalLandmarks(), "top of the head").y - 0.3);
    EXPECT_GT(find(posed.PosedLandmarks(), "right heel").y,
              find(posed.AnatomicalLandmarks(), "right heel").y + 0.1);

    // An edit that leaves the body alone keeps the posed mesh; a new posture makes another.
    Case edited = theCase;
    edited.trajectories.push_back(Trajectory{});
    const PosedCase again(edited, &posed);
    EXPECT_EQ(again.GetBody().GetMesh(), posed.GetBody().GetMesh());
    edited.body.SetPosture(*Posture::Preset("seated"));
    const PosedCase seated(edited, &again);
    EXPECT_NE(seated.GetBody().GetMesh(), posed.GetBody().GetMesh());
    // Standing, the posed landmarks are the anatomical ones.
    Case standingCase;
    standingCase.body = shared->body;
    const PosedCase standing(standingCase);
    EXPECT_FALSE(standing.IsPosed());
    EXPECT_EQ(find(standing.PosedLandmarks(), "umbilicus"),
              find(standing.AnatomicalLandmarks(), "umbilicus"));
}

TEST_F(PostureTest, AlignFindsTheArmPoseThatMadeTwoTracksOneLine) {
    // A bullet through the right forearm and on into the chest, with the arm raised forward and
    // out and the elbow bent: the tracks are one line in that pose only.
    Case theCase;
    const ForearmShot forearm = RaisedForearmShot(theCase);
    const Posture& known = forearm.known;
    const Vec3 in1 = forearm.in, out1 = forearm.exitArm;
    const Vec3 in2 = forearm.Beyond(3), out2 = forearm.Beyond(6);
    Trajectory arm;
    arm.in = in1, arm.out = out1;
    arm.inPart = arm.outPart = "right_forearm";
    Trajectory chest;
    chest.in = in2, chest.out = out2;
    chest.inPart = chest.outPart = "trunk";
    theCase.trajectories = {arm, chest};
    const AlignmentTrack first = AlignmentTrackOf(theCase, 1),
                         second = AlignmentTrackOf(theCase, 2);
    EXPECT_LT(MeasureAlignment(theCase.body, first, second, known).angleDegrees, 1e-6);
    theCase.body.ResetPose();
    EXPECT_GT(MeasureAlignment(theCase.body, first, second, Posture()).angleDegrees, 20);

    // The shoulder's flexion and abduction and the elbow's flexion: as many unknowns as the two
    // lines fix, so the answer is the pose the tracks were made with.
    // A few starts: the search from the case's posture reaches this answer, and the others
    // still give answers to sort and sift.
    AlignmentRequest request{
        first, second, {Joint::RightShoulder, Joint::RightElbow}, {false, true, true}};
    request.starts = 4;
    const AlignmentResult result = AlignWounds(theCase.body, request);
    ASSERT_TRUE(result.refusal.empty()) << result.refusal;
    ASSERT_FALSE(result.answers.empty());
    const auto near = [&known](const AlignmentAnswer& a) {
        for (Joint joint : {Joint::RightShoulder, Joint::RightElbow}) {
            const JointAngles &p = a.posture.Get(joint), &q = known.Get(joint);
            if (std::fabs(p.pitch - q.pitch) > 2 || std::fabs(p.roll - q.roll) > 2 ||
                std::fabs(p.yaw - q.yaw) > 2) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(std::any_of(result.answers.begin(), result.answers.end(), near));
    EXPECT_LT(result.answers.front().angleDegrees, 0.5);
    EXPECT_LT(result.answers.front().gapMetres, 0.005);

    // With every angle free the fit has many exact answers; the best still lines the tracks up.
    request.angles = {true, true, true};
    const AlignmentResult free = AlignWounds(theCase.body, request);
    ASSERT_FALSE(free.answers.empty());
    EXPECT_LT(free.answers.front().angleDegrees, 0.5);

    // Refusals say what to do.
    request.joints.clear();
    EXPECT_EQ(AlignWounds(theCase.body, request).refusal,
              "Choose at least one joint that may move.");
    theCase.trajectories[1].inPart.clear();
    theCase.trajectories[1].outPart.clear();
    request.joints = {Joint::RightElbow};
    request.second = AlignmentTrackOf(theCase, 2);
    EXPECT_NE(AlignWounds(theCase.body, request).refusal.find("has no body parts"),
              std::string::npos);
    request.second = AlignmentTrackOf(theCase, 3); // no such trajectory
    EXPECT_EQ(AlignWounds(theCase.body, request).refusal, "Choose two different trajectories.");
}

// A track with IN on OUT has no direction: it was lined up "0.0° between the tracks, 0.0 cm
// apart", and every posture fitted it equally well.
TEST_F(PostureTest, AlignRefusesATrackWithoutDirectionNamingIt) {
    Case theCase;
    theCase.body = body;
    const Vec3 wrist = PartCentres().at("right_forearm");
    const Vec3 chest = PartCentres().at("trunk");
    Trajectory arm;
    arm.in = wrist;
    arm.out = {wrist.x + 0.0004, wrist.y, wrist.z - 0.0004}; // within a millimetre
    arm.inPart = arm.outPart = "right_forearm";
    Trajectory into;
    into.in = chest;
    into.out = {chest.x, chest.y, chest.z - 0.1};
    into.inPart = into.outPart = "trunk";
    theCase.trajectories = {into, arm};
    AlignmentRequest request{AlignmentTrackOf(theCase, 1),
                             AlignmentTrackOf(theCase, 2),
                             {Joint::RightShoulder, Joint::RightElbow}};
    request.starts = 2;
    const AlignmentResult refused = AlignWounds(theCase.body, request);
    EXPECT_EQ(refused.refusal,
              "Trajectory 2 has no direction: its IN and OUT lie within 1 mm of each other.");
    EXPECT_TRUE(refused.answers.empty());
    EXPECT_EQ(DirectionRefusal(request.first), "");

    // A track a millimetre and more long is lined up as any other.
    theCase.trajectories[1].out = {wrist.x, wrist.y, wrist.z - 0.0011};
    request.second = AlignmentTrackOf(theCase, 2);
    const AlignmentResult searched = AlignWounds(theCase.body, request);
    EXPECT_TRUE(searched.refusal.empty()) << searched.refusal;
    EXPECT_FALSE(searched.answers.empty());
}

// One shot through the right forearm and on into the chest, entered as one trajectory with
// points: its two pieces line up as two trajectories would, and in the posture found the posed
// track runs on with hardly a deflection.
TEST_F(PostureTest, AlignLinesUpTheTwoPiecesOfOneTrajectory) {
    Case theCase;
    // The stops as measured on the posed body, carried back to the body at rest: the forearm's
    // with its bone, the chest's where they are (the trunk does not move).
    const ForearmShot forearm = RaisedForearmShot(theCase);
    const Posture& known = forearm.known;
    const Vec3 &in = forearm.in, &exitArm = forearm.exitArm;
    const auto along = [&](double k) { return forearm.Beyond(k); };
    Trajectory shot;
    shot.in = in;
    shot.inPart = "right_forearm";
    shot.points = {
        {exitArm, 0.002, "right_forearm"}, {along(3), 0.002, "trunk"}, {along(4.5), 0.002, ""}};
    shot.out = along(6);
    shot.outPart = "trunk";
    theCase.trajectories = {shot};

    const auto pieces = AlignmentPiecesOf(theCase, 1);
    ASSERT_TRUE(pieces.has_value());
    EXPECT_EQ((*pieces)[0].inPart, "right_forearm");
    EXPECT_EQ((*pieces)[1].outPart, "trunk");
    EXPECT_LT(Distance((*pieces)[0].in, in), 1e-6);
    EXPECT_LT(MeasureAlignment(theCase.body, (*pieces)[0], (*pieces)[1], known).angleDegrees, 1e-6);
    theCase.body.ResetPose();
    EXPECT_GT(PosedCase(theCase).TrajectoryNumbered(1)->posedLine->deflection.at(0), 20);

    AlignmentRequest request{
        (*pieces)[0], (*pieces)[1], {Joint::RightShoulder, Joint::RightElbow}, {false, true, true}};
    request.starts = 4;
    const AlignmentResult result = AlignWounds(theCase.body, request);
    ASSERT_TRUE(result.refusal.empty()) << result.refusal;
    ASSERT_FALSE(result.answers.empty());
    EXPECT_LT(result.answers.front().angleDegrees, 0.5);
    theCase.body.SetPosture(result.answers.front().posture);
    const PosedCase aligned(theCase);
    ASSERT_TRUE(aligned.TrajectoryNumbered(1)->posedLine.has_value());
    EXPECT_LT(aligned.TrajectoryNumbered(1)->posedLine->deflection.at(0), 0.5);

    // A piece is not lined up with itself; a track on one part has no two pieces.
    request.second = request.first;
    EXPECT_EQ(AlignWounds(theCase.body, request).refusal, "Choose two different trajectories.");
    theCase.trajectories[0].points.resize(1);
    theCase.trajectories[0].out = exitArm;
    theCase.trajectories[0].outPart = "right_forearm";
    EXPECT_FALSE(AlignmentPiecesOf(theCase, 1).has_value());
    EXPECT_FALSE(AlignmentPiecesOf(theCase, 2).has_value());
}
