#include "case/CaseContents.h"

#include "case/Case.h"

#include <memory>

CaseContents CaseContents::Capture(const Case& scene) {
    CaseContents contents;
    for (int i = 0; i < scene.GetTrajectoryCount(); ++i) {
        contents.trajectories.push_back(*scene.GetTrajectory(i));
    }
    const ElementList& elements = scene.GetElements();
    for (int i = 0; i < elements.GetCount(); ++i) {
        contents.elements.push_back(*elements.GetItem(i));
    }
    contents.body = scene.GetBody();
    contents.bodyModelFile = scene.GetBodyModelFile();
    return contents;
}

void CaseContents::RestoreInto(Case& scene) const {
    scene.DeleteAll(); // also clears the selection
    for (const Trajectory& path : trajectories) {
        scene.InsertTrajectory(scene.GetTrajectoryCount(), path);
    }
    ElementList& list = scene.GetElements();
    for (const Element& element : elements) {
        list.Add(std::make_unique<Element>(element));
    }
    scene.GetBody() = body;
    scene.SetBodyModelFile(bodyModelFile);
}
