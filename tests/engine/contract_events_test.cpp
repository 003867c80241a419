#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/contract_calculation.h"
#include "engine/early_repayment.h"
#include "engine/plan_events.h"
#include "engine/plan_lines.h"
#include "engine/plan_position.h"
#include "event_contracts.h"

namespace quotaplan {
namespace {

using namespace test;

// 17.482,81 over 84 monthly instalments at 5,35 % simple, in arrears: the published case of
// the refunds, with up-front costs of 2.594,76.
Contract Consumer() {
    return MakeContract(1748281, 0, 0, 84, Flat(84, 535), Capitalisation::Simple,
                        PaymentTiming::Arrears, Ymd(2026, 1, 15), Ymd(2026, 2, 15), 259476);
}
// A mortgage: 120.000 at 3,5 % compound over 240 months.
Contract Mortgage() {
    return MakeContract(12000000, 0, 0, 240, Flat(240, 350), Capitalisation::Compound,
                        PaymentTiming::Arrears, Ymd(2025, 3, 10), Ymd(2025, 4, 10));
}
// A leasing: 60.000, maxi 6.000, buy-out 3.000, 60 instalments in advance at 6 % compound.
Contract Leasing() {
    return MakeContract(6000000, 600000, 300000, 60, Flat(60, 600), Capitalisation::Compound,
                        PaymentTiming::Advance, Ymd(2025, 7, 1), Ymd(2025, 8, 1), 50000);
}
// The same leasing in arrears: the buy-out falls with the last instalment.
Contract ArrearsLeasing() {
    return MakeContract(6000000, 600000, 300000, 60, Flat(60, 600), Capitalisation::Compound,
                        PaymentTiming::Arrears, Ymd(2025, 7, 1), Ymd(2025, 8, 1), 50000);
}
// 9.000 at 7 % simple over 36 months: a payoff of it is always a small one.
Contract SmallLoan() {
    return MakeContract(900000, 0, 0, 36, Flat(36, 700), Capitalisation::Simple,
                        PaymentTiming::Arrears, Ymd(2026, 1, 15), Ymd(2026, 2, 15));
}
// 30.000 at 0,50 % simple over 24 months: so little interest that it caps the penalty.
Contract CheapLoan() {
    return MakeContract(3000000, 0, 0, 24, Flat(24, 50), Capitalisation::Simple,
                        PaymentTiming::Arrears, Ymd(2026, 1, 15), Ymd(2026, 2, 15));
}
// 10.000 over 24 months, compound, 6 % for the first 12 instalments and 8 % after.
Contract TwoRates() {
    std::vector<Percent> rates = Flat(12, 600);
    rates.resize(24, Hundredths(800));
    return MakeContract(1000000, 0, 0, 24, rates, Capitalisation::Compound, PaymentTiming::Arrears,
                        Ymd(2026, 1, 15), Ymd(2026, 2, 15));
}

Contract Indexed(Contract contract) {
    contract.terms.indexation = RateIndexation::Indexed;
    return contract;
}

PenaltyRule Rule(PenaltyRegime regime, std::int64_t hundredths = 0) {
    return {regime, Hundredths(hundredths)};
}
const PenaltyRule kConsumer = Rule(PenaltyRegime::Consumer);
const PenaltyRule kNone = Rule(PenaltyRegime::None);

TEST(AccruedInterest, SimpleInterestOverActualDaysOf365RoundedHalfUp) {
    EXPECT_EQ(AccruedInterest(Cents(500000), Hundredths(550), Ymd(2026, 1, 1), Ymd(2026, 3, 14)),
              Cents(5425));
    // 13.134,93 at 5,35 % for 10 days is 19,2517...
    EXPECT_EQ(AccruedInterest(Cents(1313493), Hundredths(535), Ymd(2028, 1, 15), Ymd(2028, 1, 25)),
              Cents(1925));
    // An exact half cent goes up: 36,50 at 1 % for 5 days is 0,005.
    EXPECT_EQ(AccruedInterest(Cents(3650), Hundredths(100), Ymd(2026, 1, 1), Ymd(2026, 1, 6)),
              Cents(1));
    EXPECT_EQ(AccruedInterest(Cents(500000), Hundredths(550), Ymd(2026, 1, 1), Ymd(2026, 1, 1)),
              Money());
}

struct PenaltyExample {
    const char* name;
    PenaltyCase input;
    std::int64_t cents;
    const char* text;
};

class PenaltyRules : public ::testing::TestWithParam<PenaltyExample> {};

TEST_P(PenaltyRules, AmountAndTheRuleAsTheStatementShowsIt) {
    const PenaltyOutcome outcome = EarlyRepaymentPenalty(GetParam().input);
    EXPECT_EQ(outcome.amount, Cents(GetParam().cents));
    EXPECT_EQ(PenaltyOutcomeText(outcome), GetParam().text);
}

PenaltyCase Case(PenaltyRule rule, std::int64_t base, bool whole = false, bool lastYear = false,
                 std::int64_t forgone = 100000000,
                 RateIndexation indexation = RateIndexation::Fixed) {
    return {rule, Cents(base), whole, lastYear, indexation, Cents(forgone)};
}

INSTANTIATE_TEST_SUITE_P(
    Regimes, PenaltyRules,
    ::testing::Values(
        PenaltyExample{"None", Case(kNone, 1175927, true), 0, "nessuna"},
        PenaltyExample{"HomeOrBusiness", Case(Rule(PenaltyRegime::HomeOrBusiness), 9600148, true),
                       0, "mutuo casa/attività: nessuna penale"},
        PenaltyExample{"ContractualTwoPercent", Case(Rule(PenaltyRegime::Contractual, 200), 500000),
                       10000, "contrattuale 2% di 5.000,00"},
        PenaltyExample{"ContractualHalfUp", Case(Rule(PenaltyRegime::Contractual, 50), 123457), 617,
                       "contrattuale 0,5% di 1.234,57"},
        PenaltyExample{"ConsumerOnePercent", Case(kConsumer, 1175927, true), 11759,
                       "consumatore 1% di 11.759,27"},
        PenaltyExample{"ConsumerLastYear", Case(kConsumer, 2000000, true, true), 10000,
                       "consumatore 0,5% di 20.000,00"},
        PenaltyExample{"ConsumerCappedByInterestForgone",
                       Case(kConsumer, 2000000, true, false, 15000), 15000,
                       "consumatore 1% di 20.000,00, limitata agli interessi residui 150,00"},
        PenaltyExample{"ConsumerSmallPayoff", Case(kConsumer, 1000000, true), 0,
                       "consumatore: nessuna penale, rimborso non oltre 10.000,00"},
        PenaltyExample{"ConsumerJustAboveTheLimit", Case(kConsumer, 1000001, true), 10000,
                       "consumatore 1% di 10.000,01"},
        // A partial repayment never settles the whole debt: the limit does not apply.
        PenaltyExample{"ConsumerSmallPartial", Case(kConsumer, 500000), 5000,
                       "consumatore 1% di 5.000,00"},
        PenaltyExample{"ConsumerVariableRate",
                       Case(kConsumer, 1175927, true, false, 100000000, RateIndexation::Indexed), 0,
                       "consumatore: nessuna penale, tasso variabile"},
        PenaltyExample{"NegativeBaseCountsAsNothing",
                       Case(Rule(PenaltyRegime::Contractual, 100), -500), 0,
                       "contrattuale 1% di 0,00"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefundExample {
    const char* name;
    RefundCase input;
    std::int64_t cents;
    const char* text;
};

class RefundCriteria : public ::testing::TestWithParam<RefundExample> {};

TEST_P(RefundCriteria, AmountAndTheCriterionAsTheStatementShowsIt) {
    const RefundOutcome outcome = UpfrontCostsRefund(GetParam().input);
    EXPECT_EQ(outcome.amount, Cents(GetParam().cents));
    EXPECT_EQ(RefundOutcomeText(outcome), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, RefundCriteria,
    ::testing::Values(
        RefundExample{
            "InterestCurve",
            {RefundCriterion::InterestCurve, Cents(259476), 84, 24, Cents(351590), Cents(186402)},
            137566,
            "curva degli interessi: 1.864,02 su 3.515,90"},
        RefundExample{
            "ProRata",
            {RefundCriterion::ProRata, Cents(259476), 84, 24, Cents(351590), Cents(186402)},
            185340,
            "pro rata temporis: 60 rate su 84"},
        RefundExample{"NoInterestRefundsProRata",
                      {RefundCriterion::InterestCurve, Cents(120000), 12, 3, Money(), Money()},
                      90000,
                      "pro rata temporis: 9 rate su 12"},
        RefundExample{
            "NoCosts",
            {RefundCriterion::InterestCurve, Money(), 84, 24, Cents(351590), Cents(186402)},
            0,
            "nessun costo da rimborsare"},
        RefundExample{"EverythingPaid",
                      {RefundCriterion::ProRata, Cents(259476), 84, 84, Cents(351590), Money()},
                      0,
                      "pro rata temporis: 0 rate su 84"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PayoffStatement, ThePublishedCaseItsInstalmentAndTheInterestLeft) {
    const Contract contract = Consumer();
    EXPECT_EQ(contract.plan.instalment, Cents(24999));
    PayoffOptions options;
    options.penalty = kConsumer;

    options.refund = RefundCriterion::InterestCurve;
    // The figures of the statement are rows of PayoffStatements below.
    const PayoffStatement curve =
        ComputePayoffStatement(contract.terms, contract.plan, Ymd(2028, 1, 15), options);
    EXPECT_EQ(curve.refund.basis.remainingInterest, Cents(186402));
    EXPECT_EQ(curve.instalmentsPaid, 24);
}

// A statement on a plan, checked in cents: residual, accrued interest, refund, penalty,
// total, instalments still due, and the rule as shown.
struct PayoffExample {
    const char* name;
    Contract (*contract)();
    CalendarDate date;
    PayoffOptions options;
    std::int64_t residual, accrued, refund, penalty, total;
    int due;
    const char* rule;
};

class PayoffStatements : public ::testing::TestWithParam<PayoffExample> {};

TEST_P(PayoffStatements, FiguresToTheCent) {
    const PayoffExample& example = GetParam();
    const Contract contract = example.contract();
    const PayoffStatement statement =
        ComputePayoffStatement(contract.terms, contract.plan, example.date, example.options);
    EXPECT_EQ(statement.residualCapital, Cents(example.residual));
    EXPECT_EQ(statement.accruedInterest, Cents(example.accrued));
    EXPECT_EQ(statement.refund.amount, Cents(example.refund));
    EXPECT_EQ(statement.penalty.amount, Cents(example.penalty));
    EXPECT_EQ(statement.total, Cents(example.total));
    EXPECT_EQ(statement.instalmentsDue, example.due);
    EXPECT_EQ(PenaltyOutcomeText(statement.penalty), example.rule);
}

PayoffOptions Options(PenaltyRule penalty, RefundCriterion refund = RefundCriterion::InterestCurve,
                      PayoffMethod method = PayoffMethod::Residual,
                      std::optional<Percent> rate = std::nullopt, std::int64_t extraCosts = 0) {
    return {method, rate, penalty, refund, Cents(extraCosts)};
}

Contract ConsumerWithFeesApart() {
    Contract contract = Consumer();
    contract.terms.contractFees = Cents(200000);
    return contract;
}
Contract IndexedConsumer() { return Indexed(Consumer()); }

INSTANTIATE_TEST_SUITE_P(
    Cases, PayoffStatements,
    ::testing::Values(
        PayoffExample{"PublishedCaseOnTheInterestCurve", Consumer, Ymd(2028, 1, 15),
                      Options(kConsumer), 1313493, 0, 137566, 11759, 1187686, 60,
                      "consumatore 1% di 11.759,27"},
        PayoffExample{"PublishedCaseProRata", Consumer, Ymd(2028, 1, 15),
                      Options(kConsumer, RefundCriterion::ProRata), 1313493, 0, 185340, 11282,
                      1139435, 60, "consumatore 1% di 11.281,53"},
        // Ten days after the 24th instalment: 13.134,93 has run 19,25 of interest.
        PayoffExample{"BetweenDueDates", Consumer, Ymd(2028, 1, 25), Options(kConsumer), 1313493,
                      1925, 137566, 11759, 1189611, 60, "consumatore 1% di 11.759,27"},
        // The costs given with the statement add to the contract fees: 2.000 + 594,76.
        PayoffExample{"CostsGivenWithTheStatement", ConsumerWithFeesApart, Ymd(2028, 1, 15),
                      Options(kConsumer, RefundCriterion::InterestCurve, PayoffMethod::Residual,
                              std::nullopt, 59476),
                      1313493, 0, 137566, 11759, 1187686, 60, "consumatore 1% di 11.759,27"},
        // Before the first instalment the whole debt runs from the contract date: 17 days.
        PayoffExample{"BeforeTheFirstInstalment", Consumer, Ymd(2026, 2, 1),
                      Options(kConsumer, RefundCriterion::ProRata), 1748281, 4356, 259476, 14888,
                      1508049, 84, "consumatore 1% di 14.888,05"},
        PayoffExample{"VariableRateWaivesTheConsumerPenalty", IndexedConsumer, Ymd(2028, 1, 15),
                      Options(kConsumer, RefundCriterion::ProRata), 1313493, 0, 185340, 0, 1128153,
                      60, "consumatore: nessuna penale, tasso variabile"},
        PayoffExample{"SmallPayoff", SmallLoan, Ymd(2027, 1, 15), Options(kConsumer), 620683, 0, 0,
                      0, 620683, 24, "consumatore: nessuna penale, rimborso non oltre 10.000,00"},
        PayoffExample{"CappedByTheInterestLeft", CheapLoan, Ymd(2026, 12, 15), Options(kConsumer),
                      1628725, 0, 0, 4754, 1633479, 13,
                      "consumatore 1% di 16.287,25, limitata agli interessi residui 47,54"},
        // Compound too: simple interest over the 15 days since 10/06/2030.
        PayoffExample{"CompoundMortgageBetweenDueDates", Mortgage, Ymd(2030, 6, 25),
                      Options(Rule(PenaltyRegime::HomeOrBusiness)), 9600148, 13808, 0, 0, 9613956,
                      177, "mutuo casa/attività: nessuna penale"},
        // In advance the 25th instalment falls on 01/07/2027; the buy-out is in the residual.
        PayoffExample{"LeasingContractualPenalty", Leasing, Ymd(2027, 7, 1),
                      Options(Rule(PenaltyRegime::Contractual, 200), RefundCriterion::ProRata),
                      3437080, 0, 29167, 68158, 3476071, 35, "contrattuale 2% di 34.079,13"},
        PayoffExample{"AdvanceOnTheContractDate", Leasing, Ymd(2025, 7, 1), Options(kNone), 5300802,
                      0, 50000, 0, 5250802, 59, "nessuna"},
        // On the last due date only the buy-out is owed, a period before it falls due.
        PayoffExample{"AdvanceOnTheLastDueDate", Leasing, Ymd(2030, 6, 1), Options(kNone), 298547,
                      0, 0, 0, 298547, 0, "nessuna"},
        PayoffExample{
            "DiscountedAtAGivenRate", Consumer, Ymd(2032, 9, 15),
            Options(kNone, RefundCriterion::InterestCurve, PayoffMethod::Discount, Hundredths(400)),
            99139, 0, 815, 0, 98324, 4, "nessuna"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DiscountExample {
    const char* name;
    Contract (*contract)();
    CalendarDate dueDate;
    std::int64_t discounted;
};

class DiscountAgreesWithResidual : public ::testing::TestWithParam<DiscountExample> {};

// At the contract's own effective rate, on a due date, discounting the payments left gives
// the residual back, but for the cents each row's interest was rounded by.
TEST_P(DiscountAgreesWithResidual, WithinFiveCentsOnADueDate) {
    const Contract contract = GetParam().contract();
    PayoffOptions residual;
    PayoffOptions discount;
    discount.method = PayoffMethod::Discount;
    const auto byResidual =
        ComputePayoffStatement(contract.terms, contract.plan, GetParam().dueDate, residual);
    const auto byDiscount =
        ComputePayoffStatement(contract.terms, contract.plan, GetParam().dueDate, discount);
    EXPECT_EQ(byDiscount.residualCapital, Cents(GetParam().discounted));
    EXPECT_LE(std::abs(byDiscount.residualCapital.Cents() - byResidual.residualCapital.Cents()), 5);
    EXPECT_EQ(byDiscount.accruedInterest, Money());
}

INSTANTIATE_TEST_SUITE_P(
    Contracts, DiscountAgreesWithResidual,
    ::testing::Values(DiscountExample{"Simple", Consumer, Ymd(2028, 1, 15), 1313490},
                      DiscountExample{"Compound", Mortgage, Ymd(2030, 3, 10), 9724518},
                      DiscountExample{"AdvanceWithMaxiAndBuyout", Leasing, Ymd(2027, 7, 1),
                                      3437081}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PayoffStatement, DefaultDiscountRateIsTheEffectiveAnnualRate) {
    PayoffOptions discount;
    discount.method = PayoffMethod::Discount;
    const Contract simple = Consumer();
    // (1 + 0,0535 / 12)^12 - 1 = 5,4832...%
    EXPECT_EQ(
        ComputePayoffStatement(simple.terms, simple.plan, Ymd(2028, 1, 15), discount).discountRate,
        Percent::FromTenThousandths(54832));
    const Contract compound = Mortgage();
    EXPECT_EQ(ComputePayoffStatement(compound.terms, compound.plan, Ymd(2030, 3, 10), discount)
                  .discountRate,
              Hundredths(350));
}

// A partial prepayment checked in cents: the instalment after it, the instalments left, the
// first re-derived row, the last row (date, instalment, interest, residual), the interest
// accrued on the amount and the penalty.
struct PrepaymentExample {
    const char* name;
    Contract (*contract)();
    CalendarDate date;
    std::int64_t amount;
    PrepaymentEffect effect;
    PenaltyRule penalty;
    std::int64_t instalment;
    int left;
    std::int64_t firstInstalment, firstInterest;
    CalendarDate lastDate;
    std::int64_t lastInstalment, lastInterest, lastResidual;
    std::int64_t accrued, penaltyCents;
};

class Prepayments : public ::testing::TestWithParam<PrepaymentExample> {};

TEST_P(Prepayments, PlanReDerivedFromTheDateOn) {
    const PrepaymentExample& example = GetParam();
    const Contract contract = example.contract();
    const ContractEvent event{
        example.date, PrepaymentOptions{Cents(example.amount), example.effect, example.penalty},
        ""};
    const auto applied = ApplyEvent(contract.terms, contract.plan, event);
    ASSERT_TRUE(std::holds_alternative<EventResult>(applied))
        << std::get<EventRefusal>(applied).message;
    const EventResult& result = std::get<EventResult>(applied);
    const auto& figures = std::get<PrepaymentFigures>(result.figures);
    const CentsPlan& after = result.plan;
    const std::size_t kept = result.keptInstalments;

    EXPECT_EQ(figures.instalmentAfter, Cents(example.instalment));
    EXPECT_EQ(figures.instalmentsAfter, example.left);
    EXPECT_EQ(after.rows.size(), kept + static_cast<std::size_t>(example.left));
    EXPECT_EQ(after.rows[kept].instalment, Cents(example.firstInstalment));
    EXPECT_EQ(after.rows[kept].interest, Cents(example.firstInterest));
    EXPECT_EQ(after.rows.back().date, example.lastDate);
    EXPECT_EQ(after.rows.back().instalment, Cents(example.lastInstalment));
    EXPECT_EQ(after.rows.back().interest, Cents(example.lastInterest));
    EXPECT_EQ(after.rows.back().residual, Cents(example.lastResidual));
    EXPECT_EQ(figures.accruedInterest, Cents(example.accrued));
    EXPECT_EQ(figures.penalty.amount, Cents(example.penaltyCents));

    // The rows before the date stay as they were; the prepayment line follows them.
    for (std::size_t k = 0; k < kept; ++k) {
        EXPECT_EQ(after.rows[k].residual, contract.plan.rows[k].residual) << k;
    }
    ASSERT_EQ(after.eventLines.size(), 1u);
    const PlanEventLine& line = after.eventLines.back();
    EXPECT_EQ(line.afterRow, kept);
    EXPECT_EQ(line.capital, Cents(example.amount));
    EXPECT_EQ(line.residual, figures.residualAfter);
    // The capital of the rows after it and what they leave owed add up to its residual.
    Money capital = after.rows.back().residual;
    for (std::size_t k = kept; k < after.rows.size(); ++k) capital += after.rows[k].capital;
    EXPECT_EQ(capital, line.residual);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Prepayments,
    ::testing::Values(
        PrepaymentExample{"LowerInstalment", Consumer, Ymd(2028, 1, 15), 500000,
                          PrepaymentEffect::LowerInstalment, kConsumer, 15482, 60, 15482, 3627,
                          Ymd(2033, 1, 15), 15510, 69, 0, 0, 5000},
        PrepaymentExample{"ShortenTerm", Consumer, Ymd(2028, 1, 15), 500000,
                          PrepaymentEffect::ShortenTerm, kConsumer, 24999, 36, 24999, 3627,
                          Ymd(2031, 1, 15), 5916, 26, 0, 0, 5000},
        // The last due date a year after the prepayment: 0,5 %; a month earlier, 1 %.
        PrepaymentExample{"ConsumerLastYear", Consumer, Ymd(2032, 1, 15), 100000,
                          PrepaymentEffect::LowerInstalment, kConsumer, 16419, 12, 16419, 853,
                          Ymd(2033, 1, 15), 16412, 73, 0, 0, 500},
        PrepaymentExample{"ConsumerThirteenMonthsLeft", Consumer, Ymd(2031, 12, 15), 100000,
                          PrepaymentEffect::LowerInstalment, kConsumer, 17061, 13, 17061, 959,
                          Ymd(2033, 1, 15), 17063, 76, 0, 0, 1000},
        // Between due dates the amount pays its interest since 10/06/2030 (15 days).
        PrepaymentExample{"CompoundBetweenDueDates", Mortgage, Ymd(2030, 6, 25), 2000000,
                          PrepaymentEffect::LowerInstalment, kNone, 54829, 177, 54829, 21819,
                          Ymd(2045, 3, 10), 54743, 157, 0, 2877, 0},
        // In advance with a buy-out: it stays owed a period after the last instalment.
        PrepaymentExample{"AdvanceLowerInstalment", Leasing, Ymd(2027, 7, 1), 1000000,
                          PrepaymentEffect::LowerInstalment, kNone, 68055, 35, 68055, 11863,
                          Ymd(2030, 6, 1), 68048, 1776, 298547, 0, 0},
        PrepaymentExample{"AdvanceShortenTerm", Leasing, Ymd(2027, 7, 1), 1000000,
                          PrepaymentEffect::ShortenTerm, kNone, 99198, 24, 99198, 11863,
                          Ymd(2029, 7, 1), 20054, 1543, 298547, 0, 0},
        // In arrears with maxi and buy-out: after the 24th instalment 35.362,76 is owed; the
        // buy-out stays owed with the last instalment, 25 instalments on or 36 lower ones.
        PrepaymentExample{"ArrearsShortenTermWithBuyout", ArrearsLeasing, Ymd(2027, 7, 1), 1000000,
                          PrepaymentEffect::ShortenTerm, Rule(PenaltyRegime::Contractual, 100),
                          99681, 25, 99681, 12345, Ymd(2029, 8, 1), 20147, 1551, 300000, 0, 10000},
        PrepaymentExample{"ArrearsLowerInstalmentWithBuyout", ArrearsLeasing, Ymd(2027, 7, 1),
                          1000000, PrepaymentEffect::LowerInstalment, kConsumer, 69331, 36, 69331,
                          12345, Ymd(2030, 7, 1), 69336, 1789, 300000, 0, 10000},
        // The indexed rate of instalments 13 to 24 stays, and re-amortises where it starts.
        PrepaymentExample{"RateChangeLaterOn", TwoRates, Ymd(2026, 7, 15), 200000,
                          PrepaymentEffect::LowerInstalment, kNone, 32617, 18, 32617, 2730,
                          Ymd(2028, 1, 15), 32942, 211, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Prepayment, ShortenTermMovesTheBuyoutWithTheLastInstalment) {
    const Contract contract = Leasing();
    const auto applied =
        ApplyEvent(contract.terms, contract.plan,
                   {Ymd(2027, 7, 1),
                    PrepaymentOptions{Cents(1000000), PrepaymentEffect::ShortenTerm, kNone}, ""});
    const CentsPlan& after = std::get<EventResult>(applied).plan;
    EXPECT_EQ(after.buyoutDate, Ymd(2029, 8, 1));
    const std::vector<PlanLine> lines = PlanLines(
        [&] {
            FinancialPlan plan;
            SetPlanToTheCent(plan, after);
            return plan;
        }(),
        DerivedLines::WhenNotZero);
    ASSERT_EQ(lines.back().kind, PlanLineKind::Buyout);
    EXPECT_EQ(lines.back().date, Ymd(2029, 8, 1));
    EXPECT_DOUBLE_EQ(lines.back().capital, 2985.47);
    EXPECT_DOUBLE_EQ(lines.back().interest, 14.53);
}

TEST(Prepayment, RateChangeLaterOnKeepsItsRateAndReAmortises) {
    const Contract contract = TwoRates();
    const auto applied = ApplyEvent(
        contract.terms, contract.plan,
        {Ymd(2026, 7, 15),
         PrepaymentOptions{Cents(200000), PrepaymentEffect::LowerInstalment, kNone}, ""});
    const CentsPlan& after = std::get<EventResult>(applied).plan;
    EXPECT_EQ(after.rows[11].rate, Hundredths(600));
    EXPECT_EQ(after.rows[11].instalment, Cents(32617));
    EXPECT_EQ(after.rows[12].rate, Hundredths(800));
    EXPECT_EQ(after.rows[12].instalment, Cents(32946));
}

struct RefusalExample {
    const char* name;
    Contract (*contract)();
    ContractEvent event;
    const char* message;
};

class EventRefusals : public ::testing::TestWithParam<RefusalExample> {};

TEST_P(EventRefusals, TheFirstRuleBrokenInItalian) {
    const Contract contract = GetParam().contract();
    const auto applied = ApplyEvent(contract.terms, contract.plan, GetParam().event);
    ASSERT_TRUE(std::holds_alternative<EventRefusal>(applied));
    EXPECT_EQ(std::get<EventRefusal>(applied).message, GetParam().message);
}

ContractEvent Prepay(CalendarDate date, std::int64_t amount, PenaltyRule penalty = kNone) {
    return {date, PrepaymentOptions{Cents(amount), PrepaymentEffect::LowerInstalment, penalty}, ""};
}
ContractEvent Payoff(CalendarDate date, PayoffOptions options = {}) { return {date, options, ""}; }

// The consumer contract with a prepayment of 1.000 on 15/01/2028, or paid off then.
Contract AfterPrepayment() {
    Contract contract = Consumer();
    contract.plan = std::get<EventResult>(
                        ApplyEvent(contract.terms, contract.plan, Prepay(Ymd(2028, 1, 15), 100000)))
                        .plan;
    return contract;
}
Contract AfterPayoff() {
    Contract contract = Consumer();
    contract.plan =
        std::get<EventResult>(ApplyEvent(contract.terms, contract.plan, Payoff(Ymd(2028, 1, 15))))
            .plan;
    return contract;
}
Contract WithoutPlan() {
    Contract contract = Consumer();
    contract.plan = CentsPlan{};
    return contract;
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, EventRefusals,
    ::testing::Values(
        RefusalExample{"BeforeTheContract", Consumer, Payoff(Ymd(2026, 1, 14)),
                       "La data dell'evento (14/01/2026) precede la data del contratto "
                       "(15/01/2026)."},
        RefusalExample{"AfterTheLastInstalment", Consumer, Payoff(Ymd(2033, 1, 16)),
                       "La data dell'evento (16/01/2033) è successiva all'ultima rata "
                       "(15/01/2033)."},
        RefusalExample{"BeforeTheLatestEvent", AfterPrepayment, Payoff(Ymd(2028, 1, 14)),
                       "La data dell'evento (14/01/2028) precede quella dell'ultimo evento "
                       "registrato (15/01/2028)."},
        RefusalExample{"AfterThePayoff", AfterPayoff, Prepay(Ymd(2028, 2, 15), 1000),
                       "Il contratto è già stato estinto il 15/01/2028: non si possono "
                       "registrare altri eventi."},
        RefusalExample{"NoPlan", WithoutPlan, Payoff(Ymd(2028, 1, 15)),
                       "Il contratto non ha un piano: calcolarlo e salvarlo prima di registrare "
                       "un evento."},
        RefusalExample{"AmountZero", Consumer, Prepay(Ymd(2028, 1, 15), 0),
                       "L'importo del rimborso parziale deve essere maggiore di zero."},
        RefusalExample{"AmountNegative", Consumer, Prepay(Ymd(2028, 1, 15), -100),
                       "L'importo del rimborso parziale deve essere maggiore di zero."},
        RefusalExample{"AmountTheWholeResidual", Consumer, Prepay(Ymd(2028, 1, 15), 1313493),
                       "L'importo del rimborso parziale (13.134,93) deve essere minore del "
                       "debito residuo (13.134,93): per chiudere il contratto registrare "
                       "l'estinzione."},
        // The second prepayment of the day is measured on what the first one left.
        RefusalExample{"AmountAboveWhatTheFirstLeft", AfterPrepayment,
                       Prepay(Ymd(2028, 1, 15), 1213493),
                       "L'importo del rimborso parziale (12.134,93) deve essere minore del "
                       "debito residuo (12.134,93): per chiudere il contratto registrare "
                       "l'estinzione."},
        RefusalExample{"PrepaymentOnTheLastDueDate", Consumer, Prepay(Ymd(2033, 1, 15), 1000),
                       "Dopo il 15/01/2033 non restano rate: per chiudere il contratto "
                       "registrare l'estinzione."},
        RefusalExample{"ContractualAboveAHundred", Consumer,
                       Prepay(Ymd(2028, 1, 15), 1000, Rule(PenaltyRegime::Contractual, 10001)),
                       "La penale contrattuale deve essere una percentuale fra 0 e 100."},
        RefusalExample{"NegativeCosts", Consumer,
                       Payoff(Ymd(2028, 1, 15), Options(kNone, RefundCriterion::ProRata,
                                                        PayoffMethod::Residual, std::nullopt, -1)),
                       "Le spese da rimborsare non possono essere negative."},
        RefusalExample{
            "DiscountRateOfMinusAHundred", Consumer,
            Payoff(Ymd(2028, 1, 15), Options(kNone, RefundCriterion::ProRata,
                                             PayoffMethod::Discount, Hundredths(-10000))),
            "Il tasso di attualizzazione deve essere maggiore di -100%."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlanWithEvents, EventsInOrderEachFromItsDate) {
    const Contract contract = Consumer();
    PayoffOptions payoff;
    payoff.penalty = kConsumer;
    const std::vector<ContractEvent> events = {Prepay(Ymd(2027, 1, 15), 300000),
                                               Payoff(Ymd(2028, 1, 25), payoff)};
    const auto current = PlanWithEvents(contract.terms, contract.plan, events);
    ASSERT_TRUE(std::holds_alternative<CentsPlan>(current));
    const CentsPlan& plan = std::get<CentsPlan>(current);
    ASSERT_EQ(plan.rows.size(), 24u);
    ASSERT_EQ(plan.eventLines.size(), 2u);
    EXPECT_EQ(plan.eventLines[0].afterRow, 12u);
    EXPECT_EQ(plan.eventLines[1].afterRow, 24u);
    EXPECT_TRUE(plan.PaidOff());

    FinancialPlan shown;
    SetPlanToTheCent(shown, plan);
    std::vector<std::string> kinds;
    for (const PlanLine& line : PlanLines(shown, DerivedLines::Always)) {
        kinds.push_back(PlanLineTipo(line.kind));
    }
    // The maxi line, 12 instalments, the prepayment, 12 more and the payoff; no buy-out line.
    ASSERT_EQ(kinds.size(), 27u);
    EXPECT_EQ(kinds[0], "Maxi.");
    EXPECT_EQ(kinds[13], "Rimborso parziale");
    EXPECT_EQ(kinds[26], "Estinzione");

    // Out of order: the second event would act before the first.
    const auto refused = PlanWithEvents(contract.terms, contract.plan,
                                        {events[1], Prepay(Ymd(2027, 1, 15), 300000)});
    ASSERT_TRUE(std::holds_alternative<EventRefusal>(refused));
}

TEST(PlanAsStored, ClassicPlanAsItsLinesAreStoredToTheCent) {
    // The classic plan's example: 10.000, buy-out 1.000, 12 monthly at 6 % compound.
    ContractTerms terms;
    terms.Valore = 10000;
    terms.Riscatto = 1000;
    terms.Tasso = 6;
    terms.NumRate = 12;
    terms.DataContratto = Ymd(2006, 1, 15);
    terms.DataInizio = Ymd(2006, 2, 15);
    FinancialPlan classic;
    CalculateInstalment(terms, std::vector<float>(12, 0.06f), classic);
    const CentsPlan stored = PlanAsStored(classic);
    ASSERT_EQ(stored.rows.size(), 12u);
    EXPECT_EQ(stored.rows[0].capital, Cents(73013));
    EXPECT_EQ(stored.rows[0].interest, Cents(4868));
    EXPECT_EQ(stored.rows[0].residual, Cents(926987));
    EXPECT_EQ(stored.rows[11].residual, Cents(100004));
    EXPECT_EQ(stored.rows[0].rate, Hundredths(600));
    EXPECT_EQ(stored.buyout, Cents(100000));

    // A prepayment re-derives the rest to the cent: the last row leaves the buy-out exactly.
    SignedTerms signedTerms;
    signedTerms.contractDate = terms.DataContratto;
    signedTerms.plan = PlanKind::Classic;
    signedTerms.buyout = Cents(100000);
    const auto applied = ApplyEvent(signedTerms, stored, Prepay(Ymd(2006, 2, 15), 200000));
    const CentsPlan& after = std::get<EventResult>(applied).plan;
    EXPECT_EQ(after.rows[1].instalment, Cents(59164));
    EXPECT_EQ(after.rows[11].residual, Cents(100000));
}

struct PenaltyCodeExample {
    const char* code;
    std::optional<PenaltyRule> rule;
    const char* name;
};

class PenaltyCodes : public ::testing::TestWithParam<PenaltyCodeExample> {};

TEST_P(PenaltyCodes, ReadWrittenAndNamed) {
    const auto read = ReadPenaltyRule(GetParam().code);
    EXPECT_EQ(read, GetParam().rule);
    if (!read) return;
    EXPECT_EQ(PenaltyRuleCode(*read), GetParam().code);
    EXPECT_EQ(PenaltyRuleName(*read), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PenaltyCodes,
    ::testing::Values(
        PenaltyCodeExample{"none", Rule(PenaltyRegime::None), "nessuna"},
        PenaltyCodeExample{"consumer", Rule(PenaltyRegime::Consumer), "consumatore"},
        PenaltyCodeExample{"home", Rule(PenaltyRegime::HomeOrBusiness), "mutuo casa/attività"},
        PenaltyCodeExample{"0.5", Rule(PenaltyRegime::Contractual, 50), "contrattuale 0,5%"},
        PenaltyCodeExample{"2", Rule(PenaltyRegime::Contractual, 200), "contrattuale 2%"},
        PenaltyCodeExample{"100", Rule(PenaltyRegime::Contractual, 10000), "contrattuale 100%"},
        PenaltyCodeExample{"100.0001", std::nullopt, ""},
        PenaltyCodeExample{"-1", std::nullopt, ""}, PenaltyCodeExample{"0,5", std::nullopt, ""},
        PenaltyCodeExample{"1.", std::nullopt, ""},
        PenaltyCodeExample{"Consumer", std::nullopt, ""}, PenaltyCodeExample{"", std::nullopt, ""}),
    [](const auto& info) {
        std::string name = info.param.code;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return "Code_" + name + std::to_string(info.index);
    });

}  // namespace
}  // namespace quotaplan
