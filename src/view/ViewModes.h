#pragma once

// The typed states of what the view shows: the manipulation mode, the selection and the handle.

// What a left drag in the view does to the selected object (chosen from the context menu), or
// PlacePoints, in which left clicks place points on the body surface.
enum class ManipulationMode { Select = 0, Move = 1, Rotate = 2, PlacePoints = 3 };

// Whether a trajectory or an element is selected.
enum class SelectionState { Nothing = 1, ObjectSelected = 2 };

// The manipulation handle last picked: the axis a drag moves along or turns about. The values are
// the handles' numbers (their pick names are 40 + the number).
enum class Handle { None = 0, X = 1, Y = 2, Z = 3 };
