#include "ui/event_form.h"

#include "common/date_text.h"
#include "engine/periodicity.h"

namespace quotaplan {
namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

std::variant<PenaltyRule, EventRefusal> PenaltyOf(int entry, const std::string& percent) {
    switch (entry) {
        case 1:
            return PenaltyRule{PenaltyRegime::Consumer, {}};
        case 2:
            return PenaltyRule{PenaltyRegime::HomeOrBusiness, {}};
        case 3:
            if (const auto read = ReadPercent(percent)) {
                return PenaltyRule{PenaltyRegime::Contractual, *read};
            }
            return EventRefusal{"Inserire la percentuale della penale contrattuale!"};
        default:
            return PenaltyRule{};
    }
}

const EventRefusal kNoDate{"Inserire una data valida!"};

// A whole number of at most four digits, blanks around it aside.
std::optional<int> ReadWhole(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::string digits = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(digits);
}

// An optional rate: none when blank, the refusal when it is no number.
std::variant<std::optional<Percent>, EventRefusal> OptionalPercent(const std::string& text,
                                                                   const char* refusal) {
    if (IsBlank(text)) return std::optional<Percent>();
    if (const auto read = ReadPercent(text)) return std::optional<Percent>(*read);
    return EventRefusal{refusal};
}

}  // namespace

int PenaltyEntryOf(const PenaltyRule& rule) {
    switch (rule.regime) {
        case PenaltyRegime::Consumer:
            return 1;
        case PenaltyRegime::HomeOrBusiness:
            return 2;
        case PenaltyRegime::Contractual:
            return 3;
        case PenaltyRegime::None:
            break;
    }
    return 0;
}

std::variant<ContractEvent, EventRefusal> ReadPayoffForm(const PayoffFormTexts& form) {
    const auto date = ReadDateText(form.date);
    if (!date) return kNoDate;
    PayoffOptions options;
    options.method = form.discount ? PayoffMethod::Discount : PayoffMethod::Residual;
    if (form.discount && !IsBlank(form.discountRate)) {
        const auto rate = ReadPercent(form.discountRate);
        if (!rate) return EventRefusal{"Inserire un tasso di attualizzazione valido!"};
        options.discountRate = *rate;
    }
    auto penalty = PenaltyOf(form.penaltyEntry, form.penaltyPercent);
    if (auto* refusal = std::get_if<EventRefusal>(&penalty)) return *refusal;
    options.penalty = std::get<PenaltyRule>(penalty);
    if (!IsBlank(form.costs)) {
        const auto costs = ReadMoney(form.costs);
        if (!costs) return EventRefusal{"Inserire un importo valido per i costi da rimborsare!"};
        options.extraCosts = *costs;
    }
    options.refund = form.proRata ? RefundCriterion::ProRata : RefundCriterion::InterestCurve;
    return ContractEvent{*date, options, form.note};
}

std::variant<ContractEvent, EventRefusal> ReadPrepaymentForm(const PrepaymentFormTexts& form) {
    const auto date = ReadDateText(form.date);
    if (!date) return kNoDate;
    const auto amount = ReadMoney(form.amount);
    if (IsBlank(form.amount) || !amount) {
        return EventRefusal{"Inserire l'importo del rimborso parziale!"};
    }
    PrepaymentOptions options;
    options.amount = *amount;
    options.effect =
        form.shortenTerm ? PrepaymentEffect::ShortenTerm : PrepaymentEffect::LowerInstalment;
    auto penalty = PenaltyOf(form.penaltyEntry, form.penaltyPercent);
    if (auto* refusal = std::get_if<EventRefusal>(&penalty)) return *refusal;
    options.penalty = std::get<PenaltyRule>(penalty);
    return ContractEvent{*date, options, form.note};
}

std::optional<Percent> ReferenceValueOn(const std::vector<IndexValue>& series, CalendarDate date) {
    const IndexValue* latest = nullptr;
    for (const IndexValue& value : series) {
        // Of two values on one date the later in the list counts, as IndexRates has it.
        if (value.date <= date && (latest == nullptr || value.date >= latest->date))
            latest = &value;
    }
    if (latest == nullptr) return std::nullopt;
    return Percent::FromValue(latest->percent);
}

int PeriodicityEntries() { return static_cast<int>(kPeriodicityCaptions.size()) + 1; }

std::string PeriodicityEntry(int entry) {
    if (entry <= 0 || entry >= PeriodicityEntries()) return "invariata";
    return std::string(kPeriodicityCaptions[static_cast<std::size_t>(entry - 1)]);
}

std::variant<ContractEvent, EventRefusal> ReadSuspensionForm(const SuspensionFormTexts& form) {
    const auto date = ReadDateText(form.date);
    if (!date) return kNoDate;
    const auto instalments = ReadWhole(form.instalments);
    if (!instalments) return EventRefusal{"Inserire il numero delle rate sospese!"};
    SuspensionOptions options;
    options.instalments = *instalments;
    options.kind = form.wholeInstalment ? SuspensionKind::Whole : SuspensionKind::CapitalOnly;
    // Interest is capitalised or deferred only when nothing is paid.
    options.interest = form.wholeInstalment && form.deferInterest ? SuspendedInterest::Deferred
                                                                  : SuspendedInterest::Capitalised;
    const auto fund = OptionalPercent(form.fundShare, "Inserire una quota del Fondo valida!");
    if (const auto* refusal = std::get_if<EventRefusal>(&fund)) return *refusal;
    options.fundShare = std::get<std::optional<Percent>>(fund).value_or(Percent());
    return ContractEvent{*date, options, form.note};
}

std::variant<ContractEvent, EventRefusal> ReadRenegotiationForm(
    const RenegotiationFormTexts& form) {
    const auto date = ReadDateText(form.date);
    if (!date) return kNoDate;
    RenegotiationOptions options;
    const auto rate = OptionalPercent(form.rate, "Inserire un nuovo tasso valido!");
    if (const auto* refusal = std::get_if<EventRefusal>(&rate)) return *refusal;
    options.rate = std::get<std::optional<Percent>>(rate);
    const auto spread = OptionalPercent(form.spread, "Inserire un nuovo spread valido!");
    if (const auto* refusal = std::get_if<EventRefusal>(&spread)) return *refusal;
    options.spread = std::get<std::optional<Percent>>(spread);
    options.referenceRate = form.referenceRate;
    if (!IsBlank(form.count)) {
        const auto count = ReadWhole(form.count);
        if (!count) return EventRefusal{"Inserire un numero di rate valido!"};
        options.count = *count;
    }
    if (form.periodicity > 0 && form.periodicity < PeriodicityEntries()) {
        options.periodsPerYear = kPeriodsPerYear[static_cast<std::size_t>(form.periodicity - 1)];
    }
    const auto first = form.lender.find_first_not_of(' ');
    if (first != std::string::npos) {
        options.lender = form.lender.substr(first, form.lender.find_last_not_of(' ') - first + 1);
    }
    return ContractEvent{*date, options, form.note};
}

}  // namespace quotaplan
