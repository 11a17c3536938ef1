// The test-area grid: one row per area of the current component, and its
// in-place editors: readings typed into their cells, and three drop-down
// selectors for carbonation depth, hammer angle and tested surface. The
// editors work only while editing is switched on; every edit is a document
// command, evaluated in the same undo step when a curve can be had.
//
// The grid's own coordinates count the header as row 0 and the row-number
// column as column 0. On screen the header row is the table's header, and the
// row numbers are drawn in the vertical header so that they stay in place
// when the grid scrolls sideways; column 0 keeps the same texts for readers.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "document/project_document.h"

class QColor;
class QComboBox;
class QMenu;
class QTableWidget;

namespace rebound {


// Number of columns of the test-area grid: row number, 16 readings, depth,
// mean rebound value, angle, direction, strength.
inline constexpr int kGridColumnCount = 22;
inline constexpr int kGridDepthColumn = 17;
inline constexpr int kGridMeanColumn = 18;
inline constexpr int kGridAngleColumn = 19;
inline constexpr int kGridSideColumn = 20;
inline constexpr int kGridStrengthColumn = 21;

class AreaGrid : public QWidget {
    Q_OBJECT
public:
    explicit AreaGrid(ProjectDocument& document, QWidget* parent = nullptr);

    // Shows the areas of the component at `row` (-1: none).
    void ShowComponent(int row);
    void RefreshAreaGrid();
    // The pop-up menu of the grid in edit mode (create and remove area).
    void SetPopupMenu(QMenu* menu) { mPopup = menu; }
    // Switches the in-place editors on or off.
    void SetEditing(bool on);
    // Where the messages of edits go, and how they word a missing curve.
    void SetMessageSink(std::function<void(const QString&)> sink) { mMessage = std::move(sink); }
    void SetCurveProblemText(std::function<QString(const CurveProblem&)> text) {
        mCurveProblemText = std::move(text);
    }

    // The colour of readings typed by hand, in the grid and the list.
    static QColor TypedReadingColor();
    static QString DepthText(int carbonation_index);
    static QString AngleText(int angle_index);
    static QString SideText(int surface_index);

private:
    int GridRowCount() const;
    QString GridCellText(int column, int row) const;
    void SetGridCell(int column, int row, const QString& text);
    void sg_areasSelectCell(int column, int row);
    void sg_areasSetEditText(int column, int row, const QString& text);
    void cbDepth_SelectedChange();
    void cbAngle_SelectedChange();
    void cbSide_SelectedChange();
    void SelectorChosen(QComboBox* selector, int which, int column);
    void HideSelectors();
    void CreateGridSelectors();
    // After an edit: the message when the figures could not follow (once,
    // when they followed before).
    void ReportEdit(const ProjectDocument::AreaEdit& edit, bool wasStale);

    ProjectDocument& mDocument;
    QTableWidget* sg_areas = nullptr;
    QComboBox* cbDepth_Selected = nullptr;
    QComboBox* cbAngle_Selected = nullptr;
    QComboBox* cbSide_Selected = nullptr;
    QStringList mColumnTitles;
    int mRow = -1;
    // 0-based area index under an in-place selector; -1 for none.
    int mCurrentAreaRow = -1;
    bool mEditing = false;
    // True while the grid writes its own cells.
    bool mFilling = false;
    QMenu* mPopup = nullptr;
    std::function<void(const QString&)> mMessage;
    std::function<QString(const CurveProblem&)> mCurveProblemText;
};

}  // namespace rebound
