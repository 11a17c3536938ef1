#include "ui/batch_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <set>

#include "document/project_document.h"
#include "evaluation/spare_texts.h"
#include "model/number_text.h"
#include "platform/qt_bridge.h"
#include "report/batch_fields.h"
#include "ui/component_list.h"
#include "ui/report_commands.h"
#include "ui/user_prompts.h"
#include "ui/window_context.h"

namespace rebound {

namespace {

enum CoreColumn { kCoreComponent, kCoreArea, kCoreStrength, kCoreAreaStrength, kCoreRatio, kCoreColumns };

QString tenth(double v) {
    return QString::fromStdString(one_decimal(v));
}

// A whole number from 1 in a cell, or 0.
std::size_t cell_count(const QTableWidgetItem* item) {
    if (!item) return 0;
    const std::string text = item->text().trimmed().toStdString();
    std::size_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() ? 0 : v;
}

// A strength in a cell, written with "." whatever the locale; 0 when none.
double cell_strength(const QTableWidgetItem* item) {
    if (!item) return 0.0;
    const std::string text = item->text().trimmed().toStdString();
    double v = 0.0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return 0.0;
    return v > 0.0 && v <= batch_rules::kMaxCoreStrength ? v : 0.0;
}

QTableWidgetItem* read_only(const QString& text, Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setTextAlignment(align);
    return item;
}

}  // namespace

// The window's words for the core's verdicts, advice and errors, in the
// window's language.
QString TBatchForm::ReasonText(const BatchReason& reason) {
    using Kind = BatchReason::Kind;
    switch (reason.kind) {
        case Kind::NoComponents:
            return tr("no component is ticked");
        case Kind::ComponentWithoutAreas: {
            QStringList numbers;
            for (std::size_t c : reason.components) numbers << QString::number(c + 1);
            return tr("components without test areas: %1").arg(numbers.join(QStringLiteral(", ")));
        }
        case Kind::AreaOutsideCurve:
        case Kind::ImplausibleArea: {
            QStringList areas;
            for (const BatchReason::AreaRef& a : reason.areas) {
                areas << QStringLiteral("%1/%2").arg(a.component + 1).arg(a.area + 1);
            }
            if (reason.kind == Kind::ImplausibleArea) {
                return tr("test areas with a stored strength outside 0 to %1 MPa or not a number "
                          "(component/area): %2")
                    .arg(tenth(batch_rules::kMaxAreaStrength), areas.join(QStringLiteral(", ")));
            }
            return tr("test areas outside the range of the curve (component/area): %1")
                .arg(areas.join(QStringLiteral(", ")));
        }
        case Kind::EstimateNotPositive:
            return tr("the estimate is not a strength above 0 MPa");
        case Kind::TooFewAreas:
            return tr("fewer than 2 test areas, no standard deviation");
        case Kind::LowMeanSpread:
            return tr("mean below %1 MPa and standard deviation above %2 MPa")
                .arg(tenth(batch_rules::kLowMeanLimit), tenth(batch_rules::kLowMeanMaxSd));
        case Kind::MidMeanSpread:
            return tr("mean from %1 to %2 MPa and standard deviation above %3 MPa")
                .arg(tenth(batch_rules::kLowMeanLimit), tenth(batch_rules::kHighMeanLimit),
                     tenth(batch_rules::kMidMeanMaxSd));
    }
    return {};
}

QString TBatchForm::VerdictText(const BatchFigures& figures) {
    if (figures.valid) return tr("The batch estimate is valid.");
    QStringList reasons;
    for (const BatchReason& r : figures.reasons) reasons << ReasonText(r);
    return tr("The batch estimate is not valid; judge the components one by one: %1.")
        .arg(reasons.join(QStringLiteral("; ")));
}

QString TBatchForm::SamplingText(const SamplingWarning& w) {
    switch (w.kind) {
        case SamplingWarning::Kind::BelowShare:
            return tr("%1 of %2 components inspected, fewer than 30 % of the batch (at least %3).")
                .arg(w.inspected)
                .arg(w.lot_size)
                .arg(w.required);
        case SamplingWarning::Kind::BelowMinimum:
            return tr("%1 components inspected, fewer than %2.").arg(w.inspected).arg(w.required);
        case SamplingWarning::Kind::NotAll:
            return tr("A batch of fewer than 10 components is inspected in full: %1 of %2 inspected.")
                .arg(w.inspected)
                .arg(w.lot_size);
        case SamplingWarning::Kind::MoreThanLot:
            return tr("%1 components inspected, more than the %2 the batch holds.").arg(w.inspected).arg(w.lot_size);
    }
    return {};
}

QString TBatchForm::CorrectionErrorText(const CorrectionError& e) {
    const QString at = tr("component %1, area %2").arg(e.core.component + 1).arg(e.core.area + 1);
    switch (e.kind) {
        case CorrectionError::Kind::TooFewPairs:
            return tr("No correction: %1 cores, at least %2 are needed.").arg(e.pairs).arg(batch_rules::kMinCorePairs);
        case CorrectionError::Kind::NoSuchComponent:
            return tr("No correction: a core names component %1, which the project does not hold.")
                .arg(e.core.component + 1);
        case CorrectionError::Kind::NotInBatch:
            return tr("No correction: a core names component %1, which is not ticked.").arg(e.core.component + 1);
        case CorrectionError::Kind::NoSuchArea:
            return tr("No correction: a core names %1, which the project does not hold.").arg(at);
        case CorrectionError::Kind::AreaWithoutStrength:
            return tr("No correction: the core at %1 lies at an area without a strength.").arg(at);
        case CorrectionError::Kind::BadStrength:
            return tr("No correction: the core at %1 is not above 0 and at most %2 MPa.")
                .arg(at, tenth(batch_rules::kMaxCoreStrength));
        case CorrectionError::Kind::SameArea:
            return tr("No correction: two cores at %1.").arg(at);
    }
    return {};
}

QString TBatchForm::MethodText(CorrectionMethod method) {
    return method == CorrectionMethod::Amount ? tr("Correction amount") : tr("Correction coefficient");
}

TBatchForm::TBatchForm(ProjectDocument& document, WindowContext& context, ComponentList& list,
                       ReportCommands& reports, QWidget* parent)
    : QDialog(parent), mDoc(document), mContext(context), mList(list), mReports(reports) {
    setObjectName(QStringLiteral("BatchForm"));
    setWindowTitle(tr("Batch of components"));
    setModal(false);

    act_tick_all = NewAction("act_tick_all", tr("Tick All"), &TBatchForm::act_tick_allExecute);
    act_tick_none = NewAction("act_tick_none", tr("Tick None"), &TBatchForm::act_tick_noneExecute);
    act_tick_selected =
        NewAction("act_tick_selected", tr("Tick Selected"), &TBatchForm::act_tick_selectedExecute);
    act_core_add = NewAction("act_core_add", tr("Add Core"), &TBatchForm::act_core_addExecute);
    act_core_delete = NewAction("act_core_delete", tr("Delete Cores"), &TBatchForm::act_core_deleteExecute);
    act_core_paste = NewAction("act_core_paste", tr("Paste Cores"), &TBatchForm::act_core_pasteExecute);
    act_batch_print = NewAction("act_batch_print", tr("Print(&P)"), &TBatchForm::act_batch_printExecute);
    act_batch_preview =
        NewAction("act_batch_preview", tr("Print Preview(&V)"), &TBatchForm::act_batch_previewExecute);
    act_batch_pdf = NewAction("act_batch_pdf", tr("PDF..."), &TBatchForm::act_batch_pdfExecute);
    act_tick_selected->setStatusTip(tr("Tick the components selected in the component list, untick the others"));
    act_core_paste->setStatusTip(tr("Paste rows of component, area and strength copied from a spreadsheet"));

    auto* layout = new QVBoxLayout(this);

    // Settings.
    auto* settings = new QHBoxLayout;
    chk_batch = new QCheckBox(tr("Inspect this project by batch"), this);
    chk_batch->setObjectName(QStringLiteral("chk_batch"));
    settings->addWidget(chk_batch);
    settings->addSpacing(16);
    settings->addWidget(new QLabel(tr("k:"), this));
    spin_k = new QDoubleSpinBox(this);
    spin_k->setObjectName(QStringLiteral("spin_k"));
    spin_k->setDecimals(3);
    spin_k->setRange(batch_rules::kMinK, batch_rules::kMaxK);
    spin_k->setSingleStep(0.001);
    spin_k->setLocale(QLocale::c());
    spin_k->setToolTip(tr("Factor of the estimate: mean - k x standard deviation (1.645: 95 % assurance)"));
    settings->addWidget(spin_k);
    settings->addSpacing(16);
    settings->addWidget(new QLabel(tr("Components in the batch on site:"), this));
    spin_lot = new QSpinBox(this);
    spin_lot->setObjectName(QStringLiteral("spin_lot"));
    spin_lot->setRange(0, static_cast<int>(batch_rules::kMaxLotSize));
    spin_lot->setSpecialValueText(tr("not stated"));
    settings->addWidget(spin_lot);
    settings->addStretch();
    layout->addLayout(settings);

    // Ticks.
    auto* ticks = new QHBoxLayout;
    for (QAction* a : {act_tick_all, act_tick_none, act_tick_selected}) {
        auto* b = new QToolButton(this);
        b->setDefaultAction(a);
        ticks->addWidget(b);
    }
    ticks->addStretch();
    layout->addLayout(ticks);

    // The components of the batch.
    tbl_components = new QTableWidget(0, 10, this);
    tbl_components->setObjectName(QStringLiteral("tbl_components"));
    tbl_components->setHorizontalHeaderLabels(
        {tr("No."), tr("Component"), tr("Areas"), tr("Mean (MPa)"), tr("SD (MPa)"), tr("Min (MPa)"),
         tr("Estimate (MPa)"), tr("Corrected mean"), tr("Corrected min"), tr("Corrected estimate")});
    tbl_components->verticalHeader()->setVisible(false);
    tbl_components->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_components->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tbl_components->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    layout->addWidget(tbl_components, 3);

    lbl_batch = new QLabel(this);
    lbl_batch->setObjectName(QStringLiteral("lbl_batch"));
    lbl_batch->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbl_verdict = new QLabel(this);
    lbl_verdict->setObjectName(QStringLiteral("lbl_verdict"));
    lbl_verdict->setWordWrap(true);
    lbl_sampling = new QLabel(this);
    lbl_sampling->setObjectName(QStringLiteral("lbl_sampling"));
    lbl_sampling->setWordWrap(true);
    lbl_spare_texts = new QLabel(this);
    lbl_spare_texts->setObjectName(QStringLiteral("lbl_spare_texts"));
    lbl_spare_texts->setWordWrap(true);
    for (QLabel* l : {lbl_batch, lbl_verdict, lbl_sampling, lbl_spare_texts}) layout->addWidget(l);

    // Cores.
    auto* cores = new QGroupBox(tr("Correction by cores or cubes"), this);
    auto* cores_layout = new QVBoxLayout(cores);
    auto* cores_bar = new QHBoxLayout;
    cores_bar->addWidget(new QLabel(tr("Method:"), cores));
    cmb_method = new QComboBox(cores);
    cmb_method->setObjectName(QStringLiteral("cmb_method"));
    cmb_method->addItem(tr("Correction amount"));
    cmb_method->addItem(tr("Correction coefficient"));
    cores_bar->addWidget(cmb_method);
    for (QAction* a : {act_core_add, act_core_delete, act_core_paste}) {
        auto* b = new QToolButton(cores);
        b->setDefaultAction(a);
        cores_bar->addWidget(b);
    }
    cores_bar->addStretch();
    cores_layout->addLayout(cores_bar);
    tbl_cores = new QTableWidget(0, kCoreColumns, cores);
    tbl_cores->setObjectName(QStringLiteral("tbl_cores"));
    tbl_cores->setHorizontalHeaderLabels({tr("Component No."), tr("Area No."), tr("Core strength (MPa)"),
                                          tr("Area strength (MPa)"), tr("Ratio")});
    tbl_cores->verticalHeader()->setVisible(false);
    tbl_cores->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tbl_cores->horizontalHeader()->setStretchLastSection(true);
    tbl_cores->setSelectionBehavior(QAbstractItemView::SelectRows);
    tbl_cores->addAction(act_core_paste);
    tbl_cores->addAction(act_core_delete);
    act_core_paste->setShortcut(QKeySequence::Paste);
    act_core_paste->setShortcutContext(Qt::WidgetShortcut);
    act_core_delete->setShortcut(QKeySequence::Delete);
    act_core_delete->setShortcutContext(Qt::WidgetShortcut);
    cores_layout->addWidget(tbl_cores);
    lbl_correction = new QLabel(cores);
    lbl_correction->setObjectName(QStringLiteral("lbl_correction"));
    lbl_correction->setWordWrap(true);
    cores_layout->addWidget(lbl_correction);
    layout->addWidget(cores, 2);

    // Report.
    auto* report = new QHBoxLayout;
    report->addStretch();
    for (QAction* a : {act_batch_print, act_batch_preview, act_batch_pdf}) {
        auto* b = new QToolButton(this);
        b->setDefaultAction(a);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        report->addWidget(b);
    }
    layout->addLayout(report);
    resize(860, 640);

    connect(chk_batch, &QCheckBox::toggled, this, [this] { SettingsChanged(); });
    connect(spin_k, &QDoubleSpinBox::valueChanged, this, [this] { SettingsChanged(); });
    connect(spin_lot, &QSpinBox::valueChanged, this, [this] { SettingsChanged(); });
    connect(cmb_method, &QComboBox::currentIndexChanged, this, [this] { SettingsChanged(); });
    connect(tbl_cores, &QTableWidget::cellChanged, this, [this] { CoresEdited(); });
    // Figures follow every change of the project, but only while shown.
    const auto follow = [this] {
        if (isVisible()) Refresh();
    };
    connect(&mDoc, &ProjectDocument::batchChanged, this, follow);
    connect(&mDoc, &ProjectDocument::projectReplaced, this, follow);
    connect(&mDoc, &ProjectDocument::componentsInserted, this, follow);
    connect(&mDoc, &ProjectDocument::componentsRemoved, this, follow);
    connect(&mDoc, &ProjectDocument::componentChanged, this, follow);
    Refresh();
}

QAction* TBatchForm::NewAction(const char* name, const QString& caption, void (TBatchForm::*handler)()) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    addAction(a);
    return a;
}

void TBatchForm::Refresh() {
    mFilling = true;
    const ReboundFile& project = mDoc.project();
    const ProjectBatch batch = evaluate_project_batch(project);
    const BatchSettings& settings = batch.data.settings;
    chk_batch->setChecked(settings.enabled);
    spin_k->setValue(settings.k);
    spin_lot->setValue(static_cast<int>(settings.lot_size));
    cmb_method->setCurrentIndex(settings.method == CorrectionMethod::Amount ? 0 : 1);
    for (QWidget* w : std::initializer_list<QWidget*>{spin_k, spin_lot}) w->setEnabled(settings.enabled);
    for (QAction* a : {act_tick_all, act_tick_none, act_tick_selected}) a->setEnabled(settings.enabled);

    const BatchEvaluation& e = batch.evaluation;
    tbl_components->setRowCount(static_cast<int>(e.components.size()));
    for (std::size_t r = 0; r < e.components.size(); ++r) {
        const ComponentBatchLine& line = e.components[r];
        const int row = static_cast<int>(r);
        tbl_components->setItem(row, 0, read_only(QString::number(line.index + 1), Qt::AlignCenter));
        tbl_components->setItem(
            row, 1,
            read_only(platform::to_qstring(project.components[line.index].component_name), Qt::AlignLeft | Qt::AlignVCenter));
        tbl_components->setItem(row, 2, read_only(QString::number(line.areas)));
        tbl_components->setItem(row, 3, read_only(tenth(line.mean)));
        tbl_components->setItem(row, 4, read_only(tenth(line.sd)));
        tbl_components->setItem(row, 5, read_only(tenth(line.min)));
        tbl_components->setItem(row, 6, read_only(tenth(line.estimate)));
        const bool corrected = line.corrected.has_value();
        tbl_components->setItem(row, 7, read_only(corrected ? tenth(round_tenth(line.corrected->mean)) : QString()));
        tbl_components->setItem(row, 8, read_only(corrected ? tenth(round_tenth(line.corrected->min)) : QString()));
        tbl_components->setItem(row, 9,
                                read_only(corrected ? tenth(round_tenth(line.corrected->estimate)) : QString()));
    }

    if (!settings.enabled) {
        lbl_batch->setText(tr("This project is not inspected by batch: tick the box above to judge the ticked "
                              "components together."));
        lbl_verdict->clear();
        lbl_sampling->clear();
    } else {
        const BatchFigures& b = e.batch;
        lbl_batch->setText(
            b.has_sd ? tr("Batch: %1 components, n = %2 areas, m = %3 MPa, S = %4 MPa, k = %5, fe = %6 MPa")
                           .arg(b.components)
                           .arg(b.areas)
                           .arg(tenth(b.mean), tenth(b.sd), QString::number(b.k), tenth(b.estimate))
                     : tr("Batch: %1 components, n = %2 areas, m = %3 MPa").arg(b.components).arg(b.areas).arg(tenth(b.mean)));
        lbl_verdict->setText(VerdictText(b));
        lbl_verdict->setStyleSheet(b.valid ? QString() : QStringLiteral("color: #B00020; font-weight: bold;"));
        QStringList sampling;
        for (const SamplingWarning& w : e.sampling) sampling << SamplingText(w);
        lbl_sampling->setText(sampling.join(QLatin1Char(' ')));
    }
    QStringList notes;
    for (const UnparsableSpareText& t : batch.data.unparsable) notes << QString::fromStdString(describe(t));
    lbl_spare_texts->setText(notes.isEmpty() ? QString() : tr("Kept as they are: %1").arg(notes.join(QStringLiteral("; "))));

    // The correction: the batch's, or with no batch each cored component's.
    QStringList correction;
    if (settings.enabled) {
        if (e.correction && e.corrected) {
            correction << tr("%1, %2 pairs, %3: corrected m = %4 MPa, S = %5 MPa, fe = %6 MPa. %7")
                              .arg(MethodText(e.correction->method))
                              .arg(e.correction->pairs)
                              .arg(report::correction_value_text(*e.correction), tenth(e.corrected->mean),
                                   tenth(e.corrected->sd), tenth(e.corrected->estimate),
                                   VerdictText(*e.corrected));
        } else if (e.correction_error) {
            correction << CorrectionErrorText(*e.correction_error);
        }
    } else {
        for (const ComponentCorrection& c : component_corrections(project, batch.data)) {
            const QString name = tr("Component %1").arg(c.component + 1);
            const BatchEvaluation& ce = c.evaluation;
            if (ce.correction && !ce.components.empty() && ce.components.front().corrected) {
                const StrengthFigures& f = *ce.components.front().corrected;
                correction << tr("%1: %2, %3 pairs, %4: corrected mean %5 MPa, min %6 MPa, estimate %7 MPa")
                                  .arg(name, MethodText(ce.correction->method))
                                  .arg(ce.correction->pairs)
                                  .arg(report::correction_value_text(*ce.correction), tenth(round_tenth(f.mean)),
                                       tenth(round_tenth(f.min)), tenth(round_tenth(f.estimate)));
            } else if (ce.correction_error) {
                correction << name + QStringLiteral(": ") + CorrectionErrorText(*ce.correction_error);
            }
        }
    }
    if (batch.data.cores.empty()) {
        correction << tr("No cores: enter at least %1, each with the component and test area it was taken at.")
                          .arg(batch_rules::kMinCorePairs);
    }
    lbl_correction->setText(correction.join(QLatin1Char('\n')));

    // The cores table is rebuilt only when the stored cores differ from its
    // complete rows, so that a row being typed is not lost.
    if (TableCores() != batch.data.cores) FillCoresTable(batch.data.cores);
    UpdateCoreFigures();
    mFilling = false;
}

void TBatchForm::SettingsChanged() {
    if (mFilling) return;
    BatchSettings settings = mDoc.batchData().settings;
    settings.enabled = chk_batch->isChecked();
    // The spin box shows k to 0.001; a stored k with more decimals stays
    // unless the operator changes it.
    if (std::abs(spin_k->value() - settings.k) >= 0.0005) settings.k = spin_k->value();
    settings.lot_size = static_cast<std::uint32_t>(spin_lot->value());
    settings.method = cmb_method->currentIndex() == 0 ? CorrectionMethod::Amount : CorrectionMethod::Coefficient;
    std::string problem;
    if (!mDoc.setBatchSettings(settings, &problem)) {
        ShowRefused(problem);
        Refresh();
    }
}

std::vector<CoreSample> TBatchForm::TableCores() {
    std::vector<CoreSample> cores;
    for (int row = 0; row < tbl_cores->rowCount(); ++row) {
        const std::size_t component = cell_count(tbl_cores->item(row, kCoreComponent));
        const std::size_t area = cell_count(tbl_cores->item(row, kCoreArea));
        const double strength = cell_strength(tbl_cores->item(row, kCoreStrength));
        if (component == 0 || area == 0 || strength <= 0.0) continue;
        cores.push_back({component - 1, area - 1, strength});
    }
    return cores;
}

void TBatchForm::CoresEdited() {
    if (mFilling) return;
    StoreCores(TableCores());
    UpdateCoreFigures();
}

void TBatchForm::StoreCores(const std::vector<CoreSample>& cores) {
    std::string problem;
    if (!mDoc.setCores(cores, &problem)) {
        ShowRefused(problem);
        Refresh();
    }
}

void TBatchForm::AppendCoreRow(const CoreSample* core) {
    const int row = tbl_cores->rowCount();
    tbl_cores->insertRow(row);
    const auto editable = [](const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        return item;
    };
    tbl_cores->setItem(row, kCoreComponent, editable(core ? QString::number(core->component + 1) : QString()));
    tbl_cores->setItem(row, kCoreArea, editable(core ? QString::number(core->area + 1) : QString()));
    char buffer[32] = {};
    QString strength;
    if (core) {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, core->strength);
        strength = QString::fromLatin1(buffer, r.ptr - buffer);
    }
    tbl_cores->setItem(row, kCoreStrength, editable(strength));
    tbl_cores->setItem(row, kCoreAreaStrength, read_only(QString(), Qt::AlignCenter));
    tbl_cores->setItem(row, kCoreRatio, read_only(QString(), Qt::AlignCenter));
}

void TBatchForm::FillCoresTable(const std::vector<CoreSample>& cores) {
    const bool filling = mFilling;
    mFilling = true;
    tbl_cores->setRowCount(0);
    for (const CoreSample& core : cores) AppendCoreRow(&core);
    mFilling = filling;
}

// The area strength beside each core and the ratio of the two; a row that
// names no area of the project, or is not complete, is marked.
void TBatchForm::UpdateCoreFigures() {
    const bool filling = mFilling;
    mFilling = true;
    const ReboundFile& project = mDoc.project();
    for (int row = 0; row < tbl_cores->rowCount(); ++row) {
        const std::size_t component = cell_count(tbl_cores->item(row, kCoreComponent));
        const std::size_t area = cell_count(tbl_cores->item(row, kCoreArea));
        const double strength = cell_strength(tbl_cores->item(row, kCoreStrength));
        QString area_text;
        QString ratio_text;
        QString problem;
        if (component == 0 || area == 0 || strength <= 0.0) {
            problem = tr("Enter the component number, the area number (both from 1) and the core strength in MPa "
                         "(above 0, at most %1).")
                          .arg(tenth(batch_rules::kMaxCoreStrength));
        } else if (component > project.components.size() || area > project.components[component - 1].areas.size()) {
            problem = tr("The project holds no area %1 of component %2.").arg(area).arg(component);
        } else {
            const AreaData& a = project.components[component - 1].areas[area - 1];
            area_text = tenth(a.area_strength);
            if (area_has_strength(a) && a.area_strength > 0.0f) {
                ratio_text = QString::number(strength / double{a.area_strength}, 'f', batch_rules::kCoefficientDecimals);
            } else {
                problem = tr("This area has no strength (outside the curve).");
            }
        }
        tbl_cores->item(row, kCoreAreaStrength)->setText(area_text);
        tbl_cores->item(row, kCoreRatio)->setText(ratio_text);
        for (int column = 0; column < kCoreColumns; ++column) {
            QTableWidgetItem* item = tbl_cores->item(row, column);
            item->setToolTip(problem);
            item->setBackground(problem.isEmpty() ? QBrush() : QBrush(QColor(0xFF, 0xE0, 0xE0)));
        }
    }
    mFilling = filling;
}

void TBatchForm::ShowRefused(const std::string& problem) {
    mContext.prompts().message(
        tr("The change cannot be kept: %1. That spare text holds something else and is left as it is.")
            .arg(QString::fromStdString(problem)));
}

void TBatchForm::act_tick_allExecute() {
    mDoc.setTicked(std::vector<bool>(mDoc.project().components.size(), true));
}

void TBatchForm::act_tick_noneExecute() {
    mDoc.setTicked(std::vector<bool>(mDoc.project().components.size(), false));
}

void TBatchForm::act_tick_selectedExecute() {
    std::vector<bool> ticked(mDoc.project().components.size(), false);
    for (const QModelIndex& index : mList.selectionModel()->selectedRows()) {
        if (index.row() >= 0 && static_cast<std::size_t>(index.row()) < ticked.size()) {
            ticked[static_cast<std::size_t>(index.row())] = true;
        }
    }
    mDoc.setTicked(ticked);
}

void TBatchForm::act_core_addExecute() {
    const bool filling = mFilling;
    mFilling = true;
    AppendCoreRow(nullptr);
    UpdateCoreFigures();
    mFilling = filling;
    tbl_cores->setCurrentCell(tbl_cores->rowCount() - 1, kCoreComponent);
    tbl_cores->setFocus();
}

void TBatchForm::act_core_deleteExecute() {
    std::set<int> rows;
    for (const QModelIndex& index : tbl_cores->selectionModel()->selectedIndexes()) rows.insert(index.row());
    if (rows.empty() && tbl_cores->currentRow() >= 0) rows.insert(tbl_cores->currentRow());
    if (rows.empty()) return;
    const bool filling = mFilling;
    mFilling = true;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) tbl_cores->removeRow(*it);
    mFilling = filling;
    CoresEdited();
}

void TBatchForm::act_core_pasteExecute() {
    const QString text = QApplication::clipboard()->text();
    const CoreTable table = parse_core_table(text.toStdString());
    if (table.error_line != 0) {
        mContext.prompts().message(tr("Line %1 of the pasted text is not a core: %2")
                                    .arg(table.error_line)
                                    .arg(QString::fromStdString(table.error)));
        return;
    }
    if (table.cores.empty()) {
        mContext.prompts().message(tr("The clipboard holds no cores: copy rows of component number, area number "
                                   "and core strength."));
        return;
    }
    // Complete rows first, then the pasted ones; rows still being typed stay.
    std::vector<CoreSample> cores = TableCores();
    cores.insert(cores.end(), table.cores.begin(), table.cores.end());
    const bool filling = mFilling;
    mFilling = true;
    for (const CoreSample& core : table.cores) AppendCoreRow(&core);
    mFilling = filling;
    StoreCores(cores);
    UpdateCoreFigures();
}

void TBatchForm::act_batch_printExecute() {
    mReports.BatchPrint();
}

void TBatchForm::act_batch_previewExecute() {
    mReports.BatchPreview();
}

void TBatchForm::act_batch_pdfExecute() {
    mReports.BatchPdf();
}

}  // namespace rebound
