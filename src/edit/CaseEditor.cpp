#include "edit/CaseEditor.h"

#include "case/Case.h"
#include "edit/BodyEdit.h"
#include "edit/CaseInfoEdit.h"
#include "edit/ElementEdit.h"
#include "edit/ElementListEdit.h"
#include "edit/TrajectoryEdit.h"
#include "edit/TrajectoryListEdit.h"
#include "edit/WholeCaseEdit.h"

#include <algorithm>

void CaseEditor::Submit(std::unique_ptr<CaseEdit> edit) {
    if (!edit) {
        return;
    }
    edit->Apply(theCase);
    Notify(CaseChange::Kind::Done, edit.get());
    if (recorder) {
        recorder(std::move(edit));
    }
}

void CaseEditor::Undo(const CaseEdit& edit) {
    edit.Revert(theCase);
    Notify(CaseChange::Kind::Undone, &edit);
}

void CaseEditor::Redo(const CaseEdit& edit) {
    edit.Apply(theCase);
    Notify(CaseChange::Kind::Redone, &edit);
}

void CaseEditor::Preview() {
    Notify(CaseChange::Kind::Preview, nullptr);
}

bool CaseEditor::PreviewTrajectory(int index, const std::function<void(Trajectory&)>& change) {
    Trajectory* trajectory = theCase.GetTrajectory(index);
    if (trajectory == nullptr) {
        return false;
    }
    change(*trajectory);
    Preview();
    return true;
}

bool CaseEditor::PreviewElement(int index, const std::function<void(Element&)>& change) {
    Element* element = theCase.GetElements().GetItem(index);
    if (element == nullptr) {
        return false;
    }
    change(*element);
    Preview();
    return true;
}

void CaseEditor::PreviewBody(const std::function<void(Body&)>& change) {
    change(theCase.GetBody());
    Preview();
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
    const Trajectory* current = theCase.GetTrajectory(index);
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
    const Element* current = theCase.GetElements().GetItem(index);
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
    Body after = theCase.GetBody();
    change(after);
    return CommitBodyValue(name, theCase.GetBody(), std::move(after));
}

bool CaseEditor::EditCase(const std::string& name, const std::function<void(Case&)>& change) {
    CaseContents before = CaseContents::Capture(theCase);
    change(theCase);
    CaseContents after = CaseContents::Capture(theCase);
    if (after == before) {
        return false;
    }
    Submit(std::make_unique<WholeCaseEdit>(name, std::move(before), std::move(after)));
    return true;
}

bool CaseEditor::CommitTrajectory(int index, const std::string& name, const Trajectory& before,
                                  const std::function<void(Trajectory&)>& finish) {
    Trajectory* current = theCase.GetTrajectory(index);
    if (current == nullptr) {
        return false;
    }
    if (finish) {
        finish(*current);
    }
    if (*current == before) {
        return false;
    }
    Submit(std::make_unique<TrajectoryEdit>(name, index, before, *current));
    return true;
}

bool CaseEditor::CommitElement(int index, const std::string& name, const Element& before) {
    const Element* current = theCase.GetElements().GetItem(index);
    if (current == nullptr || *current == before) {
        return false;
    }
    Submit(std::make_unique<ElementEdit>(name, index, before, *current));
    return true;
}

bool CaseEditor::CommitBody(const std::string& name, const Body& before,
                            const std::function<void(Body&)>& finish) {
    if (finish) {
        finish(theCase.GetBody());
    }
    return CommitBodyValue(name, before, theCase.GetBody());
}

bool CaseEditor::CommitBodyValue(const std::string& name, const Body& before, Body after) {
    if (after == before) {
        return false;
    }
    Submit(std::make_unique<BodyEdit>(name, before, std::move(after)));
    return true;
}

bool CaseEditor::AddTrajectory(const std::string& name, const Trajectory& trajectory) {
    if (theCase.GetTrajectoryCount() >= Case::kMaxTrajectories) {
        return false;
    }
    Submit(std::make_unique<TrajectoryListEdit>(name, TrajectoryListEdit::Kind::Add,
                                                theCase.GetTrajectoryCount(), trajectory));
    return true;
}

bool CaseEditor::AddElement(const std::string& name, const Element& element) {
    const int count = theCase.GetElements().GetCount();
    if (count >= ElementList::kCapacity) {
        return false;
    }
    Submit(std::make_unique<ElementListEdit>(name, ElementListEdit::Kind::Add, count, element));
    return true;
}

bool CaseEditor::DeleteTrajectory(const std::string& name, int index) {
    const Trajectory* trajectory = theCase.GetTrajectory(index);
    if (trajectory == nullptr) {
        return false;
    }
    Submit(std::make_unique<TrajectoryListEdit>(name, TrajectoryListEdit::Kind::Remove, index,
                                                *trajectory));
    return true;
}

bool CaseEditor::DeleteElement(const std::string& name, int index) {
    const Element* element = theCase.GetElements().GetItem(index);
    if (element == nullptr) {
        return false;
    }
    Submit(std::make_unique<ElementListEdit>(name, ElementListEdit::Kind::Remove, index, *element));
    return true;
}

bool CaseEditor::EditCaseInfo(const std::string& name, const CaseInfo& info) {
    if (info == theCase.GetCaseInfo()) {
        return false;
    }
    Submit(std::make_unique<CaseInfoEdit>(name, theCase.GetCaseInfo(), info));
    return true;
}
