#include "scene/VkElement.h"

void VkElement::SetColor(double red, double green, double blue) {
    r = red;
    g = green;
    b = blue;
}

void VkElement::GetColor(double& red, double& green, double& blue) const {
    red = r;
    green = g;
    blue = b;
}
