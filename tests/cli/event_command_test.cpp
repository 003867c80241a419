#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "calc_archive_fixture.h"
#include "cli/quotaplan_calc.h"

namespace quotaplan {
namespace {

using test::CalcArchive;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

// The published case: 17.482,81 over 84 monthly instalments at 5,35 % simple, to the cent.
const std::vector<std::string> kConsumerContract = {
    "--value",    "17482.81",        "--rate",     "5.35",
    "--simple",   "--count",         "84",         "--plan",
    "cents",      "--contract-date", "2026-01-15", "--first-date",
    "2026-02-15", "--contract-fees", "2594.76"};

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Calc(std::vector<std::string> args, const std::vector<std::string>& more = {}) {
    args.insert(args.end(), more.begin(), more.end());
    std::ostringstream out, err;
    const int status = RunQuotaplanCalc(args, out, err, std::filesystem::temp_directory_path());
    return {status, out.str(), err.str()};
}

Outcome OnConsumer(const std::vector<std::string>& event) { return Calc(kConsumerContract, event); }

// 100.000 at 3 % a year compound over 120 monthly instalments, to the cent.
const std::vector<std::string> kMortgage = {
    "--value", "100000", "--rate",          "3",          "--count",      "120",
    "--plan",  "cents",  "--contract-date", "2026-01-10", "--first-date", "2026-02-10"};

// The published case with 2.000 of contract fees, the rest given as costs of the statement.
const std::vector<std::string> kLowerFees = [] {
    std::vector<std::string> args = kConsumerContract;
    args.back() = "2000";
    return args;
}();

// An event on an unsaved contract: the whole output, or where it starts, what it holds and
// what it must not hold.
struct PrintedEvent {
    const char* name;
    const std::vector<std::string>* contract;
    std::vector<std::string> event;
    std::string whole;
    std::string starts{};
    std::vector<std::string> holds{};
    std::string lacks{};
};

void PrintTo(const PrintedEvent& example, std::ostream* out) { *out << example.name; }

class EventOnCalculation : public ::testing::TestWithParam<PrintedEvent> {};

TEST_P(EventOnCalculation, Printed) {
    const PrintedEvent& example = GetParam();
    const Outcome printed = Calc(*example.contract, example.event);
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(example.whole.empty() ? "" : printed.out, example.whole);
    EXPECT_TRUE(printed.out.starts_with(example.starts)) << printed.out;
    for (const std::string& part : example.holds) EXPECT_THAT(printed.out, HasSubstr(part));
    EXPECT_THAT(printed.out, Not(HasSubstr(example.lacks.empty() ? "\x01" : example.lacks)));
}

INSTANTIATE_TEST_SUITE_P(
    Events, EventOnCalculation,
    ::testing::Values(
        PrintedEvent{"PayoffOnTheInterestCurve",
                     &kConsumerContract,
                     {"--payoff", "2028-01-15", "--penalty", "consumer"},
                     "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": "
                     "117.59, \"penalty_rule\": \"consumatore 1% di 11.759,27\", \"refund\": "
                     "1375.66, \"refund_rule\": \"curva degli interessi: 1.864,02 su 3.515,90\", "
                     "\"instalments_due\": 60, \"total\": 11876.86}\n"},
        PrintedEvent{"PayoffProRata",
                     &kConsumerContract,
                     {"--payoff", "2028-01-15", "--penalty", "consumer", "--refund", "pro-rata"},
                     "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": "
                     "112.82, \"penalty_rule\": \"consumatore 1% di 11.281,53\", \"refund\": "
                     "1853.4, \"refund_rule\": \"pro rata temporis: 60 rate su 84\", "
                     "\"instalments_due\": 60, \"total\": 11394.35}\n"},
        // Unsaved, the contract has no type: no penalty unless asked for.
        PrintedEvent{"PayoffWithoutPenalty",
                     &kConsumerContract,
                     {"--payoff", "2028-01-25", "--refund", "pro-rata"},
                     "{\"residual_capital\": 13134.93, \"accrued_interest\": 19.25, \"penalty\": "
                     "0, \"penalty_rule\": \"nessuna\", \"refund\": 1853.4, \"refund_rule\": "
                     "\"pro rata temporis: 60 rate su 84\", \"instalments_due\": 60, \"total\": "
                     "11300.78}\n"},
        // The costs given add to the contract fees.
        PrintedEvent{"PayoffWithCosts",
                     &kLowerFees,
                     {"--payoff", "2028-01-15", "--costs", "594.76", "--penalty", "0.5"},
                     "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": "
                     "58.8, \"penalty_rule\": \"contrattuale 0,5% di 11.759,27\", \"refund\": "
                     "1375.66, \"refund_rule\": \"curva degli interessi: 1.864,02 su 3.515,90\", "
                     "\"instalments_due\": 60, \"total\": 11818.07}\n"},
        PrintedEvent{"PayoffDiscounted",
                     &kConsumerContract,
                     {"--payoff", "2032-09-15", "--method", "discount", "--discount-rate", "4"},
                     "",
                     "",
                     {"\"residual_capital\": 991.39, \"accrued_interest\": 0,"}},
        PrintedEvent{"PrepaymentKeepingTheTerm",
                     &kConsumerContract,
                     {"--prepay", "2028-01-15", "--amount", "5000", "--keep", "term", "--penalty",
                      "consumer"},
                     "",
                     "{\"instalment\": 154.82, \"penalty\": 50, \"accrued_interest\": 0, "
                     "\"plan\": [\n",
                     {"{\"type\": \"Rimborso parziale\", \"date\": \"2028-01-15\", \"rate\": "
                      "5.35, \"amount\": 5000, \"capital\": 5000, \"interest\": 0, "
                      "\"residual\": 8134.93}",
                      "{\"type\": \"Rata\", \"number\": 84, \"date\": \"2033-01-15\", \"rate\": "
                      "5.35, \"amount\": 155.1, \"capital\": 154.41, \"interest\": 0.69, "
                      "\"residual\": 0}"}},
        PrintedEvent{"PrepaymentKeepingTheInstalment",
                     &kConsumerContract,
                     {"--prepay", "2028-01-15", "--amount", "5000", "--keep", "instalment"},
                     "",
                     "",
                     {"{\"type\": \"Rata\", \"number\": 60, \"date\": \"2031-01-15\", "
                      "\"rate\": 5.35, \"amount\": 59.16,"},
                     "\"number\": 61"},
        PrintedEvent{
            "HolidayCapitalised",
            &kMortgage,
            {"--suspend", "2026-02-10", "--instalments", "6", "--kind", "all", "--fund-share", "0"},
            "",
            "{\"instalment\": 978.09, \"suspended_interest\": 1488.92, "
            "\"fund_interest\": 0, \"capitalised_interest\": 1488.92, "
            "\"deferred_interest\": 0, \"last_due\": \"2036-07-10\", \"plan\": [\n",
            {"{\"type\": \"Sospensione\", \"number\": 1, \"date\": \"2026-02-10\", "
             "\"rate\": 3, \"amount\": 0, \"capital\": -246.63, \"interest\": "
             "246.63, \"residual\": 100246.63}"}},
        // Half of each period's interest to the fund, to the cent period by period.
        PrintedEvent{"HolidayDeferredHalfFunded",
                     &kMortgage,
                     {"--suspend", "2026-02-10", "--instalments", "6", "--kind", "all",
                      "--interest", "defer", "--fund-share", "50"},
                     "",
                     "",
                     {"\"fund_interest\": 739.92, \"capitalised_interest\": 0, "
                      "\"deferred_interest\": 739.86,",
                      "{\"type\": \"Rata\", \"number\": 7, \"date\": \"2026-08-10\", "
                      "\"rate\": 3, \"amount\": 969.9, ",
                      "\"deferred_interest\": 6.16}", "\"deferred_interest\": 6.82}\n]}"}},
        // At the contract's own rate the instalment stays.
        PrintedEvent{"RenegotiationAtTheOwnRate",
                     &kMortgage,
                     {"--renegotiate", "2027-01-10", "--new-rate", "3"},
                     "",
                     "{\"instalment\": 963.74, \"rate\": 3, \"count\": 108, \"residual\": "
                     "91276.96, \"taeg\": 3, \"signed_taeg\": 3, \"plan\": ["},
        PrintedEvent{"Surrogation",
                     &kMortgage,
                     {"--renegotiate", "2027-01-10", "--new-ref-rate", "2", "--new-spread", "0.5",
                      "--new-count", "60", "--lender", "Banca Due"},
                     "",
                     "",
                     {"\"rate\": 2.5, \"count\": 60, ",
                      "\"lender\": \"Banca Due\", \"note\": \"Surroga (art. 120-quater TUB): "
                      "nessuna penale e nessun costo a carico del cliente.\""},
                     "\"number\": 73"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadEvent {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class EventOnCalculationRefusals : public ::testing::TestWithParam<BadEvent> {};

// Exit status 2 with the message, and nothing on standard output.
TEST_P(EventOnCalculationRefusals, SayWhyAndExitTwo) {
    const Outcome refused = OnConsumer(GetParam().args);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, std::string(GetParam().message) + "\n");
    EXPECT_EQ(refused.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, EventOnCalculationRefusals,
    ::testing::Values(
        BadEvent{"UnreadableDate",
                 {"--payoff", "15/01/2028"},
                 "Valore non valido per --payoff: \"15/01/2028\" (serve una data AAAA-MM-GG)"},
        BadEvent{"BeforeTheContract",
                 {"--payoff", "2025-12-31"},
                 "La data dell'evento (31/12/2025) precede la data del contratto (15/01/2026)."},
        BadEvent{"AfterTheLastInstalment",
                 {"--payoff", "2033-02-15"},
                 "La data dell'evento (15/02/2033) è successiva all'ultima rata (15/01/2033)."},
        BadEvent{"AmountMissing",
                 {"--prepay", "2028-01-15", "--keep", "term"},
                 "--prepay richiede --amount A, l'importo rimborsato."},
        BadEvent{"KeepMissing",
                 {"--prepay", "2028-01-15", "--amount", "100"},
                 "--prepay richiede --keep term (stesse rate, più basse) o --keep instalment "
                 "(stessa rata, meno rate)."},
        BadEvent{"AmountZero",
                 {"--prepay", "2028-01-15", "--amount", "0", "--keep", "term"},
                 "L'importo del rimborso parziale deve essere maggiore di zero."},
        BadEvent{"AmountAboveTheResidual",
                 {"--prepay", "2028-01-15", "--amount", "20000", "--keep", "term"},
                 "L'importo del rimborso parziale (20.000,00) deve essere minore del debito "
                 "residuo (13.134,93): per chiudere il contratto registrare l'estinzione."},
        BadEvent{"AmountUnreadable",
                 {"--prepay", "2028-01-15", "--amount", "1.000,00", "--keep", "term"},
                 "Valore non valido per --amount: \"1.000,00\" (serve un importo con il punto "
                 "decimale)"},
        BadEvent{"KeepUnknown",
                 {"--prepay", "2028-01-15", "--amount", "1", "--keep", "rata"},
                 "Valore non valido per --keep: \"rata\" (term o instalment)"},
        BadEvent{"PenaltyUnknown",
                 {"--payoff", "2028-01-15", "--penalty", "1%"},
                 "Valore non valido per --penalty: \"1%\" (none, consumer, home o una "
                 "percentuale come 0.5)"},
        BadEvent{
            "MethodWithAPrepayment",
            {"--prepay", "2028-01-15", "--amount", "1", "--keep", "term", "--method", "discount"},
            "--method si usa solo con --payoff."},
        BadEvent{"RateWithoutDiscount",
                 {"--payoff", "2028-01-15", "--discount-rate", "4"},
                 "--discount-rate si usa solo con --method discount."},
        BadEvent{"TwoEvents",
                 {"--payoff", "2028-01-15", "--prepay", "2028-01-15"},
                 "Indicare uno solo fra --payoff, --prepay, --suspend, --renegotiate e "
                 "--undo-event."},
        BadEvent{"SuspensionOffADueDate",
                 {"--suspend", "2028-01-16", "--instalments", "3", "--kind", "capital"},
                 "La sospensione parte da una scadenza del piano: il 16/01/2028 non è la data "
                 "di una rata."},
        BadEvent{"TooManySuspended",
                 {"--suspend", "2028-01-15", "--instalments", "40", "--kind", "all"},
                 "Le rate sospese devono essere da 1 a 36 (indicate: 40)."},
        BadEvent{"SuspendedNotANumber",
                 {"--suspend", "2028-01-15", "--instalments", "tre", "--kind", "all"},
                 "Valore non valido per --instalments: \"tre\" (serve un numero intero)"},
        BadEvent{"KindMissing",
                 {"--suspend", "2028-01-15", "--instalments", "3"},
                 "--suspend richiede --kind capital (solo quota capitale) o --kind all "
                 "(intera rata)."},
        BadEvent{"InterestOfCapitalOnly",
                 {"--suspend", "2028-01-15", "--instalments", "3", "--kind", "capital",
                  "--interest", "defer"},
                 "--interest si usa solo con --kind all."},
        BadEvent{"FundShareUnreadable",
                 {"--suspend", "2028-01-15", "--instalments", "3", "--kind", "all", "--fund-share",
                  "metà"},
                 "Valore non valido per --fund-share: \"metà\" (serve un tasso in percentuale "
                 "come 4.5)"},
        BadEvent{"RateNotANumber",
                 {"--renegotiate", "2028-01-15", "--new-rate", "3,5"},
                 "Valore non valido per --new-rate: \"3,5\" (serve un tasso in percentuale "
                 "come 4.5)"},
        BadEvent{"RenegotiationOffADueDate",
                 {"--renegotiate", "2028-01-20", "--new-rate", "3"},
                 "La rinegoziazione parte da una scadenza del piano: il 20/01/2028 non è la "
                 "data di una rata."},
        BadEvent{
            "NewRateWithAHoliday",
            {"--suspend", "2028-01-15", "--instalments", "3", "--kind", "all", "--new-rate", "3"},
            "--new-rate si usa solo con --renegotiate."},
        BadEvent{"PenaltyWithARenegotiation",
                 {"--renegotiate", "2028-01-15", "--new-rate", "3", "--penalty", "none"},
                 "--penalty si usa solo con --payoff o --prepay."},
        BadEvent{"RecordWithoutId",
                 {"--payoff", "2028-01-15", "--record"},
                 "--record richiede --id N, un contratto dell'archivio."},
        BadEvent{"CsvFormat",
                 {"--payoff", "2028-01-15", "--format", "csv"},
                 "Gli eventi si stampano solo in JSON."}),
    [](const auto& info) { return std::string(info.param.name); });

class StoredEvents : public CalcArchive {
protected:
    // The published case saved as consumer credit: its type's regime is "consumatore".
    void SaveConsumer() {
        std::vector<std::string> args = kConsumerContract;
        args.insert(args.end(), {"--save", "Prestito auto", "--type", "Credito al consumo"});
        ASSERT_EQ(Run(args), 0) << err_;
        ASSERT_EQ(out_, "1\n");
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, StoredEvents, testing::kEngines, testing::EngineName);

TEST_P(StoredEvents, StatedRecordedShownAndUndone) {
    SaveConsumer();
    // The type's penalty regime by default; a statement alone stores nothing.
    EXPECT_EQ(Ok({"--id", "1", "--payoff", "2028-01-15"}),
              "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": 117.59, "
              "\"penalty_rule\": \"consumatore 1% di 11.759,27\", \"refund\": 1375.66, "
              "\"refund_rule\": \"curva degli interessi: 1.864,02 su 3.515,90\", "
              "\"instalments_due\": 60, \"total\": 11876.86}\n");
    EXPECT_THAT(Ok({"--show", "1"}), EndsWith("  \"events\": []\n}\n"));

    Ok({"--id", "1", "--prepay", "2027-01-15", "--amount", "3000", "--keep", "instalment",
        "--penalty", "none", "--record"});
    const std::string recorded = Ok({"--id", "1", "--payoff", "2028-01-25", "--record"});
    const std::string shown = Ok({"--show", "1"});
    EXPECT_THAT(shown, HasSubstr("  \"events\": [\n    {\"id\": 1, \"date\": \"2027-01-15\", "
                                 "\"kind\": \"Rimborso parziale\", \"amount\": 3000, \"penalty\": "
                                 "0, \"refund\": 0, \"options\": \"effetto=durata;penale=none\", "
                                 "\"note\": \"\"},\n    {\"id\": 2, \"date\": \"2028-01-25\", "
                                 "\"kind\": \"Estinzione\""));
    EXPECT_THAT(shown, HasSubstr("\"type\": \"Estinzione\", \"date\": \"2028-01-25\""));

    // Paid off: nothing more can be recorded, and the statement is as recorded.
    Refused({"--id", "1", "--payoff", "2028-02-15", "--record"},
            "Il contratto è già stato estinto il 25/01/2028: non si possono registrare altri "
            "eventi.");
    EXPECT_EQ(Ok({"--undo-event", "--id", "1"}), "{\"removed\": 2}\n");
    // An event before the latest one recorded is refused, and nothing is stored.
    Refused({"--id", "1", "--payoff", "2026-12-15", "--record"},
            "La data dell'evento (15/12/2026) precede quella dell'ultimo evento registrato "
            "(15/01/2027).");
    EXPECT_EQ(Ok({"--id", "1", "--payoff", "2028-01-25", "--record"}), recorded);
    Ok({"--undo-event", "--id", "1"});
    Ok({"--undo-event", "--id", "1"});
    Refused({"--undo-event", "--id", "1"}, "Il contratto non ha eventi da annullare.");
}

TEST_P(StoredEvents, HolidayAndSurrogationRecordedShownAndUndone) {
    SaveConsumer();
    const std::vector<std::string> holidayArgs = {
        "--id", "1",      "--suspend", "2027-01-15", "--instalments",
        "3",    "--kind", "all",       "--interest", "defer"};
    std::vector<std::string> recordHoliday = holidayArgs;
    recordHoliday.push_back("--record");
    const std::string holiday = Ok(recordHoliday);
    EXPECT_THAT(holiday, HasSubstr("\"last_due\": \"2033-04-15\""));
    EXPECT_THAT(Ok({"--id", "1", "--renegotiate", "2028-04-15", "--new-rate", "4", "--lender",
                    "Banca Due", "--record"}),
                HasSubstr("\"rate\": 4, \"count\": 60,"));
    const std::string shown = Ok({"--show", "1"});
    EXPECT_THAT(shown,
                HasSubstr("{\"id\": 1, \"date\": \"2027-01-15\", \"kind\": "
                          "\"Sospensione\", \"amount\": 0, \"penalty\": 0, \"refund\": 0, "
                          "\"options\": \"rate=3;sospesa=intera;interessi=differiti;fondo=0\", "
                          "\"note\": \"\"},"));
    EXPECT_THAT(shown, HasSubstr("\"kind\": \"Surroga\", \"amount\": 0, \"penalty\": 0, "
                                 "\"refund\": 0, \"options\": \"tasso=4;istituto=Banca Due\""));
    EXPECT_THAT(shown,
                HasSubstr("\"type\": \"Sospensione\", \"date\": \"2027-01-15\", "
                          "\"rate\": 5.35, \"amount\": 0, \"capital\": 0, \"interest\": 0,"));
    // Before the surrogation: refused, nothing stored.
    Refused({"--id", "1", "--suspend", "2028-01-15", "--instalments", "1", "--kind", "capital",
             "--record"},
            "La data dell'evento (15/01/2028) precede quella dell'ultimo evento registrato "
            "(15/04/2028).");
    Ok({"--undo-event", "--id", "1"});
    EXPECT_EQ(Run(holidayArgs), 2);
    Ok({"--undo-event", "--id", "1"});
    EXPECT_EQ(Ok(holidayArgs), holiday);
}

TEST_P(StoredEvents, RefusedOnTheArchive) {
    SaveConsumer();
    const struct {
        std::vector<std::string> args;
        const char* message;
    } refusals[] = {
        {{"--id", "9", "--payoff", "2028-01-15"}, "Il contratto 9 non è nell'archivio."},
        {{"--undo-event", "--id", "9"}, "Il contratto 9 non è nell'archivio."},
        {{"--id", "uno", "--payoff", "2028-01-15"},
         "Valore non valido per --id: \"uno\" (serve l'ID di un contratto)"},
        {{"--id", "1", "--value", "1000", "--payoff", "2028-01-15"},
         "Con --id il contratto è quello archiviato: --value non si usa."},
        {{"--id", "1", "--prepay", "2028-01-15", "--amount", "14000", "--keep", "term", "--record"},
         "L'importo del rimborso parziale (14.000,00) deve essere minore del debito residuo "
         "(13.134,93): per chiudere il contratto registrare l'estinzione."}};
    for (const auto& refusal : refusals) Refused(refusal.args, refusal.message);
    EXPECT_THAT(Ok({"--show", "1"}), EndsWith("  \"events\": []\n}\n"));
}

}  // namespace
}  // namespace quotaplan
