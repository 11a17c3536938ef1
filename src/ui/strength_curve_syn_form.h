// The curve synchronisation dialog: device curves (files of the start-up
// folder) on the left, local curves (files of the curve folder) on the right,
// and buttons that move entries between the two lists. Moving entries changes
// only the lists; no file is copied, moved or deleted.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace rebound {

class AppContext;
class FileListBox;

class TStrengthCurve_Syn_Form : public QDialog {
    Q_OBJECT
public:
    // The context's application folder is the start-up folder: SrcList shows
    // it for good, DstList is pointed at its "curve" folder when the dialog
    // is shown.
    explicit TStrengthCurve_Syn_Form(const AppContext& context, QWidget* parent = nullptr);
    ~TStrengthCurve_Syn_Form() override;

    QLabel* SrcLabel = nullptr;
    QLabel* DstLabel = nullptr;
    FileListBox* SrcList = nullptr;
    FileListBox* DstList = nullptr;
    QPushButton* IncludeBtn = nullptr;
    QPushButton* IncAllBtn = nullptr;
    QPushButton* ExcludeBtn = nullptr;
    QPushButton* ExAllBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // Start-up folder + native separator + "curve".
    QString mCurveFolder;

    // Runs each time the dialog is shown.
    void FormShow();
    // ">": moves the selected entry of SrcList to DstList.
    void IncludeBtnClick();
    // ">>": moves every entry of SrcList to DstList.
    void IncAllBtnClick();
    // "<": moves the selected entry of DstList to SrcList.
    void ExcludeBtnClick();
    // "<<": moves every entry of DstList to SrcList.
    void ExcAllBtnClick();

    // Every selected entry of `list`, last first, goes to its sorted place in
    // `target`.
    void MoveSelected(FileListBox* list, FileListBox* target);
    // 0-based position of the first selected entry of `list`, -1 when none.
    int GetFirstSelection(FileListBox* list) const;
    // Focuses `list` and selects the entry at `index`, clamped to the list
    // (nothing when the list is empty); then SetButtons.
    void SetItem(FileListBox* list, int index);
    // ">" and ">>" are enabled when SrcList has entries, "<" and "<<" when
    // DstList has entries.
    void SetButtons();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void MoveAll(FileListBox* list, FileListBox* target);
};

}  // namespace rebound
