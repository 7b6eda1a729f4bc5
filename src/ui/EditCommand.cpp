#include "ui/EditCommand.h"

#include "edit/CaseEditor.h"

EditCommand::EditCommand(CaseEditor& theEditor, std::unique_ptr<CaseEdit> theEdit)
    : editor(theEditor), edit(std::move(theEdit)) {
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
