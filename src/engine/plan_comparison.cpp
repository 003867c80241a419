#include "engine/plan_comparison.h"

#include <map>

namespace quotaplan {
namespace {

// Adds the difference of one figure where the bank gives it and ours is not the same.
bool CompareFigure(const ReviewRow& bank, const ReviewRow* ours, ReviewField field,
                   std::optional<Money> ReviewRow::*figure, int number,
                   std::vector<ReviewDifference>& differences) {
    const auto& given = bank.*figure;
    if (!given) return false;
    const std::optional<Money> mine = ours ? ours->*figure : std::nullopt;
    if (mine && *mine == *given) return false;
    differences.push_back({number, field, given, mine, {}, {}});
    return true;
}

const ReviewRow* MatchOf(const ReviewRow& bank, int position,
                         const std::map<std::int32_t, const ReviewRow*>& byDate,
                         const std::map<int, const ReviewRow*>& byNumber) {
    if (!bank.date.IsZero()) {
        if (const auto found = byDate.find(bank.date.Serial()); found != byDate.end()) {
            return found->second;
        }
    }
    const int number = bank.number != 0 ? bank.number : position;
    const auto found = byNumber.find(number);
    return found == byNumber.end() ? nullptr : found->second;
}

int MonthsBetween(CalendarDate from, CalendarDate to) {
    return (to.Year() - from.Year()) * 12 + to.Month() - from.Month();
}

}  // namespace

std::vector<ReviewRow> ReviewRowsOf(const CentsPlan& plan) {
    std::vector<ReviewRow> rows;
    rows.reserve(plan.rows.size());
    int number = 0;
    for (const CentsPlanRow& row : plan.rows) {
        rows.push_back(
            {++number, row.date, row.instalment, row.capital, row.interest, row.residual});
    }
    return rows;
}

const char* ReviewFieldName(ReviewField field) {
    switch (field) {
        case ReviewField::Date:
            return "date";
        case ReviewField::Instalment:
            return "amount";
        case ReviewField::Capital:
            return "capital";
        case ReviewField::Interest:
            return "interest";
        case ReviewField::Residual:
            return "residual";
        case ReviewField::Row:
            return "row";
    }
    return "";
}

const char* ReviewFieldCaption(ReviewField field) {
    switch (field) {
        case ReviewField::Date:
            return "Scadenza";
        case ReviewField::Instalment:
            return "Rata";
        case ReviewField::Capital:
            return "Quota capitale";
        case ReviewField::Interest:
            return "Quota interessi";
        case ReviewField::Residual:
            return "Debito residuo";
        case ReviewField::Row:
            return "Riga";
    }
    return "";
}

PlanComparison ComparePlans(const std::vector<ReviewRow>& bank,
                            const std::vector<ReviewRow>& ours) {
    std::map<std::int32_t, const ReviewRow*> byDate;
    std::map<int, const ReviewRow*> byNumber;
    for (const ReviewRow& row : ours) {
        if (!row.date.IsZero()) byDate.emplace(row.date.Serial(), &row);
        byNumber.emplace(row.number, &row);
    }
    PlanComparison comparison;
    std::map<const ReviewRow*, bool> matched;
    int position = 0;
    for (const ReviewRow& row : bank) {
        ++position;
        const ReviewRow* mine = MatchOf(row, position, byDate, byNumber);
        if (mine) matched[mine] = true;
        const int number = row.number != 0 ? row.number : (mine ? mine->number : position);
        auto& differences = comparison.differences;
        bool differs = false;
        if (!mine) {
            differences.push_back(
                {number, ReviewField::Row, row.instalment, std::nullopt, row.date, {}});
            differs = true;
        } else if (!row.date.IsZero() && !mine->date.IsZero() && row.date != mine->date) {
            differences.push_back({number, ReviewField::Date, {}, {}, row.date, mine->date});
            differs = true;
        }
        if (mine) {
            differs |= CompareFigure(row, mine, ReviewField::Instalment, &ReviewRow::instalment,
                                     number, differences);
            differs |= CompareFigure(row, mine, ReviewField::Capital, &ReviewRow::capital, number,
                                     differences);
            differs |= CompareFigure(row, mine, ReviewField::Interest, &ReviewRow::interest, number,
                                     differences);
            differs |= CompareFigure(row, mine, ReviewField::Residual, &ReviewRow::residual, number,
                                     differences);
        }
        if (differs && !comparison.firstDifference) comparison.firstDifference = number;
        comparison.bankPaid += row.instalment.value_or(Money());
        comparison.bankInterest += row.interest.value_or(Money());
        comparison.rows.push_back(
            {row, mine ? std::optional<ReviewRow>(*mine) : std::nullopt, differs});
    }
    for (const ReviewRow& row : ours) {
        comparison.ourPaid += row.instalment.value_or(Money());
        comparison.ourInterest += row.interest.value_or(Money());
        if (matched.count(&row) == 0) {
            comparison.differences.push_back(
                {row.number, ReviewField::Row, std::nullopt, row.instalment, {}, row.date});
            if (!comparison.firstDifference) comparison.firstDifference = row.number;
        }
    }
    return comparison;
}

std::optional<RecoveredTerms> RecoverTerms(const std::vector<ReviewRow>& bank) {
    if (bank.size() < 2) return std::nullopt;
    const ReviewRow& first = bank[0];
    if (first.date.IsZero() || bank[1].date.IsZero() || !first.capital || !first.residual) {
        return std::nullopt;
    }
    RecoveredTerms terms;
    terms.count = static_cast<int>(bank.size());
    terms.firstDate = first.date;
    const int months = MonthsBetween(first.date, bank[1].date);
    if (months <= 0 || 12 % months != 0 || months == 5) return std::nullopt;
    terms.periodsPerYear = 12 / months;
    terms.principal = *first.residual + *first.capital;
    // A first estimate, m * interest / residual over the first rows, then the rate in
    // thousandths of a point near it whose interest, rounded to the cent as the bank rounds
    // it, gives back most of those rows' interest shares.
    struct Period {
        std::int64_t before, interest;
    };
    std::vector<Period> periods;
    __int128 interest = 0;
    __int128 owed = 0;
    Money before = terms.principal;
    for (std::size_t k = 0; k < bank.size() && k < 12; ++k) {
        const ReviewRow& row = bank[k];
        if (!row.interest || !row.residual) break;
        periods.push_back({before.Cents(), row.interest->Cents()});
        interest += row.interest->Cents();
        owed += before.Cents();
        before = *row.residual;
    }
    if (owed == 0) return std::nullopt;
    const std::int64_t estimate = RoundHalfUp(interest * terms.periodsPerYear * 100000, owed);
    const auto matches = [&](std::int64_t thousandths) {
        int found = 0;
        for (const Period& period : periods) {
            const __int128 scaled = static_cast<__int128>(period.before) * thousandths;
            found +=
                RoundHalfUp(scaled, __int128{100000} * terms.periodsPerYear) == period.interest;
        }
        return found;
    };
    // Among rates that give back as many rows, the roundest: a contract states 6,00 % or
    // 5,125 %, and a small debt leaves the last digits free.
    const auto trailingZeros = [](std::int64_t thousandths) {
        int zeros = 0;
        while (zeros < 3 && thousandths % 10 == 0) {
            thousandths /= 10;
            ++zeros;
        }
        return zeros;
    };
    std::int64_t best = estimate;
    int bestMatches = matches(estimate);
    for (std::int64_t step = 1; step <= 50; ++step) {
        for (const std::int64_t candidate : {estimate - step, estimate + step}) {
            if (candidate < 0) continue;
            const int found = matches(candidate);
            if (found > bestMatches ||
                (found == bestMatches && trailingZeros(candidate) > trailingZeros(best))) {
                best = candidate;
                bestMatches = found;
            }
        }
    }
    terms.annualRate = Percent::FromTenThousandths(best * 10);
    return terms;
}

}  // namespace quotaplan
