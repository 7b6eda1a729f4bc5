#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

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
    // The name a save chooser offers (no folders); empty offers none.
    QString initialName;
    // A file a save chooser replaces without asking: the case's own file, whose replacement is
    // what saving it means. Any other existing file is asked about, the answer No by default.
    QString replaceWithoutAsking;
    // The extension the program adds to a saved name that does not end in it (".txt"): the
    // question before overwriting is about the file written, with the extension.
    QString savedExtension;
    // An open chooser that picks a folder (a CT series' files), not a file; no filters.
    bool folder = false;
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
    // A question with one button per choice, left to right; the first is the default and the
    // last is the one Escape presses (so it should be the one that changes nothing). The index
    // of the choice made.
    virtual int AskChoice(QWidget* owner, const QString& text, const QString& caption,
                          const QStringList& choices) = 0;
    // The full path chosen, or an empty text when the user cancels. The chooser starts in the
    // request's folder with no file name filled in.
    virtual QString ChooseOpenFile(QWidget* owner, const FileChooserRequest& request) = 0;
    // Starts in the request's folder with its initial name filled in, and asks before
    // overwriting an existing file (but the one to replace without asking). Empty when the user
    // cancels.
    virtual QString ChooseSaveFile(QWidget* owner, const FileChooserRequest& request) = 0;
    // The chosen colour, or the initial one when the user cancels.
    virtual QColor ChooseColor(QWidget* owner, const QColor& initial) = 0;
    // The desktop's "open" action on a file or web address; failures are not reported.
    virtual void ShellOpen(const QString& target, const QString& workingFolder) = 0;
    // Shows the modeless "Open Body File" progress window at once; closed when released.
    virtual std::unique_ptr<ProgressSink> OpenProgress(QWidget* owner) = 0;
};
