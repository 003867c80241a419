// Re-indexing the portfolio (--reindex-all and ReindexPortfolio), on each engine: the plans
// re-derived as --indexed would derive them, only the changed rows rewritten, each contract
// whole whatever stops the run.
#include <gtest/gtest.h>

#include <fstream>

#include "calc_archive_fixture.h"
#include "common/calendar_date.h"
#include "data/contract_store.h"
#include "data/portfolio_reindex.h"

namespace quotaplan {
namespace {

const std::vector<std::string> kContract = {
    "--indexed",  "--ref-rate",   "Euribor 3 mesi", "--spread", "1.5",
    "--value",    "10000",        "--count",        "12",       "--contract-date",
    "2026-01-15", "--first-date", "2026-02-15"};

std::vector<std::string> Plus(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

class Reindex : public test::CalcArchive {
protected:
    void Import(const std::string& lines, const std::string& rate = "Euribor 3 mesi") {
        const auto file = (archive_.Folder() / "serie.csv").string();
        std::ofstream(file, std::ios::binary) << "Data;Valore\n" << lines;
        ASSERT_EQ(Run({"--import-index", file, "--ref-rate", rate}), 0) << err_;
    }
    std::int32_t SaveIndexed(const std::string& name, std::vector<std::string> more = {}) {
        EXPECT_EQ(Run(Plus(Plus(kContract, {"--save", name}), more)), 0) << err_;
        return std::stoi(out_);
    }
    std::vector<StoredPlanRow> Rows(std::int32_t id) {
        Database db = Open();
        RecordingMessageBoxes quiet;
        return ContractStore(db, quiet).LoadPlanRows(id);
    }
    // The plan rows as --show prints them, without their IDs.
    std::string Shown(std::int32_t id) {
        EXPECT_EQ(Run({"--show", std::to_string(id)}), 0) << err_;
        std::string rows;
        for (std::size_t at = out_.find("\"type\"", out_.find("\"plan\"")); at != std::string::npos;
             at = out_.find("\"type\"", at + 1)) {
            rows += out_.substr(at, out_.find('}', at) - at) + "\n";
        }
        return rows;
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, Reindex, testing::kEngines, testing::EngineName);

// The July value changes instalments 7-12: those rows (and the buy-out row after them) are
// rewritten, the first six keep their rows; the plan is the one --indexed derives now.
TEST_P(Reindex, ANewValueRewritesTheRowsItChanges) {
    Import("01/01/2026;2,00\n01/04/2026;2,50\n");
    const std::int32_t id = SaveIndexed("Tornio");
    const auto before = Rows(id);
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 1, \"changed\": 0, \"rows\": 0, \"skipped\": []}\n");
    Import("01/07/2026;1,75\n");
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 1, \"changed\": 1, \"rows\": 7, \"skipped\": []}\n");
    const auto after = Rows(id);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t k = 0; k < 7; ++k) EXPECT_EQ(after[k].ID, before[k].ID) << k;  // maxi + 6
    EXPECT_NE(after[7].ID, before[7].ID);
    EXPECT_EQ(after[7].Tasso, 3.25);

    const std::int32_t fresh = SaveIndexed("Tornio nuovo");
    EXPECT_EQ(Shown(id), Shown(fresh));
}

TEST_P(Reindex, OnlyTheNamedReferenceRateOrType) {
    Import("01/01/2026;2,00\n");
    Import("01/01/2026;3,00\n", "Euribor 6 mesi");
    const std::int32_t three = SaveIndexed("Tre mesi", {"--type", "Leasing"});
    SaveIndexed("Sei mesi", {"--ref-rate", "Euribor 6 mesi", "--type", "Mutuo"});
    Import("01/04/2026;2,50\n");
    Import("01/04/2026;3,50\n", "Euribor 6 mesi");
    ASSERT_EQ(Run({"--reindex-all", "--ref-rate", "EURIBOR 3 MESI"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 1, \"changed\": 1, \"rows\": 10, \"skipped\": []}\n");
    ASSERT_EQ(Run({"--reindex-all", "--type", "mutuo"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 1, \"changed\": 1, \"rows\": 10, \"skipped\": []}\n");
    EXPECT_EQ(Rows(three).at(4).Tasso, 4.0);
    EXPECT_EQ(Run({"--reindex-all", "--type", "Aereo"}), 2);
    EXPECT_EQ(err_, "Valore non presente nell'archivio per --type: \"Aereo\"\n");
}

// A series that no longer reaches the contract date leaves the contract as it is, and says so.
TEST_P(Reindex, AContractTheSeriesNoLongerReachesIsSkipped) {
    Import("01/01/2026;2,00\n01/04/2026;2,50\n");
    const std::int32_t id = SaveIndexed("Tornio");
    const auto before = Rows(id);
    {
        Database db = Open();
        ASSERT_TRUE(db.Execute("DELETE FROM tabValTxRiferimento WHERE Data < #4/1/2026#"));
    }
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_,
              "{\"contracts\": 0, \"changed\": 0, \"rows\": 0, \"skipped\": [\"Contratto " +
                  std::to_string(id) +
                  " \\\"Tornio\\\": Il tasso di riferimento \\\"Euribor 3 mesi\\\" non ha valori "
                  "in vigore al 15/01/2026: il primo è del 01/04/2026.\"]}\n");
    EXPECT_EQ(Rows(id).size(), before.size());
    EXPECT_EQ(Rows(id).back().ID, before.back().ID);
}

// Events recorded on an indexed contract, each a list of the calculator's options.
struct RecordedEvents {
    std::string name;
    std::vector<std::vector<std::string>> events;
};

const RecordedEvents kEventsBeforeJuly[] = {
    {"Rimborso, rate più basse",
     {{"--prepay", "2026-05-20", "--amount", "3000", "--keep", "term", "--penalty", "none"}}},
    {"Rimborso, meno rate",
     {{"--prepay", "2026-05-15", "--amount", "3000", "--keep", "instalment", "--penalty", "none"}}},
    {"Sospensione", {{"--suspend", "2026-05-15", "--instalments", "2", "--kind", "all"}}},
    {"Rimborso e sospensione",
     {{"--prepay", "2026-03-20", "--amount", "2000", "--keep", "term", "--penalty", "none"},
      {"--suspend", "2026-06-15", "--instalments", "1", "--kind", "capital"}}},
    // Its own rate from May on: nothing for a new value to change.
    {"Rinegoziazione a tasso fisso", {{"--renegotiate", "2026-05-15", "--new-rate", "5"}}},
};

class ReindexEvents : public Reindex {
protected:
    void Record(std::int32_t id, const std::vector<std::string>& event) {
        ASSERT_EQ(Run(Plus(Plus({"--id", std::to_string(id)}, event), {"--record"})), 0) << err_;
    }
    std::string Events(std::int32_t id) {
        EXPECT_EQ(Run({"--show", std::to_string(id)}), 0) << err_;
        return out_.substr(out_.find("\"events\""));
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, ReindexEvents, testing::kEngines, testing::EngineName);

// A contract with events re-derives from its signed terms with its events applied again: the
// rows up to its latest event stay as recorded, the rows after it follow the July value just
// as on the same contract saved and given the same events now; its latest event still undoes,
// back to the plan recorded before it, and a new re-indexing brings that up to date.
TEST_P(ReindexEvents, ContractsWithEventsFollowTheValuesAfterTheirLatestEvent) {
    Import("01/01/2026;2,00\n");
    struct Stored {
        std::int32_t id, twin;
        std::string beforeLatest, events;
        std::vector<StoredPlanRow> rows;
    };
    std::vector<Stored> stored;
    for (const RecordedEvents& recorded : kEventsBeforeJuly) {
        Stored contract{SaveIndexed(recorded.name), 0, {}, {}, {}};
        for (const auto& event : recorded.events) {
            contract.beforeLatest = Shown(contract.id);
            Record(contract.id, event);
        }
        contract.events = Events(contract.id);
        contract.rows = Rows(contract.id);
        stored.push_back(std::move(contract));
    }
    // As recorded, every row of theirs is what the index values give.
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 5, \"changed\": 0, \"rows\": 0, \"skipped\": []}\n");

    Import("01/07/2026;6,00\n");
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 5, \"changed\": 4, \"rows\": 25, \"skipped\": []}\n");
    for (std::size_t k = 0; k < stored.size(); ++k) {
        const RecordedEvents& recorded = kEventsBeforeJuly[k];
        Stored& contract = stored[k];
        SCOPED_TRACE(recorded.name);
        contract.twin = SaveIndexed(recorded.name + " oggi");
        for (const auto& event : recorded.events) Record(contract.twin, event);
        EXPECT_EQ(Shown(contract.id), Shown(contract.twin));
        EXPECT_EQ(Events(contract.id), contract.events);
        const auto rows = Rows(contract.id);
        const CalendarDate latest = *CalendarDate::FromIso(recorded.events.back().at(1));
        for (std::size_t r = 0; r < contract.rows.size() && contract.rows[r].Data <= latest; ++r) {
            EXPECT_EQ(rows.at(r).ID, contract.rows[r].ID) << r;
        }

        ASSERT_EQ(Run({"--undo-event", "--id", std::to_string(contract.id)}), 0) << err_;
        EXPECT_EQ(Shown(contract.id), contract.beforeLatest);
        ASSERT_EQ(Run({"--undo-event", "--id", std::to_string(contract.twin)}), 0) << err_;
    }
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    for (std::size_t k = 0; k < stored.size(); ++k) {
        SCOPED_TRACE(kEventsBeforeJuly[k].name);
        EXPECT_EQ(Shown(stored[k].id), Shown(stored[k].twin));
    }
}

// A contract whose rows up to its latest event the new values would change, or whose events
// no longer apply, is left as it is and named with the reason; one paid off is counted and
// left as it is. Each case on a reference rate of its own.
TEST_P(ReindexEvents, ContractsWhoseHistoryWouldChangeAreLeftAsTheyAre) {
    struct Case {
        std::string rate;
        std::vector<std::string> event;
        std::string newValue;
        std::string skipped;  // the reason given, or none: counted
    };
    const std::string history =
        "un valore del tasso di riferimento con data fino al 15/05/2026 (il suo ultimo evento) "
        "è cambiato e gli eventi registrati non tornerebbero più: il piano è rimasto com'era. "
        "Per indicizzarlo annullare gli eventi, indicizzarlo e registrarli di nuovo.";
    const Case cases[] = {
        {"Euribor 1 mese",
         {"--prepay", "2026-05-15", "--amount", "3000", "--keep", "term", "--penalty", "none"},
         "01/04/2026;2,50",
         history},
        // The value of the prepayment's own date sets the rate its shorter plan runs at.
        {"Euribor 3 mesi",
         {"--prepay", "2026-05-15", "--amount", "3000", "--keep", "instalment", "--penalty",
          "none"},
         "15/05/2026;6,00",
         history},
        {"Euribor 6 mesi",
         {"--prepay", "2026-11-20", "--amount", "1690", "--keep", "term", "--penalty", "none"},
         "01/01/2026;-1,00",
         "L'importo del rimborso parziale (1.690,00) deve essere minore del debito residuo "
         "(1.670,12): per chiudere il contratto registrare l'estinzione."},
        {"IRS 10 anni", {"--payoff", "2026-06-10"}, "01/04/2026;2,50", ""},
    };
    std::string skipped;
    for (const Case& c : cases) {
        Import("01/01/2026;2,00\n", c.rate);
        const std::int32_t id = SaveIndexed(c.rate, {"--ref-rate", c.rate});
        Record(id, c.event);
        if (c.skipped.empty()) continue;
        skipped += std::string(skipped.empty() ? "" : ", ") + "\"Contratto " + std::to_string(id) +
                   " \\\"" + c.rate + "\\\": " + c.skipped + "\"";
    }
    Database db = Open();
    const std::string before = testing::DumpTable(db, "tabContratti") +
                               testing::DumpTable(db, "tabPDA") +
                               testing::DumpTable(db, "tabEventi");
    for (const Case& c : cases) Import(c.newValue + "\n", c.rate);
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_,
              "{\"contracts\": 1, \"changed\": 0, \"rows\": 0, \"skipped\": [" + skipped + "]}\n");
    EXPECT_EQ(testing::DumpTable(db, "tabContratti") + testing::DumpTable(db, "tabPDA") +
                  testing::DumpTable(db, "tabEventi"),
              before);
}

// A stray row after the lines an event wrote (counted as one of them) goes with the
// re-indexing, and undoing the event then removes exactly the lines it wrote.
TEST_P(ReindexEvents, AStrayRowAfterTheEventsLinesGoesAndTheEventStillUndoes) {
    Import("01/01/2026;2,00\n");
    const std::int32_t id = SaveIndexed("Tornio");
    const std::string signedPlan = Shown(id);
    Record(id, kEventsBeforeJuly[0].events.front());
    const std::string withEvent = Shown(id);
    {
        Database db = Open();
        ASSERT_TRUE(
            db.Execute("INSERT INTO tabPDA ([ID Leasing], Tipo, Data, Tasso, Importo, "
                       "QInteressi, QCapitale, DebitoRes) VALUES (" +
                       std::to_string(id) + ", 'Riscatto', #1/15/2027#, 0, 0, 0, 0, 0)"));
        ASSERT_TRUE(db.Execute("UPDATE tabEventi SET RigheScritte = RigheScritte + 1"));
    }
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 1, \"changed\": 1, \"rows\": 0, \"skipped\": []}\n");
    EXPECT_EQ(Shown(id), withEvent);
    ASSERT_EQ(Run({"--undo-event", "--id", std::to_string(id)}), 0) << err_;
    EXPECT_EQ(Shown(id), signedPlan);
}

// Annulla after the first contract: it is written whole, the second not at all.
TEST_P(Reindex, StoppedAfterAContract) {
    Import("01/01/2026;2,00\n");
    const std::int32_t first = SaveIndexed("Primo");
    const std::int32_t second = SaveIndexed("Secondo");
    Import("01/04/2026;2,50\n");
    const auto secondBefore = Rows(second);
    Database db = Open();
    const ReindexReport report = ReindexPortfolio(db, {}, *CalendarDate::FromYmd(2026, 6, 1),
                                                  [](int done, int) { return done < 1; });
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.contracts, 1);
    EXPECT_EQ(report.rows, 10);
    EXPECT_EQ(Rows(first).at(4).Tasso, 4.0);
    EXPECT_EQ(Rows(first).size(), 14u);
    const auto secondAfter = Rows(second);
    ASSERT_EQ(secondAfter.size(), secondBefore.size());
    EXPECT_EQ(secondAfter.at(4).Tasso, 3.5);
    EXPECT_EQ(secondAfter.back().ID, secondBefore.back().ID);
}

// A failure halfway through a contract's rows leaves that contract's plan as it was.
TEST_P(Reindex, AFailureLeavesNothingHalfWritten) {
    Import("01/01/2026;2,00\n");
    const std::int32_t id = SaveIndexed("Tornio");
    Import("01/04/2026;2,50\n");
    Database db = Open();
    const std::string before = testing::DumpTable(db, "tabPDA");
    testing::InstallFailingPlanTrigger(db, 12);
    const ReindexReport report = ReindexPortfolio(db, {}, *CalendarDate::FromYmd(2026, 6, 1), {});
    ASSERT_TRUE(report.failure.has_value());
    EXPECT_NE(report.failure->description.find("guasto simulato"), std::string::npos)
        << report.failure->description;
    EXPECT_EQ(report.contracts, 0);
    testing::RemoveFailingPlanTriggers(db);
    EXPECT_EQ(testing::DumpTable(db, "tabPDA"), before);
    EXPECT_EQ(Rows(id).size(), 14u);
}

}  // namespace
}  // namespace quotaplan
