// The document and data commands (New, Open, Save, Save As, Quit, import,
// export, create and delete components and areas), the calculation commands
// and the commands that open the window's own dialogs.
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <exception>
#include <fstream>

#include "evaluation/evaluation.h"
#include "fileio/exchange.h"
#include "platform/qt_bridge.h"
#include "ui/about_box.h"
#include "ui/load_strength_curve_form.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

namespace rebound {

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Appends `required` unless the path's extension is exactly that. The rule
// works on bytes and the extensions are ASCII, so the UTF-8 form of the path
// serves.
QString with_extension(const QString& path, const char* required) {
    return QString::fromStdString(with_required_extension(path.toStdString(), required));
}

}  // namespace

// ---- Save ------------------------------------------------------------------

bool TSDIAppForm::SaveProjectAs(bool* cancelled) {
    if (cancelled != nullptr) {
        *cancelled = false;
    }
    const QString chosen = mPrompts->saveFileName(mProjectFilter);
    if (chosen.isEmpty()) {
        if (cancelled != nullptr) {
            *cancelled = true;
        }
        return false;
    }
    CollectProjectPanel();
    mFileName = with_extension(chosen, ".prj");
    return mProject.save(platform::to_path(mFileName));
}

bool TSDIAppForm::SaveProject(bool* cancelled) {
    if (mFileName.isEmpty()) {
        return SaveProjectAs(cancelled);
    }
    if (cancelled != nullptr) {
        *cancelled = false;
    }
    CollectProjectPanel();
    return mProject.save(platform::to_path(mFileName));
}

void TSDIAppForm::SaveAndReport(bool (TSDIAppForm::*save)(bool*)) {
    bool cancelled = false;
    bool saved = false;
    try {
        saved = (this->*save)(&cancelled);
    } catch (const std::exception&) {
        saved = false;
    }
    if (!saved && !cancelled) {
        mPrompts->message(QStringLiteral("Save Project Fail!"));
    }
}

void TSDIAppForm::FileSave1Execute() {
    SaveAndReport(&TSDIAppForm::SaveProject);
}

void TSDIAppForm::FileSaveAs1Execute() {
    SaveAndReport(&TSDIAppForm::SaveProjectAs);
}

// ---- New, Open, Quit ---------------------------------------------------------

void TSDIAppForm::FileNew1Execute() {
    const QMessageBox::StandardButton answer =
        mPrompts->question(QStringLiteral("Message"), QStringLiteral("Save changes to current project?"),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        bool cancelled = false;
        bool saved = false;
        try {
            saved = SaveProjectAs(&cancelled);
        } catch (const std::exception&) {
            saved = false;
        }
        if (!saved) {
            // The project stays as it is. A write that failed is said, so
            // that the operator does not take the old project for saved.
            if (!cancelled) {
                mPrompts->message(QStringLiteral("Save Project Fail!"));
            }
            return;
        }
    } else if (answer != QMessageBox::No) {
        return;
    }
    mProject.reset();
    // The new project has no file yet: Save asks for a name rather than
    // writing over the previous project's file.
    mFileName.clear();
    RefreshProjectPanel();
    RefreshComponentList();
    RefreshAreaGrid();
}

void TSDIAppForm::FileOpen1Execute() {
    const QString chosen = mPrompts->openFileName(mProjectFilter);
    if (chosen.isEmpty()) {
        return;
    }
    mFileName = chosen;
    if (mProject.load(platform::to_path(mFileName))) {
        RefreshAll();
        return;
    }
    mFileName.clear();
    // A load that broke off has already replaced part of the project; the
    // window shows what the project holds now.
    RefreshAll();
    mPrompts->message(QStringLiteral("Open Project Fail!"));
}

void TSDIAppForm::FileExit1Execute() {
    close();
}

void TSDIAppForm::FilePrintSetup1Execute() {
    mPrompts->printSetup(Printer());
}

void TSDIAppForm::HelpAbout1Execute() {
    CreateDialogs();
    mPrompts->showModal(*AboutBox);
}

// ---- Components --------------------------------------------------------------

void TSDIAppForm::act_import_componentExecute() {
    const QString chosen = mPrompts->openFileName(mComponentFilter);
    if (chosen.isEmpty()) {
        return;
    }
    ComponentInfo scratch;
    ImportStatus status = ImportStatus::Failed;
    try {
        status = import_component_file(platform::to_path(chosen), scratch);
    } catch (const std::exception&) {
        status = ImportStatus::Failed;
    }
    switch (status) {
        case ImportStatus::CannotOpen:
            return;
        case ImportStatus::Failed:
            mPrompts->message(QStringLiteral("Import Component Fail!"));
            return;
        case ImportStatus::Imported:
            break;
    }
    mProject.add_component(std::move(scratch));
    RefreshComponentList();
    SelectComponentRow(static_cast<int>(mProject.component_count()) - 1);
}

void TSDIAppForm::act_export_componentExecute() {
    const QList<QTableWidgetItem*> selected = lvComponents->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const ComponentInfo* c = mProject.component(static_cast<std::size_t>(selected.first()->row()));
    if (c == nullptr) {
        return;
    }
    const QString chosen = mPrompts->saveFileName(mExportFilter);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = with_extension(chosen, ".xcmp");
    if (export_component_file(platform::to_path(path), *c) == ExportStatus::Failed) {
        mPrompts->message(QStringLiteral("Save File Fail!"));
    }
}

void TSDIAppForm::act_remove_componentExecute() {
    const QList<QTableWidgetItem*> selected = lvComponents->selectedItems();
    if (selected.isEmpty() || mProject.component_count() < 2) {
        return;
    }
    const int row = selected.first()->row();
    StoreListFlags();
    mProject.remove_component(static_cast<std::size_t>(row));
    RefreshComponentList();
    SelectComponentRow(0);
}

void TSDIAppForm::act_create_componentExecute() {
    StoreListFlags();
    ComponentInfo c;
    AreaData area;
    area.clear();
    c.add_area(area);
    mProject.add_component(std::move(c));
    RefreshComponentList();
    const int last = static_cast<int>(mProject.component_count()) - 1;
    SelectComponentRow(last);
    mCurrentItem = last;
}

void TSDIAppForm::act_create_areaExecute() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr) {
        return;
    }
    AreaData area;
    area.clear();
    c->add_area(area);
    RefreshAreaGrid();
    txt_area_number->setText(QString::number(c->area_count()));
}

void TSDIAppForm::act_remove_areaExecute() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr) {
        return;
    }
    c->remove_last_area();
    RefreshAreaGrid();
    txt_area_number->setText(QString::number(c->area_count()));
}

// ---- Calculation -----------------------------------------------------------

void TSDIAppForm::act_single_caculateExecute() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr) {
        return;
    }
    // Always the standard curve, read afresh; the curve chosen in the
    // settings and the component's own curve name play no part.
    const QString name = QStringLiteral("normal.cur");
    const QString path = mAppFolder + QStringLiteral("/curve/") + name;
    std::ifstream in;
    if (QFileInfo(path).isFile()) {
        in.open(platform::to_path(path), std::ios::binary);
    }
    if (!in.is_open()) {
        mPrompts->message(u8("您所使用的测强曲线") + name + u8("不存在！"));
        return;
    }
    mCurve.read_from(in);
    in.close();
    evaluate_component(*c, mCurve);
    RefreshAreaGrid();
}

void TSDIAppForm::act_create_strength_curveExecute() {
    mPrompts->message(u8("计算测强曲线"));
}

void TSDIAppForm::act_export_reportExecute() {
    mPrompts->message(u8("输出报告文档"));
}

void TSDIAppForm::act_group_caculateExecute() {
    mPrompts->message(u8("批量计算构件"));
}

void TSDIAppForm::act_load_strength_curveExecute() {
    CreateDialogs();
    LoadStrengthCurveFrm->mTargetCurve = &mCurve;
    try {
        mPrompts->showModal(*LoadStrengthCurveFrm);
    } catch (const std::exception&) {
        mPrompts->message(u8("测强曲线读取失败！"));
    }
}

}  // namespace rebound
