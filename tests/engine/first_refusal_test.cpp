// The input rules every front end shares: the window's form check, the calculator and each
// batch line are refused by this one function, so its cases live here once.
#include "engine/first_refusal.h"

#include <gtest/gtest.h>

#include <functional>

namespace quotaplan {
namespace {

// V 10.000,00 at 6 % over 12 monthly instalments from 28/02/06, contract of 31/01/06.
ContractInput TenThousand() {
    ContractInput input;
    input.description = "Auto";
    input.valBene = "10.000,00";
    input.tasso = "6,00";
    input.spread = "0,00";
    input.count = "12";
    input.contract = "31/01/06";
    input.start = "28/02/06";
    return input;
}

struct RefusalCase {
    const char* name;
    std::function<void(ContractInput&)> change;
    std::optional<Refusal> expected;
    CalendarDate today = *CalendarDate::FromYmd(2006, 1, 15);
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

Refusal Message(const char* text, FormField field) { return {text, field, RefusalBox::Message}; }
Refusal TooLong(const char* text, FormField field) {
    return {text, field, RefusalBox::AmountTooLong};
}
const Refusal kNoDate = Message("Inserire una data valida!", FormField::DataRiscatto);

class FirstRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(FirstRefusalTest, RefusesWithTheFormsMessageAndField) {
    ContractInput input = TenThousand();
    GetParam().change(input);
    EXPECT_EQ(FirstRefusal(input, GetParam().today), GetParam().expected);
}

// For the rate and value targets the instalment is given.
void RateTarget(ContractInput& input) {
    input.target = CalcTarget::Rate;
    input.result = "859,93";
}
void ValueTarget(ContractInput& input) {
    input.target = CalcTarget::AssetValue;
    input.result = "859,93";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, FirstRefusalTest,
    testing::Values(
        RefusalCase{"Accepted", [](ContractInput&) {}, std::nullopt},
        // Amounts longer than their 16-character fields come first, in the box of their own.
        RefusalCase{"ValueTooLong",
                    [](ContractInput& in) {
                        in.valBene = "10.000.000.000,00";
                        in.description = "";
                    },
                    TooLong("Valore bene troppo alto", FormField::ValBene)},
        RefusalCase{"MaxiTooLong", [](ContractInput& in) { in.maxi = "-1.000.000.000,00"; },
                    TooLong("Valore MaxiRata troppo alto", FormField::Maxi)},
        RefusalCase{"BuyoutTooLong", [](ContractInput& in) { in.riscatto = "12.345.678.901,00"; },
                    TooLong("Valore Riscatto troppo alto", FormField::Riscatto)},
        RefusalCase{"ValueTooLongButCalculated",
                    [](ContractInput& in) {
                        ValueTarget(in);
                        in.valBene = "10.000.000.000,00";
                    },
                    std::nullopt},
        RefusalCase{"NoDescription", [](ContractInput& in) { in.description = ""; },
                    Message("Inserire la descrizione del bene!", FormField::DescBene)},
        RefusalCase{"NoDescriptionField", [](ContractInput& in) { in.description.reset(); },
                    std::nullopt},
        RefusalCase{"ValueEmpty", [](ContractInput& in) { in.valBene = ""; },
                    Message("Inserire il Valore del bene!", FormField::ValBene)},
        // The value counts by its leading number: 0,75 is zero.
        RefusalCase{"ValueBelowOne", [](ContractInput& in) { in.valBene = "0,75"; },
                    Message("Inserire il Valore del bene!", FormField::ValBene)},
        RefusalCase{"ValueZeroWhenCalculated",
                    [](ContractInput& in) {
                        ValueTarget(in);
                        in.valBene = "0";
                    },
                    std::nullopt},
        RefusalCase{"RateEmpty", [](ContractInput& in) { in.tasso = ""; },
                    Message("Inserire il Tasso!", FormField::Tasso)},
        RefusalCase{"RateZero", [](ContractInput& in) { in.tasso = "0,00"; },
                    Message("Inserire il Tasso!", FormField::Tasso)},
        // A rate is read as the number it shows: 0,75 % is a rate.
        RefusalCase{"RateBelowOne", [](ContractInput& in) { in.tasso = "0,75"; }, std::nullopt},
        RefusalCase{"RateZeroWhenCalculated",
                    [](ContractInput& in) {
                        RateTarget(in);
                        in.tasso = "0";
                    },
                    std::nullopt},
        // An index worth 0,00 leaves an indexed contract its spread; a typed 0 does not.
        RefusalCase{"ZeroIndexWithSpread",
                    [](ContractInput& in) {
                        in.tasso = "0,00";
                        in.spread = "1,50";
                        in.indexedRates = true;
                    },
                    std::nullopt},
        RefusalCase{"ZeroIndexWithoutSpread",
                    [](ContractInput& in) {
                        in.tasso = "0,00";
                        in.indexedRates = true;
                    },
                    Message("Inserire il Tasso!", FormField::Tasso)},
        RefusalCase{"TypedZeroWithSpread",
                    [](ContractInput& in) {
                        in.tasso = "0,00";
                        in.spread = "1,50";
                    },
                    Message("Inserire il Tasso!", FormField::Tasso)},
        RefusalCase{"CountZero", [](ContractInput& in) { in.count = "0"; },
                    Message("Inserire il Numero di rate!", FormField::Rate)},
        RefusalCase{"CountEmpty", [](ContractInput& in) { in.count = ""; },
                    Message("Inserire il Numero di rate!", FormField::Rate)},
        RefusalCase{"CountNegativeIsItsSize", [](ContractInput& in) { in.count = "-12"; },
                    std::nullopt},
        RefusalCase{"NoPeriodicity", [](ContractInput& in) { in.periodicityIndex = -1; },
                    Message("Inserire una periodicità!", FormField::Periodicita)},
        RefusalCase{"PeriodicityPastTheList", [](ContractInput& in) { in.periodicityIndex = 6; },
                    Message("Inserire una periodicità!", FormField::Periodicita)},
        RefusalCase{"ContractDateWord", [](ContractInput& in) { in.contract = "ieri"; },
                    Message("Inserire una data valida!", FormField::Contract)},
        RefusalCase{"FirstDateNoSuchDay", [](ContractInput& in) { in.start = "31/02/06"; },
                    Message("Inserire una data valida!", FormField::Start)},
        RefusalCase{"BuyoutDateNoSuchDay",
                    [](ContractInput& in) { in.dataRiscatto = "31/02/2007"; }, kNoDate},
        RefusalCase{"DatesEmpty",
                    [](ContractInput& in) {
                        in.contract.clear();
                        in.start.clear();
                    },
                    std::nullopt},
        // The buy-out cannot fall before the plan reaches it: the last instalment (31/01/07
        // in arrears, 31/12/06 in advance; in advance to the cent a period later).
        RefusalCase{"BuyoutDayBeforeLastInstalment",
                    [](ContractInput& in) { in.dataRiscatto = "30/01/07"; }, kNoDate},
        RefusalCase{"BuyoutOnLastInstalment",
                    [](ContractInput& in) { in.dataRiscatto = "31/01/07"; }, std::nullopt},
        RefusalCase{"AdvanceBuyoutDayBefore",
                    [](ContractInput& in) {
                        in.advance = true;
                        in.dataRiscatto = "30/12/06";
                    },
                    kNoDate},
        RefusalCase{"AdvanceBuyoutSameDay",
                    [](ContractInput& in) {
                        in.advance = true;
                        in.dataRiscatto = "31/12/06";
                    },
                    std::nullopt},
        RefusalCase{"AdvanceToTheCentOnLastInstalment",
                    [](ContractInput& in) {
                        in.advance = in.toTheCent = true;
                        in.dataRiscatto = "31/12/06";
                    },
                    kNoDate},
        RefusalCase{"AdvanceToTheCentPeriodAfter",
                    [](ContractInput& in) {
                        in.advance = in.toTheCent = true;
                        in.dataRiscatto = "31/01/07";
                    },
                    std::nullopt},
        RefusalCase{"RateTargetBuyoutDayBefore",
                    [](ContractInput& in) {
                        RateTarget(in);
                        in.dataRiscatto = "30/01/07";
                    },
                    kNoDate},
        RefusalCase{"ValueTargetBuyoutMonthBefore",
                    [](ContractInput& in) {
                        ValueTarget(in);
                        in.dataRiscatto = "31/12/06";
                    },
                    kNoDate},
        // Empty dates count as today (15/01/06) and one period on: the last instalment
        // falls on 15/01/07.
        RefusalCase{"BuyoutAgainstFilledDates",
                    [](ContractInput& in) {
                        in.contract.clear();
                        in.start.clear();
                        in.dataRiscatto = "14/01/2007";
                    },
                    kNoDate},
        // Two-digit years are placed around the day given, not the clock's: "57" is 1957
        // in 2006 (before the plan ends) and 2057 in 2026.
        RefusalCase{"TwoDigitYearIn2006", [](ContractInput& in) { in.dataRiscatto = "15/01/57"; },
                    kNoDate},
        RefusalCase{"TwoDigitYearIn2026", [](ContractInput& in) { in.dataRiscatto = "15/01/57"; },
                    std::nullopt, *CalendarDate::FromYmd(2026, 12, 6)},
        RefusalCase{"NoInstalmentForTheRate",
                    [](ContractInput& in) {
                        RateTarget(in);
                        in.result = "0";
                    },
                    Message("Inserire la rata!", FormField::Result)},
        RefusalCase{"InstalmentBelowOneForTheValue",
                    [](ContractInput& in) {
                        ValueTarget(in);
                        in.result = "0,50";
                    },
                    Message("Inserire la rata!", FormField::Result)},
        RefusalCase{"NegativeInstalmentLeftToTheCalculation",
                    [](ContractInput& in) {
                        RateTarget(in);
                        in.result = "-5";
                    },
                    std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FillDates, EmptyDatesAreTodayAndOnePeriodOn) {
    ContractInput input = TenThousand();
    input.contract.clear();
    input.start.clear();
    input.periodicityIndex = 2;
    const FilledDates dates = FillDates(input, *CalendarDate::FromYmd(2026, 1, 31));
    EXPECT_EQ(dates.contract->Iso(), "2026-01-31");
    EXPECT_EQ(dates.start->Iso(), "2026-04-30");
}

}  // namespace
}  // namespace quotaplan
