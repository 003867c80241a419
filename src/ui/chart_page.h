#pragma once

#include <QPoint>
#include <QWidget>
#include <cstddef>
#include <optional>

#include "engine/financial_plan.h"
#include "output/plan_chart_data.h"

class QChart;
class QChartView;

namespace quotaplan {

// Page 3, "Grafico" (tabGrafico): the chart of the plan (BuildPlanChart), following the last
// instalment calculation as the plan grid does: empty before one and after New or Delete.
// The chart fills the page and grows with it. The pointer anywhere in a bar's column of the
// plot (the bar, the residual line above it, the room between) shows that bar's figures as a
// tooltip, which follows the pointer from bar to bar.
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
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A new palette (a dark theme) recolours the chart.
    void changeEvent(QEvent* event) override;

private:
    void Show(PlanChartData data);
    // The tooltip of the bar whose column holds `pointer` (in the view's viewport), shown at
    // `globalPointer`; none outside every column.
    void PointerAt(QPoint pointer, QPoint globalPointer);
    void HideTooltip();

    PlanChartData data_;
    std::optional<std::size_t> barShown_;  // the bar whose tooltip is up
};

}  // namespace quotaplan
