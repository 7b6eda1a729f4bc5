#include "ui/ExteriorPointsDialog.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/Platform.h"
#include "world/WorldInput.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

ExteriorPointsDialog::ExteriorPointsDialog(CaseEditor& theEditor, Platform& thePlatform,
                                           QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform), points(new QPlainTextEdit(this)),
      group(new QLineEdit(this)) {
    points->setObjectName(QStringLiteral("exteriorPoints"));
    group->setObjectName(QStringLiteral("shotGroup"));
    auto* form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Exterior points, one a line: x y z (cm, scene frame), "
                                           "before (IN) or after (OUT), and the radius (cm) "
                                           "within which the point is known (1 cm if left out)"),
                            this));
    form->addRow(points);
    form->addRow(QStringLiteral("Shot group"), group);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ExteriorPointsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExteriorPointsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool ExteriorPointsDialog::Open(int trajectoryNumber) {
    const Trajectory* trajectory = editor.GetCase().TrajectoryNumbered(trajectoryNumber);
    if (trajectory == nullptr) {
        return false;
    }
    number = trajectoryNumber;
    setWindowTitle(
        QStringLiteral("Exterior points and shot group of trajectory %1").arg(trajectoryNumber));
    points->setPlainText(QString::fromStdString(ExteriorPointsText(trajectory->exterior)));
    group->setText(QString::fromStdString(trajectory->group));
    points->setFocus();
    exec();
    return true;
}

void ExteriorPointsDialog::accept() {
    std::vector<ExteriorPoint> exterior;
    std::string groupName;
    Status status = ReadExteriorPoints(points->toPlainText().toStdString(), exterior);
    if (status.ok()) {
        status = ReadGroupName(group->text().toStdString(), groupName);
    }
    if (!status.ok()) {
        platform.ShowMessage(this, QString::fromStdString(status.message()),
                             QStringLiteral("Exterior points"));
        return;
    }
    editor.EditTrajectory(number, "Exterior points", [&](Trajectory& trajectory) {
        trajectory.exterior = exterior;
        trajectory.group = groupName;
    });
    QDialog::accept();
}
