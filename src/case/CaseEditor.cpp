#include "case/CaseEditor.h"

#include "case/BodyEdit.h"
#include "case/Case.h"
#include "case/ElementEdit.h"
#include "case/ElementListEdit.h"
#include "case/TrajectoryEdit.h"
#include "case/TrajectoryListEdit.h"
#include "case/WholeCaseEdit.h"

#include <algorithm>

void CaseEditor::Submit(std::unique_ptr<CaseEdit> edit) {
    if (!edit) {
        return;
    }
    edit->Apply(scene);
    Notify(CaseChange::Kind::Done, edit.get());
    if (recorder) {
        recorder(std::move(edit));
    }
}

void CaseEditor::Undo(const CaseEdit& edit) {
    edit.Revert(scene);
    Notify(CaseChange::Kind::Undone, &edit);
}

void CaseEditor::Redo(const CaseEdit& edit) {
    edit.Apply(scene);
    Notify(CaseChange::Kind::Redone, &edit);
}

void CaseEditor::Preview() {
    Notify(CaseChange::Kind::Preview, nullptr);
}

int CaseEditor::AddListener(Listener listener) {
    listeners.push_back({nextKey, std::move(listener)});
    return nextKey++;
}

void CaseEditor::RemoveListener(int key) {
    std::erase_if(listeners, [key](const Entry& entry) { return entry.key == key; });
}

void CaseEditor::Notify(CaseChange::Kind kind, const CaseEdit* edit) {
    const CaseChange change{kind, edit};
    // A listener may remove itself (or another) while being told.
    const std::vector<Entry> current = listeners;
    for (const Entry& entry : current) {
        entry.listener(change);
    }
}

bool CaseEditor::EditTrajectory(int index, const std::string& name,
                                const std::function<void(Trajectory&)>& change) {
    const Trajectory* current = scene.GetTrajectory(index);
    if (current == nullptr) {
        return false;
    }
    Trajectory after = *current;
    change(after);
    if (after == *current) {
        return false;
    }
    Submit(std::make_unique<TrajectoryEdit>(name, index, *current, std::move(after)));
    return true;
}

bool CaseEditor::EditElement(int index, const std::string& name,
                             const std::function<void(Element&)>& change) {
    const Element* current = scene.GetElements().GetItem(index);
    if (current == nullptr) {
        return false;
    }
    Element after = *current;
    change(after);
    if (after == *current) {
        return false;
    }
    Submit(std::make_unique<ElementEdit>(name, index, *current, std::move(after)));
    return true;
}

bool CaseEditor::EditBody(const std::string& name, const std::function<void(Body&)>& change) {
    Body after = scene.GetBody();
    change(after);
    return CommitBodyValue(name, scene.GetBody(), std::move(after));
}

bool CaseEditor::EditCase(const std::string& name, const std::function<void(Case&)>& change) {
    CaseContents before = CaseContents::Capture(scene);
    change(scene);
    CaseContents after = CaseContents::Capture(scene);
    if (after == before) {
        return false;
    }
    Submit(std::make_unique<WholeCaseEdit>(name, std::move(before), std::move(after)));
    return true;
}

bool CaseEditor::CommitTrajectory(int index, const std::string& name, const Trajectory& before) {
    const Trajectory* current = scene.GetTrajectory(index);
    if (current == nullptr || *current == before) {
        return false;
    }
    Submit(std::make_unique<TrajectoryEdit>(name, index, before, *current));
    return true;
}

bool CaseEditor::CommitElement(int index, const std::string& name, const Element& before) {
    const Element* current = scene.GetElements().GetItem(index);
    if (current == nullptr || *current == before) {
        return false;
    }
    Submit(std::make_unique<ElementEdit>(name, index, before, *current));
    return true;
}

bool CaseEditor::CommitBody(const std::string& name, const Body& before) {
    return CommitBodyValue(name, before, scene.GetBody());
}

bool CaseEditor::CommitBodyValue(const std::string& name, const Body& before, Body after) {
    if (after == before) {
        return false;
    }
    Submit(std::make_unique<BodyEdit>(name, before, std::move(after)));
    return true;
}

bool CaseEditor::AddTrajectory(const std::string& name, const Trajectory& path) {
    if (scene.GetTrajectoryCount() >= Case::kMaxTrajectories) {
        return false;
    }
    Submit(std::make_unique<TrajectoryListEdit>(name, TrajectoryListEdit::Kind::Add,
                                                scene.GetTrajectoryCount(), path));
    return true;
}

bool CaseEditor::AddElement(const std::string& name, const Element& element) {
    const int count = scene.GetElements().GetCount();
    if (count >= ElementList::kCapacity) {
        return false;
    }
    Submit(std::make_unique<ElementListEdit>(name, ElementListEdit::Kind::Add, count, element));
    return true;
}

bool CaseEditor::DeleteTrajectory(const std::string& name, int index) {
    const Trajectory* path = scene.GetTrajectory(index);
    if (path == nullptr) {
        return false;
    }
    Submit(
        std::make_unique<TrajectoryListEdit>(name, TrajectoryListEdit::Kind::Remove, index, *path));
    return true;
}

bool CaseEditor::DeleteElement(const std::string& name, int index) {
    const Element* element = scene.GetElements().GetItem(index);
    if (element == nullptr) {
        return false;
    }
    Submit(std::make_unique<ElementListEdit>(name, ElementListEdit::Kind::Remove, index, *element));
    return true;
}
