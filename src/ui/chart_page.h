#pragma once

#include <QWidget>
#include <cstddef>

#include "engine/financial_plan.h"
#include "output/plan_chart_data.h"

class QChart;
class QChartView;

namespace quotaplan {

// Page 3, "Grafico" (tabGrafico): the chart of the plan (BuildPlanChart), following the last
// instalment calculation as the plan grid does: empty before one and after New or Delete.
// The chart fills the page and grows with it. Hovering over a bar, or over the residual
// line above a bar, shows that bar's figures as a tooltip.
class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(QWidget* parent = nullptr);

    // Draws the plan's chart in place of the one shown.
    void ShowPlan(const FinancialPlan& plan);
    // Shows the empty chart.
    void Clear();

    QChart* Chart() const;
    const PlanChartData& Data() const { return data_; }

    QChartView* chtPiano = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Show(PlanChartData data);
    // The tooltip of a bar at the pointer, or none when `bar` is past the last one.
    void ShowBarTooltip(std::size_t bar);
    void HideTooltip();

    PlanChartData data_;
};

}  // namespace quotaplan
