#include "output/plan_chart_data.h"

#include <algorithm>
#include <array>

#include "common/number_text.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

constexpr int kAmount = 1;
constexpr int kShortDate = 1;

ChartBar BarOf(const PlanLine& line) {
    ChartBar bar;
    bar.firstNumber = bar.lastNumber = line.number;
    bar.firstDate = bar.lastDate = line.date;
    bar.amount = line.amount;
    bar.capital = line.capital;
    bar.interest = line.interest;
    bar.residual = line.residual;
    return bar;
}

void Gather(ChartBar& bar, const PlanLine& line) {
    bar.lastNumber = line.number;
    bar.lastDate = line.date;
    bar.amount += line.amount;
    bar.capital += line.capital;
    bar.interest += line.interest;
    bar.residual = line.residual;
}

// Consecutive instalments whose years fall in the same span of yearsPerBar years, counted
// from the first instalment's year, share a bar.
std::vector<ChartBar> YearBars(const std::vector<PlanLine>& instalments, int yearsPerBar) {
    std::vector<ChartBar> bars;
    const int firstYear = instalments.front().date.Year();
    int currentSpan = -1;
    for (const PlanLine& line : instalments) {
        const int span = (line.date.Year() - firstYear) / yearsPerBar;
        if (bars.empty() || span != currentSpan) {
            bars.push_back(BarOf(line));
            currentSpan = span;
        } else {
            Gather(bars.back(), line);
        }
    }
    return bars;
}

std::string YearsCaption(const ChartBar& bar) {
    const int first = bar.firstDate.Year();
    const int last = bar.lastDate.Year();
    std::string caption = first == last
                              ? "Anno " + std::to_string(first)
                              : "Anni " + std::to_string(first) + "-" + std::to_string(last);
    if (bar.firstNumber == bar.lastNumber) {
        return caption + ", rata " + std::to_string(bar.firstNumber);
    }
    return caption + ", rate " + std::to_string(bar.firstNumber) + "-" +
           std::to_string(bar.lastNumber);
}

}  // namespace

PlanChartData PlanChartDataOf(const FinancialPlan& plan) {
    PlanChartData data;
    if (!plan.PlanReady) return data;
    std::vector<PlanLine> instalments = PlanLines(plan, DerivedLines::WhenNotZero);
    std::erase_if(instalments,
                  [](const PlanLine& line) { return line.kind != PlanLineKind::Instalment; });
    if (instalments.empty()) return data;
    const int count = static_cast<int>(instalments.size());
    data.axis =
        count <= kDatedChartInstalments ? ChartAxis::DueDates : ChartAxis::InstalmentNumbers;
    if (count <= kMaxInstalmentBars) {
        data.bars.reserve(instalments.size());
        for (const PlanLine& line : instalments) data.bars.push_back(BarOf(line));
        return data;
    }
    const int span = instalments.back().date.Year() - instalments.front().date.Year() + 1;
    data.yearsPerBar = std::max(1, (span + kMaxYearBars - 1) / kMaxYearBars);
    data.bars = YearBars(instalments, data.yearsPerBar);
    return data;
}

std::string ChartBarLabel(const PlanChartData& data, std::size_t bar) {
    const ChartBar& shown = data.bars.at(bar);
    if (data.axis == ChartAxis::DueDates) return FormatDate(shown.firstDate, kShortDate);
    return std::to_string(shown.firstNumber);
}

std::vector<std::size_t> ChartLabelledBars(const PlanChartData& data, std::size_t maxLabels) {
    maxLabels = std::max<std::size_t>(maxLabels, 1);
    const std::size_t count = data.bars.size();
    const std::size_t needed = (count + maxLabels - 1) / maxLabels;
    constexpr std::array<std::size_t, 14> kRoundSteps = {1,  2,  3,  4,   6,   12,  24,
                                                         36, 48, 60, 120, 240, 360, 600};
    std::size_t step = needed;
    for (std::size_t round : kRoundSteps) {
        if (round >= needed) {
            step = round;
            break;
        }
    }
    std::vector<std::size_t> labelled;
    for (std::size_t bar = 0; bar < count; bar += step) labelled.push_back(bar);
    return labelled;
}

std::string ChartAxisTitle(const PlanChartData& data) {
    if (data.axis == ChartAxis::DueDates) return "Scadenza";
    if (data.yearsPerBar == 0) return "Rata";
    if (data.yearsPerBar == 1) return "Rata (barre annuali)";
    return "Rata (barre di " + std::to_string(data.yearsPerBar) + " anni)";
}

std::string ChartBarTooltip(const PlanChartData& data, std::size_t bar) {
    const ChartBar& shown = data.bars.at(bar);
    const std::string caption = data.yearsPerBar == 0
                                    ? std::to_string(shown.firstNumber) + "° Rata del " +
                                          FormatDate(shown.firstDate, kShortDate)
                                    : YearsCaption(shown);
    return caption + "\nImporto: " + FormatNumber(shown.amount, kAmount) +
           "\nQ. Capitale: " + FormatNumber(shown.capital, kAmount) +
           "\nQ. Interessi: " + FormatNumber(shown.interest, kAmount) +
           "\nDeb. Res.: " + FormatNumber(shown.residual, kAmount);
}

}  // namespace quotaplan
