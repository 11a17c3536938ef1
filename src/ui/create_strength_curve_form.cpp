#include "ui/create_strength_curve_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QMessageBox>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <string_view>
#include <cmath>

#include "platform/qt_bridge.h"
#include "report/curve_fit_feed.h"
#include "report/report_engine.h"
#include "report/widgets/report_dialogs.h"
#include "ui/error_text.h"
#include "ui/window_context.h"

namespace rebound {

namespace {

const char* const kFitTemplate = "curve_fit1.grf";
const char* const kPdfFilter = QT_TRANSLATE_NOOP("FileFilter", "PDF(*.pdf)");
const char* const kCsvFilter = QT_TRANSLATE_NOOP("FileFilter", "Pairs(*.csv)");

QString fixed(double value, int decimals) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(r.ptr - buffer));
}

QString significant(double value) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(r.ptr - buffer));
}

// A figure typed into a cell or a box: a decimal point, never the locale's
// comma; empty text is no figure.
std::optional<double> figure_of(const QString& text) {
    return parse_pair_number(text.trimmed().toStdString());
}

}  // namespace

// The fit report's engine and content, kept while a print or preview runs.
class CurveFitReportHolder {
public:
    report::ReportEngine engine;
    report::CurveFitReport content;
    std::unique_ptr<report::CurveFitFeed> feed;
};

FitChart::FitChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FitChart"));
    setMinimumSize(200, 200);
}

void FitChart::setPoints(std::vector<std::pair<double, double>> points) {
    mPoints = std::move(points);
    update();
}

void FitChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const int margin = fontMetrics().height() * 2;
    const int side = std::min(width(), height()) - margin - 8;
    if (side <= 20) return;
    const QRectF plot(margin, 8, side, side);
    double low = 0.0, high = 10.0;
    if (!mPoints.empty()) {
        low = high = mPoints.front().first;
        for (const auto& [x, y] : mPoints) {
            low = std::min({low, x, y});
            high = std::max({high, x, y});
        }
    }
    // Round ends in steps of 10 MPa, so that the ticks read well.
    low = std::floor(low / 10.0) * 10.0;
    high = std::max(low + 10.0, std::ceil(high / 10.0) * 10.0);
    const auto at = [&](double x, double y) {
        return QPointF(plot.left() + (x - low) / (high - low) * plot.width(),
                       plot.bottom() - (y - low) / (high - low) * plot.height());
    };
    p.setPen(QPen(palette().mid().color(), 0));
    for (double v = low; v <= high + 1e-9; v += 10.0) {
        p.drawLine(at(low, v), at(high, v));
        p.drawLine(at(v, low), at(v, high));
        const QString tick = QString::number(static_cast<int>(v));
        p.setPen(palette().text().color());
        p.drawText(QRectF(0, at(low, v).y() - 8, margin - 4, 16), Qt::AlignRight | Qt::AlignVCenter, tick);
        p.drawText(QRectF(at(v, low).x() - 20, plot.bottom() + 2, 40, margin / 2.0), Qt::AlignCenter, tick);
        p.setPen(QPen(palette().mid().color(), 0));
    }
    p.setPen(QPen(QColor(0xC0, 0x50, 0x4D), 1.5));
    p.drawLine(at(low, low), at(high, high));
    p.setPen(QPen(QColor(0x2F, 0x5F, 0x8F), 1));
    p.setBrush(QColor(0x4F, 0x81, 0xBD));
    for (const auto& [x, y] : mPoints) p.drawEllipse(at(x, y), 3.0, 3.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(palette().text().color());
    p.drawRect(plot);
}

TCreateStrengthCurveFrm::TCreateStrengthCurveFrm(WindowContext& context, QWidget* parent)
    : QDialog(parent), mContext(context) {
    setObjectName(QStringLiteral("CreateStrengthCurveFrm"));
    setWindowTitle(tr("Create Strength Curve"));
    BuildLayout();
    KeepOneEmptyRow();
    Recompute();
}

TCreateStrengthCurveFrm::~TCreateStrengthCurveFrm() = default;

void TCreateStrengthCurveFrm::BuildLayout() {
    auto* top = new QHBoxLayout;
    rbFit = new QRadioButton(tr("Fit to paired tests"), this);
    rbFit->setObjectName(QStringLiteral("rbFit"));
    rbFormula = new QRadioButton(tr("Published formula"), this);
    rbFormula->setObjectName(QStringLiteral("rbFormula"));
    rbFit->setChecked(true);
    auto* mode = new QButtonGroup(this);
    mode->addButton(rbFit);
    mode->addButton(rbFormula);
    cbKind = new QComboBox(this);
    cbKind->setObjectName(QStringLiteral("cbKind"));
    for (const CurveAcceptance& a : kCurveAcceptance) {
        const QString name = a.kind == CurveKind::Special ? tr("Special curve") : tr("Regional curve");
        cbKind->addItem(tr("%1 (δ ≤ %2 %, eᵣ ≤ %3 %)")
                            .arg(name, fixed(a.max_delta_percent, 1), fixed(a.max_er_percent, 1)),
                        static_cast<int>(a.kind));
    }
    spRecommended = new QSpinBox(this);
    spRecommended->setObjectName(QStringLiteral("spRecommended"));
    spRecommended->setRange(static_cast<int>(kMinCurvePairs), 1000);
    spRecommended->setValue(static_cast<int>(kRecommendedCurvePairs));
    top->addWidget(rbFit);
    top->addWidget(rbFormula);
    top->addStretch();
    top->addWidget(new QLabel(tr("Warn below"), this));
    top->addWidget(spRecommended);
    top->addWidget(new QLabel(tr("pairs"), this));
    top->addSpacing(12);
    top->addWidget(new QLabel(tr("Kind:"), this));
    top->addWidget(cbKind);

    // The pairs page.
    auto* pairsPage = new QWidget(this);
    auto* pairsLayout = new QVBoxLayout(pairsPage);
    pairsLayout->setContentsMargins(0, 0, 0, 0);
    tblPairs = new QTableWidget(0, 3, pairsPage);
    tblPairs->setObjectName(QStringLiteral("tblPairs"));
    tblPairs->setHorizontalHeaderLabels({tr("Rm"), tr("dm (mm)"), tr("f (MPa)")});
    tblPairs->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblPairs->installEventFilter(this);
    auto* pairButtons = new QHBoxLayout;
    btnOpenCsv = new QPushButton(tr("Open CSV(&O)..."), pairsPage);
    btnOpenCsv->setObjectName(QStringLiteral("btnOpenCsv"));
    btnPaste = new QPushButton(tr("Paste"), pairsPage);
    btnPaste->setObjectName(QStringLiteral("btnPaste"));
    btnClear = new QPushButton(tr("Clear"), pairsPage);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    pairButtons->addWidget(btnOpenCsv);
    pairButtons->addWidget(btnPaste);
    pairButtons->addWidget(btnClear);
    pairButtons->addStretch();
    pairsLayout->addWidget(tblPairs);
    pairsLayout->addLayout(pairButtons);

    // The formula page.
    auto* formulaPage = new QWidget(this);
    auto* form = new QGridLayout(formulaPage);
    const auto edit = [&](const char* name) {
        auto* e = new QLineEdit(formulaPage);
        e->setObjectName(QLatin1String(name));
        connect(e, &QLineEdit::textChanged, this, [this] { Recompute(); });
        return e;
    };
    edA = edit("edA");
    edB = edit("edB");
    edC = edit("edC");
    edRmLow = edit("edRmLow");
    edRmHigh = edit("edRmHigh");
    edDepthLow = edit("edDepthLow");
    edDepthHigh = edit("edDepthHigh");
    edStrengthLow = edit("edStrengthLow");
    edStrengthHigh = edit("edStrengthHigh");
    form->addWidget(new QLabel(tr("f = A · Rm^B · 10^(C · dm)"), formulaPage), 0, 0, 1, 4);
    form->addWidget(new QLabel(tr("A"), formulaPage), 1, 0);
    form->addWidget(edA, 1, 1);
    form->addWidget(new QLabel(tr("B"), formulaPage), 2, 0);
    form->addWidget(edB, 2, 1);
    form->addWidget(new QLabel(tr("C"), formulaPage), 3, 0);
    form->addWidget(edC, 3, 1);
    form->addWidget(new QLabel(tr("Rm from"), formulaPage), 4, 0);
    form->addWidget(edRmLow, 4, 1);
    form->addWidget(new QLabel(tr("to"), formulaPage), 4, 2);
    form->addWidget(edRmHigh, 4, 3);
    form->addWidget(new QLabel(tr("dm from (mm)"), formulaPage), 5, 0);
    form->addWidget(edDepthLow, 5, 1);
    form->addWidget(new QLabel(tr("to"), formulaPage), 5, 2);
    form->addWidget(edDepthHigh, 5, 3);
    form->addWidget(new QLabel(tr("Strength from (MPa)"), formulaPage), 6, 0);
    form->addWidget(edStrengthLow, 6, 1);
    form->addWidget(new QLabel(tr("to"), formulaPage), 6, 2);
    form->addWidget(edStrengthHigh, 6, 3);
    form->setRowStretch(7, 1);

    mInputs = new QStackedWidget(this);
    mInputs->addWidget(pairsPage);
    mInputs->addWidget(formulaPage);

    // Results.
    lblFigures = new QLabel(this);
    lblFigures->setObjectName(QStringLiteral("lblFigures"));
    lblFigures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblVerdict = new QLabel(this);
    lblVerdict->setObjectName(QStringLiteral("lblVerdict"));
    lblVerdict->setWordWrap(true);
    lblProblems = new QLabel(this);
    lblProblems->setObjectName(QStringLiteral("lblProblems"));
    lblProblems->setWordWrap(true);
    lblProblems->setStyleSheet(QStringLiteral("color: #B00020"));
    chart = new FitChart(this);
    lblChart = new QLabel(tr("Across: measured strength, up: curve strength (MPa); the line marks equality."), this);
    lblChart->setWordWrap(true);
    auto* results = new QVBoxLayout;
    results->addWidget(lblFigures);
    results->addWidget(lblVerdict);
    results->addWidget(chart, 1);
    results->addWidget(lblChart);
    results->addWidget(lblProblems);

    auto* middle = new QHBoxLayout;
    middle->addWidget(mInputs, 3);
    middle->addLayout(results, 2);

    auto* bottom = new QHBoxLayout;
    edCurveName = new QLineEdit(this);
    edCurveName->setObjectName(QStringLiteral("edCurveName"));
    edCurveName->setPlaceholderText(tr("name in the curve folder"));
    btnSave = new QPushButton(tr("Save Curve(&S)"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnPrint = new QPushButton(tr("Print(&P)..."), this);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnPreview = new QPushButton(tr("Preview(&V)..."), this);
    btnPreview->setObjectName(QStringLiteral("btnPreview"));
    btnPdf = new QPushButton(tr("PDF(&D)..."), this);
    btnPdf->setObjectName(QStringLiteral("btnPdf"));
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    bottom->addWidget(new QLabel(tr("Curve name:"), this));
    bottom->addWidget(edCurveName, 1);
    bottom->addWidget(btnSave);
    bottom->addSpacing(12);
    bottom->addWidget(btnPrint);
    bottom->addWidget(btnPreview);
    bottom->addWidget(btnPdf);
    bottom->addSpacing(12);
    bottom->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    resize(900, 560);

    connect(rbFit, &QRadioButton::toggled, this, [this] {
        mInputs->setCurrentIndex(rbFit->isChecked() ? 0 : 1);
        Recompute();
    });
    connect(cbKind, &QComboBox::currentIndexChanged, this, [this] { Recompute(); });
    connect(spRecommended, &QSpinBox::valueChanged, this, [this] { Recompute(); });
    connect(tblPairs, &QTableWidget::itemChanged, this, [this] {
        if (mFilling) return;
        KeepOneEmptyRow();
        Recompute();
    });
    connect(btnOpenCsv, &QPushButton::clicked, this, [this] { btnOpenCsvClick(); });
    connect(btnPaste, &QPushButton::clicked, this, [this] { btnPasteClick(); });
    connect(btnClear, &QPushButton::clicked, this, [this] { SetPairs({}); });
    connect(edCurveName, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnPreview, &QPushButton::clicked, this, [this] { btnPreviewClick(); });
    connect(btnPdf, &QPushButton::clicked, this, [this] { btnPdfClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

CurveKind TCreateStrengthCurveFrm::Kind() const {
    return static_cast<CurveKind>(cbKind->currentData().toInt());
}

void TCreateStrengthCurveFrm::KeepOneEmptyRow() {
    const bool filling = mFilling;
    mFilling = true;
    // Exactly one empty row at the end, for typing the next pair.
    const auto empty = [this](int row) {
        for (int c = 0; c < 3; ++c) {
            const QTableWidgetItem* item = tblPairs->item(row, c);
            if (item && !item->text().trimmed().isEmpty()) return false;
        }
        return true;
    };
    while (tblPairs->rowCount() > 1 && empty(tblPairs->rowCount() - 1) && empty(tblPairs->rowCount() - 2)) {
        tblPairs->removeRow(tblPairs->rowCount() - 1);
    }
    if (tblPairs->rowCount() == 0 || !empty(tblPairs->rowCount() - 1)) tblPairs->insertRow(tblPairs->rowCount());
    mFilling = filling;
}

void TCreateStrengthCurveFrm::SetPairs(const std::vector<CurvePair>& pairs) {
    mFilling = true;
    tblPairs->setRowCount(0);
    tblPairs->setRowCount(static_cast<int>(pairs.size()));
    for (int r = 0; r < static_cast<int>(pairs.size()); ++r) {
        const CurvePair& p = pairs[static_cast<std::size_t>(r)];
        const double values[] = {p.rm, p.depth, p.strength};
        for (int c = 0; c < 3; ++c) tblPairs->setItem(r, c, new QTableWidgetItem(QString::number(values[c], 'g', 10)));
    }
    mFilling = false;
    KeepOneEmptyRow();
    Recompute();
}

bool TCreateStrengthCurveFrm::PasteText(const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    std::vector<QStringList> rows;
    for (QString line : lines) {
        line.remove(QLatin1Char('\r'));
        if (line.trimmed().isEmpty()) continue;
        // A spreadsheet copies cells separated by tabs; a CSV text by commas.
        QStringList cells = line.contains(QLatin1Char('\t')) ? line.split(QLatin1Char('\t'))
                                                              : line.split(QLatin1Char(','));
        // The header of a pairs file, or any line that starts with no number.
        if (rows.empty() && !figure_of(cells.value(0))) continue;
        rows.push_back(cells);
    }
    if (rows.empty()) return false;
    int start = std::max(0, tblPairs->currentRow());
    // Pasting into the empty row at the end appends.
    mFilling = true;
    for (const QStringList& cells : rows) {
        if (start >= tblPairs->rowCount()) tblPairs->insertRow(start);
        for (int c = 0; c < 3; ++c) {
            tblPairs->setItem(start, c, new QTableWidgetItem(cells.value(c).trimmed()));
        }
        ++start;
    }
    mFilling = false;
    KeepOneEmptyRow();
    Recompute();
    return true;
}

void TCreateStrengthCurveFrm::Recompute() {
    mFit.reset();
    mFormula.reset();
    mAccepted = false;
    QStringList problems;
    QString figures;
    QString verdictText;
    std::vector<std::pair<double, double>> points;

    if (rbFit->isChecked()) {
        mPairs.clear();
        const QString names[] = {tr("Rm"), tr("dm"), tr("f")};
        for (int r = 0; r < tblPairs->rowCount(); ++r) {
            double values[3] = {0, 0, 0};
            bool blank = true;
            bool bad = false;
            for (int c = 0; c < 3; ++c) {
                const QTableWidgetItem* item = tblPairs->item(r, c);
                const QString text = item ? item->text().trimmed() : QString();
                if (!text.isEmpty()) blank = false;
                const std::optional<double> v = figure_of(text);
                if (!v) {
                    bad = true;
                    continue;
                }
                values[c] = *v;
            }
            if (blank) continue;
            if (bad) {
                QStringList wrong;
                for (int c = 0; c < 3; ++c) {
                    const QTableWidgetItem* item = tblPairs->item(r, c);
                    if (!figure_of(item ? item->text() : QString())) wrong << names[c];
                }
                problems << tr("Row %1: %2 is not a number (write a decimal point).").arg(r + 1).arg(wrong.join(QStringLiteral(", ")));
                continue;
            }
            const CurvePair pair{values[0], values[1], values[2]};
            // The core's plausible ranges decide; the dialog only words them.
            const char* field = pair_defect_field(pair);
            if (!field) {
                mPairs.push_back(pair);
            } else if (field == std::string_view("rm")) {
                problems << tr("Row %1: the rebound value must lie from %2 to %3.")
                                .arg(r + 1)
                                .arg(fixed(kMinPairRebound, 1), fixed(kMaxPairRebound, 1));
            } else if (field == std::string_view("depth")) {
                problems << tr("Row %1: the carbonation depth must lie between %2 and %3 mm.")
                                .arg(r + 1)
                                .arg(fixed(kMinPairDepth, 1), fixed(kMaxPairDepth, 1));
            } else {
                problems << tr("Row %1: the strength must lie from %2 to %3 MPa.")
                                .arg(r + 1)
                                .arg(fixed(kMinPairStrength, 1), fixed(kMaxPairStrength, 1));
            }
        }
        if (problems.isEmpty() && mPairs.empty()) {
            verdictText = tr("Type, paste or open the pairs: Rm, dm in mm, f in MPa, one specimen a row.");
        } else if (problems.isEmpty()) {
            CurveFitOutcome outcome = fit_curve(mPairs);
            if (!outcome.fit) {
                if (mPairs.size() < kMinCurvePairs) {
                    problems << tr("A curve needs at least %1 pairs; the table holds %2.")
                                    .arg(kMinCurvePairs)
                                    .arg(mPairs.size());
                } else if (std::all_of(mPairs.begin(), mPairs.end(),
                                       [&](const CurvePair& p) { return p.rm == mPairs.front().rm; })) {
                    problems << tr("Every pair has the same rebound value; B cannot be fitted.");
                } else {
                    problems << tr("The rebound values and depths vary together; B and C cannot be told apart.");
                }
            } else {
                mFit = std::move(outcome.fit);
                mFormula = mFit->formula;
                const CurveVerdict verdict = judge_fit(*mFit, Kind());
                mAccepted = verdict.accepted;
                figures = tr("A = %1\nB = %2\nC = %3\nn = %4\nr = %5\nδ = %6 %\neᵣ = %7 %")
                              .arg(significant(mFit->formula.a), significant(mFit->formula.b),
                                   significant(mFit->formula.c))
                              .arg(mFit->n)
                              .arg(fixed(mFit->r, 4), fixed(shown_percent(mFit->delta_percent), 2),
                                   fixed(shown_percent(mFit->er_percent), 2));
                verdictText = (verdict.accepted ? tr("Accepted: δ ≤ %1 % and eᵣ ≤ %2 %.")
                                                : tr("Not accepted: the limits are δ ≤ %1 % and eᵣ ≤ %2 %."))
                                  .arg(fixed(verdict.limits.max_delta_percent, 1),
                                       fixed(verdict.limits.max_er_percent, 1));
                if (mFit->n < kRecommendedCurvePairs) {
                    verdictText = tr("Not accepted: %1 pairs, fewer than the %2 a curve is accepted with.")
                                      .arg(mFit->n)
                                      .arg(kRecommendedCurvePairs);
                }
                if (mFit->n < static_cast<std::size_t>(spRecommended->value())) {
                    problems << tr("Only %1 pairs; a special curve is normally built from at least %2.")
                                    .arg(mFit->n)
                                    .arg(spRecommended->value());
                }
                if (!mFit->depth_fitted) {
                    problems << tr("Every pair has the depth %1 mm: C is not fitted and the curve holds for that "
                                   "depth only.")
                                    .arg(fixed(mFit->formula.depth.low, 1));
                }
                for (std::size_t i = 0; i < mPairs.size(); ++i) points.emplace_back(mPairs[i].strength, mFit->fitted[i]);
            }
        }
    } else {
        CurveFormula f;
        struct Box {
            QLineEdit* edit;
            double* target;
            QString name;
        };
        const Box boxes[] = {{edA, &f.a, tr("A")},
                             {edB, &f.b, tr("B")},
                             {edC, &f.c, tr("C")},
                             {edRmLow, &f.rm.low, tr("Rm from")},
                             {edRmHigh, &f.rm.high, tr("Rm to")},
                             {edDepthLow, &f.depth.low, tr("dm from")},
                             {edDepthHigh, &f.depth.high, tr("dm to")},
                             {edStrengthLow, &f.strength.low, tr("strength from")},
                             {edStrengthHigh, &f.strength.high, tr("strength to")}};
        QStringList missing;
        for (const Box& b : boxes) {
            const std::optional<double> v = figure_of(b.edit->text());
            if (!v) {
                missing << b.name;
            } else {
                *b.target = *v;
            }
        }
        if (!missing.isEmpty()) {
            problems << tr("Enter a number (with a decimal point) for: %1.").arg(missing.join(QStringLiteral(", ")));
        } else if (f.a <= 0.0) {
            problems << tr("A must be above 0.");
        } else if (formula_defect(f)) {
            problems << tr("Each range needs its low end at most its high end; depths lie within 0.0 to %1 mm, "
                           "strengths above 0 and at most %2 MPa.")
                            .arg(fixed(kMaxPairDepth, 1), fixed(kMaxCurveStrength, 1));
        } else {
            mFormula = f;
            mAccepted = true;
            figures = tr("A = %1\nB = %2\nC = %3").arg(significant(f.a), significant(f.b), significant(f.c));
            verdictText = tr("A published curve is taken as published.");
        }
    }
    if (mFormula && filled_cells(build_curve(*mFormula)) == 0) {
        problems << tr("No cell of the curve lies within the ranges; the curve would hold no strength.");
        mFormula.reset();
    }
    lblFigures->setText(figures);
    lblVerdict->setText(verdictText);
    lblProblems->setText(problems.join(QLatin1Char('\n')));
    chart->setPoints(std::move(points));
    // Measured against curve strength needs pairs.
    chart->setVisible(rbFit->isChecked());
    lblChart->setVisible(rbFit->isChecked());
    UpdateButtons();
}

void TCreateStrengthCurveFrm::UpdateButtons() {
    btnSave->setEnabled(mFormula.has_value() && !edCurveName->text().trimmed().isEmpty());
    const bool report = rbFit->isChecked() && mFit.has_value();
    btnPrint->setEnabled(report);
    btnPreview->setEnabled(report);
    btnPdf->setEnabled(report);
    btnOpenCsv->setEnabled(rbFit->isChecked());
}

void TCreateStrengthCurveFrm::btnOpenCsvClick() {
    UserPrompts& prompts = mContext.prompts();
    const QString chosen = prompts.openFileName(QLatin1String(kCsvFilter) + QStringLiteral("|*.csv"));
    if (chosen.isEmpty()) return;
    const Result<std::vector<CurvePair>> read = read_pairs_csv(platform::to_path(chosen));
    if (!read) {
        prompts.message(tr("The pairs file %1 cannot be read: %2")
                            .arg(QDir::toNativeSeparators(chosen), QString::fromStdString(read.error().message)));
        return;
    }
    SetPairs(*read);
}

void TCreateStrengthCurveFrm::btnPasteClick() {
    if (!PasteText(QApplication::clipboard()->text())) {
        mContext.prompts().message(tr("The clipboard holds no pairs: copy three columns Rm, dm, f."));
    }
}

bool TCreateStrengthCurveFrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tblPairs && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            btnPasteClick();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            mFilling = true;
            for (QTableWidgetItem* item : tblPairs->selectedItems()) item->setText(QString());
            mFilling = false;
            KeepOneEmptyRow();
            Recompute();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TCreateStrengthCurveFrm::btnSaveClick() {
    Recompute();
    UserPrompts& prompts = mContext.prompts();
    if (!mFormula) return false;
    QString name = edCurveName->text().trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name == QLatin1String(".") || name == QLatin1String("..")) {
        prompts.message(tr("Enter a file name without a folder for the curve."));
        return false;
    }
    if (!name.endsWith(QLatin1String(".cur"))) name += QStringLiteral(".cur");
    if (!mAccepted) {
        const auto answer = prompts.question(
            tr("Save Curve"),
            tr("The curve is not accepted as a %1 curve. Save it all the same?")
                .arg(Kind() == CurveKind::Special ? tr("special") : tr("regional")),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) return false;
    }
    const std::filesystem::path folder = mContext.app().curve_folder();
    const std::filesystem::path path = folder / platform::to_path(name);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        const QString text = name == QLatin1String("normal.cur")
                                 ? tr("normal.cur is the standard curve. Replace it with this curve?")
                                 : tr("A curve named %1 exists. Replace it?").arg(name);
        if (prompts.question(tr("Save Curve"), text, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            return false;
        }
    }
    std::filesystem::create_directories(folder, ec);
    if (const Result<void> written = write_curve_file(build_curve(*mFormula), path); !written) {
        prompts.message(ErrorText::WithReason(tr("Save File Fail!"), written.error()));
        return false;
    }
    prompts.message(tr("The curve was saved as %1.").arg(QDir::toNativeSeparators(platform::from_path(path))));
    return true;
}

bool TCreateStrengthCurveFrm::PrepareReport() {
    Recompute();
    if (!mFit) return false;
    mReport = std::make_unique<CurveFitReportHolder>();
    const std::filesystem::path file = mContext.app().report_folder() / kFitTemplate;
    if (const Result<void> loaded = mReport->engine.load_from_file(platform::from_path(file)); !loaded) {
        mContext.prompts().message(ErrorText::WithReason(tr("Print Preview Error!"), loaded.error()));
        return false;
    }
    QString curveName = edCurveName->text().trimmed();
    if (!curveName.isEmpty() && !curveName.endsWith(QLatin1String(".cur"))) curveName += QStringLiteral(".cur");
    mReport->content = report::CurveFitReport{mPairs, *mFit, Kind(), curveName};
    mReport->feed = std::make_unique<report::CurveFitFeed>(mReport->content, mContext.app().clock());
    mReport->feed->bind(mReport->engine);
    report::CurveFitFeed* feed = mReport->feed.get();
    mReport->engine.set_fetch_record([feed](bool& eof) { feed->fetch_record(eof); });
    return true;
}

QPrinter& TCreateStrengthCurveFrm::Printer() {
    // Made on first use: finding the printers can take a moment.
    if (!mPrinter) mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *mPrinter;
}

void TCreateStrengthCurveFrm::btnPrintClick() {
    if (!PrepareReport()) return;
    report::print_report(mReport->engine, Printer(), this,
                         [this](QDialog& dialog) { return mContext.prompts().showModal(dialog); });
}

void TCreateStrengthCurveFrm::btnPreviewClick() {
    if (!PrepareReport()) return;
    report::preview_report(mReport->engine, Printer(), this,
                           [this](QDialog& dialog) { return mContext.prompts().showModal(dialog); });
}

void TCreateStrengthCurveFrm::btnPdfClick() {
    if (!PrepareReport()) return;
    const QString chosen = mContext.prompts().saveFileName(QLatin1String(kPdfFilter) + QStringLiteral("|*.pdf"));
    if (chosen.isEmpty()) return;
    QString path = chosen;
    if (QFileInfo(path).suffix() != QLatin1String("pdf")) path += QStringLiteral(".pdf");
    if (const Result<bool> written = report::export_pdf(mReport->engine, path, this); !written) {
        mContext.prompts().message(ErrorText::WithReason(tr("Save File Fail!"), written.error()));
    }
}

}  // namespace rebound
