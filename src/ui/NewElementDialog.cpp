#include "ui/NewElementDialog.h"

#include "case/Case.h"
#include "case/Element.h"
#include "edit/CaseEditor.h"
#include "ui/ColorSwatch.h"
#include "ui/DialogInput.h"
#include "ui/Platform.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

NewElementDialog::NewElementDialog(CaseEditor& theEditor, Platform& thePlatform,
                                   QColor& theProposedColor, std::function<void()> theRedraw,
                                   QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform), proposedColor(theProposedColor),
      redraw(std::move(theRedraw)) {
    setWindowTitle("New element");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("x"), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel("y"), 0, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel("z"), 0, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Position   (cm)"), 1, 0);
    positionX = AddField("positionX");
    positionY = AddField("positionY");
    positionZ = AddField("positionZ");
    grid->addWidget(positionX, 1, 1);
    grid->addWidget(positionY, 1, 2);
    grid->addWidget(positionZ, 1, 3);
    grid->addWidget(new QLabel("width"), 2, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel("height"), 2, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel("length"), 2, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel("(cm)"), 3, 0);
    widthField = AddField("widthField");
    heightField = AddField("heightField");
    lengthField = AddField("lengthField");
    grid->addWidget(widthField, 3, 1);
    grid->addWidget(heightField, 3, 2);
    grid->addWidget(lengthField, 3, 3);

    grid->addWidget(new QLabel("Color"), 4, 2, Qt::AlignRight);
    colorSwatch = new ColorSwatch(this);
    colorSwatch->setObjectName("colorSwatch");
    grid->addWidget(colorSwatch, 4, 3);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    grid->addWidget(ok, 5, 2);
    grid->addWidget(cancel, 5, 3);

    connect(ok, &QPushButton::clicked, this, &NewElementDialog::CreateElement);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(colorSwatch, &ColorSwatch::clicked, this, [this] {
        ChooseProposedColor(this->proposedColor, this->platform, this, *colorSwatch, this->redraw);
    });
}

QLineEdit* NewElementDialog::AddField(const char* name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    return field;
}

int NewElementDialog::exec() {
    created = false;
    for (QLineEdit* field :
         {positionX, positionY, positionZ, widthField, heightField, lengthField}) {
        field->clear();
    }
    colorSwatch->SetColor(proposedColor);
    positionX->setFocus();
    return QDialog::exec();
}

void NewElementDialog::CreateElement() {
    const double width = ReadCentimetres(widthField->text());
    const double height = ReadCentimetres(heightField->text());
    const double length = ReadCentimetres(lengthField->text());
    Element element;
    element.centre = {ReadCentimetres(positionX->text()), ReadCentimetres(positionY->text()),
                      ReadCentimetres(positionZ->text())};
    element.size = {width, height, length};
    element.color = ChannelsOf(colorSwatch->GetColor());
    if (!editor.AddElement("New element", element)) {
        platform.ShowMessage(this,
                             QString("The case already holds %1 elements; no more can be added.")
                                 .arg(Case::kMaxElements),
                             "New element");
        reject();
        return;
    }
    created = true;
    accept();
}
