#include "ui/AdjustTrajectoryDialog.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/BodyPartBox.h"
#include "ui/DialogInput.h"
#include "ui/SliderSetup.h"
#include "view/ViewState.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <cmath>

namespace {
constexpr int kMinimum = 30;
constexpr int kMaximum = 70;
constexpr int kTickStep = 10;
} // namespace

AdjustTrajectoryDialog::AdjustTrajectoryDialog(CaseEditor& theEditor, const ViewState& theView,
                                               QWidget* parent)
    : QDialog(parent), editor(theEditor), view(theView) {
    setWindowTitle("Adjust trajectory");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Trajectory nbr"), 0, 0);
    numberField = new QLineEdit(this);
    numberField->setObjectName("numberField");
    numberField->setEnabled(false);
    grid->addWidget(numberField, 0, 1);
    sliderX = MakeTickedSlider(this, "sliderX", kMinimum, kMaximum, kTickStep);
    sliderY = MakeTickedSlider(this, "sliderY", kMinimum, kMaximum, kTickStep);
    sliderZ = MakeTickedSlider(this, "sliderZ", kMinimum, kMaximum, kTickStep);
    grid->addWidget(new QLabel("x"), 1, 0);
    grid->addWidget(sliderX, 1, 1, 1, 3);
    grid->addWidget(new QLabel("y"), 2, 0);
    grid->addWidget(sliderY, 2, 1, 1, 3);
    grid->addWidget(new QLabel("z"), 3, 0);
    grid->addWidget(sliderZ, 3, 1, 1, 3);

    grid->addWidget(new QLabel("Part of IN"), 4, 0);
    inPartBox = new BodyPartBox(this);
    inPartBox->setObjectName("inPartBox");
    grid->addWidget(inPartBox, 4, 1, 1, 3, Qt::AlignLeft);
    grid->addWidget(new QLabel("Part of OUT"), 5, 0);
    outPartBox = new BodyPartBox(this);
    outPartBox->setObjectName("outPartBox");
    grid->addWidget(outPartBox, 5, 1, 1, 3, Qt::AlignLeft);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* reset = new QPushButton("Reset", this);
    reset->setObjectName("resetButton");
    reset->setAutoDefault(false);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    grid->addWidget(new QLabel("Uncertainty (cm)"), 6, 0);
    uncertaintyField = new QLineEdit(this);
    uncertaintyField->setObjectName("uncertainty");
    uncertaintyField->setToolTip("Radius of the ball around IN and around OUT in which each "
                                 "point may lie");
    grid->addWidget(uncertaintyField, 6, 1);
    grid->addWidget(ok, 7, 1);
    grid->addWidget(reset, 7, 2);
    grid->addWidget(cancel, 7, 3);

    connect(ok, &QPushButton::clicked, this, &AdjustTrajectoryDialog::accept);
    connect(reset, &QPushButton::clicked, this, &AdjustTrajectoryDialog::Reset);
    connect(cancel, &QPushButton::clicked, this, &AdjustTrajectoryDialog::reject);
    for (QSlider* slider : {sliderX, sliderY, sliderZ}) {
        connect(slider, &QSlider::valueChanged, this, &AdjustTrajectoryDialog::SliderMoved);
    }
    connect(inPartBox, &QComboBox::activated, this, [this] { PartChosen(true); });
    connect(outPartBox, &QComboBox::activated, this, [this] { PartChosen(false); });
}

int AdjustTrajectoryDialog::PositionFromShift(double shift) {
    return static_cast<int>(std::trunc((shift + 1.0) * 50.0));
}

int AdjustTrajectoryDialog::exec() {
    trajectoryNumber = 0;
    const int number = view.GetSelectedTrajectoryNumber();
    const Trajectory* trajectory = editor.GetCase().TrajectoryNumbered(number);
    if (trajectory == nullptr) {
        return Rejected;
    }
    trajectoryNumber = number;
    before = *trajectory;
    numberField->setText(QString::number(number));
    uncertaintyField->setText(UncertaintyText(trajectory->radiusIn));
    savedX = PositionFromShift(trajectory->offset.x);
    savedY = PositionFromShift(trajectory->offset.y);
    savedZ = PositionFromShift(trajectory->offset.z);
    PlaceSlider(sliderX, savedX);
    PlaceSlider(sliderY, savedY);
    PlaceSlider(sliderZ, savedZ);
    ShowParts(*trajectory);
    const int result = QDialog::exec();
    trajectoryNumber = 0; // the trajectory may be deleted before the next opening
    return result;
}

bool AdjustTrajectoryDialog::Preview(const std::function<void(Trajectory&)>& change) {
    return trajectoryNumber != 0 && editor.PreviewTrajectory(trajectoryNumber, change);
}

void AdjustTrajectoryDialog::SliderMoved() {
    if (trajectoryNumber == 0) {
        return;
    }
    positionX = sliderX->value();
    positionY = sliderY->value();
    positionZ = sliderZ->value();
    Preview([this](Trajectory& trajectory) {
        trajectory.offset = {ShiftFromPosition(positionX), ShiftFromPosition(positionY),
                             ShiftFromPosition(positionZ)};
    });
}

void AdjustTrajectoryDialog::ShowParts(const Trajectory& trajectory) {
    ShowTrajectoryParts(*inPartBox, *outPartBox, trajectory);
}

// Drawn at once, like the sliders, so the arrow shows where it goes.
void AdjustTrajectoryDialog::PartChosen(bool inChosen) {
    const Trajectory* shown = editor.GetCase().TrajectoryNumbered(trajectoryNumber);
    if (shown == nullptr) {
        return;
    }
    BodyPartBox* chosen = inChosen ? inPartBox : outPartBox;
    BodyPartBox* other = inChosen ? outPartBox : inPartBox;
    if (chosen->ShowsOlderRule()) {
        Preview([](Trajectory& trajectory) {
            trajectory.inPart.clear();
            trajectory.outPart.clear();
        });
        // The preview changed the case: the trajectory is read again.
        ShowParts(*editor.GetCase().TrajectoryNumbered(trajectoryNumber));
        return;
    }
    if (other->ShowsOlderRule()) {
        other->SetPart(editor.GetCase().body.PartNearest(inChosen ? shown->out : shown->in));
    }
    const std::string in = inPartBox->GetPart();
    const std::string out = outPartBox->GetPart();
    Preview([&in, &out](Trajectory& trajectory) {
        trajectory.inPart = in;
        trajectory.outPart = out;
    });
}

void AdjustTrajectoryDialog::Reset() {
    if (trajectoryNumber == 0) {
        return;
    }
    for (QSlider* slider : {sliderX, sliderY, sliderZ}) {
        PlaceSlider(slider, 50);
    }
    Preview([](Trajectory& trajectory) {
        trajectory.offset = {};
        trajectory.pitchAdjustment = 0;
        trajectory.yawAdjustment = 0;
    });
}

void AdjustTrajectoryDialog::accept() {
    if (trajectoryNumber != 0) {
        // A negative radius means nothing and is refused: the trajectory keeps its own.
        const double radius = ReadCentimetres(uncertaintyField->text());
        editor.CommitTrajectory(trajectoryNumber, "Adjust trajectory", before,
                                [radius](Trajectory& trajectory) {
                                    if (Trajectory::IsRadius(radius)) {
                                        trajectory.radiusIn = radius;
                                    }
                                });
    }
    QDialog::accept();
}

void AdjustTrajectoryDialog::reject() {
    if (trajectoryNumber != 0) {
        positionX = savedX;
        positionY = savedY;
        positionZ = savedZ;
        // The whole value: a shift the sliders cannot show exactly, and the rotations that Reset
        // cleared, come back as they were.
        Preview([this](Trajectory& trajectory) { trajectory = before; });
    }
    QDialog::reject();
}
