#include "ui/ScenePlacementDialog.h"

#include "base/NumberText.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/Platform.h"
#include "world/WorldInput.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

const char* const kLabels[ScenePlacementDialog::kFieldCount] = {
    "Body x (cm)",        "Body y (cm)",        "Body z (cm)",        "Body heading (deg)",
    "Scene model x (cm)", "Scene model y (cm)", "Scene model z (cm)", "Scene model heading (deg)",
    "Muzzle heights (cm)"};

// The fields as the messages name them.
const char* const kFieldNames[8] = {"The body's x",        "The body's y",
                                    "The body's z",        "The body's heading",
                                    "The scene model's x", "The scene model's y",
                                    "The scene model's z", "The scene model's heading"};

QString Text(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, 0, decimals));
}

Status ReadPlacement(QLineEdit* const* fields, int first, ScenePlacement& placement) {
    double* targets[3] = {&placement.x, &placement.y, &placement.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (Status status = ReadSceneCoordinate(fields[first + axis]->text().toStdString(),
                                                kFieldNames[first + axis], *targets[axis]);
            !status.ok()) {
            return status;
        }
    }
    return ReadHeading(fields[first + 3]->text().toStdString(), kFieldNames[first + 3],
                       placement.heading);
}

} // namespace

ScenePlacementDialog::ScenePlacementDialog(CaseEditor& theEditor, Platform& thePlatform,
                                           QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform) {
    setWindowTitle(QStringLiteral("Scene and placement"));
    auto* form = new QFormLayout;
    for (int i = 0; i < kFieldCount; ++i) {
        fields[i] = new QLineEdit(this);
        fields[i]->setObjectName(QStringLiteral("sceneField%1").arg(i));
        form->addRow(QString::fromUtf8(kLabels[i]), fields[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ScenePlacementDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ScenePlacementDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int ScenePlacementDialog::exec() {
    const CaseWorld& world = editor.GetCase().world;
    const ScenePlacement* placements[2] = {&world.body, &world.scene};
    for (std::size_t p = 0; p < 2; ++p) {
        fields[4 * p]->setText(Text(placements[p]->x * 100, 2));
        fields[4 * p + 1]->setText(Text(placements[p]->y * 100, 2));
        fields[4 * p + 2]->setText(Text(placements[p]->z * 100, 2));
        fields[4 * p + 3]->setText(Text(placements[p]->heading, 2));
    }
    fields[8]->setText(QString::fromStdString(MuzzleHeightsText(world.muzzleHeights)));
    fields[0]->setFocus();
    return QDialog::exec();
}

void ScenePlacementDialog::accept() {
    CaseWorld world = editor.GetCase().world;
    Status status = ReadPlacement(fields, 0, world.body);
    if (status.ok()) {
        status = ReadPlacement(fields, 4, world.scene);
    }
    if (status.ok()) {
        status = ReadMuzzleHeights(fields[8]->text().toStdString(), world.muzzleHeights);
    }
    if (!status.ok()) {
        platform.ShowMessage(this, QString::fromStdString(status.message()),
                             QStringLiteral("Scene and placement"));
        return; // the dialog stays open, the case as it was
    }
    editor.EditCase("Scene and placement", [&world](Case& edited) { edited.world = world; });
    QDialog::accept();
}
