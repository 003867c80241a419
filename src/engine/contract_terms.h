#pragma once

#include <cstdint>
#include <string>

#include "common/calendar_date.h"

namespace quotaplan {

// The inputs and results of one financing. The input fields carry the names of the
// tabContratti columns; amounts and rates are 32-bit, counts and periodicity 16-bit.
struct ContractTerms {
    float Valore = 0;               // value of the financed asset
    float Maxicanone = 0;           // maxi-instalment due on the contract date; 0 = none
    float Tasso = 0;                // nominal annual rate in percent (5.25 = 5.25 %)
    float Spread = 0;               // spread in percentage points, added to Tasso
    std::int16_t NumRate = 0;       // number of instalments n
    float Riscatto = 0;             // buy-out after the last instalment; 0 = none
    std::int16_t Periodicita = 12;  // periods per year m: 12, 6, 4, 3, 2 or 1
    bool Semplice = false;          // simple capitalisation (else compound)
    bool Anticipato = false;        // instalments in advance (else in arrears)
    CalendarDate DataContratto;     // date of the maxi-instalment and of an advance first
                                    // instalment
    CalendarDate DataInizio;        // first due date of the instalments
    CalendarDate DataRiscatto;      // zero date: the buy-out falls on the last instalment
    bool IntRiscatto = false;       // charge interest on the buy-out up to DataRiscatto
    float SpeseContratto = 0;       // fees at signing (effective rate only)
    float SpeseAddebito = 0;        // fee with every instalment (effective rate only)
    bool Centesimo = false;         // the plan to the cent instead of the classic plan
    std::string DescBene;           // description of the asset, at most 50 characters

    // Results.
    float Rata = 0;            // the constant instalment R
    float TassoEffettivo = 0;  // annual effective rate as a fraction

    // j = (Tasso + Spread) / 100, the annual fraction of every calculation, formed in
    // 32 bits as the form's two fields are added and divided. Raises nothing.
    float AnnualRate() const { return (Tasso + Spread) / 100.0f; }
};

}  // namespace quotaplan
