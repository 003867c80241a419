#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "calc_archive_fixture.h"
#include "cli/quotaplan_calc.h"

namespace quotaplan {
namespace {

using test::CalcArchive;

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

TEST(EventOnCalculation, ThePayoffStatementOfThePublishedCase) {
    const Outcome curve = OnConsumer({"--payoff", "2028-01-15", "--penalty", "consumer"});
    ASSERT_EQ(curve.status, 0) << curve.err;
    EXPECT_EQ(curve.out,
              "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": 117.59, "
              "\"penalty_rule\": \"consumatore 1% di 11.759,27\", \"refund\": 1375.66, "
              "\"refund_rule\": \"curva degli interessi: 1.864,02 su 3.515,90\", "
              "\"instalments_due\": 60, \"total\": 11876.86}\n");
    const Outcome proRata =
        OnConsumer({"--payoff", "2028-01-15", "--penalty", "consumer", "--refund", "pro-rata"});
    ASSERT_EQ(proRata.status, 0) << proRata.err;
    EXPECT_EQ(proRata.out,
              "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": 112.82, "
              "\"penalty_rule\": \"consumatore 1% di 11.281,53\", \"refund\": 1853.4, "
              "\"refund_rule\": \"pro rata temporis: 60 rate su 84\", "
              "\"instalments_due\": 60, \"total\": 11394.35}\n");
}

TEST(EventOnCalculation, StatementOptions) {
    // Unsaved, the contract has no type: no penalty unless asked for.
    const Outcome plain = OnConsumer({"--payoff", "2028-01-25", "--refund", "pro-rata"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out,
              "{\"residual_capital\": 13134.93, \"accrued_interest\": 19.25, \"penalty\": 0, "
              "\"penalty_rule\": \"nessuna\", \"refund\": 1853.4, \"refund_rule\": \"pro rata "
              "temporis: 60 rate su 84\", \"instalments_due\": 60, \"total\": 11300.78}\n");
    // The costs given add to the contract fees.
    std::vector<std::string> lowerFees = kConsumerContract;
    lowerFees.back() = "2000";
    const Outcome costs =
        Calc(lowerFees, {"--payoff", "2028-01-15", "--costs", "594.76", "--penalty", "0.5"});
    ASSERT_EQ(costs.status, 0) << costs.err;
    EXPECT_EQ(costs.out,
              "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": 58.8, "
              "\"penalty_rule\": \"contrattuale 0,5% di 11.759,27\", \"refund\": 1375.66, "
              "\"refund_rule\": \"curva degli interessi: 1.864,02 su 3.515,90\", "
              "\"instalments_due\": 60, \"total\": 11818.07}\n");
    const Outcome discounted =
        OnConsumer({"--payoff", "2032-09-15", "--method", "discount", "--discount-rate", "4"});
    ASSERT_EQ(discounted.status, 0) << discounted.err;
    EXPECT_NE(discounted.out.find("\"residual_capital\": 991.39, \"accrued_interest\": 0,"),
              std::string::npos)
        << discounted.out;
}

TEST(EventOnCalculation, APrepaymentPrintsTheNewPlan) {
    const Outcome lower = OnConsumer(
        {"--prepay", "2028-01-15", "--amount", "5000", "--keep", "term", "--penalty", "consumer"});
    ASSERT_EQ(lower.status, 0) << lower.err;
    EXPECT_TRUE(lower.out.starts_with(
        "{\"instalment\": 154.82, \"penalty\": 50, \"accrued_interest\": 0, \"plan\": [\n"))
        << lower.out;
    EXPECT_NE(lower.out.find("{\"type\": \"Rimborso parziale\", \"date\": \"2028-01-15\", "
                             "\"rate\": 5.35, \"amount\": 5000, \"capital\": 5000, "
                             "\"interest\": 0, \"residual\": 8134.93}"),
              std::string::npos)
        << lower.out;
    EXPECT_NE(lower.out.find("{\"type\": \"Rata\", \"number\": 84, \"date\": \"2033-01-15\", "
                             "\"rate\": 5.35, \"amount\": 155.1, \"capital\": 154.41, "
                             "\"interest\": 0.69, \"residual\": 0}"),
              std::string::npos);

    const Outcome shorter =
        OnConsumer({"--prepay", "2028-01-15", "--amount", "5000", "--keep", "instalment"});
    ASSERT_EQ(shorter.status, 0) << shorter.err;
    EXPECT_NE(shorter.out.find("{\"type\": \"Rata\", \"number\": 60, \"date\": \"2031-01-15\", "
                               "\"rate\": 5.35, \"amount\": 59.16,"),
              std::string::npos)
        << shorter.out;
    EXPECT_EQ(shorter.out.find("\"number\": 61"), std::string::npos);
}

// 100.000 at 3 % a year compound over 120 monthly instalments, to the cent.
const std::vector<std::string> kMortgage = {
    "--value", "100000",     "--rate",       "3",          "--count",
    "120",     "--plan",     "cents",        "--contract-date", "2026-01-10",
    "--first-date", "2026-02-10"};

TEST(EventOnCalculation, AHolidayPrintsTheLengthenedPlan) {
    const Outcome whole = Calc(kMortgage, {"--suspend", "2026-02-10", "--instalments", "6",
                                           "--kind", "all", "--fund-share", "0"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_TRUE(whole.out.starts_with(
        "{\"instalment\": 978.09, \"suspended_interest\": 1488.92, \"fund_interest\": 0, "
        "\"capitalised_interest\": 1488.92, \"deferred_interest\": 0, \"last_due\": "
        "\"2036-07-10\", \"plan\": [\n"))
        << whole.out;
    EXPECT_NE(whole.out.find("{\"type\": \"Sospensione\", \"number\": 1, \"date\": "
                             "\"2026-02-10\", \"rate\": 3, \"amount\": 0, \"capital\": -246.63, "
                             "\"interest\": 246.63, \"residual\": 100246.63}"),
              std::string::npos)
        << whole.out;

    const Outcome deferred =
        Calc(kMortgage, {"--suspend", "2026-02-10", "--instalments", "6", "--kind", "all",
                         "--interest", "defer", "--fund-share", "50"});
    ASSERT_EQ(deferred.status, 0) << deferred.err;
    // Half of each period's interest, to the cent period by period.
    EXPECT_NE(deferred.out.find("\"fund_interest\": 739.92, \"capitalised_interest\": 0, "
                                "\"deferred_interest\": 739.86,"),
              std::string::npos)
        << deferred.out;
    EXPECT_NE(deferred.out.find("{\"type\": \"Rata\", \"number\": 7, \"date\": "
                                "\"2026-08-10\", \"rate\": 3, \"amount\": 969.9, "),
              std::string::npos)
        << deferred.out;
    EXPECT_NE(deferred.out.find("\"deferred_interest\": 6.16}"), std::string::npos);
    EXPECT_NE(deferred.out.find("\"deferred_interest\": 6.82}\n]}"), std::string::npos);
}

TEST(EventOnCalculation, ARenegotiationAtTheOwnRateKeepsTheInstalment) {
    const Outcome same = Calc(kMortgage, {"--renegotiate", "2027-01-10", "--new-rate", "3"});
    ASSERT_EQ(same.status, 0) << same.err;
    EXPECT_TRUE(same.out.starts_with("{\"instalment\": 963.74, \"rate\": 3, \"count\": 108, "
                                     "\"residual\": 91276.96, \"taeg\": 3, \"signed_taeg\": 3, "
                                     "\"plan\": ["))
        << same.out;
    const Outcome surrogation =
        Calc(kMortgage, {"--renegotiate", "2027-01-10", "--new-ref-rate", "2", "--new-spread",
                         "0.5", "--new-count", "60", "--lender", "Banca Due"});
    ASSERT_EQ(surrogation.status, 0) << surrogation.err;
    EXPECT_NE(surrogation.out.find("\"rate\": 2.5, \"count\": 60, "), std::string::npos)
        << surrogation.out;
    EXPECT_NE(surrogation.out.find("\"lender\": \"Banca Due\", \"note\": \"Surroga (art. "
                                   "120-quater TUB): nessuna penale e nessun costo a carico del "
                                   "cliente.\""),
              std::string::npos);
    EXPECT_EQ(surrogation.out.find("\"number\": 73"), std::string::npos);
}

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
                 {"--suspend", "2028-01-15", "--instalments", "3", "--kind", "all",
                  "--fund-share", "metà"},
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
        BadEvent{"NewRateWithAHoliday",
                 {"--suspend", "2028-01-15", "--instalments", "3", "--kind", "all",
                  "--new-rate", "3"},
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
    ASSERT_EQ(Run({"--id", "1", "--payoff", "2028-01-15"}), 0) << err_;
    EXPECT_EQ(out_,
              "{\"residual_capital\": 13134.93, \"accrued_interest\": 0, \"penalty\": 117.59, "
              "\"penalty_rule\": \"consumatore 1% di 11.759,27\", \"refund\": 1375.66, "
              "\"refund_rule\": \"curva degli interessi: 1.864,02 su 3.515,90\", "
              "\"instalments_due\": 60, \"total\": 11876.86}\n");
    ASSERT_EQ(Run({"--show", "1"}), 0) << err_;
    EXPECT_TRUE(out_.ends_with("  \"events\": []\n}\n")) << out_;

    ASSERT_EQ(Run({"--id", "1", "--prepay", "2027-01-15", "--amount", "3000", "--keep",
                   "instalment", "--penalty", "none", "--record"}),
              0)
        << err_;
    ASSERT_EQ(Run({"--id", "1", "--payoff", "2028-01-25", "--record"}), 0) << err_;
    const std::string recorded = out_;
    ASSERT_EQ(Run({"--show", "1"}), 0) << err_;
    EXPECT_NE(out_.find("  \"events\": [\n    {\"id\": 1, \"date\": \"2027-01-15\", \"kind\": "
                        "\"Rimborso parziale\", \"amount\": 3000, \"penalty\": 0, \"refund\": 0, "
                        "\"options\": \"effetto=durata;penale=none\", \"note\": \"\"},\n    "
                        "{\"id\": 2, \"date\": \"2028-01-25\", \"kind\": \"Estinzione\""),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find("\"type\": \"Estinzione\", \"date\": \"2028-01-25\""), std::string::npos);

    // Paid off: nothing more can be recorded, and the statement is as recorded.
    EXPECT_EQ(Run({"--id", "1", "--payoff", "2028-02-15", "--record"}), 2);
    EXPECT_EQ(err_,
              "Il contratto è già stato estinto il 25/01/2028: non si possono registrare altri "
              "eventi.\n");

    ASSERT_EQ(Run({"--undo-event", "--id", "1"}), 0) << err_;
    EXPECT_EQ(out_, "{\"removed\": 2}\n");
    // An event before the latest one recorded is refused, and nothing is stored.
    EXPECT_EQ(Run({"--id", "1", "--payoff", "2026-12-15", "--record"}), 2);
    EXPECT_EQ(err_,
              "La data dell'evento (15/12/2026) precede quella dell'ultimo evento registrato "
              "(15/01/2027).\n");
    ASSERT_EQ(Run({"--id", "1", "--payoff", "2028-01-25", "--record"}), 0) << err_;
    EXPECT_EQ(out_, recorded);
    ASSERT_EQ(Run({"--undo-event", "--id", "1"}), 0) << err_;
    ASSERT_EQ(Run({"--undo-event", "--id", "1"}), 0) << err_;
    EXPECT_EQ(Run({"--undo-event", "--id", "1"}), 2);
    EXPECT_EQ(err_, "Il contratto non ha eventi da annullare.\n");
}

TEST_P(StoredEvents, HolidayAndSurrogationRecordedShownAndUndone) {
    SaveConsumer();
    ASSERT_EQ(Run({"--id", "1", "--suspend", "2027-01-15", "--instalments", "3", "--kind", "all",
                   "--interest", "defer", "--record"}),
              0)
        << err_;
    const std::string holiday = out_;
    EXPECT_NE(holiday.find("\"last_due\": \"2033-04-15\""), std::string::npos) << holiday;
    ASSERT_EQ(Run({"--id", "1", "--renegotiate", "2028-04-15", "--new-rate", "4", "--lender",
                   "Banca Due", "--record"}),
              0)
        << err_;
    EXPECT_NE(out_.find("\"rate\": 4, \"count\": 60,"), std::string::npos) << out_;
    ASSERT_EQ(Run({"--show", "1"}), 0) << err_;
    EXPECT_NE(out_.find("{\"id\": 1, \"date\": \"2027-01-15\", \"kind\": \"Sospensione\", "
                        "\"amount\": 0, \"penalty\": 0, \"refund\": 0, \"options\": "
                        "\"rate=3;sospesa=intera;interessi=differiti;fondo=0\", \"note\": \"\"},"),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find("\"kind\": \"Surroga\", \"amount\": 0, \"penalty\": 0, \"refund\": 0, "
                        "\"options\": \"tasso=4;istituto=Banca Due\""),
              std::string::npos)
        << out_;
    EXPECT_NE(out_.find("\"type\": \"Sospensione\", \"date\": \"2027-01-15\", \"rate\": 5.35, "
                        "\"amount\": 0, \"capital\": 0, \"interest\": 0,"),
              std::string::npos);
    // Before the surrogation: refused, nothing stored.
    EXPECT_EQ(Run({"--id", "1", "--suspend", "2028-01-15", "--instalments", "1", "--kind",
                   "capital", "--record"}),
              2);
    EXPECT_EQ(err_,
              "La data dell'evento (15/01/2028) precede quella dell'ultimo evento registrato "
              "(15/04/2028).\n");
    ASSERT_EQ(Run({"--undo-event", "--id", "1"}), 0) << err_;
    ASSERT_EQ(Run({"--id", "1", "--suspend", "2027-01-15", "--instalments", "3", "--kind", "all",
                   "--interest", "defer"}),
              2);
    ASSERT_EQ(Run({"--undo-event", "--id", "1"}), 0) << err_;
    ASSERT_EQ(Run({"--id", "1", "--suspend", "2027-01-15", "--instalments", "3", "--kind", "all",
                   "--interest", "defer"}),
              0)
        << err_;
    EXPECT_EQ(out_, holiday);
}

TEST_P(StoredEvents, RefusedOnTheArchive) {
    SaveConsumer();
    EXPECT_EQ(Run({"--id", "9", "--payoff", "2028-01-15"}), 2);
    EXPECT_EQ(err_, "Il contratto 9 non è nell'archivio.\n");
    EXPECT_EQ(Run({"--undo-event", "--id", "9"}), 2);
    EXPECT_EQ(err_, "Il contratto 9 non è nell'archivio.\n");
    EXPECT_EQ(Run({"--id", "uno", "--payoff", "2028-01-15"}), 2);
    EXPECT_EQ(err_, "Valore non valido per --id: \"uno\" (serve l'ID di un contratto)\n");
    EXPECT_EQ(Run({"--id", "1", "--value", "1000", "--payoff", "2028-01-15"}), 2);
    EXPECT_EQ(err_, "Con --id il contratto è quello archiviato: --value non si usa.\n");
    EXPECT_EQ(Run({"--id", "1", "--prepay", "2028-01-15", "--amount", "14000", "--keep", "term",
                   "--record"}),
              2);
    EXPECT_EQ(err_,
              "L'importo del rimborso parziale (14.000,00) deve essere minore del debito "
              "residuo (13.134,93): per chiudere il contratto registrare l'estinzione.\n");
    ASSERT_EQ(Run({"--show", "1"}), 0);
    EXPECT_TRUE(out_.ends_with("  \"events\": []\n}\n")) << out_;
}

}  // namespace
}  // namespace quotaplan
