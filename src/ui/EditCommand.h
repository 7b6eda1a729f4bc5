#pragma once

#include <QUndoCommand>

#include <memory>

class SceneEdit;
class SceneEditor;

// One step of the undo history: an edit of the scene that the editor has already applied. The
// stack's first redo() (at push) therefore does nothing; later ones make the edit again.
class EditCommand : public QUndoCommand {
public:
    EditCommand(SceneEditor& editor, std::unique_ptr<SceneEdit> edit);
    ~EditCommand() override;

    void undo() override;
    void redo() override;

private:
    SceneEditor& editor;
    std::unique_ptr<SceneEdit> edit;
    bool applied = true;
};
