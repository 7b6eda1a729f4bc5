#include "ui/AngleLabel.h"

QString AngleLabel(AngleKind kind) {
    return kind == AngleKind::Anatomical ? QStringLiteral("anatomical position")
                                         : QStringLiteral("as posed");
}
