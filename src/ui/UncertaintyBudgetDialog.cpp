#include "ui/UncertaintyBudgetDialog.h"

#include "base/NumberText.h"
#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "edit/CaseEditor.h"
#include "ui/Platform.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <string>

namespace {

enum class Kind { Angle, JointAngle, Length, Draws };

constexpr int kPreviewPauseMs = 150;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Number(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, 0, decimals));
}

QString UnitOf(Kind kind) {
    switch (kind) {
    case Kind::Angle:
    case Kind::JointAngle:
        return QStringLiteral("°");
    case Kind::Length:
        return QStringLiteral("cm");
    case Kind::Draws:
        break;
    }
    return QString();
}

} // namespace

struct UncertaintyBudgetDialog::Row {
    std::string name; // as the data file's line names it
    QString label;
    Kind kind = Kind::Angle;
    QLineEdit* field = nullptr;
    QString filled; // the text the dialog opened with: left as it was, the value stays exact

    // "Soft tissue (cm)", "Draws": the field as the messages name it.
    QString FieldName() const {
        const QString unit = UnitOf(kind);
        return unit.isEmpty() ? label : label + QStringLiteral(" (") + unit + QStringLiteral(")");
    }
    QString Text(const UncertaintyModel& model) const;
    // Sets the model's figure from the field; a failure names the field.
    Status ReadInto(UncertaintyModel& model) const;
};

QString UncertaintyBudgetDialog::Row::Text(const UncertaintyModel& model) const {
    if (kind == Kind::Draws) {
        return QString::number(model.draws);
    }
    if (kind == Kind::JointAngle) {
        const std::optional<double>& own =
            model.jointSigma[static_cast<size_t>(*skeleton::JointNamed(name))];
        return own ? Number(*own, 2) : QString();
    }
    const double value = name == "pose"      ? model.poseSigma
                         : name == "tissue"  ? model.tissueSigma * 100
                         : name == "heading" ? model.headingSigma
                                             : model.placementSigma * 100;
    return Number(value, 2);
}

Status UncertaintyBudgetDialog::Row::ReadInto(UncertaintyModel& model) const {
    const QString text = field->text().trimmed();
    if (text.isEmpty() && kind == Kind::JointAngle) {
        model.jointSigma[static_cast<size_t>(*skeleton::JointNamed(name))].reset();
        return Status::Ok();
    }
    if (text.isEmpty()) {
        return Status::Failure(
            FieldName().toStdString() + " is empty: type " +
            (kind == Kind::Draws ? "how many draws to make." : "0 to leave the source out."));
    }
    const std::optional<double> value = ParseNumberToken(text.toStdString());
    if (!value) {
        return Status::Failure(FieldName().toStdString() + ": \"" + text.toStdString() +
                               "\" is not a number.");
    }
    if (kind == Kind::Draws) {
        if (!(*value >= UncertaintyModel::kFewestDraws && *value <= UncertaintyModel::kMostDraws) ||
            *value != std::floor(*value)) {
            return Status::Failure(FieldName().toStdString() + ": " + text.toStdString() +
                                   " is not a whole number from " +
                                   std::to_string(UncertaintyModel::kFewestDraws) + " to " +
                                   std::to_string(UncertaintyModel::kMostDraws) + ".");
        }
        return model.SetDraws(*value);
    }
    const bool length = kind == Kind::Length;
    const double largest =
        length ? UncertaintyModel::kLargestLengthSigma * 100 : UncertaintyModel::kLargestAngleSigma;
    if (!(*value >= 0 && *value <= largest)) {
        return Status::Failure(FieldName().toStdString() + ": " + text.toStdString() +
                               " lies beyond 0 to " + FormatFixed(largest, 0, 0) + " " +
                               UnitOf(kind).toStdString() + ".");
    }
    return model.SetSigma(name, length ? *value / 100 : *value);
}

UncertaintyBudgetDialog::UncertaintyBudgetDialog(CaseEditor& theEditor, Platform& thePlatform,
                                                 int theActiveNumber, QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform), activeNumber(theActiveNumber) {
    setWindowTitle(QStringLiteral("Uncertainty budget"));
    setObjectName(QStringLiteral("uncertaintyBudgetDialog"));
    previewTimer = new QTimer(this);
    previewTimer->setSingleShot(true);
    previewTimer->setInterval(kPreviewPauseMs);
    connect(previewTimer, &QTimer::timeout, this, &UncertaintyBudgetDialog::UpdatePreview);
    AddRows();
}

UncertaintyBudgetDialog::~UncertaintyBudgetDialog() = default;

void UncertaintyBudgetDialog::AddRows() {
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Besides each trajectory's balls around IN and OUT, the budget draws from "
                       "these sources. Each figure is the standard deviation of a normal spread; "
                       "0 leaves the source out."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* grid = new QGridLayout;
    const auto add = [this, grid](std::string name, const QString& label, Kind kind,
                                  const QString& sentence) {
        const int line = grid->rowCount();
        Row row{std::move(name), label, kind, new QLineEdit(this), QString()};
        row.field->setObjectName(QString::fromStdString(row.name));
        row.field->setMaximumWidth(90);
        connect(row.field, &QLineEdit::textEdited, previewTimer,
                static_cast<void (QTimer::*)()>(&QTimer::start));
        auto* explanation = new QLabel(sentence, this);
        explanation->setWordWrap(true);
        grid->addWidget(new QLabel(label, this), line, 0);
        grid->addWidget(row.field, line, 1);
        grid->addWidget(new QLabel(UnitOf(kind), this), line, 2);
        grid->addWidget(explanation, line, 3);
        rows.push_back(std::move(row));
    };
    add("pose", QStringLiteral("Every joint"), Kind::Angle,
        QStringLiteral("How sure the posture is: each angle of every joint that carries IN or "
                       "OUT turns by this spread."));
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        const skeleton::JointInfo& info = skeleton::InfoOf(static_cast<skeleton::Joint>(j));
        add(std::string(info.name), Utf8(info.label), Kind::JointAngle,
            QStringLiteral("The spread of the %1's angles in place of every joint's; empty: as "
                           "every joint.")
                .arg(Utf8(info.label).toLower()));
    }
    add("tissue", QStringLiteral("Soft tissue"), Kind::Length,
        QStringLiteral("How far soft tissue may have moved each measured point between the shot "
                       "and the measurement: a shift of each point, this spread on each axis."));
    add("heading", QStringLiteral("Heading"), Kind::Angle,
        QStringLiteral("How sure the body's heading in the scene is; it moves the origin zones, "
                       "not the track's angles."));
    add("placement", QStringLiteral("Placement"), Kind::Length,
        QStringLiteral("How sure the body's position in the scene is, on each axis; it moves the "
                       "origin zones, not the track's angles."));
    add("draws", QStringLiteral("Draws"), Kind::Draws,
        QStringLiteral("How many times the budget draws every source at once, %1 to %2: more "
                       "draws give steadier figures and a slower report.")
            .arg(UncertaintyModel::kFewestDraws)
            .arg(UncertaintyModel::kMostDraws));
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    preview = new QLabel(this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setWordWrap(true);
    layout->addWidget(preview);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &UncertaintyBudgetDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &UncertaintyBudgetDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(640);
}

QLineEdit* UncertaintyBudgetDialog::Field(const QString& name) const {
    for (const Row& row : rows) {
        if (QString::fromStdString(row.name) == name) {
            return row.field;
        }
    }
    return nullptr;
}

void UncertaintyBudgetDialog::Fill() {
    const UncertaintyModel& model = editor.GetCase().body.GetUncertaintyModel();
    for (Row& row : rows) {
        row.filled = row.Text(model);
        row.field->setText(row.filled);
    }
}

int UncertaintyBudgetDialog::exec() {
    Fill();
    UpdatePreview();
    rows.front().field->setFocus();
    rows.front().field->selectAll();
    return QDialog::exec();
}

std::optional<UncertaintyModel> UncertaintyBudgetDialog::Read(Status& status) const {
    // A field left as it opened keeps the case's figure exactly, whatever its text rounds.
    UncertaintyModel model = editor.GetCase().body.GetUncertaintyModel();
    for (const Row& row : rows) {
        if (row.field->text() == row.filled) {
            continue;
        }
        status = row.ReadInto(model);
        if (!status.ok()) {
            return std::nullopt;
        }
    }
    status = Status::Ok();
    return model;
}

void UncertaintyBudgetDialog::UpdatePreview() {
    previewTimer->stop();
    const Case& theCase = editor.GetCase();
    const int number = theCase.TrajectoryNumbered(activeNumber) != nullptr ? activeNumber
                       : theCase.TrajectoryCount() > 0                     ? 1
                                                                           : 0;
    if (number == 0) {
        preview->setText(QStringLiteral("Preview: the case has no trajectory."));
        return;
    }
    const QString which = number == activeNumber
                              ? QStringLiteral("Trajectory %1 (the active one)").arg(number)
                              : QStringLiteral("Trajectory %1").arg(number);
    Status status = Status::Ok();
    const std::optional<UncertaintyModel> model = Read(status);
    if (!model) {
        preview->setText(QStringLiteral("Preview of %1: none while %2")
                             .arg(which.toLower(), QString::fromStdString(status.message())));
        return;
    }
    Case changed = theCase;
    changed.body.GetUncertaintyModel() = *model;
    const PosedCase posed(std::move(changed), &editor.GetPosed());
    const std::optional<double> cone = UncertaintyCone95(posed, number, kPreviewDraws, 1);
    if (!cone) {
        preview->setText(which + QStringLiteral(": no direction (IN and OUT lie within the "
                                                "balls' width), so no cone."));
        return;
    }
    preview->setText(which + QStringLiteral(": ± %1° at 95 % (a preview from %2 draws; the "
                                            "budget makes %3).")
                                 .arg(*cone, 0, 'f', 1)
                                 .arg(kPreviewDraws)
                                 .arg(model->DrawCount()));
}

void UncertaintyBudgetDialog::accept() {
    Status status = Status::Ok();
    const std::optional<UncertaintyModel> model = Read(status);
    if (!model) {
        platform.ShowMessage(this, QString::fromStdString(status.message()),
                             QStringLiteral("Uncertainty budget"));
        return; // the dialog stays open with what was typed
    }
    editor.EditBody("Uncertainty budget",
                    [&model](Body& body) { body.GetUncertaintyModel() = *model; });
    QDialog::accept();
}
