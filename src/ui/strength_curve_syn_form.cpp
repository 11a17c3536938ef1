#include "ui/strength_curve_syn_form.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <vector>

#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "ui/app_fonts.h"
#include "ui/file_list_box.h"

namespace rebound {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, w, h);
    return button;
}

}  // namespace

TStrengthCurve_Syn_Form::TStrengthCurve_Syn_Form(const AppContext& context, QWidget* parent)
    : QDialog(parent), mCurveFolder(CurveFolderOf(context)) {
    setObjectName(QStringLiteral("StrengthCurve_Syn_Form"));
    setWindowTitle(tr("Choices Dialog"));
    setFont(song_font(13));
    setFixedSize(345, 255);

    SrcLabel = new QLabel(tr("Device curves:"), this);
    SrcLabel->setObjectName(QStringLiteral("SrcLabel"));
    SrcLabel->setGeometry(8, 8, 145, 16);
    DstLabel = new QLabel(tr("Curves on this computer:"), this);
    DstLabel->setObjectName(QStringLiteral("DstLabel"));
    DstLabel->setGeometry(192, 8, 145, 16);

    // Both lists start at the start-up folder; SrcList stays there, DstList
    // is pointed at the curve folder by FormShow.
    SrcList = new FileListBox(StartUpFolder(context), this);
    SrcList->setObjectName(QStringLiteral("SrcList"));
    SrcList->setGeometry(8, 24, 144, 185);
    DstList = new FileListBox(StartUpFolder(context), this);
    DstList->setObjectName(QStringLiteral("DstList"));
    DstList->setGeometry(190, 25, 144, 185);

    IncludeBtn = MakeButton(this, "IncludeBtn", QStringLiteral(">"), 160, 32, 24, 24);
    IncAllBtn = MakeButton(this, "IncAllBtn", QStringLiteral(">>"), 160, 64, 24, 24);
    ExcludeBtn = MakeButton(this, "ExcludeBtn", QStringLiteral("<"), 160, 96, 24, 24);
    ExAllBtn = MakeButton(this, "ExAllBtn", QStringLiteral("<<"), 160, 128, 24, 24);
    ExcludeBtn->setEnabled(false);
    ExAllBtn->setEnabled(false);
    // The move buttons act on the lists only; Enter stays with OK.
    for (QPushButton* button : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn}) button->setAutoDefault(false);

    OKBtn = MakeButton(this, "OKBtn", tr("OK"), 183, 220, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = MakeButton(this, "CancelBtn", tr("Cancel"), 263, 220, 75, 25);

    connect(IncludeBtn, &QPushButton::clicked, this, &TStrengthCurve_Syn_Form::IncludeBtnClick);
    connect(IncAllBtn, &QPushButton::clicked, this, &TStrengthCurve_Syn_Form::IncAllBtnClick);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TStrengthCurve_Syn_Form::ExcludeBtnClick);
    connect(ExAllBtn, &QPushButton::clicked, this, &TStrengthCurve_Syn_Form::ExcAllBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TStrengthCurve_Syn_Form::~TStrengthCurve_Syn_Form() = default;

void TStrengthCurve_Syn_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TStrengthCurve_Syn_Form::FormShow() {
    SrcList->FillIfEmpty();
    if (!DstList->SetDirectory(mCurveFolder)) {
        // DstList keeps what it showed (the start-up folder at first); the
        // operator is told without blocking.
        DstList->FillIfEmpty();
        WarnCurveFolderMissing(this, mCurveFolder);
    }
}

void TStrengthCurve_Syn_Form::IncludeBtnClick() {
    const int index = GetFirstSelection(SrcList);
    MoveSelected(SrcList, DstList);
    SetItem(SrcList, index);
}

void TStrengthCurve_Syn_Form::ExcludeBtnClick() {
    const int index = GetFirstSelection(DstList);
    MoveSelected(DstList, SrcList);
    SetItem(DstList, index);
}

void TStrengthCurve_Syn_Form::IncAllBtnClick() {
    MoveAll(SrcList, DstList);
    SetItem(SrcList, 0);
}

void TStrengthCurve_Syn_Form::ExcAllBtnClick() {
    MoveAll(DstList, SrcList);
    SetItem(DstList, 0);
}

void TStrengthCurve_Syn_Form::MoveSelected(FileListBox* list, FileListBox* target) {
    // The selection is taken before anything moves: removing the current entry
    // lets the view select a neighbour, which must not move as well.
    std::vector<int> selected;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) selected.push_back(i);
    }
    for (auto row = selected.rbegin(); row != selected.rend(); ++row) target->AddEntry(list->takeItem(*row));
}

void TStrengthCurve_Syn_Form::MoveAll(FileListBox* list, FileListBox* target) {
    while (list->count() > 0) target->AddEntry(list->takeItem(0));
}

int TStrengthCurve_Syn_Form::GetFirstSelection(FileListBox* list) const {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) return i;
    }
    return -1;
}

void TStrengthCurve_Syn_Form::SetItem(FileListBox* list, int index) {
    list->setFocus();
    if (list->count() == 0) {
        list->clearSelection();
        list->setCurrentRow(-1);
    } else {
        list->setCurrentRow(std::clamp(index, 0, list->count() - 1), QItemSelectionModel::ClearAndSelect);
    }
    SetButtons();
}

void TStrengthCurve_Syn_Form::SetButtons() {
    const bool src = SrcList->count() > 0;
    const bool dst = DstList->count() > 0;
    IncludeBtn->setEnabled(src);
    IncAllBtn->setEnabled(src);
    ExcludeBtn->setEnabled(dst);
    ExAllBtn->setEnabled(dst);
}

}  // namespace rebound
