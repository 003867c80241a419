#include "ui/indexing_form.h"

#include <cstdlib>
#include <variant>

#include "common/clock.h"
#include "common/date_text.h"
#include "common/message_boxes.h"
#include "common/number_text.h"
#include "engine/periodicity.h"

namespace quotaplan {
namespace {

constexpr int kRateFormat = 2;  // "0.00"

std::optional<IndexedForm> Refuse(MessageBoxes& boxes, std::optional<FormField>& focus,
                                  const std::string& message, std::optional<FormField> field) {
    ShowMessage(boxes, message, "");
    focus = field;
    return std::nullopt;
}

// An empty date is `fill`, as Calcola takes it; nullopt for a text that is no date.
std::optional<CalendarDate> RequiredDate(std::string& text, const std::string& fill) {
    if (text.empty()) text = fill;
    return ReadDateText(text);
}

std::string PercentText(std::int64_t hundredths) {
    return FormatNumber(static_cast<double>(hundredths) / 100.0, kRateFormat);
}

std::vector<ChangedRate> ChangesFrom(const RateList& before, const RateList& after) {
    std::vector<ChangedRate> changed;
    for (std::size_t row = 0; row < before.size() && row < after.size(); ++row) {
        if (before[row].rate == after[row].rate) continue;
        const auto previous = TryParseNumber(before[row].rate);
        const auto now = TryParseNumber(after[row].rate);
        changed.push_back({row, before[row].rate, previous && now && *now > *previous});
    }
    return changed;
}

}  // namespace

std::optional<IndexedForm> IndexContractForm(const CalculationForm& form,
                                             const std::vector<IndexValue>& series,
                                             const std::string& referenceName, MessageBoxes& boxes,
                                             std::optional<FormField>& focus) {
    IndexedForm indexed;
    if (!IsNumberText(form.rate) || ParseInteger16(form.rate) == 0) {
        return Refuse(boxes, focus, "Inserire il Numero di rate!", FormField::Rate);
    }
    const int count = std::abs(static_cast<int>(ParseInteger16(form.rate)));
    indexed.rate = std::to_string(count);
    if (form.periodicityIndex < 0) {
        return Refuse(boxes, focus, "Inserire una periodicità!", FormField::Periodicita);
    }
    indexed.contract = form.contract;
    indexed.start = form.start;
    const auto contractDate = RequiredDate(indexed.contract, FormatDate(Today(), 1));
    if (!contractDate) {
        return Refuse(boxes, focus, "Inserire una data valida!", FormField::Contract);
    }
    const auto firstDate = RequiredDate(
        indexed.start,
        DefaultStartText(indexed.contract, form.periodicityIndex).value_or(std::string()));
    if (!firstDate) return Refuse(boxes, focus, "Inserire una data valida!", FormField::Start);
    if (IsFixedRateName(referenceName)) {
        return Refuse(
            boxes, focus,
            "Il tasso di riferimento \"" + referenceName + "\" è fisso: non si può indicizzare.",
            std::nullopt);
    }

    IndexedContract contract;
    contract.calendar = {*contractDate, *firstDate, static_cast<std::int16_t>(count),
                         ConvertPeriodicity(form.periodicityIndex, false),
                         form.advance ? PaymentTiming::Advance : PaymentTiming::Arrears};
    contract.spreadPercent = IsNumberText(form.spread) ? ParseNumber64(form.spread) : 0.0;
    const auto result = IndexRates(series, contract);
    if (const auto* gap = std::get_if<IndexGap>(&result)) {
        return Refuse(boxes, focus, IndexGapMessage(referenceName, *gap), std::nullopt);
    }
    const auto& rates = std::get<IndexedRates>(result);
    indexed.tasso = PercentText(rates.firstIndexHundredths);
    for (std::size_t row = 0; row < rates.dueDates.size(); ++row) {
        const std::string date = FormatDate(rates.dueDates[row], 1);
        indexed.rateList.push_back({date, date, PercentText(rates.rateHundredths[row])});
    }
    indexed.changed = ChangesFrom(form.rateList, indexed.rateList);
    return indexed;
}

}  // namespace quotaplan
