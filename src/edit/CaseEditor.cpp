#include "edit/CaseEditor.h"

#include "case/EntryNumber.h"
#include "edit/CtBodyLock.h"

#include <algorithm>

CaseEditor::CaseEditor(Case& edited) : theCase(edited), posed(edited) {}

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

void CaseEditor::Replace(const Case& fresh) {
    theCase = fresh;
    Notify(CaseChange::Kind::Replaced, nullptr);
}

void CaseEditor::Preview() {
    Notify(CaseChange::Kind::Preview, nullptr);
}

bool CaseEditor::PreviewTrajectory(int number, const std::function<void(Trajectory&)>& change) {
    Trajectory* trajectory = theCase.TrajectoryNumbered(number);
    if (trajectory == nullptr) {
        return false;
    }
    change(*trajectory);
    Preview();
    return true;
}

bool CaseEditor::PreviewElement(int number, const std::function<void(Element&)>& change) {
    Element* element = theCase.ElementNumbered(number);
    if (element == nullptr) {
        return false;
    }
    change(*element);
    Preview();
    return true;
}

void CaseEditor::PreviewBody(const std::function<void(Body&)>& change) {
    Body changed = theCase.body;
    change(changed);
    refusal = BodyChangeRefusal(theCase, theCase.body, changed);
    if (!refusal.empty()) {
        return;
    }
    theCase.body = changed; // copies the parameters, shares the model
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
    posed = PosedCase(theCase, &posed);
    const CaseChange change{kind, edit};
    // A listener may remove itself (or another) while being told.
    const std::vector<Entry> current = listeners;
    for (const Entry& entry : current) {
        entry.listener(change);
    }
}

bool CaseEditor::BodyChangeAllowed(const Case& before, const Case& after) {
    // Reading a series again, another one or none replaces the body as a whole.
    refusal =
        before.ct == after.ct ? BodyChangeRefusal(after, before.body, after.body) : std::string();
    return refusal.empty();
}

bool CaseEditor::SubmitFrom(const std::string& name, Case before, bool renumbers) {
    if (before == theCase) {
        return false;
    }
    Submit(std::make_unique<CaseEdit>(name, std::move(before), theCase, renumbers));
    return true;
}

bool CaseEditor::SubmitTo(const std::string& name, Case after, bool renumbers) {
    if (after == theCase) {
        return false;
    }
    Submit(std::make_unique<CaseEdit>(name, theCase, std::move(after), renumbers));
    return true;
}

bool CaseEditor::EditTrajectory(int number, const std::string& name,
                                const std::function<void(Trajectory&)>& change) {
    if (theCase.TrajectoryNumbered(number) == nullptr) {
        return false;
    }
    Case after = theCase;
    change(*after.TrajectoryNumbered(number));
    return SubmitTo(name, std::move(after), false);
}

bool CaseEditor::EditElement(int number, const std::string& name,
                             const std::function<void(Element&)>& change) {
    if (theCase.ElementNumbered(number) == nullptr) {
        return false;
    }
    Case after = theCase;
    change(*after.ElementNumbered(number));
    return SubmitTo(name, std::move(after), false);
}

bool CaseEditor::EditBody(const std::string& name, const std::function<void(Body&)>& change) {
    Case after = theCase;
    change(after.body);
    if (!BodyChangeAllowed(theCase, after)) {
        return false;
    }
    return SubmitTo(name, std::move(after), false);
}

bool CaseEditor::EditCase(const std::string& name, const std::function<void(Case&)>& change) {
    Case before = theCase;
    change(theCase);
    if (!BodyChangeAllowed(before, theCase)) {
        theCase = std::move(before);
        return false;
    }
    return SubmitFrom(name, std::move(before), true);
}

bool CaseEditor::CommitTrajectory(int number, const std::string& name, const Trajectory& before,
                                  const std::function<void(Trajectory&)>& finish) {
    Trajectory* current = theCase.TrajectoryNumbered(number);
    if (current == nullptr) {
        return false;
    }
    if (finish) {
        finish(*current);
    }
    Case start = theCase;
    *start.TrajectoryNumbered(number) = before;
    return SubmitFrom(name, std::move(start), false);
}

bool CaseEditor::CommitElement(int number, const std::string& name, const Element& before) {
    if (theCase.ElementNumbered(number) == nullptr) {
        return false;
    }
    Case start = theCase;
    *start.ElementNumbered(number) = before;
    return SubmitFrom(name, std::move(start), false);
}

bool CaseEditor::CommitBody(const std::string& name, const Body& before,
                            const std::function<void(Body&)>& finish) {
    if (finish) {
        finish(theCase.body);
    }
    Case start = theCase;
    start.body = before;
    if (!BodyChangeAllowed(start, theCase)) {
        theCase = std::move(start);
        Preview();
        return false;
    }
    return SubmitFrom(name, std::move(start), false);
}

bool CaseEditor::EditCaseInfo(const std::string& name, const CaseInfo& info) {
    Case after = theCase;
    after.info = info;
    return SubmitTo(name, std::move(after), false);
}

bool CaseEditor::AddTrajectory(const std::string& name, const Trajectory& trajectory) {
    if (theCase.TrajectoryCount() >= Case::kMaxTrajectories) {
        return false;
    }
    Case after = theCase;
    after.trajectories.push_back(trajectory);
    return SubmitTo(name, std::move(after), true);
}

bool CaseEditor::AddElement(const std::string& name, const Element& element) {
    if (theCase.ElementCount() >= Case::kMaxElements) {
        return false;
    }
    Case after = theCase;
    after.elements.push_back(element);
    return SubmitTo(name, std::move(after), true);
}

bool CaseEditor::DeleteTrajectory(const std::string& name, int number) {
    if (theCase.TrajectoryNumbered(number) == nullptr) {
        return false;
    }
    Case after = theCase;
    after.trajectories.erase(after.trajectories.begin() +
                             static_cast<std::ptrdiff_t>(IndexOfNumber(number)));
    return SubmitTo(name, std::move(after), true);
}

bool CaseEditor::DeleteElement(const std::string& name, int number) {
    if (theCase.ElementNumbered(number) == nullptr) {
        return false;
    }
    Case after = theCase;
    after.elements.erase(after.elements.begin() +
                         static_cast<std::ptrdiff_t>(IndexOfNumber(number)));
    return SubmitTo(name, std::move(after), true);
}
