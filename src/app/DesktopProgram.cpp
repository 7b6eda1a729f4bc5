#include "app/DesktopProgram.h"

#include "app/cli/CaseLoading.h"
#include "base/ScopedDiagnosticSink.h"
#include "ui/Application.h"
#include "ui/QtPlatform.h"

#include <QApplication>

#include <iostream>

int RunDesktopProgram(int argc, char** argv, const std::string& documentFile) {
    // The libraries' warnings go to stderr, as on the command line: they stop nothing, and the
    // body model's own warnings are shown in the window after it is read.
    const ScopedDiagnosticSink warnings(WarningsTo(std::cerr));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ruvo"));
    QtPlatform platform;
    Application program(platform);
    return program.Run(QString::fromStdString(documentFile));
}
