#include "ui/event_form.h"

#include "common/date_text.h"

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

}  // namespace quotaplan
