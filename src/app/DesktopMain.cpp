// The entry point of the desktop module (libruvo_desktop.so), which the executable loads only when
// the desktop program starts.

#include "app/DesktopModule.h"
#include "docs/AppInfo.h"
#include "scene/Universe.h"
#include "ui/CRuvoApp.h"
#include "ui/QtPlatform.h"

#include <QApplication>

extern "C" __attribute__((visibility("default"))) int RuvoDesktopMain(int argc, char** argv,
                                                                      const char* documentFile) {
    GetAppInfo(); // the module's own copy records the start directory before Qt can change it
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));
    QtPlatform platform;
    CRuvoApp app(Universe::Instance(), platform);
    return app.Run(QString::fromUtf8(documentFile));
}
