#include "ui/project_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "document/project_document.h"
#include "platform/qt_bridge.h"
#include "ui/app_fonts.h"
#include "ui/panel_widgets.h"
#include "ui/window_context.h"

namespace rebound {

ProjectPanel::ProjectPanel(ProjectDocument& document, WindowContext& context, QWidget* parent)
    : QScrollArea(parent), mDocument(document), mContext(context) {
    setObjectName(QStringLiteral("sb_project"));
    setFrameShape(QFrame::NoFrame);
    setMinimumHeight(40);
    resize(width(), 157);
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("pnl_project"));
    panel->setFont(song_font(kPanelFontPixels));
    panel->setMinimumSize(1013, 138);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);

    std::vector<QWidget*> order;
    auto newBox = [&](const char* name, const QString& caption, int row, int column,
                      std::string ReboundFile::*member) {
        auto* box = new QLineEdit(panel);
        box->setObjectName(QString::fromLatin1(name));
        box->setFixedSize(168, 21);
        grid->addWidget(new_panel_label(caption, panel), row, column * 2);
        grid->addWidget(box, row, column * 2 + 1);
        mFields.push_back({box, member});
        order.push_back(box);
    };
    // Created in tab order; placed row by row.
    newBox("txt_project_name", tr("Project Name:"), 0, 0, &ReboundFile::project_name);
    newBox("txt_report_serial", tr("Report NO.:"), 0, 1, &ReboundFile::report_serial);
    newBox("txt_examine_serial", tr("Measurement NO.:"), 0, 2, &ReboundFile::examine_serial);
    newBox("txt_examine_basis", tr("Standard:"), 2, 1, &ReboundFile::examine_basis);
    newBox("txt_examine_condition", tr("Project Description:"), 2, 2, &ReboundFile::examine_condition);
    newBox("txt_agent_unit", tr("Entrustment\n  Company"), 1, 0, &ReboundFile::agent_unit);

    dt_agent_date = new DatePicker(panel);
    dt_agent_date->setObjectName(QStringLiteral("dt_agent_date"));
    dt_agent_date->setCalendarPopup(true);
    dt_agent_date->setFixedSize(168, 21);
    grid->addWidget(new_panel_label(tr("Measurement Date:"), panel), 2, 0);
    grid->addWidget(dt_agent_date, 2, 1);
    order.push_back(dt_agent_date);

    newBox("txt_project_address", tr("Project Address:"), 1, 2, &ReboundFile::project_address);
    newBox("txt_supervision_unit", tr("Supervisory\nOrganization"), 1, 1, &ReboundFile::supervision_unit);
    //: The concrete producer; the English label is spelt so on purpose.
    newBox("txt_concrete_producer", tr("     Concrete \nProduction Departmen"), 3, 0, &ReboundFile::concrete_producer);

    cb_pumped_rule = new QComboBox(panel);
    cb_pumped_rule->setObjectName(QStringLiteral("cb_pumped_rule"));
    cb_pumped_rule->addItems({tr("By correction"), tr("By pumped-concrete curve")});
    cb_pumped_rule->setFixedSize(168, 21);
    lbl_pumped_rule = new_panel_label(tr("Pumped Concrete:"), panel);
    grid->addWidget(lbl_pumped_rule, 3, 2);
    grid->addWidget(cb_pumped_rule, 3, 3);
    order.push_back(cb_pumped_rule);
    chk_standard_arithmetic = new QCheckBox(tr("Standard's arithmetic"), panel);
    chk_standard_arithmetic->setObjectName(QStringLiteral("chk_standard_arithmetic"));
    chk_standard_arithmetic->setToolTip(
        tr("Means in exact decimals rounded to 0.1, the representative carbonation depth rounded to the nearest "
           "0.5 mm and used for every area"));
    grid->addWidget(chk_standard_arithmetic, 3, 4, 1, 2);
    order.push_back(chk_standard_arithmetic);
    grid->setColumnStretch(6, 1);
    grid->setRowStretch(4, 1);
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    setWidget(panel);
    setWidgetResizable(true);

    // Typing goes into the project at once; leaving a box ends its undo step.
    for (const Field& f : mFields) {
        connect(f.box, &QLineEdit::textChanged, this, [this, f](const QString& text) {
            if (!mFilling) {
                mDocument.setHeaderText(f.member, platform::from_qstring(text));
            }
        });
        connect(f.box, &QLineEdit::editingFinished, this, [this] { mDocument.breakTyping(); });
    }
    connect(dt_agent_date, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (!mFilling) {
            mShownDate = platform::format_date(from_qdate(date));
            mDocument.setHeaderText(&ReboundFile::agent_date, mShownDate);
        }
    });
    connect(dt_agent_date, &QDateEdit::editingFinished, this, [this] { mDocument.breakTyping(); });
    // A change of rule is one undo step of the document.
    const auto changeRules = [this] {
        if (mFilling) return;
        EvaluationRules rules;
        rules.pumped = cb_pumped_rule->currentIndex() == 1 ? PumpedRule::Curve : PumpedRule::Correction;
        rules.arithmetic = chk_standard_arithmetic->isChecked() ? Arithmetic::Standard : Arithmetic::Device;
        if (!mDocument.setEvaluationRules(rules)) ShowHeader(false);  // no spare text could take them
    };
    connect(cb_pumped_rule, &QComboBox::currentIndexChanged, this, changeRules);
    connect(chk_standard_arithmetic, &QCheckBox::toggled, this, changeRules);
    connect(&mDocument, &ProjectDocument::batchChanged, this, [this] { ShowHeader(false); });
    connect(&mDocument, &ProjectDocument::headerChanged, this, [this] { ShowHeader(false); });
    connect(&mDocument, &ProjectDocument::projectReplaced, this, &ProjectPanel::RefreshProjectPanel);
}

void ProjectPanel::SetEditing(bool on) {
    for (QWidget* w : {static_cast<QWidget*>(lbl_pumped_rule), static_cast<QWidget*>(cb_pumped_rule),
                       static_cast<QWidget*>(chk_standard_arithmetic)}) {
        w->setVisible(on);
    }
}

void ProjectPanel::RefreshProjectPanel() {
    ShowHeader(true);
}

void ProjectPanel::ShowHeader(bool whole) {
    const ReboundFile& project = mDocument.project();
    mFilling = true;
    for (const Field& f : mFields) {
        const QString text = platform::to_qstring(project.*(f.member));
        if (f.box->text() != text) {
            f.box->setText(text);
        }
    }
    const EvaluationRules rules = mDocument.evaluationRules();
    cb_pumped_rule->setCurrentIndex(rules.pumped == PumpedRule::Curve ? 1 : 0);
    chk_standard_arithmetic->setChecked(rules.arithmetic == Arithmetic::Standard);
    // The date is read again only when its text changed.
    if (whole || project.agent_date != mShownDate) {
        show_date_text(dt_agent_date, project.agent_date, mContext.app().clock());
        mShownDate = project.agent_date;
    }
    mFilling = false;
}

}  // namespace rebound
