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

// A contract with a recorded event keeps its plan, which follows the event, and is named with
// the reason; the other contracts are re-derived as usual.
TEST_P(Reindex, AContractWithEventsIsLeftAsItIs) {
    Import("01/01/2026;2,00\n");
    const std::int32_t withEvent = SaveIndexed("Tornio");
    const std::int32_t plain = SaveIndexed("Fresa");
    ASSERT_EQ(Run({"--id", std::to_string(withEvent), "--prepay", "2026-05-15", "--amount", "3000",
                   "--keep", "instalment", "--penalty", "none", "--record"}),
              0)
        << err_;
    const std::string before = Shown(withEvent);
    Import("01/04/2026;2,50\n");
    ASSERT_EQ(Run({"--reindex-all"}), 0) << err_;
    EXPECT_EQ(out_, "{\"contracts\": 1, \"changed\": 1, \"rows\": 10, \"skipped\": [\"Contratto " +
                        std::to_string(withEvent) +
                        " \\\"Tornio\\\": ha eventi registrati (estinzione o rimborso "
                        "anticipato): il suo piano segue l'ultimo evento e non è stato "
                        "ricalcolato. Per indicizzarlo annullare prima gli eventi.\"]}\n");
    EXPECT_EQ(Shown(withEvent), before);
    EXPECT_EQ(Rows(plain).at(4).Tasso, 4.0);
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
