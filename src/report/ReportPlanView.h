#pragma once

#include "report/ReportOrigin.h"

#include <QImage>

class PosedCase;

// The scene seen from above for the report's "Origin" section: +X to the right, +Z down the
// page, a metre grid, the scene model's walls, the body at its place facing its way, each
// trajectory's back line, each muzzle height's zone along it (the interval as a thick stroke,
// the nominal point as a ring) and each shot group's point of convergence.
QImage DrawPlanView(const PosedCase& posed, const OriginFacts& origin);
