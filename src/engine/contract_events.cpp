#include "engine/contract_events.h"

#include <algorithm>

namespace quotaplan {

EventKind ContractEvent::Kind() const {
    switch (options.index()) {
        case 0:
            return EventKind::Payoff;
        case 1:
            return EventKind::Prepayment;
        case 2:
            return EventKind::Suspension;
        default:
            return std::get<RenegotiationOptions>(options).lender.empty()
                       ? EventKind::Renegotiation
                       : EventKind::Surrogation;
    }
}

const char* EventKindName(EventKind kind) {
    switch (kind) {
        case EventKind::Payoff:
            return "Estinzione";
        case EventKind::Prepayment:
            return "Rimborso parziale";
        case EventKind::Suspension:
            return "Sospensione";
        case EventKind::Renegotiation:
            return "Rinegoziazione";
        case EventKind::Surrogation:
            break;
    }
    return "Surroga";
}

std::optional<PenaltyRule> ReadPenaltyRule(std::string_view code) {
    if (code == "none") return PenaltyRule{PenaltyRegime::None, {}};
    if (code == "consumer") return PenaltyRule{PenaltyRegime::Consumer, {}};
    if (code == "home") return PenaltyRule{PenaltyRegime::HomeOrBusiness, {}};
    // A percentage: digits with at most one "." and four decimals, from 0 to 100.
    const std::size_t point = code.find('.');
    const std::string_view whole = code.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : code.substr(point + 1);
    const auto digits = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 3 || fraction.size() > 4 || !digits(whole) ||
        !digits(fraction) || (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    std::int64_t units = 0;
    for (const char c : whole) units = units * 10 + (c - '0');
    for (std::size_t k = 0; k < 4; ++k) {
        units = units * 10 + (k < fraction.size() ? fraction[k] - '0' : 0);
    }
    if (units > 1000000) return std::nullopt;
    return PenaltyRule{PenaltyRegime::Contractual, Percent::FromTenThousandths(units)};
}

std::string PenaltyRuleCode(const PenaltyRule& rule) {
    switch (rule.regime) {
        case PenaltyRegime::Consumer:
            return "consumer";
        case PenaltyRegime::HomeOrBusiness:
            return "home";
        case PenaltyRegime::Contractual:
            return rule.percent.Decimal();
        case PenaltyRegime::None:
            break;
    }
    return "none";
}

std::string PercentText(Percent percent) {
    std::string text = percent.Decimal();
    std::replace(text.begin(), text.end(), '.', ',');
    return text + "%";
}

std::string PenaltyRuleName(const PenaltyRule& rule) {
    switch (rule.regime) {
        case PenaltyRegime::Consumer:
            return "consumatore";
        case PenaltyRegime::HomeOrBusiness:
            return "mutuo casa/attività";
        case PenaltyRegime::Contractual:
            return "contrattuale " + PercentText(rule.percent);
        case PenaltyRegime::None:
            break;
    }
    return "nessuna";
}

const char* RefundCriterionName(RefundCriterion criterion) {
    return criterion == RefundCriterion::InterestCurve ? "curva degli interessi"
                                                       : "pro rata temporis";
}

}  // namespace quotaplan
