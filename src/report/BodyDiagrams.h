#pragma once

#include "report/DiagramWound.h"

#include <QImage>
#include <QPainter>

#include <vector>

class Body;

// Draws a wound's mark centred at `at`, `size` pixels across: a circle for an entry, a square for
// an exit, the trajectory's number inside.
void DrawWoundMark(QPainter& painter, int number, bool entry, const QPointF& at, double size);

// The front and back body diagrams side by side, as autopsy diagrams are drawn: the body in the
// anatomical position at its height and stretches, whatever its posture, seen straight from the
// front (its right on the left) and from the back, each wound marked where it was measured, a
// numbered circle for an entry and a numbered square for an exit, on the diagram its `side`
// names. `height` is the picture's in pixels. A body without a mesh gives empty outlines with
// the marks.
QImage DrawBodyDiagrams(const Body& body, const std::vector<DiagramWound>& wounds, int height);
