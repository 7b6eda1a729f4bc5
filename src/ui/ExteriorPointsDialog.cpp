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

ExteriorPointsDialog::ExteriorPointsDialog(CaseEditor& editor, Platform& platform, QWidget* parent)
    : QDialog(parent), editor(editor), platform(platform), points(new QPlainTextEdit(this)),
      group(new QLineEdit(this)) {
    points->setObjectName(QStringLiteral("exteriorPoints"));
    group->setObjectName(QStringLiteral("shotGroup"));
    auto* form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Exterior points, one a line: x y z (cm, scene frame) "
                                           "and before (IN) or after (OUT)"),
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

bool ExteriorPointsDialog::Open(int trajectoryIndex) {
    const Trajectory* trajectory = editor.GetCase().GetTrajectory(trajectoryIndex);
    if (trajectory == nullptr) {
        return false;
    }
    index = trajectoryIndex;
    setWindowTitle(
        QStringLiteral("Exterior points and shot group of trajectory %1").arg(trajectoryIndex + 1));
    points->setPlainText(
        QString::fromStdString(ExteriorPointsText(trajectory->GetWorld().exterior)));
    group->setText(QString::fromStdString(trajectory->GetWorld().group));
    points->setFocus();
    exec();
    return true;
}

void ExteriorPointsDialog::accept() {
    TrajectoryWorld world;
    Status status = ReadExteriorPoints(points->toPlainText().toStdString(), world.exterior);
    if (status.ok()) {
        status = ReadGroupName(group->text().toStdString(), world.group);
    }
    if (!status.ok()) {
        platform.ShowMessage(this, QString::fromStdString(status.message()),
                             QStringLiteral("Exterior points"));
        return;
    }
    editor.EditTrajectory(index, "Exterior points",
                          [&world](Trajectory& trajectory) { trajectory.GetWorld() = world; });
    QDialog::accept();
}
