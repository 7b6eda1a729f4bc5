#pragma once

class QSlider;
class QWidget;

// A horizontal slider with the given range, tick marks every `tickStep` and its object name.
QSlider* MakeTickedSlider(QWidget* parent, const char* name, int minimum, int maximum,
                          int tickStep);
// Puts the slider at `position` without notifying anyone, as a program (not the user) moves it.
void PlaceSlider(QSlider* slider, int position);
