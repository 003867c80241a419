#include "ui/chart_page.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLegend>
#include <QChartView>
#include <QMouseEvent>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "output/plan_chart.h"

namespace quotaplan {
namespace {

// The chart in the window's colours: the printed and exported chart stays on white, the one
// on screen follows the theme (text, axes and grid from the palette's text colours).
void FollowPalette(QChart& chart, const QPalette& palette) {
    const QColor text = palette.color(QPalette::WindowText);
    chart.setBackgroundBrush(palette.brush(QPalette::Base));
    chart.setTitleBrush(text);
    chart.legend()->setLabelColor(text);
    const QColor grid = palette.color(QPalette::Mid);
    for (QAbstractAxis* axis : chart.axes()) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setLinePenColor(text);
        axis->setGridLineColor(grid);
    }
}

}  // namespace

ChartPage::ChartPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabGrafico"));
    chtPiano = new QChartView(this);
    chtPiano->setObjectName(QStringLiteral("chtPiano"));
    chtPiano->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(chtPiano);
    // Every move of the pointer over the chart, not only those with a button held.
    chtPiano->viewport()->setMouseTracking(true);
    chtPiano->viewport()->installEventFilter(this);
    Clear();
}

QChart* ChartPage::Chart() const { return chtPiano->chart(); }

void ChartPage::ShowPlan(const FinancialPlan& plan) { Show(PlanChartDataOf(plan)); }

void ChartPage::Clear() { Show(PlanChartData{}); }

void ChartPage::Show(PlanChartData data) {
    HideTooltip();
    data_ = std::move(data);
    QChart* old = chtPiano->chart();
    QChart* chart = BuildPlanChart(data_, "").release();
    chtPiano->setChart(chart);  // the view owns the new chart and lets the old one go
    delete old;
    FollowPalette(*chart, palette());
    chtPiano->setBackgroundBrush(palette().brush(QPalette::Base));
    FitBarAxisLabels(*chart, data_, chtPiano->width());
}

void ChartPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange) return;
    FollowPalette(*Chart(), palette());
    chtPiano->setBackgroundBrush(palette().brush(QPalette::Base));
}

void ChartPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitBarAxisLabels(*Chart(), data_, chtPiano->width());
}

bool ChartPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == chtPiano->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            PointerAt(move->position().toPoint(), move->globalPosition().toPoint());
        } else if (event->type() == QEvent::Leave) {
            HideTooltip();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ChartPage::PointerAt(QPoint pointer, QPoint globalPointer) {
    QChart* chart = Chart();
    const QList<QAbstractSeries*> series = chart->series();
    const QPointF inChart = chart->mapFromScene(chtPiano->mapToScene(pointer));
    if (series.isEmpty() || data_.bars.empty() || !chart->plotArea().contains(inChart)) {
        HideTooltip();
        return;
    }
    // The bars stand at 0, 1, 2... on the horizontal axis; a column reaches half-way to its
    // neighbours, so the thinnest bars of a long plan are found all the same.
    const long bar = std::lround(chart->mapToValue(inChart, series.front()).x());
    if (bar < 0 || static_cast<std::size_t>(bar) >= data_.bars.size()) {
        HideTooltip();
        return;
    }
    const auto index = static_cast<std::size_t>(bar);
    // Shown again only for another bar, so the tip stays put while the pointer is in its
    // column and follows it from one column to the next.
    if (barShown_ == index && QToolTip::isVisible()) return;
    barShown_ = index;
    QToolTip::showText(globalPointer, QString::fromStdString(ChartBarTooltip(data_, index)),
                       chtPiano->viewport());
}

void ChartPage::HideTooltip() {
    barShown_.reset();
    QToolTip::hideText();
}

}  // namespace quotaplan
