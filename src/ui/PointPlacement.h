#pragma once

#include "mesh/SurfaceRayCaster.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>

class Case;
class CaseCommands;
class ViewState;

// The "Place points" mode of the view: each left click on the body puts a marker there, the first
// for IN and the second for OUT, and the second opens "New trajectory" with both points filled in.
// Whatever the dialog's answer, the markers go and the next click starts a new IN. Each step is
// told in the status bar.
class PointPlacement {
public:
    using StatusSink = std::function<void(const QString&)>;

    PointPlacement(const Case& theCase, ViewState& view, CaseCommands& commands,
                   StatusSink showStatus, std::function<void()> redraw);

    bool IsActive() const;
    void Enter();
    // Back to selecting; the markers of an unfinished pair go.
    void Leave();
    // A left click whose pixel shows `hit` (empty when it shows no body).
    void Click(const std::optional<SurfaceHit>& hit);

    // "x 12.34, y 120.56, z 15.20 cm": a body-frame point in metres, shown in centimetres.
    static QString PointText(const Vec3& metres);

private:
    void Prompt();
    // Whether the trajectory should move with the arm: when the model has arm parts, exactly
    // when IN lies on the upper arm or the forearm; otherwise the dialog's usual answer.
    std::optional<bool> MovesWithArm() const;

    const Case& theCase;
    ViewState& view;
    CaseCommands& commands;
    StatusSink showStatus;
    std::function<void()> redraw;
    std::string inPart; // the body part IN was placed on
};
