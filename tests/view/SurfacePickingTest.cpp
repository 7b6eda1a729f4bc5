#include "support/TestObjFiles.h"

#include "base/Matrix4.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/io/obj/ObjReader.h"
#include "view/SurfacePicking.h"
#include "view/ViewState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <optional>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
const char* const kDefaultBody = RUVO_SOURCE_DIR "/data/default/man1.obj";

struct DrawnTriangle {
    Vec3 corner[3];
    double low[3], high[3]; // its box, a micrometre wider each way
};

// Triangle `triangle` of a body's mesh placed by `place`, the body's draw transform.
DrawnTriangle Drawn(const Mesh& mesh, const Matrix4& place, uint32_t triangle) {
    DrawnTriangle drawn;
    for (int k = 0; k < 3; ++k) {
        const Vec3f& p = mesh.positions[mesh.triangles[triangle].position[k]];
        drawn.corner[k] = place.TransformPoint(ToVec3(p));
    }
    for (int axis = 0; axis < 3; ++axis) {
        const auto along = [&drawn, axis](int k) {
            const Vec3& c = drawn.corner[k];
            return axis == 0 ? c.x : axis == 1 ? c.y : c.z;
        };
        drawn.low[axis] = std::min({along(0), along(1), along(2)}) - 1e-6;
        drawn.high[axis] = std::max({along(0), along(1), along(2)}) + 1e-6;
    }
    return drawn;
}

// Whether the ray, within its length, passes through the triangle's box: a triangle whose box
// it misses cannot be hit, which spares most of the exact tests below.
bool MayHit(const SurfaceRay& ray, const DrawnTriangle& tri) {
    const double origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const double direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    double enter = 0, leave = ray.tMax;
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0) {
            if (origin[axis] < tri.low[axis] || origin[axis] > tri.high[axis]) {
                return false;
            }
            continue;
        }
        const double a = (tri.low[axis] - origin[axis]) / direction[axis];
        const double b = (tri.high[axis] - origin[axis]) / direction[axis];
        enter = std::max(enter, std::min(a, b));
        leave = std::min(leave, std::max(a, b));
        if (enter > leave) {
            return false;
        }
    }
    return true;
}

// Moller-Trumbore in double precision; the ray parameter of the hit, if any.
std::optional<double> Intersect(const SurfaceRay& ray, const DrawnTriangle& tri) {
    const Vec3 e1 = Minus(tri.corner[1], tri.corner[0]);
    const Vec3 e2 = Minus(tri.corner[2], tri.corner[0]);
    const Vec3 p = Cross(ray.direction, e2);
    const double det = Dot(e1, p);
    if (std::abs(det) < 1e-18) {
        return std::nullopt;
    }
    const Vec3 s = Minus(ray.origin, tri.corner[0]);
    const double u = Dot(s, p) / det;
    const Vec3 q = Cross(s, e1);
    const double v = Dot(ray.direction, q) / det;
    const double t = Dot(e2, q) / det;
    if (u < 0 || v < 0 || u + v > 1 || t < 0 || t > ray.tMax) {
        return std::nullopt;
    }
    return t;
}

// Distance from a point to the plane of a triangle, and whether it projects inside it.
double DistanceToTriangle(const Vec3& point, const DrawnTriangle& tri) {
    const Vec3 n = Cross(Minus(tri.corner[1], tri.corner[0]), Minus(tri.corner[2], tri.corner[0]));
    const double length = std::sqrt(Dot(n, n));
    double inside = 0; // how far outside the edges, 0 when within
    for (int k = 0; k < 3; ++k) {
        const Vec3 edge = Minus(tri.corner[(k + 1) % 3], tri.corner[k]);
        const Vec3 inward = Cross(n, edge);
        const double side =
            Dot(Minus(point, tri.corner[k]), inward) / std::sqrt(Dot(inward, inward));
        inside = std::max(inside, -side);
    }
    return std::hypot(Dot(Minus(point, tri.corner[0]), n) / length, inside);
}

std::vector<DrawnTriangle> AllDrawn(const Body& body) {
    const Matrix4 place = body.DrawTransform();
    std::vector<DrawnTriangle> all;
    for (uint32_t t = 0; t < body.GetModel()->triangles.size(); ++t) {
        all.push_back(Drawn(*body.GetModel(), place, t));
    }
    return all;
}

double NearestHitByBruteForce(const std::vector<DrawnTriangle>& triangles, const SurfaceRay& ray) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const DrawnTriangle& triangle : triangles) {
        if (!MayHit(ray, triangle)) {
            continue;
        }
        if (const auto hit = Intersect(ray, triangle)) {
            nearest = std::min(nearest, *hit);
        }
    }
    return nearest;
}

double Length(const Vec3& v) {
    return std::sqrt(Dot(v, v));
}

} // namespace

TEST(MatrixTest, PerspectiveLookAtAndInverse) {
    const Matrix4 projection = Matrix4::Perspective(60, 4.0 / 3.0, 0.01, 128);
    // The near plane maps to depth -1, the far plane to +1; the top edge of the field to y = 1.
    EXPECT_NEAR(projection.TransformPoint({0, 0, -0.01}).z, -1, 1e-9);
    EXPECT_NEAR(projection.TransformPoint({0, 0, -128}).z, 1, 1e-9);
    EXPECT_NEAR(projection.TransformPoint({0, std::tan(std::numbers::pi / 6) * 5, -5}).y, 1, 1e-9);

    const Matrix4 look = Matrix4::LookAt({1, 2, 3}, {1, 2, 0}, {0, 1, 0});
    const Vec3 eye = look.TransformPoint({1, 2, 3});
    const Vec3 centre = look.TransformPoint({1, 2, 0});
    EXPECT_NEAR(Length(eye), 0, 1e-12);
    EXPECT_NEAR(centre.z, -3, 1e-12);
    EXPECT_NEAR(centre.x, 0, 1e-12);

    ViewState view;
    view.ViewProfile();
    const Matrix4 both = projection * view.GetCamera().ViewMatrix();
    const auto inverse = both.Inverse();
    ASSERT_TRUE(inverse);
    const Matrix4 identity = *inverse * both;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(identity.At(row, column), row == column ? 1 : 0, 1e-9);
        }
    }
    EXPECT_FALSE(Matrix4::Scaling(1, 0, 1).Inverse());
}

// Across the default body in three views (with the body scaled as a case may scale it): every
// point found lies on the drawn mesh and is the nearest crossing of that pixel's ray.
TEST(SurfacePickingTest, PointIsTheNearestCrossingOnTheDrawnMesh) {
    Case theCase;
    Body& body = theCase.body;
    ASSERT_TRUE(body.Load(kDefaultBody));
    body.SetHeight(1.62);
    body.SetScaleX(1.15);
    body.SetScaleZ(0.9);
    const PosedCase posed(theCase);
    const std::vector<DrawnTriangle> triangles = AllDrawn(body);
    ViewState view;
    const Camera& camera = view.GetCamera();

    int hits = 0;
    for (void (ViewState::*standard)() :
         {&ViewState::ViewFront, &ViewState::ViewRight, &ViewState::ViewProfile}) {
        (view.*standard)();
        for (int y = 40; y < kHeight; y += 70) {
            for (int x = 365; x < 440; x += 15) {
                const double px = x + 0.5, py = y + 0.5;
                const auto ray = PixelRay(camera, kWidth, kHeight, px, py);
                ASSERT_TRUE(ray);
                const auto hit = BodySurfaceAt(posed, camera, kWidth, kHeight, px, py);
                const double expected = NearestHitByBruteForce(triangles, *ray);
                if (!std::isfinite(expected)) {
                    EXPECT_FALSE(hit) << x << "," << y;
                    continue;
                }
                ASSERT_TRUE(hit) << x << "," << y;
                ++hits;
                const double rayLength = Length(ray->direction);
                EXPECT_NEAR(hit->t * rayLength, expected * rayLength, 1e-4) << x << "," << y;
                EXPECT_LT(
                    DistanceToTriangle(
                        hit->point, Drawn(*body.GetModel(), body.DrawTransform(), hit->triangle)),
                    1e-4);
                EXPECT_TRUE(body.GetModelParts().Find(hit->group)) << hit->group;
            }
        }
    }
    EXPECT_GT(hits, 35); // the pixels do cover the body
    EXPECT_FALSE(BodySurfaceAt(posed, camera, kWidth, kHeight, 2.5, 2.5)); // a corner: no body
}

// A kneeling body is picked where it is drawn, not where it would stand: rays through the
// standing body's chest and head miss it, and every point found lies on the posed mesh.
TEST(SurfacePickingTest, CastsAgainstThePosedBody) {
    Case theCase;
    ASSERT_TRUE(theCase.body.Load(kDefaultBody));
    const PosedCase standing(theCase);
    theCase.body.SetPosture(*Posture::Preset("kneeling"));
    const PosedCase kneeling(theCase);
    ASSERT_TRUE(kneeling.IsPosed());
    ASSERT_NE(kneeling.GetBody().GetMesh(), nullptr);
    const Mesh& posedMesh = *kneeling.GetBody().GetMesh();
    const Matrix4 place = theCase.body.DrawTransform();
    ViewState view;
    view.ViewFront();
    const Camera& camera = view.GetCamera();
    int hits = 0, onlyStanding = 0;
    for (int y = 40; y < kHeight; y += 35) {
        for (int x = 380; x < 425; x += 11) {
            const auto hit = BodySurfaceAt(kneeling, camera, kWidth, kHeight, x + 0.5, y + 0.5);
            if (!hit) {
                onlyStanding +=
                    BodySurfaceAt(standing, camera, kWidth, kHeight, x + 0.5, y + 0.5) ? 1 : 0;
                continue;
            }
            ++hits;
            EXPECT_LT(DistanceToTriangle(hit->point, Drawn(posedMesh, place, hit->triangle)), 1e-4)
                << x << "," << y;
        }
    }
    EXPECT_GT(hits, 20);
    EXPECT_GT(onlyStanding, 4);
}

// Two parallel squares in different groups: the ray reports the nearer one's group, and moving
// the vertices (a posed body) moves the answer without another build.
TEST(SurfacePickingTest, ReportsTheGroupAndFollowsMovedVertices) {
    const std::string path =
        testobj::Write("two-squares.obj", "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                                          "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                                          "usemtl back\nf 1 2 3\nf 1 3 4\n"
                                          "usemtl arm\nf 5 6 7\nf 5 7 8\n");
    ObjReadResult read = ReadObj(path);
    ASSERT_TRUE(read.mesh);
    const Mesh& mesh = *read.mesh;
    SurfaceRayCaster caster;
    ASSERT_TRUE(caster.Build(mesh, mesh.positions));
    const SurfaceRay down = {{0.2, 0.3, 5}, {0, 0, -10}, 1.0};
    auto hit = caster.Cast(down, Matrix4::Identity());
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->group, "arm");
    EXPECT_NEAR(hit->point.z, 1, 1e-12);
    EXPECT_NEAR(hit->t, 0.4, 1e-12);

    // Under a placement the point comes back in the ray's frame.
    hit = caster.Cast(down, Matrix4::Translation(0, 0, 0.5) * Matrix4::Scaling(1, 1, 2));
    ASSERT_TRUE(hit);
    EXPECT_NEAR(hit->point.z, 2.5, 1e-12);

    std::vector<Vec3f> moved = mesh.positions;
    for (int v = 4; v < 8; ++v) {
        moved[v].x += 5; // the near square moves out of the ray's way
    }
    ASSERT_TRUE(caster.UpdatePositions(moved));
    hit = caster.Cast(down, Matrix4::Identity());
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->group, "back");
    EXPECT_FALSE(caster.Cast({{3, 3, 5}, {0, 0, -10}, 1.0}, Matrix4::Identity()));
    EXPECT_FALSE(caster.UpdatePositions(std::span<const Vec3f>(moved).first(2)));
}

// The wheel moves the eye along the pointer's ray: the surface point under the pointer stays
// under it and comes 10 % nearer per step; a miss steps by the eye's distance.
TEST(SurfacePickingTest, ZoomKeepsThePointUnderThePointer) {
    Case theCase;
    ASSERT_TRUE(theCase.body.Load(kDefaultBody));
    const PosedCase posed(theCase);
    ViewState view;
    view.ViewFront();
    Camera& camera = view.GetCamera();
    const double px = 380.5, py = 250.5;
    const auto before = BodySurfaceAt(posed, camera, kWidth, kHeight, px, py);
    ASSERT_TRUE(before);
    const double distanceBefore = Length(camera.ViewMatrix().TransformPoint(before->point));
    ZoomTowardPixel(posed, camera, kWidth, kHeight, px, py, 2);
    const auto after = BodySurfaceAt(posed, camera, kWidth, kHeight, px, py);
    ASSERT_TRUE(after);
    EXPECT_LT(Length(Minus(after->point, before->point)), 1e-6);
    EXPECT_NEAR(Length(camera.ViewMatrix().TransformPoint(after->point)), 0.8 * distanceBefore,
                1e-6);

    const PosedCase empty; // no mesh: every ray misses
    view.ViewFront();
    ZoomTowardPixel(empty, camera, kWidth, kHeight, kWidth / 2.0, kHeight / 2.0, -1);
    EXPECT_NEAR(camera.GetZ(), 2.5 + 0.1 * std::hypot(1.0, 2.5), 1e-9);
    EXPECT_NEAR(camera.GetY(), 1.0, 1e-9);
}

// A model with named parts reports the part under the ray, not the material it is drawn with.
TEST(SurfacePickingTest, ReportsTheModelPartOfTheBody) {
    const std::string path =
        testobj::Write("parts.obj", "v -1 0 0\nv 1 0 0\nv 1 2 0\nv -1 2 0\n"
                                    "v -1 0 1\nv 1 0 1\nv 1 2 1\nv -1 2 1\n"
                                    "g trunk\nf 1 2 3\nf 1 3 4\n"
                                    "v -1 0 -1\nv 1 0 -1\nv 1 2 -1\nv -1 2 -1\n"
                                    "g right_arm\nf 5 6 7\nf 5 7 8\n"
                                    "g right_forearm\nf 9 10 11\nf 9 11 12\n");
    Body body;
    ASSERT_TRUE(body.Load(path));
    const auto hit = PosedBody(body).FirstSurfaceHit({{0.01, 0.5, 5}, {0, 0, -10}, 1.0});
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->group, "right_arm");
}

// The body's right side is toward -X: the right view shows the right arm down the middle of the
// picture, never the left one, and the left view the reverse; a click at the picture's centre
// lands on the side named.
TEST(SurfacePickingTest, TheRightViewShowsTheBodysRightSide) {
    Case theCase;
    ASSERT_TRUE(theCase.body.Load(kDefaultBody));
    const PosedCase posed(theCase);
    ViewState view;
    struct Side {
        void (ViewState::*standard)();
        const char* seen;
        const char* hidden;
        double sign; // of x on the side facing the eye
    };
    for (const Side& side : {Side{&ViewState::ViewRight, "right_arm", "left_arm", -1},
                             Side{&ViewState::ViewLeft, "left_arm", "right_arm", 1}}) {
        (view.*side.standard)();
        // The column through the body's middle, 12 cm before its back: the front is on the
        // picture's right in the right view and on its left in the left view.
        const double column = kWidth / 2.0 - side.sign * 0.12 / 2.5 * kHeight / 2 * std::sqrt(3.0);
        std::vector<std::string> groups;
        for (int y = 0; y < kHeight; y += 5) {
            if (const auto hit =
                    BodySurfaceAt(posed, view.GetCamera(), kWidth, kHeight, column, y + 0.5)) {
                groups.push_back(hit->group);
            }
        }
        std::string seenGroups;
        for (const std::string& group : groups) {
            seenGroups += group + " ";
        }
        EXPECT_NE(std::ranges::find(groups, side.seen), groups.end()) << seenGroups;
        EXPECT_EQ(std::ranges::find(groups, side.hidden), groups.end()) << seenGroups;
        const auto centre =
            BodySurfaceAt(posed, view.GetCamera(), kWidth, kHeight, column, kHeight / 2.0 + 0.5);
        ASSERT_TRUE(centre);
        EXPECT_GT(centre->point.x * side.sign, 0.05) << side.seen;
    }
}

// A case that lives until the process ends releases its ray-tracing structure at exit, among the
// clean-ups of the ray-tracing library's own objects. Leaving the program must still end it
// cleanly. The check runs in a fresh process.
TEST(SurfacePickingDeathTest, ACasePickedForTheWholeRunEndsCleanly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Case theCase;
            const bool loaded = theCase.body.Load(kDefaultBody).ok();
            static const PosedCase posed(theCase);
            const bool prepared = loaded && posed.GetBody().PrepareSurface().ok();
            std::exit(prepared ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}
