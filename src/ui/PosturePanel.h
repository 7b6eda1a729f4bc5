#pragma once

#include "body/Body.h"
#include "body/Posture.h"

#include <QDockWidget>

#include <array>
#include <optional>
#include <string>

class AngleSpinBox;
class CaseEditor;
class QLabel;
class QListWidget;
class QSlider;
class QVBoxLayout;

// The posture panel beside the view: the preset postures, the joints (and the whole body's turn)
// and, for the chosen joint, its yaw, pitch and roll as sliders and spin boxes in degrees within
// the joint's limits, which each row shows. Every change is one edit of the body: a preset chosen,
// a spin box's value taken, a slider step, or a slider drag when it is let go (drawn while it
// moves); Ctrl+Z in a box takes it back as anywhere in the window. A typed value beyond the
// limits is not taken, and the note under the rows says so; an angle beyond them that the case
// holds (a data file keeps its values as written) is named there too, since the box and slider
// can show only their nearest end. The panel always shows the case's posture, whatever changed it
// (an undo, a file read, another dialog).
class PosturePanel : public QDockWidget {
    Q_OBJECT
public:
    // The row of the joint list that turns the whole body; rows before it are the joints in
    // skeleton order.
    static constexpr int kWholeBodyRow = skeleton::kJointCount;

    explicit PosturePanel(CaseEditor& editor, QWidget* parent = nullptr);
    ~PosturePanel() override;

    // Chooses the joint (or kWholeBodyRow) whose angles the sliders show.
    void ChooseJoint(int row);
    int GetChosenJoint() const { return jointRow; }

    // The angles of the chosen joint, yaw, pitch and roll, in the case's posture.
    static JointAngles AnglesOf(const Posture& posture, int row);
    // The posture with angle `axis` (0 yaw, 1 pitch, 2 roll) of joint row `row` set to `degrees`.
    static Posture WithAngle(Posture posture, int row, int axis, double degrees);
    // The limits of joint row `row`'s angle `axis`.
    static skeleton::AngleRange LimitsOf(int row, int axis);

private:
    void BuildLists(QWidget* content, QVBoxLayout* layout);
    void BuildAngleRows(QWidget* content, QVBoxLayout* layout);
    // Shows the case's posture: the preset it is, the chosen joint's limits and angles.
    void ShowPosture();
    void PresetChosen(int row);
    void SliderPressed();
    void SliderMoved(int axis, int value);
    void SliderReleased();
    void SpinChanged(int axis, double value);
    void TypedBeyondLimits(int axis, double typed);
    // "Trunk pitch", "Whole body yaw": an angle of the chosen joint as the notes name it.
    QString AngleName(int axis) const;
    // What the limit note says of the case's angles beyond the chosen joint's limits.
    QString BeyondLimitsText(const JointAngles& angles) const;
    // The name of the edit a change of the chosen joint makes ("Posture: Right knee").
    std::string JointEditName() const;

    CaseEditor& editor;
    int listenerKey = 0;
    int jointRow = 0;
    QListWidget* presetList = nullptr;
    QListWidget* jointList = nullptr;
    QLabel* postureName = nullptr;
    QLabel* meaning = nullptr;
    QLabel* note = nullptr;
    QLabel* limitNote = nullptr;
    std::array<QSlider*, 3> sliders{};
    std::array<AngleSpinBox*, 3> spins{};
    std::array<QLabel*, 3> limitLabels{};
    // Why the last typed value was not taken; cleared by the next change or joint.
    QString refusal;
    // The body as the slider drag under way started from: the drag becomes one edit from it.
    std::optional<Body> dragStart;
};
