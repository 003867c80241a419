#include "engine/usury.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quotaplan {
namespace {

CalendarDate Iso(const char* text) { return *CalendarDate::FromIso(text); }
Percent Points(std::int64_t tenThousandths) { return Percent::FromTenThousandths(tenThousandths); }

TEST(UsuryThreshold, TheLowerOfTheTwoFormulas) {
    struct Case {
        std::int64_t tegm, threshold;
    };
    for (const Case c : {Case{105800, 172250},  // 10,58 * 1,25 + 4
                         Case{170000, 250000},  // 17 + 8
                         Case{160000, 240000},  // both give 24
                         Case{33300, 81625},    // 3,33 * 1,25 + 4
                         Case{105801, 172251},  // 13,225125 + 4, four decimals
                         Case{2, 40003}}) {     // 0,00025 rounds half up
        EXPECT_EQ(UsuryThreshold(Points(c.tegm)).TenThousandths(), c.threshold) << c.tegm;
    }
}

std::vector<UsuryRate> LeasingQuarter() {
    UsuryRate small{"Leasing strumentale", std::nullopt,      Money::FromCents(2500000),
                    Iso("2026-01-01"),     Iso("2026-03-31"), Points(105800)};
    UsuryRate large{"Leasing strumentale", Money::FromCents(2500000), std::nullopt,
                    Iso("2026-01-01"),     Iso("2026-03-31"),         Points(81700)};
    UsuryRate next{"Leasing strumentale", std::nullopt,   std::nullopt,
                   Iso("2026-04-01"),     CalendarDate(), Points(99900)};
    return {small, large, next};
}

TEST(RateInForce, ClassOfAmountAndQuarterOfDate) {
    const auto rows = LeasingQuarter();
    struct Case {
        std::int64_t amountCents;
        const char* date;
        std::int64_t tegm;  // 0: none in force
    };
    for (const Case c : {Case{2500000, "2026-02-10", 105800},  // "fino a 25.000"
                         Case{2500001, "2026-02-10", 81700},   // "oltre 25.000"
                         Case{100, "2026-01-01", 105800}, Case{100, "2026-03-31", 105800},
                         Case{100, "2026-04-01", 99900},  // open-ended next quarter
                         Case{100, "2031-04-01", 99900}, Case{100, "2025-12-31", 0}}) {
        const auto found = RateInForce(rows, Money::FromCents(c.amountCents), Iso(c.date));
        EXPECT_EQ(found ? found->tegm.TenThousandths() : 0, c.tegm) << c.amountCents << c.date;
    }
}

TEST(RateInForce, ALowerBoundHoldsItsAmountOnlyWhenNoOtherClassDoes) {
    UsuryRate from{"Mutui",           Money::FromCents(500000), std::nullopt,
                   Iso("2026-01-01"), CalendarDate(),           Points(40000)};
    EXPECT_EQ(RateInForce({from}, Money::FromCents(500000), Iso("2026-02-01"))->tegm,
              Points(40000));
    UsuryRate upTo{"Mutui",           std::nullopt,   Money::FromCents(500000),
                   Iso("2026-01-01"), CalendarDate(), Points(50000)};
    EXPECT_EQ(RateInForce({from, upTo}, Money::FromCents(500000), Iso("2026-02-01"))->tegm,
              Points(50000));
}

TEST(RateInForce, TheLatestQuarterWinsWhereTwoOverlap) {
    UsuryRate old{"Mutui",           std::nullopt,   std::nullopt,
                  Iso("2025-01-01"), CalendarDate(), Points(40000)};
    UsuryRate recent{"Mutui",           std::nullopt,   std::nullopt,
                     Iso("2026-01-01"), CalendarDate(), Points(35000)};
    EXPECT_EQ(RateInForce({recent, old}, Money::FromCents(1), Iso("2026-06-01"))->tegm,
              Points(35000));
    EXPECT_EQ(RateInForce({recent, old}, Money::FromCents(1), Iso("2025-06-01"))->tegm,
              Points(40000));
}

TEST(JudgeUsury, OverOnlyAboveTheThreshold) {
    const UsuryRate rate{"Credito personale", std::nullopt,   std::nullopt,
                         Iso("2026-01-01"),   CalendarDate(), Points(105800)};
    const UsuryJudgement below = JudgeUsury(rate, Points(96800), rate.validFrom);
    EXPECT_EQ(below.category, "Credito personale");
    EXPECT_EQ(below.threshold.TenThousandths(), 172250);
    EXPECT_FALSE(below.over);
    EXPECT_FALSE(JudgeUsury(rate, Points(172250), rate.validFrom).over);
    EXPECT_TRUE(JudgeUsury(rate, Points(172300), rate.validFrom).over);
}

// The contract is judged by the class of its amount financed, on its date; none in force
// gives no verdict.
TEST(JudgeContract, TheRowOfTheAmountAndDate) {
    const auto rows = LeasingQuarter();
    const auto judged = [&](std::int64_t financedCents, const char* date, std::int64_t teg) {
        return JudgeContract(rows, {Money::FromCents(financedCents), Iso(date), Points(teg)});
    };
    const auto small = judged(2400000, "2026-02-01", 172300);
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->threshold.TenThousandths(), 172250);
    EXPECT_TRUE(small->over);
    const auto large = judged(3000000, "2026-02-01", 140000);
    ASSERT_TRUE(large.has_value());
    EXPECT_EQ(large->tegm.TenThousandths(), 81700);
    EXPECT_EQ(large->threshold.TenThousandths(), 142125);  // 8,17 * 1,25 + 4
    EXPECT_FALSE(large->over);
    EXPECT_FALSE(judged(3000000, "2025-12-31", 140000).has_value());
}

// The rule of the contract's date: TEGM * 1,5 up to 13/05/2011, then the lower of
// TEGM * 1,25 + 4 and TEGM + 8. Default interest against TEGM + M by the same rule, or the
// ordinary threshold where the decree gives no M.
TEST(JudgeUsury, DatedRuleAndDefaultInterest) {
    struct Case {
        const char* contractDate;
        std::int64_t tegm, threshold;
        std::optional<std::int64_t> surcharge;
        std::int64_t defaultRate, defaultThreshold;
        bool defaultOver;
    };
    for (const Case c : {
             Case{"2011-05-13", 105800, 158700, std::nullopt, 158700, 158700, false},
             Case{"2011-05-14", 105800, 172250, std::nullopt, 172251, 172250, true},
             // 10,58 + 1,9 = 12,48: * 1,5 = 18,72; * 1,25 + 4 = 19,60
             Case{"2010-01-10", 105800, 158700, 19000, 187200, 187200, false},
             Case{"2011-06-01", 105800, 172250, 19000, 196001, 196000, true},
             // 17 + 2,1 = 19,1: + 8 = 27,1 is the lower
             Case{"2026-02-01", 170000, 250000, 21000, 250000, 271000, false},
         }) {
        UsuryRate rate{"Mutui",           std::nullopt,   std::nullopt,
                       Iso("2000-01-01"), CalendarDate(), Points(c.tegm)};
        if (c.surcharge) rate.defaultSurcharge = Points(*c.surcharge);
        const auto judged =
            JudgeUsury(rate, Points(50000), Iso(c.contractDate), Points(c.defaultRate));
        EXPECT_EQ(judged.threshold.TenThousandths(), c.threshold) << c.contractDate;
        ASSERT_TRUE(judged.defaultInterest) << c.contractDate;
        EXPECT_EQ(judged.defaultInterest->threshold.TenThousandths(), c.defaultThreshold)
            << c.contractDate;
        EXPECT_EQ(judged.defaultInterest->over, c.defaultOver) << c.contractDate;
        EXPECT_EQ(judged.defaultInterest->surcharge.has_value(), c.surcharge.has_value());
    }
    EXPECT_EQ(UsuryRuleOn(Iso("2011-05-13")), UsuryRule::HalfAgain);
    EXPECT_EQ(UsuryRuleOn(Iso("2011-05-14")), UsuryRule::QuarterPlusFour);
}

TEST(DefaultInterest, FixedOrPointsOverTheContractRate) {
    EXPECT_EQ((DefaultInterest{DefaultInterestKind::Fixed, Points(90000)}.RateFor(Points(50000))),
              Points(90000));
    EXPECT_EQ((DefaultInterest{DefaultInterestKind::OverContractRate, Points(20000)}.RateFor(
                  Points(50000))),
              Points(70000));
}

}  // namespace
}  // namespace quotaplan
