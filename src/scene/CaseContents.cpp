#include "scene/CaseContents.h"

#include "scene/Universe.h"

#include <memory>

CaseContents CaseContents::Capture(const Universe& scene) {
    CaseContents contents;
    for (int i = 0; i < scene.GetTrajectoryCount(); ++i) {
        contents.trajectories.push_back(*scene.GetTrajectory(i));
    }
    const VkElementList& elements = scene.GetElements();
    for (int i = 0; i < elements.GetCount(); ++i) {
        contents.elements.push_back(*elements.GetItem(i));
    }
    contents.body = scene.GetBody();
    contents.bodyModelFile = scene.GetBodyModelFile();
    return contents;
}

void CaseContents::RestoreInto(Universe& scene) const {
    scene.DeleteAll(); // also clears the selection
    for (const Path& path : trajectories) {
        scene.InsertTrajectory(scene.GetTrajectoryCount(), path);
    }
    VkElementList& list = scene.GetElements();
    for (const VkElement& element : elements) {
        list.Add(std::make_unique<VkElement>(element));
    }
    scene.GetBody() = body;
    scene.SetBodyModelFile(bodyModelFile);
}
