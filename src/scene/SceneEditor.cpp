#include "scene/SceneEditor.h"

#include "scene/BodyEdit.h"
#include "scene/CaseEdit.h"
#include "scene/ElementEdit.h"
#include "scene/ElementListEdit.h"
#include "scene/TrajectoryEdit.h"
#include "scene/TrajectoryListEdit.h"
#include "scene/Universe.h"

#include <algorithm>

void SceneEditor::Submit(std::unique_ptr<SceneEdit> edit) {
    if (!edit) {
        return;
    }
    edit->Apply(scene);
    Notify(SceneChange::Kind::Done, edit.get());
    if (recorder) {
        recorder(std::move(edit));
    }
}

void SceneEditor::Undo(const SceneEdit& edit) {
    edit.Revert(scene);
    Notify(SceneChange::Kind::Undone, &edit);
}

void SceneEditor::Redo(const SceneEdit& edit) {
    edit.Apply(scene);
    Notify(SceneChange::Kind::Redone, &edit);
}

void SceneEditor::Preview() {
    Notify(SceneChange::Kind::Preview, nullptr);
}

int SceneEditor::AddListener(Listener listener) {
    listeners.push_back({nextKey, std::move(listener)});
    return nextKey++;
}

void SceneEditor::RemoveListener(int key) {
    std::erase_if(listeners, [key](const Entry& entry) { return entry.key == key; });
}

void SceneEditor::Notify(SceneChange::Kind kind, const SceneEdit* edit) {
    const SceneChange change{kind, edit};
    // A listener may remove itself (or another) while being told.
    const std::vector<Entry> current = listeners;
    for (const Entry& entry : current) {
        entry.listener(change);
    }
}

bool SceneEditor::EditTrajectory(int index, const std::string& name,
                                 const std::function<void(Path&)>& change) {
    const Path* current = scene.GetTrajectory(index);
    if (current == nullptr) {
        return false;
    }
    Path after = *current;
    change(after);
    if (after == *current) {
        return false;
    }
    Submit(std::make_unique<TrajectoryEdit>(name, index, *current, std::move(after)));
    return true;
}

bool SceneEditor::EditElement(int index, const std::string& name,
                              const std::function<void(VkElement&)>& change) {
    const VkElement* current = scene.GetElements().GetItem(index);
    if (current == nullptr) {
        return false;
    }
    VkElement after = *current;
    change(after);
    if (after == *current) {
        return false;
    }
    Submit(std::make_unique<ElementEdit>(name, index, *current, std::move(after)));
    return true;
}

bool SceneEditor::EditBody(const std::string& name, const std::function<void(Body&)>& change) {
    Body after = scene.GetBody();
    change(after);
    return CommitBodyValue(name, scene.GetBody(), std::move(after));
}

bool SceneEditor::EditCase(const std::string& name, const std::function<void(Universe&)>& change) {
    CaseContents before = CaseContents::Capture(scene);
    change(scene);
    CaseContents after = CaseContents::Capture(scene);
    if (after == before) {
        return false;
    }
    Submit(std::make_unique<CaseEdit>(name, std::move(before), std::move(after)));
    return true;
}

bool SceneEditor::CommitTrajectory(int index, const std::string& name, const Path& before) {
    const Path* current = scene.GetTrajectory(index);
    if (current == nullptr || *current == before) {
        return false;
    }
    Submit(std::make_unique<TrajectoryEdit>(name, index, before, *current));
    return true;
}

bool SceneEditor::CommitElement(int index, const std::string& name, const VkElement& before) {
    const VkElement* current = scene.GetElements().GetItem(index);
    if (current == nullptr || *current == before) {
        return false;
    }
    Submit(std::make_unique<ElementEdit>(name, index, before, *current));
    return true;
}

bool SceneEditor::CommitBody(const std::string& name, const Body& before) {
    return CommitBodyValue(name, before, scene.GetBody());
}

bool SceneEditor::CommitBodyValue(const std::string& name, const Body& before, Body after) {
    if (after == before) {
        return false;
    }
    Submit(std::make_unique<BodyEdit>(name, before, std::move(after)));
    return true;
}

bool SceneEditor::AddTrajectory(const std::string& name, const Path& path) {
    if (scene.GetTrajectoryCount() >= Universe::kMaxTrajectories) {
        return false;
    }
    Submit(std::make_unique<TrajectoryListEdit>(name, TrajectoryListEdit::Kind::Add,
                                                scene.GetTrajectoryCount(), path));
    return true;
}

bool SceneEditor::AddElement(const std::string& name, const VkElement& element) {
    const int count = scene.GetElements().GetCount();
    if (count >= VkElementList::kCapacity) {
        return false;
    }
    Submit(std::make_unique<ElementListEdit>(name, ElementListEdit::Kind::Add, count, element));
    return true;
}

bool SceneEditor::DeleteTrajectory(const std::string& name, int index) {
    const Path* path = scene.GetTrajectory(index);
    if (path == nullptr) {
        return false;
    }
    Submit(
        std::make_unique<TrajectoryListEdit>(name, TrajectoryListEdit::Kind::Remove, index, *path));
    return true;
}

bool SceneEditor::DeleteElement(const std::string& name, int index) {
    const VkElement* element = scene.GetElements().GetItem(index);
    if (element == nullptr) {
        return false;
    }
    Submit(std::make_unique<ElementListEdit>(name, ElementListEdit::Kind::Remove, index, *element));
    return true;
}
