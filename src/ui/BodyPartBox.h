#pragma once

#include <QComboBox>

#include <string>

struct Trajectory;

// The body part a measured point belongs to, chosen among the parts a point may move with. For a
// trajectory from an older file, which has no parts, the box shows first how that file's rule
// carries it ("follows the arm (older file)" or "stays (older file)") until a part is chosen.
class BodyPartBox : public QComboBox {
    Q_OBJECT
public:
    explicit BodyPartBox(QWidget* parent = nullptr);

    // Shows `part`; a name the list does not hold is added, so that it is shown as it is.
    void SetPart(const std::string& part);
    // The part shown; empty while the older file's rule is shown.
    std::string GetPart() const;

    // Shows the older file's rule for a trajectory without parts, as its with-arm flag says.
    void ShowOlderRule(bool withArm);
    // Takes the older file's rule out of the list (the trajectory has parts again).
    void DropOlderRule();
    bool ShowsOlderRule() const { return GetPart().empty(); }

    static QString OlderRuleText(bool withArm);
};

// Shows the trajectory's parts in the boxes of its IN and OUT, or its older file's rule while it
// has none.
void ShowTrajectoryParts(BodyPartBox& inBox, BodyPartBox& outBox, const Trajectory& trajectory);
