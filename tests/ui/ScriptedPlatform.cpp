#include "ScriptedPlatform.h"

#include "base/ProgressSink.h"

// Records the positions into the platform and marks the window closed when released.
class ScriptedPlatform::ScriptedProgress : public ProgressSink {
public:
    explicit ScriptedProgress(ScriptedPlatform& owner) : platform(owner) {
        owner.progressWindowOpen = true;
        ++owner.progressWindowsOpened;
    }
    ~ScriptedProgress() override { platform.progressWindowOpen = false; }
    ScriptedProgress(const ScriptedProgress&) = delete;
    ScriptedProgress& operator=(const ScriptedProgress&) = delete;

    void SetProgress(int position) override {
        platform.progressValues.push_back(position);
        cancelled = cancelled || (platform.cancelAt > 0 && position >= platform.cancelAt);
    }
    bool CancelRequested() const override { return cancelled; }

private:
    ScriptedPlatform& platform;
    bool cancelled = false;
};

void ScriptedPlatform::ClearRecords() {
    messages.clear();
    questions.clear();
    choices.clear();
    openRequests.clear();
    saveRequests.clear();
    colorRequests.clear();
    shellCalls.clear();
    progressValues.clear();
    progressWindowsOpened = 0;
    unscriptedRequests = 0;
    saveChangesQuestions = 0;
}

void ScriptedPlatform::ShowMessage(QWidget*, const QString& text, const QString& caption) {
    messages.push_back({text, caption});
    if (messageHandler) {
        messageHandler(messages.back());
    }
}

SaveChangesAnswer ScriptedPlatform::AskSaveChanges(QWidget*) {
    ++saveChangesQuestions;
    if (saveChangesAnswers.empty()) {
        ++unscriptedRequests;
        return SaveChangesAnswer::Cancel;
    }
    const SaveChangesAnswer answer = saveChangesAnswers.front();
    saveChangesAnswers.pop_front();
    return answer;
}

bool ScriptedPlatform::AskYesNo(QWidget*, const QString& text, const QString& caption) {
    questions.push_back({text, caption});
    if (yesNoAnswers.empty()) {
        ++unscriptedRequests;
        return false;
    }
    const bool yes = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return yes;
}

int ScriptedPlatform::AskChoice(QWidget*, const QString& text, const QString& caption,
                                const QStringList& choiceTexts) {
    choices.push_back({text, caption, choiceTexts});
    const int last = static_cast<int>(choiceTexts.size()) - 1;
    if (choiceAnswers.empty()) {
        ++unscriptedRequests;
        return last;
    }
    const int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

QString ScriptedPlatform::NextPath(std::deque<QString>& answers) {
    if (answers.empty()) {
        ++unscriptedRequests;
        return {};
    }
    QString path = answers.front();
    answers.pop_front();
    return path;
}

QString ScriptedPlatform::ChooseOpenFile(QWidget*, const FileChooserRequest& request) {
    openRequests.push_back(request);
    return NextPath(openAnswers);
}

QString ScriptedPlatform::ChooseSaveFile(QWidget*, const FileChooserRequest& request) {
    saveRequests.push_back(request);
    return NextPath(saveAnswers);
}

QColor ScriptedPlatform::ChooseColor(QWidget*, const QColor& initial) {
    colorRequests.push_back(initial);
    if (colorAnswers.empty()) {
        ++unscriptedRequests;
        return initial;
    }
    const QColor color = colorAnswers.front();
    colorAnswers.pop_front();
    return color;
}

void ScriptedPlatform::ShellOpen(const QString& target, const QString& workingFolder) {
    shellCalls.push_back({target, workingFolder});
}

std::unique_ptr<ProgressSink> ScriptedPlatform::OpenProgress(QWidget*) {
    return std::make_unique<ScriptedProgress>(*this);
}
