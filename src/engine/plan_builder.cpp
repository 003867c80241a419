#include "engine/plan_builder.h"

#include "common/run_time_error.h"
#include "engine/annuity.h"
#include "engine/checked_math.h"
#include "engine/due_dates.h"
#include "engine/rate_solver.h"
#include "engine/rounding.h"

namespace quotaplan {
namespace {

// The terms a segment of the plan starts from.
struct Segment {
    int firstRow;
    float value;
    float maxi;
    float annualRate;
    CalendarDate firstDate;
};

double Growth(float i, int periods) { return CheckedPow(1.0 + static_cast<double>(i), periods); }

}  // namespace

void ResetPlan(FinancialPlan& plan) {
    plan.Valore = 0;
    plan.Maxicanone = 0;
    plan.Riscatto = 0;
    plan.InteressiRiscatto = 0;
    plan.DataMaxi = CalendarDate();
    plan.DataRiscatto = CalendarDate();
    plan.PlanReady = false;
    plan.toTheCent.reset();
}

float BuildPlan(FinancialPlan& plan, float V, float M, float B, std::int16_t n, std::int16_t m,
                float j, std::int16_t decimals, bool compound, bool advance, bool intRiscatto,
                CalendarDate dataContratto, CalendarDate dataInizio, CalendarDate dataRiscatto,
                const std::vector<float>& rates, std::int16_t firstRow) {
    if (n < 1 || firstRow < 1 || firstRow > n || rates.size() < static_cast<std::size_t>(n) ||
        (firstRow > 1 && plan.Count() != n)) {
        throw RunTimeError::InvalidArgument();
    }
    // rate(r) is instalment r's annual rate; row(r) its plan line (both 1-based).
    auto rate = [&rates](int r) { return rates[r - 1]; };
    auto row = [&plan](int r) -> PlanRow& { return plan.rows[r - 1]; };

    // Each pass of this loop is one segment; a rate change starts the next one. A loop
    // rather than a call per segment keeps the stack flat when every instalment changes
    // rate (up to 32,767 segments).
    Segment segment{firstRow, V, M, j, dataInizio};
    float firstInstalment = 0;
    for (bool firstSegment = true;; firstSegment = false) {
        const int k = segment.firstRow;
        const double financedLessBuyout = static_cast<double>(segment.value) - segment.maxi - B;
        const auto remaining = static_cast<std::int16_t>(n - k + 1);
        const float i = PeriodicRateOf(segment.annualRate, m, compound);
        const float R =
            InstalmentFor(segment.value, segment.maxi, B, remaining, i, decimals, advance);
        if (firstSegment) firstInstalment = R;
        if (k == 1) {
            plan.rows.clear();
            ResetPlan(plan);
            plan.rows.resize(n);
            plan.Valore = V;
            plan.Maxicanone = M;
            plan.Riscatto = B;
            plan.DataMaxi = dataContratto;
            plan.DataRiscatto = dataRiscatto;
            plan.PlanReady = true;
        }
        // Fills row r with capital share q and the segment's running capital sum.
        auto fillRow = [&](int r, float q, float capitalSum, CalendarDate date) {
            PlanRow& line = row(r);
            line.QCapitale = q;
            line.DebitoRes =
                ToSingle(static_cast<double>(segment.value) - segment.maxi - capitalSum);
            line.QInteressi = ToSingle(static_cast<double>(R) - q);
            line.Importo = R;
            line.Data = date;
            line.Tasso = rate(r);
        };

        int changeRow = 0;  // the row where the rate changes, 0 when the segment reaches n
        if (!advance) {
            const float firstShare = RoundHalfEven(
                ToSingle(CheckedDivide(financedLessBuyout, AccumulationFactor(remaining, i))), 2);
            float capitalSum = firstShare;
            fillRow(k, firstShare, capitalSum, segment.firstDate);
            for (int r = k + 1; r <= n; ++r) {
                if (rate(r) != rate(r - 1)) {
                    changeRow = r;
                    break;
                }
                // The growth applies to the rounded first share, and the product is rounded
                // again: the shares carry whole cents, and the residual drifts by cents.
                const float share = RoundHalfEven(ToSingle(firstShare * Growth(i, r - k)), 2);
                capitalSum = ToSingle(static_cast<double>(capitalSum) + share);
                fillRow(r, share, capitalSum, NextDueDate(row(r - 1).Data, m));
            }
        } else {
            // The instalment due at once is all capital.
            fillRow(k, R, R, k == 1 ? dataContratto : segment.firstDate);
            if (k < n) {
                if (rate(k + 1) != rate(k)) {
                    changeRow = k + 1;
                } else {
                    const float secondShare = ToSingle(
                        CheckedDivide(financedLessBuyout, AccumulationFactor(remaining, i)));
                    PlanRow& second = row(k + 1);
                    second.QCapitale = secondShare;
                    second.DebitoRes =
                        ToSingle(static_cast<double>(row(k).DebitoRes) - secondShare);
                    second.QInteressi = ToSingle(static_cast<double>(R) - secondShare);
                    second.Importo = R;
                    second.Tasso = rate(k + 1);
                    second.Data = k == 1 ? segment.firstDate : NextDueDate(segment.firstDate, m);
                    float capitalSum = ToSingle(static_cast<double>(R) + secondShare);
                    for (int r = k + 2; r <= n; ++r) {
                        if (rate(r) != rate(r - 1)) {
                            changeRow = r;
                            break;
                        }
                        const float share = ToSingle(secondShare * Growth(i, r - k - 1));
                        capitalSum = ToSingle(static_cast<double>(capitalSum) + share);
                        fillRow(r, share, capitalSum, NextDueDate(row(r - 1).Data, m));
                    }
                }
            }
        }

        if (changeRow == 0) {
            if (intRiscatto && !dataRiscatto.IsZero()) {
                const double days = dataRiscatto - row(n).Data;
                plan.InteressiRiscatto =
                    ToSingle(static_cast<double>(B) * segment.annualRate * days / 365.0);
            }
            return firstInstalment;
        }
        // The new segment starts from the residual debt at the new rate, without a maxi.
        const PlanRow& last = row(changeRow - 1);
        segment =
            Segment{changeRow, last.DebitoRes, 0.0f, rate(changeRow), NextDueDate(last.Data, m)};
    }
}

}  // namespace quotaplan
