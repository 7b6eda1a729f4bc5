#pragma once

#include "ui/Platform.h"

#include <deque>
#include <functional>
#include <vector>

// A platform that answers from a script and records what the program asked, for tests. File and
// colour choosers take their answers from queues; a chooser asked with an empty queue answers as
// if the user had cancelled (empty path, the initial colour) and is counted as unscripted.
class ScriptedPlatform : public Platform {
public:
    struct Message {
        QString text;
        QString caption;
    };
    struct Choice {
        QString text;
        QString caption;
        QStringList choices;
    };
    struct ShellCall {
        QString target;
        QString workingFolder;
    };

    // Answers, used in order.
    void QueueOpenFile(const QString& path) { openAnswers.push_back(path); }
    void QueueSaveFile(const QString& path) { saveAnswers.push_back(path); }
    void QueueColor(const QColor& color) { colorAnswers.push_back(color); }
    // Answers to Yes/No questions; a question asked with none queued is answered No.
    void QueueAnswer(bool yes) { yesNoAnswers.push_back(yes); }
    // Answers (the index of the choice) to questions of several choices; asked with none
    // queued, the last choice, the one that changes nothing, is made.
    void QueueChoice(int index) { choiceAnswers.push_back(index); }
    // Answers to "Save changes to the case?"; asked with none queued, it is cancelled.
    void QueueSaveChanges(SaveChangesAnswer answer) { saveChangesAnswers.push_back(answer); }
    // The progress window's Cancel is pressed once a position at or beyond this is shown
    // (0: never).
    void CancelProgressAt(int position) { cancelAt = position; }
    // Called for each message box after it has been recorded (for example to check the state
    // the program is in while the box is open).
    void OnMessage(std::function<void(const Message&)> handler) {
        messageHandler = std::move(handler);
    }

    // What the program asked.
    const std::vector<Message>& Messages() const { return messages; }
    const std::vector<Message>& Questions() const { return questions; }
    const std::vector<Choice>& Choices() const { return choices; }
    int SaveChangesQuestions() const { return saveChangesQuestions; }
    const std::vector<FileChooserRequest>& OpenRequests() const { return openRequests; }
    const std::vector<FileChooserRequest>& SaveRequests() const { return saveRequests; }
    const std::vector<QColor>& ColorRequests() const { return colorRequests; }
    const std::vector<ShellCall>& ShellCalls() const { return shellCalls; }
    // Every progress position reported, over all progress windows.
    const std::vector<int>& ProgressValues() const { return progressValues; }
    int ProgressWindowsOpened() const { return progressWindowsOpened; }
    bool ProgressWindowOpen() const { return progressWindowOpen; }
    int UnscriptedRequests() const { return unscriptedRequests; }
    void ClearRecords();

    void ShowMessage(QWidget* owner, const QString& text, const QString& caption) override;
    SaveChangesAnswer AskSaveChanges(QWidget* owner) override;
    bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) override;
    int AskChoice(QWidget* owner, const QString& text, const QString& caption,
                  const QStringList& choiceTexts) override;
    QString ChooseOpenFile(QWidget* owner, const FileChooserRequest& request) override;
    QString ChooseSaveFile(QWidget* owner, const FileChooserRequest& request) override;
    QColor ChooseColor(QWidget* owner, const QColor& initial) override;
    void ShellOpen(const QString& target, const QString& workingFolder) override;
    std::unique_ptr<ProgressSink> OpenProgress(QWidget* owner) override;

private:
    class ScriptedProgress;

    QString NextPath(std::deque<QString>& answers);

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QColor> colorAnswers;
    std::deque<bool> yesNoAnswers;
    std::deque<int> choiceAnswers;
    std::deque<SaveChangesAnswer> saveChangesAnswers;
    int saveChangesQuestions = 0;
    std::function<void(const Message&)> messageHandler;
    std::vector<Message> messages;
    std::vector<Message> questions;
    std::vector<Choice> choices;
    std::vector<FileChooserRequest> openRequests;
    std::vector<FileChooserRequest> saveRequests;
    std::vector<QColor> colorRequests;
    std::vector<ShellCall> shellCalls;
    std::vector<int> progressValues;
    int progressWindowsOpened = 0;
    bool progressWindowOpen = false;
    int unscriptedRequests = 0;
    int cancelAt = 0;
};
