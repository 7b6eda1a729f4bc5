#include "ui/SliderSetup.h"

#include <QSignalBlocker>
#include <QSlider>

QSlider* MakeTickedSlider(QWidget* parent, const char* name, int minimum, int maximum,
                          int tickStep) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setTickInterval(tickStep);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setSingleStep(1);
    slider->setPageStep(tickStep);
    return slider;
}

void PlaceSlider(QSlider* slider, int position) {
    const QSignalBlocker blocker(slider);
    slider->setValue(position);
}
