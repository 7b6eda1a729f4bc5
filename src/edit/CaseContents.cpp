#include "edit/CaseContents.h"

#include "case/Case.h"

#include <memory>

CaseContents CaseContents::Capture(const Case& theCase) {
    CaseContents contents;
    for (int i = 0; i < theCase.GetTrajectoryCount(); ++i) {
        contents.trajectories.push_back(*theCase.GetTrajectory(i));
    }
    const ElementList& elements = theCase.GetElements();
    for (int i = 0; i < elements.GetCount(); ++i) {
        contents.elements.push_back(*elements.GetItem(i));
    }
    contents.body = theCase.GetBody();
    contents.bodyModelFile = theCase.GetBodyModelFile();
    contents.caseInfo = theCase.GetCaseInfo();
    contents.world = theCase.GetWorld();
    return contents;
}

void CaseContents::RestoreInto(Case& theCase) const {
    theCase.DeleteAll();
    for (const Trajectory& trajectory : trajectories) {
        theCase.InsertTrajectory(theCase.GetTrajectoryCount(), trajectory);
    }
    ElementList& list = theCase.GetElements();
    for (const Element& element : elements) {
        list.Add(std::make_unique<Element>(element));
    }
    theCase.GetBody() = body;
    theCase.SetBodyModelFile(bodyModelFile);
    theCase.SetCaseInfo(caseInfo);
    theCase.GetWorld() = world;
}
