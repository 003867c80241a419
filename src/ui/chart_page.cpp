#include "ui/chart_page.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "output/plan_chart.h"

namespace quotaplan {

ChartPage::ChartPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabGrafico"));
    chtPiano = new QChartView(this);
    chtPiano->setObjectName(QStringLiteral("chtPiano"));
    chtPiano->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(chtPiano);
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
    FitBarAxisLabels(*chart, data_, chtPiano->width());
    for (QAbstractSeries* series : chart->series()) {
        if (auto* bars = qobject_cast<QStackedBarSeries*>(series)) {
            for (QBarSet* set : bars->barSets()) {
                connect(set, &QBarSet::hovered, this, [this](bool over, int index) {
                    if (over) {
                        ShowBarTooltip(static_cast<std::size_t>(index));
                    } else {
                        HideTooltip();
                    }
                });
            }
        } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
            connect(line, &QLineSeries::hovered, this, [this](const QPointF& point, bool over) {
                if (over && point.x() >= -0.5) {
                    ShowBarTooltip(static_cast<std::size_t>(std::lround(point.x())));
                } else {
                    HideTooltip();
                }
            });
        }
    }
}

void ChartPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitBarAxisLabels(*Chart(), data_, chtPiano->width());
}

void ChartPage::ShowBarTooltip(std::size_t bar) {
    if (bar >= data_.bars.size()) {
        HideTooltip();
        return;
    }
    QToolTip::showText(QCursor::pos(), QString::fromStdString(ChartBarTooltip(data_, bar)),
                       chtPiano);
}

void ChartPage::HideTooltip() { QToolTip::hideText(); }

}  // namespace quotaplan
