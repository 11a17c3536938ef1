// The strength-curve selection dialog: lists the files of the curve folder,
// reads the one chosen into the target curve and remembers its name in the
// settings store, so that the next start reads the same curve.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace rebound {

class AppContext;
class FileListBox;
struct Strength_Curve;

class TLoadStrengthCurveFrm : public QDialog {
    Q_OBJECT
public:
    // The list starts at the context's application folder; the curve folder
    // is the "curve" folder below it, and the curve name goes to the
    // context's settings store.
    explicit TLoadStrengthCurveFrm(AppContext& context, QWidget* parent = nullptr);
    ~TLoadStrengthCurveFrm() override;

    QLabel* Label1 = nullptr;
    FileListBox* FileListBox1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // Start-up folder + native separator + "curve".
    QString mCurveFolder;
    // The curve that OK reads into; none until the opening command sets it.
    Strength_Curve* mTargetCurve = nullptr;

    // Runs each time the dialog is shown: shows the stored curve name and
    // points the list at the curve folder.
    void FormShow();
    // Runs when OK is pressed, before the dialog closes: reads the selected
    // file into mTargetCurve and stores its name. Changes nothing when no
    // entry is selected or no target is set. A file that cannot be read is
    // named with the reason, and false keeps the dialog open for another
    // choice; a name that cannot be stored for the next start is said too.
    bool OKBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A warning that does not block the dialog.
    void Warn(const QString& text, const QString& details);

private:
    AppContext& mContext;
};

}  // namespace rebound
