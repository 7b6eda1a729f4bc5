#pragma once

#include <QIcon>

// The program's pictures, drawn at start-up: the application icon and the toolbar buttons
// (16 by 15 pixels).
QIcon ApplicationIcon();
QIcon NewTrajectoryIcon();
QIcon OpenDataIcon();
QIcon SaveDataIcon();
QIcon AboutIcon();
