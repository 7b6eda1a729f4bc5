#include "ui/QtPlatform.h"

#include "ui/BodyLoadProgressDialog.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

#include <iostream>

namespace {

// Owns the progress window for as long as the caller holds the sink; the window may already be
// gone if its owner was destroyed first.
class ProgressWindow : public ProgressSink {
public:
    explicit ProgressWindow(QWidget* owner) : window(new BodyLoadProgressDialog(owner)) {}
    ~ProgressWindow() override { delete window.data(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void SetProgress(int position) override {
        if (window) {
            window->SetProgress(position);
        }
    }
    bool CancelRequested() const override { return window && window->CancelRequested(); }

private:
    QPointer<BodyLoadProgressDialog> window;
};

// "Txt Files (*.txt) " with " *.txt" becomes "Txt Files (*.txt)"; a description without the
// patterns gets them appended, since Qt reads the patterns from the parentheses.
QString FilterEntry(const FileFilter& filter) {
    QString description = filter.description.trimmed(); // not const: returned by moving
    const QString patterns = filter.pattern.split(';', Qt::SkipEmptyParts).join(' ').simplified();
    if (patterns.isEmpty() || description.endsWith(QStringLiteral("(%1)").arg(patterns))) {
        return description;
    }
    return QStringLiteral("%1 (%2)").arg(description, patterns);
}

} // namespace

QtPlatform::QtPlatform()
    : messagesToStandardError(qEnvironmentVariableIntValue("RUVO_TEST_AUTOCLOSE_MESSAGES") == 1) {}

void QtPlatform::ShowMessage(QWidget* owner, const QString& text, const QString& caption) {
    if (messagesToStandardError) {
        std::cerr << caption.toStdString() << ": " << text.toStdString() << std::endl;
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

SaveChangesAnswer QtPlatform::AskSaveChanges(QWidget* owner) {
    const QString text = QStringLiteral("Save changes to the case?");
    const QString caption = QStringLiteral("Ruvolane");
    if (messagesToStandardError) {
        std::cerr << caption.toStdString() << ": " << text.toStdString() << " (Discard)"
                  << std::endl;
        return SaveChangesAnswer::Discard;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, owner);
    QPushButton* save = box.addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) {
        return SaveChangesAnswer::Save;
    }
    return box.clickedButton() == discard ? SaveChangesAnswer::Discard : SaveChangesAnswer::Cancel;
}

bool QtPlatform::AskYesNo(QWidget* owner, const QString& text, const QString& caption) {
    if (messagesToStandardError) {
        std::cerr << caption.toStdString() << ": " << text.toStdString() << " (No)" << std::endl;
        return false;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

int QtPlatform::AskChoice(QWidget* owner, const QString& text, const QString& caption,
                          const QStringList& choices) {
    const int last = static_cast<int>(choices.size()) - 1;
    if (messagesToStandardError) {
        std::cerr << caption.toStdString() << ": " << text.toStdString() << " ("
                  << choices.value(last).toStdString() << ")" << std::endl;
        return last;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, owner);
    QList<QPushButton*> buttons;
    for (int index = 0; index <= last; ++index) {
        // The last choice changes nothing: Escape and the window's close box press it.
        buttons << box.addButton(choices[index],
                                 index == last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    }
    if (buttons.isEmpty()) {
        return -1;
    }
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.back());
    box.exec();
    const auto pressed =
        static_cast<int>(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return pressed < 0 ? last : pressed;
}

QString QtPlatform::FilterText(const QList<FileFilter>& filters) {
    QStringList entries;
    for (const FileFilter& filter : filters) {
        entries << FilterEntry(filter);
    }
    return entries.join(QStringLiteral(";;"));
}

QString QtPlatform::RunFileChooser(QWidget* owner, const FileChooserRequest& request, bool saving) {
    QFileDialog chooser(owner, request.title, QString(), FilterText(request.filters));
    // Given as a folder only: a path handed over as the selection would put its last name (say
    // "database" when that folder is missing) into the name field, ready to be saved as a file.
    chooser.setDirectory(request.initialFolder);
    chooser.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!saving && request.folder) {
        chooser.setFileMode(QFileDialog::Directory);
        chooser.setOption(QFileDialog::ShowDirsOnly, true);
    }
    if (saving && !request.initialName.isEmpty()) {
        chooser.selectFile(request.initialName);
    }
    // Saving asks before overwriting an existing file. The chooser's own question is about the
    // name typed, not about the file the program writes once it has added its extension, and it
    // would ask about the case's own file too: where the request says either, the question is
    // asked here instead.
    const bool askHere =
        saving && (!request.replaceWithoutAsking.isEmpty() || !request.savedExtension.isEmpty());
    chooser.setOption(QFileDialog::DontConfirmOverwrite, askHere);
    while (chooser.exec() == QDialog::Accepted) {
        const QStringList chosen = chooser.selectedFiles();
        if (chosen.isEmpty()) {
            return {};
        }
        if (!askHere || MayReplace(owner, request, chosen.first())) {
            return chosen.first();
        }
    }
    return {};
}

bool QtPlatform::MayReplace(QWidget* owner, const FileChooserRequest& request,
                            const QString& chosen) {
    const QString written =
        request.savedExtension.isEmpty() || chosen.endsWith(request.savedExtension)
            ? chosen
            : chosen + request.savedExtension;
    const QFileInfo file(written);
    if (!file.exists() || (!request.replaceWithoutAsking.isEmpty() &&
                           file == QFileInfo(request.replaceWithoutAsking))) {
        return true;
    }
    // The chooser's own question, default No: another file is replaced only on purpose.
    return QMessageBox::warning(owner, request.title,
                                QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                    .arg(file.fileName()),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

QString QtPlatform::ChooseOpenFile(QWidget* owner, const FileChooserRequest& request) {
    return RunFileChooser(owner, request, false);
}

QString QtPlatform::ChooseSaveFile(QWidget* owner, const FileChooserRequest& request) {
    return RunFileChooser(owner, request, true);
}

QColor QtPlatform::ChooseColor(QWidget* owner, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, owner);
    return chosen.isValid() ? chosen : initial;
}

QUrl QtPlatform::ShellTarget(const QString& target, const QString& workingFolder) {
    QUrl url(target); // not const: returned by moving
    if (url.isValid() && url.scheme().size() > 1) {
        return url;
    }
    return QUrl::fromLocalFile(QDir(workingFolder).absoluteFilePath(target));
}

void QtPlatform::ShellOpen(const QString& target, const QString& workingFolder) {
    QDesktopServices::openUrl(ShellTarget(target, workingFolder)); // failures are not reported
}

std::unique_ptr<ProgressSink> QtPlatform::OpenProgress(QWidget* owner) {
    return std::make_unique<ProgressWindow>(owner);
}
