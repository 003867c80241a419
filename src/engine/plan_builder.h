#pragma once

#include <cstdint>
#include <vector>

#include "common/calendar_date.h"
#include "engine/financial_plan.h"

namespace quotaplan {

// Empties the plan header: Valore, Maxicanone, Riscatto, InteressiRiscatto 0, DataMaxi and
// DataRiscatto the zero date, PlanReady false, no plan to the cent. Rows are left to the
// caller.
void ResetPlan(FinancialPlan& plan);

// Computes the constant instalment and, in the same pass, the financial plan.
//
// A segment starts at row k with n' = n - k + 1 instalments left, value V, maxi M, annual
// rate j, periodic rate i = PeriodicRateOf(j, m):
//   R = round((V - M - B (1 + i)^-n') / F(n', i), decimals)       (the instalment rule)
//   in arrears: Q_k = round((V - M - B) / s(n', i), 2), row k dated dataInizio;
//               Q_r = round(Q_k (1 + i)^(r - k), 2), each row one period after the last;
//   in advance: row k is all capital (Q_k = R, dated dataContratto when k = 1, otherwise
//               the segment's first date); Q_k+1 = (V - M - B) / s(n', i) and
//               Q_r = Q_k+1 (1 + i)^(r - k - 1), not rounded; row k + 1 dated dataInizio
//               when k = 1, otherwise one period after the segment's first date;
//   every row: Importo = R, QInteressi = R - Q_r, DebitoRes = V - M - (sum of the
//               segment's Q so far), Tasso = rates[r - 1].
// Where rates[r - 1] differs from rates[r - 2] the segment ends: a new one starts at row r
// with V = DebitoRes of row r - 1, M = 0, j = rates[r - 1], first date one period after
// row r - 1. When the last segment reaches row n and intRiscatto holds and dataRiscatto is
// not the zero date: InteressiRiscatto = B * j * (dataRiscatto - date of row n) / 365,
// with that segment's j. Legend: B buy-out, n instalments, m periods a year, F annuity
// factor of the timing, s AccumulationFactor, Q capital share.
//
// With firstRow 1 the plan is replaced whole (after the first instalment is known): rows
// 1..n, header Valore = V, Maxicanone = M, Riscatto = B, DataMaxi = dataContratto,
// DataRiscatto = dataRiscatto, PlanReady true. A later firstRow continues a plan already
// sized to n rows. rates[k - 1] is instalment k's annual rate as a fraction; the first
// segment runs at j, not rates[0].
//
// Returns the first segment's instalment R.
// Raises RunTimeError 5, leaving the plan untouched, when n < 1, firstRow is outside
// 1..n, rates holds fewer than n entries, or a later firstRow meets a plan not sized to n.
// Raises the arithmetic errors of the primitives (11 for a periodic rate of 0, 6 on
// overflow, 5 for a rate at or below -100 % or a due date beyond 9999); when that happens
// after the first instalment, the plan is left partial: PlanReady true, the rows not
// reached zero with the zero date.
float BuildPlan(FinancialPlan& plan, float V, float M, float B, std::int16_t n, std::int16_t m,
                float j, std::int16_t decimals, bool compound, bool advance, bool intRiscatto,
                CalendarDate dataContratto, CalendarDate dataInizio, CalendarDate dataRiscatto,
                const std::vector<float>& rates, std::int16_t firstRow);

}  // namespace quotaplan
