#pragma once

#include <QSettings>

#include <memory>

// The program's settings, under the settings root "Local AppWizard-Generated Applications" and
// the program's name.
std::unique_ptr<QSettings> OpenProgramSettings();
