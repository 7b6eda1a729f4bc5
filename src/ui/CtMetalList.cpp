#include "ui/CtMetalList.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QTreeWidgetItem* RowOf(std::size_t index, const CtMetalObject& object) {
    auto* item = new QTreeWidgetItem;
    const Vec3& c = object.centroidBody;
    item->setText(0, QString::number(index + 1));
    item->setText(1, QStringLiteral("%1, %2, %3").arg(Fixed(c.x, 2), Fixed(c.y, 2), Fixed(c.z, 2)));
    item->setText(2, Fixed(object.volumeMm3, 1));
    item->setText(3, Fixed(object.extentMm, 1));
    item->setText(4, QString::number(object.peakHu));
    for (int column : {0, 2, 3, 4}) {
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

} // namespace

CtMetalList::CtMetalList(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    table = new QTreeWidget(this);
    table->setObjectName(QStringLiteral("metalTable"));
    table->setRootIsDecorated(false);
    table->setAllColumnsShowFocus(true);
    // Short headers, so that the five columns fit the dock's usual width; the tips say more.
    table->setHeaderLabels({QStringLiteral("No."), QStringLiteral("x, y, z cm"),
                            QStringLiteral("mm³"), QStringLiteral("Extent mm"),
                            QStringLiteral("Peak HU")});
    const QStringList tips = {
        QStringLiteral("Metal object, largest first"),
        QStringLiteral("Centroid in the body frame (cm)"),
        QStringLiteral("Volume (mm³)"),
        QStringLiteral("Largest distance across the object (mm)"),
        QStringLiteral("Highest value in the object (Hounsfield units)"),
    };
    for (int column = 0; column < tips.size(); ++column) {
        table->headerItem()->setToolTip(column, tips[column]);
    }
    table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    placeButton = new QPushButton(QStringLiteral("Place point here"), this);
    placeButton->setObjectName(QStringLiteral("placeAtMetalButton"));
    placeButton->setFocusPolicy(Qt::TabFocus);
    placeButton->setEnabled(false);
    layout->addWidget(table);
    layout->addWidget(placeButton);
    connect(table, &QTreeWidget::currentItemChanged, this, [this] {
        const int row = CurrentRow();
        placeButton->setEnabled(row >= 0);
        if (row >= 0) {
            emit objectChosen(row);
        }
    });
    connect(table, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        emit placeRequested(table->indexOfTopLevelItem(item));
    });
    connect(placeButton, &QPushButton::clicked, this, [this] {
        if (CurrentRow() >= 0) {
            emit placeRequested(CurrentRow());
        }
    });
}

void CtMetalList::SetObjects(const std::vector<CtMetalObject>& objects, const QString& failure) {
    const QSignalBlocker quiet(table);
    table->clear();
    for (std::size_t index = 0; index < objects.size(); ++index) {
        table->addTopLevelItem(RowOf(index, objects[index]));
    }
    placeButton->setEnabled(false);
    table->setToolTip(
        failure.isEmpty() ? QString() : QStringLiteral("No metal was looked for: %1").arg(failure));
}

int CtMetalList::RowCount() const {
    return table->topLevelItemCount();
}

int CtMetalList::CurrentRow() const {
    QTreeWidgetItem* item = table->currentItem();
    return item == nullptr ? -1 : table->indexOfTopLevelItem(item);
}

void CtMetalList::ChooseRow(int row) {
    table->setCurrentItem(row >= 0 && row < RowCount() ? table->topLevelItem(row) : nullptr);
}
