#include "engine/recomputation.h"

#include "common/run_time_error.h"

namespace quotaplan {
namespace {

// j is p / 10^6 (Percent's ten-thousandths of a point), so i = j / m = p / (10^6 m).
constexpr __int128 kRateScale = 1000000;

void CheckTerms(const RecomputationTerms& terms) {
    if (terms.dueDates.empty() || terms.periodsPerYear < 1 ||
        terms.annualRate.TenThousandths() < 0 || terms.principal.Cents() < 0 ||
        terms.buyout.Cents() < 0) {
        throw RunTimeError::InvalidArgument();
    }
}

// round(amount * i), exactly.
Money PeriodInterest(Money amount, const RecomputationTerms& terms) {
    return Money::FromCents(
        RoundHalfUp(static_cast<__int128>(amount.Cents()) * terms.annualRate.TenThousandths(),
                    kRateScale * terms.periodsPerYear));
}

Money AccumulatedInstalment(const RecomputationTerms& terms) {
    const __int128 n = static_cast<__int128>(terms.dueDates.size());
    const __int128 p = terms.annualRate.TenThousandths();
    const __int128 scaleM = kRateScale * terms.periodsPerYear;
    // Both sides of R = (C (1 + i n) - B) / (n + i n (n - 1) / 2) times 2 * 10^6 m.
    const __int128 numerator =
        2 * (terms.principal.Cents() * (scaleM + p * n) - terms.buyout.Cents() * scaleM);
    const __int128 denominator = 2 * scaleM * n + p * n * (n - 1);
    return Money::FromCents(RoundHalfUp(numerator, denominator));
}

Money DiscountedInstalment(const RecomputationTerms& terms) {
    const long double i = terms.annualRate.Fraction() / terms.periodsPerYear;
    const std::size_t n = terms.dueDates.size();
    long double sum = 0;
    for (std::size_t k = 1; k <= n; ++k) sum += 1.0L / (1.0L + i * static_cast<long double>(k));
    const long double owed =
        static_cast<long double>(terms.principal.Cents()) -
        static_cast<long double>(terms.buyout.Cents()) / (1.0L + i * static_cast<long double>(n));
    return Money::FromCents(RoundHalfUpScaled(owed / sum, 1));
}

// Constant capital shares, interest on the residual before each row (none when interest-free).
RecomputedPlan ConstantCapitalPlan(const RecomputationTerms& terms, Recomputation method) {
    if (terms.buyout > terms.principal) throw RunTimeError::InvalidArgument();
    const auto n = static_cast<std::int64_t>(terms.dueDates.size());
    const Money repaid = terms.principal - terms.buyout;
    const Money share = Money::FromCents(RoundHalfUp(repaid.Cents(), n));
    RecomputedPlan plan;
    plan.method = method;
    Money residual = terms.principal;
    for (std::int64_t k = 1; k <= n; ++k) {
        RecomputedRow row;
        row.number = static_cast<int>(k);
        row.date = terms.dueDates[static_cast<std::size_t>(k - 1)];
        row.interest = method == Recomputation::Italian ? PeriodInterest(residual, terms) : Money();
        // The last share takes what the rounded ones left, so the capital adds up exactly.
        row.capital = k == n ? residual - terms.buyout : share;
        row.instalment = row.capital + row.interest;
        residual -= row.capital;
        row.residual = residual;
        plan.totalInterest += row.interest;
        plan.rows.push_back(row);
    }
    plan.instalment = plan.rows.front().instalment;
    return plan;
}

}  // namespace

std::optional<Recomputation> RecomputationNamed(std::string_view name) {
    if (name == "accumulated") return Recomputation::Accumulated;
    if (name == "discounted") return Recomputation::Discounted;
    if (name == "italian") return Recomputation::Italian;
    if (name == "interest-free") return Recomputation::InterestFree;
    return std::nullopt;
}

std::string_view RecomputationCaption(Recomputation method) {
    switch (method) {
        case Recomputation::Accumulated:
            return "Regime semplice, interessi maturati a scadenza";
        case Recomputation::Discounted:
            return "Regime semplice, valori attuali scontati";
        case Recomputation::Italian:
            return "Ammortamento all'italiana";
        case Recomputation::InterestFree:
            return "Senza interessi (art. 1815 c.c.)";
    }
    return {};
}

Money SimpleInterestInstalment(const RecomputationTerms& terms, Recomputation convention) {
    CheckTerms(terms);
    if (convention == Recomputation::Accumulated) return AccumulatedInstalment(terms);
    if (convention == Recomputation::Discounted) return DiscountedInstalment(terms);
    throw RunTimeError::InvalidArgument();
}

RecomputedPlan Recompute(const RecomputationTerms& terms, Recomputation method) {
    CheckTerms(terms);
    if (method == Recomputation::Italian || method == Recomputation::InterestFree) {
        return ConstantCapitalPlan(terms, method);
    }
    RecomputedPlan plan;
    plan.method = method;
    plan.instalment = SimpleInterestInstalment(terms, method);
    int number = 0;
    for (const CalendarDate date : terms.dueDates) {
        plan.rows.push_back({++number, date, plan.instalment, Money(), Money(), Money()});
    }
    Money paid;
    for (std::size_t k = 0; k < terms.dueDates.size(); ++k) paid += plan.instalment;
    plan.totalInterest = paid + terms.buyout - terms.principal;
    return plan;
}

}  // namespace quotaplan
