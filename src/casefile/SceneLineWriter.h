#pragma once

#include <string>

#include <string_view>

struct Case;
struct Trajectory;

// The data file's lines about the world around the body. Each is written only when it says more
// than its default, so that a case without a placed body, scene or exterior point is written
// exactly as before; readers that know nothing of them skip them.

// In the body block: "   <placement>x y z heading</placement>" (m, m, m, degrees).
void AppendBodyPlacementLine(std::string& out, const Case& theCase, std::string_view lineEnd);
// In a trajectory block, after its other lines: one "  <exterior>x y z before|after</exterior>"
// per exterior point (scene frame, m) and "  <group>NAME</group>".
void AppendTrajectoryWorldLines(std::string& out, const Trajectory& trajectory,
                                std::string_view lineEnd);
// After the elements: the scene block with "<model>PATH</model>", "<placement>x y z
// heading</placement>" and "<muzzleheights>150 100 30</muzzleheights>" (cm). The model is named
// `modelName`, the case's model as this file names it (SceneModelNameInFile).
void AppendSceneBlock(std::string& out, const Case& theCase, std::string_view modelName,
                      std::string_view lineEnd);

// The first text of the world lines that would not read back whole, named for the user; empty
// when every one fits.
std::string SceneTextTooLong(const Case& theCase);
