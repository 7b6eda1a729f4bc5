#include "ui/Document.h"

#include "ui/ViewCommands.h"

#include <QFileInfo>

void Document::Open(const QString& path) {
    const QFileInfo file(path);
    fileName = file.fileName();
    filePath = file.absoluteFilePath();
    commands.OpenDocument(filePath);
}
