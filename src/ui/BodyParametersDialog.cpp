#include "ui/BodyParametersDialog.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/CtSeriesCommands.h"
#include "ui/DialogInput.h"
#include "ui/Platform.h"
#include "ui/SliderSetup.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace {
constexpr int kMinimum = 30;
constexpr int kMaximum = 70;
constexpr int kTickStep = 10;
constexpr int kMaxNameCharacters = 78;
} // namespace

BodyParametersDialog::BodyParametersDialog(CaseEditor& theEditor, Platform& thePlatform,
                                           QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform) {
    setWindowTitle("Body parameters");
    auto* grid = new QGridLayout(this);
    nameField = new QLineEdit(this);
    nameField->setObjectName("nameField");
    nameField->setMaxLength(kMaxNameCharacters);
    heightField = new QLineEdit(this);
    heightField->setObjectName("heightField");
    sliderScaleX = MakeTickedSlider(this, "sliderScaleX", kMinimum, kMaximum, kTickStep);
    sliderScaleZ = MakeTickedSlider(this, "sliderScaleZ", kMinimum, kMaximum, kTickStep);
    grid->addWidget(new QLabel("Body name"), 0, 0);
    grid->addWidget(nameField, 0, 1, 1, 2);
    grid->addWidget(new QLabel("Body height   (cm)"), 1, 0);
    grid->addWidget(heightField, 1, 1, 1, 2);
    grid->addWidget(new QLabel("Scale X"), 2, 0);
    grid->addWidget(sliderScaleX, 2, 1, 1, 2);
    grid->addWidget(new QLabel("Scale Z"), 3, 0);
    grid->addWidget(sliderScaleZ, 3, 1, 1, 2);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    grid->addWidget(ok, 4, 1);
    grid->addWidget(cancel, 4, 2);

    connect(ok, &QPushButton::clicked, this, &BodyParametersDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &BodyParametersDialog::reject);
    connect(sliderScaleX, &QSlider::valueChanged, this, &BodyParametersDialog::SliderMoved);
    connect(sliderScaleZ, &QSlider::valueChanged, this, &BodyParametersDialog::SliderMoved);
}

int BodyParametersDialog::exec() {
    before = editor.GetCase().body;
    nameField->setText(QString::fromStdString(before.GetName()));
    heightField->setText(QString::asprintf("%5.1f", before.GetHeight() * 100.0));
    const bool sizeLocked = editor.GetCase().ct.IsCtBody();
    if (sizeLocked) {
        savedScaleX = savedScaleZ = 50; // a scan is drawn at scales 1
    }
    PlaceSlider(sliderScaleX, savedScaleX);
    PlaceSlider(sliderScaleZ, savedScaleZ);
    positionScaleX = savedScaleX;
    positionScaleZ = savedScaleZ;
    ShowSizeLocked(sizeLocked);
    return QDialog::exec();
}

void BodyParametersDialog::ShowSizeLocked(bool locked) {
    // A scan's skin is the decedent's own size and shape: only its name may change.
    const QString reason = locked ? CtPostureReason() : QString();
    for (QWidget* field : {static_cast<QWidget*>(heightField), static_cast<QWidget*>(sliderScaleX),
                           static_cast<QWidget*>(sliderScaleZ)}) {
        field->setEnabled(!locked);
        field->setToolTip(reason);
    }
}

void BodyParametersDialog::SliderMoved() {
    positionScaleX = sliderScaleX->value();
    positionScaleZ = sliderScaleZ->value();
    ApplyScales();
}

void BodyParametersDialog::ApplyScales() {
    const double scaleX = positionScaleX / 50.0;
    const double scaleZ = positionScaleZ / 50.0;
    editor.PreviewBody([scaleX, scaleZ](Body& body) {
        body.SetScaleX(scaleX);
        body.SetScaleZ(scaleZ);
    });
}

void BodyParametersDialog::accept() {
    const std::string name = nameField->text().left(kMaxNameCharacters).toStdString();
    const double height = ReadCentimetres(heightField->text());
    bool heightRefused = false;
    savedScaleX = positionScaleX;
    savedScaleZ = positionScaleZ;
    // The height field shows a CT body's length rounded to a millimetre: taken back, it would
    // resize the scan.
    const bool sizeLocked = editor.GetCase().ct.IsCtBody();
    editor.CommitBody("Body parameters", before, [&](Body& body) {
        body.SetName(name);
        heightRefused = !sizeLocked && !body.SetHeight(height);
    });
    if (heightRefused) {
        platform.ShowMessage(
            this,
            QString("A body height must be more than 0 cm; the height stays %1 cm.")
                .arg(QString::asprintf("%.1f", editor.GetCase().body.GetHeight() * 100.0)),
            "Body parameters");
    }
    QDialog::accept();
}

void BodyParametersDialog::reject() {
    positionScaleX = savedScaleX;
    positionScaleZ = savedScaleZ;
    editor.PreviewBody([this](Body& body) { body = before; });
    QDialog::reject();
}
