#include "data/archive_upgrade.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "archive_fixture.h"
#include "data/connection.h"
#include "data/contract_store.h"
#include "engine/contract_calculation.h"
#include "engine/rate_schedule.h"

namespace quotaplan {
namespace {

using testing::CountOf;
using testing::Engine;
using testing::MakeForm;
using testing::TempArchive;

// Turns a fresh archive back into one of the previous version, with one contract stored by
// that version.
void MakeOlder(Database& db) {
    const Engine engine =
        db.Engine()->Kind() == EngineKind::Sqlite ? Engine::Sqlite : Engine::Postgresql;
    ASSERT_TRUE(db.ExecuteScript(testing::OlderSchemaSql(engine)))
        << db.Errors().back().description;
    ASSERT_TRUE(db.Execute(
        "INSERT INTO tabContratti (DescBene, Valore, NumRate, Periodicita, [ID Tipologia]) "
        "VALUES ('Vecchio', 1000, 12, 12, 1)"));
}

class ArchiveUpgrade : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }
    TempArchive archive{GetParam()};
    RecordingMessageBoxes boxes;
};

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveUpgrade, testing::kEngines, testing::EngineName);

TEST_P(ArchiveUpgrade, AnOlderArchiveGainsTheNewColumnsAndTable) {
    {
        Database old = archive.Open();
        MakeOlder(old);
        EXPECT_FALSE(HasColumn(old, "tabContratti", "Centesimo"));
    }
    auto db = ADO_connConnectDB(archive.Address(), "", "", boxes);
    ASSERT_TRUE(db.has_value());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(HasColumn(*db, "tabContratti", "centesimo"));
    EXPECT_TRUE(HasColumn(*db, "supTipologia", "CategoriaUsura"));
    EXPECT_TRUE(HasTable(*db, "tabSoglieUsura"));
    EXPECT_TRUE(HasIndex(*db, "idxContrattiChiaveDescBene"));
    EXPECT_FALSE(HasIndex(*db, "idxContrattiDescBene"));
    EXPECT_EQ(CountOf(*db, "SELECT COUNT(*) FROM tabSoglieUsura"), 0);
    EXPECT_TRUE(HasColumn(*db, "supTipologia", "PenaleEstinzione"));
    EXPECT_EQ(CountOf(*db, "SELECT COUNT(*) FROM supTipologia WHERE PenaleEstinzione IS NULL"), 3);
    EXPECT_TRUE(HasTable(*db, "tabEventi"));
    EXPECT_TRUE(HasTable(*db, "tabEventiPDA"));
    EXPECT_TRUE(HasIndex(*db, "idxEventiLeasing"));
    EXPECT_TRUE(HasColumn(*db, "tabSoglieUsura", "MaggiorazioneMora"));
    EXPECT_TRUE(HasTable(*db, "tabPianoBanca"));
    EXPECT_TRUE(HasTable(*db, "tabTassiLegali"));
    // The contract stored before reads as a classic plan, the column standing at 45, and its
    // name has its key at 46; it has no default interest (47, 48).
    Recordset row(*db, "SELECT * FROM tabContratti");
    ASSERT_EQ(row.FieldCount(), 48);
    EXPECT_EQ(row.FieldName(46), "TassoMora");
    EXPECT_TRUE(row.Value(46).IsNull());
    EXPECT_EQ(row.FieldName(47), "SpreadMora");
    EXPECT_EQ(row.FieldName(44), "Centesimo");
    EXPECT_EQ(row.Value(44).ToDouble(), 0);
    EXPECT_EQ(row.FieldName(45), "ChiaveDescBene");
    EXPECT_EQ(row.Value(45).ToText(), "vecchio");
    ContractStore store(*db, boxes);
    const auto loaded = store.Load(row.Value("ID").ToLong());
    ASSERT_TRUE(loaded.has_value());
    EXPECT_FALSE(loaded->chkCentesimo);
    // Opened again, nothing is left to do.
    EXPECT_TRUE(ADO_connConnectDB(archive.Address(), "", "", boxes).has_value());
    EXPECT_TRUE(boxes.shown.empty());
}

// Names that the older rules of either engine held apart but the key does not: the upgrade
// keeps them all, says once which they are, and no save adds another.
TEST_P(ArchiveUpgrade, NamesEqualUnderTheKeyAreKeptAndNoMoreAreMade) {
    std::vector<std::int32_t> ids;
    {
        Database old = archive.Open();
        MakeOlder(old);
        for (const char* name : {"Auto 1", "AUTO  1", "auto\t1 ", "Camion"}) {
            ASSERT_TRUE(old.Execute(std::string("INSERT INTO tabContratti (DescBene, [ID "
                                                "Tipologia]) VALUES ('") +
                                    name + "', 1)"));
            ids.push_back(
                static_cast<std::int32_t>(CountOf(old, "SELECT MAX(ID) FROM tabContratti")));
        }
    }
    auto db = ADO_connConnectDB(archive.Address(), "", "", boxes);
    ASSERT_TRUE(db.has_value());
    const auto id = [&](int k) { return std::to_string(ids[k]); };
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt,
              "Nell'archivio ci sono contratti con lo stesso nome (maiuscole, accenti e spazi a "
              "parte); restano tutti, ma non se ne possono salvare altri con quei nomi:\n  " +
                  id(0) + " \"Auto 1\" e " + id(1) + " \"AUTO  1\"\n  " + id(0) + " \"Auto 1\" e " +
                  id(2) + " \"auto\t1 \"\n");
    EXPECT_EQ(CountOf(*db, "SELECT COUNT(*) FROM tabContratti"), 5);
    EXPECT_EQ(CountOf(*db, "SELECT COUNT(*) FROM tabContratti WHERE ChiaveDescBene = 'auto 1'"), 1);
    boxes.shown.clear();
    ASSERT_TRUE(ADO_connConnectDB(archive.Address(), "", "", boxes).has_value());
    EXPECT_TRUE(boxes.shown.empty());

    ContractStore store(*db, boxes);
    const FinancialPlan noPlan;
    const auto save = [&](const std::string& name, std::int32_t over) {
        const auto form = MakeForm(name);
        return store
            .Save(form, noPlan, PlanOwner(),
                  over == 0 ? SaveMode::NewContract : SaveMode::StoredContract, over)
            .status;
    };
    // A kept contract saved again under its name, or the same name written otherwise.
    EXPECT_EQ(save("AUTO  1", ids[1]), SaveStatus::Saved);
    EXPECT_EQ(save("Àuto 1", ids[2]), SaveStatus::Saved);
    // Neither a new contract nor a renamed one may take the name, even once its first
    // holder is gone.
    EXPECT_EQ(save("auto 1", 0), SaveStatus::Duplicate);
    EXPECT_EQ(save("Auto 1", ids[3]), SaveStatus::Duplicate);
    ASSERT_EQ(store.Delete(ids[0]), DeleteStatus::Deleted);
    EXPECT_EQ(save("auto 1", 0), SaveStatus::Duplicate);
    EXPECT_EQ(save("Auto 1", ids[3]), SaveStatus::Duplicate);
    // A kept contract renamed to a name of its own gives up its kept key.
    EXPECT_EQ(save("Auto 2", ids[1]), SaveStatus::Saved);
    EXPECT_EQ(CountOf(*db, "SELECT COUNT(*) FROM tabContratti WHERE ChiaveDescBene = 'auto 2'"), 1);
    EXPECT_EQ(CountOf(*db, "SELECT COUNT(*) FROM tabContratti WHERE DescBene = 'Camion'"), 1);
}

TEST_P(ArchiveUpgrade, ThePlanToTheCentIsSavedWithItsFlagAndExactRows) {
    Database db = archive.Open();
    ContractStore store(db, boxes);
    ContractForm form = MakeForm("Al centesimo");
    form.txtValBene = "209.824,65";
    form.txtMaxi = "0";
    form.txtRiscatto = "0";
    form.txtRate = "2";
    form.chkCentesimo = true;
    ContractTerms terms;
    terms.NumRate = 2;
    terms.Semplice = true;
    terms.DataContratto = *CalendarDate::FromYmd(2024, 1, 15);
    terms.DataInizio = *CalendarDate::FromYmd(2024, 2, 15);
    ExactAmounts exact;
    exact.value = Money::FromCents(20982465);
    FinancialPlan plan;
    CalculateInstalmentToTheCent(terms, exact, RatesForPlan({}, 2, 4), plan);
    const SaveResult saved =
        store.Save(form, plan, PlanOwner::For(0, form), SaveMode::NewContract, 0);
    ASSERT_EQ(saved.status, SaveStatus::Saved);
    ASSERT_TRUE(saved.planWritten);
    EXPECT_EQ(CountOf(db, "SELECT Centesimo FROM tabContratti"), -1);
    const auto rows = store.LoadPlanRows(saved.contractId);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].DebitoRes, 209824.65);  // a 32-bit amount would store ,66
    EXPECT_EQ(rows[1].QInteressi, 699.42);    // 209.824,65 * 4 % / 12 = 699,4155
    EXPECT_EQ(rows[2].DebitoRes, 0);
    EXPECT_EQ((Money::FromUnits(rows[1].QCapitale) + Money::FromUnits(rows[2].QCapitale)).Cents(),
              20982465);
    EXPECT_TRUE(store.Load(saved.contractId)->chkCentesimo);
    // Unticked, it is saved back as the classic plan's flag.
    form.chkCentesimo = false;
    ASSERT_EQ(
        store.Save(form, plan, PlanOwner(), SaveMode::StoredContract, saved.contractId).status,
        SaveStatus::Saved);
    EXPECT_FALSE(store.Load(saved.contractId)->chkCentesimo);
}

std::string Bytes(const std::filesystem::path& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

TEST(ArchiveUpgradeSqlite, AnUpToDateArchiveIsLeftAsItIs) {
    TempArchive archive;
    const std::string before = Bytes(archive.File());
    {
        Database db = archive.Open();
        UpgradeArchive(db);
    }
    EXPECT_EQ(Bytes(archive.File()), before);
}

TEST(ArchiveUpgradeSqlite, AReadOnlyOlderArchiveIsReadAsTheClassicPlan) {
    TempArchive archive;
    {
        Database old = archive.Open();
        MakeOlder(old);
    }
    std::filesystem::permissions(archive.File(), std::filesystem::perms::owner_read);
    RecordingMessageBoxes boxes;
    auto db = ADO_connConnectDB(archive.File(), "", "", boxes);
    ASSERT_TRUE(db.has_value());
    EXPECT_FALSE(HasColumn(*db, "tabContratti", "Centesimo"));
    ContractStore store(*db, boxes);
    const auto loaded =
        store.Load(static_cast<std::int32_t>(CountOf(*db, "SELECT MAX(ID) FROM tabContratti")));
    ASSERT_TRUE(loaded.has_value());
    EXPECT_FALSE(loaded->chkCentesimo);
    // A save fails for the archive being read-only, not for a column it lacks.
    EXPECT_EQ(testing::SaveNewContract(store, "Non scrivibile", 12, 0, 0).status,
              SaveStatus::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, "3004 - Impossibile scrivere sul database!\n");
}

}  // namespace
}  // namespace quotaplan
