#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <memory>

class ProgressSink;
class QWidget;

// One entry of a file chooser's filter list, as the user sees it.
struct FileFilter {
    QString description; // "Txt Files (*.txt) "
    QString pattern;     // " *.txt"
};

struct FileChooserRequest {
    QString title;
    QList<FileFilter> filters; // the first one is selected
    QString initialFolder;
};

// The answer to "Save changes to the case?".
enum class SaveChangesAnswer { Save, Discard, Cancel };

// What the program asks of the desktop: message boxes, file and colour choosers, the shell's
// "open", and the body-load progress window. The Qt implementation shows real windows; the test
// double answers from a script, so every command can be tested without a person.
class Platform {
public:
    virtual ~Platform() = default;

    // A message box with one OK button; returns when it is closed.
    virtual void ShowMessage(QWidget* owner, const QString& text, const QString& caption) = 0;
    // "Save changes to the case?" with the buttons Save, Discard and Cancel.
    virtual SaveChangesAnswer AskSaveChanges(QWidget* owner) = 0;
    // A question with the buttons Yes and No; true when the user answers Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) = 0;
    // The full path chosen, or an empty text when the user cancels. The chooser starts in the
    // request's folder with no file name filled in.
    virtual QString ChooseOpenFile(QWidget* owner, const FileChooserRequest& request) = 0;
    // Asks before overwriting an existing file. Empty when the user cancels.
    virtual QString ChooseSaveFile(QWidget* owner, const FileChooserRequest& request) = 0;
    // The chosen colour, or the initial one when the user cancels.
    virtual QColor ChooseColor(QWidget* owner, const QColor& initial) = 0;
    // The desktop's "open" action on a file or web address; failures are not reported.
    virtual void ShellOpen(const QString& target, const QString& workingFolder) = 0;
    // Shows the modeless "Open Body File" progress window at once; closed when released.
    virtual std::unique_ptr<ProgressSink> OpenProgress(QWidget* owner) = 0;
};
