#include "ui/NewTrajectoryDialog.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/BodyPartBox.h"
#include "ui/ColorSwatch.h"
#include "ui/DialogInput.h"
#include "ui/Platform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

NewTrajectoryDialog::NewTrajectoryDialog(CaseEditor& theEditor, Platform& thePlatform,
                                         QColor& theProposedColor, std::function<void()> theRedraw,
                                         QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform), proposedColor(theProposedColor),
      redraw(std::move(theRedraw)) {
    setWindowTitle("New trajectory");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("x"), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel("y"), 0, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel("z"), 0, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel("part"), 0, 4, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Position IN      (cm)"), 1, 0);
    inX = AddField("inX");
    inY = AddField("inY");
    inZ = AddField("inZ");
    grid->addWidget(inX, 1, 1);
    grid->addWidget(inY, 1, 2);
    grid->addWidget(inZ, 1, 3);
    inPartBox = new BodyPartBox(this);
    inPartBox->setObjectName("inPartBox");
    grid->addWidget(inPartBox, 1, 4);
    grid->addWidget(new QLabel("Position OUT  (cm)"), 2, 0);
    outX = AddField("outX");
    outY = AddField("outY");
    outZ = AddField("outZ");
    grid->addWidget(outX, 2, 1);
    grid->addWidget(outY, 2, 2);
    grid->addWidget(outZ, 2, 3);
    outPartBox = new BodyPartBox(this);
    outPartBox->setObjectName("outPartBox");
    grid->addWidget(outPartBox, 2, 4);

    insideBox = new QCheckBox("Bullet inside body", this);
    insideBox->setObjectName("insideBox");
    grid->addWidget(insideBox, 3, 0, 1, 2);
    grid->addWidget(new QLabel("Color"), 3, 2, Qt::AlignRight);
    colorSwatch = new ColorSwatch(this);
    colorSwatch->setObjectName("colorSwatch");
    grid->addWidget(colorSwatch, 3, 3);

    grid->addWidget(new QLabel("Uncertainty (cm)"), 5, 0);
    uncertaintyField = AddField("uncertainty");
    uncertaintyField->setToolTip("Radius of the ball around IN and around OUT in which each "
                                 "point may lie");
    grid->addWidget(uncertaintyField, 5, 1);

    auto* compute = new QPushButton("Compute", this);
    compute->setObjectName("computeButton");
    compute->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    grid->addWidget(compute, 5, 2);
    grid->addWidget(cancel, 5, 3);

    connect(compute, &QPushButton::clicked, this, &NewTrajectoryDialog::Compute);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A point typed anew belongs to the part nearest to it, until another part is chosen.
    for (QLineEdit* field : {inX, inY, inZ}) {
        connect(field, &QLineEdit::textEdited, this, &NewTrajectoryDialog::FindInPart);
    }
    for (QLineEdit* field : {outX, outY, outZ}) {
        connect(field, &QLineEdit::textEdited, this, &NewTrajectoryDialog::FindOutPart);
    }
    connect(colorSwatch, &ColorSwatch::clicked, this, [this] {
        ChooseProposedColor(this->proposedColor, this->platform, this, *colorSwatch, this->redraw);
    });
}

QLineEdit* NewTrajectoryDialog::AddField(const char* name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    return field;
}

int NewTrajectoryDialog::exec() {
    createdNumber = 0;
    FillFields();
    uncertaintyField->setText(UncertaintyText(Trajectory::kDefaultRadius));
    insideBox->setChecked(false);
    colorSwatch->SetColor(proposedColor);
    inX->setFocus();
    return QDialog::exec();
}

void NewTrajectoryDialog::FillFields() {
    QLineEdit* const fields[6] = {inX, inY, inZ, outX, outY, outZ};
    const auto [inPart, outPart] = initialParts;
    initialParts = {};
    if (initialPoints) {
        const auto [in, out] = *initialPoints;
        initialPoints.reset();
        const double metres[6] = {in.x, in.y, in.z, out.x, out.y, out.z};
        for (int index = 0; index < 6; ++index) {
            fields[index]->setText(CentimetreText(metres[index]));
        }
    } else {
        for (QLineEdit* field : fields) {
            field->clear();
        }
    }
    if (inPart.empty()) {
        FindInPart();
    } else {
        inPartBox->SetPart(inPart);
    }
    if (outPart.empty()) {
        FindOutPart();
    } else {
        outPartBox->SetPart(outPart);
    }
}

Vec3 NewTrajectoryDialog::TypedPoint(QLineEdit* x, QLineEdit* y, QLineEdit* z) const {
    return {ReadCentimetres(x->text()), ReadCentimetres(y->text()), ReadCentimetres(z->text())};
}

void NewTrajectoryDialog::FindInPart() {
    inPartBox->SetPart(editor.GetCase().body.PartNearest(TypedPoint(inX, inY, inZ)));
}

void NewTrajectoryDialog::FindOutPart() {
    outPartBox->SetPart(editor.GetCase().body.PartNearest(TypedPoint(outX, outY, outZ)));
}

void NewTrajectoryDialog::Compute() {
    // A new trajectory starts unshifted, with an empty label.
    Trajectory trajectory;
    trajectory.exited = !insideBox->isChecked();
    trajectory.in = TypedPoint(inX, inY, inZ);
    trajectory.out = TypedPoint(outX, outY, outZ);
    // Every new trajectory moves with the parts of its points.
    trajectory.inPart = inPartBox->GetPart();
    trajectory.outPart = outPartBox->GetPart();
    trajectory.color = ChannelsOf(colorSwatch->GetColor());
    // A negative radius means nothing: the trajectory keeps the default one.
    if (const double radius = ReadCentimetres(uncertaintyField->text());
        Trajectory::IsRadius(radius)) {
        trajectory.radiusIn = radius;
    }
    if (!editor.AddTrajectory("New trajectory", trajectory)) {
        platform.ShowMessage(
            this,
            QString("The case already holds %1 trajectories; no more can be added.")
                .arg(Case::kMaxTrajectories),
            "New trajectory");
        reject();
        return;
    }
    createdNumber = editor.GetCase().TrajectoryCount(); // appended: the last number
    accept();
}
