// The project panel: the header texts of the project, written into the
// document as they are typed (one undo step per run of typing in a box), and
// refreshed from it whenever the header changes (Undo, Open, New).
#pragma once

#include <QScrollArea>
#include <string>
#include <vector>

#include "model/rebound_file.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace rebound {

class ProjectDocument;
class WindowContext;

class ProjectPanel : public QScrollArea {
    Q_OBJECT
public:
    ProjectPanel(ProjectDocument& document, WindowContext& context, QWidget* parent = nullptr);

    // Shows the project's header texts; a box that already shows its text is
    // left alone, so that the caret of the box being typed in stays put.
    void RefreshProjectPanel();

    // The evaluation rules are offered in edit mode only; outside it the
    // panel is the documented header.
    void SetEditing(bool on);

private:
    // Everything, or the texts and a changed date only.
    void ShowHeader(bool whole);

    struct Field {
        QLineEdit* box;
        std::string ReboundFile::*member;
    };

    ProjectDocument& mDocument;
    WindowContext& mContext;
    std::vector<Field> mFields;
    QDateEdit* dt_agent_date = nullptr;
    // The project's evaluation rules: pumped concrete by the correction or
    // by the pumped-concrete curve, and the standard's arithmetic.
    QLabel* lbl_pumped_rule = nullptr;
    QComboBox* cb_pumped_rule = nullptr;
    QCheckBox* chk_standard_arithmetic = nullptr;
    // The date text the picker was last set from (or set to).
    std::string mShownDate;
    // True while the panel is filled from the project: those changes are no
    // edits of the operator's.
    bool mFilling = false;
};

}  // namespace rebound
