#include "ui/AlignWoundsDialog.h"

#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/Trajectory.h"
#include "case/WoundAlignment.h"
#include "edit/CaseEditor.h"
#include "ui/AngleLabel.h"
#include "view/ViewState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using skeleton::Joint;
using skeleton::Segment;

QString Label(Joint joint) {
    const std::string_view label = skeleton::InfoOf(joint).label;
    return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
}

QString Degrees(double value) {
    return QString::number(value, 'f', 1);
}

// The segments a trajectory's points move with. The trunk part is split between the pelvis and
// the torso by height, so a trunk point may be on either.
std::vector<Segment> SegmentsOf(const Trajectory& trajectory) {
    std::vector<Segment> segments;
    for (const std::string& part : {trajectory.inPart, trajectory.outPart}) {
        const std::optional<Segment> segment = skeleton::SegmentOfPart(part);
        if (!segment) {
            continue;
        }
        segments.push_back(*segment);
        if (*segment == Segment::Pelvis) {
            segments.push_back(Segment::Torso);
        }
    }
    return segments;
}

// The segment and those it hangs from, up to the pelvis.
std::vector<Segment> ChainOf(Segment segment) {
    std::vector<Segment> chain = {segment};
    for (int step = 0; step < skeleton::kSegmentCount && chain.back() != Segment::Pelvis; ++step) {
        chain.push_back(skeleton::ParentOf(chain.back()));
    }
    return chain;
}

// The joints that turn one segment against the other: those below their common ancestor.
std::vector<Joint> JointsBetweenSegments(Segment a, Segment b) {
    const std::vector<Segment> up = ChainOf(a);
    const std::vector<Segment> down = ChainOf(b);
    std::vector<Joint> joints;
    const auto climb = [&joints](const std::vector<Segment>& chain,
                                 const std::vector<Segment>& other) {
        for (const Segment segment : chain) {
            if (std::find(other.begin(), other.end(), segment) != other.end()) {
                return;
            }
            if (const std::optional<Joint> joint = skeleton::JointCarrying(segment)) {
                joints.push_back(*joint);
            }
        }
    };
    climb(up, down);
    climb(down, up);
    return joints;
}

// A piece of a track as the trajectory the joints between parts are found for.
Trajectory PieceAsTrajectory(const AlignmentTrack& piece) {
    Trajectory trajectory;
    trajectory.in = piece.in;
    trajectory.out = piece.out;
    trajectory.inPart = piece.inPart;
    trajectory.outPart = piece.outPart;
    return trajectory;
}

// Restores the pointer when the search is over, however it ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

std::vector<Joint> AlignWoundsDialog::JointsBetween(const Trajectory& first,
                                                    const Trajectory& second) {
    if (!first.HasParts() || !second.HasParts()) {
        return {};
    }
    std::optional<std::vector<Joint>> shortest;
    for (const Segment a : SegmentsOf(first)) {
        for (const Segment b : SegmentsOf(second)) {
            std::vector<Joint> joints = JointsBetweenSegments(a, b);
            if (!shortest || joints.size() < shortest->size()) {
                shortest = std::move(joints);
            }
        }
    }
    std::vector<Joint> joints = shortest.value_or(std::vector<Joint>{});
    std::sort(joints.begin(), joints.end());
    return joints;
}

AlignWoundsDialog::AlignWoundsDialog(CaseEditor& theEditor, const ViewState& theView,
                                     QWidget* parent)
    : QDialog(parent), editor(theEditor), view(theView) {
    setWindowTitle("Align wounds");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel("Two trajectories one bullet made, or the two pieces of one "
                             "trajectory through two parts: the search looks for the "
                             "posture, within the joints' limits, in which they lie on one "
                             "straight line.",
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* chosen = new QGridLayout;
    firstBox = new QComboBox(this);
    firstBox->setObjectName("firstBox");
    secondBox = new QComboBox(this);
    secondBox->setObjectName("secondBox");
    chosen->addWidget(new QLabel("First trajectory"), 0, 0);
    chosen->addWidget(firstBox, 0, 1);
    chosen->addWidget(new QLabel("Second trajectory"), 1, 0);
    chosen->addWidget(secondBox, 1, 1);
    layout->addLayout(chosen);
    present = new QLabel(this);
    present->setObjectName("presentLabel");
    layout->addWidget(present);

    auto* jointGroup = new QGroupBox("Joints that may move", this);
    auto* jointGrid = new QGridLayout(jointGroup);
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        auto* box = new QCheckBox(Label(static_cast<Joint>(j)), jointGroup);
        const std::string_view name = skeleton::InfoOf(static_cast<Joint>(j)).name;
        box->setObjectName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        jointGrid->addWidget(box, j / 2, j % 2);
        jointBoxes[j] = box;
    }
    layout->addWidget(jointGroup);

    searchButton = new QPushButton("Search", this);
    searchButton->setObjectName("searchButton");
    searchButton->setAutoDefault(false);
    layout->addWidget(searchButton, 0, Qt::AlignLeft);
    answerList = new QTableWidget(0, 3, this);
    answerList->setObjectName("answerList");
    answerList->setHorizontalHeaderLabels(
        {QString("Angle, %1 (°)").arg(AngleLabel(AngleKind::AsPosed)), "Gap (cm)", "Joints moved"});
    answerList->horizontalHeader()->setStretchLastSection(true);
    answerList->verticalHeader()->setVisible(false);
    answerList->setSelectionBehavior(QAbstractItemView::SelectRows);
    answerList->setSelectionMode(QAbstractItemView::SingleSelection);
    answerList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(answerList);
    message = new QLabel(this);
    message->setObjectName("messageLabel");
    message->setWordWrap(true);
    layout->addWidget(message);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(firstBox, &QComboBox::activated, this, &AlignWoundsDialog::TrajectoriesChosen);
    connect(secondBox, &QComboBox::activated, this, &AlignWoundsDialog::TrajectoriesChosen);
    connect(searchButton, &QPushButton::clicked, this, &AlignWoundsDialog::Search);
    connect(answerList, &QTableWidget::itemSelectionChanged, this,
            &AlignWoundsDialog::AnswerChosen);
    connect(ok, &QPushButton::clicked, this, &AlignWoundsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &AlignWoundsDialog::reject);
    resize(460, 520);
}

int AlignWoundsDialog::exec() {
    before = editor.GetCase().body;
    answers.clear();
    answerList->setRowCount(0);
    message->clear();
    FillTrajectoryLists();
    TrajectoriesChosen();
    return QDialog::exec();
}

void AlignWoundsDialog::FillTrajectoryLists() {
    const Case& theCase = editor.GetCase();
    for (QComboBox* box : {firstBox, secondBox}) {
        box->clear();
        for (size_t index = 0; index < theCase.trajectories.size(); ++index) {
            const int number = NumberOfIndex(index);
            QString text = QString::number(number);
            const QString label =
                QString::fromStdString(theCase.trajectories[index].label).section('\n', 0, 0);
            if (!label.trimmed().isEmpty()) {
                text += " (" + label.trimmed() + ")";
            }
            box->addItem(text, number);
        }
    }
    // A track that breaks into two pieces (the arm, then the chest) is one shot whose pieces
    // line up on their own: listed after the trajectories, by minus its number.
    for (size_t index = 0; index < theCase.trajectories.size(); ++index) {
        const int number = NumberOfIndex(index);
        if (AlignmentPiecesOf(theCase, number)) {
            firstBox->addItem(QString("Trajectory %1, its two pieces").arg(number), -number);
        }
    }
    const int count = theCase.TrajectoryCount();
    const int selected = view.GetSelectedTrajectoryNumber();
    const int first = theCase.TrajectoryNumbered(selected) != nullptr ? selected : 1;
    const int second = first < count ? first + 1 : first - 1;
    // The boxes list every trajectory in number order.
    firstBox->setCurrentIndex(firstBox->findData(first));
    secondBox->setCurrentIndex(secondBox->findData(second));
}

std::optional<std::array<AlignmentTrack, 2>> AlignWoundsDialog::ChosenPieces() const {
    const int chosen = firstBox->currentData().toInt();
    return chosen < 0 ? AlignmentPiecesOf(editor.GetCase(), -chosen) : std::nullopt;
}

AlignmentRequest AlignWoundsDialog::Request() const {
    const Case& theCase = editor.GetCase();
    AlignmentRequest request;
    if (const auto pieces = ChosenPieces()) {
        request.first = (*pieces)[0];
        request.second = (*pieces)[1];
    } else {
        request.first = AlignmentTrackOf(theCase, firstBox->currentData().toInt());
        request.second = AlignmentTrackOf(theCase, secondBox->currentData().toInt());
    }
    request.starts = searchStarts;
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        if (jointBoxes[j]->isChecked()) {
            request.joints.push_back(static_cast<Joint>(j));
        }
    }
    return request;
}

void AlignWoundsDialog::TrajectoriesChosen() {
    const Case& theCase = editor.GetCase();
    const Trajectory* first = theCase.TrajectoryNumbered(firstBox->currentData().toInt());
    const Trajectory* second = theCase.TrajectoryNumbered(secondBox->currentData().toInt());
    std::vector<Joint> between;
    const auto pieces = ChosenPieces();
    secondBox->setEnabled(!pieces);
    if (pieces) {
        between = JointsBetween(PieceAsTrajectory((*pieces)[0]), PieceAsTrajectory((*pieces)[1]));
    } else if (first != nullptr && second != nullptr && first != second) {
        between = JointsBetween(*first, *second);
    }
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        jointBoxes[j]->setChecked(
            std::find(between.begin(), between.end(), static_cast<Joint>(j)) != between.end());
    }
    ShowPresentAlignment();
}

void AlignWoundsDialog::ShowPresentAlignment() {
    const AlignmentRequest request = Request();
    const int first = request.first.number;
    const int second = request.second.number;
    if (first < 1 || second < 1 || (first == second && request.first.piece == 0)) {
        present->clear();
        return;
    }
    // A track without direction has no angle to anything: "0.0° between the tracks" would be a
    // perfect fit that is none.
    for (const AlignmentTrack* track : {&request.first, &request.second}) {
        if (const std::string refusal = DirectionRefusal(*track); !refusal.empty()) {
            present->setText(QString::fromStdString(refusal));
            return;
        }
    }
    const AlignmentAnswer now =
        MeasureAlignment(before, request.first, request.second, before.GetPosture());
    present->setText(QString("In the case's posture: %1° between the tracks (%2), their lines "
                             "%3 cm apart.")
                         .arg(Degrees(now.angleDegrees), AngleLabel(AngleKind::AsPosed),
                              Degrees(now.gapMetres * 100)));
}

QString AlignWoundsDialog::Refusal(const AlignmentRequest& request) const {
    const Case& theCase = editor.GetCase();
    const bool pieces = request.first.piece != 0;
    if (theCase.TrajectoryCount() < 2 && !pieces) {
        return "Align wounds needs two trajectories; the case holds " +
               QString::number(theCase.TrajectoryCount()) + ".";
    }
    if (request.first.number == request.second.number && !pieces) {
        return "Choose two different trajectories.";
    }
    for (const AlignmentTrack* track : {&request.first, &request.second}) {
        if (track->number < 1) {
            continue;
        }
        if (const std::string refusal = DirectionRefusal(*track); !refusal.empty()) {
            return QString::fromStdString(refusal);
        }
        const int number = track->number;
        const Trajectory* trajectory = theCase.TrajectoryNumbered(number);
        if (trajectory != nullptr && !trajectory->HasParts()) {
            return QString("Trajectory %1 comes from an older file and has no body parts: choose "
                           "the parts of its IN and OUT in Adjust trajectory first.")
                .arg(number);
        }
    }
    if (request.joints.empty()) {
        return "Choose at least one joint that may move.";
    }
    return {};
}

void AlignWoundsDialog::Search() {
    const AlignmentRequest request = Request();
    answers.clear();
    answerList->setRowCount(0);
    // The search starts from the case's own posture, not from an answer shown.
    ShowBody(before);
    if (const QString refusal = Refusal(request); !refusal.isEmpty()) {
        message->setText(refusal);
        return;
    }
    AlignmentResult result;
    {
        const BusyCursor busy;
        result = AlignWounds(before, request);
    }
    if (!result.refusal.empty()) {
        message->setText(QString::fromStdString(result.refusal));
        return;
    }
    answers = std::move(result.answers);
    if (answers.empty()) {
        message->setText("No posture was found.");
        return;
    }
    message->setText(answers.size() == 1
                         ? QString("One posture fits best; OK takes it.")
                         : QString("%1 postures fit equally well; choose one, OK takes it.")
                               .arg(answers.size()));
    ShowAnswers();
    answerList->selectRow(0);
}

void AlignWoundsDialog::ShowAnswers() {
    const Posture& start = before.GetPosture();
    answerList->setRowCount(static_cast<int>(answers.size()));
    for (size_t row = 0; row < answers.size(); ++row) {
        const AlignmentAnswer& answer = answers[row];
        QStringList moved;
        for (int j = 0; j < skeleton::kJointCount; ++j) {
            const Joint joint = static_cast<Joint>(j);
            const JointAngles& angles = answer.posture.Get(joint);
            if (!(angles == start.Get(joint))) {
                moved << QString("%1 %2 %3 %4")
                             .arg(Label(joint), Degrees(angles.yaw), Degrees(angles.pitch),
                                  Degrees(angles.roll));
            }
        }
        const int r = static_cast<int>(row);
        answerList->setItem(r, 0, new QTableWidgetItem(Degrees(answer.angleDegrees)));
        answerList->setItem(r, 1, new QTableWidgetItem(Degrees(answer.gapMetres * 100)));
        answerList->setItem(
            r, 2, new QTableWidgetItem(moved.isEmpty() ? QString("none") : moved.join("; ")));
    }
    answerList->resizeColumnsToContents();
}

void AlignWoundsDialog::AnswerChosen() {
    const int row = answerList->currentRow();
    if (row < 0 || row >= static_cast<int>(answers.size())) {
        return;
    }
    Body shown = before;
    shown.SetPosture(answers[row].posture);
    ShowBody(shown);
}

void AlignWoundsDialog::ShowBody(const Body& body) {
    if (!(editor.GetCase().body == body)) {
        editor.PreviewBody([&body](Body& edited) { edited = body; });
    }
}

void AlignWoundsDialog::accept() {
    editor.CommitBody("Align wounds", before);
    QDialog::accept();
}

void AlignWoundsDialog::reject() {
    ShowBody(before);
    QDialog::reject();
}
