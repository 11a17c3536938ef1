// The component panel: the figures and texts of the current component. Its
// name, description and pumped-concrete box write into the document as they
// change (typing in one box is one undo step); every change of the component
// from elsewhere (Undo, a calculation) is shown at once.
#pragma once

#include <QScrollArea>
#include <string>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace rebound {

class ProjectDocument;
class WindowContext;

class ComponentPanel : public QScrollArea {
    Q_OBJECT
public:
    ComponentPanel(ProjectDocument& document, WindowContext& context, QWidget* parent = nullptr);

    // Shows the component at `row`, or an empty panel for -1.
    void ShowComponent(int row);
    int Component() const { return mRow; }
    // Edit mode: the test date and the strength grade can be chosen.
    void SetEditing(bool on);

private:
    void ClearComponentPanel();
    // Fills the panel from the component; the date is read again only for
    // a new component or a changed date text.
    void Fill(bool whole);
    void txt_component_nameChange();
    void txt_component_nameKeyDown();
    void txt_component_conditionChange();
    void chk_pump_tagClick();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ProjectDocument& mDocument;
    WindowContext& mContext;
    int mRow = -1;
    // True while the panel is filled from the model; the change handlers
    // then leave the model alone.
    bool mFilling = false;
    std::string mShownDate;

    QLineEdit* txt_component_name = nullptr;
    QDateEdit* dt_examine_date = nullptr;
    QLineEdit* txt_area_number = nullptr;
    QCheckBox* chk_pump_tag = nullptr;
    QLineEdit* txt_curve_filename = nullptr;
    QLineEdit* txt_fcue = nullptr;
    QLineEdit* txt_fcumin = nullptr;
    QLineEdit* txt_mfcu = nullptr;
    QLineEdit* txt_sfcu = nullptr;
    QLineEdit* txt_component_condition = nullptr;
    QWidget* lbl_strength_degree = nullptr;
    QComboBox* cb_strength_degree = nullptr;
};

}  // namespace rebound
