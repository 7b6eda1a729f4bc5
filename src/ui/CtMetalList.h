#pragma once

#include "ct/CtMetalObject.h"

#include <QWidget>

#include <vector>

class QPushButton;
class QTreeWidget;

// The metal objects of a CT scan, one row each, largest first: number, centroid (body frame,
// cm), volume, largest extent and peak HU. Choosing a row asks for the slices through it;
// "Place point here" or a double-click asks for a point at its centroid.
class CtMetalList : public QWidget {
    Q_OBJECT

public:
    explicit CtMetalList(QWidget* parent = nullptr);

    // Shows these objects; `failure` says why there are none when the search failed.
    void SetObjects(const std::vector<CtMetalObject>& objects, const QString& failure = {});
    int RowCount() const;
    // The row chosen, numbered from 0; -1 for none.
    int CurrentRow() const;
    void ChooseRow(int row);
    QTreeWidget& Table() { return *table; }

signals:
    // The user chose the object in this row (from 0).
    void objectChosen(int row);
    // The user asked for a point at the centroid of the object in this row.
    void placeRequested(int row);

private:
    QTreeWidget* table = nullptr;
    QPushButton* placeButton = nullptr;
};
