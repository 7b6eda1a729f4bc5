#pragma once

#include "body/Body.h"
#include "body/PostureAlignment.h"
#include "body/Skeleton.h"

#include <QDialog>

#include <array>
#include <optional>
#include <vector>

class CaseEditor;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class ViewState;
struct Trajectory;

// "Align wounds": two trajectories one bullet made, or the two pieces of one trajectory through
// two parts, and the joints that may move (those on the way from one's parts to the other's
// chosen at first); "Search" looks for the postures that
// make the two posed tracks one straight line and lists them with the angle left between the
// tracks and the gap between their lines; that angle is between the tracks as posed, and the
// dialog says so. The chosen answer is shown in the view; OK makes it one edit, Cancel, Esc and
// the close box put the posture back as it was.
class AlignWoundsDialog : public QDialog {
    Q_OBJECT
public:
    AlignWoundsDialog(CaseEditor& editor, const ViewState& view, QWidget* parent = nullptr);

    // Opens on the selected trajectory and the next one (the first two when none is selected).
    int exec() override;
    void accept() override;
    void reject() override;

    // The joints between the parts of the two trajectories: those that turn one's part against
    // the other's, on the shortest way through the skeleton. None when either has no parts.
    static std::vector<skeleton::Joint> JointsBetween(const Trajectory& first,
                                                      const Trajectory& second);
    // The answers of the last search, best first.
    const std::vector<AlignmentAnswer>& GetAnswers() const { return answers; }
    // How many searches a click on Search makes (AlignmentRequest::starts; 24 unless set).
    void SetSearchStarts(int starts) { searchStarts = starts; }

private:
    void FillTrajectoryLists();
    void TrajectoriesChosen();
    void ShowPresentAlignment();
    void Search();
    void ShowAnswers();
    void AnswerChosen();
    // Why the search cannot be made with what is chosen; empty when it can.
    QString Refusal(const AlignmentRequest& request) const;
    AlignmentRequest Request() const;
    // The two pieces of the trajectory chosen as one shot in the first list; none when a
    // trajectory is chosen whole.
    std::optional<std::array<AlignmentTrack, 2>> ChosenPieces() const;
    void ShowBody(const Body& body);

    CaseEditor& editor;
    const ViewState& view;
    Body before; // the body as the dialog opened on it
    std::vector<AlignmentAnswer> answers;
    int searchStarts = AlignmentRequest().starts;
    QComboBox* firstBox;
    QComboBox* secondBox;
    std::array<QCheckBox*, skeleton::kJointCount> jointBoxes{};
    QLabel* present;
    QPushButton* searchButton;
    QTableWidget* answerList;
    QLabel* message;
};
