#pragma once

#include "base/Matrix4.h"

#include <vector>

class Body;
class PosedCase;

// The two body diagrams, front and back.
enum class DiagramSide { Front, Back };

// "front" or "back".
const char* DiagramSideName(DiagramSide side);

// A wound as the body diagrams mark it: its trajectory's number, where it was measured (body
// frame, metres, the body in the anatomical position), whether it is the entry (a circle) or the
// exit (a square), and the diagram it is marked on.
struct DiagramWound {
    int number = 0;
    Vec3 point;
    bool entry = true;
    DiagramSide side = DiagramSide::Front;
};

// The case's wounds as the diagrams mark them, whatever the posture: each trajectory's measured
// IN, and its OUT when the bullet left the body, each on the side of the body it lies on.
std::vector<DiagramWound> CaseWounds(const PosedCase& posed);

// The body's mesh in the anatomical position at its height and stretches (body frame, metres),
// indexed as the triangles index Mesh::positions; empty without a mesh.
std::vector<Vec3> RestMeshVertices(const Body& body);

// The side of the body in the anatomical position each point (body frame) lies on: the front
// when the point lies in front of the middle of the body's cross-section through it, the back
// otherwise. The cross-section is where the line through the point along Z crosses the rest mesh
// (so that a wound of the arm is judged by the arm, not by the trunk); for a point off the body's
// outline, the slice of the mesh at its height, or the whole mesh; without a mesh, the points'
// own depths.
std::vector<DiagramSide> SidesOnBody(const Body& body, const std::vector<Vec3>& points);
