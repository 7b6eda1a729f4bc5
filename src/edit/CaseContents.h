#pragma once

#include "body/Body.h"
#include "case/CaseInfo.h"
#include "case/CaseWorld.h"
#include "case/Element.h"
#include "case/Trajectory.h"

#include <string>
#include <vector>

class Case;

// Everything a case holds, as a value: every trajectory and element in order, the body with its
// parameters (sharing its mesh), the file the body was read from and the case information. Used by
// the edits that change the case as a whole: "Delete all", reading a data file, replacing the body.
struct CaseContents {
    std::vector<Trajectory> trajectories;
    std::vector<Element> elements;
    Body body;
    std::string bodyModelFile;
    CaseInfo caseInfo;
    CaseWorld world;

    static CaseContents Capture(const Case& theCase);
    // Makes the case hold exactly these contents.
    void RestoreInto(Case& theCase) const;

    bool operator==(const CaseContents&) const = default;
};
