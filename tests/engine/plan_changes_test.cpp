#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/deferred_interest.h"
#include "engine/plan_events.h"
#include "engine/plan_lines.h"
#include "event_contracts.h"

namespace quotaplan {
namespace {

using namespace test;

// From 10/01/2026, the first instalment a month later, at one rate throughout.
Contract MakeContract(std::int64_t value, std::int64_t buyout, int count, std::int64_t hundredths,
                      Capitalisation capitalisation, PaymentTiming timing,
                      CalendarDate buyoutDate = CalendarDate()) {
    return test::MakeContract(value, 0, buyout, count, Flat(count, hundredths), capitalisation,
                              timing, Ymd(2026, 1, 10), Ymd(2026, 2, 10), 0, buyoutDate);
}

// 100.000 at 3 % compound over 120 months, in arrears from 10/02/2026.
Contract Mortgage() {
    return MakeContract(10000000, 0, 120, 300, Capitalisation::Compound, PaymentTiming::Arrears);
}
// 50.000, buy-out 5.000, 60 instalments in advance at 6 % simple.
Contract Leasing() {
    return MakeContract(5000000, 500000, 60, 600, Capitalisation::Simple, PaymentTiming::Advance);
}

ContractEvent Holiday(CalendarDate date, int k, SuspensionKind kind,
                      SuspendedInterest interest = SuspendedInterest::Capitalised,
                      std::int64_t fundHundredths = 0) {
    return {date, SuspensionOptions{k, kind, interest, Hundredths(fundHundredths)}, ""};
}
// What a renegotiation changes, in hundredths of a percent.
RenegotiationOptions Changes(std::optional<std::int64_t> rate,
                             std::optional<std::int64_t> reference,
                             std::optional<std::int64_t> spread, std::optional<int> count = {},
                             std::optional<std::int16_t> periods = {}) {
    RenegotiationOptions options;
    if (rate) options.rate = Hundredths(*rate);
    if (reference) options.referenceRate = Hundredths(*reference);
    if (spread) options.spread = Hundredths(*spread);
    options.count = count;
    options.periodsPerYear = periods;
    return options;
}
constexpr std::nullopt_t kSame = std::nullopt;

ContractEvent Renegotiate(CalendarDate date, RenegotiationOptions options) {
    return {date, options, ""};
}

EventResult Applied(const Contract& contract, const ContractEvent& event) {
    auto applied = ApplyEvent(contract.terms, contract.plan, event);
    if (auto* refusal = std::get_if<EventRefusal>(&applied)) {
        ADD_FAILURE() << refusal->message;
        return {};
    }
    return std::get<EventResult>(std::move(applied));
}

Money CapitalOf(const CentsPlan& plan) {
    Money sum;
    for (const CentsPlanRow& row : plan.rows) sum += row.capital;
    for (const PlanEventLine& line : plan.eventLines) sum += line.capital;
    return sum;
}
// The capital of the rows, event lines and buy-out line: the debt, to the cent.
Money RepaidCapital(const CentsPlan& plan) {
    FinancialPlan shown;
    SetPlanToTheCent(shown, plan);
    Money sum;
    for (const PlanLine& line : PlanLines(shown, DerivedLines::Always)) {
        if (line.kind != PlanLineKind::Maxi) sum += Money::FromUnits(line.capital);
    }
    return sum;
}

TEST(Suspension, WholeCapitalisedSixMonthsOn100000At3PercentIs148892) {
    const Contract contract = Mortgage();
    const EventResult result =
        Applied(contract, Holiday(Ymd(2026, 2, 10), 6, SuspensionKind::Whole));
    const auto& figures = std::get<SuspensionFigures>(result.figures);
    // 100.000 x (1,03^(1/2) - 1) = 1.488,915..., the same period by period to the cent.
    EXPECT_EQ(figures.capitalised, Cents(148892));
    EXPECT_EQ(result.plan.rows[5].residual, Cents(10148892));
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(result.plan.rows[k].kind, RowKind::Suspension);
        EXPECT_EQ(result.plan.rows[k].instalment, Money());
        EXPECT_EQ(result.plan.rows[k].capital, -result.plan.rows[k].interest);
    }
    EXPECT_EQ(result.plan.rows.size(), 126u);
    EXPECT_EQ(result.plan.rows[6].date, Ymd(2026, 8, 10));
    EXPECT_EQ(CapitalOf(result.plan), Cents(10000000));
    // The larger debt over the same 120 instalments: the instalment grows.
    EXPECT_GT(figures.instalmentAfter, figures.instalmentBefore);
}

TEST(Suspension, AGivenBuyoutDateMovesOnWithTheLaterDueDates) {
    // The leasing's last instalment falls on 10/12/2030, its buy-out agreed for 10/03/2031:
    // four periods suspended move both four months on.
    const Contract contract = MakeContract(5000000, 500000, 60, 600, Capitalisation::Simple,
                                           PaymentTiming::Advance, Ymd(2031, 3, 10));
    ASSERT_EQ(contract.plan.buyoutDate, Ymd(2031, 3, 10));
    const EventResult result =
        Applied(contract, Holiday(Ymd(2026, 6, 10), 4, SuspensionKind::Whole));
    EXPECT_EQ(result.plan.rows.back().date, Ymd(2031, 4, 10));
    EXPECT_EQ(result.plan.buyoutDate, Ymd(2031, 7, 10));
}

struct HolidayExample {
    const char* name;
    Contract (*contract)();
    ContractEvent event;
    CalendarDate lastDue;  // the plan's last due date after it
};

class Holidays : public ::testing::TestWithParam<HolidayExample> {};

TEST_P(Holidays, LengthenThePlanAndRepayTheDebtToTheCent) {
    const Contract contract = GetParam().contract();
    const EventResult result = Applied(contract, GetParam().event);
    const auto& options = std::get<SuspensionOptions>(GetParam().event.options);
    const auto& figures = std::get<SuspensionFigures>(result.figures);
    const auto k = static_cast<std::size_t>(options.instalments);
    ASSERT_EQ(result.plan.rows.size(), contract.plan.rows.size() + k);
    EXPECT_EQ(result.plan.rows.back().date, GetParam().lastDue);
    EXPECT_EQ(RepaidCapital(result.plan), RepaidCapital(contract.plan));
    Money fund;
    Money deferred;
    for (const CentsPlanRow& row : result.plan.rows) {
        fund += row.fundInterest;
        deferred += row.deferredInterest;
        EXPECT_EQ(row.instalment, row.capital + row.interest);
    }
    EXPECT_EQ(fund, figures.fundInterest);
    EXPECT_EQ(deferred, figures.deferred);
    const std::size_t first = result.keptInstalments;
    if (options.kind == SuspensionKind::CapitalOnly) {
        // The residual stays across the holiday; the instalments after it are those before.
        for (std::size_t j = 0; j < k; ++j) {
            EXPECT_EQ(result.plan.rows[first + j].residual, figures.residual);
            EXPECT_EQ(result.plan.rows[first + j].capital, Money());
        }
        for (std::size_t r = first; r < contract.plan.rows.size(); ++r) {
            EXPECT_EQ(result.plan.rows[r + k].instalment, contract.plan.rows[r].instalment);
            EXPECT_EQ(result.plan.rows[r + k].residual, contract.plan.rows[r].residual);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Holidays,
    ::testing::Values(
        HolidayExample{"CapitalOnlyTwelveMonths", Mortgage,
                       Holiday(Ymd(2027, 3, 10), 12, SuspensionKind::CapitalOnly),
                       Ymd(2037, 1, 10)},
        HolidayExample{"CapitalOnlyHalfByTheFund", Mortgage,
                       Holiday(Ymd(2027, 3, 10), 6, SuspensionKind::CapitalOnly,
                               SuspendedInterest::Capitalised, 5000),
                       Ymd(2036, 7, 10)},
        HolidayExample{"WholeCapitalisedTwelveMonths", Mortgage,
                       Holiday(Ymd(2027, 3, 10), 12, SuspensionKind::Whole), Ymd(2037, 1, 10)},
        HolidayExample{
            "WholeDeferredTwelveMonths", Mortgage,
            Holiday(Ymd(2027, 3, 10), 12, SuspensionKind::Whole, SuspendedInterest::Deferred),
            Ymd(2037, 1, 10)},
        HolidayExample{
            "WholeDeferredHalfByTheFund", Mortgage,
            Holiday(Ymd(2027, 3, 10), 3, SuspensionKind::Whole, SuspendedInterest::Deferred, 5000),
            Ymd(2036, 4, 10)},
        HolidayExample{"LeasingInAdvanceCapitalised", Leasing,
                       Holiday(Ymd(2026, 6, 10), 4, SuspensionKind::Whole), Ymd(2031, 4, 10)},
        HolidayExample{
            "LeasingInAdvanceDeferred", Leasing,
            Holiday(Ymd(2026, 6, 10), 36, SuspensionKind::Whole, SuspendedInterest::Deferred),
            Ymd(2033, 12, 10)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Suspension, DeferredInterestInEqualPartsTheLastAbsorbingTheRest) {
    const EventResult result =
        Applied(Mortgage(),
                Holiday(Ymd(2026, 2, 10), 6, SuspensionKind::Whole, SuspendedInterest::Deferred));
    const auto& figures = std::get<SuspensionFigures>(result.figures);
    EXPECT_EQ(figures.deferred, Cents(147978));  // 6 x 246,63 on the unchanged 100.000
    // 1.479,78 over 120 instalments: 12,33 each, the last 12,51.
    EXPECT_EQ(result.plan.rows[6].deferredInterest, Cents(1233));
    EXPECT_EQ(result.plan.rows[124].deferredInterest, Cents(1233));
    EXPECT_EQ(result.plan.rows[125].deferredInterest, Cents(1251));
    EXPECT_EQ(result.plan.rows[6].instalment, Cents(96374 + 1233));
    EXPECT_EQ(Mortgage().plan.rows[0].instalment, Cents(96374));
}

TEST(Suspension, DeferredInterestFollowsLaterEventsAndIsOwedOnPayoff) {
    Contract contract = Mortgage();
    contract.plan = Applied(contract, Holiday(Ymd(2026, 2, 10), 6, SuspensionKind::Whole,
                                              SuspendedInterest::Deferred))
                        .plan;
    // A shorter term keeps the deferred interest still owed, spread again.
    const EventResult prepaid = Applied(
        contract, {Ymd(2027, 2, 10),
                   PrepaymentOptions{Cents(2000000), PrepaymentEffect::ShortenTerm, {}}, ""});
    Money owed;
    Money left;
    // The instalment of 10/02/2027 (row 13, after six suspended) is paid with the event.
    for (std::size_t r = 13; r < contract.plan.rows.size(); ++r) {
        owed += contract.plan.rows[r].deferredInterest;
    }
    for (std::size_t r = 13; r < prepaid.plan.rows.size(); ++r) {
        left += prepaid.plan.rows[r].deferredInterest;
    }
    EXPECT_LT(prepaid.plan.rows.size(), contract.plan.rows.size());
    EXPECT_EQ(left, owed);
    // A payoff on the same date owes it with the accrued interest.
    const EventResult paidOff = Applied(contract, {Ymd(2027, 2, 10), PayoffOptions{}, ""});
    EXPECT_EQ(std::get<PayoffStatement>(paidOff.figures).accruedInterest, owed);
}

TEST(Suspension, FundShareAndDeferredInterestRecoveredFromTheStoredLines) {
    Contract contract = Mortgage();
    const ContractEvent event =
        Holiday(Ymd(2026, 5, 10), 4, SuspensionKind::Whole, SuspendedInterest::Deferred, 3000);
    const CentsPlan after = Applied(contract, event).plan;
    FinancialPlan shown;
    SetPlanToTheCent(shown, after);
    std::vector<PlanLine> lines = PlanLines(shown, DerivedLines::Always);
    for (PlanLine& line : lines) line.deferredInterest = line.fundInterest = 0;  // not stored
    CentsPlan read = PlanOfLines(lines);
    RecoverHolidayInterest(contract.terms, read, {event});
    ASSERT_EQ(read.rows.size(), after.rows.size());
    for (std::size_t r = 0; r < read.rows.size(); ++r) {
        EXPECT_EQ(read.rows[r].deferredInterest, after.rows[r].deferredInterest) << r;
        EXPECT_EQ(read.rows[r].fundInterest, after.rows[r].fundInterest) << r;
        EXPECT_EQ(read.rows[r].kind, after.rows[r].kind) << r;
    }
}

TEST(Renegotiation, TheContractsOwnRateAndTermGiveTheSameInstalment) {
    for (const auto make : {Mortgage, Leasing}) {
        const Contract contract = make();
        RenegotiationOptions options;
        options.rate = contract.plan.rows[0].rate;
        const EventResult result = Applied(contract, Renegotiate(Ymd(2027, 1, 10), options));
        const auto& figures = std::get<RenegotiationFigures>(result.figures);
        EXPECT_LE(std::abs((figures.instalmentAfter - figures.instalmentBefore).Cents()), 1);
        EXPECT_EQ(figures.countAfter, figures.countBefore);
        EXPECT_EQ(result.plan.rows.back().date, contract.plan.rows.back().date);
        EXPECT_EQ(RepaidCapital(result.plan), RepaidCapital(contract.plan));
    }
}

TEST(Renegotiation, NewRateSpreadTermAndPeriodicity) {
    const Contract contract = Mortgage();
    RenegotiationOptions options;
    options.referenceRate = Hundredths(150);
    options.spread = Hundredths(100);
    options.count = 40;
    options.periodsPerYear = 4;
    options.lender = "Banca Nuova";
    const ContractEvent event = Renegotiate(Ymd(2027, 1, 10), options);
    EXPECT_EQ(event.Kind(), EventKind::Surrogation);
    const EventResult result = Applied(contract, event);
    const auto& figures = std::get<RenegotiationFigures>(result.figures);
    EXPECT_EQ(figures.rateAfter, Hundredths(250));
    EXPECT_EQ(figures.countAfter, 40);
    ASSERT_EQ(result.plan.rows.size(), 12u + 40u);
    EXPECT_EQ(result.plan.rows[12].date, Ymd(2027, 4, 10));
    EXPECT_EQ(result.plan.rows.back().date, Ymd(2037, 1, 10));
    EXPECT_EQ(result.plan.rows.back().residual, Money());
    EXPECT_EQ(RepaidCapital(result.plan), RepaidCapital(contract.plan));
    // No costs: the TAEG of the renegotiated part is the effective rate of 2,5 % quarterly.
    const TaegSolution taeg =
        RenegotiatedTaeg(result.plan, result.keptInstalments, figures.date, figures.residual);
    ASSERT_TRUE(taeg.rate);
    EXPECT_NEAR(*taeg.rate, 0.025, 0.00002);
    // A later event works at the quarterly periodicity now in force.
    const SignedTerms inForce = TermsInForce(contract.terms, {event});
    EXPECT_EQ(inForce.periodsPerYear, 4);
}

TEST(Renegotiation, ASpreadAloneReplacesTheContractsSpread) {
    EXPECT_EQ(RenegotiatedRate(Changes(kSame, kSame, 80), Hundredths(420), Hundredths(120)),
              Hundredths(380));
    EXPECT_EQ(RenegotiatedRate(Changes(300, kSame, kSame), Hundredths(420), Hundredths(120)),
              Hundredths(300));
    EXPECT_EQ(RenegotiatedRate(Changes(kSame, kSame, kSame, 10), Hundredths(420), Hundredths(120)),
              std::nullopt);
}

struct RefusalExample {
    const char* name;
    ContractEvent event;
    const char* message;
};

class ChangeRefusals : public ::testing::TestWithParam<RefusalExample> {};

TEST_P(ChangeRefusals, TheFirstRuleBrokenInItalian) {
    Contract contract = Mortgage();
    // A renegotiation recorded on 10/01/2027 writes no line, yet later events must follow it.
    contract.plan =
        Applied(contract, Renegotiate(Ymd(2027, 1, 10), Changes(kSame, kSame, 50))).plan;
    const auto applied = ApplyEvent(contract.terms, contract.plan, GetParam().event);
    ASSERT_TRUE(std::holds_alternative<EventRefusal>(applied));
    EXPECT_EQ(std::get<EventRefusal>(applied).message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, ChangeRefusals,
    ::testing::Values(
        RefusalExample{"HolidayOffADueDate",
                       Holiday(Ymd(2027, 3, 11), 3, SuspensionKind::CapitalOnly),
                       "La sospensione parte da una scadenza del piano: il 11/03/2027 non è la "
                       "data di una rata."},
        RefusalExample{"NoInstalmentsSuspended",
                       Holiday(Ymd(2027, 3, 10), 0, SuspensionKind::CapitalOnly),
                       "Le rate sospese devono essere da 1 a 36 (indicate: 0)."},
        RefusalExample{"TooManySuspended", Holiday(Ymd(2027, 3, 10), 37, SuspensionKind::Whole),
                       "Le rate sospese devono essere da 1 a 36 (indicate: 37)."},
        RefusalExample{
            "FundAboveAll",
            Holiday(Ymd(2027, 3, 10), 3, SuspensionKind::Whole, SuspendedInterest::Deferred, 10001),
            "La quota del Fondo deve essere una percentuale fra 0 e 100."},
        RefusalExample{"BeforeTheRenegotiation",
                       Holiday(Ymd(2026, 12, 10), 3, SuspensionKind::Whole),
                       "La data dell'evento (10/12/2026) precede quella dell'ultimo evento "
                       "registrato (10/01/2027)."},
        RefusalExample{"RenegotiationOffADueDate",
                       Renegotiate(Ymd(2027, 3, 1), Changes(200, kSame, kSame)),
                       "La rinegoziazione parte da una scadenza del piano: il 01/03/2027 non è "
                       "la data di una rata."},
        RefusalExample{"RenegotiationChangingNothing", Renegotiate(Ymd(2027, 3, 10), {}),
                       "La rinegoziazione deve cambiare qualcosa: il tasso, lo spread, il "
                       "numero di rate o la periodicità."},
        RefusalExample{"RateAndReferenceRate",
                       Renegotiate(Ymd(2027, 3, 10), Changes(200, 100, kSame)),
                       "Indicare il nuovo tasso oppure il tasso di riferimento, non entrambi."},
        RefusalExample{"NoInstalments",
                       Renegotiate(Ymd(2027, 3, 10), Changes(kSame, kSame, kSame, 0)),
                       "Il numero di rate residue deve essere da 1 a 1200."},
        RefusalExample{"Periodicity5",
                       Renegotiate(Ymd(2027, 3, 10), Changes(kSame, kSame, kSame, kSame, 5)),
                       "La periodicità deve essere 1, 2, 3, 4, 6 o 12 rate l'anno."},
        RefusalExample{"AfterTheLastInstalment",
                       Renegotiate(Ymd(2036, 1, 10), Changes(200, kSame, kSame)),
                       "Dopo il 10/01/2036 non restano rate da rinegoziare."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quotaplan
