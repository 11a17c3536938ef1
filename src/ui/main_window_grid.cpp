// The test-area grid: one row per area of the current component, and the
// in-place editors (three drop-down selectors and two cell handlers) that
// exist for it but are not connected to the grid's own events.
//
// The grid's own coordinates count the header as row 0 and the row-number
// column as column 0. On screen the header row is the table's header, and the
// row numbers are drawn in the vertical header so that they stay in place
// when the grid scrolls sideways; column 0 keeps the same texts for readers.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <array>

#include "evaluation/area_texts.h"
#include "model/number_text.h"
#include "ui/app_fonts.h"
#include "ui/main_window.h"

namespace rebound {

namespace {

constexpr std::array<int, kGridColumnCount> kColumnWidths = {40, 40, 40, 40, 40, 40, 40, 40, 40, 38, 40,
                                                             40, 40, 40, 40, 38, 38, 71, 52, 47, 85, 70};
constexpr int kGridRowHeight = 30;

// Draws a cell as the grid's own drawing handler does: the cell filled with
// the brush for its state (the focused cell counts as selected), then its
// text centred on a single line. Much lighter than the style's item drawing,
// which matters when a component with many areas is shown.
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
        painter->save();
        painter->setFont(option.font);
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

}  // namespace

QWidget* TSDIAppForm::CreateAreaGrid() {
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
    return sg_areas;
}

void TSDIAppForm::CreateGridSelectors(QWidget* panel) {
    auto newSelector = [&](const char* name, const QStringList& items) {
        auto* box = new QComboBox(panel);
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
    connect(cbDepth_Selected, &QComboBox::activated, this, &TSDIAppForm::cbDepth_SelectedChange);
    connect(cbAngle_Selected, &QComboBox::activated, this, &TSDIAppForm::cbAngle_SelectedChange);
    connect(cbSide_Selected, &QComboBox::activated, this, &TSDIAppForm::cbSide_SelectedChange);
}

// ---- Texts ---------------------------------------------------------------

namespace {

// The texts side_text gives, marked for the catalogue: the grid and the side
// selector show them translated.
[[maybe_unused]] const char* const kSideTexts[] = {
    //: The tested surface: a side face, struck with the hammer held level.
    QT_TRANSLATE_NOOP("rebound::TSDIAppForm", "Horizontal"),
    //: The tested surface: the top (cast) face, struck from above.
    QT_TRANSLATE_NOOP("rebound::TSDIAppForm", "Downwards"),
    //: The tested surface: the bottom face, struck from below.
    QT_TRANSLATE_NOOP("rebound::TSDIAppForm", "Upwards"),
};

}  // namespace

QString TSDIAppForm::DepthText(int carbonation_index) {
    return QString::fromStdString(depth_text(carbonation_index));
}

QString TSDIAppForm::AngleText(int angle_index) {
    return QString::fromStdString(angle_text(angle_index));
}

QString TSDIAppForm::SideText(int surface_index) {
    // The core's text, the one the reports use, in the window's language.
    return tr(side_text(surface_index).c_str());
}

// ---- Grid cells ------------------------------------------------------------

int TSDIAppForm::GridRowCount() const {
    return sg_areas->rowCount() + 1;
}

QString TSDIAppForm::GridCellText(int column, int row) const {
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

void TSDIAppForm::SetGridCell(int column, int row, const QString& text) {
    if (row < 1 || row >= GridRowCount() || column < 0 || column >= kGridColumnCount) {
        return;
    }
    QTableWidgetItem* item = sg_areas->item(row - 1, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
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
}

void TSDIAppForm::RefreshAreaGrid() {
    const ComponentInfo* c = mProject.component_count() > 0 ? CurrentComponent() : nullptr;
    const int n = c != nullptr ? static_cast<int>(c->area_count()) : 0;
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
        for (int k = 0; k < static_cast<int>(kReadingsPerArea); ++k) {
            SetGridCell(k + 1, r, QString::number(a.readings[static_cast<std::size_t>(k)]));
        }
        SetGridCell(kGridDepthColumn, r, DepthText(a.carbonation_index));
        SetGridCell(kGridMeanColumn, r, QString::fromStdString(one_decimal(a.mean_rebound)));
        SetGridCell(kGridAngleColumn, r, AngleText(a.angle_index));
        SetGridCell(kGridSideColumn, r, SideText(a.surface_index));
        SetGridCell(kGridStrengthColumn, r, QString::fromStdString(one_decimal(a.area_strength)));
    }
    sg_areas->setUpdatesEnabled(true);
}

// ---- In-place editors --------------------------------------------------------

AreaData* TSDIAppForm::SelectedArea() {
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr || mCurrentAreaRow < 0 || static_cast<std::size_t>(mCurrentAreaRow) >= c->area_count()) {
        return nullptr;
    }
    return &c->area(static_cast<std::size_t>(mCurrentAreaRow));
}

void TSDIAppForm::sg_areasSelectCell(int column, int row) {
    cbDepth_Selected->hide();
    cbAngle_Selected->hide();
    cbSide_Selected->hide();
    QComboBox* selector = column == kGridDepthColumn   ? cbDepth_Selected
                          : column == kGridAngleColumn ? cbAngle_Selected
                          : column == kGridSideColumn  ? cbSide_Selected
                                                       : nullptr;
    if (selector == nullptr || row < 1 || row >= GridRowCount()) {
        return;
    }
    const QRect cell = sg_areas->visualRect(sg_areas->model()->index(row - 1, column));
    const QPoint corner = sg_areas->viewport()->mapTo(pnl_right, cell.topLeft());
    selector->setGeometry(corner.x() - 1, corner.y(), cell.width() + 4, cell.height() + 60);
    mCurrentAreaRow = row - 1;
    if (const AreaData* area = SelectedArea()) {
        const int index = column == kGridDepthColumn   ? area->carbonation_index
                          : column == kGridAngleColumn ? area->angle_index
                                                       : area->surface_index;
        selector->setCurrentIndex(index < selector->count() ? index : -1);
    }
    selector->show();
    selector->raise();
    selector->setFocus();
}

void TSDIAppForm::cbDepth_SelectedChange() {
    AreaData* area = SelectedArea();
    if (area == nullptr || cbDepth_Selected->currentIndex() < 0) {
        return;
    }
    area->carbonation_index = static_cast<std::uint8_t>(cbDepth_Selected->currentIndex());
    SetGridCell(kGridDepthColumn, mCurrentAreaRow + 1, cbDepth_Selected->currentText());
}

void TSDIAppForm::cbAngle_SelectedChange() {
    AreaData* area = SelectedArea();
    if (area == nullptr || cbAngle_Selected->currentIndex() < 0) {
        return;
    }
    area->angle_index = static_cast<std::uint8_t>(cbAngle_Selected->currentIndex());
    SetGridCell(kGridAngleColumn, mCurrentAreaRow + 1, cbAngle_Selected->currentText());
}

void TSDIAppForm::cbSide_SelectedChange() {
    AreaData* area = SelectedArea();
    if (area == nullptr || cbSide_Selected->currentIndex() < 0) {
        return;
    }
    area->surface_index = static_cast<std::uint8_t>(cbSide_Selected->currentIndex());
    SetGridCell(kGridSideColumn, mCurrentAreaRow + 1, cbSide_Selected->currentText());
}

void TSDIAppForm::sg_areasSetEditText(int column, int row, const QString& text) {
    if (column == kGridDepthColumn) {
        return;
    }
    ComponentInfo* c = CurrentComponent();
    if (c == nullptr || text.isEmpty()) {
        return;
    }
    if (column >= kGridMeanColumn && column <= kGridStrengthColumn) {
        RefreshAreaGrid();  // These columns are results: the typed text goes.
        return;
    }
    if (column < 1 || column > static_cast<int>(kReadingsPerArea)) {
        return;
    }
    // An area that does not exist is never written, not even the cell.
    if (row < 1 || static_cast<std::size_t>(row) > c->area_count()) {
        return;
    }
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        SetGridCell(column, row, QStringLiteral("0"));
        return;
    }
    // A reading is a byte: larger values are stored as 255, negative ones as 0.
    const int stored = value > 255 ? 255 : value < 0 ? 0 : value;
    c->area(static_cast<std::size_t>(row - 1)).readings[static_cast<std::size_t>(column - 1)] =
        static_cast<std::uint8_t>(stored);
    if (stored != value) {
        SetGridCell(column, row, QString::number(stored));
    }
}

}  // namespace rebound
