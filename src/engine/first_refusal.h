#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/calendar_date.h"

namespace quotaplan {

// The fields of a contract that a refusal names (the window puts the focus there).
enum class FormField {
    DescBene,
    ValBene,
    Maxi,
    Riscatto,
    Tasso,
    Rate,
    Periodicita,
    Contract,
    Start,
    DataRiscatto,
    Result
};

// What "Calcola" computes: optFormula's index.
enum class CalcTarget : std::int16_t { Instalment = 0, Rate = 1, AssetValue = 3 };

// How the window shows a refusal: the plain message of the form check, or the exclamation
// box under the program's title of an amount too long for its field.
enum class RefusalBox { Message, AmountTooLong };

// Why a contract's inputs cannot be calculated: the Italian message, the field it names.
struct Refusal {
    std::string message;
    FormField field = FormField::DescBene;
    RefusalBox box = RefusalBox::Message;
    friend bool operator==(const Refusal&, const Refusal&) = default;
};

// The inputs of one calculation as the contract form holds them once the user left each
// field: amounts "#,##0.00", rates "0.00", the count, dates "dd/mm/yy" (or with four-digit
// years), empty where nothing was given. The window, the calculator and each batch line
// fill it from their own inputs.
struct ContractInput {
    std::optional<std::string> description;  // none: the front end has no description field
    std::string valBene = "0", maxi = "0", riscatto = "0";
    std::string tasso = "0", spread = "0";
    std::string count;         // txtRate
    int periodicityIndex = 0;  // the list index (0 Mensile ... 5 Annuale); -1 none
    std::string contract, start, dataRiscatto;
    std::string result = "0";  // the instalment, read for the rate and value targets
    CalcTarget target = CalcTarget::Instalment;
    bool advance = false;
    bool toTheCent = false;
    // The rate list comes from indexing (or a stored indexed plan): Tasso is then the index
    // value, which may be 0,00 while index plus spread is not.
    bool indexedRates = false;
};

// The first check a contract fails, in the order the "Calcola" command checks its form;
// nullopt when it can be calculated:
//   1. an amount text longer than its field's 16 characters (10.000.000.000,00 and more,
//      where 32-bit amounts no longer hold units): "Valore bene troppo alto" (not when the
//      value is the target), "Valore MaxiRata troppo alto", "Valore Riscatto troppo alto";
//   2. an empty description, when there is one: "Inserire la descrizione del bene!";
//   3. unless the value is the target, a value that counts as zero (LeadingNumber 0:
//      0,75 too): "Inserire il Valore del bene!";
//   4. unless the rate is the target, a Tasso whose number is 0 (0,75 is a rate), an index
//      of 0 with a spread aside: "Inserire il Tasso!";
//   5. a count that counts as zero: "Inserire il Numero di rate!";
//   6. no periodicity: "Inserire una periodicità!";
//   7. a contract date, first date or buy-out date that is given and no date, or a buy-out
//      date before the buy-out falls due (the last instalment; in advance to the cent a
//      period later): "Inserire una data valida!";
//   8. for the rate and value targets, an instalment that counts as zero: "Inserire la rata!".
// An empty contract date counts as `today`, an empty first date as one period after the
// contract date; two-digit years are placed around `today`. Reads no clock and raises
// nothing.
std::optional<Refusal> FirstRefusal(const ContractInput& input, CalendarDate today);

// The contract date and first date the calculation takes: as given, or `today` and one
// period after the contract date for empty ones; nullopt for a text that is no date or a
// first date past the year 9999.
struct FilledDates {
    std::optional<CalendarDate> contract;
    std::optional<CalendarDate> start;
};
FilledDates FillDates(const ContractInput& input, CalendarDate today);

}  // namespace quotaplan
