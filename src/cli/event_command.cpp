#include "cli/event_command.h"

#include <ostream>
#include <variant>

#include "cli/archive_command.h"
#include "cli/calc_command.h"
#include "cli/json_text.h"
#include "common/run_time_error.h"
#include "common/stderr_message_boxes.h"
#include "data/contract_event_store.h"
#include "data/db_error.h"
#include "data/event_options.h"
#include "engine/plan_events.h"

namespace quotaplan {
namespace {

constexpr int kRefused = 2;
constexpr int kFailed = 1;

// A refusal or failure on its way to standard error.
struct Stop {
    int exitStatus;
    std::string message;
};

Stop Unreadable(const std::string& option, const std::string& text, const char* what) {
    return {kRefused, "Valore non valido per --" + option + ": \"" + text + "\" (" + what + ")"};
}

CalendarDate DateOf(const CommandLine& line, const std::string& option) {
    const std::string text = *line.Value(option);
    const auto date = ReadIsoDate(text);
    if (!date) throw Unreadable(option, text, "serve una data AAAA-MM-GG");
    return *date;
}

std::optional<Money> AmountOf(const CommandLine& line, const std::string& option) {
    const auto text = line.Value(option);
    if (!text) return std::nullopt;
    const auto amount = ReadPlainMoney(*text);
    if (!amount) throw Unreadable(option, *text, "serve un importo con il punto decimale");
    return amount;
}

// --penalty, or the contract's own regime.
PenaltyRule PenaltyOf(const CommandLine& line, const PenaltyRule& contractRule) {
    const auto text = line.Value("penalty");
    if (!text) return contractRule;
    const auto rule = ReadPenaltyRule(*text);
    if (!rule)
        throw Unreadable("penalty", *text, "none, consumer, home o una percentuale come 0.5");
    return *rule;
}

// A choice among the words given, the first for the first meaning.
int ChoiceOf(const CommandLine& line, const std::string& option,
             const std::vector<std::string>& words, int missing) {
    const auto text = line.Value(option);
    if (!text) return missing;
    for (std::size_t k = 0; k < words.size(); ++k) {
        if (*text == words[k]) return static_cast<int>(k);
    }
    std::string listed;
    for (std::size_t k = 0; k < words.size(); ++k) {
        listed += (k == 0 ? "" : k + 1 == words.size() ? " o " : ", ") + words[k];
    }
    throw Unreadable(option, *text, listed.c_str());
}

Percent RateOf(const CommandLine& line, const std::string& option) {
    const std::string text = *line.Value(option);
    const auto rate = ReadDecimal(text);
    if (!rate) throw Unreadable(option, text, "serve un tasso in percentuale come 4.5");
    return Percent::FromValue(*rate);
}

int WholeOf(const CommandLine& line, const std::string& option) {
    const std::string text = *line.Value(option);
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
        throw Unreadable(option, text, "serve un numero intero");
    }
    return std::stoi(text);
}

ContractEvent SuspensionOf(const CommandLine& line) {
    ContractEvent event;
    event.date = DateOf(line, "suspend");
    if (!line.Has("instalments")) {
        throw Stop{kRefused, "--suspend richiede --instalments k, le rate sospese (da 1 a 36)."};
    }
    if (!line.Has("kind")) {
        throw Stop{kRefused,
                   "--suspend richiede --kind capital (solo quota capitale) o --kind all "
                   "(intera rata)."};
    }
    SuspensionOptions options;
    options.instalments = WholeOf(line, "instalments");
    options.kind = ChoiceOf(line, "kind", {"capital", "all"}, 0) == 0 ? SuspensionKind::CapitalOnly
                                                                     : SuspensionKind::Whole;
    if (line.Has("interest") && options.kind != SuspensionKind::Whole) {
        throw Stop{kRefused, "--interest si usa solo con --kind all."};
    }
    options.interest = ChoiceOf(line, "interest", {"capitalise", "defer"}, 0) == 0
                           ? SuspendedInterest::Capitalised
                           : SuspendedInterest::Deferred;
    if (line.Has("fund-share")) options.fundShare = RateOf(line, "fund-share");
    event.options = options;
    return event;
}

ContractEvent RenegotiationOf(const CommandLine& line) {
    ContractEvent event;
    event.date = DateOf(line, "renegotiate");
    RenegotiationOptions options;
    if (line.Has("new-rate")) options.rate = RateOf(line, "new-rate");
    if (line.Has("new-ref-rate")) options.referenceRate = RateOf(line, "new-ref-rate");
    if (line.Has("new-spread")) options.spread = RateOf(line, "new-spread");
    if (line.Has("new-count")) options.count = WholeOf(line, "new-count");
    if (line.Has("new-periodicity")) {
        options.periodsPerYear = static_cast<std::int16_t>(WholeOf(line, "new-periodicity"));
    }
    if (const auto lender = line.Value("lender")) {
        if (lender->empty()) throw Unreadable("lender", *lender, "serve il nome dell'istituto");
        options.lender = *lender;
    }
    event.options = options;
    return event;
}

ContractEvent EventOf(const CommandLine& line, const PenaltyRule& contractRule) {
    if (line.Has("suspend")) return SuspensionOf(line);
    if (line.Has("renegotiate")) return RenegotiationOf(line);
    ContractEvent event;
    if (line.Has("payoff")) {
        event.date = DateOf(line, "payoff");
        PayoffOptions options;
        options.method = ChoiceOf(line, "method", {"residual", "discount"}, 0) == 0
                             ? PayoffMethod::Residual
                             : PayoffMethod::Discount;
        if (const auto text = line.Value("discount-rate")) {
            const auto rate = ReadDecimal(*text);
            if (!rate) throw Unreadable("discount-rate", *text, "serve un tasso come 4.5");
            options.discountRate = Percent::FromValue(*rate);
        }
        options.penalty = PenaltyOf(line, contractRule);
        options.extraCosts = AmountOf(line, "costs").value_or(Money());
        options.refund = ChoiceOf(line, "refund", {"interest-curve", "pro-rata"}, 0) == 0
                             ? RefundCriterion::InterestCurve
                             : RefundCriterion::ProRata;
        event.options = options;
        return event;
    }
    event.date = DateOf(line, "prepay");
    PrepaymentOptions options;
    const auto amount = AmountOf(line, "amount");
    if (!amount) throw Stop{kRefused, "--prepay richiede --amount A, l'importo rimborsato."};
    options.amount = *amount;
    if (!line.Has("keep")) {
        throw Stop{kRefused,
                   "--prepay richiede --keep term (stesse rate, più basse) o --keep "
                   "instalment (stessa rata, meno rate)."};
    }
    options.effect = ChoiceOf(line, "keep", {"term", "instalment"}, 0) == 0
                         ? PrepaymentEffect::LowerInstalment
                         : PrepaymentEffect::ShortenTerm;
    options.penalty = PenaltyOf(line, contractRule);
    event.options = options;
    return event;
}

// The options that go with one event and not the other, or with nothing but an event.
void CheckCombination(const CommandLine& line) {
    const int asked = line.Has("payoff") + line.Has("prepay") + line.Has("suspend") +
                      line.Has("renegotiate") + line.Has("undo-event");
    if (asked != 1) {
        throw Stop{kRefused,
                   "Indicare uno solo fra --payoff, --prepay, --suspend, --renegotiate e "
                   "--undo-event."};
    }
    for (const char* option : {"instalments", "kind", "interest", "fund-share"}) {
        if (line.Has(option) && !line.Has("suspend")) {
            throw Stop{kRefused, std::string("--") + option + " si usa solo con --suspend."};
        }
    }
    for (const char* option :
         {"new-rate", "new-spread", "new-ref-rate", "new-count", "new-periodicity", "lender"}) {
        if (line.Has(option) && !line.Has("renegotiate")) {
            throw Stop{kRefused, std::string("--") + option + " si usa solo con --renegotiate."};
        }
    }
    for (const char* option : {"method", "discount-rate", "costs", "refund"}) {
        if (line.Has(option) && !line.Has("payoff")) {
            throw Stop{kRefused, std::string("--") + option + " si usa solo con --payoff."};
        }
    }
    for (const char* option : {"amount", "keep"}) {
        if (line.Has(option) && !line.Has("prepay")) {
            throw Stop{kRefused, std::string("--") + option + " si usa solo con --prepay."};
        }
    }
    if (line.Has("penalty") && !line.Has("payoff") && !line.Has("prepay")) {
        throw Stop{kRefused, "--penalty si usa solo con --payoff o --prepay."};
    }
    if (line.Has("discount-rate") && line.Value("method") != "discount") {
        throw Stop{kRefused, "--discount-rate si usa solo con --method discount."};
    }
    if ((line.Has("record") || line.Has("undo-event")) && !line.Has("id")) {
        throw Stop{kRefused, std::string(line.Has("record") ? "--record" : "--undo-event") +
                                 " richiede --id N, un contratto dell'archivio."};
    }
    if (line.Has("db") && !line.Has("id")) {
        throw Stop{kRefused,
                   "--db vale per gli eventi solo con --id N, un contratto "
                   "dell'archivio."};
    }
    if (line.Has("format") && line.Value("format") != "json") {
        throw Stop{kRefused, "Gli eventi si stampano solo in JSON."};
    }
    if (line.Has("id")) {
        for (const auto& options : {CalcValueOptions(), CalcFlagOptions()}) {
            for (const auto& option : options) {
                if (option != "format" && line.Has(option)) {
                    throw Stop{kRefused, "Con --id il contratto è quello archiviato: --" + option +
                                             " non si usa."};
                }
            }
        }
    }
}

std::string Decimal(Money amount) { return amount.Decimal(); }

std::string StatementJson(const PayoffStatement& statement) {
    return "{\"residual_capital\": " + Decimal(statement.residualCapital) +
           ", \"accrued_interest\": " + Decimal(statement.accruedInterest) +
           ", \"penalty\": " + Decimal(statement.penalty.amount) +
           ", \"penalty_rule\": " + JsonString(PenaltyOutcomeText(statement.penalty)) +
           ", \"refund\": " + Decimal(statement.refund.amount) +
           ", \"refund_rule\": " + JsonString(RefundOutcomeText(statement.refund)) +
           ", \"instalments_due\": " + std::to_string(statement.instalmentsDue) +
           ", \"total\": " + Decimal(statement.total) + "}\n";
}

std::string PrepaymentJson(const PrepaymentFigures& figures, const CentsPlan& plan) {
    FinancialPlan shown;
    SetPlanToTheCent(shown, plan);
    return "{\"instalment\": " + Decimal(figures.instalmentAfter) +
           ", \"penalty\": " + Decimal(figures.penalty.amount) +
           ", \"accrued_interest\": " + Decimal(figures.accruedInterest) +
           ", \"plan\": " + PlanJson(shown, PlanNumbers::Exact) + "}\n";
}

std::string ShownPlanJson(const CentsPlan& plan) {
    FinancialPlan shown;
    SetPlanToTheCent(shown, plan);
    return PlanJson(shown, PlanNumbers::Exact);
}

std::string SuspensionJson(const SuspensionFigures& figures, const CentsPlan& plan) {
    return "{\"instalment\": " + Decimal(figures.instalmentAfter) +
           ", \"suspended_interest\": " + Decimal(figures.suspendedInterest) +
           ", \"fund_interest\": " + Decimal(figures.fundInterest) +
           ", \"capitalised_interest\": " + Decimal(figures.capitalised) +
           ", \"deferred_interest\": " + Decimal(figures.deferred) +
           ", \"last_due\": " + JsonString(figures.lastDueAfter.Iso()) +
           ", \"plan\": " + ShownPlanJson(plan) + "}\n";
}

// The signed contract's TAEG beside the renegotiated part's, when it is known.
std::string RenegotiationJson(const RenegotiationFigures& figures, const EventResult& result,
                              const std::optional<TaegSolution>& signedTaeg) {
    const CentsPlan& plan = result.plan;
    const auto taeg = [](const TaegSolution& solution) {
        return solution.rate ? TaegPercent(*solution.rate).Decimal() : std::string("null");
    };
    std::string json = "{\"instalment\": " + Decimal(figures.instalmentAfter) +
                       ", \"rate\": " + figures.rateAfter.Decimal() +
                       ", \"count\": " + std::to_string(figures.countAfter) +
                       ", \"residual\": " + Decimal(figures.residual) +
                       ", \"taeg\": " +
                       taeg(RenegotiatedTaeg(plan, result.keptInstalments, figures.date,
                                             figures.residual));
    if (signedTaeg) json += ", \"signed_taeg\": " + taeg(*signedTaeg);
    if (!figures.options.lender.empty()) {
        json += ", \"lender\": " + JsonString(figures.options.lender) +
                ", \"note\": " + JsonString(kSurrogationNote);
    }
    return json + ", \"plan\": " + ShownPlanJson(plan) + "}\n";
}

std::string ResultJson(const EventResult& result,
                       const std::optional<TaegSolution>& signedTaeg = std::nullopt) {
    if (const auto* statement = std::get_if<PayoffStatement>(&result.figures)) {
        return StatementJson(*statement);
    }
    if (const auto* holiday = std::get_if<SuspensionFigures>(&result.figures)) {
        return SuspensionJson(*holiday, result.plan);
    }
    if (const auto* renegotiation = std::get_if<RenegotiationFigures>(&result.figures)) {
        return RenegotiationJson(*renegotiation, result, signedTaeg);
    }
    return PrepaymentJson(std::get<PrepaymentFigures>(result.figures), result.plan);
}

std::string EventJson(const StoredEvent& stored) {
    return "{\"id\": " + std::to_string(stored.id) +
           ", \"date\": " + JsonString(stored.event.date.Iso()) +
           ", \"kind\": " + JsonString(EventKindName(stored.event.Kind())) +
           ", \"amount\": " + Decimal(stored.paid) + ", \"penalty\": " + Decimal(stored.penalty) +
           ", \"refund\": " + Decimal(stored.refund) +
           ", \"options\": " + JsonString(EventOptionsText(stored.event)) +
           ", \"note\": " + JsonString(stored.event.note) + "}";
}

std::optional<std::int32_t> ReadId(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(std::stol(text));
}

// An event of the contract the calculation options describe, never stored.
std::string OnCalculatedContract(const CommandLine& line, const CalcOptions& calc) {
    if (calc.target != SolveTarget::Instalment) {
        throw Stop{kRefused, "Gli eventi valgono sul piano del calcolo della rata."};
    }
    auto calculated = RunCalculation(calc);
    if (auto* failure = std::get_if<CliFailure>(&calculated)) {
        throw Stop{failure->exitStatus, failure->message};
    }
    const CalcOutcome& outcome = std::get<CalcOutcome>(calculated);
    SignedTerms terms;
    terms.contractDate = outcome.terms.DataContratto;
    terms.periodsPerYear = outcome.terms.Periodicita;
    terms.timing = calc.advance ? PaymentTiming::Advance : PaymentTiming::Arrears;
    terms.capitalisation = calc.simple ? Capitalisation::Simple : Capitalisation::Compound;
    terms.plan = calc.plan;
    terms.buyout = outcome.exact.buyout;
    terms.buyoutInterest = calc.buyoutInterest ? BuyoutInterest::Yes : BuyoutInterest::No;
    terms.buyoutDate = outcome.terms.DataRiscatto;
    terms.contractFees = outcome.exact.contractFees;
    terms.indexation = calc.ratesIndexed ? RateIndexation::Indexed : RateIndexation::Fixed;
    terms.spread = Percent::FromValue(outcome.terms.Spread);
    // An unsaved contract has no financing type to take a penalty regime from.
    const ContractEvent event = EventOf(line, PenaltyRule{});
    const auto applied = ApplyEvent(terms, PlanAsStored(outcome.plan), event);
    if (const auto* refusal = std::get_if<EventRefusal>(&applied)) {
        throw Stop{kRefused, refusal->message};
    }
    return ResultJson(std::get<EventResult>(applied), outcome.taeg);
}

Stop StopOf(const EventStoreResult& result) {
    return {result.code == EventStoreCode::Failed ? kFailed : kRefused, result.message};
}

// An event of a stored contract: stated, recorded or removed.
std::string OnStoredContract(const CommandLine& line, const std::filesystem::path& programFolder,
                             std::ostream& err) {
    const std::string idText = *line.Value("id");
    const auto id = ReadId(idText);
    if (!id) throw Unreadable("id", idText, "serve l'ID di un contratto");
    const bool writes = line.Has("record") || line.Has("undo-event");
    StderrMessageBoxes boxes(err);
    auto db = ConnectArchive(line, programFolder, boxes,
                             writes ? ArchiveAccess::Writing : ArchiveAccess::Reading);
    if (!db) throw Stop{kFailed, ""};
    ContractEventStore store(*db);
    const Stop notThere{kRefused, "Il contratto " + idText + " non è nell'archivio."};
    if (line.Has("undo-event")) {
        const EventStoreResult undone = store.UndoLatest(*id);
        if (undone.code == EventStoreCode::ContractGone) throw notThere;
        if (!undone.Ok()) throw StopOf(undone);
        return "{\"removed\": " + std::to_string(undone.eventId) + "}\n";
    }
    const auto basis = store.Basis(*id);
    if (!basis) throw notThere;
    const ContractEvent event = EventOf(line, basis->typePenalty);
    if (!line.Has("record")) {
        const auto applied = ApplyEvent(basis->termsInForce, basis->plan, event);
        if (const auto* refusal = std::get_if<EventRefusal>(&applied)) {
            throw Stop{kRefused, refusal->message};
        }
        return ResultJson(std::get<EventResult>(applied));
    }
    const EventStoreResult recorded = store.Record(*id, event);
    if (!recorded.Ok()) throw StopOf(recorded);
    return ResultJson(*recorded.result);
}

}  // namespace

const std::set<std::string>& EventValueOptions() {
    static const std::set<std::string> options = {
        "payoff",      "prepay",   "method",       "discount-rate", "penalty",    "costs",
        "refund",      "amount",   "keep",         "id",            "suspend",    "instalments",
        "kind",        "interest", "fund-share",   "renegotiate",   "new-rate",   "new-spread",
        "new-ref-rate", "new-count", "new-periodicity", "lender"};
    return options;
}

const std::set<std::string>& EventFlagOptions() {
    static const std::set<std::string> flags = {"record", "undo-event"};
    return flags;
}

bool AsksForEvent(const CommandLine& line) {
    // --id alone names a contract for the review's commands too.
    for (const auto& options : {EventValueOptions(), EventFlagOptions()}) {
        for (const auto& option : options) {
            if (option != "id" && line.Has(option)) return true;
        }
    }
    return false;
}

bool EventUsesArchive(const CommandLine& line) { return AsksForEvent(line) && line.Has("id"); }

int RunEventCommand(const CommandLine& line, const CalcOptions& calc,
                    const std::filesystem::path& programFolder, std::ostream& out,
                    std::ostream& err) {
    try {
        CheckCombination(line);
        out << (line.Has("id") ? OnStoredContract(line, programFolder, err)
                               : OnCalculatedContract(line, calc));
        return 0;
    } catch (const Stop& stop) {
        if (!stop.message.empty()) err << stop.message << "\n";
        return stop.exitStatus;
    } catch (const DatabaseError& error) {
        err << error.Number() << " - " << error.Description() << "\n";
    } catch (const RunTimeError& error) {
        err << "Errore " << error.Number() << ": " << error.Description() << "\n";
    }
    return kFailed;
}

std::string StoredEventsJson(Database& db, std::int32_t contractId) {
    const std::vector<StoredEvent> events = ContractEventStore(db).Events(contractId);
    std::string json = ",\n  \"events\": [";
    if (events.empty()) return json + "]";
    for (std::size_t k = 0; k < events.size(); ++k) {
        json += (k == 0 ? "\n    " : ",\n    ") + EventJson(events[k]);
    }
    return json + "\n  ]";
}

}  // namespace quotaplan
