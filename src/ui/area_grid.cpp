#include "ui/area_grid.h"

#include <QBrush>
#include <QColor>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "document/project_document.h"
#include "evaluation/area_texts.h"
#include "evaluation/strength_texts.h"
#include "model/number_text.h"
#include "ui/app_fonts.h"

namespace rebound {

namespace {

constexpr std::array<int, kGridColumnCount> kColumnWidths = {40, 40, 40, 40, 40, 40, 40, 40, 40, 38, 40,
                                                             40, 40, 40, 40, 38, 38, 71, 52, 47, 85, 70};
constexpr int kGridRowHeight = 30;

// Draws a cell as the grid's own drawing handler does: the cell filled with
// the brush for its state (the focused cell counts as selected), then its
// text centred on a single line. Much lighter than the style's item drawing,
// which matters when a component with many areas is shown. Figures that did
// not follow an edit are drawn in the disabled colour.
class AreaCellPainter : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = (option.state & (QStyle::State_Selected | QStyle::State_HasFocus)) != 0;
        const QPalette::ColorGroup group =
            (option.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
        if (selected) {
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        }
        const bool stale = index.data(Qt::UserRole).toBool();
        painter->save();
        painter->setFont(option.font);
        // A cell with a colour of its own (a reading typed by hand) keeps it
        // unless it is selected.
        const QVariant own = index.data(Qt::ForegroundRole);
        QColor pen = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        if (stale) {
            pen = option.palette.color(QPalette::Disabled, QPalette::Text);
        } else if (!selected && own.canConvert<QBrush>()) {
            pen = own.value<QBrush>().color();
        }
        painter->setPen(pen);
        painter->drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    // A reading is typed as a whole number from 0 to 255.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* box = qobject_cast<QLineEdit*>(editor)) {
            box->setAlignment(Qt::AlignCenter);
            box->setMaxLength(4);
        }
        return editor;
    }
};

bool is_reading_column(int column) {
    return column >= 1 && column <= static_cast<int>(kReadingsPerArea);
}

}  // namespace

AreaGrid::AreaGrid(ProjectDocument& document, QWidget* parent) : QWidget(parent), mDocument(document) {
    setObjectName(QStringLiteral("pnl_grid"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    sg_areas = new QTableWidget(1, kGridColumnCount, this);
    sg_areas->setObjectName(QStringLiteral("sg_areas"));
    sg_areas->setFont(song_font(14));
    QHeaderView* header = sg_areas->horizontalHeader();
    header->setFont(song_font(14));
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setMinimumHeight(kGridRowHeight);
    header->setHighlightSections(false);
    for (int c = 0; c < kGridColumnCount; ++c) {
        sg_areas->setColumnWidth(c, kColumnWidths[static_cast<std::size_t>(c)]);
    }
    sg_areas->setColumnHidden(0, true);
    QHeaderView* rows = sg_areas->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Interactive);
    rows->setDefaultSectionSize(kGridRowHeight);
    rows->setMinimumSectionSize(8);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setFixedWidth(kColumnWidths[0]);
    rows->setFont(song_font(14));
    rows->setHighlightSections(false);
    sg_areas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sg_areas->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sg_areas->setSelectionBehavior(QAbstractItemView::SelectItems);
    sg_areas->setTabKeyNavigation(false);
    sg_areas->setWordWrap(false);
    sg_areas->setShowGrid(true);
    sg_areas->setVerticalHeaderItem(0, new QTableWidgetItem(QString()));
    sg_areas->setItemDelegate(new AreaCellPainter(sg_areas));
    layout->addWidget(sg_areas);
    CreateGridSelectors();

    mColumnTitles << QString();
    for (int i = 1; i <= 16; ++i) {
        mColumnTitles << QString::number(i);
    }
    // Titles of the depth, mean rebound value, angle, tested surface and area
    // strength columns; a line break starts a second line.
    mColumnTitles << tr("Carb.\nDepth")
                  //: The area's mean rebound value.
                  << tr("Rm\n")
                  << tr("Angle")
                  //: The tested surface of the area.
                  << tr("Direction")
                  //: The area's strength, in MPa.
                  << tr("Fcu\n(MPa)");
    sg_areas->setHorizontalHeaderLabels(mColumnTitles);
    // Two-line titles start at the top of the header cell; the others sit in
    // its middle.
    for (int c = kGridDepthColumn; c < kGridColumnCount; ++c) {
        sg_areas->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }

    // In edit mode a click on a condition cell opens its selector, and a
    // typed reading goes into the area.
    connect(sg_areas, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (mEditing) {
            sg_areasSelectCell(column, row + 1);
        }
    });
    connect(sg_areas, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        HideSelectors();
        if (mEditing && row >= 0 && column >= 0 && !is_reading_column(column)) {
            sg_areasSelectCell(column, row + 1);
        }
    });
    connect(sg_areas, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!mFilling && mEditing) {
            sg_areasSetEditText(item->column(), item->row() + 1, item->text());
        }
    });
    connect(&mDocument, &ProjectDocument::componentChanged, this, [this](int row) {
        if (row == mRow) {
            RefreshAreaGrid();
        }
    });
    sg_areas->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sg_areas, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (mEditing && mPopup != nullptr) {
            mPopup->popup(sg_areas->viewport()->mapToGlobal(pos));
        }
    });
}

void AreaGrid::CreateGridSelectors() {
    auto newSelector = [&](const char* name, const QStringList& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(false);
        box->setFont(narrow_font(19));
        box->addItems(items);
        for (int i = 0; i < box->count(); ++i) {
            box->setItemData(i, QSize(0, 23), Qt::SizeHintRole);
        }
        box->setVisible(false);
        return box;
    };
    cbDepth_Selected = newSelector(
        "cbDepth_Selected",
        {QStringLiteral("-.-"), QStringLiteral("0.0mm"), QStringLiteral("0.5mm"), QStringLiteral("1.0mm"),
         QStringLiteral("1.5mm"), QStringLiteral("2.0mm"), QStringLiteral("2.5mm"), QStringLiteral("3.0mm"),
         QStringLiteral("3.5mm"), QStringLiteral("4.0mm"), QStringLiteral("4.5mm"), QStringLiteral("5.0mm"),
         QStringLiteral("5.5mm"), QStringLiteral(">6 mm")});
    cbAngle_Selected = newSelector(
        "cbAngle_Selected", {QString::fromUtf8("0°"), QString::fromUtf8("30°"), QString::fromUtf8("-30°"),
                             QString::fromUtf8("45°"), QString::fromUtf8("-45°"), QString::fromUtf8("60°"),
                             QString::fromUtf8("-60°"), QString::fromUtf8("90°"), QString::fromUtf8("-90°")});
    cbSide_Selected = newSelector("cbSide_Selected", {SideText(0), SideText(1), SideText(2)});
    // Only the operator's choice is a change; setting the index from the
    // model is not.
    connect(cbDepth_Selected, &QComboBox::activated, this, &AreaGrid::cbDepth_SelectedChange);
    connect(cbAngle_Selected, &QComboBox::activated, this, &AreaGrid::cbAngle_SelectedChange);
    connect(cbSide_Selected, &QComboBox::activated, this, &AreaGrid::cbSide_SelectedChange);
}

// ---- Texts ---------------------------------------------------------------

namespace {

// The texts side_text gives, marked for the catalogue: the grid and the side
// selector show them translated.
[[maybe_unused]] const char* const kSideTexts[] = {
    //: The tested surface: a side face, struck with the hammer held level.
    QT_TRANSLATE_NOOP("rebound::AreaGrid", "Horizontal"),
    //: The tested surface: the top (cast) face, struck from above.
    QT_TRANSLATE_NOOP("rebound::AreaGrid", "Downwards"),
    //: The tested surface: the bottom face, struck from below.
    QT_TRANSLATE_NOOP("rebound::AreaGrid", "Upwards"),
};

}  // namespace

QColor AreaGrid::TypedReadingColor() {
    return QColor(0xC0, 0x50, 0x00);
}

QString AreaGrid::DepthText(int carbonation_index) {
    return QString::fromStdString(depth_text(carbonation_index));
}

QString AreaGrid::AngleText(int angle_index) {
    return QString::fromStdString(angle_text(angle_index));
}

QString AreaGrid::SideText(int surface_index) {
    // The core's text, the one the reports use, in the window's language.
    return tr(side_text(surface_index).c_str());
}

// ---- Grid cells ------------------------------------------------------------

int AreaGrid::GridRowCount() const {
    return sg_areas->rowCount() + 1;
}

QString AreaGrid::GridCellText(int column, int row) const {
    if (column < 0 || column >= kGridColumnCount) {
        return {};
    }
    if (row == 0) {
        const QTableWidgetItem* header = sg_areas->horizontalHeaderItem(column);
        return header != nullptr ? header->text() : QString();
    }
    const QTableWidgetItem* item = sg_areas->item(row - 1, column);
    return item != nullptr ? item->text() : QString();
}

void AreaGrid::SetGridCell(int column, int row, const QString& text) {
    if (row < 1 || row >= GridRowCount() || column < 0 || column >= kGridColumnCount) {
        return;
    }
    const bool filling = mFilling;
    mFilling = true;
    QTableWidgetItem* item = sg_areas->item(row - 1, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        // Only readings are typed; the conditions have their selectors and
        // the results are computed.
        if (!is_reading_column(column)) {
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        }
        sg_areas->setItem(row - 1, column, item);
    }
    item->setText(text);
    if (column == 0) {
        QTableWidgetItem* number = sg_areas->verticalHeaderItem(row - 1);
        if (number == nullptr) {
            number = new QTableWidgetItem;
            sg_areas->setVerticalHeaderItem(row - 1, number);
        }
        number->setText(text);
    }
    mFilling = filling;
}

void AreaGrid::ShowComponent(int row) {
    mRow = row;
    HideSelectors();
    RefreshAreaGrid();
}

void AreaGrid::RefreshAreaGrid() {
    const ComponentInfo* c = mDocument.project().component(static_cast<std::size_t>(mRow));
    const int n = c != nullptr ? static_cast<int>(c->area_count()) : 0;
    const bool stale = mDocument.notRecalculated(static_cast<std::size_t>(mRow));
    mFilling = true;
    sg_areas->setUpdatesEnabled(false);
    // Rows that stay keep their cell objects and get new texts: every cell of
    // an area row is written below, and the one row shown without areas is
    // emptied (its number in column 0 stays, as in a grid whose rows shrink).
    sg_areas->setRowCount(n >= 2 ? n : 1);
    if (sg_areas->verticalHeaderItem(0) == nullptr) {
        sg_areas->setVerticalHeaderItem(0, new QTableWidgetItem(GridCellText(0, 1)));
    }
    if (n == 0) {
        for (int col = 1; col < kGridColumnCount; ++col) {
            SetGridCell(col, 1, QString());
        }
    }
    for (int i = 0; i < n; ++i) {
        const AreaData& a = c->areas[static_cast<std::size_t>(i)];
        const int r = i + 1;
        SetGridCell(0, r, QString::number(r));
        const bool typed = a.has_flag(area_flags::kTypedReadings);
        for (int k = 0; k < static_cast<int>(kReadingsPerArea); ++k) {
            SetGridCell(k + 1, r, QString::number(a.readings[static_cast<std::size_t>(k)]));
            QTableWidgetItem* reading = sg_areas->item(i, k + 1);
            reading->setData(Qt::ForegroundRole, typed ? QVariant(QBrush(TypedReadingColor())) : QVariant());
            reading->setToolTip(typed ? tr("Typed or changed by hand: not as the hammer recorded it") : QString());
        }
        SetGridCell(kGridDepthColumn, r, DepthText(a.carbonation_index));
        SetGridCell(kGridMeanColumn, r, QString::fromStdString(one_decimal(a.mean_rebound)));
        SetGridCell(kGridAngleColumn, r, AngleText(a.angle_index));
        SetGridCell(kGridSideColumn, r, SideText(a.surface_index));
        const bool desk = a.has_flag(area_flags::kDeskConditions);
        for (int column : {kGridDepthColumn, kGridAngleColumn, kGridSideColumn}) {
            sg_areas->item(i, column)->setToolTip(desk ? tr("Conditions entered at the desk") : QString());
        }
        SetGridCell(kGridStrengthColumn, r, QString::fromStdString(area_strength_text(*c, a, a.area_strength)));
        for (int column : {kGridMeanColumn, kGridStrengthColumn}) {
            QTableWidgetItem* item = sg_areas->item(i, column);
            item->setData(Qt::UserRole, stale);
            item->setToolTip(stale ? tr("Not recalculated") : QString());
        }
    }
    sg_areas->setUpdatesEnabled(true);
    mFilling = false;
}

void AreaGrid::SetEditing(bool on) {
    mEditing = on;
    HideSelectors();
    sg_areas->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                       QAbstractItemView::AnyKeyPressed
                                 : QAbstractItemView::NoEditTriggers);
}

// ---- In-place editors --------------------------------------------------------

void AreaGrid::HideSelectors() {
    cbDepth_Selected->hide();
    cbAngle_Selected->hide();
    cbSide_Selected->hide();
}

void AreaGrid::sg_areasSelectCell(int column, int row) {
    HideSelectors();
    QComboBox* selector = column == kGridDepthColumn   ? cbDepth_Selected
                          : column == kGridAngleColumn ? cbAngle_Selected
                          : column == kGridSideColumn  ? cbSide_Selected
                                                       : nullptr;
    if (selector == nullptr || row < 1 || row >= GridRowCount()) {
        return;
    }
    const QRect cell = sg_areas->visualRect(sg_areas->model()->index(row - 1, column));
    const QPoint corner = sg_areas->viewport()->mapTo(this, cell.topLeft());
    selector->setGeometry(corner.x() - 1, corner.y(), cell.width() + 4, cell.height() + 60);
    mCurrentAreaRow = row - 1;
    const ComponentInfo* c = mDocument.project().component(static_cast<std::size_t>(mRow));
    if (c != nullptr && static_cast<std::size_t>(mCurrentAreaRow) < c->area_count()) {
        const AreaData& area = c->areas[static_cast<std::size_t>(mCurrentAreaRow)];
        const int index = column == kGridDepthColumn   ? area.carbonation_index
                          : column == kGridAngleColumn ? area.angle_index
                                                       : area.surface_index;
        selector->setCurrentIndex(index < selector->count() ? index : -1);
    }
    selector->show();
    selector->raise();
    selector->setFocus();
}

void AreaGrid::SelectorChosen(QComboBox* selector, int which, int column) {
    const int index = selector->currentIndex();
    const ComponentInfo* c = mDocument.project().component(static_cast<std::size_t>(mRow));
    // A selector over the empty row of a component without areas touches
    // nothing.
    if (index < 0 || c == nullptr || mCurrentAreaRow < 0 ||
        static_cast<std::size_t>(mCurrentAreaRow) >= c->area_count()) {
        return;
    }
    const bool wasStale = mDocument.notRecalculated(static_cast<std::size_t>(mRow));
    const ProjectDocument::AreaEdit edit =
        mDocument.setAreaCondition(static_cast<std::size_t>(mRow), static_cast<std::size_t>(mCurrentAreaRow),
                                   static_cast<AreaCondition>(which), index);
    (void)column;
    HideSelectors();
    sg_areas->setFocus();
    ReportEdit(edit, wasStale);
}

void AreaGrid::cbDepth_SelectedChange() {
    SelectorChosen(cbDepth_Selected, static_cast<int>(AreaCondition::Carbonation), kGridDepthColumn);
}

void AreaGrid::cbAngle_SelectedChange() {
    SelectorChosen(cbAngle_Selected, static_cast<int>(AreaCondition::Angle), kGridAngleColumn);
}

void AreaGrid::cbSide_SelectedChange() {
    SelectorChosen(cbSide_Selected, static_cast<int>(AreaCondition::Surface), kGridSideColumn);
}

void AreaGrid::sg_areasSetEditText(int column, int row, const QString& text) {
    const ComponentInfo* c = mDocument.project().component(static_cast<std::size_t>(mRow));
    // Only readings are typed; whatever else reaches a cell is thrown away.
    if (c == nullptr || !is_reading_column(column) || row < 1 ||
        static_cast<std::size_t>(row) > c->area_count()) {
        RefreshAreaGrid();
        return;
    }
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        // Not a number: the cell shows the reading it holds.
        RefreshAreaGrid();
        return;
    }
    const bool wasStale = mDocument.notRecalculated(static_cast<std::size_t>(mRow));
    // A reading is a byte: larger values are stored as 255, negative ones
    // as 0; the refresh shows what was stored.
    const ProjectDocument::AreaEdit edit =
        mDocument.setReading(static_cast<std::size_t>(mRow), static_cast<std::size_t>(row - 1),
                             static_cast<std::size_t>(column - 1), value);
    RefreshAreaGrid();
    ReportEdit(edit, wasStale);
}

void AreaGrid::ReportEdit(const ProjectDocument::AreaEdit& edit, bool wasStale) {
    // The edit stands; the figures are the old ones until a calculation. Said
    // once, not at every reading typed after it.
    if (edit.changed && edit.curveProblem && !wasStale && mMessage) {
        mMessage(tr("The figures were not recalculated: %1").arg(mCurveProblemText(*edit.curveProblem)));
    }
}

}  // namespace rebound
