#pragma once

#include "base/Status.h"
#include "body/Body.h"
#include "case/CaseInfo.h"
#include "case/CaseWorld.h"
#include "case/ElementList.h"
#include "case/Trajectory.h"
#include "mesh/Mesh.h"

#include <array>
#include <memory>
#include <string>

// Where the program finds the models it starts with, relative to the folder it was started from.
struct DefaultModelFiles {
    std::string body = "./data/default/man1.obj";
    std::string arrow = "./data/default/Arrow1.obj";
    std::string halfArrow = "./data/default/HalfArrow1.obj";

    // The same files below the start folder, or else where the program was installed.
    static DefaultModelFiles Located();
};

// What the user builds and saves: the body with its parameters and pose, up to 20 trajectories
// and up to 20 elements, the file the body was read from, and the two arrow models the
// trajectories are drawn with. The program changes a case through its CaseEditor; everything
// else reads it.
class Case {
public:
    static constexpr int kMaxTrajectories = 20;

    Case();
    ~Case();
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;

    Body& GetBody() { return body; }
    const Body& GetBody() const { return body; }
    ElementList& GetElements() { return elements; }
    const ElementList& GetElements() const { return elements; }
    // Where the body stands, the scene model and the muzzle heights.
    CaseWorld& GetWorld() { return world; }
    const CaseWorld& GetWorld() const { return world; }

    // Trajectory table. AddTrajectory returns nullptr (and adds nothing) when the table is full.
    Trajectory* AddTrajectory(int exited);
    // Puts a copy of `trajectory` at the 0-based index (0..count); later entries move up one
    // place. Returns the new entry, or nullptr (adding nothing) when the table is full or the
    // index is out of range.
    Trajectory* InsertTrajectory(int index, const Trajectory& trajectory);
    int GetTrajectoryCount() const { return trajectoryCount; }
    // The entry at the 0-based index, or nullptr outside 0..count-1.
    Trajectory* GetTrajectory(int index);
    const Trajectory* GetTrajectory(int index) const;
    // The entry added or inserted last.
    Trajectory* GetLastTrajectory();
    // Removes the entry; later ones move down one place. An index out of range changes nothing.
    void DeleteTrajectory(int index);
    // Deletes every trajectory and element.
    void DeleteAll();

    // Reads the two arrow models and the body (whose reader's warnings go to `warnings` when
    // given). Every model is tried, so that one missing file does not hide the others; the first
    // failure is returned.
    Status LoadModels(const DefaultModelFiles& files = {},
                      const Body::WarningSink& warnings = nullptr);
    const Mesh* GetArrowModel() const { return arrowModel.get(); }
    const Mesh* GetHalfArrowModel() const { return halfArrowModel.get(); }
    // The full arrow for a bullet that left the body, the half arrow for one that stayed inside;
    // nullptr while that model is not loaded.
    const Mesh* ArrowModelFor(const Trajectory& trajectory) const;

    // Who examined the case and when: changed only through the CaseEditor, like the rest.
    const CaseInfo& GetCaseInfo() const { return caseInfo; }
    void SetCaseInfo(CaseInfo value) { caseInfo = std::move(value); }

    // The file the body was read from.
    const std::string& GetBodyModelFile() const { return bodyModelFile; }
    void SetBodyModelFile(const std::string& path) { bodyModelFile = path; }

private:
    Body body;
    ElementList elements;
    CaseInfo caseInfo;
    CaseWorld world;
    std::array<std::unique_ptr<Trajectory>, kMaxTrajectories> trajectories;
    int trajectoryCount = 0;
    int lastTrajectory = 0;
    std::string bodyModelFile = DefaultModelFiles().body;
    std::unique_ptr<Mesh> arrowModel;
    std::unique_ptr<Mesh> halfArrowModel;
};
