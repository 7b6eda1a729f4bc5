#include "ui/BodyPartBox.h"

#include "body/Skeleton.h"
#include "case/Trajectory.h"

namespace {

QString TextOf(std::string_view part) {
    return QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()));
}

} // namespace

BodyPartBox::BodyPartBox(QWidget* parent) : QComboBox(parent) {
    for (const std::string_view part : skeleton::kPartNames) {
        addItem(TextOf(part), TextOf(part));
    }
    setToolTip(QStringLiteral("The part of the body the point moves with when the body is posed"));
}

void BodyPartBox::SetPart(const std::string& part) {
    const QString name = QString::fromStdString(part);
    int index = findData(name);
    if (index < 0) {
        addItem(name, name);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

std::string BodyPartBox::GetPart() const {
    return currentData().toString().toStdString();
}

QString BodyPartBox::OlderRuleText(bool withArm) {
    return withArm ? QStringLiteral("follows the arm (older file)")
                   : QStringLiteral("stays (older file)");
}

void BodyPartBox::ShowOlderRule(bool withArm) {
    DropOlderRule();
    insertItem(0, OlderRuleText(withArm), QString());
    setCurrentIndex(0);
}

void BodyPartBox::DropOlderRule() {
    const QString part = currentData().toString();
    for (int index = count() - 1; index >= 0; --index) {
        if (itemData(index).toString().isEmpty()) {
            removeItem(index);
        }
    }
    if (!part.isEmpty()) {
        setCurrentIndex(findData(part));
    }
}

void ShowTrajectoryParts(BodyPartBox& inBox, BodyPartBox& outBox, const Trajectory& trajectory) {
    if (trajectory.HasParts()) {
        inBox.DropOlderRule();
        outBox.DropOlderRule();
        inBox.SetPart(trajectory.inPart);
        outBox.SetPart(trajectory.outPart);
    } else {
        inBox.ShowOlderRule(trajectory.withArm);
        outBox.ShowOlderRule(trajectory.withArm);
    }
}
