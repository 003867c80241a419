// The engine's instalment and plan against the closed form of a constant-instalment loan,
// evaluated in long double on generated contracts.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/plan_builder.h"

namespace quotaplan {
namespace {

struct Contract {
    float value;
    float maxi;
    float buyout;
    std::int16_t count;
    std::int16_t periodsPerYear;
    float annualRate;
    bool compound;
    bool advance;
};

// Built from the generator's raw output, whose sequence the standard fixes, so the same
// contracts come out with any standard library.
class ContractGenerator {
public:
    Contract Next() {
        static constexpr std::int16_t kPeriods[6] = {12, 6, 4, 3, 2, 1};
        Contract c;
        c.value = Amount(1000, 1000000);
        c.maxi = Draw(3) == 0 ? 0 : Amount(0, 0.3 * c.value);
        c.buyout = Draw(3) == 0 ? 0 : Amount(0, 0.3 * c.value);
        c.count = static_cast<std::int16_t>(1 + Draw(360));
        c.periodsPerYear = kPeriods[Draw(6)];
        // Two decimals of a percent, as the rate field holds it: 0.50 % to 25.00 %.
        c.annualRate = static_cast<float>(50 + Draw(2451)) / 10000.0f;
        c.compound = Draw(2) == 0;
        c.advance = Draw(2) == 0;
        return c;
    }

private:
    std::uint32_t Draw(std::uint32_t bound) { return engine_() % bound; }
    float Amount(double low, double high) {
        const double cents = std::floor((low + (high - low) * (engine_() / 4294967296.0)) * 100);
        return static_cast<float>(cents / 100);
    }
    std::mt19937 engine_{20060115};
};

struct Exact {
    long double instalment;
    std::vector<long double> residual;     // residual[r - 1] after instalment r
    std::vector<long double> accumulated;  // accumulated[r - 1] = s(r, i)
};

// R = (V - M - B v^n) / F with F = a(n, i), or (1 + i) a(n, i) in advance; the residual
// debt runs D_0 = V - M, D_r = D_(r-1) (1 + i) - R in arrears, and D_1 = V - M - R,
// D_r = D_(r-1) (1 + i) - R in advance.
Exact ClosedForm(const Contract& c) {
    const long double j = c.annualRate;
    const long double i =
        c.compound ? std::pow(1.0L + j, 1.0L / c.periodsPerYear) - 1.0L : j / c.periodsPerYear;
    const long double growth = 1.0L + i;
    const long double v_n = std::pow(growth, -static_cast<long double>(c.count));
    const long double arrears = (1.0L - v_n) / i;
    const long double factor = c.advance ? growth * arrears : arrears;
    Exact exact;
    exact.instalment = (static_cast<long double>(c.value) - c.maxi - c.buyout * v_n) / factor;
    long double debt = static_cast<long double>(c.value) - c.maxi;
    for (int r = 1; r <= c.count; ++r) {
        debt = (c.advance && r == 1 ? debt : debt * growth) - exact.instalment;
        exact.residual.push_back(debt);
        exact.accumulated.push_back((std::pow(growth, static_cast<long double>(r)) - 1.0L) / i);
    }
    return exact;
}

TEST(CrossCheck, InstalmentAndPlanFollowTheClosedForm) {
    ContractGenerator generator;
    for (int sample = 0; sample < 400; ++sample) {
        const Contract c = generator.Next();
        const Exact exact = ClosedForm(c);
        FinancialPlan plan;
        const std::vector<float> rates(c.count, c.annualRate);
        const float R =
            BuildPlan(plan, c.value, c.maxi, c.buyout, c.count, c.periodsPerYear, c.annualRate, 2,
                      c.compound, c.advance, false, CalendarDate::FromSerial(38733),
                      CalendarDate::FromSerial(38764), CalendarDate(), rates, 1);
        const auto where = testing::Message()
                           << "sample " << sample << ": V " << c.value << " M " << c.maxi << " B "
                           << c.buyout << " n " << c.count << " m " << c.periodsPerYear << " j "
                           << c.annualRate << (c.compound ? " compound" : " simple")
                           << (c.advance ? " advance" : " arrears");
        // Half a cent of rounding, plus 32-bit precision of the amounts involved.
        const long double scale = static_cast<long double>(c.value) + c.buyout;
        EXPECT_LE(std::fabs(R - exact.instalment), 0.005L + 4 * FLT_EPSILON * scale) << where;

        // In arrears each capital share is rounded to a cent, and the later shares grow from
        // the rounded first one, so its half cent grows to 0.005 s(r, i) by row r (large for
        // long plans at high rates); every row adds 32-bit rounding of the running sums.
        for (int r = 1; r <= c.count; ++r) {
            const PlanRow& row = plan.rows[r - 1];
            ASSERT_EQ(row.Importo, R) << where << " row " << r;
            const long double tolerance =
                0.005L * (r + exact.accumulated[r - 1] + 1) + 2 * r * FLT_EPSILON * scale;
            ASSERT_LE(std::fabs(row.DebitoRes - exact.residual[r - 1]), tolerance)
                << where << " row " << r;
        }
    }
}

}  // namespace
}  // namespace quotaplan
