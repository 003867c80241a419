#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "engine/cents_plan.h"

namespace quotaplan {

// One line of the financial plan; the field names are the columns of tabPDA.
struct PlanRow {
    std::string Tipo = "Rata";  // "Rata", or "Maxi." / "Riscatto" for the derived rows
    CalendarDate Data;          // due date
    float Tasso = 0;            // annual rate of the row as a fraction (0.06 = 6 %)
    float Importo = 0;          // amount paid: the instalment of the row's segment
    float QInteressi = 0;       // interest share
    float QCapitale = 0;        // capital share
    float DebitoRes = 0;        // residual debt after the row
};

// The current financial plan: a header and one row per instalment. Owned by whoever
// runs the calculations and handed to its readers (grid, store, exports).
struct FinancialPlan {
    bool PlanReady = false;   // true once a plan has been started
    float Valore = 0;         // financed asset value of the first segment
    float Maxicanone = 0;     // maxi-instalment amount
    CalendarDate DataMaxi;    // the contract date
    float Riscatto = 0;       // buy-out amount
    float InteressiRiscatto = 0;
    CalendarDate DataRiscatto;  // zero date when none was entered (to the cent: the due date)
    std::vector<PlanRow> rows;  // rows[k - 1] is instalment k

    // Set when the plan was built to the cent: the exact amounts, which every reader shows
    // (PlanLines) instead of the 32-bit fields above; those then hold the nearest 32-bit
    // values, the dates and the rates.
    std::optional<CentsPlan> toTheCent;

    int Count() const { return static_cast<int>(rows.size()); }

    // The buy-out date readers use: DataRiscatto, or the last instalment's date when
    // DataRiscatto is the zero date.
    CalendarDate BuyoutDate() const;

    // The derived "Maxi." row: dated DataMaxi, all capital, residual Valore - Maxicanone.
    PlanRow MaxiRow() const;

    // The derived "Riscatto" row: dated BuyoutDate(), capital Riscatto, interest
    // InteressiRiscatto, residual 0.
    PlanRow BuyoutRow() const;
};

// Replaces the plan whole with a plan to the cent: toTheCent = cents, the header and the
// rows from it, PlanReady true. Raises nothing.
void SetPlanToTheCent(FinancialPlan& plan, CentsPlan cents);

}  // namespace quotaplan
