#include "ui/EditCommand.h"

#include "edit/CaseEditor.h"

EditCommand::EditCommand(CaseEditor& editor, std::unique_ptr<CaseEdit> edit)
    : editor(editor), edit(std::move(edit)) {
    setText(QString::fromStdString(this->edit->Name()));
}

EditCommand::~EditCommand() = default;

void EditCommand::undo() {
    editor.Undo(*edit);
    applied = false;
}

void EditCommand::redo() {
    if (applied) {
        return; // pushed right after the editor applied it
    }
    editor.Redo(*edit);
    applied = true;
}
