#pragma once

#include <QString>

class ViewCommands;

// The single document of the main window: the file last named on the command line or dropped on
// the window. Opening hands the file to the view's commands, which replace the body (a model) or
// read a data file (".txt") on the displayed scene.
class Document {
public:
    explicit Document(ViewCommands& commands) : commands(commands) {}

    // Records the file's name and full path, then opens it.
    void Open(const QString& path);
    // Ctrl+N: renews the document, which changes nothing in the scene.
    void NewDocument() {}

    const QString& GetFileName() const { return fileName; }
    const QString& GetFilePath() const { return filePath; }

private:
    ViewCommands& commands;
    QString fileName;
    QString filePath;
};
