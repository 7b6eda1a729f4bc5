#pragma once

#include "case/Placement.h"

#include <string>

// A coloured ellipsoid placed by the user: centre, full extents along its local axes, three
// angles, colour and label.
class Element : public Placement {
public:
    bool operator==(const Element&) const = default;

    void SetColor(double red, double green, double blue);
    void GetColor(double& red, double& green, double& blue) const;

    void SetText(const std::string& value) { text = value; }
    const std::string& GetText() const { return text; }

private:
    double r = 1, g = 0, b = 0;
    std::string text;
};
