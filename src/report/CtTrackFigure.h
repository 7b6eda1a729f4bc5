#pragma once

#include <QImage>

#include <optional>
#include <string>

struct CtScan;
struct Trajectory;

// The name of trajectory `number`'s CT picture ("ct-track-3").
std::string CtTrackFigureName(int number);

// The CT slice along a trajectory, as a pathologist checks that IN, OUT and the points lie on the
// channel: the plane holding the track (IN on the left, OUT on the right, the head's side up) in
// the soft-tissue window, as a thin minimum-intensity slab so that the channel's gas stays
// black, drawn at least `width` pixels across. IN is marked by a circle, OUT by a square (a dot
// where the bullet stayed), each point between by a small ring with its number, all joined by a
// dashed line; a scale bar gives the size. Nothing when IN and OUT coincide.
std::optional<QImage> DrawCtTrackFigure(const CtScan& scan, const Trajectory& trajectory,
                                        int number, int width);

// "Trajectory 3 in the CT: ..." with the window and slab the picture was drawn with.
std::string CtTrackFigureCaption(int number);
