#include "case/Case.h"

#include "base/ProgramFiles.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/obj/ObjReader.h"

#include <utility>

namespace {

// Arrows are drawn at their modelled size in metres, so they are not fitted.
Status LoadArrow(const std::string& path, std::unique_ptr<Mesh>& target) {
    ObjReadResult result = ReadObj(path);
    if (!result.mesh) {
        return Status::Failure(result.error.empty() ? "Read Obj failed" : std::move(result.error));
    }
    ComputeFacetNormals(*result.mesh);
    ComputeVertexNormals(*result.mesh, 90.0f);
    target = std::move(result.mesh);
    return Status::Ok();
}

} // namespace

DefaultModelFiles DefaultModelFiles::Located() {
    DefaultModelFiles files;
    files.body = ProgramFile(files.body);
    files.arrow = ProgramFile(files.arrow);
    files.halfArrow = ProgramFile(files.halfArrow);
    return files;
}

Case::Case() = default;

Case::~Case() = default;

Trajectory* Case::AddTrajectory(int exited) {
    if (trajectoryCount >= kMaxTrajectories) {
        return nullptr;
    }
    lastTrajectory = trajectoryCount;
    trajectories[lastTrajectory] = std::make_unique<Trajectory>();
    trajectories[lastTrajectory]->SetExited(exited);
    ++trajectoryCount;
    return trajectories[lastTrajectory].get();
}

Trajectory* Case::InsertTrajectory(int index, const Trajectory& trajectory) {
    if (trajectoryCount >= kMaxTrajectories || index < 0 || index > trajectoryCount) {
        return nullptr;
    }
    for (int i = trajectoryCount; i > index; --i) {
        trajectories[i] = std::move(trajectories[i - 1]);
    }
    trajectories[index] = std::make_unique<Trajectory>(trajectory);
    ++trajectoryCount;
    lastTrajectory = index;
    return trajectories[index].get();
}

Trajectory* Case::GetTrajectory(int index) {
    return (index >= 0 && index < trajectoryCount) ? trajectories[index].get() : nullptr;
}

const Trajectory* Case::GetTrajectory(int index) const {
    return (index >= 0 && index < trajectoryCount) ? trajectories[index].get() : nullptr;
}

Trajectory* Case::GetLastTrajectory() {
    return GetTrajectory(lastTrajectory);
}

void Case::DeleteTrajectory(int index) {
    if (index < 0 || index >= trajectoryCount) {
        return;
    }
    // The survivors keep their order; every later trajectory is renumbered one lower.
    for (int i = index; i + 1 < trajectoryCount; ++i) {
        trajectories[i] = std::move(trajectories[i + 1]);
    }
    --trajectoryCount;
    trajectories[trajectoryCount].reset();
}

void Case::DeleteAll() {
    for (auto& trajectory : trajectories) {
        trajectory.reset();
    }
    trajectoryCount = 0;
    elements.Clear();
}

Status Case::LoadModels(const DefaultModelFiles& files, const Body::WarningSink& warnings) {
    Status statuses[] = {LoadArrow(files.arrow, arrowModel),
                         LoadArrow(files.halfArrow, halfArrowModel),
                         body.Load(files.body, warnings)};
    bodyModelFile = files.body;
    for (Status& status : statuses) {
        if (!status) {
            return status;
        }
    }
    return Status::Ok();
}

const Mesh* Case::ArrowModelFor(const Trajectory& trajectory) const {
    return trajectory.GetExited() != 0 ? arrowModel.get() : halfArrowModel.get();
}
