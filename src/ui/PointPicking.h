#pragma once

#include "mesh/SurfaceRayCaster.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>

class CaseCommands;
class CaseEditor;
class ViewState;

// The "Place points" mode of the view: each left click on the body puts a marker there, the first
// for IN and the second for OUT, and the second opens "New trajectory" with both points filled in.
// A click on the posed body as the view draws it (the editor's posed case) gives the point where
// that place lies with the body at rest (where measured points are kept) and the part of the
// triangle clicked. Whatever the dialog's answer,
// the markers go and the next click starts a new IN. Each step is told in the status bar.
class PointPicking {
public:
    using StatusSink = std::function<void(const QString&)>;

    PointPicking(const CaseEditor& editor, ViewState& view, CaseCommands& commands,
                 StatusSink showStatus, std::function<void()> redraw);

    bool IsActive() const;
    void Enter();
    // Back to selecting; the markers of an unfinished pair go.
    void Leave();
    // A left click whose pixel shows `hit` (empty when it shows no body).
    void Click(const std::optional<SurfaceHit>& hit);
    // A point given at rest rather than clicked on the view (a voxel picked on a CT slice):
    // taken as the next point of the pair, with the part nearest to it. A CT body is never
    // posed, so its marker stands at the point itself.
    void PlaceAtRest(const Vec3& rest);

    // "x 12.34, y 120.56, z 15.20 cm": a body-frame point in metres, shown in centimetres.
    static QString PointText(const Vec3& metres);

private:
    void Prompt();
    // The next point of the pair: its marker where the view shows it, the point at rest.
    void Take(const Vec3& marker, const Vec3& rest, const std::string& part);
    // The part a clicked point belongs to: the part of the triangle hit when it is one a point
    // may move with, otherwise the part nearest to the point at rest.
    std::string PartOf(const SurfaceHit& hit, const Vec3& rest) const;

    const CaseEditor& editor;
    ViewState& view;
    CaseCommands& commands;
    StatusSink showStatus;
    std::function<void()> redraw;
    Vec3 inPoint;       // IN at rest
    std::string inPart; // the body part IN was placed on
};
