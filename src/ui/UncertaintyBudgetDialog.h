#pragma once

#include "base/Status.h"
#include "body/UncertaintyModel.h"
#include "budget/UncertaintyBudget.h"

#include <QDialog>

#include <optional>
#include <vector>

class CaseEditor;
class Platform;
class QLabel;
class QLineEdit;
class QTimer;

// "Uncertainty budget": every source the budget draws from besides each trajectory's balls (the
// spread of every joint's angles and of each joint in place of it, the soft tissue, the body's
// heading and placement in the scene) with its unit and what it models, and the number of draws.
// Below them it previews the 95 % cone of one trajectory with the values as typed. OK makes them
// one edit of the body; a value that does not read or lies beyond what the budget takes is
// refused with its field named, the dialog staying open with what was typed.
//
// The preview is drawn on the interface thread a short pause after the last key, from the
// draws the view's cones make (kDrawnConeDraws, a fifth of the budget's usual number, a few
// milliseconds on one core), so that it gives the half-angle of the cone the view will draw; the
// report draws the number set here.
class UncertaintyBudgetDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewDraws = kDrawnConeDraws;

    // `activeNumber` names the trajectory the preview shows (0: the first one).
    UncertaintyBudgetDialog(CaseEditor& editor, Platform& platform, int activeNumber,
                            QWidget* parent = nullptr);
    ~UncertaintyBudgetDialog() override;

    // Opens on the case's values.
    int exec() override;
    void accept() override;

    // The field of a source by the name its data-file line gives it ("pose", "right_elbow",
    // "tissue", "heading", "placement"), or "draws"; nullptr for another name.
    QLineEdit* Field(const QString& name) const;
    // The model the fields give, or why not (naming the field).
    std::optional<UncertaintyModel> Read(Status& status) const;
    // Draws the preview now with the values as typed.
    void UpdatePreview();

private:
    struct Row;
    void AddRows();
    void Fill();

    CaseEditor& editor;
    Platform& platform;
    int activeNumber;
    std::vector<Row> rows;
    QLabel* preview = nullptr;
    QTimer* previewTimer = nullptr;
};
