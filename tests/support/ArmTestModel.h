#pragma once

#include "mesh/io/obj/ObjReader.h"

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace armtest {

// A square tube hanging along the right arm, from y = 2 down to the hand at y = 0.6: its top
// segments are the trunk, then the upper arm down to the elbow, then the forearm. A closed block
// on the body's left side gives the model the box of a standing body (x symmetric, y and z from
// 0), so that fitting leaves every point where it is written. With `splitShoulder` the upper arm
// has its own copies of the shoulder ring, as a model written part by part would.
struct ArmModel {
    std::vector<double> ringHeights = {2.0,  1.8,  1.62, 1.57, 1.52, 1.45, 1.35,
                                       1.28, 1.24, 1.2,  1.1,  0.9,  0.75, 0.6};
    size_t shoulderRing = 2; // the trunk's last ring
    size_t elbowRing = 7;    // the upper arm's last ring
};

inline std::string ArmObj(bool splitShoulder) {
    const ArmModel model;
    const double x0 = -0.2, z0 = 0.1, h = 0.04;
    const double corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    std::ostringstream obj;
    obj << "mtllib arm.mtl\n";
    const auto ring = [&](double y) {
        for (const auto& c : corners) {
            obj << "v " << x0 + c[0] << ' ' << y << ' ' << z0 + c[1] << '\n';
        }
    };
    for (double y : model.ringHeights) {
        ring(y);
    }
    const int rings = static_cast<int>(model.ringHeights.size());
    const int copyStart = 4 * rings + 1;
    if (splitShoulder) {
        ring(model.ringHeights[model.shoulderRing]);
    }
    // The block on the left: x 0.2 to 0.24, y 0 to 2, z 0 to 0.3.
    const int block = copyStart + (splitShoulder ? 4 : 0);
    for (double y : {0.0, 2.0}) {
        obj << "v 0.2 " << y << " 0\nv 0.24 " << y << " 0\nv 0.24 " << y << " 0.3\nv 0.2 " << y
            << " 0.3\n";
    }
    const auto corner = [&](int r, int k, bool upperArmSide) {
        if (upperArmSide && splitShoulder && r == static_cast<int>(model.shoulderRing)) {
            return copyStart + k % 4;
        }
        return 4 * r + k % 4 + 1;
    };
    for (int r = 0; r + 1 < rings; ++r) {
        const bool upper =
            r >= static_cast<int>(model.shoulderRing) && r < static_cast<int>(model.elbowRing);
        const bool trunk = r < static_cast<int>(model.shoulderRing);
        obj << "usemtl " << (trunk ? "trunk" : upper ? "right_arm" : "right_forearm") << '\n';
        for (int k = 0; k < 4; ++k) {
            const int a = corner(r, k, upper), b = corner(r, k + 1, upper);
            const int c = corner(r + 1, k + 1, false), d = corner(r + 1, k, false);
            obj << "f " << a << ' ' << b << ' ' << c << "\nf " << a << ' ' << c << ' ' << d << '\n';
        }
    }
    obj << "usemtl trunk\nf 1 3 2\nf 1 4 3\n";
    obj << "usemtl right_forearm\n";
    const int last = 4 * (rings - 1) + 1;
    obj << "f " << last << ' ' << last + 1 << ' ' << last + 2 << "\nf " << last << ' ' << last + 2
        << ' ' << last + 3 << '\n';
    obj << "usemtl trunk\n";
    const int faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                              {3, 7, 6}, {3, 6, 2}, {0, 4, 7}, {0, 7, 3}, {1, 2, 6}, {1, 6, 5}};
    for (const auto& f : faces) {
        obj << "f " << block + f[0] << ' ' << block + f[1] << ' ' << block + f[2] << '\n';
    }
    return obj.str();
}

// Trunk red, arm and forearm blue.
inline std::unique_ptr<Mesh> ReadMesh(const std::string& objText) {
    ObjReadResult read =
        ReadObjFromMemory(objText, "arm.obj", [](const std::string&) -> std::optional<std::string> {
            return "newmtl trunk\nKd 1 0 0\nnewmtl right_arm\nKd 0 0 1\n"
                   "newmtl right_forearm\nKd 0 0 1\n";
        });
    return std::move(read.mesh);
}

} // namespace armtest
