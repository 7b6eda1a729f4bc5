#include "ui/CRuvoDoc.h"

#include "ui/ViewCommands.h"

#include <QFileInfo>

void CRuvoDoc::Open(const QString& path) {
    const QFileInfo file(path);
    fileName = file.fileName();
    filePath = file.absoluteFilePath();
    commands.OpenDocument(filePath);
}
