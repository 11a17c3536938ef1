#include "report/widgets/report_preview.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "platform/memory.h"
#include "report/widgets/report_dialogs.h"

namespace rebound::report {

namespace {
constexpr double kMmPerInch = 25.4;
}  // namespace

// The shown page on a grey desk.
class PreviewPageView : public QWidget {
public:
    explicit PreviewPageView(QWidget* parent) : QWidget(parent) {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        setPalette(p);
    }
    void setImage(QImage image) {
        image_ = std::move(image);
        const QSize page = image_.size() / image_.devicePixelRatio();
        setMinimumSize(page + QSize(2 * kDesk, 2 * kDesk));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (image_.isNull()) return;
        const QSize page = image_.size() / image_.devicePixelRatio();
        const QPoint at((width() - page.width()) / 2, kDesk);
        painter.fillRect(QRect(at + QPoint(3, 3), page), QColor(0x50, 0x50, 0x50));
        painter.drawImage(at, image_);
    }

private:
    static constexpr int kDesk = 12;
    QImage image_;
};

ReportPreviewDialog::ReportPreviewDialog(ReportEngine& engine, ReportTemplate t, QPrinter& printer,
                                         QWidget* parent, int expected_records)
    : QDialog(parent), engine_(engine), template_(std::move(t)), printer_(printer) {
    setObjectName(QStringLiteral("PrintPreviewDialog"));
    setWindowTitle(template_.title);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    job_ = std::make_unique<LayoutJob>(template_, data_, false);

    auto* bar = new QHBoxLayout;
    auto button = [&](const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        bar->addWidget(b);
        return b;
    };
    QToolButton* first = button(QStringLiteral("|<"), tr("First page"));
    QToolButton* previous = button(QStringLiteral("<"), tr("Previous page"));
    page_box_ = new QSpinBox(this);
    page_box_->setObjectName(QStringLiteral("pageNumber"));
    page_box_->setRange(1, 1);
    bar->addWidget(page_box_);
    page_count_ = new QLabel(this);
    bar->addWidget(page_count_);
    QToolButton* next = button(QStringLiteral(">"), tr("Next page"));
    QToolButton* last = button(QStringLiteral(">|"), tr("Last page"));
    bar->addSpacing(12);
    QToolButton* zoom_out = button(QStringLiteral("-"), tr("Zoom out"));
    QToolButton* zoom_in = button(QStringLiteral("+"), tr("Zoom in"));
    bar->addSpacing(12);
    print_ = new QPushButton(tr("Print(&P)..."), this);
    print_->setObjectName(QStringLiteral("printButton"));
    bar->addWidget(print_);
    bar->addStretch(1);
    status_ = new QLabel(this);
    bar->addWidget(status_);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("layoutProgress"));
    // Without an expected count the bar only shows that work goes on.
    progress_->setRange(0, std::max(0, expected_records));
    progress_->setMaximumWidth(200);
    bar->addWidget(progress_);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancelLayout"));
    bar->addWidget(cancel_);

    scroll_ = new QScrollArea(this);
    view_ = new PreviewPageView(scroll_);
    scroll_->setWidget(view_);
    scroll_->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll_, 1);
    resize(1000, 800);

    connect(first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(previous, &QToolButton::clicked, this, [this] { showPage(current_ - 1); });
    connect(next, &QToolButton::clicked, this, [this] { showPage(current_ + 1); });
    connect(last, &QToolButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(page_box_, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
    connect(zoom_in, &QToolButton::clicked, this, [this] {
        zoom_ = std::min(4.0, zoom_ * 1.25);
        renderCurrent();
    });
    connect(zoom_out, &QToolButton::clicked, this, [this] {
        zoom_ = std::max(0.25, zoom_ / 1.25);
        renderCurrent();
    });
    connect(print_, &QPushButton::clicked, this, [this] {
        QPrintDialog dialog(&printer_, this);
        dialog.setObjectName(QStringLiteral("PrintDialog"));
        if (dialog.exec() == QDialog::Accepted) printAll(printer_);
    });
    // Cancel stops the layout and closes the preview: the command ends.
    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        reject();
    });

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &ReportPreviewDialog::layOutSome);
    // The first part at once, so that the first page is there when the
    // preview appears; the rest in the background.
    layOutSome();
}

ReportPreviewDialog::~ReportPreviewDialog() {
    // The pages and records go with the preview, and their memory back to
    // the system rather than staying with the process.
    view_->setImage(QImage());
    job_.reset();
    data_ = ReportData();
    platform::return_free_memory();
}

void ReportPreviewDialog::done(int result) {
    timer_->stop();
    QDialog::done(result);
}

int ReportPreviewDialog::pageCount() const {
    return job_->finished_pages();
}

bool ReportPreviewDialog::layoutDone() const {
    return job_->done();
}

void ReportPreviewDialog::layOutSome() {
    QElapsedTimer clock;
    clock.start();
    const int shown_before = pageCount();
    while (!job_->done() && clock.elapsed() < kMillisecondsPerRun) {
        if (!fetched_all_) {
            fetched_all_ = engine_.fetch_more(data_, kRecordsPerFetch);
            job_->set_complete(fetched_all_);
        }
        job_->step(kRecordsPerStep);
    }
    if (!job_->done()) timer_->start();
    updateControls();
    // The first page, as soon as there is one; and the footer's page count
    // once the last page is known.
    if ((shown_before == 0 && pageCount() > 0) || job_->done()) renderCurrent();
}

void ReportPreviewDialog::finishLayout() {
    if (!fetched_all_) {
        fetched_all_ = engine_.fetch_more(data_, ReportEngine::kMaxRecords);
        job_->set_complete(true);
    }
    while (!job_->done()) job_->step(1 << 20);
    timer_->stop();
    updateControls();
    renderCurrent();
}

void ReportPreviewDialog::updateControls() {
    const int pages = pageCount();
    const bool done = job_->done();
    page_box_->blockSignals(true);
    page_box_->setRange(1, std::max(1, pages));
    page_box_->setValue(current_ + 1);
    page_box_->blockSignals(false);
    page_count_->setText(done ? tr("of %1").arg(pages) : tr("of %1 so far").arg(pages));
    if (progress_->maximum() > 0) progress_->setValue(std::min(progress_->maximum(), job_->records_placed()));
    progress_->setVisible(!done);
    cancel_->setVisible(!done);
    status_->setText(done ? QString() : tr("Laying out pages..."));
    print_->setEnabled(done);
}

void ReportPreviewDialog::showPage(int page) {
    page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    if (page == current_ && !view_->minimumSize().isEmpty()) return;
    current_ = page;
    updateControls();
    renderCurrent();
    scroll_->verticalScrollBar()->setValue(0);
}

double ReportPreviewDialog::pixelsPerMm() const {
    return logicalDpiX() / kMmPerInch * zoom_;
}

QImage ReportPreviewDialog::pageImage(int page, double pixels_per_mm) const {
    const ReportLayout& layout = job_->layout();
    if (page < 0 || page >= pageCount()) return {};
    const QSize size(qRound(layout.width_mm * pixels_per_mm), qRound(layout.height_mm * pixels_per_mm));
    QImage image(size, QImage::Format_RGB32);
    const int dpm = qRound(pixels_per_mm * 1000);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (job_->done()) {
        render_page(painter, image, template_, layout, page);
    } else {
        // The page count is not known yet: the page is drawn with a
        // placeholder instead of the reference.
        ReportLayout one;
        one.width_mm = layout.width_mm;
        one.height_mm = layout.height_mm;
        one.line_width_mm = layout.line_width_mm;
        one.pages.push_back(layout.pages[static_cast<std::size_t>(page)]);
        const QString count_ref = QStringLiteral("[#%1#]").arg(QLatin1String(kPageCountName));
        for (PlacedBox& b : one.pages.front().boxes) {
            if (b.role != BoxRole::Cell && b.role != BoxRole::HeaderValue) b.text.replace(count_ref, QStringLiteral("…"));
        }
        render_page(painter, image, template_, one, 0);
    }
    return image;
}

void ReportPreviewDialog::renderCurrent() {
    if (pageCount() == 0) return;
    const double ratio = devicePixelRatioF();
    QImage image = pageImage(current_, pixelsPerMm() * ratio);
    image.setDevicePixelRatio(ratio);
    view_->setImage(std::move(image));
}

bool ReportPreviewDialog::printAll(QPrinter& printer) {
    finishLayout();
    return print_pages(printer, template_, job_->layout(), this);
}

}  // namespace rebound::report
