#include <gtest/gtest.h>

#include <vector>

#include "engine/contract_calculation.h"
#include "engine/plan_builder.h"
#include "engine/plan_lines.h"
#include "engine/rate_schedule.h"
#include "engine/taeg.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

// 10.000 at 6 % simple, 12 monthly instalments in arrears, 150 of contract fees and 2 a
// instalment.
struct Contract {
    ContractTerms terms;
    ExactAmounts exact;
    Contract() {
        terms.Valore = 10000;
        terms.Tasso = 6;
        terms.NumRate = 12;
        terms.Semplice = true;
        terms.Centesimo = true;
        terms.DataContratto = Ymd(2026, 1, 15);
        terms.DataInizio = Ymd(2026, 2, 15);
        exact.value = Money::FromCents(1000000);
        exact.contractFees = Money::FromCents(15000);
        exact.instalmentFee = Money::FromCents(200);
    }
    std::vector<float> Rates() const { return RatesForPlan({}, terms.NumRate, 6.0f); }
};

std::int64_t ShownTaeg(const TaegSolution& taeg) {
    EXPECT_TRUE(taeg.rate.has_value());
    return TaegPercent(taeg.rate.value_or(0)).TenThousandths() / 100;
}

TEST(ContractTaeg, OnThePlanToTheCent) {
    Contract contract;
    FinancialPlan plan;
    EXPECT_EQ(CalculateInstalmentToTheCent(contract.terms, contract.exact, contract.Rates(), plan)
                  .Cents(),
              86066);
    ASSERT_TRUE(plan.toTheCent);
    EXPECT_TRUE(plan.PlanReady);
    EXPECT_EQ(ShownTaeg(CalculateTaeg(contract.terms, contract.exact, &plan)), 968);
    contract.exact.contractFees = contract.exact.instalmentFee = Money();
    EXPECT_EQ(ShownTaeg(CalculateTaeg(contract.terms, contract.exact, &plan)), 617);
}

// 5.000 at 9,90 % compound in six monthly instalments from 01/03/2026, signed on 30/01/2026
// with 50 of fees. Counted back from each due date, the months end on the 1st and leave two
// days after 30/01 (counted forward from 30/01, one day before each due date: 13,58).
TEST(ContractTaeg, MonthsCountedBackFromEachDueDate) {
    Contract contract;
    contract.terms.Valore = 5000;
    contract.terms.Tasso = 9.9f;
    contract.terms.NumRate = 6;
    contract.terms.Semplice = false;
    contract.terms.DataContratto = Ymd(2026, 1, 30);
    contract.terms.DataInizio = Ymd(2026, 3, 1);
    contract.exact.value = Money::FromCents(500000);
    contract.exact.contractFees = Money::FromCents(5000);
    contract.exact.instalmentFee = Money();
    FinancialPlan plan;
    EXPECT_EQ(CalculateInstalmentToTheCent(contract.terms, contract.exact,
                                           RatesForPlan({}, 6, 9.9f), plan)
                  .Cents(),
              85652);
    EXPECT_EQ(ShownTaeg(CalculateTaeg(contract.terms, contract.exact, &plan)), 1351);
}

TEST(ContractTaeg, NoneForOneInstalmentInAdvance) {
    Contract contract;
    contract.terms.NumRate = 1;
    contract.terms.Anticipato = true;
    contract.exact.instalmentFee = Money();
    FinancialPlan plan;
    CalculateInstalmentToTheCent(contract.terms, contract.exact, RatesForPlan({}, 1, 6), plan);
    // Drawn and repaid on the contract date: with its fees nothing is drawn, without them
    // every rate balances.
    TaegSolution taeg = CalculateTaeg(contract.terms, contract.exact, &plan);
    EXPECT_FALSE(taeg.rate.has_value());
    EXPECT_EQ(taeg.missing, NoTaeg::OneSided);
    contract.exact.contractFees = Money();
    taeg = CalculateTaeg(contract.terms, contract.exact, &plan);
    EXPECT_FALSE(taeg.rate.has_value());
    EXPECT_EQ(taeg.missing, NoTaeg::EveryRate);
}

TEST(ContractTaeg, WithoutAPlanOnTheInstalmentGiven) {
    Contract contract;
    contract.exact.instalment = Money::FromCents(86066);
    contract.exact.contractFees = contract.exact.instalmentFee = Money();
    // Twelve instalments of 860,66 from 15/02/2026 on.
    EXPECT_EQ(ShownTaeg(CalculateTaeg(contract.terms, contract.exact, nullptr)), 617);
    contract.exact.instalment = Money::FromCents(90000);
    EXPECT_EQ(ShownTaeg(CalculateTaeg(contract.terms, contract.exact, nullptr)), 1545);
}

TEST(ContractTaeg, ClassicPlanKeepsItsOwnInstalments) {
    Contract contract;
    FinancialPlan plan;
    CalculateInstalment(contract.terms, contract.Rates(), plan);
    EXPECT_FALSE(plan.toTheCent);
    EXPECT_EQ(ShownTaeg(CalculateTaeg(contract.terms, contract.exact, &plan)), 968);
}

TEST(PlanLines, ExactAmountsBeyondWhatA32BitFloatHolds) {
    ContractTerms terms;
    terms.NumRate = 2;
    terms.Semplice = true;
    terms.DataContratto = Ymd(2026, 1, 15);
    terms.DataInizio = Ymd(2026, 2, 15);
    ExactAmounts exact;
    exact.value = Money::FromCents(20982465);  // 209.824,65
    exact.maxi = Money::FromCents(3);
    exact.buyout = Money::FromCents(16777217);
    FinancialPlan plan;
    CalculateInstalmentToTheCent(terms, exact, RatesForPlan({}, 2, 0), plan);

    const auto lines = PlanLines(plan, DerivedLines::WhenNotZero);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].kind, PlanLineKind::Maxi);
    EXPECT_EQ(lines[0].residual, 209824.62);
    EXPECT_EQ(lines[1].capital, 21026.23);
    EXPECT_EQ(lines[2].residual, 167772.17);
    EXPECT_EQ(lines[3].kind, PlanLineKind::Buyout);
    EXPECT_EQ(lines[3].amount, 167772.17);
    EXPECT_EQ(lines[3].date.Iso(), "2026-03-15");
    EXPECT_EQ(Money::FromUnits(lines[1].stored).Cents(), 2102623);
}

TEST(PlanLines, ClassicSumsStayIn32Bits) {
    FinancialPlan plan;
    ContractTerms terms;
    terms.Valore = 10000;
    terms.Tasso = 6;
    terms.NumRate = 12;
    terms.DataContratto = Ymd(2006, 1, 15);
    terms.DataInizio = Ymd(2006, 2, 15);
    CalculateInstalment(terms, RatesForPlan({}, 12, 6), plan);
    const auto always = PlanLines(plan, DerivedLines::Always);
    ASSERT_EQ(always.size(), 14u);
    EXPECT_EQ(always.front().kind, PlanLineKind::Maxi);
    EXPECT_EQ(always.back().kind, PlanLineKind::Buyout);
    EXPECT_EQ(PlanLines(plan, DerivedLines::WhenNotZero).size(), 12u);
    const PlanLine& first = always[1];
    EXPECT_EQ(first.amount, static_cast<double>(plan.rows[0].QCapitale + plan.rows[0].QInteressi));
    EXPECT_EQ(first.stored, static_cast<double>(plan.rows[0].Importo));
    EXPECT_EQ(first.ratePercent, plan.rows[0].Tasso * 100.0f);
}

TEST(BuildPlan, ForgetsAnEarlierPlanToTheCent) {
    Contract contract;
    FinancialPlan plan;
    CalculateInstalmentToTheCent(contract.terms, contract.exact, contract.Rates(), plan);
    CalculateInstalment(contract.terms, contract.Rates(), plan);
    EXPECT_FALSE(plan.toTheCent);
}

}  // namespace
}  // namespace quotaplan
