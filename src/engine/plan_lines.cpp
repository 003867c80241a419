#include "engine/plan_lines.h"

#include "common/number_text.h"

namespace quotaplan {
namespace {

PlanLine ClassicLine(PlanLineKind kind, int number, const PlanRow& row) {
    PlanLine line;
    line.kind = kind;
    line.number = number;
    line.date = row.Data;
    line.ratePercent = kind == PlanLineKind::Instalment ? row.Tasso * 100.0f : 0.0f;
    line.amount = row.QCapitale + row.QInteressi;
    line.capital = row.QCapitale;
    line.interest = row.QInteressi;
    line.residual = row.DebitoRes;
    line.stored = row.Importo;
    return line;
}

PlanLine ExactLine(PlanLineKind kind, int number, CalendarDate date, float ratePercent,
                   Money capital, Money interest, Money residual) {
    PlanLine line;
    line.kind = kind;
    line.number = number;
    line.date = date;
    line.ratePercent = ratePercent;
    line.amount = (capital + interest).Units();
    line.capital = capital.Units();
    line.interest = interest.Units();
    line.residual = residual.Units();
    line.stored = line.amount;
    return line;
}

std::vector<PlanLine> ClassicLines(const FinancialPlan& plan, DerivedLines derived) {
    const bool always = derived == DerivedLines::Always;
    std::vector<PlanLine> lines;
    lines.reserve(plan.rows.size() + 2);
    if (always || plan.Maxicanone > 0) {
        lines.push_back(ClassicLine(PlanLineKind::Maxi, 0, plan.MaxiRow()));
    }
    for (std::size_t k = 0; k < plan.rows.size(); ++k) {
        lines.push_back(
            ClassicLine(PlanLineKind::Instalment, static_cast<int>(k + 1), plan.rows[k]));
    }
    if (always || plan.Riscatto > 0) {
        lines.push_back(ClassicLine(PlanLineKind::Buyout, 0, plan.BuyoutRow()));
    }
    return lines;
}

PlanLine EventLine(const PlanEventLine& event) {
    PlanLine line = ExactLine(
        event.kind == EventLineKind::Payoff ? PlanLineKind::Payoff : PlanLineKind::Prepayment, 0,
        event.date, static_cast<float>(event.rate.Value()), event.capital, event.interest,
        event.residual);
    line.penalty = event.penalty.Units();
    line.refund = event.refund.Units();
    return line;
}

std::vector<PlanLine> ExactLines(const CentsPlan& cents, DerivedLines derived) {
    const bool always = derived == DerivedLines::Always;
    std::vector<PlanLine> lines;
    lines.reserve(cents.rows.size() + cents.eventLines.size() + 2);
    if (always || cents.maxi > Money()) {
        lines.push_back(ExactLine(PlanLineKind::Maxi, 0, cents.maxiDate, 0, cents.maxi, Money(),
                                  cents.value - cents.maxi));
    }
    auto event = cents.eventLines.begin();
    const auto eventsAfter = [&](std::size_t rows) {
        for (; event != cents.eventLines.end() && event->afterRow <= rows; ++event) {
            lines.push_back(EventLine(*event));
        }
    };
    for (std::size_t k = 0; k < cents.rows.size(); ++k) {
        eventsAfter(k);
        const CentsPlanRow& row = cents.rows[k];
        PlanLine line = ExactLine(
            row.kind == RowKind::Suspension ? PlanLineKind::Suspension : PlanLineKind::Instalment,
            static_cast<int>(k + 1), row.date, static_cast<float>(row.rate.Value()), row.capital,
            row.interest, row.residual);
        line.deferredInterest = row.deferredInterest.Units();
        line.fundInterest = row.fundInterest.Units();
        lines.push_back(line);
    }
    eventsAfter(cents.rows.size());
    // A payoff settled the buy-out with the rest of the debt.
    if (!cents.PaidOff() && (always || cents.buyout > Money())) {
        // The capital still owed after the last instalment; in advance the buy-out, a period
        // later, is that capital and its interest.
        const Money owed = cents.storedBuyoutCapital ? *cents.storedBuyoutCapital
                           : cents.rows.empty()      ? cents.buyout
                                                     : cents.rows.back().residual;
        lines.push_back(ExactLine(PlanLineKind::Buyout, 0, cents.buyoutDate, 0, owed,
                                  cents.buyout - owed + cents.buyoutInterest, Money()));
    }
    return lines;
}

}  // namespace

const char* PlanLineTipo(PlanLineKind kind) {
    switch (kind) {
        case PlanLineKind::Maxi:
            return "Maxi.";
        case PlanLineKind::Buyout:
            return "Riscatto";
        case PlanLineKind::Prepayment:
            return "Rimborso parziale";
        case PlanLineKind::Payoff:
            return "Estinzione";
        case PlanLineKind::Suspension:
            return "Sospensione";
        case PlanLineKind::Instalment:
            break;
    }
    return "Rata";
}

std::optional<PlanLineKind> PlanLineKindOfTipo(std::string_view tipo) {
    for (const PlanLineKind kind :
         {PlanLineKind::Instalment, PlanLineKind::Maxi, PlanLineKind::Buyout,
          PlanLineKind::Prepayment, PlanLineKind::Payoff, PlanLineKind::Suspension}) {
        if (tipo == PlanLineTipo(kind)) return kind;
    }
    return std::nullopt;
}

std::vector<PlanLine> PlanLines(const FinancialPlan& plan, DerivedLines derived) {
    if (plan.toTheCent) return ExactLines(*plan.toTheCent, derived);
    return ClassicLines(plan, derived);
}

}  // namespace quotaplan

namespace quotaplan {

CentsPlan PlanOfLines(const std::vector<PlanLine>& lines) {
    const auto cents = [](double units) { return Money::FromUnits(RoundAsShown(units, 2)); };
    CentsPlan plan;
    bool maxiLine = false;
    for (const PlanLine& line : lines) {
        switch (line.kind) {
            case PlanLineKind::Maxi:
                maxiLine = true;
                plan.maxi = cents(line.capital);
                plan.value = plan.maxi + cents(line.residual);
                plan.maxiDate = line.date;
                break;
            case PlanLineKind::Buyout:
                plan.buyout = cents(line.capital);
                plan.buyoutInterest = cents(line.interest);
                plan.storedBuyoutCapital = plan.buyout;
                plan.buyoutDate = line.date;
                break;
            case PlanLineKind::Instalment:
            case PlanLineKind::Suspension: {
                CentsPlanRow row;
                if (line.kind == PlanLineKind::Suspension) row.kind = RowKind::Suspension;
                row.deferredInterest = cents(line.deferredInterest);
                row.fundInterest = cents(line.fundInterest);
                row.date = line.date;
                row.rate = Percent::FromValue(RoundAsShown(line.ratePercent, 2));
                row.instalment = cents(line.stored);
                row.interest = cents(line.interest);
                row.capital = cents(line.capital);
                row.residual = cents(line.residual);
                plan.rows.push_back(row);
                break;
            }
            case PlanLineKind::Prepayment:
            case PlanLineKind::Payoff: {
                PlanEventLine event;
                event.kind = line.kind == PlanLineKind::Payoff ? EventLineKind::Payoff
                                                               : EventLineKind::Prepayment;
                event.afterRow = plan.rows.size();
                event.date = line.date;
                event.rate = Percent::FromValue(RoundAsShown(line.ratePercent, 2));
                event.capital = cents(line.capital);
                event.interest = cents(line.interest);
                event.residual = cents(line.residual);
                event.penalty = cents(line.penalty);
                event.refund = cents(line.refund);
                plan.eventLines.push_back(event);
                break;
            }
        }
    }
    if (!plan.rows.empty()) {
        if (!maxiLine) plan.value = plan.rows.front().capital + plan.rows.front().residual;
        plan.instalment = plan.rows.front().instalment;
    }
    return plan;
}

}  // namespace quotaplan
