#include "data/event_options.h"

#include <map>

namespace quotaplan {
namespace {

std::map<std::string, std::string, std::less<>> Pairs(std::string_view text) {
    std::map<std::string, std::string, std::less<>> pairs;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view pair = text.substr(0, end);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos) {
            pairs.emplace(std::string(pair.substr(0, equals)),
                          std::string(pair.substr(equals + 1)));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return pairs;
}

// A plain decimal with "." and at most the places given, optional "-"; nullopt otherwise.
std::optional<std::int64_t> ReadScaled(std::string_view text, int places) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || whole.size() > 15 || fraction.size() > static_cast<std::size_t>(places)) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : whole) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    for (int k = 0; k < places; ++k) {
        const char c = static_cast<std::size_t>(k) < fraction.size() ? fraction[k] : '0';
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

}  // namespace

std::string EventOptionsText(const ContractEvent& event) {
    if (const auto* payoff = std::get_if<PayoffOptions>(&event.options)) {
        std::string text =
            std::string("metodo=") +
            (payoff->method == PayoffMethod::Residual ? "residuo" : "attualizzazione");
        if (payoff->discountRate) text += ";tasso=" + payoff->discountRate->Decimal();
        text += ";penale=" + PenaltyRuleCode(payoff->penalty);
        text += std::string(";rimborso=") +
                (payoff->refund == RefundCriterion::InterestCurve ? "curva" : "prorata");
        text += ";costi=" + payoff->extraCosts.Decimal();
        return text;
    }
    if (const auto* holiday = std::get_if<SuspensionOptions>(&event.options)) {
        return "rate=" + std::to_string(holiday->instalments) + ";sospesa=" +
               (holiday->kind == SuspensionKind::CapitalOnly ? "capitale" : "intera") +
               ";interessi=" +
               (holiday->interest == SuspendedInterest::Capitalised ? "capitalizzati"
                                                                    : "differiti") +
               ";fondo=" + holiday->fundShare.Decimal();
    }
    if (const auto* renegotiation = std::get_if<RenegotiationOptions>(&event.options)) {
        std::string text;
        const auto add = [&text](const char* key, const std::string& value) {
            text += (text.empty() ? "" : ";") + std::string(key) + "=" + value;
        };
        if (renegotiation->rate) add("tasso", renegotiation->rate->Decimal());
        if (renegotiation->referenceRate) add("riferimento", renegotiation->referenceRate->Decimal());
        if (renegotiation->spread) add("spread", renegotiation->spread->Decimal());
        if (renegotiation->count) add("numero", std::to_string(*renegotiation->count));
        if (renegotiation->periodsPerYear) {
            add("periodicita", std::to_string(*renegotiation->periodsPerYear));
        }
        if (!renegotiation->lender.empty()) add("istituto", renegotiation->lender);
        return text;
    }
    const auto& prepayment = std::get<PrepaymentOptions>(event.options);
    return std::string("effetto=") +
           (prepayment.effect == PrepaymentEffect::LowerInstalment ? "rata" : "durata") +
           ";penale=" + PenaltyRuleCode(prepayment.penalty);
}

std::optional<ContractEvent> ReadEventOptions(std::string_view kind, std::string_view text,
                                              Money amount) {
    const auto pairs = Pairs(text);
    const auto value = [&](std::string_view key) -> std::optional<std::string_view> {
        const auto found = pairs.find(key);
        if (found == pairs.end()) return std::nullopt;
        return std::string_view(found->second);
    };
    std::optional<PenaltyRule> penalty = PenaltyRule{};
    if (const auto code = value("penale")) penalty = ReadPenaltyRule(*code);
    if (!penalty) return std::nullopt;

    ContractEvent event;
    if (kind == EventKindName(EventKind::Payoff)) {
        PayoffOptions options;
        options.penalty = *penalty;
        if (const auto method = value("metodo")) {
            if (*method == "attualizzazione") {
                options.method = PayoffMethod::Discount;
            } else if (*method != "residuo") {
                return std::nullopt;
            }
        }
        if (const auto rate = value("tasso")) {
            const auto units = ReadScaled(*rate, 4);
            if (!units) return std::nullopt;
            options.discountRate = Percent::FromTenThousandths(*units);
        }
        if (const auto refund = value("rimborso")) {
            if (*refund == "prorata") {
                options.refund = RefundCriterion::ProRata;
            } else if (*refund != "curva") {
                return std::nullopt;
            }
        }
        if (const auto costs = value("costi")) {
            const auto cents = ReadScaled(*costs, 2);
            if (!cents) return std::nullopt;
            options.extraCosts = Money::FromCents(*cents);
        }
        event.options = options;
        return event;
    }
    // A key's value when given; `readable` false when it is given and cannot be read.
    bool readable = true;
    const auto rate = [&](std::string_view key) -> std::optional<Percent> {
        const auto text = value(key);
        if (!text) return std::nullopt;
        const auto units = ReadScaled(*text, 4);
        if (!units) readable = false;
        return Percent::FromTenThousandths(units.value_or(0));
    };
    const auto whole = [&](std::string_view key) -> std::optional<int> {
        const auto text = value(key);
        if (!text) return std::nullopt;
        const auto number = ReadScaled(*text, 0);
        if (!number || *number < 0 || *number > 100000) readable = false;
        return static_cast<int>(number.value_or(0));
    };
    if (kind == EventKindName(EventKind::Suspension)) {
        SuspensionOptions options;
        options.instalments = whole("rate").value_or(1);
        options.fundShare = rate("fondo").value_or(Percent());
        if (!readable) return std::nullopt;
        const auto suspended = value("sospesa");
        if (suspended && *suspended == "intera") {
            options.kind = SuspensionKind::Whole;
        } else if (suspended && *suspended != "capitale") {
            return std::nullopt;
        }
        const auto interest = value("interessi");
        if (interest && *interest == "differiti") {
            options.interest = SuspendedInterest::Deferred;
        } else if (interest && *interest != "capitalizzati") {
            return std::nullopt;
        }
        event.options = options;
        return event;
    }
    if (kind == EventKindName(EventKind::Renegotiation) ||
        kind == EventKindName(EventKind::Surrogation)) {
        RenegotiationOptions options;
        options.rate = rate("tasso");
        options.referenceRate = rate("riferimento");
        options.spread = rate("spread");
        options.count = whole("numero");
        if (const auto periods = whole("periodicita")) {
            options.periodsPerYear = static_cast<std::int16_t>(*periods);
        }
        if (!readable) return std::nullopt;
        if (const auto lender = value("istituto")) options.lender = std::string(*lender);
        if ((kind == EventKindName(EventKind::Surrogation)) == options.lender.empty()) {
            return std::nullopt;
        }
        event.options = options;
        return event;
    }
    if (kind != EventKindName(EventKind::Prepayment)) return std::nullopt;
    PrepaymentOptions options;
    options.amount = amount;
    options.penalty = *penalty;
    if (const auto effect = value("effetto")) {
        if (*effect == "durata") {
            options.effect = PrepaymentEffect::ShortenTerm;
        } else if (*effect != "rata") {
            return std::nullopt;
        }
    }
    event.options = options;
    return event;
}

}  // namespace quotaplan
