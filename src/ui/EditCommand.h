#pragma once

#include <QUndoCommand>

#include <memory>

class CaseEdit;
class CaseEditor;

// One step of the undo history: an edit of the case that the editor has already applied. The
// stack's first redo() (at push) therefore does nothing; later ones make the edit again.
class EditCommand : public QUndoCommand {
public:
    EditCommand(CaseEditor& editor, std::unique_ptr<CaseEdit> edit);
    ~EditCommand() override;

    void undo() override;
    void redo() override;

private:
    CaseEditor& editor;
    std::unique_ptr<CaseEdit> edit;
    bool applied = true;
};
