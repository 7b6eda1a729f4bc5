#include "edit/CaseEditor.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "edit/CaseContents.h"
#include "support/BoxBody.h"
#include "support/OldArmPose.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// What must come back exactly: the data file bytes and everything else the case holds (joint
// angles, lighting, the body's mesh and file).
struct State {
    std::string bytes;
    CaseContents contents;
    bool operator==(const State&) const = default;
};

State Capture(Case& theCase) {
    return {DataFile::Format(theCase), CaseContents::Capture(theCase)};
}

// A case with something of everything, and the edits made on it kept in order.
class CaseEditorTest : public testing::Test {
protected:
    void SetUp() override {
        LoadBoxBody(theCase);
        ASSERT_TRUE(theCase.GetBody().SetHeight(1.8));
        for (int i = 0; i < 3; ++i) {
            Trajectory* trajectory = theCase.AddTrajectory(i % 2);
            trajectory->SetPoints(0.01 * i, 1.2, 0.1, -0.05, 1.1 + 0.1 * i, 0.2);
            trajectory->SetColor(0.2 * i, 0.5, 1);
            trajectory->SetDx(0.03 * i);
            trajectory->SetDYaw(5.0 * i);
            trajectory->SetText("shot " + std::to_string(i + 1));
            auto element = std::make_unique<Element>();
            element->SetPosition(0.1 * i, 1, 0.05);
            element->SetWidth(0.02 * (i + 1));
            element->SetText("casing " + std::to_string(i + 1));
            theCase.GetElements().Add(std::move(element));
        }
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
    Trajectory added;
    added.SetPoints(0, 1.5, 0, 0.1, 1.6, -0.1);
    added.SetColor(1, 0, 0);
    ExpectExactUndo("New trajectory", [&] { editor().AddTrajectory("New trajectory", added); });
    ExpectExactUndo("Delete trajectory",
                    [&] { editor().DeleteTrajectory("Delete trajectory", 1); });
    EXPECT_TRUE(edits.back()->Renumbers()) << "numbers moved: a selection by number is void";
    ExpectExactUndo("Points", [&] {
        editor().EditTrajectory(0, "Points",
                                [](Trajectory& p) { p.SetPoints(0.1, 1.0, 0.0, 0.1, 1.2, 0.3); });
    });
    ExpectExactUndo("Adjust trajectory", [&] {
        editor().EditTrajectory(1, "Adjust trajectory", [](Trajectory& p) {
            p.SetDz(-0.123456);
            p.SetDPitch(11.5);
        });
    });
    ExpectExactUndo("Change color", [&] {
        editor().EditTrajectory(2, "Change color",
                                [](Trajectory& p) { p.SetColor(0.1, 0.2, 0.3); });
    });
    ExpectExactUndo("Properties", [&] {
        editor().EditTrajectory(0, "Properties", [](Trajectory& p) { p.SetText("a & b\r\n<c>"); });
    });
}

TEST_F(CaseEditorTest, ElementEditsUndoExactly) {
    Element added;
    added.SetPosition(0.2, 0.9, 0.1);
    added.SetColor(0, 1, 0);
    ExpectExactUndo("New element", [&] { editor().AddElement("New element", added); });
    ExpectExactUndo("Delete element", [&] { editor().DeleteElement("Delete element", 0); });
    ExpectExactUndo("Move", [&] {
        editor().EditElement(1, "Move", [](Element& e) {
            e.SetY(e.GetY() + 0.0123);
            e.SetRoll(33);
        });
    });
    ExpectExactUndo("Properties", [&] {
        editor().EditElement(0, "Properties", [](Element& e) { e.SetText("bone fragment"); });
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
    const float normalScale = theCase.GetBody().GetNormalScale();
    ExpectExactUndo("Increase body lighting", [&] {
        editor().EditBody("Increase body lighting", [](Body& b) { b.IncreaseBodyLighting(); });
    });
    editor().Undo(*edits.back());
    EXPECT_EQ(theCase.GetBody().GetNormalScale(), normalScale) << "the same pixels come back";

    ExpectExactUndo("Delete all trajectories and elements", [&] {
        editor().EditCase("Delete all trajectories and elements", [](Case& s) { s.DeleteAll(); });
    });
    editor().Undo(*edits.back());
    ASSERT_EQ(theCase.GetTrajectoryCount(), 3);
    EXPECT_EQ(theCase.GetTrajectory(2)->GetText(), "shot 3");
    EXPECT_EQ(theCase.GetElements().GetCount(), 3);

    ExpectExactUndo("Open data file", [&] {
        editor().EditCase("Open data file", [](Case& s) {
            Case other;
            other.AddTrajectory(1)->SetPoints(0, 1, 0, 0, 1.1, 0.1);
            other.GetBody().SetName("from the file");
            DataFile::ReadText(s, DataFile::Format(other));
        });
    });
    ExpectExactUndo("Open body file", [&] {
        editor().EditCase("Open body file", [](Case& s) {
            LoadBoxBody(s);
            s.SetBodyModelFile("other.obj");
        });
    });
}

TEST_F(CaseEditorTest, TwentyMixedStepsUndoAndRedoInOrder) {
    std::vector<State> states = {Capture(theCase)};
    for (int step = 0; step < 20; ++step) {
        switch (step % 5) {
        case 0: {
            Trajectory trajectory;
            trajectory.SetPoints(0.01 * step, 1, 0, 0, 1.2, 0.3);
            ASSERT_TRUE(editor().AddTrajectory("New trajectory", trajectory));
            break;
        }
        case 1:
            ASSERT_TRUE(editor().EditTrajectory(0, "Move",
                                                [step](Trajectory& p) { p.SetDy(0.01 * step); }));
            break;
        case 2:
            ASSERT_TRUE(editor().DeleteElement("Delete element", 0) ||
                        editor().AddElement("New element", Element()));
            break;
        case 3:
            ASSERT_TRUE(editor().EditBody("Body parameters",
                                          [step](Body& b) { b.SetHeight(1.5 + 0.01 * step); }));
            break;
        default:
            ASSERT_TRUE(editor().DeleteTrajectory("Delete trajectory", 1));
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
        editor().EditTrajectory(0, "Properties", [](Trajectory& p) { p.SetText("shot 1"); }));
    EXPECT_FALSE(editor().EditTrajectory(7, "Properties", [](Trajectory&) {}));
    EXPECT_FALSE(editor().EditCase("Delete all", [](Case&) {}));
    EXPECT_FALSE(editor().CommitBody("Body parameters", theCase.GetBody()));
    EXPECT_FALSE(editor().DeleteElement("Delete element", 3));
    EXPECT_TRUE(edits.empty());
    EXPECT_TRUE(heard.empty());

    editor().Preview();
    ASSERT_TRUE(editor().EditTrajectory(0, "Properties", [](Trajectory& p) { p.SetText("x"); }));
    editor().Undo(*edits.back());
    editor().Redo(*edits.back());
    using Kind = CaseChange::Kind;
    EXPECT_EQ(heard, (std::vector<Kind>{Kind::Preview, Kind::Done, Kind::Undone, Kind::Redone}));
    editor().RemoveListener(key);
    editor().Preview();
    EXPECT_EQ(heard.size(), 4u);
}

TEST_F(CaseEditorTest, FullTablesRefuseAdditionsWithoutAnEdit) {
    while (theCase.GetTrajectoryCount() < Case::kMaxTrajectories) {
        ASSERT_TRUE(editor().AddTrajectory("New trajectory", Trajectory()));
    }
    while (theCase.GetElements().GetCount() < ElementList::kCapacity) {
        ASSERT_TRUE(editor().AddElement("New element", Element()));
    }
    const size_t count = edits.size();
    EXPECT_FALSE(editor().AddTrajectory("New trajectory", Trajectory()));
    EXPECT_FALSE(editor().AddElement("New element", Element()));
    EXPECT_EQ(edits.size(), count);
    EXPECT_EQ(theCase.GetTrajectoryCount(), 20);
}
