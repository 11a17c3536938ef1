// The component list: one row per component (number, name, date), the row
// selected being the current component that the component panel and the
// grid show. It follows the document: rebuilt when components come or go,
// a row rewritten when its component changes.
#pragma once

#include <QTableWidget>

class QMenu;

namespace rebound {

class ProjectDocument;

class ComponentList : public QTableWidget {
    Q_OBJECT
public:
    explicit ComponentList(ProjectDocument& document, QWidget* parent = nullptr);

    // Item data of a row's number: true when the component holds readings
    // typed by hand (the row is marked).
    static constexpr int kTypedRole = Qt::UserRole + 1;

    // The list row (= component position) that the panels show; -1 for none.
    int CurrentRow() const { return mCurrentItem; }
    // The row selected in the list, which is the current row except after
    // the selection has been cleared; -1 for none.
    int SelectedRow() const;

    // Rebuilds the rows from the project; no row is current afterwards.
    void RefreshComponentList();
    // Selects list row `row` (which makes its component current).
    void SelectComponentRow(int row);
    // The pop-up menu of the list.
    void SetPopupMenu(QMenu* menu) { mPopup = menu; }

signals:
    // The current row changed (-1: none).
    void currentChanged(int row);
    // The Delete key was pressed in the list.
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void lvComponentsSelectItem();
    void ShowRow(int row);
    void SetBatch(bool batch);
    void SetCurrent(int row);

    ProjectDocument& mDocument;
    QMenu* mPopup = nullptr;
    int mCurrentItem = -1;
    // The project is inspected by batch: the rows show check boxes.
    bool mBatch = false;
    // True while a row is being written: its changes are no clicks.
    bool mShowing = false;
};

}  // namespace rebound
