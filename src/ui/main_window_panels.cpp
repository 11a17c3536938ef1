// The project panel (header texts, copied into the project only when a command
// collects them), the component list and the component panel (edits go into
// the current component at once).
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QScrollArea>
#include <QTableWidget>

#include "model/number_text.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"
#include "ui/app_fonts.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

namespace rebound {

namespace {

constexpr int kPanelFontPixels = 13;

QString number1(float value) {
    return QString::fromStdString(one_decimal(value));
}

// The pickers show the locale's short date, with the year in full.
QString picker_format() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) {
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    }
    return format;
}

// A date picker that Tab leaves at once, like the other boxes of the panel,
// instead of stepping through the day, month and year first.
class DatePicker : public QDateEdit {
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

QDate to_qdate(const platform::Date& d) {
    return QDate(d.year, d.month, d.day);
}

platform::Date from_qdate(const QDate& d) {
    return platform::Date{d.year(), d.month(), d.day()};
}

QLabel* new_label(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setFont(song_font(kPanelFontPixels));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// A read-only box drawn in the panel's colour, so that it reads as a label.
void make_read_only(QLineEdit* box) {
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
}

}  // namespace

// ---- Construction -----------------------------------------------------------

QWidget* TSDIAppForm::CreateProjectPanel() {
    sb_project = new QScrollArea(this);
    sb_project->setObjectName(QStringLiteral("sb_project"));
    sb_project->setFrameShape(QFrame::NoFrame);
    sb_project->setMinimumHeight(40);
    sb_project->resize(sb_project->width(), 157);
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnl_project"));
    panel->setFont(song_font(kPanelFontPixels));
    panel->setMinimumSize(1013, 138);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);

    auto newBox = [&](const char* name, const QString& caption, int row, int column) {
        auto* box = new QLineEdit(panel);
        box->setObjectName(QString::fromLatin1(name));
        box->setFixedSize(168, 21);
        connect(box, &QLineEdit::selectionChanged, this, [this] { UpdateEditActions(); });
        grid->addWidget(new_label(caption, panel), row, column * 2);
        grid->addWidget(box, row, column * 2 + 1);
        return box;
    };
    // Created in tab order; placed row by row.
    txt_project_name = newBox("txt_project_name", tr("Project Name:"), 0, 0);
    txt_report_serial = newBox("txt_report_serial", tr("Report NO.:"), 0, 1);
    txt_examine_serial = newBox("txt_examine_serial", tr("Measurement NO.:"), 0, 2);
    txt_examine_basis = newBox("txt_examine_basis", tr("Standard:"), 2, 1);
    txt_examine_condition = newBox("txt_examine_condition", tr("Project Description:"), 2, 2);
    txt_agent_unit = newBox("txt_agent_unit", tr("Entrustment\n  Company"), 1, 0);

    dt_agent_date = new DatePicker(panel);
    dt_agent_date->setObjectName(QStringLiteral("dt_agent_date"));
    dt_agent_date->setCalendarPopup(true);
    dt_agent_date->setDisplayFormat(picker_format());
    dt_agent_date->setFixedSize(168, 21);
    grid->addWidget(new_label(tr("Measurement Date:"), panel), 2, 0);
    grid->addWidget(dt_agent_date, 2, 1);

    txt_project_address = newBox("txt_project_address", tr("Project Address:"), 1, 2);
    txt_supervision_unit = newBox("txt_supervision_unit", tr("Supervisory\nOrganization"), 1, 1);
    txt_concrete_producer =
        //: The concrete producer; the English label is spelt so on purpose.
        newBox("txt_concrete_producer", tr("     Concrete \nProduction Departmen"), 3, 0);
    grid->setColumnStretch(6, 1);
    grid->setRowStretch(4, 1);

    QWidget* order[] = {txt_project_name,      txt_report_serial,    txt_examine_serial, txt_examine_basis,
                        txt_examine_condition, txt_agent_unit,       dt_agent_date,      txt_project_address,
                        txt_supervision_unit,  txt_concrete_producer};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    sb_project->setWidget(panel);
    sb_project->setWidgetResizable(true);
    return sb_project;
}

QWidget* TSDIAppForm::CreateComponentList() {
    lvComponents = new QTableWidget(0, 3, this);
    lvComponents->setObjectName(QStringLiteral("lvComponents"));
    lvComponents->setFont(song_font(kPanelFontPixels));
    lvComponents->setHorizontalHeaderLabels({tr("NO."), tr("Component Name"), tr("Date&Time")});
    lvComponents->horizontalHeaderItem(1)->setTextAlignment(Qt::AlignCenter);
    lvComponents->setColumnWidth(0, 35);
    lvComponents->setColumnWidth(1, 130);
    lvComponents->setColumnWidth(2, 85);
    lvComponents->horizontalHeader()->setStretchLastSection(true);
    lvComponents->horizontalHeader()->setHighlightSections(false);
    lvComponents->verticalHeader()->setVisible(false);
    lvComponents->verticalHeader()->setDefaultSectionSize(20);
    lvComponents->setShowGrid(true);
    lvComponents->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvComponents->setSelectionMode(QAbstractItemView::SingleSelection);
    lvComponents->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvComponents->setWordWrap(false);
    // Keep the selection drawn in its active colour when the list has no focus.
    QPalette palette = lvComponents->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight,
                     palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    lvComponents->setPalette(palette);
    lvComponents->setMinimumWidth(120);
    lvComponents->resize(250, lvComponents->height());
    lvComponents->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvComponents, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pm_components->popup(lvComponents->viewport()->mapToGlobal(pos)); });
    connect(lvComponents, &QTableWidget::itemSelectionChanged, this, &TSDIAppForm::lvComponentsSelectItem);
    lvComponents->viewport()->installEventFilter(this);
    lvComponents->installEventFilter(this);  // the Delete key
    return lvComponents;
}

QWidget* TSDIAppForm::CreateComponentPanel() {
    sb_component = new QScrollArea(this);
    sb_component->setObjectName(QStringLiteral("sb_component"));
    sb_component->setFrameShape(QFrame::NoFrame);
    sb_component->setMinimumHeight(40);
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnl_component"));
    panel->setFont(song_font(kPanelFontPixels));
    panel->setMinimumSize(722, 140);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);

    auto place = [&](const QString& caption, QWidget* control, int row, int column, int span = 1) {
        grid->addWidget(new_label(caption, panel), row, column * 2);
        grid->addWidget(control, row, column * 2 + 1, 1, span, Qt::AlignLeft);
    };
    auto newBox = [&](const char* name, bool readOnly) {
        auto* box = new QLineEdit(panel);
        box->setObjectName(QString::fromLatin1(name));
        box->setFixedSize(94, 21);
        if (readOnly) {
            make_read_only(box);
        }
        connect(box, &QLineEdit::selectionChanged, this, [this] { UpdateEditActions(); });
        return box;
    };

    txt_component_name = newBox("txt_component_name", false);
    place(tr("Component Name:"), txt_component_name, 0, 0);
    dt_examine_date = new DatePicker(panel);
    dt_examine_date->setObjectName(QStringLiteral("dt_examine_date"));
    dt_examine_date->setDisplayFormat(picker_format());
    dt_examine_date->setFixedSize(110, 21);
    dt_examine_date->setEnabled(false);
    place(tr("Date:"), dt_examine_date, 0, 1);
    txt_area_number = newBox("txt_area_number", true);
    //: The number of test areas; the English label is spelt so on purpose.
    place(tr("Test Ares Numbers:"), txt_area_number, 0, 2);

    chk_pump_tag = new QCheckBox(panel);
    chk_pump_tag->setObjectName(QStringLiteral("chk_pump_tag"));
    place(tr("Pump:"), chk_pump_tag, 1, 0);
    txt_curve_filename = newBox("txt_curve_filename", true);
    place(tr("Conv.Curve:"), txt_curve_filename, 1, 1);
    txt_fcue = newBox("txt_fcue", true);
    //: The component's estimated strength.
    place(tr("Fcue:"), txt_fcue, 1, 2);

    txt_fcumin = newBox("txt_fcumin", true);
    place(tr("F.min:"), txt_fcumin, 2, 0);
    txt_mfcu = newBox("txt_mfcu", true);
    place(tr("F.Avg:"), txt_mfcu, 2, 1);
    txt_sfcu = newBox("txt_sfcu", true);
    place(tr("F.SD:"), txt_sfcu, 2, 2);

    txt_component_condition = newBox("txt_component_condition", false);
    txt_component_condition->setFixedSize(304, 21);
    place(tr(" Component\nDescription"), txt_component_condition, 3, 0, 3);
    grid->setColumnStretch(6, 1);
    grid->setRowStretch(4, 1);

    connect(txt_component_name, &QLineEdit::textChanged, this, &TSDIAppForm::txt_component_nameChange);
    txt_component_name->installEventFilter(this);
    connect(txt_component_condition, &QLineEdit::textChanged, this,
            &TSDIAppForm::txt_component_conditionChange);
    connect(chk_pump_tag, &QCheckBox::toggled, this, &TSDIAppForm::chk_pump_tagClick);

    sb_component->setWidget(panel);
    sb_component->setWidgetResizable(true);
    return sb_component;
}

// ---- Project panel ----------------------------------------------------------

void TSDIAppForm::ShowDateText(QDateEdit* picker, const std::string& text, const QString& field) {
    if (const auto date = platform::parse_date_lenient(text, mContext.app().clock())) {
        picker->setDate(to_qdate(*date));
        return;
    }
    picker->setDate(to_qdate(mContext.app().clock().today()));
    mPrompts->message(tr("%1: \"%2\" is not a date; today's date is shown instead!")
                          .arg(field, platform::to_qstring(text)));
}

void TSDIAppForm::RefreshProjectPanel() {
    // Filling the panel from the project is no edit of the operator's.
    mFillingProjectPanel = true;
    txt_project_name->setText(platform::to_qstring(mProject.project_name));
    txt_project_address->setText(platform::to_qstring(mProject.project_address));
    txt_supervision_unit->setText(platform::to_qstring(mProject.supervision_unit));
    txt_concrete_producer->setText(platform::to_qstring(mProject.concrete_producer));
    txt_agent_unit->setText(platform::to_qstring(mProject.agent_unit));
    ShowDateText(dt_agent_date, mProject.agent_date, tr("Measurement Date"));
    txt_report_serial->setText(platform::to_qstring(mProject.report_serial));
    txt_examine_serial->setText(platform::to_qstring(mProject.examine_serial));
    txt_examine_basis->setText(platform::to_qstring(mProject.examine_basis));
    txt_examine_condition->setText(platform::to_qstring(mProject.examine_condition));
    mFillingProjectPanel = false;
}

void TSDIAppForm::CollectProjectPanel() {
    ProjectDocument& doc = *mDocument;
    doc.setHeaderText(&ReboundFile::project_name, platform::from_qstring(txt_project_name->text()));
    doc.setHeaderText(&ReboundFile::project_address, platform::from_qstring(txt_project_address->text()));
    doc.setHeaderText(&ReboundFile::supervision_unit, platform::from_qstring(txt_supervision_unit->text()));
    doc.setHeaderText(&ReboundFile::concrete_producer, platform::from_qstring(txt_concrete_producer->text()));
    doc.setHeaderText(&ReboundFile::agent_unit, platform::from_qstring(txt_agent_unit->text()));
    doc.setHeaderText(&ReboundFile::agent_date, platform::format_date(from_qdate(dt_agent_date->date())));
    doc.setHeaderText(&ReboundFile::report_serial, platform::from_qstring(txt_report_serial->text()));
    doc.setHeaderText(&ReboundFile::examine_serial, platform::from_qstring(txt_examine_serial->text()));
    doc.setHeaderText(&ReboundFile::examine_basis, platform::from_qstring(txt_examine_basis->text()));
    doc.setHeaderText(&ReboundFile::examine_condition, platform::from_qstring(txt_examine_condition->text()));
}

// ---- Component list ---------------------------------------------------------

void TSDIAppForm::RefreshComponentList() {
    mCurrentItem = -1;
    lvComponents->setRowCount(0);
    ClearComponentPanel();
    const int count = static_cast<int>(mProject.component_count());
    if (count == 0) {
        return;
    }
    lvComponents->setUpdatesEnabled(false);
    lvComponents->setRowCount(count);
    for (int n = 0; n < count; ++n) {
        const ComponentInfo& c = mProject.components[static_cast<std::size_t>(n)];
        auto* number = new QTableWidgetItem(QString::number(n + 1));
        // The row's check state mirrors list_checked; the list shows no check
        // boxes, so it is kept as item data.
        number->setData(Qt::UserRole, static_cast<int>(c.list_checked));
        lvComponents->setItem(n, 0, number);
        auto* name = new QTableWidgetItem(platform::to_qstring(c.component_name));
        name->setTextAlignment(Qt::AlignCenter);
        lvComponents->setItem(n, 1, name);
        lvComponents->setItem(n, 2, new QTableWidgetItem(platform::to_qstring(c.examine_date)));
    }
    lvComponents->setUpdatesEnabled(true);
}

void TSDIAppForm::ClearComponentPanel() {
    txt_component_name->setText(QString());
    chk_pump_tag->setChecked(false);
    txt_area_number->setText(QString());
    txt_fcue->setText(QStringLiteral("0.0"));
    txt_fcumin->setText(QStringLiteral("0.0"));
    txt_mfcu->setText(QStringLiteral("0.0"));
    txt_sfcu->setText(QStringLiteral("0.0"));
    txt_curve_filename->setText(QString());
    txt_component_condition->setText(QString());
    dt_examine_date->setDate(to_qdate(mContext.app().clock().today()));
}

void TSDIAppForm::StoreListFlags() {
    const int rows = lvComponents->rowCount();
    for (int n = 0; n < rows; ++n) {
        ComponentInfo* c = mProject.component(static_cast<std::size_t>(n));
        const QTableWidgetItem* item = lvComponents->item(n, 0);
        if (c != nullptr && item != nullptr) {
            c->list_checked = static_cast<std::uint8_t>(item->data(Qt::UserRole).toInt() != 0 ? 1 : 0);
        }
    }
}

void TSDIAppForm::SelectComponentRow(int row) {
    if (row < 0 || row >= lvComponents->rowCount()) {
        return;
    }
    lvComponents->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvComponents->scrollToItem(lvComponents->item(row, 0));
}

ComponentInfo* TSDIAppForm::CurrentComponent() {
    if (mCurrentItem < 0) {
        return nullptr;
    }
    return mProject.component(static_cast<std::size_t>(mCurrentItem));
}

void TSDIAppForm::lvComponentsSelectItem() {
    const QList<QTableWidgetItem*> selected = lvComponents->selectedItems();
    if (selected.isEmpty()) {
        return;  // The current component stays current.
    }
    const int row = selected.first()->row();
    ComponentInfo* c = mProject.component(static_cast<std::size_t>(row));
    if (c == nullptr) {
        return;
    }
    mFilling = true;
    txt_component_name->setText(platform::to_qstring(c->component_name));
    chk_pump_tag->setChecked(c->pump_tag != 0);
    txt_area_number->setText(QString::number(c->area_count()));
    txt_mfcu->setText(number1(c->strength_avg));
    txt_sfcu->setText(number1(c->strength_delta));
    txt_fcumin->setText(number1(c->strength_min));
    txt_fcue->setText(number1(c->strength_estimate));
    txt_curve_filename->setText(platform::to_qstring(c->curve_filename));
    txt_component_condition->setText(platform::to_qstring(c->component_condition));
    // An unreadable date shows a message and today's date; the rest of the
    // fill goes on, so the panel always shows one component completely.
    ShowDateText(dt_examine_date, c->examine_date,
                 tr("Date of component %1").arg(platform::to_qstring(c->component_name)));
    mCurrentItem = row;
    RefreshAreaGrid();
    mFilling = false;
}

// ---- Component panel handlers ----------------------------------------------

void TSDIAppForm::txt_component_nameChange() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr || mFilling) {
        return;
    }
    const QString text = txt_component_name->text();
    if (QTableWidgetItem* item = lvComponents->item(mCurrentItem, 1)) {
        item->setText(text);
    }
    mDocument->setComponentName(static_cast<std::size_t>(mCurrentItem), platform::from_qstring(text));
}

void TSDIAppForm::txt_component_nameKeyDown() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr) {
        return;
    }
    const QString text = txt_component_name->text();
    if (QTableWidgetItem* item = lvComponents->item(mCurrentItem, 1)) {
        item->setText(text);
    }
    mDocument->setComponentName(static_cast<std::size_t>(mCurrentItem), platform::from_qstring(text));
}

void TSDIAppForm::txt_component_conditionChange() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr || mFilling) {
        return;
    }
    mDocument->setComponentCondition(static_cast<std::size_t>(mCurrentItem),
                                     platform::from_qstring(txt_component_condition->text()));
}

void TSDIAppForm::chk_pump_tagClick() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr || mFilling) {
        return;
    }
    mDocument->setPumpTag(static_cast<std::size_t>(mCurrentItem), chk_pump_tag->isChecked());
}

}  // namespace rebound
