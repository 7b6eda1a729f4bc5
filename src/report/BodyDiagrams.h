#pragma once

#include "base/Matrix4.h"

#include <QImage>
#include <QPainter>

#include <vector>

class Case;

// A wound as the diagrams mark it: its trajectory's number, where it lies (body frame, metres)
// and whether it is the entry (a circle) or the exit (a square).
struct DiagramWound {
    int number = 0;
    Vec3 point;
    bool entry = true;
};

// The posed body's wounds: each trajectory's IN, and its OUT when the bullet left the body.
std::vector<DiagramWound> CaseWounds(const Case& theCase);

// Draws a wound's mark centred at `at`, `size` pixels across: a circle for an entry, a square for
// an exit, the trajectory's number inside.
void DrawWoundMark(QPainter& painter, int number, bool entry, const QPointF& at, double size);

// The front and back body diagrams side by side, as autopsy diagrams are drawn: the posed body's
// silhouette seen straight from the front (its right on the left) and from the back, each
// wound marked where it lies, a numbered circle for an entry and a numbered square for an exit,
// on the diagram of the side it lies on (in front of or behind the body's middle). `height` is
// the picture's in pixels. A case without a body mesh gives empty outlines with the marks.
QImage DrawBodyDiagrams(const Case& theCase, const std::vector<DiagramWound>& wounds, int height);
