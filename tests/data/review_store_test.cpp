#include "data/review_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "archive_fixture.h"
#include "common/clock.h"
#include "data/contract_store.h"
#include "data/legal_rates.h"

namespace quotaplan {
namespace {

using testing::CountOf;
using testing::Engine;
using testing::TempArchive;

CalendarDate Iso(const char* text) { return *CalendarDate::FromIso(text); }

class ReviewStore : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }
    std::int32_t SaveContract(const std::string& description) {
        ContractStore store(db, boxes);
        return testing::SaveNewContract(store, description).contractId;
    }
    ScopedToday today{*CalendarDate::FromYmd(2024, 6, 10)};
    TempArchive archive{GetParam()};
    Database db = archive.Open();
    RecordingMessageBoxes boxes;
};

INSTANTIATE_TEST_SUITE_P(Engines, ReviewStore, testing::kEngines, testing::EngineName);

// The bank's plan comes back as imported, figures it lacked still missing; a second import
// replaces the first; deleting the contract takes its bank plan with it.
TEST_P(ReviewStore, BankPlanRoundTripReplaceAndDelete) {
    const std::int32_t id = SaveContract("Mutuo casa");
    const std::int32_t other = SaveContract("Mutuo ufficio");
    const std::vector<ReviewRow> rows = {
        {1, Iso("2024-02-15"), Money::FromCents(65996), Money::FromCents(24329),
         Money::FromCents(41667), Money::FromCents(9975671)},
        {0, CalendarDate(), Money::FromCents(123456789012), std::nullopt, std::nullopt,
         std::nullopt},
    };
    ASSERT_EQ(SaveBankPlan(db, id, rows), std::nullopt);
    ASSERT_EQ(SaveBankPlan(db, other, {rows[0]}), std::nullopt);
    const auto loaded = LoadBankPlan(db, id);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].number, 1);
    EXPECT_EQ(loaded[0].date, Iso("2024-02-15"));
    EXPECT_EQ(loaded[0].residual, Money::FromCents(9975671));
    EXPECT_EQ(loaded[1].number, 0);
    EXPECT_TRUE(loaded[1].date.IsZero());
    EXPECT_EQ(loaded[1].instalment, Money::FromCents(123456789012));
    EXPECT_EQ(loaded[1].capital, std::nullopt);

    ASSERT_EQ(SaveBankPlan(db, id, {rows[1]}), std::nullopt);
    EXPECT_EQ(LoadBankPlan(db, id).size(), 1u);
    EXPECT_EQ(LoadBankPlan(db, other).size(), 1u);

    ContractStore store(db, boxes);
    ASSERT_EQ(store.Delete(id), DeleteStatus::Deleted);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(*) FROM tabPianoBanca WHERE [ID Leasing] = " +
                              std::to_string(id)),
              0);
    EXPECT_EQ(LoadBankPlan(db, other).size(), 1u);
}

TEST_P(ReviewStore, DefaultInterestFixedOrOverTheRate) {
    const std::int32_t id = SaveContract("Leasing auto");
    EXPECT_EQ(LoadDefaultInterest(db, id), std::nullopt);
    for (const DefaultInterest interest :
         {DefaultInterest{DefaultInterestKind::Fixed, Percent::FromTenThousandths(91250)},
          DefaultInterest{DefaultInterestKind::OverContractRate, Percent::FromHundredths(200)}}) {
        ASSERT_EQ(SaveDefaultInterest(db, id, interest), std::nullopt);
        const auto loaded = LoadDefaultInterest(db, id);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->kind, interest.kind);
        EXPECT_EQ(loaded->value, interest.value);
    }
    ASSERT_EQ(SaveDefaultInterest(db, id, std::nullopt), std::nullopt);
    EXPECT_EQ(LoadDefaultInterest(db, id), std::nullopt);
}

TEST_P(ReviewStore, LegalRatesImportedAndReplacedByStartDate) {
    const auto file = archive.Folder() / "tassi.csv";
    std::ofstream(file) << "Dal;Al;Tasso\n01/01/2023;31/12/2023;5\n01/01/2024;;2,5\n";
    const SeriesImport first = ImportLegalRates(db, file);
    EXPECT_EQ(first.message, "Importati 2 tassi legali: 2 nuovi, 0 sostituiti.");
    std::ofstream(file) << "01/01/2024;31/12/2024;2,5\n01/01/2025;;2\n";
    const SeriesImport second = ImportLegalRates(db, file);
    EXPECT_EQ(second.message, "Importati 2 tassi legali: 1 nuovo, 1 sostituito.");
    const auto rates = LoadLegalRates(db);
    ASSERT_EQ(rates.size(), 3u);
    EXPECT_EQ(rates[1].validTo, Iso("2024-12-31"));
    EXPECT_EQ(rates[2].rate, Percent::FromHundredths(200));
    EXPECT_TRUE(rates[2].validTo.IsZero());
}

TEST(LegalRateFile, RefusesWhatItCannotRead) {
    struct Case {
        const char* text;
        const char* message;
    };
    for (const Case c : {
             Case{"01/01/2024;2,5\n",
                  "Riga 1: servono tre campi, Dal;Al;Tasso, separati da punti e virgola. "
                  "Nessun tasso importato."},
             Case{"01/01/2024;;2.5\n",
                  "Riga 1: tasso non valido \"2.5\" (serve un tasso in percentuale fra 0 e 100 "
                  "con la virgola decimale, come 2,5). Nessun tasso importato."},
             Case{"Dal;Al;Tasso\n01/01/2024;31/12/2023;2,5\n",
                  "Riga 2: la data Al precede la data Dal. Nessun tasso importato."},
             Case{"Dal;Al;Tasso\n",
                  "Il file non contiene tassi legali (righe Dal;Al;Tasso). Nessun tasso "
                  "importato."},
         }) {
        const auto read = ReadLegalRateText(c.text);
        ASSERT_TRUE(std::holds_alternative<IndexFileRefusal>(read)) << c.text;
        EXPECT_EQ(std::get<IndexFileRefusal>(read).message, c.message);
    }
}

}  // namespace
}  // namespace quotaplan
