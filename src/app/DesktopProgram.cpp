#include "app/DesktopProgram.h"

#include "scene/Universe.h"
#include "ui/CRuvoApp.h"
#include "ui/QtPlatform.h"

#include <QApplication>

int RunDesktopProgram(int argc, char** argv, const std::string& documentFile) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));
    QtPlatform platform;
    Universe scene;
    CRuvoApp app(scene, platform);
    return app.Run(QString::fromStdString(documentFile));
}
