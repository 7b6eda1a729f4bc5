#pragma once

#include "ui/Platform.h"

#include <QUrl>

// The desktop's own windows: QMessageBox, QFileDialog, QColorDialog, QDesktopServices and the
// body-load progress window.
//
// With the environment variable RUVO_TEST_AUTOCLOSE_MESSAGES set to 1, message boxes are written
// to the standard error stream ("caption: text") instead of being shown, so that automated runs
// of the program never wait for a person; questions are written there too and answered No (and
// "Save changes to the case?" Discard, a question of several choices its last one).
class QtPlatform : public Platform {
public:
    QtPlatform();

    void ShowMessage(QWidget* owner, const QString& text, const QString& caption) override;
    SaveChangesAnswer AskSaveChanges(QWidget* owner) override;
    bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) override;
    int AskChoice(QWidget* owner, const QString& text, const QString& caption,
                  const QStringList& choices) override;
    QString ChooseOpenFile(QWidget* owner, const FileChooserRequest& request) override;
    QString ChooseSaveFile(QWidget* owner, const FileChooserRequest& request) override;
    QColor ChooseColor(QWidget* owner, const QColor& initial) override;
    void ShellOpen(const QString& target, const QString& workingFolder) override;
    std::unique_ptr<ProgressSink> OpenProgress(QWidget* owner) override;

    // The filter list of a file chooser, one "description (patterns)" entry per line.
    static QString FilterText(const QList<FileFilter>& filters);
    // The address the shell opens: a web address as it is, a file resolved against the folder.
    static QUrl ShellTarget(const QString& target, const QString& workingFolder);

private:
    static QString RunFileChooser(QWidget* owner, const FileChooserRequest& request, bool saving);
    // Whether the file a save chooser's answer `chosen` writes may be written: asked when it
    // exists and is not the request's own file.
    static bool MayReplace(QWidget* owner, const FileChooserRequest& request,
                           const QString& chosen);

    bool messagesToStandardError;
};
