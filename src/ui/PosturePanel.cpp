#include "ui/PosturePanel.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/AngleSpinBox.h"
#include "ui/SliderSetup.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kAxisNames[3] = {"Yaw", "Pitch", "Roll"};
constexpr const char* kSliderNames[3] = {"sliderYaw", "sliderPitch", "sliderRoll"};
constexpr const char* kSpinNames[3] = {"spinYaw", "spinPitch", "spinRoll"};
constexpr const char* kLimitNames[3] = {"limitsYaw", "limitsPitch", "limitsRoll"};
constexpr int kTickStep = 30;

skeleton::Joint JointOfRow(int row) {
    return static_cast<skeleton::Joint>(row);
}

double& AngleRef(JointAngles& angles, int axis) {
    return axis == 0 ? angles.yaw : axis == 1 ? angles.pitch : angles.roll;
}

double AngleOf(const JointAngles& angles, int axis) {
    return axis == 0 ? angles.yaw : axis == 1 ? angles.pitch : angles.roll;
}

QString Degrees(double value) {
    return QStringLiteral("%1°").arg(value, 0, 'f', 1);
}

QString LimitsText(const skeleton::AngleRange& limits) {
    return QStringLiteral("%1 to %2°").arg(limits.min).arg(limits.max);
}

// What the three angles do at the joint of that row.
QString MeaningOf(int row) {
    if (row == PosturePanel::kWholeBodyRow) {
        return QStringLiteral("The whole body, turned about the lower back before it is set on "
                              "the floor: pitch -90 lays it on its back, 90 face down.");
    }
    switch (JointOfRow(row)) {
    case skeleton::Joint::Neck:
    case skeleton::Joint::Trunk:
        return QStringLiteral("Yaw turns to the left, pitch bends forward, roll bends to the "
                              "right.");
    case skeleton::Joint::RightKnee:
    case skeleton::Joint::LeftKnee:
        return QStringLiteral("Pitch bends the knee (the shank goes back), yaw turns the shank "
                              "inward.");
    default:
        return QStringLiteral("Pitch moves the limb forward, roll away from the body, yaw "
                              "turns it inward.");
    }
}

} // namespace

PosturePanel::PosturePanel(CaseEditor& theEditor, QWidget* parent)
    : QDockWidget(QStringLiteral("Posture"), parent), editor(theEditor) {
    setObjectName(QStringLiteral("posturePanel"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    BuildLists(content, layout);
    BuildAngleRows(content, layout);
    scroll->setWidget(content);
    setWidget(scroll);
    listenerKey = theEditor.AddListener([this](const CaseChange&) {
        refusal.clear(); // it told of the entry before this change
        ShowPosture();
    });
    ChooseJoint(0);
}

PosturePanel::~PosturePanel() {
    editor.RemoveListener(listenerKey);
}

void PosturePanel::BuildLists(QWidget* content, QVBoxLayout* layout) {
    postureName = new QLabel(content);
    postureName->setObjectName(QStringLiteral("postureName"));
    layout->addWidget(postureName);
    presetList = new QListWidget(content);
    presetList->setObjectName(QStringLiteral("presetList"));
    for (const std::string& name : Posture::PresetNames()) {
        presetList->addItem(QString::fromStdString(name));
    }
    jointList = new QListWidget(content);
    jointList->setObjectName(QStringLiteral("jointList"));
    for (int row = 0; row < skeleton::kJointCount; ++row) {
        const std::string_view label = skeleton::InfoOf(JointOfRow(row)).label;
        jointList->addItem(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    }
    jointList->addItem(QStringLiteral("Whole body"));
    for (QListWidget* list : {presetList, jointList}) {
        // A click chooses without taking the keyboard from the view; Tab still reaches the list.
        list->setFocusPolicy(Qt::TabFocus);
        list->setFixedHeight(list->sizeHintForRow(0) * list->count() + 2 * list->frameWidth());
    }
    layout->addWidget(presetList);
    layout->addWidget(new QLabel(QStringLiteral("Joint"), content));
    layout->addWidget(jointList);
    connect(presetList, &QListWidget::currentRowChanged, this, &PosturePanel::PresetChosen);
    connect(jointList, &QListWidget::currentRowChanged, this, &PosturePanel::ChooseJoint);
}

void PosturePanel::BuildAngleRows(QWidget* content, QVBoxLayout* layout) {
    auto* grid = new QGridLayout;
    for (int axis = 0; axis < 3; ++axis) {
        grid->addWidget(new QLabel(QString::fromLatin1(kAxisNames[axis]), content), axis, 0);
        QSlider* slider = MakeTickedSlider(content, kSliderNames[axis], 0, 0, kTickStep);
        auto* spin = new AngleSpinBox(content);
        spin->setObjectName(QString::fromLatin1(kSpinNames[axis]));
        spin->setDecimals(1);
        spin->setSingleStep(1);
        spin->setSuffix(QStringLiteral(" °"));
        // A typed value is taken when Enter is pressed or the box is left, not at every digit.
        spin->setKeyboardTracking(false);
        auto* limits = new QLabel(content);
        limits->setObjectName(QString::fromLatin1(kLimitNames[axis]));
        grid->addWidget(slider, axis, 1);
        grid->addWidget(spin, axis, 2);
        grid->addWidget(limits, axis, 3);
        sliders[axis] = slider;
        spins[axis] = spin;
        limitLabels[axis] = limits;
        connect(slider, &QSlider::sliderPressed, this, &PosturePanel::SliderPressed);
        connect(slider, &QSlider::valueChanged, this,
                [this, axis](int value) { SliderMoved(axis, value); });
        connect(slider, &QSlider::sliderReleased, this, &PosturePanel::SliderReleased);
        connect(spin, &QDoubleSpinBox::valueChanged, this,
                [this, axis](double value) { SpinChanged(axis, value); });
        connect(spin, &AngleSpinBox::typedBeyondRange, this,
                [this, axis](double typed) { TypedBeyondLimits(axis, typed); });
    }
    layout->addLayout(grid);
    meaning = new QLabel(content);
    meaning->setObjectName(QStringLiteral("meaning"));
    meaning->setWordWrap(true);
    layout->addWidget(meaning);
    limitNote = new QLabel(content);
    limitNote->setObjectName(QStringLiteral("limitNote"));
    limitNote->setWordWrap(true);
    limitNote->setStyleSheet(QStringLiteral("color: #a00000"));
    layout->addWidget(limitNote);
    note = new QLabel(content);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch();
}

JointAngles PosturePanel::AnglesOf(const Posture& posture, int row) {
    return row == kWholeBodyRow ? posture.GetBodyTurn() : posture.Get(JointOfRow(row));
}

Posture PosturePanel::WithAngle(Posture posture, int row, int axis, double degrees) {
    JointAngles angles = AnglesOf(posture, row);
    AngleRef(angles, axis) = degrees;
    if (row == kWholeBodyRow) {
        posture.SetBodyTurn(angles);
    } else {
        posture.Set(JointOfRow(row), angles);
    }
    return posture;
}

skeleton::AngleRange PosturePanel::LimitsOf(int row, int axis) {
    return row == kWholeBodyRow ? Posture::kBodyTurnLimit
                                : skeleton::InfoOf(JointOfRow(row)).limits[axis];
}

void PosturePanel::ChooseJoint(int row) {
    if (row < 0 || row > kWholeBodyRow) {
        return;
    }
    jointRow = row;
    {
        const QSignalBlocker quiet(jointList);
        jointList->setCurrentRow(row);
    }
    dragStart.reset();
    refusal.clear();
    for (int axis = 0; axis < 3; ++axis) {
        const skeleton::AngleRange limits = LimitsOf(row, axis);
        const QSignalBlocker quietSlider(sliders[axis]);
        const QSignalBlocker quietSpin(spins[axis]);
        sliders[axis]->setRange(static_cast<int>(std::ceil(limits.min)),
                                static_cast<int>(std::floor(limits.max)));
        spins[axis]->setRange(limits.min, limits.max);
        const QString range = QStringLiteral("%1 to %2 degrees").arg(limits.min).arg(limits.max);
        sliders[axis]->setToolTip(range);
        spins[axis]->setToolTip(range);
        limitLabels[axis]->setText(LimitsText(limits));
    }
    meaning->setText(MeaningOf(row));
    ShowPosture();
}

void PosturePanel::ShowPosture() {
    const Body& body = editor.GetCase().body;
    const Posture& posture = body.GetPosture();
    const std::string name = posture.GetName();
    postureName->setText(QStringLiteral("Posture: %1").arg(QString::fromStdString(name)));
    {
        const QSignalBlocker quiet(presetList);
        const auto& presets = Posture::PresetNames();
        const auto found = std::find(presets.begin(), presets.end(), name);
        presetList->setCurrentRow(
            found == presets.end() ? -1 : static_cast<int>(found - presets.begin()));
    }
    const JointAngles angles = AnglesOf(posture, jointRow);
    for (int axis = 0; axis < 3; ++axis) {
        const double value = AngleOf(angles, axis);
        const QSignalBlocker quietSpin(spins[axis]);
        spins[axis]->setValue(value);
        if (!sliders[axis]->isSliderDown()) {
            PlaceSlider(sliders[axis], static_cast<int>(std::lround(value)));
        }
    }
    QString limitText = refusal;
    const QString beyond = BeyondLimitsText(angles);
    if (!beyond.isEmpty()) {
        limitText += (limitText.isEmpty() ? QString() : QStringLiteral(" ")) + beyond;
    }
    limitNote->setText(limitText);
    limitNote->setVisible(!limitText.isEmpty());
    note->setText(body.GetModel() != nullptr && !body.HasPostureParts()
                      ? QStringLiteral("This body model has no parts the skeleton knows: it "
                                       "moves as one piece.")
                      : QString());
}

QString PosturePanel::AngleName(int axis) const {
    const QString joint =
        jointRow == kWholeBodyRow
            ? QStringLiteral("Whole body")
            : QString::fromUtf8(
                  skeleton::InfoOf(JointOfRow(jointRow)).label.data(),
                  static_cast<qsizetype>(skeleton::InfoOf(JointOfRow(jointRow)).label.size()));
    return joint + QStringLiteral(" ") + QString::fromLatin1(kAxisNames[axis]).toLower();
}

QString PosturePanel::BeyondLimitsText(const JointAngles& angles) const {
    QString text;
    for (int axis = 0; axis < 3; ++axis) {
        const double value = AngleOf(angles, axis);
        const skeleton::AngleRange limits = LimitsOf(jointRow, axis);
        if (limits.Holds(value)) {
            continue;
        }
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
                QStringLiteral("%1 is %2, beyond the joint's limits (%3): the box shows the "
                               "nearest limit, the case keeps %2.")
                    .arg(AngleName(axis), Degrees(value), LimitsText(limits));
    }
    return text;
}

std::string PosturePanel::JointEditName() const {
    if (jointRow == kWholeBodyRow) {
        return "Posture: Whole body";
    }
    return "Posture: " + std::string(skeleton::InfoOf(JointOfRow(jointRow)).label);
}

void PosturePanel::PresetChosen(int row) {
    const std::vector<std::string>& presets = Posture::PresetNames();
    if (row < 0 || row >= static_cast<int>(presets.size())) {
        return;
    }
    const std::optional<Posture> preset = Posture::Preset(presets[row]);
    if (!preset) {
        return;
    }
    editor.EditBody("Posture: " + presets[row],
                    [&preset](Body& body) { body.SetPosture(*preset); });
    ShowPosture(); // also when nothing changed
}

void PosturePanel::SliderPressed() {
    dragStart = editor.GetCase().body;
}

void PosturePanel::SliderMoved(int axis, int value) {
    const Posture posture = WithAngle(editor.GetCase().body.GetPosture(), jointRow, axis, value);
    if (dragStart && sliders[axis]->isSliderDown()) {
        editor.PreviewBody([&posture](Body& body) { body.SetPosture(posture); });
        return;
    }
    // A key, a wheel turn or a click beside the handle: one step, one edit.
    editor.EditBody(JointEditName(), [&posture](Body& body) { body.SetPosture(posture); });
}

void PosturePanel::SliderReleased() {
    if (!dragStart) {
        return;
    }
    const Body before = *dragStart;
    dragStart.reset();
    editor.CommitBody(JointEditName(), before);
}

void PosturePanel::SpinChanged(int axis, double value) {
    const Posture posture = WithAngle(editor.GetCase().body.GetPosture(), jointRow, axis, value);
    editor.EditBody(JointEditName(), [&posture](Body& body) { body.SetPosture(posture); });
    ShowPosture();
}

void PosturePanel::TypedBeyondLimits(int axis, double typed) {
    const skeleton::AngleRange limits = LimitsOf(jointRow, axis);
    const double kept = AngleOf(AnglesOf(editor.GetCase().body.GetPosture(), jointRow), axis);
    refusal = QStringLiteral("%1 %2 not taken: it is beyond the joint's limits (%3); the %4 "
                             "stays %5.")
                  .arg(AngleName(axis), Degrees(typed), LimitsText(limits),
                       QString::fromLatin1(kAxisNames[axis]).toLower(), Degrees(kept));
    ShowPosture();
}
