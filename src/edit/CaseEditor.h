#pragma once

#include "body/Body.h"
#include "case/CaseInfo.h"
#include "case/Element.h"
#include "case/Trajectory.h"
#include "edit/CaseChange.h"
#include "edit/CaseEdit.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Case;

// The entry through which the commands change the case. Each change becomes an edit that is
// applied at once, announced to the listeners (the view draws a frame, the main window marks the
// case modified) and handed to the recorder, the undo history that later undoes and redoes it.
// Without a recorder an edit is applied and forgotten.
class CaseEditor {
public:
    using Listener = std::function<void(const CaseChange&)>;
    using Recorder = std::function<void(std::unique_ptr<CaseEdit>)>;

    explicit CaseEditor(Case& theCase) : theCase(theCase) {}
    CaseEditor(const CaseEditor&) = delete;
    CaseEditor& operator=(const CaseEditor&) = delete;

    // The case as it is now; it changes only through this editor.
    const Case& GetCase() const { return theCase; }

    // Applies the edit, tells the listeners and records it.
    void Submit(std::unique_ptr<CaseEdit> edit);
    // Takes a recorded edit back, or makes it again, and tells the listeners.
    void Undo(const CaseEdit& edit);
    void Redo(const CaseEdit& edit);
    // Tells the listeners that the case shows a change that is not an edit yet (a slider being
    // moved, a drag under way).
    void Preview();
    // Changes the trajectory or element at the 0-based index, or the body, for the display only
    // (a drag under way, a dialog's slider) and tells the listeners; nothing is recorded. The
    // Commit calls below make such a change one edit. False when there is no such entry.
    bool PreviewTrajectory(int index, const std::function<void(Trajectory&)>& change);
    bool PreviewElement(int index, const std::function<void(Element&)>& change);
    void PreviewBody(const std::function<void(Body&)>& change);

    void SetRecorder(Recorder value) { recorder = std::move(value); }
    // Returns a key for RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int key);

    // The edits the commands make. Each compares the value before and after and makes no edit
    // when nothing changed; each returns whether it made one.

    // Changes the trajectory at the 0-based index.
    bool EditTrajectory(int index, const std::string& name,
                        const std::function<void(Trajectory&)>& change);
    // Changes the element at the 0-based index.
    bool EditElement(int index, const std::string& name,
                     const std::function<void(Element&)>& change);
    // Changes the body's parameters.
    bool EditBody(const std::string& name, const std::function<void(Body&)>& change);
    // Runs a change on the case itself (reading a data file, "Delete all", loading a body) and
    // records the contents of the whole case before and after it.
    bool EditCase(const std::string& name, const std::function<void(Case&)>& change);

    // A preview already shown in the case (a drag, a slider) becomes one edit from the value it
    // started from to the value the case holds now, with `finish` (when given) applied to it
    // first: what a dialog's OK adds to what its sliders showed.
    bool CommitTrajectory(int index, const std::string& name, const Trajectory& before,
                          const std::function<void(Trajectory&)>& finish = nullptr);
    bool CommitElement(int index, const std::string& name, const Element& before);
    bool CommitBody(const std::string& name, const Body& before,
                    const std::function<void(Body&)>& finish = nullptr);

    // Replaces the case information as one edit.
    bool EditCaseInfo(const std::string& name, const CaseInfo& info);

    // Appends a trajectory or an element; false (no edit) when the table is full.
    bool AddTrajectory(const std::string& name, const Trajectory& trajectory);
    bool AddElement(const std::string& name, const Element& element);
    // Removes the entry at the 0-based index; false when there is none.
    bool DeleteTrajectory(const std::string& name, int index);
    bool DeleteElement(const std::string& name, int index);

private:
    void Notify(CaseChange::Kind kind, const CaseEdit* edit);
    bool CommitBodyValue(const std::string& name, const Body& before, Body after);

    Case& theCase;
    Recorder recorder;
    struct Entry {
        int key;
        Listener listener;
    };
    std::vector<Entry> listeners;
    int nextKey = 1;
};
