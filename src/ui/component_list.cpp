#include "ui/component_list.h"

#include <QBrush>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "document/project_document.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "ui/app_fonts.h"
#include "ui/area_grid.h"
#include "ui/panel_widgets.h"

namespace rebound {

ComponentList::ComponentList(ProjectDocument& document, QWidget* parent)
    : QTableWidget(0, 3, parent), mDocument(document) {
    setObjectName(QStringLiteral("lvComponents"));
    setFont(song_font(kPanelFontPixels));
    setHorizontalHeaderLabels({tr("NO."), tr("Component Name"), tr("Date&Time")});
    horizontalHeaderItem(1)->setTextAlignment(Qt::AlignCenter);
    setColumnWidth(0, 35);
    setColumnWidth(1, 130);
    setColumnWidth(2, 85);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(20);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Keep the selection drawn in its active colour when the list has no focus.
    QPalette colours = palette();
    colours.setBrush(QPalette::Inactive, QPalette::Highlight, colours.brush(QPalette::Active, QPalette::Highlight));
    colours.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     colours.brush(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    setMinimumWidth(120);
    resize(250, height());
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (mPopup != nullptr) {
            mPopup->popup(viewport()->mapToGlobal(pos));
        }
    });
    connect(this, &QTableWidget::itemSelectionChanged, this, &ComponentList::lvComponentsSelectItem);

    // The list follows the document: a new or opened project shows its first
    // component, new components show the last of them, and after a removal
    // the first component is current.
    connect(&mDocument, &ProjectDocument::projectReplaced, this, [this] {
        RefreshComponentList();
        SelectComponentRow(0);
    });
    connect(&mDocument, &ProjectDocument::componentsInserted, this, [this](int first, int count) {
        RefreshComponentList();
        SelectComponentRow(first + count - 1);
    });
    connect(&mDocument, &ProjectDocument::componentsRemoved, this, [this](int, int) {
        RefreshComponentList();
        SelectComponentRow(0);
    });
    connect(&mDocument, &ProjectDocument::componentChanged, this, &ComponentList::ShowRow);

    // In a project inspected by batch each row has a check box: a click ticks
    // or unticks the component through the document (one undo step).
    connect(&mDocument, &ProjectDocument::batchChanged, this, [this] {
        SetBatch(mDocument.batchData().settings.enabled);
        for (int row = 0; row < rowCount(); ++row) ShowRow(row);
    });
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* changed) {
        // Items are user-checkable by default: only a row that shows a check
        // box holds a check state.
        if (mShowing || changed == nullptr || changed->column() != 0 ||
            !changed->data(Qt::CheckStateRole).isValid()) {
            return;
        }
        const ComponentInfo* c = mDocument.project().component(static_cast<std::size_t>(changed->row()));
        const bool ticked = changed->checkState() == Qt::Checked;
        if (c != nullptr && (c->list_checked != 0) != ticked) {
            mDocument.setListChecked(static_cast<std::size_t>(changed->row()), ticked);
        }
    });
}

void ComponentList::SetBatch(bool batch) {
    mBatch = batch;
    // Several rows may be selected to tick them at once (the batch window's
    // Tick Selected); the first of them is the current one.
    setSelectionMode(batch ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

int ComponentList::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

void ComponentList::RefreshComponentList() {
    SetCurrent(-1);
    SetBatch(mDocument.batchData().settings.enabled);
    setRowCount(0);
    const int count = static_cast<int>(mDocument.project().component_count());
    if (count == 0) {
        return;
    }
    setUpdatesEnabled(false);
    setRowCount(count);
    for (int n = 0; n < count; ++n) {
        auto* number = new QTableWidgetItem(QString::number(n + 1));
        setItem(n, 0, number);
        auto* name = new QTableWidgetItem;
        name->setTextAlignment(Qt::AlignCenter);
        setItem(n, 1, name);
        setItem(n, 2, new QTableWidgetItem);
        ShowRow(n);
    }
    setUpdatesEnabled(true);
}

void ComponentList::ShowRow(int row) {
    const ComponentInfo* c = mDocument.project().component(static_cast<std::size_t>(row));
    if (c == nullptr || row >= rowCount() || item(row, 0) == nullptr) {
        return;
    }
    // The row's check state mirrors list_checked, as item data and, in a
    // project inspected by batch, as the row's check box.
    const bool showing = mShowing;
    mShowing = true;
    QTableWidgetItem* number = item(row, 0);
    number->setData(Qt::UserRole, static_cast<int>(c->list_checked));
    if (mBatch) {
        number->setFlags(number->flags() | Qt::ItemIsUserCheckable);
        number->setCheckState(c->list_checked != 0 ? Qt::Checked : Qt::Unchecked);
    } else if (number->data(Qt::CheckStateRole).isValid()) {
        number->setData(Qt::CheckStateRole, QVariant());
    }
    mShowing = showing;
    // A component holding readings typed by hand shows its number in the
    // grid's colour of typed readings, in bold, with a tooltip.
    const bool typed = std::any_of(c->areas.begin(), c->areas.end(),
                                   [](const AreaData& a) { return a.has_flag(area_flags::kTypedReadings); });
    if (number->data(kTypedRole).toBool() != typed) {
        number->setData(kTypedRole, typed);
        number->setData(Qt::ForegroundRole, typed ? QVariant(QBrush(AreaGrid::TypedReadingColor())) : QVariant());
        QFont font = number->font();
        font.setBold(typed);
        number->setFont(font);
        number->setToolTip(typed ? tr("Holds readings typed or changed by hand") : QString());
    }
    const QString name = platform::to_qstring(c->component_name);
    if (item(row, 1)->text() != name) {
        item(row, 1)->setText(name);
    }
    // A component whose figures did not follow its last edit is drawn as such.
    const bool stale = mDocument.notRecalculated(static_cast<std::size_t>(row));
    item(row, 1)->setToolTip(stale ? tr("Not recalculated") : QString());
    item(row, 1)->setForeground(stale ? palette().brush(QPalette::Disabled, QPalette::Text) : QBrush());
    // The date as this desktop writes it; an unreadable text as it is.
    const auto day = platform::parse_date(c->examine_date, mDocument.context().clock());
    const QString date = platform::to_qstring(day ? platform::format_date(*day) : c->examine_date);
    if (item(row, 2)->text() != date) {
        item(row, 2)->setText(date);
    }
}

void ComponentList::SelectComponentRow(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item(row, 0));
}

void ComponentList::lvComponentsSelectItem() {
    const int row = SelectedRow();
    if (row < 0 || mDocument.project().component(static_cast<std::size_t>(row)) == nullptr) {
        return;  // The current component stays current.
    }
    SetCurrent(row);
}

void ComponentList::SetCurrent(int row) {
    mCurrentItem = row;
    emit currentChanged(row);
}

void ComponentList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

// Only the left button selects a row; the pop-up menu acts on the row
// selected already.
void ComponentList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void ComponentList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

}  // namespace rebound
