#pragma once

#include "case/Case.h"
#include "case/PosedCase.h"
#include "edit/CaseChange.h"
#include "edit/CaseEdit.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The entry through which the commands change the case. Each change becomes an edit that is
// applied at once, posed (the posed case every output reads is made again), announced to the
// listeners (the view draws a frame, the main window marks the case modified) and handed to the
// recorder, the undo history that later undoes and redoes it. Without a recorder an edit is
// applied and forgotten. Trajectories and elements are named by the numbers the user reads.
class CaseEditor {
public:
    using Listener = std::function<void(const CaseChange&)>;
    using Recorder = std::function<void(std::unique_ptr<CaseEdit>)>;

    explicit CaseEditor(Case& theCase);
    CaseEditor(const CaseEditor&) = delete;
    CaseEditor& operator=(const CaseEditor&) = delete;

    // The case as it is now; it changes only through this editor.
    const Case& GetCase() const { return theCase; }
    // The case posed as it is now: made again after every change, before the listeners hear of
    // it.
    const PosedCase& GetPosed() const { return posed; }

    // Applies the edit, tells the listeners and records it.
    void Submit(std::unique_ptr<CaseEdit> edit);
    // Takes a recorded edit back, or makes it again, and tells the listeners.
    void Undo(const CaseEdit& edit);
    void Redo(const CaseEdit& edit);
    // Puts `fresh` in place of the case, as a new start (a new case, a file read in place of the
    // case): no edit is made, since the history that could take it back is cleared with it, and
    // the listeners hear of a replacement.
    void Replace(const Case& fresh);
    // Tells the listeners that the case shows a change that is not an edit yet (a slider being
    // moved, a drag under way).
    void Preview();
    // Changes a trajectory or element, or the body, for the display only (a drag under way, a
    // dialog's slider) and tells the listeners; nothing is recorded. The Commit calls below make
    // such a change one edit. False when there is no such entry.
    bool PreviewTrajectory(int number, const std::function<void(Trajectory&)>& change);
    bool PreviewElement(int number, const std::function<void(Element&)>& change);
    void PreviewBody(const std::function<void(Body&)>& change);

    // Why the last body or case edit (or body preview) was refused; empty when it was not.
    const std::string& Refusal() const { return refusal; }

    void SetRecorder(Recorder value) { recorder = std::move(value); }
    // Returns a key for RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int key);

    // The edits the commands make. Each compares the value before and after and makes no edit
    // when nothing changed; each returns whether it made one. A change the case's body cannot
    // take (posing a body drawn from a CT series, CtBodyLock.h) is refused whole: the case stays
    // as it was, and Refusal says why.

    bool EditTrajectory(int number, const std::string& name,
                        const std::function<void(Trajectory&)>& change);
    bool EditElement(int number, const std::string& name,
                     const std::function<void(Element&)>& change);
    // Changes the body's parameters.
    bool EditBody(const std::string& name, const std::function<void(Body&)>& change);
    // Runs a change on the case as a whole (reading a data file, "Delete all", loading a body);
    // the numbers of its entries may change.
    bool EditCase(const std::string& name, const std::function<void(Case&)>& change);

    // A preview already shown in the case (a drag, a slider) becomes one edit from the value it
    // started from to the value the case holds now, with `finish` (when given) applied to it
    // first: what a dialog's OK adds to what its sliders showed.
    bool CommitTrajectory(int number, const std::string& name, const Trajectory& before,
                          const std::function<void(Trajectory&)>& finish = nullptr);
    bool CommitElement(int number, const std::string& name, const Element& before);
    bool CommitBody(const std::string& name, const Body& before,
                    const std::function<void(Body&)>& finish = nullptr);

    // Replaces the case information as one edit.
    bool EditCaseInfo(const std::string& name, const CaseInfo& info);

    // Appends a trajectory or an element; false (no edit) when the case holds as many as it may.
    bool AddTrajectory(const std::string& name, const Trajectory& trajectory);
    bool AddElement(const std::string& name, const Element& element);
    // Removes the entry; false when there is none. Later entries move down one number.
    bool DeleteTrajectory(const std::string& name, int number);
    bool DeleteElement(const std::string& name, int number);

private:
    void Notify(CaseChange::Kind kind, const CaseEdit* edit);
    // Makes the edit from `before` to the case as it is now, or restores `before` and makes none
    // when nothing changed.
    bool SubmitFrom(const std::string& name, Case before, bool renumbers);
    // Makes the edit from the case as it is now to `after`; none when nothing would change.
    bool SubmitTo(const std::string& name, Case after, bool renumbers);
    // Whether the body of `after` may take the place of that of `before` (the same CT series as
    // read, or none); says why not in `refusal`.
    bool BodyChangeAllowed(const Case& before, const Case& after);

    Case& theCase;
    PosedCase posed;
    Recorder recorder;
    std::string refusal;
    struct Entry {
        int key;
        Listener listener;
    };
    std::vector<Entry> listeners;
    int nextKey = 1;
};
