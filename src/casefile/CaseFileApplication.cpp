#include "casefile/CaseFileApplication.h"

#include "base/NumberText.h"
#include "case/Case.h"
#include "case/EntryNumber.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace {

// The scene model read before a body block put the scene back to its defaults: a scene block
// that follows and names the same model keeps the mesh already read for it.
struct KeptSceneMesh {
    std::shared_ptr<const Mesh> mesh;
    std::string file;
};

// The body's height, stretches and posture as the block gives them. A body drawn from a CT
// series has the scan's length and posture: the block's are not applied to it, and a posture or
// stretch that would have changed it is said in a note.
void ApplyBodyShape(const CaseFileRecord::BodyBlock& block, Body& body, bool ctBody,
                    CaseFileRecord::Notes& notes, DataFileReadResult& result) {
    if (ctBody) {
        if (!block.posture.IsAnatomical() || block.scaleX != 1 || block.scaleZ != 1) {
            notes.Add("The posture and stretches of the body left out: the body is a CT scan, "
                      "its length and posture are those it was scanned with.");
        }
        return;
    }
    body.SetScaleX(block.scaleX);
    body.SetScaleZ(block.scaleZ);
    // A height that is not a number is refused as one that is no height.
    if (!body.SetHeight(ParseNumberToken(block.heightText)
                            .value_or(std::numeric_limits<double>::quiet_NaN()))) {
        result.bodyHeightRefused = true;
        result.refusedBodyHeight = block.heightText;
    }
    body.SetPosture(block.posture);
}

void ApplyBodyBlock(const CaseFileRecord::BodyBlock& block, Case& theCase, KeptSceneMesh& kept,
                    CaseFileRecord::Notes& notes, DataFileReadResult& result) {
    Body& body = theCase.body;
    body.SetName(block.name);
    ApplyBodyShape(block, body, theCase.ct.IsCtBody(), notes, result);
    body.GetUncertaintyModel() = block.uncertainty;
    // A body block without a placement puts the body at the scene's origin, and the scene starts
    // from its defaults until the file's scene blocks say more: a file read over a case with a
    // scene leaves none behind unless it has one itself.
    CaseWorld& world = theCase.world;
    if (world.sceneMesh) {
        kept = {world.sceneMesh, world.sceneModelFile};
    }
    world = CaseWorld();
    world.body = block.placement;
}

void ApplySceneBlock(const CaseFileRecord::SceneBlock& scene, const KeptSceneMesh& kept,
                     CaseWorld& world) {
    if (scene.modelFile) {
        if (*scene.modelFile != world.sceneModelFile) {
            world.sceneMesh = *scene.modelFile == kept.file ? kept.mesh : nullptr;
        }
        world.sceneModelFile = *scene.modelFile;
    }
    if (scene.placement) {
        world.scene = *scene.placement;
    }
    if (scene.muzzleHeights) {
        world.muzzleHeights = *scene.muzzleHeights;
    }
}

// The series the file names, before the body blocks, which do not shape a CT body. A case that
// holds that series read already keeps it; any other is read again (LoadCtBody).
void ApplyCtSeries(const CaseFileRecord& record, Case& theCase) {
    if (!record.ct) {
        return;
    }
    CaseCt& ct = theCase.ct;
    if (ct.folder != record.ct->folder || ct.seriesUid != record.ct->seriesUid) {
        ct = CaseCt{record.ct->folder, record.ct->seriesUid, nullptr};
    }
}

// The body blocks first, then the scene blocks in file order, wherever they stand: a scene block
// written before the body block (by hand, or by another program) belongs to the same case as one
// written after it, and a body block says nothing about the scene.
void ApplyBodyAndScene(const CaseFileRecord& record, Case& theCase, CaseFileRecord::Notes& notes,
                       DataFileReadResult& result) {
    KeptSceneMesh kept;
    for (const CaseFileRecord::BodyBlock& body : record.bodyBlocks) {
        ApplyBodyBlock(body, theCase, kept, notes, result);
    }
    for (const CaseFileRecord::SceneBlock& scene : record.sceneBlocks) {
        ApplySceneBlock(scene, kept, theCase.world);
    }
}

// "right_forearm" as a sentence names it.
std::string PartWords(std::string part) {
    std::replace(part.begin(), part.end(), '_', ' ');
    return part;
}

// Trajectories without parts take the parts under their points, so that each point moves with
// its own part. Only an older file whose arm was posed drew them all with the arm: they keep that
// rule. A model without parts the skeleton knows moves as one piece and needs none.
void InferParts(const CaseFileRecord& record, const std::vector<std::size_t>& withoutParts,
                Case& theCase, CaseFileRecord::Notes& notes) {
    const Body& body = theCase.body;
    const bool olderArmPose =
        !record.bodyBlocks.empty() &&
        record.bodyBlocks.back().poseSource == CaseFileRecord::PoseSource::OlderArmLines &&
        !body.HasInitialPose();
    if (olderArmPose || !body.HasPostureParts()) {
        return;
    }
    for (const std::size_t index : withoutParts) {
        Trajectory& trajectory = theCase.trajectories[index];
        trajectory.inPart = body.PartNearest(trajectory.in);
        trajectory.outPart = body.PartNearest(trajectory.out);
        // In the anatomical position the parts move nothing: worth no word.
        if (!body.HasInitialPose()) {
            notes.Add("Trajectory " + std::to_string(NumberOfIndex(index)) +
                      " has no body parts in the data file: IN is taken as on the " +
                      PartWords(trajectory.inPart) + " and OUT as on the " +
                      PartWords(trajectory.outPart) + ", the parts nearest to its points.");
        }
    }
}

void AppendTrajectories(const CaseFileRecord& record, Case& theCase, CaseFileRecord::Notes& notes,
                        DataFileReadResult& result) {
    std::vector<std::size_t> withoutParts;
    for (const CaseFileRecord::TrajectoryRecord& read : record.trajectories) {
        if (theCase.TrajectoryCount() >= Case::kMaxTrajectories) {
            ++result.trajectoriesLeftOut;
            continue;
        }
        theCase.trajectories.push_back(read.trajectory);
        Trajectory& trajectory = theCase.trajectories.back();
        if (read.hadPartLines) {
            // A part line missing or left out: the part under the point.
            if (trajectory.inPart.empty()) {
                trajectory.inPart = theCase.body.PartNearest(trajectory.in);
            }
            if (trajectory.outPart.empty()) {
                trajectory.outPart = theCase.body.PartNearest(trajectory.out);
            }
        } else if (!read.hadWithArmLine) {
            withoutParts.push_back(theCase.trajectories.size() - 1);
        }
    }
    InferParts(record, withoutParts, theCase, notes);
}

void AppendElements(const CaseFileRecord& record, Case& theCase, DataFileReadResult& result) {
    for (const Element& element : record.elements) {
        if (theCase.ElementCount() >= Case::kMaxElements) {
            ++result.elementsLeftOut;
            continue;
        }
        theCase.elements.push_back(element);
    }
}

} // namespace

DataFileReadResult ApplyCaseFile(const CaseFileRecord& record, Case& theCase) {
    DataFileReadResult result;
    result.trajectoriesLeftOut = record.trajectoriesLeftOut;
    result.elementsLeftOut = record.elementsLeftOut;
    CaseFileRecord::Notes notes = record.notes;
    ApplyCtSeries(record, theCase);
    ApplyBodyAndScene(record, theCase, notes, result);
    AppendTrajectories(record, theCase, notes, result);
    AppendElements(record, theCase, result);
    if (record.info) {
        theCase.info = *record.info;
    }
    if (record.carried) {
        theCase.carriedFrom = *record.carried;
    }
    result.notes = std::move(notes.listed);
    result.notesNotListed = notes.notListed;
    result.keptBodyHeight = theCase.body.GetHeight();
    return result;
}
