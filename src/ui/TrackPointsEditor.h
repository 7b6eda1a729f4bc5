#pragma once

#include <QString>
#include <QWidget>

#include "case/TrackPoint.h"

#include <functional>
#include <string>
#include <vector>

class BodyPartBox;
class QPushButton;
class QTableWidget;

// The points a bullet passed between IN and OUT, one row each in order from IN: x, y and z in
// centimetres (body frame, the body at rest), the radius of the ball each is known within and the
// part it moves with ("as the stop before" takes the part of IN or of the point before). Rows are
// added after the one chosen, removed and moved up or down; no more than
// Trajectory::kMaxTrackPoints. A point whose coordinates are typed anew takes the part nearest to
// it, until another is chosen. A value shown and left as it was is given back exactly as it was
// set, not rounded to what the field shows.
class TrackPointsEditor : public QWidget {
    Q_OBJECT
public:
    // `partNearest` names the part nearest to a point (metres).
    explicit TrackPointsEditor(std::function<std::string(const Vec3&)> partNearest,
                               QWidget* parent = nullptr);

    void SetPoints(const std::vector<TrackPoint>& points);
    // The points as typed; a refusal naming the point and the field ("Point 2: y2 ..."), with
    // the keyboard put in that cell, or an empty text with `points` set.
    QString Read(std::vector<TrackPoint>& points);

    QTableWidget* Table() const { return table; }
    // The table, then the buttons: the order the keyboard takes through them.
    std::vector<QWidget*> KeyboardOrder() const;
    // Adds an empty row after the current one (at the end when none is current).
    void AddRow();
    void RemoveRow();
    // Moves the current row one place toward IN (-1) or toward OUT (+1).
    void MoveRow(int step);

private:
    static constexpr int kRadiusColumn = 3;
    static constexpr int kPartColumn = 4;

    void InsertRow(int row, const TrackPoint& shown, int original);
    BodyPartBox* PartBox(int row) const;
    QString CellText(int row, int column) const;
    // The cell's value in metres: the original's while its text is as shown, else as typed.
    QString ReadCell(int row, int column, double& metres) const;
    void FindPart(int row);
    void UpdateButtons();
    // Each row's place in the list of points set, or -1 for a row added since.
    int OriginalOf(int row) const;

    std::function<std::string(const Vec3&)> partNearest;
    std::vector<TrackPoint> originals;
    QTableWidget* table;
    QPushButton* addButton;
    QPushButton* removeButton;
    QPushButton* upButton;
    QPushButton* downButton;
    bool filling = false;
};
