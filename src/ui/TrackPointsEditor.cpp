#include "ui/TrackPointsEditor.h"

#include "case/Trajectory.h"
#include "ui/BodyPartBox.h"
#include "ui/DialogInput.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kAxisNames[3] = {"x", "y", "z"};
const QString kAsStopBefore = QStringLiteral("as the stop before");

double Coordinate(const Vec3& point, int axis) {
    return axis == 0 ? point.x : axis == 1 ? point.y : point.z;
}

} // namespace

TrackPointsEditor::TrackPointsEditor(std::function<std::string(const Vec3&)> nearest,
                                     QWidget* parent)
    : QWidget(parent), partNearest(std::move(nearest)) {
    table = new QTableWidget(0, 5, this);
    table->setObjectName("trackPoints");
    table->setHorizontalHeaderLabels({"x (cm)", "y (cm)", "z (cm)", "radius (cm)", "part"});
    table->horizontalHeader()->setSectionResizeMode(kPartColumn, QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setFixedHeight(table->fontMetrics().lineSpacing() * 8);
    addButton = new QPushButton("Add point", this);
    addButton->setObjectName("addTrackPoint");
    removeButton = new QPushButton("Remove", this);
    removeButton->setObjectName("removeTrackPoint");
    upButton = new QPushButton("Up", this);
    upButton->setObjectName("trackPointUp");
    downButton = new QPushButton("Down", this);
    downButton->setObjectName("trackPointDown");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {addButton, removeButton, upButton, downButton}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
    layout->addLayout(buttons);
    connect(addButton, &QPushButton::clicked, this, &TrackPointsEditor::AddRow);
    connect(removeButton, &QPushButton::clicked, this, &TrackPointsEditor::RemoveRow);
    connect(upButton, &QPushButton::clicked, this, [this] { MoveRow(-1); });
    connect(downButton, &QPushButton::clicked, this, [this] { MoveRow(1); });
    connect(table, &QTableWidget::currentCellChanged, this, &TrackPointsEditor::UpdateButtons);
    // A point typed anew belongs to the part nearest to it, until another part is chosen.
    connect(table, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!filling && column < kRadiusColumn) {
            FindPart(row);
        }
    });
    UpdateButtons();
}

void TrackPointsEditor::SetPoints(const std::vector<TrackPoint>& points) {
    originals = points;
    table->setRowCount(0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        InsertRow(static_cast<int>(i), points[i], static_cast<int>(i));
    }
    UpdateButtons();
}

void TrackPointsEditor::InsertRow(int row, const TrackPoint& shown, int original) {
    filling = true;
    table->insertRow(row);
    for (int axis = 0; axis < 3; ++axis) {
        const bool known = original >= 0;
        auto* item =
            new QTableWidgetItem(known ? CentimetreText(Coordinate(shown.point, axis)) : QString());
        item->setData(Qt::UserRole, original);
        table->setItem(row, axis, item);
    }
    table->setItem(row, kRadiusColumn, new QTableWidgetItem(UncertaintyText(shown.radius)));
    auto* part = new BodyPartBox(table);
    part->insertItem(0, kAsStopBefore, QString());
    part->SetPart(shown.part);
    table->setCellWidget(row, kPartColumn, part);
    filling = false;
}

std::vector<QWidget*> TrackPointsEditor::KeyboardOrder() const {
    return {table, addButton, removeButton, upButton, downButton};
}

int TrackPointsEditor::OriginalOf(int row) const {
    const QTableWidgetItem* item = table->item(row, 0);
    return item == nullptr ? -1 : item->data(Qt::UserRole).toInt();
}

BodyPartBox* TrackPointsEditor::PartBox(int row) const {
    return qobject_cast<BodyPartBox*>(table->cellWidget(row, kPartColumn));
}

QString TrackPointsEditor::CellText(int row, int column) const {
    const QTableWidgetItem* item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
}

void TrackPointsEditor::AddRow() {
    if (table->rowCount() >= Trajectory::kMaxTrackPoints) {
        return;
    }
    const int row = table->currentRow() < 0 ? table->rowCount() : table->currentRow() + 1;
    InsertRow(row, TrackPoint{}, -1);
    table->setCurrentCell(row, 0);
    UpdateButtons();
}

void TrackPointsEditor::RemoveRow() {
    const int row = table->currentRow();
    if (row < 0) {
        return;
    }
    table->removeRow(row);
    UpdateButtons();
}

void TrackPointsEditor::MoveRow(int step) {
    const int row = table->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= table->rowCount()) {
        return;
    }
    // The row is taken out whole, items and part, and put back at its new place.
    filling = true;
    std::vector<QTableWidgetItem*> items;
    items.reserve(kPartColumn);
    for (int column = 0; column < kPartColumn; ++column) {
        items.push_back(table->takeItem(row, column));
    }
    const std::string part = PartBox(row)->GetPart();
    table->removeRow(row);
    table->insertRow(target);
    for (int column = 0; column < kPartColumn; ++column) {
        table->setItem(target, column, items[static_cast<std::size_t>(column)]);
    }
    auto* box = new BodyPartBox(table);
    box->insertItem(0, kAsStopBefore, QString());
    box->SetPart(part);
    table->setCellWidget(target, kPartColumn, box);
    filling = false;
    table->setCurrentCell(target, 0);
    UpdateButtons();
}

void TrackPointsEditor::FindPart(int row) {
    Vec3 point;
    point.x = ReadCentimetres(CellText(row, 0));
    point.y = ReadCentimetres(CellText(row, 1));
    point.z = ReadCentimetres(CellText(row, 2));
    if (BodyPartBox* box = PartBox(row); box != nullptr && partNearest) {
        box->SetPart(partNearest(point));
    }
}

void TrackPointsEditor::UpdateButtons() {
    const int row = table->currentRow();
    addButton->setEnabled(table->rowCount() < Trajectory::kMaxTrackPoints);
    removeButton->setEnabled(row >= 0);
    upButton->setEnabled(row > 0);
    downButton->setEnabled(row >= 0 && row + 1 < table->rowCount());
}

QString TrackPointsEditor::ReadCell(int row, int column, double& metres) const {
    const QString name = QString("Point %1: ").arg(row + 1);
    const int original = OriginalOf(row);
    const QString text = CellText(row, column);
    if (original >= 0 && original < static_cast<int>(originals.size())) {
        const TrackPoint& was = originals[static_cast<std::size_t>(original)];
        const double value = column == kRadiusColumn ? was.radius : Coordinate(was.point, column);
        const QString shown =
            column == kRadiusColumn ? UncertaintyText(value) : CentimetreText(value);
        if (text == shown) {
            metres = value;
            return {};
        }
    }
    if (column == kRadiusColumn) {
        return ReadUncertainty(text, name + "radius", metres);
    }
    return ReadCoordinate(text, name + kAxisNames[column], metres);
}

QString TrackPointsEditor::Read(std::vector<TrackPoint>& points) {
    std::vector<TrackPoint> read;
    for (int row = 0; row < table->rowCount(); ++row) {
        double values[4] = {};
        for (int column = 0; column <= kRadiusColumn; ++column) {
            if (QString refusal = ReadCell(row, column, values[column]); !refusal.isEmpty()) {
                table->setCurrentCell(row, column);
                table->setFocus();
                return refusal;
            }
        }
        const BodyPartBox* box = PartBox(row);
        read.push_back({{values[0], values[1], values[2]},
                        values[kRadiusColumn],
                        box == nullptr ? std::string() : box->GetPart()});
    }
    points = std::move(read);
    return {};
}
