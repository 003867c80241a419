#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"
#include "engine/money.h"

namespace quotaplan {

// One instalment of a plan under review: a bank's plan as read from its file, where any
// column may be missing (number 0, the zero date, no amount), or Quotaplan's plan, where
// every field is filled.
struct ReviewRow {
    int number = 0;
    CalendarDate date;
    std::optional<Money> instalment;
    std::optional<Money> capital;
    std::optional<Money> interest;
    std::optional<Money> residual;
};

// The instalment rows of a plan to the cent, numbered from 1.
std::vector<ReviewRow> ReviewRowsOf(const CentsPlan& plan);

// Which figure of a row differs.
enum class ReviewField { Date, Instalment, Capital, Interest, Residual, Row };
// "date", "amount", "capital", "interest", "residual", "row" (a row the other plan lacks).
const char* ReviewFieldName(ReviewField field);
// "Scadenza", "Rata", "Quota capitale", "Quota interessi", "Debito residuo", "Riga".
const char* ReviewFieldCaption(ReviewField field);

// One figure where the two plans part: the instalment number (the bank's, else ours, else
// the row's position), the figure, and each side's value (none: that plan lacks the row).
// For ReviewField::Date the values are the dates' serials in cents (see dates below).
struct ReviewDifference {
    int number = 0;
    ReviewField field = ReviewField::Instalment;
    std::optional<Money> bank;
    std::optional<Money> ours;
    CalendarDate bankDate;  // for ReviewField::Date
    CalendarDate ourDate;
};

// One bank row with the row of ours it was matched with (none: ours has no such row).
struct ComparedRow {
    ReviewRow bank;
    std::optional<ReviewRow> ours;
    bool differs = false;
};

struct PlanComparison {
    std::vector<ComparedRow> rows;  // in the bank plan's order
    std::vector<ReviewDifference> differences;
    std::optional<int> firstDifference;  // the instalment number of the first row that differs
    Money bankPaid;                      // the bank's instalments added up
    Money ourPaid;                       // ours added up
    Money bankInterest;                  // the bank's interest shares added up (those it gives)
    Money ourInterest;
    Money PaidMore() const { return bankPaid - ourPaid; }  // positive: the client paid more
};

// Compares the bank's plan with ours row by row. Each bank row is matched with our row of the
// same due date; without a date (or with one ours lacks), with our row of the same number,
// the row's position in the file standing for a missing number. A figure differs when the
// bank gives it and it is not ours to the cent; a matched row's date differs when both have
// one. Our rows no bank row matched are differences of ReviewField::Row, after the others.
// Raises nothing.
PlanComparison ComparePlans(const std::vector<ReviewRow>& bank, const std::vector<ReviewRow>& ours);

// Terms read back from a bank's plan, for a user who lacks the contract: the instalment count,
// the periods a year (from the months between the first two due dates: 1, 2, 3, 4, 6 or 12),
// the principal (the first row's residual plus its capital) and the annual rate, in
// thousandths of a point: near m * sum(interest_k) / sum(residual before row k) over the
// first twelve rows at most, the rate whose round(residual * j / m) gives back most of those
// rows' interest shares (the roundest among equals, then the nearest). nullopt when the plan lacks
// dates, capital, interest or residuals on its first two rows, or the months between them are not a
// periodicity.
struct RecoveredTerms {
    int count = 0;
    int periodsPerYear = 12;
    Money principal;
    Percent annualRate;
    CalendarDate firstDate;
};
std::optional<RecoveredTerms> RecoverTerms(const std::vector<ReviewRow>& bank);

}  // namespace quotaplan
