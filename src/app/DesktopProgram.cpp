#include "app/DesktopProgram.h"

#include "ui/Application.h"
#include "ui/QtPlatform.h"

#include <QApplication>

int RunDesktopProgram(int argc, char** argv, const std::string& documentFile) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));
    QtPlatform platform;
    Application program(platform);
    return program.Run(QString::fromStdString(documentFile));
}
