#include "ui/BodyMovementsDialog.h"

#include "case/Case.h"
#include "case/CaseEditor.h"
#include "ui/SliderSetup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <cmath>

namespace {
constexpr int kTickStep = 25;
} // namespace

BodyMovementsDialog::BodyMovementsDialog(CaseEditor& editor, QWidget* parent)
    : QDialog(parent), editor(editor) {
    setWindowTitle("Body movements");
    auto* grid = new QGridLayout(this);
    partList = new QComboBox(this);
    partList->setObjectName("partList");
    sliderPitch = MakeTickedSlider(this, "sliderPitch", 0, 100, kTickStep);
    sliderYaw = MakeTickedSlider(this, "sliderYaw", 0, 100, kTickStep);
    sliderRoll = MakeTickedSlider(this, "sliderRoll", 0, 100, kTickStep);
    grid->addWidget(new QLabel("Body part"), 0, 0);
    grid->addWidget(partList, 0, 1, 1, 2);
    grid->addWidget(new QLabel("Pitch"), 1, 0);
    grid->addWidget(sliderPitch, 1, 1, 1, 2);
    grid->addWidget(new QLabel("Yaw"), 2, 0);
    grid->addWidget(sliderYaw, 2, 1, 1, 2);
    grid->addWidget(new QLabel("Roll"), 3, 0);
    grid->addWidget(sliderRoll, 3, 1, 1, 2);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    grid->addWidget(ok, 4, 1);
    grid->addWidget(cancel, 4, 2);

    connect(ok, &QPushButton::clicked, this, &BodyMovementsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &BodyMovementsDialog::reject);
    connect(partList, &QComboBox::activated, this, &BodyMovementsDialog::PartChosen);
    for (QSlider* slider : {sliderPitch, sliderYaw, sliderRoll}) {
        connect(slider, &QSlider::valueChanged, this, &BodyMovementsDialog::SliderMoved);
    }
}

int BodyMovementsDialog::PositionFromAngle(double angle) {
    return static_cast<int>(std::trunc(angle * 0.5 + 50.0));
}

int BodyMovementsDialog::exec() {
    QStringList parts = {"3_ForeArm", "1_Head", "2_Arm"};
    parts.sort(); // the digit prefixes keep head, arm, forearm in this order
    partList->clear();
    partList->addItems(parts);
    partList->setCurrentIndex(-1);
    before = editor.GetCase().GetBody();
    startPitch = startYaw = startRoll = 50;
    PlaceSlider(sliderPitch, startPitch);
    PlaceSlider(sliderYaw, startYaw);
    PlaceSlider(sliderRoll, startRoll);
    return QDialog::exec();
}

namespace {

// The joint that list entry `part` names (0 neck, 1 right shoulder, 2 right elbow).
std::optional<skeleton::Joint> JointOfPart(int part) {
    switch (part) {
    case 0:
        return skeleton::Joint::Neck;
    case 1:
        return skeleton::Joint::RightShoulder;
    case 2:
        return skeleton::Joint::RightElbow;
    default:
        return std::nullopt;
    }
}

} // namespace

void BodyMovementsDialog::PartChosen(int index) {
    part = index;
    const std::optional<skeleton::Joint> joint = JointOfPart(part);
    const JointAngles angles =
        joint ? editor.GetCase().GetBody().GetPosture().Get(*joint) : JointAngles{};
    startPitch = joint ? PositionFromAngle(angles.pitch) : 0;
    startYaw = joint ? PositionFromAngle(angles.yaw) : 0;
    startRoll = joint ? PositionFromAngle(angles.roll) : 0;
    PlaceSlider(sliderPitch, startPitch);
    PlaceSlider(sliderYaw, startYaw);
    PlaceSlider(sliderRoll, startRoll);
}

void BodyMovementsDialog::SliderMoved() {
    positionPitch = sliderPitch->value();
    positionYaw = sliderYaw->value();
    positionRoll = sliderRoll->value();
    editor.PreviewBody([this](Body& body) {
        if (const std::optional<skeleton::Joint> joint = JointOfPart(part)) {
            body.SetJoint(*joint, {AngleFromPosition(positionYaw), AngleFromPosition(positionPitch),
                                   AngleFromPosition(positionRoll)});
        }
    });
}

void BodyMovementsDialog::accept() {
    editor.CommitBody("Body movements", before);
    QDialog::accept();
}

void BodyMovementsDialog::reject() {
    if (!(editor.GetCase().GetBody() == before)) {
        editor.PreviewBody([this](Body& body) { body = before; });
    }
    QDialog::reject();
}

void BodyMovementsDialog::done(int result) {
    part = -1; // OK, Cancel, Esc and the close box all end the posing
    QDialog::done(result);
}
