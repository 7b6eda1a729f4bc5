#include "app/DesktopProgram.h"

#include "case/Case.h"
#include "ui/Application.h"
#include "ui/QtPlatform.h"

#include <QApplication>

int RunDesktopProgram(int argc, char** argv, const std::string& documentFile) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));
    QtPlatform platform;
    Case scene;
    Application app(scene, platform);
    return app.Run(QString::fromStdString(documentFile));
}
