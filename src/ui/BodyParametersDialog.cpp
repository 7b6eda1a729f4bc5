#include "ui/BodyParametersDialog.h"

#include "case/Case.h"
#include "case/CaseEditor.h"
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

BodyParametersDialog::BodyParametersDialog(Platform& platform, std::function<void()> redraw,
                                           QWidget* parent)
    : QDialog(parent), platform(platform), redraw(std::move(redraw)) {
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

void BodyParametersDialog::Bind(Case& value) {
    scene = &value;
    body = &value.GetBody();
}

int BodyParametersDialog::exec() {
    if (body == nullptr) {
        return Rejected;
    }
    before = *body;
    nameField->setText(QString::fromStdString(body->GetName()));
    heightField->setText(QString::asprintf("%5.1f", body->GetHeight() * 100.0));
    PlaceSlider(sliderScaleX, savedScaleX);
    PlaceSlider(sliderScaleZ, savedScaleZ);
    positionScaleX = savedScaleX;
    positionScaleZ = savedScaleZ;
    return QDialog::exec();
}

void BodyParametersDialog::SliderMoved() {
    positionScaleX = sliderScaleX->value();
    positionScaleZ = sliderScaleZ->value();
    ApplyScales();
}

void BodyParametersDialog::ApplyScales() {
    if (body == nullptr) {
        return;
    }
    body->SetScaleX(positionScaleX / 50.0);
    body->SetScaleZ(positionScaleZ / 50.0);
    redraw();
}

void BodyParametersDialog::accept() {
    if (body != nullptr) {
        body->SetName(nameField->text().left(kMaxNameCharacters).toStdString());
        const double height = ReadCentimetres(heightField->text());
        if (!body->SetHeight(height)) {
            platform.ShowMessage(
                this,
                QString("A body height must be more than 0 cm; the height stays %1 cm.")
                    .arg(QString::asprintf("%.1f", body->GetHeight() * 100.0)),
                "Body parameters");
        }
        savedScaleX = positionScaleX;
        savedScaleZ = positionScaleZ;
        scene->GetEditor().CommitBody("Body parameters", before);
    }
    QDialog::accept();
}

void BodyParametersDialog::reject() {
    positionScaleX = savedScaleX;
    positionScaleZ = savedScaleZ;
    if (body != nullptr) {
        *body = before;
        redraw();
    }
    QDialog::reject();
}
