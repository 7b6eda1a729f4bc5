#pragma once

#include <QString>

// Which angles of a trajectory a window shows: those of its measured points, the body in the
// anatomical position, or those of its points carried by the body's posture. The two differ once
// the body is posed, so every window that shows a trajectory's angle says which it is.
enum class AngleKind { Anatomical, AsPosed };

// "anatomical position" or "as posed", as the windows write it after an angle's name.
QString AngleLabel(AngleKind kind);
