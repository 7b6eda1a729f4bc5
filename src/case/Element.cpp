#include "case/Element.h"

void Element::SetColor(double red, double green, double blue) {
    r = red;
    g = green;
    b = blue;
}

void Element::GetColor(double& red, double& green, double& blue) const {
    red = r;
    green = g;
    blue = b;
}
