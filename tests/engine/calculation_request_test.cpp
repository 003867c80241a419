// A calculation asked for without a form (the calculator's options, a batch line): how its
// options become the form's texts that the shared checks read, and the day it counts from.
#include "engine/calculation_request.h"

#include <gtest/gtest.h>

namespace quotaplan {
namespace {

CalendarDate Ymd(int y, int m, int d) { return *CalendarDate::FromYmd(y, m, d); }

TEST(CalculationRequest, OptionsBecomeTheFormsTexts) {
    CalcOptions options;
    options.target = SolveTarget::Value;
    options.plan = PlanKind::ToTheCent;
    options.value = 209824.654;
    options.ratePercent = 5.996;
    options.spreadPercent = 1.5;
    options.count = -36;
    options.periodicity = 4;
    options.advance = true;
    options.contractDate = Ymd(2026, 1, 31);
    options.buyoutDate = Ymd(2035, 1, 31);
    options.instalment = 859.935;
    options.ratesIndexed = true;
    const ContractInput input = InputOf(options, GivenFieldsOf(options));
    EXPECT_FALSE(input.description.has_value());
    EXPECT_EQ(input.valBene, "209.824,65");
    EXPECT_EQ(input.tasso, "6,00");
    EXPECT_EQ(input.spread, "1,50");
    EXPECT_EQ(input.count, "-36");
    EXPECT_EQ(input.periodicityIndex, 2);
    EXPECT_EQ(input.contract, "31/01/2026");
    EXPECT_EQ(input.start, "");
    EXPECT_EQ(input.dataRiscatto, "31/01/2035");
    EXPECT_EQ(input.result, "859,94");
    EXPECT_EQ(input.target, CalcTarget::AssetValue);
    EXPECT_TRUE(input.advance && input.toTheCent && input.indexedRates);
}

TEST(CalculationRequest, WhatIsNotGiven) {
    CalcOptions options;
    options.periodicity = 5;
    const ContractInput input = InputOf(options, GivenFieldsOf(options));
    EXPECT_EQ(input.valBene, "0,00");
    EXPECT_EQ(input.count, "");
    EXPECT_EQ(input.periodicityIndex, -1);
    EXPECT_EQ(input.result, "0");
}

// The refusal is the shared check's; the rate search refuses a negative instalment itself.
TEST(CalculationRequest, Refusals) {
    CalcOptions options;
    options.ratePercent = 6;
    options.count = 12;
    auto refused = CalculateRequest(options, Ymd(2026, 1, 15));
    EXPECT_EQ(std::get<CalcFailure>(refused).message, "Inserire il Valore del bene!");
    options.value = 10000;
    options.target = SolveTarget::Rate;
    options.instalment = -5;
    refused = CalculateRequest(options, Ymd(2026, 1, 15));
    EXPECT_EQ(std::get<CalcFailure>(refused).kind, CalcFailureKind::Refused);
    EXPECT_EQ(std::get<CalcFailure>(refused).message, "Inserire una rata valida.");
    options.target = SolveTarget::Instalment;
    options.count = 40000;
    refused = CalculateRequest(options, Ymd(2026, 1, 15));
    EXPECT_EQ(std::get<CalcFailure>(refused).kind, CalcFailureKind::Arithmetic);
    EXPECT_EQ(std::get<CalcFailure>(refused).message, "Errore 6: Overflow");
}

// Without a contract date the contract is signed on the day given, whatever the clock says.
TEST(CalculationRequest, TodayComesIn) {
    CalcOptions options;
    options.value = 10000;
    options.ratePercent = 6;
    options.count = 12;
    const auto outcome = std::get<CalcOutcome>(CalculateRequest(options, Ymd(2031, 3, 31)));
    EXPECT_EQ(outcome.terms.DataContratto.Iso(), "2031-03-31");
    EXPECT_EQ(outcome.plan.rows.at(0).Data.Iso(), "2031-04-30");
    EXPECT_EQ(UsuryCaseOf(outcome)->contractDate.Iso(), "2031-03-31");
}

}  // namespace
}  // namespace quotaplan
