#include "ui/component_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "document/project_document.h"
#include "evaluation/strength_texts.h"
#include "platform/qt_bridge.h"
#include "ui/app_fonts.h"
#include "ui/error_text.h"
#include "ui/panel_widgets.h"
#include "ui/window_context.h"

namespace rebound {

namespace {

void set_text(QLineEdit* box, const QString& text) {
    if (box->text() != text) {
        box->setText(text);
    }
}

}  // namespace

ComponentPanel::ComponentPanel(ProjectDocument& document, WindowContext& context, QWidget* parent)
    : QScrollArea(parent), mDocument(document), mContext(context) {
    setObjectName(QStringLiteral("sb_component"));
    setFrameShape(QFrame::NoFrame);
    setMinimumHeight(40);
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnl_component"));
    panel->setFont(song_font(kPanelFontPixels));
    panel->setMinimumSize(722, 140);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);

    auto place = [&](const QString& caption, QWidget* control, int row, int column, int span = 1) {
        grid->addWidget(new_panel_label(caption, panel), row, column * 2);
        grid->addWidget(control, row, column * 2 + 1, 1, span, Qt::AlignLeft);
    };
    auto newBox = [&](const char* name, bool readOnly) {
        auto* box = new QLineEdit(panel);
        box->setObjectName(QString::fromLatin1(name));
        box->setFixedSize(94, 21);
        if (readOnly) {
            make_read_only(box);
        }
        return box;
    };

    txt_component_name = newBox("txt_component_name", false);
    place(tr("Component Name:"), txt_component_name, 0, 0);
    dt_examine_date = new DatePicker(panel);
    dt_examine_date->setObjectName(QStringLiteral("dt_examine_date"));
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
    grid->addWidget(new_panel_label(tr(" Component\nDescription"), panel), 3, 0);
    grid->addWidget(txt_component_condition, 3, 1, 1, 3, Qt::AlignLeft);

    // Shown in edit mode only: the concrete strength grade, C20 upwards in
    // steps of 5.
    cb_strength_degree = new QComboBox(panel);
    cb_strength_degree->setObjectName(QStringLiteral("cb_strength_degree"));
    for (int index = 0; index <= 12; ++index) {
        cb_strength_degree->addItem(QStringLiteral("C%1").arg(20 + 5 * index));
    }
    cb_strength_degree->setFixedSize(94, 21);
    lbl_strength_degree = new_panel_label(tr("Strength Grade:"), panel);
    grid->addWidget(lbl_strength_degree, 3, 4);
    grid->addWidget(cb_strength_degree, 3, 5, Qt::AlignLeft);
    lbl_strength_degree->setVisible(false);
    cb_strength_degree->setVisible(false);
    connect(cb_strength_degree, &QComboBox::activated, this, [this](int index) {
        if (mRow >= 0 && !mFilling) {
            mDocument.setStrengthDegree(static_cast<std::size_t>(mRow), index);
        }
    });
    connect(dt_examine_date, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (mRow >= 0 && !mFilling && dt_examine_date->isEnabled()) {
            mShownDate = platform::format_date(from_qdate(date));
            mDocument.setExamineDate(static_cast<std::size_t>(mRow), mShownDate);
        }
    });
    grid->setColumnStretch(6, 1);
    grid->setRowStretch(4, 1);

    connect(txt_component_name, &QLineEdit::textChanged, this, &ComponentPanel::txt_component_nameChange);
    txt_component_name->installEventFilter(this);
    connect(txt_component_condition, &QLineEdit::textChanged, this, &ComponentPanel::txt_component_conditionChange);
    connect(chk_pump_tag, &QCheckBox::toggled, this, &ComponentPanel::chk_pump_tagClick);
    for (QLineEdit* box : {txt_component_name, txt_component_condition}) {
        connect(box, &QLineEdit::editingFinished, this, [this] { mDocument.breakTyping(); });
    }

    setWidget(panel);
    setWidgetResizable(true);
    ClearComponentPanel();

    connect(&mDocument, &ProjectDocument::componentChanged, this, [this](int row) {
        if (row == mRow) {
            Fill(false);
        }
    });
}

void ComponentPanel::SetEditing(bool on) {
    dt_examine_date->setEnabled(on);
    lbl_strength_degree->setVisible(on);
    cb_strength_degree->setVisible(on);
}

void ComponentPanel::ShowComponent(int row) {
    mRow = mDocument.project().component(static_cast<std::size_t>(row)) != nullptr ? row : -1;
    if (mRow < 0) {
        ClearComponentPanel();
        return;
    }
    Fill(true);
}

void ComponentPanel::ClearComponentPanel() {
    mFilling = true;
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
    mShownDate.clear();
    mFilling = false;
}

void ComponentPanel::Fill(bool whole) {
    const ComponentInfo* c = mDocument.project().component(static_cast<std::size_t>(mRow));
    if (c == nullptr) {
        return;
    }
    mFilling = true;
    set_text(txt_component_name, platform::to_qstring(c->component_name));
    chk_pump_tag->setChecked(c->pump_tag != 0);
    set_text(txt_area_number, QString::number(c->area_count()));
    // A figure without a strength behind it reads "—", "<10.0" or ">60.0";
    // the estimate's tooltip says why.
    set_text(txt_mfcu, QString::fromStdString(component_figure_text(*c, c->strength_avg)));
    set_text(txt_sfcu, QString::fromStdString(component_figure_text(*c, c->strength_delta)));
    set_text(txt_fcumin, QString::fromStdString(component_figure_text(*c, c->strength_min)));
    set_text(txt_fcue, QString::fromStdString(estimate_text(*c)));
    const Message reason = estimate_reason(*c);
    // Figures that did not follow the last edit are drawn as such.
    const bool stale = mDocument.notRecalculated(static_cast<std::size_t>(mRow));
    for (QLineEdit* figure : {txt_mfcu, txt_sfcu, txt_fcumin, txt_fcue}) {
        figure->setToolTip(stale                                        ? tr("Not recalculated")
                           : figure == txt_fcue && !reason.code.empty() ? ErrorText::Of(reason)
                                                                        : QString());
        QPalette colours = figure->palette();
        colours.setColor(QPalette::Text, palette().color(stale ? QPalette::Disabled : QPalette::Active, QPalette::Text));
        figure->setPalette(colours);
    }
    set_text(txt_curve_filename, platform::to_qstring(c->curve_filename));
    set_text(txt_component_condition, platform::to_qstring(c->component_condition));
    cb_strength_degree->setCurrentIndex(c->strength_degree < cb_strength_degree->count() ? c->strength_degree : -1);
    // An unreadable date shows today's date and stays as it is in the project.
    if (whole || c->examine_date != mShownDate) {
        mShownDate = c->examine_date;
        show_date_text(dt_examine_date, c->examine_date, mContext.app().clock());
    }
    mFilling = false;
}

// ---- Handlers ----------------------------------------------------------------

void ComponentPanel::txt_component_nameChange() {
    if (mRow < 0 || mFilling) {
        return;
    }
    mDocument.setComponentName(static_cast<std::size_t>(mRow), platform::from_qstring(txt_component_name->text()));
}

void ComponentPanel::txt_component_nameKeyDown() {
    // Every key in the name box: the name as it stands goes into the
    // component (the list follows the document).
    txt_component_nameChange();
}

void ComponentPanel::txt_component_conditionChange() {
    if (mRow < 0 || mFilling) {
        return;
    }
    mDocument.setComponentCondition(static_cast<std::size_t>(mRow),
                                    platform::from_qstring(txt_component_condition->text()));
}

void ComponentPanel::chk_pump_tagClick() {
    if (mRow < 0 || mFilling) {
        return;
    }
    mDocument.setPumpTag(static_cast<std::size_t>(mRow), chk_pump_tag->isChecked());
}

bool ComponentPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txt_component_name && event->type() == QEvent::KeyPress) {
        txt_component_nameKeyDown();
    }
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace rebound
