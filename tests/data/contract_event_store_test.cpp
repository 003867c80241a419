#include "data/contract_event_store.h"

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "common/clock.h"
#include "data/archive_setup.h"
#include "data/contract_store.h"
#include "data/summary_queries.h"
#include "engine/contract_calculation.h"

namespace quotaplan {
namespace {

using testing::CountOf;
using testing::DumpTable;
using testing::Engine;
using testing::TempArchive;

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }
Money Cents(std::int64_t cents) { return Money::FromCents(cents); }

// 17.482,81 over 84 monthly instalments at 5,35 % simple, in arrears, plan to the cent, with
// 2.594,76 of contract fees: the published case of the refunds. Its type "Credito al
// consumo" carries the consumer regime in a new archive.
ContractForm ConsumerForm(const std::string& description, bool toTheCent = true) {
    ContractForm form;
    form.txtDescBene = description;
    form.txtValBene = "17.482,81";
    form.txtMaxi = "0,00";
    form.txtTasso = "5,35";
    form.txtSpread = "0,00";
    form.txtRate = "84";
    form.txtRiscatto = "0,00";
    form.cboPeriodicita = 0;
    form.optCapSem = true;
    form.txtContract = "15/01/26";
    form.txtStart = "15/02/26";
    form.chkCentesimo = toTheCent;
    form.txtSpContratto = "2.594,76";
    form.txtSpRata = "0,00";
    form.cboTipoLea = "Credito al consumo";
    form.cboTxRif = "Fisso";
    return form;
}

FinancialPlan ConsumerPlan(bool toTheCent = true) {
    ContractTerms terms;
    terms.Valore = 17482.81f;
    terms.Tasso = 5.35f;
    terms.NumRate = 84;
    terms.Semplice = true;
    terms.DataContratto = Ymd(2026, 1, 15);
    terms.DataInizio = Ymd(2026, 2, 15);
    terms.Centesimo = toTheCent;
    ExactAmounts exact;
    exact.value = Cents(1748281);
    FinancialPlan plan;
    const std::vector<float> rates(84, 0.0535f);
    if (toTheCent) {
        CalculateInstalmentToTheCent(terms, exact, rates, plan);
    } else {
        CalculateInstalment(terms, rates, plan);
    }
    return plan;
}

PayoffOptions ByRule(PenaltyRule rule, RefundCriterion refund = RefundCriterion::InterestCurve) {
    PayoffOptions options;
    options.penalty = rule;
    options.refund = refund;
    return options;
}
const PenaltyRule kConsumer{PenaltyRegime::Consumer, {}};

ContractEvent Payoff(CalendarDate date, PayoffOptions options = ByRule(kConsumer)) {
    return {date, options, ""};
}
ContractEvent Prepay(CalendarDate date, std::int64_t cents,
                     PrepaymentEffect effect = PrepaymentEffect::LowerInstalment) {
    return {date, PrepaymentOptions{Cents(cents), effect, {}}, "Bonus"};
}

// A stored consumer contract on a fresh archive of the engine.
class ContractEventStoreTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        QP_REQUIRE_ARCHIVE(archive);
        id = SaveNew(ConsumerForm("Prestito auto"));
    }

    // A new contract saved with its plan: its ID.
    std::int32_t SaveNew(const ContractForm& form, bool toTheCent = true) {
        const SaveResult saved = contracts.Save(form, ConsumerPlan(toTheCent),
                                                PlanOwner::For(0, form), SaveMode::NewContract, 0);
        EXPECT_EQ(saved.status, SaveStatus::Saved);
        return saved.contractId;
    }

    // The contract's plan lines as text without their IDs, in order.
    std::string PlanText() {
        std::string text;
        for (Recordset rows(db,
                            "SELECT Tipo, Data, Tasso, Importo, QInteressi, QCapitale, "
                            "DebitoRes FROM tabPDA WHERE [ID Leasing] = " +
                                std::to_string(id) + " ORDER BY ID");
             !rows.Eof(); rows.MoveNext()) {
            for (int k = 0; k < rows.FieldCount(); ++k) text += rows.Value(k).ToText() + "|";
            text += "\n";
        }
        return text;
    }
    long long Count(const std::string& table) {
        return CountOf(db, "SELECT COUNT(*) FROM " + table);
    }

    ScopedToday today{Ymd(2027, 6, 10)};
    TempArchive archive{GetParam()};
    Database db = archive.Open();
    RecordingMessageBoxes boxes;
    ContractStore contracts{db, boxes};
    ContractEventStore events{db};
    std::int32_t id = 0;
};

INSTANTIATE_TEST_SUITE_P(Engines, ContractEventStoreTest, testing::kEngines, testing::EngineName);

TEST_P(ContractEventStoreTest, TheBasisIsTheSignedTermsTheTypesRegimeAndTheStoredPlan) {
    const auto basis = events.Basis(id);
    ASSERT_TRUE(basis.has_value());
    EXPECT_EQ(basis->description, "Prestito auto");
    EXPECT_EQ(basis->typePenalty.regime, PenaltyRegime::Consumer);
    EXPECT_EQ(basis->terms.contractDate, Ymd(2026, 1, 15));
    EXPECT_EQ(basis->terms.capitalisation, Capitalisation::Simple);
    EXPECT_EQ(basis->terms.plan, PlanKind::ToTheCent);
    EXPECT_EQ(basis->terms.contractFees, Cents(259476));
    EXPECT_EQ(basis->terms.indexation, RateIndexation::Fixed);
    ASSERT_EQ(basis->plan.rows.size(), 84u);
    EXPECT_EQ(basis->plan.rows[23].residual, Cents(1313493));
    EXPECT_TRUE(basis->events.empty());
    EXPECT_FALSE(events.Basis(id + 1).has_value());
}

TEST_P(ContractEventStoreTest, APayoffEndsThePlanWithItsLineAndKeepsWhatItReplaced) {
    const EventStoreResult recorded = events.Record(id, Payoff(Ymd(2028, 1, 15)));
    ASSERT_TRUE(recorded.Ok()) << recorded.message;
    const auto& statement = std::get<PayoffStatement>(recorded.result->figures);
    EXPECT_EQ(statement.total, Cents(1187686));

    // Maxi, 24 instalments and the payoff: no instalment after it, no buy-out line.
    EXPECT_EQ(CountOf(db, "SELECT COUNT(*) FROM tabPDA"), 26);
    Recordset line(db,
                   "SELECT Data, Tasso, Importo, QInteressi, QCapitale, DebitoRes FROM tabPDA "
                   "WHERE Tipo = 'Estinzione'");
    ASSERT_FALSE(line.Eof());
    EXPECT_EQ(line.Value("Data").ToDate(), Ymd(2028, 1, 15));
    EXPECT_DOUBLE_EQ(line.Value("Tasso").ToDouble(), 5.35);
    EXPECT_DOUBLE_EQ(line.Value("QCapitale").ToDouble(), 13134.93);
    EXPECT_DOUBLE_EQ(line.Value("QInteressi").ToDouble(), 0);
    EXPECT_DOUBLE_EQ(line.Value("DebitoRes").ToDouble(), 0);

    Recordset event(db,
                    "SELECT [ID Leasing], Data, Tipo, Importo, Penale, Rimborso, Opzioni, "
                    "RigheScritte FROM tabEventi");
    ASSERT_FALSE(event.Eof());
    EXPECT_EQ(event.Value("ID Leasing").ToLong(), id);
    EXPECT_EQ(event.Value("Tipo").ToText(), "Estinzione");
    EXPECT_DOUBLE_EQ(event.Value("Importo").ToDouble(), 11876.86);
    EXPECT_DOUBLE_EQ(event.Value("Penale").ToDouble(), 117.59);
    EXPECT_DOUBLE_EQ(event.Value("Rimborso").ToDouble(), 1375.66);
    EXPECT_EQ(event.Value("Opzioni").ToText(),
              "metodo=residuo;penale=consumer;rimborso=curva;costi=0");
    EXPECT_EQ(event.Value("RigheScritte").ToLong(), 1);
    // The 60 instalments after the date and the buy-out line wait in tabEventiPDA.
    EXPECT_EQ(Count("tabEventiPDA"), 61);

    // The basis read again: the payoff line with its penalty and refund, the event.
    const auto basis = events.Basis(id);
    ASSERT_TRUE(basis.has_value());
    EXPECT_TRUE(basis->plan.PaidOff());
    EXPECT_EQ(basis->plan.eventLines.back().penalty, Cents(11759));
    EXPECT_EQ(basis->plan.eventLines.back().refund, Cents(137566));
    ASSERT_EQ(basis->events.size(), 1u);
    EXPECT_EQ(basis->events[0].event, Payoff(Ymd(2028, 1, 15)));
    EXPECT_EQ(basis->events[0].paid, Cents(1187686));
}

TEST_P(ContractEventStoreTest, ThePortfolioCountsNothingOwedAfterThePayoff) {
    ASSERT_TRUE(events.Record(id, Payoff(Ymd(2027, 1, 15))).Ok());
    {
        ScopedToday before(Ymd(2027, 1, 14));
        EXPECT_NEAR(ReadPortfolioSummary(db).totalResidualDebt, 15547.55, 0.001);
    }
    ScopedToday after(Ymd(2027, 1, 20));
    EXPECT_EQ(ReadPortfolioSummary(db).totalResidualDebt, 0);
}

TEST_P(ContractEventStoreTest, RemovingTheLatestEventsRestoresThePlansTheyReplaced) {
    const std::string signedPlan = PlanText();
    ASSERT_TRUE(events.Record(id, Prepay(Ymd(2027, 1, 15), 300000)).Ok());
    const std::string afterPrepayment = PlanText();
    EXPECT_NE(afterPrepayment, signedPlan);
    ASSERT_TRUE(events.Record(id, Payoff(Ymd(2028, 1, 25))).Ok());

    for (const auto& [left, plan] : {std::pair{1u, afterPrepayment}, {0u, signedPlan}}) {
        const EventStoreResult undone = events.UndoLatest(id);
        ASSERT_TRUE(undone.Ok()) << undone.message;
        EXPECT_EQ(PlanText(), plan);
        ASSERT_TRUE(undone.basis.has_value());
        EXPECT_EQ(undone.basis->events.size(), left);
    }
    EXPECT_EQ(Count("tabEventi") + Count("tabEventiPDA"), 0);

    const EventStoreResult none = events.UndoLatest(id);
    EXPECT_EQ(none.code, EventStoreCode::Refused);
    EXPECT_EQ(none.message, "Il contratto non ha eventi da annullare.");
}

TEST_P(ContractEventStoreTest, APrepaymentReDerivesThePlanFromItsDate) {
    const EventStoreResult recorded =
        events.Record(id, Prepay(Ymd(2028, 1, 15), 500000, PrepaymentEffect::ShortenTerm));
    ASSERT_TRUE(recorded.Ok()) << recorded.message;
    const auto basis = events.Basis(id);
    ASSERT_EQ(basis->plan.rows.size(), 60u);
    EXPECT_EQ(basis->plan.rows.back().date, Ymd(2031, 1, 15));
    EXPECT_EQ(basis->plan.rows.back().instalment, Cents(5916));
    EXPECT_EQ(basis->events[0].event.note, "Bonus");
    EXPECT_EQ(basis->events[0].paid, Cents(500000));
    // The prepayment's line after the 24th instalment, the rest written after it.
    Recordset onTheDate(db,
                        "SELECT Tipo, QCapitale, DebitoRes FROM tabPDA WHERE Data = "
                        "'2028-01-15' ORDER BY ID");
    EXPECT_EQ(onTheDate.Value("Tipo").ToText(), "Rata");
    EXPECT_DOUBLE_EQ(onTheDate.Value("DebitoRes").ToDouble(), 13134.93);
    onTheDate.MoveNext();
    EXPECT_EQ(onTheDate.Value("Tipo").ToText(), "Rimborso parziale");
    EXPECT_DOUBLE_EQ(onTheDate.Value("QCapitale").ToDouble(), 5000);
    EXPECT_DOUBLE_EQ(onTheDate.Value("DebitoRes").ToDouble(), 8134.93);
    EXPECT_EQ(CountOf(db, "SELECT RigheScritte FROM tabEventi"), 38);
}

// Bad input is refused with its message and the archive stays as it was.
TEST_P(ContractEventStoreTest, RefusedEventsStoreNothing) {
    ASSERT_TRUE(events.Record(id, Prepay(Ymd(2027, 1, 15), 300000)).Ok());
    const std::string plan = PlanText();
    const std::string eventRows = DumpTable(db, "tabEventi");
    for (const auto& [event, message] : std::vector<std::pair<ContractEvent, std::string>>{
             {Payoff(Ymd(2026, 1, 1)),
              "La data dell'evento (01/01/2026) precede la data del contratto (15/01/2026)."},
             {Payoff(Ymd(2027, 1, 14)),
              "La data dell'evento (14/01/2027) precede quella dell'ultimo evento registrato "
              "(15/01/2027)."},
             {Prepay(Ymd(2027, 2, 15), 2000000),
              "L'importo del rimborso parziale (20.000,00) deve essere minore del debito residuo "
              "(12.220,84): per chiudere il contratto registrare l'estinzione."}}) {
        const EventStoreResult refused = events.Record(id, event);
        EXPECT_EQ(refused.code, EventStoreCode::Refused);
        EXPECT_EQ(refused.message, message);
    }
    const EventStoreResult gone = events.Record(id + 1, Payoff(Ymd(2028, 1, 15)));
    EXPECT_EQ(gone.code, EventStoreCode::ContractGone);
    EXPECT_EQ(gone.message, "Il contratto non si trova più nell'archivio: è stato eliminato.");
    EXPECT_EQ(events.UndoLatest(id + 1).code, EventStoreCode::ContractGone);
    EXPECT_EQ(PlanText(), plan);
    EXPECT_EQ(DumpTable(db, "tabEventi"), eventRows);
}

// Figures shown on the contract as it was are not recorded once another desk changed it;
// the basis a recording returns is the contract as it now is.
TEST_P(ContractEventStoreTest, AnEventShownOnAContractChangedMeanwhileIsRefused) {
    const EventBasis opened = *events.Basis(id);
    const EventStoreResult first = events.Record(id, Prepay(Ymd(2027, 1, 15), 300000), &opened);
    ASSERT_TRUE(first.Ok()) << first.message;
    const EventBasis stale = opened;
    const std::string plan = PlanText();
    const std::string eventRows = DumpTable(db, "tabEventi");

    const EventStoreResult refused = events.Record(id, Payoff(Ymd(2028, 1, 15)), &stale);
    EXPECT_EQ(refused.code, EventStoreCode::Refused);
    EXPECT_EQ(refused.message,
              "Il contratto è stato modificato da un'altra postazione mentre la finestra era "
              "aperta: non è stato registrato nulla. Chiudere e riaprire la finestra per "
              "rivedere le cifre.");
    EXPECT_EQ(PlanText(), plan);
    EXPECT_EQ(DumpTable(db, "tabEventi"), eventRows);

    // On the basis the first recording returned, and on one read afresh, the next one is
    // recorded.
    const EventStoreResult second =
        events.Record(id, Prepay(Ymd(2027, 6, 15), 100000), &*first.basis);
    ASSERT_TRUE(second.Ok()) << second.message;
    const EventBasis reread = *events.Basis(id);
    EXPECT_TRUE(events.Record(id, Payoff(Ymd(2028, 1, 15)), &reread).Ok());
}

TEST_P(ContractEventStoreTest, AFailureWhileWritingLeavesTheArchiveAsItWas) {
    const std::string plan = PlanText();
    testing::InstallFailingPlanTrigger(db, 20);
    const EventStoreResult failed = events.Record(id, Prepay(Ymd(2027, 1, 15), 300000));
    EXPECT_EQ(failed.code, EventStoreCode::Failed);
    EXPECT_EQ(failed.message + "\n", testing::FailingTriggerLine(GetParam()));
    testing::RemoveFailingPlanTriggers(db);
    EXPECT_EQ(PlanText(), plan);
    EXPECT_EQ(Count("tabEventi") + Count("tabEventiPDA"), 0);
}

TEST_P(ContractEventStoreTest, SavingAContractWithEventsKeepsItsTermsAndItsPlan) {
    ASSERT_TRUE(events.Record(id, Prepay(Ymd(2027, 1, 15), 300000)).Ok());
    const std::string plan = PlanText();
    ScopedToday signing(Ymd(2026, 1, 10));

    // A new description and type are saved; the plan a calculation made is not written.
    ContractForm renamed = ConsumerForm("Prestito auto di Anna");
    renamed.cboTipoLea = "Leasing";
    const SaveResult saved = contracts.Save(renamed, ConsumerPlan(), PlanOwner::For(id, renamed),
                                            SaveMode::StoredContract, id);
    EXPECT_EQ(saved.status, SaveStatus::Saved);
    EXPECT_FALSE(saved.planWritten);
    EXPECT_EQ(PlanText(), plan);
    EXPECT_EQ(contracts.Load(id)->txtDescBene, "Prestito auto di Anna");

    // A changed term is refused, and nothing changes.
    ContractForm changed = renamed;
    changed.txtTasso = "5,00";
    const SaveResult refused = contracts.Save(changed, ConsumerPlan(), PlanOwner::For(id, changed),
                                              SaveMode::StoredContract, id);
    EXPECT_EQ(refused.status, SaveStatus::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt,
              "Il contratto ha eventi registrati: i termini firmati restano quelli del contratto "
              "(si possono cambiare la descrizione e la tipologia). Per cambiarli annullare prima "
              "gli eventi.");
    EXPECT_EQ(contracts.Load(id)->txtTasso, "5,35");
    EXPECT_EQ(PlanText(), plan);
}

TEST_P(ContractEventStoreTest, DeletingTheContractDeletesItsEvents) {
    ASSERT_TRUE(events.Record(id, Prepay(Ymd(2027, 1, 15), 300000)).Ok());
    EXPECT_EQ(contracts.Delete(id), DeleteStatus::Deleted);
    EXPECT_EQ(Count("tabEventi") + Count("tabEventiPDA") + Count("tabPDA"), 0);
}

TEST_P(ContractEventStoreTest, ACopyOfTheArchiveCarriesTheEvents) {
    ASSERT_TRUE(events.Record(id, Prepay(Ymd(2027, 1, 15), 300000)).Ok());
    const auto target = archive.Folder() / "copia.mdb";
    const ArchiveSetup copied =
        MakeArchiveFile(target, [this](Database& to) { return CopyArchive(db, to); });
    ASSERT_TRUE(copied.ok) << copied.message;
    Database copy = Database::Open(target);
    EXPECT_EQ(CountOf(copy, "SELECT COUNT(*) FROM tabEventi"), 1);
    EXPECT_EQ(CountOf(copy, "SELECT COUNT(*) FROM tabEventiPDA"), 73);
    ContractEventStore copied_events(copy);
    ASSERT_TRUE(copied_events.UndoLatest(id).Ok());
    EXPECT_EQ(CountOf(copy, "SELECT COUNT(*) FROM tabPDA WHERE Tipo = 'Rata'"), 84);
}

TEST_P(ContractEventStoreTest, AClassicPlanTakesEventsOnItsStoredLines) {
    const std::int32_t classic = SaveNew(ConsumerForm("Classico", false), false);
    const auto basis = events.Basis(classic);
    EXPECT_EQ(basis->terms.plan, PlanKind::Classic);
    const EventStoreResult recorded = events.Record(classic, Prepay(Ymd(2028, 1, 15), 500000));
    ASSERT_TRUE(recorded.Ok()) << recorded.message;
    const CentsPlan& after = recorded.basis->plan;
    // Re-derived to the cent: the last instalment closes the debt exactly.
    EXPECT_EQ(after.rows.back().residual, Money());
    EXPECT_EQ(after.rows[23].residual, basis->plan.rows[23].residual);
}

TEST_P(ContractEventStoreTest, AnIndexedContractIsReadAsSuch) {
    ContractForm form = ConsumerForm("Indicizzato");
    form.cboTxRif = "Euribor 3 mesi";
    const std::int32_t indexed = SaveNew(form);
    EXPECT_EQ(events.Basis(indexed)->terms.indexation, RateIndexation::Indexed);
    const EventStoreResult recorded = events.Record(indexed, Payoff(Ymd(2028, 1, 15)));
    ASSERT_TRUE(recorded.Ok());
    EXPECT_EQ(std::get<PayoffStatement>(recorded.result->figures).penalty.amount, Money());
}

void ExpectSameRows(const CentsPlan& read, const CentsPlan& computed) {
    ASSERT_EQ(read.rows.size(), computed.rows.size());
    for (std::size_t k = 0; k < read.rows.size(); ++k) {
        const CentsPlanRow& a = read.rows[k];
        const CentsPlanRow& b = computed.rows[k];
        EXPECT_TRUE(a.date == b.date && a.rate == b.rate && a.instalment == b.instalment &&
                    a.interest == b.interest && a.capital == b.capital &&
                    a.residual == b.residual && a.kind == b.kind &&
                    a.deferredInterest == b.deferredInterest && a.fundInterest == b.fundInterest)
            << "row " << k + 1;
    }
}

TEST_P(ContractEventStoreTest, HolidaysAndSurrogationsAreStoredReadAgainAndUndone) {
    const std::string signedText = PlanText();
    const CentsPlan signedPlan = events.Basis(id)->plan;
    const ContractEvent holiday{
        Ymd(2026, 6, 15),
        SuspensionOptions{6, SuspensionKind::Whole, SuspendedInterest::Deferred,
                          Percent::FromHundredths(5000)},
        ""};
    RenegotiationOptions change;
    change.rate = Percent::FromHundredths(400);
    change.periodsPerYear = 4;
    change.lender = "Banca Due";
    const ContractEvent surrogation{Ymd(2027, 6, 15), change, ""};
    const ContractEvent prepayment = Prepay(Ymd(2028, 3, 15), 100000);

    const EventStoreResult first = events.Record(id, holiday);
    ASSERT_TRUE(first.Ok()) << first.message;
    const std::string afterHoliday = PlanText();
    ExpectSameRows(events.Basis(id)->plan, first.result->plan);
    for (const ContractEvent& event : {surrogation, prepayment}) {
        const EventStoreResult recorded = events.Record(id, event);
        ASSERT_TRUE(recorded.Ok()) << recorded.message;
    }

    // Read again, the plan is the plan the events make of the signed one, at the quarterly
    // periodicity the surrogation set.
    const auto basis = events.Basis(id);
    const auto computed =
        PlanWithEvents(basis->terms, signedPlan, {holiday, surrogation, prepayment});
    ASSERT_TRUE(std::holds_alternative<CentsPlan>(computed));
    ExpectSameRows(basis->plan, std::get<CentsPlan>(computed));
    ASSERT_EQ(basis->events.size(), 3u);
    EXPECT_EQ(basis->events[0].event.options, holiday.options);
    EXPECT_EQ(basis->events[1].event.options, surrogation.options);
    EXPECT_EQ(basis->events[1].event.Kind(), EventKind::Surrogation);
    EXPECT_EQ(basis->termsInForce.periodsPerYear, 4);

    // A holiday from a date before the surrogation is refused, nothing stored.
    const std::string before = PlanText();
    const EventStoreResult refused = events.Record(id, holiday);
    EXPECT_EQ(refused.code, EventStoreCode::Refused);
    EXPECT_EQ(PlanText(), before);

    ASSERT_TRUE(events.UndoLatest(id).Ok());
    ASSERT_TRUE(events.UndoLatest(id).Ok());
    EXPECT_EQ(PlanText(), afterHoliday);
    ASSERT_TRUE(events.UndoLatest(id).Ok());
    EXPECT_EQ(PlanText(), signedText);
}

}  // namespace
}  // namespace quotaplan
