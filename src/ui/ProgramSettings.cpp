#include "ui/ProgramSettings.h"

#include <QCoreApplication>

std::unique_ptr<QSettings> OpenProgramSettings() {
    return std::make_unique<QSettings>(QStringLiteral("Local AppWizard-Generated Applications"),
                                       QCoreApplication::applicationName());
}
