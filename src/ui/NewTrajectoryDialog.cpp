#include "ui/NewTrajectoryDialog.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/BodyPartBox.h"
#include "ui/ColorSwatch.h"
#include "ui/DialogInput.h"
#include "ui/Platform.h"
#include "ui/TrackPointsEditor.h"
#include "world/WorldInput.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <initializer_list>
#include <iterator>
#include <vector>

namespace {

// The coordinates' names in messages, as the manual names them.
const char* const kCoordinateNames[6] = {"x1", "y1", "z1", "x2", "y2", "z2"};

// A value shown in a field and given back untouched stays exactly what it was: the field shows
// it rounded, and an OK that changes nothing must not round the measurement.
double KeptUnlessRetyped(const QString& typed, const QString& shown, double original, double read) {
    return typed == shown ? original : read;
}

} // namespace

NewTrajectoryDialog::NewTrajectoryDialog(CaseEditor& theEditor, Platform& thePlatform,
                                         QColor& theProposedColor, std::function<void()> theRedraw,
                                         QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform), proposedColor(theProposedColor),
      redraw(std::move(theRedraw)) {
    setWindowTitle("New trajectory");
    auto* grid = new QGridLayout(this);
    BuildFields(grid);
    BuildEditFields(grid);
    SetKeyboardOrder();

    connect(computeButton, &QPushButton::clicked, this, &NewTrajectoryDialog::Compute);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
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

void NewTrajectoryDialog::BuildFields(QGridLayout* grid) {
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
    colorLabel = new QLabel("Color", this);
    grid->addWidget(colorLabel, 3, 2, Qt::AlignRight);
    colorSwatch = new ColorSwatch(this);
    colorSwatch->setObjectName("colorSwatch");
    grid->addWidget(colorSwatch, 3, 3);

    uncertaintyLabel = new QLabel(this);
    grid->addWidget(uncertaintyLabel, 4, 0);
    uncertaintyField = AddField("uncertainty");
    uncertaintyField->setToolTip("Radius of the ball around IN and around OUT in which each "
                                 "point may lie");
    grid->addWidget(uncertaintyField, 4, 1);

    computeButton = new QPushButton(this);
    computeButton->setObjectName("computeButton");
    computeButton->setDefault(true);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setObjectName("cancelButton");
    grid->addWidget(computeButton, 10, 2);
    grid->addWidget(cancelButton, 10, 3);
}

void NewTrajectoryDialog::BuildEditFields(QGridLayout* grid) {
    outUncertaintyLabel = new QLabel("Uncertainty of OUT (cm)", this);
    grid->addWidget(outUncertaintyLabel, 5, 0);
    outUncertaintyField = AddField("outUncertainty");
    outUncertaintyField->setToolTip("Left empty, OUT has the uncertainty of IN");
    grid->addWidget(outUncertaintyField, 5, 1);
    exteriorLabel = new QLabel("Exterior points, one a line: x y z (cm, scene frame), before (IN) "
                               "or after (OUT), and the radius (cm) within which the point is "
                               "known (1 cm if left out)",
                               this);
    exteriorLabel->setWordWrap(true);
    grid->addWidget(exteriorLabel, 6, 0, 1, 5);
    exteriorField = new QPlainTextEdit(this);
    exteriorField->setObjectName("exteriorPoints");
    exteriorField->setTabChangesFocus(true); // Tab goes on to the buttons, as in every field
    // Room for six points: a trajectory rarely has more, and the box scrolls beyond.
    exteriorField->setFixedHeight(exteriorField->fontMetrics().lineSpacing() * 6 + 12);
    grid->addWidget(exteriorField, 7, 0, 1, 5);
    pointsLabel = new QLabel("Points between IN and OUT, in order from IN (body frame, cm): bone "
                             "defects, fragments, the re-entry; the track's line is fitted "
                             "through IN, these and OUT",
                             this);
    pointsLabel->setWordWrap(true);
    grid->addWidget(pointsLabel, 8, 0, 1, 5);
    pointsEditor = new TrackPointsEditor(
        [this](const Vec3& point) { return editor.GetCase().body.PartNearest(point); }, this);
    grid->addWidget(pointsEditor, 9, 0, 1, 5);
}

// The documented order first, whatever the layout: a person types x1 Tab y1 Tab z1 Tab x2 Tab y2
// Tab z2 from the measurement sheet without looking at the dialog.
void NewTrajectoryDialog::SetKeyboardOrder() {
    std::vector<QWidget*> order = {inX,
                                   inY,
                                   inZ,
                                   outX,
                                   outY,
                                   outZ,
                                   inPartBox,
                                   outPartBox,
                                   insideBox,
                                   colorSwatch,
                                   uncertaintyField,
                                   outUncertaintyField,
                                   exteriorField};
    for (QWidget* widget : pointsEditor->KeyboardOrder()) {
        order.push_back(widget);
    }
    order.push_back(computeButton);
    order.push_back(cancelButton);
    for (size_t index = 1; index < order.size(); ++index) {
        setTabOrder(order[index - 1], order[index]);
    }
}

QLineEdit* NewTrajectoryDialog::AddField(const char* name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    return field;
}

void NewTrajectoryDialog::ShowMode(bool editing) {
    setWindowTitle(editing ? "Edit trajectory" : "New trajectory");
    computeButton->setText(editing ? "OK" : "Compute");
    uncertaintyLabel->setText(editing ? "Uncertainty of IN (cm)" : "Uncertainty (cm)");
    // A correction keeps the colour (Change color sets it); the creation has no exterior points
    // yet.
    colorLabel->setVisible(!editing);
    colorSwatch->setVisible(!editing);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{outUncertaintyLabel, outUncertaintyField, exteriorLabel,
                                         exteriorField, pointsLabel, pointsEditor}) {
        widget->setVisible(editing);
    }
    adjustSize(); // the one dialog serves both: it fits the fields it shows
}

int NewTrajectoryDialog::exec() {
    createdNumber = 0;
    editedNumber = 0;
    ShowMode(false);
    FillFields();
    uncertaintyField->setText(UncertaintyText(Trajectory::kDefaultRadius));
    insideBox->setChecked(false);
    colorSwatch->SetColor(proposedColor);
    inX->setFocus();
    return QDialog::exec();
}

int NewTrajectoryDialog::ExecEdit(int number) {
    createdNumber = 0;
    editedNumber = 0;
    const Trajectory* trajectory = editor.GetCase().TrajectoryNumbered(number);
    if (trajectory == nullptr) {
        return Rejected;
    }
    editedNumber = number;
    ShowMode(true);
    FillFromTrajectory(*trajectory);
    inX->setFocus();
    inX->selectAll();
    const int result = QDialog::exec();
    editedNumber = 0; // the trajectory may be deleted before the next opening
    return result;
}

void NewTrajectoryDialog::FillFields() {
    QLineEdit* const fields[6] = {inX, inY, inZ, outX, outY, outZ};
    const auto [inPart, outPart] = initialParts;
    initialParts = {};
    // An older file's rule shown by a correction is no choice for a new trajectory.
    inPartBox->DropOlderRule();
    outPartBox->DropOlderRule();
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

void NewTrajectoryDialog::FillFromTrajectory(const Trajectory& trajectory) {
    QLineEdit* const fields[6] = {inX, inY, inZ, outX, outY, outZ};
    const double metres[6] = {trajectory.in.x,  trajectory.in.y,  trajectory.in.z,
                              trajectory.out.x, trajectory.out.y, trajectory.out.z};
    for (int index = 0; index < 6; ++index) {
        fields[index]->setText(CentimetreText(metres[index]));
    }
    ShowTrajectoryParts(*inPartBox, *outPartBox, trajectory);
    insideBox->setChecked(!trajectory.exited);
    uncertaintyField->setText(UncertaintyText(trajectory.radiusIn));
    outUncertaintyField->setText(trajectory.radiusOut ? UncertaintyText(*trajectory.radiusOut)
                                                      : QString());
    exteriorField->setPlainText(QString::fromStdString(ExteriorPointsText(trajectory.exterior)));
    pointsEditor->SetPoints(trajectory.points);
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

bool NewTrajectoryDialog::Refused(const QString& refusal, QWidget* field) {
    if (refusal.isEmpty()) {
        return false;
    }
    platform.ShowMessage(this, refusal, windowTitle());
    field->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->selectAll();
    }
    return true;
}

bool NewTrajectoryDialog::ReadPoints(Vec3& in, Vec3& out) {
    QLineEdit* const fields[6] = {inX, inY, inZ, outX, outY, outZ};
    double metres[6] = {};
    for (int index = 0; index < 6; ++index) {
        if (Refused(ReadCoordinate(fields[index]->text(), kCoordinateNames[index], metres[index]),
                    fields[index])) {
            return false;
        }
    }
    in = {metres[0], metres[1], metres[2]};
    out = {metres[3], metres[4], metres[5]};
    return true;
}

void NewTrajectoryDialog::Compute() {
    Vec3 in, out;
    double radius = 0;
    const QString radiusName = editedNumber != 0 ? "Uncertainty of IN" : "Uncertainty";
    if (!ReadPoints(in, out) ||
        Refused(ReadUncertainty(uncertaintyField->text(), radiusName, radius), uncertaintyField)) {
        return; // the dialog stays open with what was typed
    }
    // A new trajectory has no points between yet: Edit trajectory adds them.
    std::vector<TrackPoint> points;
    if (editedNumber != 0) {
        if (const QString refusal = pointsEditor->Read(points); !refusal.isEmpty()) {
            platform.ShowMessage(this, refusal, windowTitle());
            return; // the editor put the keyboard in the cell refused
        }
    }
    if (editedNumber != 0) {
        ApplyEdit(in, out, radius, points);
    } else {
        AddNew(in, out, radius, points);
    }
}

void NewTrajectoryDialog::AddNew(const Vec3& in, const Vec3& out, double radius,
                                 const std::vector<TrackPoint>& points) {
    // A new trajectory starts unshifted, with an empty label.
    Trajectory trajectory;
    trajectory.exited = !insideBox->isChecked();
    trajectory.in = in;
    trajectory.out = out;
    // Every new trajectory moves with the parts of its points.
    trajectory.inPart = inPartBox->GetPart();
    trajectory.outPart = outPartBox->GetPart();
    trajectory.color = ChannelsOf(colorSwatch->GetColor());
    trajectory.radiusIn = radius;
    trajectory.points = points;
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

bool NewTrajectoryDialog::ReadEditFields(const Trajectory& original, Trajectory& edited) {
    edited.exterior = original.exterior;
    const QString exteriorText = exteriorField->toPlainText();
    if (exteriorText != QString::fromStdString(ExteriorPointsText(original.exterior))) {
        const Status status = ReadExteriorPoints(exteriorText.toStdString(), edited.exterior);
        if (!status.ok()) {
            Refused(QString::fromStdString(status.message()), exteriorField);
            return false;
        }
    }
    // Left empty, OUT is as uncertain as IN.
    edited.radiusOut.reset();
    const QString outText = outUncertaintyField->text();
    if (original.radiusOut && outText == UncertaintyText(*original.radiusOut)) {
        edited.radiusOut = original.radiusOut;
    } else if (!outText.trimmed().isEmpty()) {
        double radius = 0;
        if (Refused(ReadUncertainty(outText, "Uncertainty of OUT", radius), outUncertaintyField)) {
            return false;
        }
        edited.radiusOut = radius;
    }
    return true;
}

void NewTrajectoryDialog::ApplyEdit(const Vec3& typedIn, const Vec3& typedOut, double radius,
                                    const std::vector<TrackPoint>& points) {
    const Trajectory* shown = editor.GetCase().TrajectoryNumbered(editedNumber);
    if (shown == nullptr) {
        reject();
        return;
    }
    const Trajectory original = *shown;
    Trajectory read;
    if (!ReadEditFields(original, read)) {
        return;
    }
    QLineEdit* const fields[6] = {inX, inY, inZ, outX, outY, outZ};
    const double before[6] = {original.in.x,  original.in.y,  original.in.z,
                              original.out.x, original.out.y, original.out.z};
    const double typed[6] = {typedIn.x, typedIn.y, typedIn.z, typedOut.x, typedOut.y, typedOut.z};
    double kept[6];
    for (int index = 0; index < 6; ++index) {
        kept[index] = KeptUnlessRetyped(fields[index]->text(), CentimetreText(before[index]),
                                        before[index], typed[index]);
    }
    const Vec3 in{kept[0], kept[1], kept[2]};
    const Vec3 out{kept[3], kept[4], kept[5]};
    std::string inPart = inPartBox->GetPart();
    std::string outPart = outPartBox->GetPart();
    // One point given a part while the other still shows the older file's rule: the other takes
    // the part nearest to it, as in Adjust, since a trajectory moves with two parts or none.
    if (inPart.empty() != outPart.empty()) {
        const Body& body = editor.GetCase().body;
        (inPart.empty() ? inPart : outPart) = body.PartNearest(inPart.empty() ? in : out);
    }
    const double radiusIn = KeptUnlessRetyped(
        uncertaintyField->text(), UncertaintyText(original.radiusIn), original.radiusIn, radius);
    const bool exited = !insideBox->isChecked();
    editor.EditTrajectory(editedNumber, "Edit trajectory", [&](Trajectory& trajectory) {
        trajectory.in = in;
        trajectory.out = out;
        trajectory.inPart = inPart;
        trajectory.outPart = outPart;
        trajectory.exited = exited;
        trajectory.radiusIn = radiusIn;
        trajectory.radiusOut = read.radiusOut;
        trajectory.exterior = read.exterior;
        trajectory.points = points;
    });
    accept();
}
