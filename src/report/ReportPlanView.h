#pragma once

#include "report/ReportOrigin.h"

#include <QImage>

#include <string>

class PosedCase;

// The scene seen from above for the report's "Origin" section: +X to the right, +Z down the
// page, or, where the content runs farther along Z than along X, turned a quarter so that +Z
// runs to the right and +X up the page and the content fills the picture's width; a metre grid, the
// scene model's walls, the body at its place facing its way, each trajectory's back line, each
// muzzle height's zone along it (the interval as a thick stroke, the nominal point as a ring) and
// each shot group's point of convergence.
QImage DrawPlanView(const PosedCase& posed, const OriginFacts& origin);

// Whether DrawPlanView turns the picture of this case, and the caption that says which way the
// axes run.
bool PlanViewTurned(const PosedCase& posed, const OriginFacts& origin);
std::string PlanViewCaption(bool turned);
