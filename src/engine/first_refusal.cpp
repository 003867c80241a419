#include "engine/first_refusal.h"

#include <cstdlib>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/run_time_error.h"
#include "engine/cents_plan.h"
#include "engine/due_dates.h"
#include "engine/periodicity.h"

namespace quotaplan {
namespace {

constexpr std::size_t kLongestAmountText = 16;

// A field counts as zero by its leading number, as the form check always read it.
bool CountsAsZero(const std::string& text) {
    try {
        return LeadingNumber(text) == 0;
    } catch (const RunTimeError&) {
        return false;  // digits beyond 64 bits are no zero; the calculation reports them
    }
}

// The rate is read as the number its field shows: 0,75 is a rate of its own, not the 0
// before its comma. An empty or unreadable text counts as zero.
bool RateIsZero(const std::string& text) {
    const auto rate = TryParseNumber(text);
    return !rate || *rate == 0;
}

bool IsKnownPeriodicity(int index) {
    return index >= 0 && index < static_cast<int>(kPeriodsPerYear.size());
}

std::int16_t PeriodsPerYear(const ContractInput& input) {
    return ConvertPeriodicity(input.periodicityIndex, false);
}

std::optional<Refusal> TooLong(const std::string& text, const char* message, FormField field) {
    if (text.size() <= kLongestAmountText) return std::nullopt;
    return Refusal{message, field, RefusalBox::AmountTooLong};
}

// The buy-out closes the contract, so its date cannot come before the plan reaches it.
// Only a contract whose dates and count read is judged; the calculation reports the others.
bool BuyoutBeforeItFallsDue(const ContractInput& input, CalendarDate buyout,
                            const FilledDates& dates) {
    if (!dates.contract || !dates.start) return false;
    int count = 0;
    try {
        // As the instalment calculation does, a negative count is taken as its size.
        count = std::abs(int{ParseInteger16(input.count)});
    } catch (const RunTimeError&) {
        return false;
    }
    const InstalmentCalendar calendar{
        *dates.contract, *dates.start, static_cast<std::int16_t>(count), PeriodsPerYear(input),
        input.advance ? PaymentTiming::Advance : PaymentTiming::Arrears};
    const PlanKind plan = input.toTheCent ? PlanKind::ToTheCent : PlanKind::Classic;
    return FallsBeforeBuyoutDue(buyout, calendar, BuyoutDueOf(calendar.timing, plan));
}

std::optional<Refusal> DateRefusal(const ContractInput& input, CalendarDate today) {
    const Refusal invalid{"Inserire una data valida!", FormField::Contract};
    const FilledDates dates = FillDates(input, today);
    if (!dates.contract) return invalid;
    if (!dates.start) return Refusal{invalid.message, FormField::Start};
    if (input.dataRiscatto.empty()) return std::nullopt;
    const auto buyout = ReadDateText(input.dataRiscatto, today);
    if (!buyout || BuyoutBeforeItFallsDue(input, *buyout, dates)) {
        return Refusal{invalid.message, FormField::DataRiscatto};
    }
    return std::nullopt;
}

}  // namespace

FilledDates FillDates(const ContractInput& input, CalendarDate today) {
    FilledDates dates;
    dates.contract = input.contract.empty() ? today : ReadDateText(input.contract, today);
    if (!input.start.empty()) {
        dates.start = ReadDateText(input.start, today);
    } else if (dates.contract) {
        try {
            dates.start = DefaultFirstDate(*dates.contract, PeriodsPerYear(input));
        } catch (const RunTimeError&) {
            // Past the year 9999: no first date.
        }
    }
    return dates;
}

std::optional<Refusal> FirstRefusal(const ContractInput& input, CalendarDate today) {
    const bool valueTarget = input.target == CalcTarget::AssetValue;
    if (!valueTarget) {
        if (auto refusal = TooLong(input.valBene, "Valore bene troppo alto", FormField::ValBene))
            return refusal;
    }
    if (auto refusal = TooLong(input.maxi, "Valore MaxiRata troppo alto", FormField::Maxi))
        return refusal;
    if (auto refusal = TooLong(input.riscatto, "Valore Riscatto troppo alto", FormField::Riscatto))
        return refusal;
    if (input.description && input.description->empty()) {
        return Refusal{"Inserire la descrizione del bene!", FormField::DescBene};
    }
    if (!valueTarget && CountsAsZero(input.valBene)) {
        return Refusal{"Inserire il Valore del bene!", FormField::ValBene};
    }
    // An index worth 0 still leaves an indexed contract its spread; a typed Tasso must not
    // be 0.
    const bool zeroIndexWithSpread = input.indexedRates && !RateIsZero(input.spread);
    if (input.target != CalcTarget::Rate && RateIsZero(input.tasso) && !zeroIndexWithSpread) {
        return Refusal{"Inserire il Tasso!", FormField::Tasso};
    }
    if (CountsAsZero(input.count)) return Refusal{"Inserire il Numero di rate!", FormField::Rate};
    if (!IsKnownPeriodicity(input.periodicityIndex)) {
        return Refusal{"Inserire una periodicità!", FormField::Periodicita};
    }
    if (auto refusal = DateRefusal(input, today)) return refusal;
    if (input.target != CalcTarget::Instalment && CountsAsZero(input.result)) {
        return Refusal{"Inserire la rata!", FormField::Result};
    }
    return std::nullopt;
}

}  // namespace quotaplan
