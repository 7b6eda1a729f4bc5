// The default body and arrow models in data/default, read the way the program reads them.

#include "body/Body.h"
#include "body/LandmarkTable.h"
#include "mesh/Mesh.h"
#include "mesh/io/obj/ObjReader.h"
#include "support/OldArmPose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string DefaultModel(const std::string& name) {
    return std::string(RUVO_SOURCE_DIR "/data/default/") + name;
}

struct Point {
    double x, y, z;
};

Point Vertex(const Mesh& mesh, uint32_t index) {
    const Vec3f& v = mesh.positions[index];
    return {v.x, v.y, v.z};
}

// Undirected edges not shared by exactly two triangles, and directed edges used twice (two
// neighbours facing opposite ways).
struct EdgeCounts {
    int unpaired = 0;
    int misoriented = 0;
};

// An edge from vertex a to vertex b as one number, so that the edges of a large mesh are sorted
// and searched in flat arrays.
uint64_t EdgeKey(uint32_t a, uint32_t b) {
    return uint64_t{a} << 32 | b;
}

EdgeCounts CountBadEdges(const Mesh& mesh) {
    std::vector<uint64_t> directed;
    directed.reserve(3 * mesh.triangles.size());
    for (const MeshTriangle& t : mesh.triangles) {
        for (int c = 0; c < 3; ++c) {
            directed.push_back(EdgeKey(t.position[c], t.position[(c + 1) % 3]));
        }
    }
    std::sort(directed.begin(), directed.end());
    const auto usesOf = [&directed](uint64_t edge) {
        const auto [first, last] = std::equal_range(directed.begin(), directed.end(), edge);
        return static_cast<int>(last - first);
    };
    EdgeCounts counts;
    for (auto at = directed.begin(); at != directed.end();) {
        const uint64_t edge = *at;
        const auto next = std::upper_bound(at, directed.end(), edge);
        const int uses = static_cast<int>(next - at);
        const int reverseUses = usesOf(edge << 32 | edge >> 32);
        counts.misoriented += uses > 1 ? 1 : 0;
        counts.unpaired += (uses + reverseUses) != 2 ? 1 : 0;
        at = next;
    }
    return counts;
}

Point FacetNormal(const Mesh& mesh, const MeshTriangle& t) {
    const Point a = Vertex(mesh, t.position[0]);
    const Point b = Vertex(mesh, t.position[1]);
    const Point c = Vertex(mesh, t.position[2]);
    const Point u = {b.x - a.x, b.y - a.y, b.z - a.z};
    const Point v = {c.x - a.x, c.y - a.y, c.z - a.z};
    const Point n = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return length > 0 ? Point{n.x / length, n.y / length, n.z / length} : Point{0, 0, 0};
}

// Fingertips and the tips of the toes: small enough that facets may turn sharply there.
bool AtFingertipOrToe(const Point& p) {
    const bool fingertip = std::fabs(p.x) > 0.18 && p.y < 0.80;
    const bool toe = p.y < 0.04 && p.z > 0.27;
    return fingertip || toe;
}

// Edges whose two facets turn by more than the program's 90-degree smoothing angle (or are
// degenerate): there the drawn skin would show a hard edge. Edges at the fingertips and toes
// are not counted.
int CountHardEdges(const Mesh& mesh) {
    // Each undirected edge (lower vertex first) with a facet that has it, sorted by edge and then
    // by facet: the facets of an edge in file order.
    std::vector<std::pair<uint64_t, size_t>> facetsOfEdge;
    facetsOfEdge.reserve(3 * mesh.triangles.size());
    for (size_t i = 0; i < mesh.triangles.size(); ++i) {
        const MeshTriangle& t = mesh.triangles[i];
        for (int c = 0; c < 3; ++c) {
            const uint32_t a = t.position[c];
            const uint32_t b = t.position[(c + 1) % 3];
            facetsOfEdge.emplace_back(EdgeKey(std::min(a, b), std::max(a, b)), i);
        }
    }
    std::sort(facetsOfEdge.begin(), facetsOfEdge.end());
    int hard = 0;
    for (size_t at = 0; at < facetsOfEdge.size();) {
        size_t next = at + 1;
        while (next < facetsOfEdge.size() && facetsOfEdge[next].first == facetsOfEdge[at].first) {
            ++next;
        }
        const auto lower = static_cast<uint32_t>(facetsOfEdge[at].first >> 32);
        if (next - at == 2 && !AtFingertipOrToe(Vertex(mesh, lower))) {
            const Point n0 = FacetNormal(mesh, mesh.triangles[facetsOfEdge[at].second]);
            const Point n1 = FacetNormal(mesh, mesh.triangles[facetsOfEdge[at + 1].second]);
            hard += (n0.x * n1.x + n0.y * n1.y + n0.z * n1.z) <= 0.0 ? 1 : 0;
        }
        at = next;
    }
    return hard;
}

// Positive when the facets face outward.
double SignedVolume(const Mesh& mesh) {
    double volume = 0;
    for (const MeshTriangle& t : mesh.triangles) {
        const Point a = Vertex(mesh, t.position[0]);
        const Point b = Vertex(mesh, t.position[1]);
        const Point c = Vertex(mesh, t.position[2]);
        volume += (a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
                   a.z * (b.x * c.y - b.y * c.x)) /
                  6.0;
    }
    return volume;
}

// Distances along the ray from `origin` in direction `dir` at which it crosses the surface,
// sorted.
std::vector<double> RayHits(const Mesh& mesh, Point origin, Point dir) {
    std::vector<double> hits;
    for (const MeshTriangle& t : mesh.triangles) {
        const Point a = Vertex(mesh, t.position[0]);
        const Point b = Vertex(mesh, t.position[1]);
        const Point c = Vertex(mesh, t.position[2]);
        const Point e1 = {b.x - a.x, b.y - a.y, b.z - a.z};
        const Point e2 = {c.x - a.x, c.y - a.y, c.z - a.z};
        const Point p = {dir.y * e2.z - dir.z * e2.y, dir.z * e2.x - dir.x * e2.z,
                         dir.x * e2.y - dir.y * e2.x};
        const double det = e1.x * p.x + e1.y * p.y + e1.z * p.z;
        if (std::fabs(det) < 1e-15) {
            continue;
        }
        const Point s = {origin.x - a.x, origin.y - a.y, origin.z - a.z};
        const double u = (s.x * p.x + s.y * p.y + s.z * p.z) / det;
        const Point q = {s.y * e1.z - s.z * e1.y, s.z * e1.x - s.x * e1.z, s.x * e1.y - s.y * e1.x};
        const double v = (dir.x * q.x + dir.y * q.y + dir.z * q.z) / det;
        const double distance = (e2.x * q.x + e2.y * q.y + e2.z * q.z) / det;
        if (u >= 0 && v >= 0 && u + v <= 1 && distance > 0) {
            hits.push_back(distance);
        }
    }
    std::sort(hits.begin(), hits.end());
    return hits;
}

// The name of the `g` group each triangle of a model file belongs to, in file order (every
// face of the default models is a triangle, so a face is one triangle).
std::vector<std::string> TriangleGroups(const std::string& name) {
    std::ifstream file(DefaultModel(name));
    std::vector<std::string> groups;
    std::string current = "default";
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("g ", 0) == 0) {
            current = line.substr(2);
        } else if (line.rfind("f ", 0) == 0) {
            groups.push_back(current);
        }
    }
    return groups;
}

Point Minus(Point a, Point b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double DotOf(Point a, Point b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Distance from p to the triangle abc: to its plane when p projects inside it, else to the
// nearest of its edges.
double TriangleDistance(Point p, Point a, Point b, Point c) {
    auto segment = [](Point q, Point s0, Point s1) {
        const Point d = Minus(s1, s0);
        const double length2 = DotOf(d, d);
        const double t = length2 > 0 ? std::clamp(DotOf(Minus(q, s0), d) / length2, 0.0, 1.0) : 0.0;
        const Point r = Minus(q, {s0.x + d.x * t, s0.y + d.y * t, s0.z + d.z * t});
        return std::sqrt(DotOf(r, r));
    };
    const Point ab = Minus(b, a), ac = Minus(c, a), ap = Minus(p, a);
    const Point n = {ab.y * ac.z - ab.z * ac.y, ab.z * ac.x - ab.x * ac.z,
                     ab.x * ac.y - ab.y * ac.x};
    const double n2 = DotOf(n, n);
    if (n2 > 0) {
        // Barycentric coordinates of the projection.
        const double d00 = DotOf(ab, ab), d01 = DotOf(ab, ac), d11 = DotOf(ac, ac);
        const double d20 = DotOf(ap, ab), d21 = DotOf(ap, ac);
        const double denominator = d00 * d11 - d01 * d01;
        const double v = (d11 * d20 - d01 * d21) / denominator;
        const double w = (d00 * d21 - d01 * d20) / denominator;
        if (v >= 0 && w >= 0 && v + w <= 1) {
            return std::fabs(DotOf(ap, n)) / std::sqrt(n2);
        }
    }
    return std::min({segment(p, a, b), segment(p, b, c), segment(p, c, a)});
}

// The body as it is drawn (its fitted mesh under the draw transform), placed once for the
// distances of many points.
class DrawnBody {
public:
    explicit DrawnBody(const Body& body) : mesh(*body.GetModel()) {
        const Matrix4 draw = body.DrawTransform();
        vertices.resize(mesh.positions.size());
        for (uint32_t v = 0; v < mesh.positions.size(); ++v) {
            const Point f = Vertex(mesh, v);
            const Vec3 w = draw.TransformPoint({f.x, f.y, f.z});
            vertices[v] = {w.x, w.y, w.z};
        }
        for (const MeshTriangle& t : mesh.triangles) {
            const Point& a = vertices[t.position[0]];
            const Point& b = vertices[t.position[1]];
            const Point& c = vertices[t.position[2]];
            boxes.push_back(
                {{std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z})},
                 {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}),
                  std::max({a.z, b.z, c.z})}});
        }
    }

    // The distance from p to the drawn body. A triangle whose box lies farther from p than the
    // nearest triangle found so far cannot be nearer: it is passed over.
    double DistanceTo(Point p) const {
        double nearest = 1e9;
        for (size_t i = 0; i < mesh.triangles.size(); ++i) {
            const Box& box = boxes[i];
            const double gx = std::max({box.low.x - p.x, p.x - box.high.x, 0.0});
            const double gy = std::max({box.low.y - p.y, p.y - box.high.y, 0.0});
            const double gz = std::max({box.low.z - p.z, p.z - box.high.z, 0.0});
            if (std::sqrt(gx * gx + gy * gy + gz * gz) > nearest + 1e-9) {
                continue;
            }
            const MeshTriangle& t = mesh.triangles[i];
            nearest = std::min(nearest,
                               TriangleDistance(p, vertices[t.position[0]], vertices[t.position[1]],
                                                vertices[t.position[2]]));
        }
        return nearest;
    }

private:
    struct Box {
        Point low, high;
    };
    const Mesh& mesh;
    std::vector<Point> vertices;
    std::vector<Box> boxes;
};

ObjReadResult ReadModel(const std::string& name) {
    ObjReadResult read = ReadObj(DefaultModel(name));
    EXPECT_TRUE(read.mesh) << read.error;
    return read;
}

} // namespace

TEST(DefaultModelsTest, BodyIsOneClosedSkinColouredSurfaceStandingInItsBox) {
    const ObjReadResult read = ReadModel("man1.obj");
    ASSERT_TRUE(read.mesh);
    const Mesh& mesh = *read.mesh;

    EXPECT_GE(mesh.triangles.size(), 50000u);
    EXPECT_LE(mesh.triangles.size(), 150000u);
    // Feet on y = 0, 2 m tall, back at z = 0, centred on x = 0, facing +Z and shallower than wide.
    EXPECT_FLOAT_EQ(mesh.box[1], 0.0f);
    EXPECT_FLOAT_EQ(mesh.box[4], 2.0f);
    EXPECT_FLOAT_EQ(mesh.box[2], 0.0f);
    EXPECT_FLOAT_EQ(mesh.box[0], -mesh.box[3]);
    EXPECT_GT(mesh.box[3], 0.25f);
    EXPECT_LT(mesh.box[5], 0.45f);

    const EdgeCounts edges = CountBadEdges(mesh);
    EXPECT_EQ(edges.unpaired, 0);
    EXPECT_EQ(edges.misoriented, 0);
    EXPECT_EQ(CountHardEdges(mesh), 0);
    // An adult of 2 m: some 0.07 to 0.12 cubic metres.
    const double volume = SignedVolume(mesh);
    EXPECT_GT(volume, 0.07);
    EXPECT_LT(volume, 0.12);

    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[1].name, "skin");
    EXPECT_NEAR(mesh.materials[1].diffuse[0], 0.87f, 0.03f);
    EXPECT_NEAR(mesh.materials[1].diffuse[1], 0.72f, 0.03f);
    EXPECT_NEAR(mesh.materials[1].diffuse[2], 0.62f, 0.03f);
    for (const MeshGroup& group : mesh.groups) {
        if (!group.triangleIndices.empty()) {
            EXPECT_EQ(group.name, "skin");
            EXPECT_EQ(group.material, 1u);
        }
    }
}

TEST(DefaultModelsTest, BodyLoadsTwoMetresTallWithItsJointsInsideTheArm) {
    Body body;
    const Status loaded = body.Load(DefaultModel("man1.obj"));
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    EXPECT_FLOAT_EQ(body.GetHeight(), 2.0f);
    EXPECT_FLOAT_EQ(body.GetScale(), 1.0f);

    // Read the file again: the loaded mesh is centred by the fitting.
    const ObjReadResult read = ReadModel("man1.obj");
    ASSERT_TRUE(read.mesh);
    EXPECT_NEAR(body.GetDepth(), read.mesh->box[5], 1e-5);

    // The pivots found from the landmarks are those older files' arm pose turned about.
    const Vec3 shoulderPivot = body.GetPivots()[skeleton::Joint::RightShoulder];
    const Vec3 elbowPivot = body.GetPivots()[skeleton::Joint::RightElbow];
    const Point shoulder = {shoulderPivot.x, shoulderPivot.y, shoulderPivot.z};
    const Point elbow = {elbowPivot.x, elbowPivot.y, elbowPivot.z};
    EXPECT_NEAR(shoulder.x, -0.2093, 1e-3);
    EXPECT_NEAR(elbow.y, 1.2802, 1e-3);

    // Each pivot is inside the body (an odd number of crossings along a ray) and inside the arm:
    // the skin is within a few centimetres on the outer side, and at the elbow also on the
    // inner side, where the arm hangs free of the trunk.
    const Point outward = {-1, 0.0123, 0.0071};
    const Point inward = {1, 0.0123, 0.0071};
    const std::vector<double> shoulderOut = RayHits(*read.mesh, shoulder, outward);
    ASSERT_FALSE(shoulderOut.empty());
    EXPECT_EQ(shoulderOut.size() % 2, 1u);
    EXPECT_LT(shoulderOut.front(), 0.08);
    const std::vector<double> elbowOut = RayHits(*read.mesh, elbow, outward);
    const std::vector<double> elbowIn = RayHits(*read.mesh, elbow, inward);
    ASSERT_FALSE(elbowOut.empty());
    ASSERT_FALSE(elbowIn.empty());
    EXPECT_EQ(elbowOut.size() % 2, 1u);
    EXPECT_LT(elbowOut.front(), 0.06);
    EXPECT_LT(elbowIn.front(), 0.06);
    // Beyond the inner skin of the elbow lies air, then the trunk.
    ASSERT_GE(elbowIn.size(), 2u);
    EXPECT_GT(elbowIn[1] - elbowIn[0], 0.005);
}

TEST(DefaultModelsTest, BodyKeepsItsPartsAsGroupsSplitAtTheShoulderAndElbow) {
    const ObjReadResult read = ReadModel("man1.obj");
    ASSERT_TRUE(read.mesh);
    const Mesh& mesh = *read.mesh;
    const std::vector<std::string> groups = TriangleGroups("man1.obj");
    ASSERT_EQ(groups.size(), mesh.triangles.size());

    std::map<std::string, int> counts;
    // The lowest upper-arm point and the highest forearm point, per side.
    std::map<std::string, double> lowest, highest;
    for (size_t i = 0; i < groups.size(); ++i) {
        const std::string& group = groups[i];
        ++counts[group];
        const MeshTriangle& t = mesh.triangles[i];
        // Triangles of the legs may cross the midline at the crotch; their centres may not.
        const double centreX = (Vertex(mesh, t.position[0]).x + Vertex(mesh, t.position[1]).x +
                                Vertex(mesh, t.position[2]).x) /
                               3.0;
        EXPECT_TRUE(group.rfind("right_", 0) != 0 || centreX < 0.0) << group;
        EXPECT_TRUE(group.rfind("left_", 0) != 0 || centreX > 0.0) << group;
        for (int c = 0; c < 3; ++c) {
            const Point p = Vertex(mesh, t.position[c]);
            if (group == "head") {
                EXPECT_GT(p.y, 1.70);
            }
            lowest.try_emplace(group, p.y);
            highest.try_emplace(group, p.y);
            lowest[group] = std::min(lowest[group], p.y);
            highest[group] = std::max(highest[group], p.y);
        }
    }
    const std::set<std::string> expected = {
        "head",         "trunk",       "right_arm",  "left_arm",    "right_forearm",
        "left_forearm", "right_thigh", "left_thigh", "right_shank", "left_shank"};
    for (const std::string& name : expected) {
        EXPECT_GT(counts[name], 1000) << name;
    }
    EXPECT_EQ(counts.size(), expected.size()) << "every triangle belongs to one of the parts";
    EXPECT_EQ(counts["right_arm"], counts["left_arm"]);
    EXPECT_EQ(counts["right_forearm"], counts["left_forearm"]);

    // The upper arm runs from the shoulder (1.585) to the elbow (1.280); the forearm and hand
    // from the elbow down; the border is within the joint's few centimetres.
    for (const char* side : {"right_", "left_"}) {
        SCOPED_TRACE(side);
        const std::string arm = std::string(side) + "arm";
        const std::string forearm = std::string(side) + "forearm";
        EXPECT_NEAR(lowest[arm], 1.28, 0.03);
        EXPECT_NEAR(highest[forearm], 1.28, 0.04);
        EXPECT_GT(highest[arm], 1.62);
        EXPECT_LT(lowest[forearm], 0.80);
        // The thigh ends and the shank begins at the knee (0.545), through the kneecap.
        const std::string thigh = std::string(side) + "thigh";
        const std::string shank = std::string(side) + "shank";
        EXPECT_NEAR(lowest[thigh], 0.545, 0.01);
        EXPECT_NEAR(highest[shank], 0.545, 0.01);
        EXPECT_LT(lowest[shank], 0.001);
    }
    EXPECT_EQ(counts["right_thigh"], counts["left_thigh"]);
}

TEST(DefaultModelsTest, LandmarksLieOnTheDrawnBodyOnTheirSide) {
    Body body;
    const Status loaded = body.Load(DefaultModel("man1.obj"));
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    ASSERT_TRUE(body.GetLandmarkStatus().ok()) << body.GetLandmarkStatus().message();
    const std::vector<Landmark>& landmarks = body.GetLandmarks().GetLandmarks();

    std::set<std::string> names;
    const DrawnBody drawnBody(body);
    for (const Landmark& landmark : landmarks) {
        SCOPED_TRACE(landmark.name);
        names.insert(landmark.name);
        const Point p = {landmark.position.x, landmark.position.y, landmark.position.z};
        EXPECT_LT(drawnBody.DistanceTo(p), 0.01);
        if (landmark.name.rfind("left ", 0) == 0) {
            EXPECT_GT(p.x, 0.02);
        } else if (landmark.name.rfind("right ", 0) == 0) {
            EXPECT_LT(p.x, -0.02);
        } else {
            EXPECT_NEAR(p.x, 0.0, 1e-3);
        }
    }
    for (const char* name :
         {"jugular notch", "umbilicus", "right clavicle", "left nipple", "right iliac crest",
          "left anterior superior iliac spine", "right scapula", "lumbar spine", "left buttock",
          "right gluteal fold", "left patella", "right lateral malleolus", "left medial malleolus",
          "right heel", "nose tip", "chin", "left ear"}) {
        EXPECT_EQ(names.count(name), 1u) << name;
    }

    // A taller, broader body carries them along: still on its skin.
    body.SetScaleX(1.2);
    ASSERT_TRUE(body.SetHeight(1.75));
    const LandmarkTable drawn = body.DrawnLandmarks();
    const DrawnBody scaled(body);
    for (const Landmark& landmark : drawn.GetLandmarks()) {
        if (landmark.name == "umbilicus" || landmark.name == "left nipple") {
            const Point p = {landmark.position.x, landmark.position.y, landmark.position.z};
            EXPECT_LT(scaled.DistanceTo(p), 0.01) << landmark.name;
        }
    }
}

TEST(DefaultModelsTest, ArrowsRunAlongMinusZFromTheirTailToTheirPoint) {
    struct Expected {
        const char* file;
        double minTip, maxTip;
    };
    for (const Expected& expected :
         {Expected{"Arrow1.obj", -0.70, -0.55}, Expected{"HalfArrow1.obj", -0.16, -0.09}}) {
        SCOPED_TRACE(expected.file);
        const ObjReadResult read = ReadModel(expected.file);
        ASSERT_TRUE(read.mesh);
        const Mesh& mesh = *read.mesh;
        // The tail stops short of the label's tick at +0.66; the head is round and slim.
        EXPECT_GT(mesh.box[5], 0.6f);
        EXPECT_LT(mesh.box[5], 0.66f);
        EXPECT_GE(mesh.box[2], expected.minTip);
        EXPECT_LE(mesh.box[2], expected.maxTip);
        EXPECT_NEAR(mesh.box[0], -mesh.box[3], 1e-5);
        EXPECT_NEAR(mesh.box[1], -mesh.box[4], 1e-5);
        EXPECT_GT(mesh.box[3], 0.01f);
        EXPECT_LT(mesh.box[3], 0.025f);
        EXPECT_GE(mesh.triangles.size(), 24u * 4);
        // No material: the trajectory's colour paints it.
        EXPECT_TRUE(mesh.materials.empty());

        const EdgeCounts edges = CountBadEdges(mesh);
        EXPECT_EQ(edges.unpaired, 0);
        EXPECT_EQ(edges.misoriented, 0);
        EXPECT_GT(SignedVolume(mesh), 0.0);
        // The point lies on the axis at the far end.
        const std::vector<double> alongAxis = RayHits(mesh, {0.0005, 0.0003, 1.0}, {0, 0, -1});
        ASSERT_EQ(alongAxis.size(), 2u);
        EXPECT_NEAR(1.0 - alongAxis.back(), mesh.box[2], 0.01);
    }
}
