#pragma once

#include "base/Matrix4.h"

#include <QColor>
#include <QString>

#include <functional>

class ColorSwatch;
class Platform;
class QWidget;

// Reads a typed number the forgiving way every dialog does: leading blanks are skipped, the longest
// leading decimal number (sign, digits, point, fraction, exponent) is taken, and anything else
// gives 0. Only the first 78 characters count. Never depends on the user's locale.
double ReadLenientNumber(const QString& text);
// The same, read as centimetres and returned in metres; a length beyond a thousand kilometres
// (value_limits::kLargestLength) reads as 0.
double ReadCentimetres(const QString& text);
// A measured coordinate typed in centimetres, read strictly: one number, blanks around it and the
// unit "cm" after it allowed, within a thousand kilometres. Returns the sentence that refuses it,
// naming `field` ("z2 is empty: type a number in centimetres."), or an empty text with `metres`
// set. A field left empty is never taken for 0.
QString ReadCoordinate(const QString& text, const QString& field, double& metres);
// An uncertainty radius typed in centimetres, read as strictly: a number within 0 and 100 cm.
// Returns the sentence that refuses it, naming `field`, or an empty text with `metres` set.
QString ReadUncertainty(const QString& text, const QString& field, double& metres);

// A length in metres as dialogs show it: centimetres with two decimals (a tenth of a millimetre,
// what the data file keeps), never "-0.00".
QString CentimetreText(double metres);

// An uncertainty radius in metres as the centimetres a dialog shows ("1.0").
QString UncertaintyText(double metres);

// A colour held as three channels 0..1 shown as bytes: each channel times 255, truncated.
QColor ColorFromChannels(double red, double green, double blue);
// A chosen colour as the case holds it: red, green and blue, each byte / 255.
Vec3 ChannelsOf(const QColor& color);

// The colour sample was clicked: the platform chooser opens on the sample's colour, the dialog
// out of sight meanwhile; its answer (the initial colour when cancelled) becomes `proposed` (the
// colour proposed for new trajectories and elements, shared by both creation dialogs) and the
// sample's colour, and the view is redrawn. The dialog then has the keyboard again.
void ChooseProposedColor(QColor& proposed, Platform& platform, QWidget* dialog, ColorSwatch& swatch,
                         const std::function<void()>& redraw);
