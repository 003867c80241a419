#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/financial_plan.h"

namespace quotaplan {

// Up to this many instalments the chart's horizontal axis shows due dates; beyond it,
// instalment numbers.
inline constexpr int kDatedChartInstalments = 120;
// Up to this many instalments the chart has a bar per instalment; beyond it a bar gathers
// the instalments falling due in one calendar year, or in as many whole years as keep the
// bars within kMaxYearBars (a plan of 32,767 monthly instalments spans 2,731 years).
inline constexpr int kMaxInstalmentBars = 360;
inline constexpr int kMaxYearBars = 200;

// One bar of the plan's chart: one instalment, or the instalments of one or more years.
struct ChartBar {
    int firstNumber = 0;  // the instalments the bar stands for, firstNumber..lastNumber
    int lastNumber = 0;
    CalendarDate firstDate;
    CalendarDate lastDate;
    double amount = 0;    // the amounts paid (capital plus interest share), summed
    double capital = 0;   // the capital shares, summed
    double interest = 0;  // the interest shares, summed
    double residual = 0;  // the residual debt after the bar's last instalment
};

enum class ChartAxis { DueDates, InstalmentNumbers };

// What the chart of a plan draws: the instalments only (the maxi-instalment and the buy-out
// stand outside the bars; the residual line ends on the buy-out still owed).
struct PlanChartData {
    std::vector<ChartBar> bars;
    ChartAxis axis = ChartAxis::DueDates;
    int yearsPerBar = 0;  // 0: a bar per instalment

    bool Empty() const { return bars.empty(); }
};

// The chart's figures from the plan's lines (to the cent when the plan is): empty when the
// plan is not ready or has no instalments.
PlanChartData PlanChartDataOf(const FinancialPlan& plan);

// The horizontal axis label of a bar: its due date "dd/mm/yy", or the number of its first
// instalment.
std::string ChartBarLabel(const PlanChartData& data, std::size_t bar);

// The bars that carry a label, at most maxLabels (at least 1) of them: the first bar and
// every step-th after it, the step a round number of bars (1, 2, 3, 4, 6, 12, 24, ...).
std::vector<std::size_t> ChartLabelledBars(const PlanChartData& data, std::size_t maxLabels);

// "Scadenza", "Rata", "Rata (barre annuali)" or "Rata (barre di N anni)".
std::string ChartAxisTitle(const PlanChartData& data);

// The figures of a bar as its tooltip shows them, one per line: the instalment and its date
// ("12° Rata del 15/01/07") or the years and instalments gathered ("Anno 2031, rate 361-372"),
// then "Importo", "Q. Capitale", "Q. Interessi" and "Deb. Res." with their amounts.
std::string ChartBarTooltip(const PlanChartData& data, std::size_t bar);

}  // namespace quotaplan
