#pragma once

#include <QImage>
#include <QRectF>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/financial_plan.h"
#include "output/export_result.h"
#include "output/plan_chart_data.h"

class QChart;
class QPainter;

namespace quotaplan {

// The names of the chart's series, as its legend shows them.
inline constexpr const char* kCapitalSeriesName = "Quota capitale";
inline constexpr const char* kInterestSeriesName = "Quota interessi";
inline constexpr const char* kResidualSeriesName = "Debito residuo";

// The size of the chart's picture (--export png).
inline constexpr int kChartImageWidth = 1600;
inline constexpr int kChartImageHeight = 900;

// The chart of a plan, with Qt Charts: the capital and interest shares of each bar stacked
// on the left axis, the residual debt as a line on the right axis, the horizontal axis
// labelled at ChartLabelledBars with ChartBarLabel and titled ChartAxisTitle; numbers in
// the Italian form ("30.000"). Empty data gives a chart without series or axes. The title
// may be empty. Drawing the chart (here or in a view) needs a QApplication.
std::unique_ptr<QChart> BuildPlanChart(const PlanChartData& data, const std::string& title);

// Labels the horizontal axis of a chart made by BuildPlanChart from the same data for a
// chart about `width` pixels wide: a label every 100 pixels at most, so that no two dates
// run into each other (BuildPlanChart labels for 1,200 pixels).
void FitBarAxisLabels(QChart& chart, const PlanChartData& data, double width);

// True when charts can be drawn in this process: a QApplication exists.
bool ChartsCanBeDrawn();

// Draws the chart of the data into `target`, laid out at target's size divided by `scale`
// (on a device of 1200 dots per inch, a scale of 12.5 gives the sizes a 96-dpi screen
// shows). Draws nothing when ChartsCanBeDrawn() is false.
void DrawPlanChart(QPainter& painter, const QRectF& target, const PlanChartData& data,
                   const std::string& title, double scale);

// The chart as a kChartImageWidth x kChartImageHeight picture on white; a null image when
// ChartsCanBeDrawn() is false.
QImage PlanChartImage(const PlanChartData& data, const std::string& title);

// Writes folder/<cleaned description>.png, the chart titled PrintTitle(description),
// replacing an older file (WriteExportFile). NoPlan while the plan is not ready; WriteError
// "Impossibile disegnare il grafico del file <file>" when no chart can be drawn.
ExportResult ExportChartPng(const std::filesystem::path& folder, std::string description,
                            const FinancialPlan& plan);

}  // namespace quotaplan
