#include "body/Body.h"
#include "body/PosedBody.h"
#include "mesh/io/obj/ObjReader.h"
#include "support/ArmTestModel.h"
#include "support/OldArmPose.h"
#include "support/TestObjFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

void LoadBody(Body& body, const std::string& objText) {
    std::unique_ptr<Mesh> mesh = armtest::ReadMesh(objText);
    ASSERT_TRUE(mesh);
    ASSERT_TRUE(body.LoadMesh(std::move(mesh)).ok());
}

Vec3 VertexOf(const Mesh& mesh, uint32_t v) {
    return ToVec3(mesh.positions[v]);
}

Vec3 World(const Body& body, const Mesh& mesh, uint32_t v) {
    return body.DrawTransform().TransformPoint(VertexOf(mesh, v));
}

void ExpectNear(Vec3 a, Vec3 b, double tolerance = 1e-5) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// Undirected edges between positions, with how many triangles use each.
std::map<std::tuple<float, float, float, float, float, float>, int> EdgeUse(const Mesh& mesh) {
    std::map<std::tuple<float, float, float, float, float, float>, int> use;
    for (const MeshTriangle& t : mesh.triangles) {
        for (int c = 0; c < 3; ++c) {
            const Vec3f& a = mesh.positions[t.position[c]];
            const Vec3f& b = mesh.positions[t.position[(c + 1) % 3]];
            auto ta = std::make_tuple(a.x, a.y, a.z);
            auto tb = std::make_tuple(b.x, b.y, b.z);
            if (tb < ta) {
                std::swap(ta, tb);
            }
            ++use[std::tuple_cat(ta, tb)];
        }
    }
    return use;
}

} // namespace

TEST(PosedArmTest, PosingMovesOnlyTheArmAndTheForearmEachByItsTurn) {
    Body body;
    LoadBody(body, armtest::ArmObj(false));
    const Mesh& model = *body.GetModel();
    ASSERT_TRUE(body.HasArmParts());
    // At the initial pose the body is drawn exactly as read.
    EXPECT_EQ(PosedBody(body).GetMesh(), &model);

    OldArm(body).SetPitch(40);   // the arm swings out sideways
    OldForearm(body).SetYaw(60); // and the elbow bends forward
    const PosedBody posedBody(body);
    const Mesh* posed = posedBody.GetMesh();
    ASSERT_NE(posed, &model);
    const Matrix4 upper = posedBody.SegmentTransform(skeleton::Segment::RightUpperArm);
    const Matrix4 whole = posedBody.SegmentTransform(skeleton::Segment::RightForearm);
    int trunk = 0, upperArm = 0, forearm = 0;
    for (uint32_t v = 0; v < model.positions.size(); ++v) {
        const Vec3 rest = World(body, model, v);
        const Vec3 now = World(body, *posed, v);
        if (rest.y >= 1.6 || rest.x > 0) { // trunk, including the shoulder ring
            ExpectNear(now, rest);
            ++trunk;
        } else if (rest.y <= 1.525 && rest.y >= 1.345) { // upper arm beyond both bands
            ExpectNear(now, upper.TransformPoint(rest), 1e-4);
            ++upperArm;
        } else if (rest.y <= 1.245) { // forearm beyond the elbow band
            ExpectNear(now, whole.TransformPoint(rest), 1e-4);
            ++forearm;
        }
    }
    EXPECT_EQ(trunk, 20);
    EXPECT_EQ(upperArm, 12);
    EXPECT_EQ(forearm, 24);
    // The hand really went somewhere: forward with the bent elbow.
    const Vec3 hand = World(body, *posed, 4 * 13);
    const Vec3 handAtRest = World(body, model, 4 * 13);
    EXPECT_GT(hand.z, 0.3);
    EXPECT_GT(std::hypot(hand.x - handAtRest.x, hand.y - handAtRest.y, hand.z - handAtRest.z), 0.3);

    // Normals turn with their vertices and keep their lengths (they set the brightness).
    ASSERT_EQ(posed->normals.size(), model.normals.size());
    for (size_t i = 0; i < model.normals.size(); ++i) {
        const Vec3f& b = model.normals[i];
        const Vec3f& a = posed->normals[i];
        const double before = std::hypot(b.x, b.y, b.z);
        const double after = std::hypot(a.x, a.y, a.z);
        EXPECT_NEAR(after, before, 1e-5);
    }
}

TEST(PosedArmTest, PosedMeshIsKeptUntilThePoseOrTheMeshChange) {
    Body body;
    LoadBody(body, armtest::ArmObj(false));
    OldArm(body).SetPitch(50);
    const PosedBody first(body);
    const uint64_t revision = first.GetMesh()->revision;
    EXPECT_EQ(PosedBody(body, &first).GetMesh(), first.GetMesh()); // a second frame reuses it

    OldForearm(body).SetPitch(20);
    const PosedBody afterForearm(body, &first);
    EXPECT_NE(afterForearm.GetMesh()->revision, revision);
    // The posed mesh lies in the mesh's own frame, which the body's stretches leave alone.
    body.SetScaleX(1.2);
    const PosedBody afterScale(body, &afterForearm);
    EXPECT_EQ(afterScale.GetMesh(), afterForearm.GetMesh());
    body.IncreaseBodyLighting(); // a drawing factor: the posed copy stays as it is
    const PosedBody lit(body, &afterScale);
    EXPECT_EQ(lit.GetMesh(), afterScale.GetMesh());
    const auto length = [](const Mesh& mesh, size_t n) {
        return std::hypot(mesh.normals[n].x, mesh.normals[n].y, mesh.normals[n].z);
    };
    for (size_t n = 0; n < lit.GetMesh()->normals.size(); ++n) {
        EXPECT_NEAR(length(*lit.GetMesh(), n), length(*body.GetModel(), n), 1e-5);
    }

    body.ResetPose();
    EXPECT_TRUE(body.HasInitialPose());
    EXPECT_EQ(PosedBody(body, &lit).GetMesh(), body.GetModel());
}

TEST(PosedArmTest, ShoulderAndElbowStayClosedWhenThePartsAreWrittenApart) {
    for (bool split : {false, true}) {
        Body body;
        LoadBody(body, armtest::ArmObj(split));
        const Mesh& model = *body.GetModel();
        const auto edgesBefore = EdgeUse(model);
        OldArm(body).SetPitch(30);
        OldArm(body).SetYaw(20);
        OldForearm(body).SetPitch(70);
        const PosedBody posedBody(body);
        const Mesh& posed = *posedBody.GetMesh();
        const auto edgesAfter = EdgeUse(posed);
        // Every edge keeps exactly the triangles it had: no border opens a gap.
        EXPECT_EQ(edgesAfter.size(), edgesBefore.size()) << "split " << split;
        for (const auto& [edge, count] : edgesAfter) {
            EXPECT_EQ(count, 2) << "split " << split;
        }
        // The bands stretch the skin but do not tear or collapse it.
        for (const MeshTriangle& t : model.triangles) {
            for (int c = 0; c < 3; ++c) {
                const uint32_t a = t.position[c], b = t.position[(c + 1) % 3];
                const Vec3 pa = VertexOf(model, a), pb = VertexOf(model, b);
                const Vec3 qa = VertexOf(posed, a), qb = VertexOf(posed, b);
                const double before = std::hypot(pa.x - pb.x, pa.y - pb.y, pa.z - pb.z);
                const double after = std::hypot(qa.x - qb.x, qa.y - qb.y, qa.z - qb.z);
                EXPECT_LT(after, 2.5 * before + 0.01);
                EXPECT_GT(after, 0.3 * before);
            }
        }
    }
}

TEST(PosedArmTest, BodyWithoutArmGroupsIsDrawnUnposed) {
    Body body;
    LoadBody(body, "v -0.3 0 0\nv 0.3 0 0\nv 0 2 0\nv 0 1 0.3\n"
                   "f 1 3 2\nf 1 2 4\nf 2 3 4\nf 3 1 4\n");
    OldArm(body).SetPitch(10);
    EXPECT_FALSE(body.HasArmParts());
    EXPECT_EQ(PosedBody(body).GetMesh(), body.GetModel());
}

TEST(PosedArmTest, PartsNamedByGroupStatementsArePosedToo) {
    // The same model with `g` statements and one material, as a modelling program writes it.
    std::string text = armtest::ArmObj(false);
    text.erase(0, text.find('\n') + 1); // no material library
    for (size_t at = text.find("usemtl "); at != std::string::npos; at = text.find("usemtl ")) {
        text.replace(at, 7, "g ");
    }
    const std::string path = testobj::TempPath("grouped_arm.obj");
    std::ofstream(path, std::ios::binary) << "usemtl skin\n" << text;
    Body body;
    ASSERT_TRUE(body.Load(path).ok());
    EXPECT_TRUE(body.HasArmParts());
    OldArm(body).SetPitch(0);
    const PosedBody posedBody(body);
    const Mesh& posed = *posedBody.GetMesh();
    const Vec3 hand = World(body, posed, 4 * 13 + 1);
    EXPECT_NEAR(hand.y, World(body, *body.GetModel(), 4 * 13 + 1).y + 0.985, 0.06);
}
