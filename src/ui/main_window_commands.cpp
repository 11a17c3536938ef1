// The document and data commands (New, Open, Save, Save As, Quit, import,
// export, create and delete components and areas), the calculation commands
// and the commands that open the window's own dialogs.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTableWidget>
#include <algorithm>
#include <exception>

#include "document/project_dates.h"
#include "evaluation/evaluation.h"
#include "fileio/exchange.h"
#include "model/number_text.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"
#include "platform/text_codec.h"
#include "settings/setting.h"
#include "ui/about_box.h"
#include "ui/create_strength_curve_form.h"
#include "ui/error_text.h"
#include "ui/load_strength_curve_form.h"
#include "ui/area_grid.h"
#include "ui/batch_form.h"
#include "ui/component_list.h"
#include "ui/file_filters.h"
#include "ui/main_window.h"
#include "ui/report_commands.h"
#include "ui/user_prompts.h"

namespace rebound {

namespace {

// Why the curve cannot evaluate, as the operator reads it.
QString CurveDefectText(const CurveDefect& d) {
    using Kind = CurveDefect::Kind;
    const auto value = QString::fromStdString(shortest_text(d.value));
    switch (d.kind) {
        case Kind::Missing:
            return TSDIAppForm::tr("no such file");
        case Kind::Folder:
            return TSDIAppForm::tr("it is a folder, not a file");
        case Kind::NotRegularFile:
            return TSDIAppForm::tr("it is not a regular file");
        case Kind::CannotOpen:
            return TSDIAppForm::tr("it cannot be opened");
        case Kind::TooSmall:
            return TSDIAppForm::tr(
                       "its header announces %1 rows and %2 columns; the evaluation needs at least "
                       "%3 rows and %4 columns")
                .arg(d.row_count)
                .arg(d.column_count)
                .arg(kEvaluationCurveRows)
                .arg(kEvaluationCurveColumns);
        case Kind::ValuesMissing:
            return TSDIAppForm::tr("it holds %1 of the %2 values its header announces")
                .arg(d.present)
                .arg(d.announced);
        case Kind::ValueNotFinite:
            return TSDIAppForm::tr("the value at row %1, column %2 (counted from 0) is %3")
                .arg(d.row)
                .arg(d.column)
                .arg(value);
        case Kind::ValueOutOfRange:
            return TSDIAppForm::tr(
                       "the value at row %1, column %2 (counted from 0) is %3 MPa, outside 0 to %4 MPa")
                .arg(d.row)
                .arg(d.column)
                .arg(value, QString::fromStdString(shortest_text(kMaxCurveStrength)));
    }
    return {};
}

// The message of a curve that cannot evaluate: the file and what is wrong.
QString UnusableCurveText(const QString& path, const CurveDefect& defect) {
    return TSDIAppForm::tr("The strength curve %1 cannot be used: %2.\nNothing was calculated.")
        .arg(path, CurveDefectText(defect));
}

// What the operator must know after a component was evaluated: areas below
// and above the curve's range (their strength is 0.0), an estimate the curve
// cannot support, carbonation that was not measured. Empty when all is well.
QString EvaluationWarningText(const ComponentInfo& c, const ComponentEvaluation& result) {
    QStringList lines;
    const std::string below = result.area_numbers(CurveSide::Below);
    const std::string above = result.area_numbers(CurveSide::Above);
    if (!below.empty()) {
        lines << TSDIAppForm::tr("Areas below the range of the strength curve, without a strength: %1")
                     .arg(QString::fromStdString(below));
    }
    if (!above.empty()) {
        lines << TSDIAppForm::tr("Areas above the range of the strength curve, without a strength: %1")
                     .arg(QString::fromStdString(above));
        lines << TSDIAppForm::tr("The estimated strength is not valid with this curve.");
    }
    if (result.carbonation_not_measured) {
        lines << TSDIAppForm::tr(
            "Carbonation was not measured in any area; the areas were converted at 0.0 mm.");
    }
    if (lines.isEmpty()) {
        return {};
    }
    lines.prepend(TSDIAppForm::tr("Component %1:").arg(platform::to_qstring(c.component_name)));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

// ---- Save ------------------------------------------------------------------

bool TSDIAppForm::SaveProjectAs(bool* cancelled) {
    if (cancelled != nullptr) {
        *cancelled = false;
    }
    // The dialog starts with the current file, in its folder.
    const QString chosen = Prompts().saveFileName(ProjectFilter(), mDocument->fileName());
    if (chosen.isEmpty()) {
        if (cancelled != nullptr) {
            *cancelled = true;
        }
        return false;
    }
    const QString target = ProjectDocument::projectPathFor(chosen);
    // The dialog asked about the name it returned; the name with ".prj"
    // added may be another existing file, which it never saw.
    if (target != chosen && QFileInfo::exists(target)) {
        const QMessageBox::StandardButton answer = Prompts().question(
            tr("Message"), tr("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(target)),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            if (cancelled != nullptr) {
                *cancelled = true;
            }
            return false;
        }
    }
    mSaveError.clear();
    // A project never replaces a file the window works from: the curve it
    // evaluates with or the settings file, whatever name reaches them.
    setting& store = mContext.app().get_setting();
    const std::filesystem::path inputs[] = {
        mContext.app().curve_folder() / platform::path_from_ansi(store.evaluation_curve_file()), store.ini_path};
    if (const Result<void> distinct = platform::refuse_output_over_inputs(platform::to_path(target), inputs);
        !distinct) {
        mSaveError = tr("%1: %2").arg(QDir::toNativeSeparators(target), ErrorText::Of(distinct.error()));
        return false;
    }
    Result<void> saved = mDocument->saveAs(target);
    if (!saved && ProjectDocument::isOutsideChange(saved.error())) {
        // Only the document's own file, changed by another program since.
        std::optional<platform::FileLock> lock;
        switch (AskAboutOutsideChange(lock)) {
            case QMessageBox::Yes:
                saved = mDocument->saveAs(target, true);
                break;
            case QMessageBox::No:
                return SaveProjectAs(cancelled);
            default:
                if (cancelled != nullptr) *cancelled = true;
                return false;
        }
    }
    if (!saved) {
        mSaveError = ErrorText::Of(saved.error());
        return false;
    }
    AddRecentProject(target);
    return true;
}

QMessageBox::StandardButton TSDIAppForm::AskAboutOutsideChange(std::optional<platform::FileLock>& lock) {
    const std::filesystem::path path = platform::to_path(mDocument->fileName());
    if (!platform::FileLock::held(path)) {
        // Busy: another program is saving right now; the answer is then
        // checked against what it leaves, as for a program without the lock.
        if (Result<platform::FileLock> taken = platform::FileLock::acquire(path); taken) {
            lock.emplace(std::move(*taken));
        }
    }
    for (;;) {
        const platform::FileIdentity asked = platform::file_identity(path, true);
        const QMessageBox::StandardButton answer = Prompts().question(
            tr("Message"),
            tr("%1 was changed by another program since it was opened or saved here.\n\n"
               "Yes: overwrite it with this project, losing the other program's changes.\n"
               "No: save this project under another name.\n"
               "Cancel: do not save.")
                .arg(QDir::toNativeSeparators(mDocument->fileName())),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (!platform::file_identity(path, true).differs_from(asked)) return answer;
    }
}

void TSDIAppForm::OfferOutsideChange() {
    // One question at a time: the question itself takes and gives back the
    // window's activation.
    if (mOfferingReload || !mDocument->outsideChangeToOffer()) {
        return;
    }
    mOfferingReload = true;
    const QString name = QDir::toNativeSeparators(mDocument->fileName());
    const QString text =
        mDocument->isModified()
            ? tr("%1 was changed by another program.\nReload it and discard the changes not saved here?").arg(name)
            : tr("%1 was changed by another program.\nReload it?").arg(name);
    if (Prompts().question(tr("Message"), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        const QString path = mDocument->fileName();
        if (const Result<void> reloaded = mDocument->reload(); !reloaded) {
            Prompts().message(OpenFailureText(path, reloaded.error()));
            mDocument->declineOutsideChange();
        }
    } else {
        mDocument->declineOutsideChange();
    }
    mOfferingReload = false;
}

bool TSDIAppForm::SaveProject(bool* cancelled) {
    if (mDocument->fileName().isEmpty()) {
        return SaveProjectAs(cancelled);
    }
    if (cancelled != nullptr) {
        *cancelled = false;
    }
    mSaveError.clear();
    Result<void> saved = mDocument->save();
    if (!saved && ProjectDocument::isOutsideChange(saved.error())) {
        // Never over another program's changes without asking.
        std::optional<platform::FileLock> lock;
        switch (AskAboutOutsideChange(lock)) {
            case QMessageBox::Yes:
                saved = mDocument->save(true);
                break;
            case QMessageBox::No:
                return SaveProjectAs(cancelled);
            default:
                if (cancelled != nullptr) *cancelled = true;
                return false;
        }
    }
    if (!saved) {
        mSaveError = ErrorText::Of(saved.error());
        return false;
    }
    AddRecentProject(mDocument->fileName());
    return true;
}

bool TSDIAppForm::ReportSaveFailure() {
    QString text = tr("Save Project Fail!");
    if (!mDocument->fileName().isEmpty()) {
        text += QLatin1Char('\n') + tr("%1: %2").arg(QDir::toNativeSeparators(mDocument->fileName()), mSaveError);
    }
    // The project is still only in memory: offer another place for it.
    text += QStringLiteral("\n\n") + tr("Save the project under another name?");
    return Prompts().question(UserPrompts::MessageTitle(), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool TSDIAppForm::SaveAndReport(bool (TSDIAppForm::*save)(bool*)) {
    bool cancelled = false;
    bool saved = false;
    try {
        saved = (this->*save)(&cancelled);
    } catch (const std::exception& error) {
        mSaveError = QString::fromLocal8Bit(error.what());
        saved = false;
    }
    if (!saved && !cancelled && ReportSaveFailure()) {
        return SaveAndReport(&TSDIAppForm::SaveProjectAs);
    }
    return saved;
}

void TSDIAppForm::FileSave1Execute() {
    SaveAndReport(&TSDIAppForm::SaveProject);
}

void TSDIAppForm::FileSaveAs1Execute() {
    SaveAndReport(&TSDIAppForm::SaveProjectAs);
}

bool TSDIAppForm::MaybeSave() {
    if (!mDocument->isModified()) {
        return true;
    }
    const QMessageBox::StandardButton answer =
        Prompts().question(tr("Message"), tr("Save changes to current project?"),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No) {
        return true;
    }
    if (answer != QMessageBox::Yes) {
        return false;
    }
    // A save that is cancelled or fails cancels the whole action; a failed
    // write is said, so that the operator does not take the project for saved.
    return SaveAndReport(&TSDIAppForm::SaveProject);
}

// ---- New, Open, Quit ---------------------------------------------------------

void TSDIAppForm::FileNew1Execute() {
    if (!MaybeSave()) {
        return;
    }
    // The new project has no file yet: Save asks for a name rather than
    // writing over the previous project's file.
    mDocument->newProject();
}

QString TSDIAppForm::OpenFailureText(const QString& path, const FileError& error) {
    const QString name = QDir::toNativeSeparators(path);
    const QString detail = ErrorText::Of(error);
    QString what;
    if (error.kind == FileError::Kind::Malformed) {
        // What the operator can do about it first, the reader's detail after.
        if (component_file_kind_of(platform::to_path(path)) != ComponentFileKind::Unsupported) {
            what = tr("%1 is not a project file but a component file; Import Component reads it.").arg(name);
        } else if (!error.sentences.empty() && error.sentences.front().code == "component_of") {
            what = tr("%1 is a damaged project file.").arg(name);
        } else {
            what = tr("%1 is not a project file.").arg(name);
        }
        return tr("Open Project Fail!") + QLatin1Char('\n') + what + QLatin1Char('\n') + detail;
    }
    return tr("Open Project Fail!") + QLatin1Char('\n') + tr("%1: %2").arg(name, detail);
}

bool TSDIAppForm::OpenProject(const QString& path) {
    if (const Result<void> opened = mDocument->open(path); !opened) {
        // The file was read into a project of its own: the window, the
        // project and its file name stay as they were.
        Prompts().message(OpenFailureText(path, opened.error()));
        return false;
    }
    AddRecentProject(path);
    // Dates no known form reads are kept as they are; they are named once
    // for the file, not each time a component is shown.
    const QString unreadable =
        ProjectDates::message(ProjectDates::unreadable(mDocument->project(), mContext.app().clock()));
    if (!unreadable.isEmpty()) {
        Prompts().message(unreadable);
    }
    return true;
}

void TSDIAppForm::FileOpen1Execute() {
    if (!MaybeSave()) {
        return;
    }
    const QString chosen = Prompts().openFileName(ProjectFilter());
    if (chosen.isEmpty()) {
        return;
    }
    OpenProject(chosen);
}

void TSDIAppForm::FileExit1Execute() {
    // The close handler asks about unsaved changes.
    close();
}

void TSDIAppForm::FilePrintSetup1Execute() {
    mReportCommands->FilePrintSetup1Execute();
}

void TSDIAppForm::act_printExecute() {
    mReportCommands->act_printExecute();
}

void TSDIAppForm::act_print_previewExecute() {
    mReportCommands->act_print_previewExecute();
}

void TSDIAppForm::act_export2excelExecute() {
    mReportCommands->act_export2excelExecute();
}

void TSDIAppForm::act_export2txtExecute() {
    mReportCommands->act_export2txtExecute();
}

void TSDIAppForm::act_test_recordsExecute() {
    mReportCommands->act_test_recordsExecute();
}

void TSDIAppForm::HelpAbout1Execute() {
    CreateDialogs();
    Prompts().showModal(*AboutBox);
}

// ---- Components --------------------------------------------------------------

void TSDIAppForm::act_import_componentExecute() {
    const QStringList chosen = Prompts().openFileNames(ComponentFilter());
    if (chosen.isEmpty()) {
        return;
    }
    ImportComponentFiles(chosen);
}

void TSDIAppForm::ImportComponentFiles(const QStringList& paths) {
    // Few files are read in a blink; many show a dialog that can stop them.
    constexpr int kProgressFrom = 10;
    std::unique_ptr<ProgressHandle> progress;
    const auto onProgress = [&](int done, int total) {
        if (total < kProgressFrom) {
            return true;
        }
        if (!progress) {
            progress = Prompts().progress(tr("Import Component"), tr("Importing %n component file(s)...", nullptr, total),
                                          total);
        }
        return progress->update(done);
    };
    const auto askSkip = [this](const QStringList& names) {
        constexpr int kNamesShown = 10;
        QStringList shown = names.mid(0, kNamesShown);
        if (names.size() > kNamesShown) {
            shown << tr("... and %n more", nullptr, static_cast<int>(names.size() - kNamesShown));
        }
        const QString text =
            tr("These components are already in the project with the same name, date and readings:") +
            QLatin1Char('\n') + shown.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
            tr("Skip them? (No imports them again.)");
        return Prompts().question(tr("Import Component"), text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    ImportReport report;
    try {
        report = mDocument->importFiles(paths, askSkip, onProgress);
    } catch (const std::exception& error) {
        progress.reset();
        Prompts().message(tr("Import Component Fail!") + QLatin1Char('\n') +
                          QString::fromLocal8Bit(error.what()));
        return;
    }
    progress.reset();
    if (report.failures.empty()) {
        return;
    }
    // One message after the import: every file that failed, with the reason.
    constexpr int kFailuresShown = 20;
    QStringList lines;
    for (const ImportFailure& f : report.failures) {
        if (lines.size() == kFailuresShown) {
            lines << tr("... and %n more", nullptr, static_cast<int>(report.failures.size()) - kFailuresShown);
            break;
        }
        lines << tr("%1: %2").arg(QFileInfo(f.path).fileName(), ErrorText::Of(f.error));
    }
    Prompts().message(tr("Import Component Fail!") + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

void TSDIAppForm::act_export_componentExecute() {
    const ComponentInfo* c = mDocument->project().component(static_cast<std::size_t>(mComponentList->SelectedRow()));
    if (c == nullptr) {
        return;
    }
    const QString chosen = Prompts().saveFileName(ExportFilter());
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = with_required_extension(chosen, ".xcmp");
    const Result<void> written = export_component_file(platform::to_path(path), *c);
    // A file that cannot be created ends the command silently.
    if (!written && written.error().kind != FileError::Kind::CannotOpen) {
        Prompts().message(ErrorText::WithReason(tr("Save File Fail!"), written.error()));
    }
}

void TSDIAppForm::act_remove_componentExecute() {
    const int row = mComponentList->SelectedRow();
    if (row < 0) {
        return;
    }
    // The document refuses the last component; its notice rebuilds the list
    // and makes the first component current.
    mDocument->removeComponent(static_cast<std::size_t>(row));
}

void TSDIAppForm::DeleteComponentAsking() {
    const int row = mComponentList->SelectedRow();
    const ComponentInfo* c = mDocument->project().component(static_cast<std::size_t>(row));
    if (c == nullptr || mDocument->project().component_count() < 2) {
        return;  // as the command: nothing to delete, or the last component
    }
    const QMessageBox::StandardButton answer =
        Prompts().question(tr("Message"), tr("Delete component \"%1\"?").arg(platform::to_qstring(c->component_name)),
                           QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        act_remove_componentExecute();
    }
}

void TSDIAppForm::act_create_componentExecute() {
    // The document's notice rebuilds the list and selects the new last row.
    mDocument->createComponent();
}

void TSDIAppForm::act_create_areaExecute() {
    if (CurrentRow() < 0) {
        return;
    }
    mDocument->addArea(static_cast<std::size_t>(CurrentRow()));
}

void TSDIAppForm::act_remove_areaExecute() {
    if (CurrentRow() < 0) {
        return;
    }
    mDocument->removeLastArea(static_cast<std::size_t>(CurrentRow()));
}

// ---- Calculation -----------------------------------------------------------

QString TSDIAppForm::CurveProblemText(const CurveProblem& problem) {
    if (problem.outside_folder || problem.defect.kind == CurveDefect::Kind::Missing) {
        const QString name = platform::to_qstring(problem.name);  // a file name, never translated
        return tr("The strength curve %1 you use does not exist!").arg(name);
    }
    return UnusableCurveText(QDir::toNativeSeparators(platform::from_path(problem.path)), problem.defect);
}

void TSDIAppForm::act_single_caculateExecute() {
    const int row = CurrentRow();
    if (row < 0) {
        return;
    }
    // The chosen curve (or the standard one); the component's own curve
    // name plays no part.
    const ProjectDocument::Evaluated done = mDocument->evaluateComponent(static_cast<std::size_t>(row));
    if (done.curveProblem) {
        Prompts().message(CurveProblemText(*done.curveProblem));
        return;
    }
    if (!done.evaluation) {
        return;
    }
    const QString warning =
        EvaluationWarningText(mDocument->project().components[static_cast<std::size_t>(row)], *done.evaluation);
    if (!warning.isEmpty()) {
        Prompts().message(warning);
    }
}

void TSDIAppForm::act_create_strength_curveExecute() {
    if (CreateStrengthCurveFrm == nullptr) {
        CreateStrengthCurveFrm = new TCreateStrengthCurveFrm(mContext, this);
    }
    Prompts().showModal(*CreateStrengthCurveFrm);
}

void TSDIAppForm::act_export_reportExecute() {
    Prompts().message(tr("Export Report Document"));
}

void TSDIAppForm::act_group_caculateExecute() {
    if (mBatchForm == nullptr) {
        mBatchForm = new TBatchForm(*mDocument, mContext, *mComponentList, *mReportCommands, this);
    }
    mBatchForm->Refresh();
    mBatchForm->show();
    mBatchForm->raise();
    mBatchForm->activateWindow();
}

void TSDIAppForm::act_load_strength_curveExecute() {
    CreateDialogs();
    // The dialog stores the chosen name; the document's evaluation curve
    // follows it.
    Strength_Curve chosen;
    LoadStrengthCurveFrm->mTargetCurve = &chosen;
    try {
        Prompts().showModal(*LoadStrengthCurveFrm);
    } catch (const std::exception&) {
        Prompts().message(tr("The strength curve could not be read!"));
    }
    LoadStrengthCurveFrm->mTargetCurve = nullptr;
}

}  // namespace rebound
