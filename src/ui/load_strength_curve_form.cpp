#include "ui/load_strength_curve_form.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <filesystem>

#include "evaluation/strength_curve.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "ui/app_fonts.h"
#include "ui/file_list_box.h"

namespace rebound {

TLoadStrengthCurveFrm::TLoadStrengthCurveFrm(AppContext& context, QWidget* parent)
    : QDialog(parent),
      mCurveFolder(CurveFolderOf(context)),
      mContext(context) {
    setObjectName(QStringLiteral("LoadStrengthCurveFrm"));
    setWindowTitle(tr("Load Strength Curve"));
    setFont(song_font(13));
    setFixedSize(299, 227);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 8);

    // The list starts at the start-up folder; FormShow points it at the curve
    // folder.
    FileListBox1 = new FileListBox(StartUpFolder(context), this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(8, 25, 283, 161);

    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(116, 194, 75, 25);
    OKBtn->setDefault(true);

    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(214, 194, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, [this] {
        // The dialog closes with OK whatever the handler meets on its way.
        try {
            if (!OKBtnClick()) {
                return;  // the reason is shown; another file can be chosen
            }
        } catch (const std::exception& error) {
            accept();
            QMessageBox::critical(parentWidget(), QGuiApplication::applicationDisplayName(),
                                  QString::fromLocal8Bit(error.what()));
            return;
        }
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TLoadStrengthCurveFrm::~TLoadStrengthCurveFrm() = default;

void TLoadStrengthCurveFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TLoadStrengthCurveFrm::FormShow() {
    Label1->setText(tr("Current strength curve: ") + platform::to_qstring(mContext.get_setting().curve_file));
    Label1->adjustSize();
    if (!FileListBox1->SetDirectory(mCurveFolder)) {
        // The list keeps showing what it showed; at the first opening that is
        // the start-up folder. The operator is told, without blocking.
        FileListBox1->FillIfEmpty();
        WarnCurveFolderMissing(this, mCurveFolder);
    }
}

void TLoadStrengthCurveFrm::Warn(const QString& text, const QString& details) {
    // Parented so that it outlives the dialog's closing when the dialog has
    // a window to belong to.
    ShowDialogWarning(parentWidget() != nullptr ? parentWidget() : this, text, details);
}

bool TLoadStrengthCurveFrm::OKBtnClick() {
    const QList<QListWidgetItem*> selected = FileListBox1->selectedItems();
    if (mTargetCurve == nullptr || selected.isEmpty()) return true;
    const QString name = selected.front()->text();
    const QString file = FileListBox1->Directory() + QDir::separator() + name;
    Result<Strength_Curve> curve = read_curve_file(platform::to_path(file));
    if (!curve) {
        Warn(tr("The strength curve %1 cannot be read.").arg(name),
             tr("%1: %2").arg(QDir::toNativeSeparators(file), QString::fromStdString(curve.error().message)));
        return false;
    }
    *mTargetCurve = std::move(*curve);
    setting& store = mContext.get_setting();
    store.curve_file = platform::from_qstring(name);
    // A failed write keeps the name for this run; the operator is told that
    // the next start will not know it.
    if (const Result<void> written = store.write_ini(); !written) {
        Warn(tr("The strength curve %1 is used now, but the choice could not be saved for the next start.")
                 .arg(name),
             QString::fromStdString(written.error().message));
    }
    return true;
}

}  // namespace rebound
