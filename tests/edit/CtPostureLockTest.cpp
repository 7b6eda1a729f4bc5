#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "edit/CtBodyLock.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

JointAngles RaisedArm() {
    return {10, 20, 30};
}

} // namespace

// A body drawn from a CT series is never posed, stretched or given another height, whichever
// edit tries (the posture panel's, the preview of "Align wounds", a whole-case change): the case
// stays as it was, nothing is recorded, and the editor says why. Its name still changes, and a
// body model poses as ever.
TEST(CtPostureLock, PosingACtBodyIsRefusedWithTheReason) {
    Case theCase;
    LoadBoxBody(theCase);
    theCase.ct.folder = "/cases/a/scan";
    theCase.ct.seriesUid = "1.2.3";
    CaseEditor editor(theCase);
    std::vector<std::string> recorded;
    editor.SetRecorder(
        [&recorded](std::unique_ptr<CaseEdit> edit) { recorded.push_back(edit->Name()); });
    int heard = 0;
    editor.AddListener([&heard](const CaseChange&) { ++heard; });
    const Case before = theCase;
    EXPECT_EQ(PostureRefusal(theCase), std::string(kCtPostureRefusal));

    const auto raise = [](Body& body) {
        body.SetJoint(skeleton::Joint::RightShoulder, RaisedArm());
    };
    EXPECT_FALSE(editor.EditBody("Pose", raise));
    EXPECT_EQ(editor.Refusal(),
              "The body is a CT scan: its posture is the posture it was scanned in.");
    editor.PreviewBody(raise);
    EXPECT_FALSE(editor.EditCase("Pose all", [&raise](Case& edited) { raise(edited.body); }));
    EXPECT_FALSE(editor.EditBody("Stretch", [](Body& body) { body.SetScaleX(1.2); }));
    EXPECT_EQ(editor.Refusal(), std::string(kCtShapeRefusal));
    EXPECT_TRUE(theCase == before);
    // A commit of a change made behind the editor's back is taken back too.
    const Body unposed = theCase.body;
    raise(theCase.body);
    EXPECT_FALSE(editor.CommitBody("Align wounds", unposed));
    EXPECT_TRUE(theCase == before);
    EXPECT_TRUE(recorded.empty());
    // The series read again makes a body of its own: that replaces the body, it does not shape it.
    EXPECT_TRUE(editor.EditCase("Open CT series", [](Case& edited) {
        edited.ct.scan = std::make_shared<CtScan>();
        edited.body.SetHeight(1.5);
    }));
    EXPECT_FALSE(editor.EditBody("Pose", raise));

    EXPECT_TRUE(editor.EditBody("Name", [](Body& body) { body.SetName("decedent"); }));
    EXPECT_EQ(editor.Refusal(), "");
    // Another series (or none) replaces the body whole: that is no posing.
    EXPECT_TRUE(editor.EditCase("Open body", [&raise](Case& edited) {
        edited.ct = CaseCt();
        raise(edited.body);
    }));
    EXPECT_EQ(PostureRefusal(theCase), "");
    EXPECT_TRUE(editor.EditBody(
        "Pose", [](Body& body) { body.SetJoint(skeleton::Joint::LeftElbow, RaisedArm()); }));
    EXPECT_EQ(recorded, (std::vector<std::string>{"Open CT series", "Name", "Open body", "Pose"}));
    EXPECT_GT(heard, 0);
}
