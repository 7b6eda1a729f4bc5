#include "edit/CaseEditor.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "support/BoxBody.h"
#include "support/OldArmPose.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// What must come back exactly: the data file bytes and everything else the case holds (joint
// angles, lighting, the body's model and file).
struct State {
    std::string bytes;
    Case value;
    bool operator==(const State&) const = default;
};

State Capture(const Case& theCase) {
    return {DataFile::Format(theCase), theCase};
}

Trajectory Shot(Vec3 in, Vec3 out) {
    Trajectory trajectory;
    trajectory.exited = true;
    trajectory.in = in;
    trajectory.out = out;
    return trajectory;
}

// A case with something of everything, and the edits made on it kept in order.
class CaseEditorTest : public testing::Test {
protected:
    void SetUp() override {
        Case start;
        LoadBoxBody(start);
        ASSERT_TRUE(start.body.SetHeight(1.8));
        for (int i = 0; i < 3; ++i) {
            Trajectory trajectory = Shot({0.01 * i, 1.2, 0.1}, {-0.05, 1.1 + 0.1 * i, 0.2});
            trajectory.exited = i % 2 == 1;
            trajectory.color = {0.2 * i, 0.5, 1};
            trajectory.offset.x = 0.03 * i;
            trajectory.yawAdjustment = 5.0 * i;
            trajectory.label = "shot " + std::to_string(i + 1);
            start.trajectories.push_back(trajectory);
            Element element;
            element.centre = {0.1 * i, 1, 0.05};
            element.size.x = 0.02 * (i + 1);
            element.label = "casing " + std::to_string(i + 1);
            start.elements.push_back(element);
        }
        // The case the editor starts from.
        editor().EditCase("Start", [&start](Case& edited) { edited = start; });
        editor().SetRecorder(
            [this](std::unique_ptr<CaseEdit> edit) { edits.push_back(std::move(edit)); });
    }

    CaseEditor& editor() { return caseEditor; }

    // Runs `edit`, which must make exactly one edit named `name`; then undo must give back the
    // state before it and redo the state after it, twice over.
    void ExpectExactUndo(const std::string& name, const std::function<void()>& edit) {
        SCOPED_TRACE(name);
        const State before = Capture(theCase);
        const size_t count = edits.size();
        edit();
        ASSERT_EQ(edits.size(), count + 1);
        EXPECT_EQ(edits.back()->Name(), name);
        const State after = Capture(theCase);
        EXPECT_FALSE(after == before) << "the edit changed nothing";
        for (int round = 0; round < 2; ++round) {
            editor().Undo(*edits.back());
            EXPECT_TRUE(Capture(theCase) == before);
            editor().Redo(*edits.back());
            EXPECT_TRUE(Capture(theCase) == after);
        }
    }

    Case theCase;
    CaseEditor caseEditor{theCase};
    std::vector<std::unique_ptr<CaseEdit>> edits;
};

} // namespace

TEST_F(CaseEditorTest, TrajectoryEditsUndoExactly) {
    Trajectory added = Shot({0, 1.5, 0}, {0.1, 1.6, -0.1});
    added.color = {1, 0, 0};
    ExpectExactUndo("New trajectory", [&] { editor().AddTrajectory("New trajectory", added); });
    ExpectExactUndo("Delete trajectory",
                    [&] { editor().DeleteTrajectory("Delete trajectory", 2); });
    EXPECT_TRUE(edits.back()->Renumbers()) << "numbers moved: a selection by number is void";
    ExpectExactUndo("Points", [&] {
        editor().EditTrajectory(1, "Points", [](Trajectory& p) {
            p.in = {0.1, 1.0, 0.0};
            p.out = {0.1, 1.2, 0.3};
        });
    });
    EXPECT_FALSE(edits.back()->Renumbers());
    ExpectExactUndo("Adjust trajectory", [&] {
        editor().EditTrajectory(2, "Adjust trajectory", [](Trajectory& p) {
            p.offset.z = -0.123456;
            p.pitchAdjustment = 11.5;
        });
    });
    ExpectExactUndo("Change color", [&] {
        editor().EditTrajectory(3, "Change color", [](Trajectory& p) {
            p.color = {0.1, 0.2, 0.3};
        });
    });
    ExpectExactUndo("Properties", [&] {
        editor().EditTrajectory(1, "Properties", [](Trajectory& p) { p.label = "a & b\r\n<c>"; });
    });
    // Points between IN and OUT, and a change of one point's radius or part alone, are edits
    // like any other: the data file the recovery keeps says them too.
    ExpectExactUndo("Track points", [&] {
        editor().EditTrajectory(2, "Track points", [](Trajectory& p) {
            p.points = {{{0.0, 1.15, 0.15}, 0.004, "trunk"}, {{-0.02, 1.2, 0.18}, 0.01, ""}};
        });
    });
    ExpectExactUndo("Point radius", [&] {
        editor().EditTrajectory(2, "Point radius",
                                [](Trajectory& p) { p.points.at(1).radius = 0.002; });
    });
    ExpectExactUndo("Point part", [&] {
        editor().EditTrajectory(2, "Point part",
                                [](Trajectory& p) { p.points.at(1).part = "left_arm"; });
    });
}

TEST_F(CaseEditorTest, ElementEditsUndoExactly) {
    Element added;
    added.centre = {0.2, 0.9, 0.1};
    added.color = {0, 1, 0};
    ExpectExactUndo("New element", [&] { editor().AddElement("New element", added); });
    ExpectExactUndo("Delete element", [&] { editor().DeleteElement("Delete element", 1); });
    ExpectExactUndo("Move", [&] {
        editor().EditElement(2, "Move", [](Element& e) {
            e.centre.y += 0.0123;
            e.roll = 33;
        });
    });
    ExpectExactUndo("Properties", [&] {
        editor().EditElement(1, "Properties", [](Element& e) { e.label = "bone fragment"; });
    });
}

TEST_F(CaseEditorTest, BodyAndWholeCaseEditsUndoExactly) {
    ExpectExactUndo("Body parameters", [&] {
        editor().EditBody("Body parameters", [](Body& b) {
            b.SetName("John Doe");
            b.SetHeight(1.734);
            b.SetScaleX(1.2);
            b.SetScaleZ(0.8);
        });
    });
    ExpectExactUndo("Body movements", [&] {
        editor().EditBody("Body movements", [](Body& b) {
            OldArm(b).SetPitch(40);
            OldForearm(b).SetYaw(-30);
        });
    });
    const float normalScale = theCase.body.GetNormalScale();
    ExpectExactUndo("Increase body lighting", [&] {
        editor().EditBody("Increase body lighting", [](Body& b) { b.IncreaseBodyLighting(); });
    });
    editor().Undo(*edits.back());
    EXPECT_EQ(theCase.body.GetNormalScale(), normalScale) << "the same pixels come back";

    ExpectExactUndo("Delete all trajectories and elements", [&] {
        editor().EditCase("Delete all trajectories and elements", [](Case& s) {
            s.trajectories.clear();
            s.elements.clear();
        });
    });
    editor().Undo(*edits.back());
    ASSERT_EQ(theCase.TrajectoryCount(), 3);
    EXPECT_EQ(theCase.TrajectoryNumbered(3)->label, "shot 3");
    EXPECT_EQ(theCase.ElementCount(), 3);

    ExpectExactUndo("Open data file", [&] {
        editor().EditCase("Open data file", [](Case& s) {
            Case other;
            other.trajectories.push_back(Shot({0, 1, 0}, {0, 1.1, 0.1}));
            other.body.SetName("from the file");
            DataFile::ReadText(s, DataFile::Format(other));
        });
    });
    ExpectExactUndo("Open body file", [&] {
        editor().EditCase("Open body file", [](Case& s) {
            LoadBoxBody(s);
            s.bodyModelFile = "other.obj";
        });
    });
}

TEST_F(CaseEditorTest, TwentyMixedStepsUndoAndRedoInOrder) {
    std::vector<State> states = {Capture(theCase)};
    for (int step = 0; step < 20; ++step) {
        switch (step % 5) {
        case 0:
            ASSERT_TRUE(
                editor().AddTrajectory("New trajectory", Shot({0.01 * step, 1, 0}, {0, 1.2, 0.3})));
            break;
        case 1:
            ASSERT_TRUE(editor().EditTrajectory(
                1, "Move", [step](Trajectory& p) { p.offset.y = 0.01 * step; }));
            break;
        case 2:
            ASSERT_TRUE(editor().DeleteElement("Delete element", 1) ||
                        editor().AddElement("New element", Element()));
            break;
        case 3:
            ASSERT_TRUE(editor().EditBody("Body parameters",
                                          [step](Body& b) { b.SetHeight(1.5 + 0.01 * step); }));
            break;
        default:
            ASSERT_TRUE(editor().DeleteTrajectory("Delete trajectory", 2));
            break;
        }
        states.push_back(Capture(theCase));
    }
    ASSERT_EQ(edits.size(), 20u);
    for (int i = 19; i >= 0; --i) {
        editor().Undo(*edits[i]);
        ASSERT_TRUE(Capture(theCase) == states[i]) << "after undoing step " << i + 1;
    }
    for (int i = 0; i < 20; ++i) {
        editor().Redo(*edits[i]);
        ASSERT_TRUE(Capture(theCase) == states[i + 1]) << "after redoing step " << i + 1;
    }
}

TEST_F(CaseEditorTest, UnchangedValuesMakeNoEditAndListenersHearEveryChange) {
    std::vector<CaseChange::Kind> heard;
    const int key = editor().AddListener([&](const CaseChange& c) { heard.push_back(c.kind); });
    EXPECT_FALSE(
        editor().EditTrajectory(1, "Properties", [](Trajectory& p) { p.label = "shot 1"; }));
    EXPECT_FALSE(editor().EditTrajectory(8, "Properties", [](Trajectory&) {}));
    EXPECT_FALSE(editor().EditTrajectory(0, "Properties", [](Trajectory&) {}));
    EXPECT_FALSE(editor().EditCase("Delete all", [](Case&) {}));
    EXPECT_FALSE(editor().CommitBody("Body parameters", theCase.body));
    EXPECT_FALSE(editor().DeleteElement("Delete element", 4));
    EXPECT_TRUE(edits.empty());
    EXPECT_TRUE(heard.empty());

    editor().Preview();
    ASSERT_TRUE(editor().EditTrajectory(1, "Properties", [](Trajectory& p) { p.label = "x"; }));
    editor().Undo(*edits.back());
    editor().Redo(*edits.back());
    using Kind = CaseChange::Kind;
    EXPECT_EQ(heard, (std::vector<Kind>{Kind::Preview, Kind::Done, Kind::Undone, Kind::Redone}));
    editor().RemoveListener(key);
    editor().Preview();
    EXPECT_EQ(heard.size(), 4u);
}

TEST_F(CaseEditorTest, FullTablesRefuseAdditionsWithoutAnEdit) {
    while (theCase.TrajectoryCount() < Case::kMaxTrajectories) {
        ASSERT_TRUE(editor().AddTrajectory("New trajectory", Trajectory()));
    }
    while (theCase.ElementCount() < Case::kMaxElements) {
        ASSERT_TRUE(editor().AddElement("New element", Element()));
    }
    const size_t count = edits.size();
    EXPECT_FALSE(editor().AddTrajectory("New trajectory", Trajectory()));
    EXPECT_FALSE(editor().AddElement("New element", Element()));
    EXPECT_EQ(edits.size(), count);
    EXPECT_EQ(theCase.TrajectoryCount(), 20);
}

TEST_F(CaseEditorTest, ThePosedCaseIsMadeAgainBeforeAnyListenerHearsOfAChange) {
    // What the listeners read is always the case as it is: after an edit, a preview, an undo.
    std::vector<std::string> mismatches;
    editor().AddListener([&](const CaseChange&) {
        const PosedCase fresh(theCase);
        const PosedCase& held = editor().GetPosed();
        if (!(held.GetCase() == theCase)) {
            mismatches.push_back("case");
        }
        for (size_t i = 0; i < fresh.GetTrajectories().size(); ++i) {
            const PosedTrajectory &a = fresh.GetTrajectories()[i], &b = held.GetTrajectories()[i];
            if (!(a.in == b.in && a.out == b.out && a.posed == b.posed)) {
                mismatches.push_back("trajectory " + std::to_string(a.number));
            }
        }
    });
    ASSERT_TRUE(editor().EditTrajectory(1, "Points", [](Trajectory& p) { p.out.y -= 0.05; }));
    ASSERT_TRUE(editor().EditBody("Body movements", [](Body& b) { OldArm(b).SetPitch(40); }));
    editor().PreviewTrajectory(2, [](Trajectory& p) { p.offset.x = 0.2; });
    editor().Undo(*edits.back());
    editor().Redo(*edits.back());
    EXPECT_TRUE(mismatches.empty()) << mismatches.front();
    EXPECT_TRUE(editor().GetPosed().IsPosed());
}
