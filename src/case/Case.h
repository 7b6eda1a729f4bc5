#pragma once

#include "base/ProgramFiles.h"
#include "body/Body.h"
#include "case/CarriedFrom.h"
#include "case/CaseCt.h"
#include "case/CaseInfo.h"
#include "case/CaseWorld.h"
#include "case/Element.h"
#include "case/Trajectory.h"

#include <string>
#include <vector>

// What the user builds and saves, as a value: the body with its parameters and posture, the
// file its model was read from, the trajectories and elements in the order they were made (the
// user numbers them from 1 in that order), the case information and the world the body stands
// in. Copying a case copies everything the user entered and shares the loaded models, which
// never change. The program changes its case through the CaseEditor; everything else reads it,
// most through the posed case made from it.
struct Case {
    // The tables the user meets: a case holds at most this many of each.
    static constexpr int kMaxTrajectories = 20;
    static constexpr int kMaxElements = 20;

    Body body;
    std::string bodyModelFile = DefaultModelFiles().body;
    std::vector<Trajectory> trajectories;
    std::vector<Element> elements;
    CaseInfo info;
    CaseWorld world;
    // The CT series the body was drawn from, when it is the decedent's own body.
    CaseCt ct;
    // The CT case the trajectories were carried from, when they were measured on a scan.
    CarriedFrom carriedFrom;

    bool operator==(const Case&) const = default;

    int TrajectoryCount() const { return static_cast<int>(trajectories.size()); }
    int ElementCount() const { return static_cast<int>(elements.size()); }
    // The trajectory or element the user names by `number`; nullptr when there is none.
    const Trajectory* TrajectoryNumbered(int number) const;
    Trajectory* TrajectoryNumbered(int number);
    const Element* ElementNumbered(int number) const;
    Element* ElementNumbered(int number);
};
