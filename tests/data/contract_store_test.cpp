#include "data/contract_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "archive_fixture.h"
#include "common/clock.h"
#include "data/execute_sql.h"
#include "data/stored_plan.h"
#include "engine/plan_lines.h"

namespace quotaplan {
namespace {

using testing::CountOf;
using testing::DumpTable;
using testing::Engine;
using testing::MakeForm;
using testing::MakePlan;
using testing::TempArchive;

// A store on a fresh archive of the engine.
class StoreFixture {
protected:
    explicit StoreFixture(Engine engine) : archive(engine) {}

    // Two-digit years are placed around a fixed today, so the test does not age.
    ScopedToday today{*CalendarDate::FromYmd(2024, 6, 10)};
    TempArchive archive;
    Database db = archive.Open();
    RecordingMessageBoxes boxes;
    ContractStore store{db, boxes};

    SaveResult SaveNew(const ContractForm& form, const FinancialPlan& plan) {
        return store.Save(form, plan, PlanOwner::For(0, form), SaveMode::NewContract, 0);
    }
    // MakeForm's contract with MakePlan(12, 1000, 500).
    SaveResult SaveNew(const std::string& description) {
        return testing::SaveNewContract(store, description);
    }
    // The one box shown, its prompt and title.
    void ExpectBox(const std::string& prompt, const std::string& title) {
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].prompt, prompt);
        EXPECT_EQ(boxes.shown[0].title, title);
    }
};

class ContractStoreTest : public ::testing::TestWithParam<Engine>, protected StoreFixture {
protected:
    ContractStoreTest() : StoreFixture(GetParam()) {}
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }
};

INSTANTIATE_TEST_SUITE_P(Engines, ContractStoreTest, testing::kEngines, testing::EngineName);

TEST_P(ContractStoreTest, NewContractStoresRowAndFourteenPlanRowsAndLoadsBack) {
    const auto form = MakeForm("Auto aziendale");
    const auto saved = SaveNew(form, MakePlan(12, 1000, 500));
    ASSERT_EQ(saved.status, SaveStatus::Saved);
    EXPECT_EQ(saved.contractId, 1);
    EXPECT_TRUE(saved.planWritten);
    EXPECT_TRUE(boxes.shown.empty());

    const auto rows = store.LoadPlanRows(saved.contractId);
    ASSERT_EQ(rows.size(), 14u);
    EXPECT_EQ(rows[12].Data, *CalendarDate::FromYmd(2025, 1, 15));
    // No buy-out date: the buy-out line takes the last instalment's date.
    const struct {
        std::size_t row;
        const char* kind;
        CalendarDate date;
        double rate, amount, interest, capital, residual;
    } expected[] = {
        {0, "Maxi.", *CalendarDate::FromYmd(2024, 1, 15), 0, 1000, 0, 1000, 9000},
        {1, "Rata", *CalendarDate::FromYmd(2024, 2, 15), 5.25, 711.25, 11, 700.25, 8299.75},
        {13, "Riscatto", *CalendarDate::FromYmd(2025, 1, 15), 0, 500, 0, 500, 0}};
    for (const auto& line : expected) {
        const auto& row = rows[line.row];
        SCOPED_TRACE(line.kind);
        EXPECT_EQ(row.Tipo, line.kind);
        EXPECT_EQ(row.Data, line.date);
        EXPECT_DOUBLE_EQ(row.Tasso, line.rate);
        EXPECT_DOUBLE_EQ(row.Importo, line.amount);
        EXPECT_DOUBLE_EQ(row.QInteressi, line.interest);
        EXPECT_DOUBLE_EQ(row.QCapitale, line.capital);
        EXPECT_DOUBLE_EQ(row.DebitoRes, line.residual);
    }

    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti WHERE DataRiscatto IS NULL"), 1);
    const auto loaded = store.Load(saved.contractId);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, form);
}

// A loaded contract's plan is the plan stored, line for line and to the cent: what its
// exports and TAEG are made from.
TEST_P(ContractStoreTest, StoredPlanComesBackLineForLine) {
    const struct {
        const char* name;
        FinancialPlan plan;
    } cases[] = {{"maxi and buy-out", MakePlan(12, 1000, 500)},
                 {"neither", MakePlan(3, 0, 0)},
                 {"one instalment", MakePlan(1, 250, 0)}};
    for (const auto& c : cases) {
        const auto form = MakeForm(c.name);
        const auto saved = SaveNew(form, c.plan);
        ASSERT_EQ(saved.status, SaveStatus::Saved) << c.name;
        const FinancialPlan loaded = StoredPlanOf(store.LoadPlanRows(saved.contractId));
        ASSERT_TRUE(loaded.PlanReady) << c.name;
        ASSERT_TRUE(loaded.toTheCent.has_value()) << c.name;
        const auto lines = [](const FinancialPlan& plan) {
            std::vector<std::string> texts;
            for (const PlanLine& line : PlanLines(plan, DerivedLines::WhenNotZero)) {
                texts.push_back(line.date.Iso() + " " + FormatNumber(line.ratePercent, 2) + " " +
                                FormatNumber(line.amount, 1) + " " + FormatNumber(line.capital, 1) +
                                " " + FormatNumber(line.interest, 1) + " " +
                                FormatNumber(line.residual, 1));
            }
            return texts;
        };
        EXPECT_EQ(lines(loaded), lines(c.plan)) << c.name;
        EXPECT_EQ(loaded.toTheCent->instalment.Cents(),
                  std::lround(c.plan.rows.front().Importo * 100.0))
            << c.name;
        EXPECT_EQ(loaded.toTheCent->value.Cents(), 1000000) << c.name;
    }
    // Without instalment lines there is no plan to show.
    EXPECT_FALSE(
        StoredPlanOf({{1, "Maxi.", *CalendarDate::FromYmd(2024, 1, 15), 0, 100, 0, 100, 9900}})
            .PlanReady);
}

TEST_P(ContractStoreTest, PlanWithoutMaxiOrBuyoutStillStoresBothLinesWithZeros) {
    auto form = MakeForm("Senza maxi");
    form.txtMaxi = "0,00";
    form.txtRiscatto = "0,00";
    ASSERT_EQ(SaveNew(form, MakePlan(12, 0, 0)).status, SaveStatus::Saved);
    Recordset maxi(db, "SELECT Importo, DebitoRes, Tasso FROM tabPDA WHERE Tipo = 'Maxi.'");
    EXPECT_EQ(maxi.Value("Importo").ToDouble(), 0);
    EXPECT_EQ(maxi.Value("DebitoRes").ToDouble(), 10000);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA WHERE Tipo = 'Riscatto' AND Importo = 0"),
              1);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA"), 14);
}

TEST_P(ContractStoreTest, ValuesAreStoredWithTwoDecimalsAndBuyoutDate) {
    auto form = MakeForm("Arrotondamenti");
    form.txtTasso = "5,126";
    form.txtValBene = "1.234,565";
    form.txtDataRiscatto = "15/02/25";
    form.chkIntRiscatto = true;
    form.optCapSem = true;
    form.cboPeriodicita = 2;
    ASSERT_EQ(SaveNew(form, MakePlan(12, 1000, 500)).status, SaveStatus::Saved);
    Recordset row(db, "SELECT * FROM tabContratti");
    EXPECT_EQ(row.Value("Tasso").ToDouble(), 5.13);
    EXPECT_EQ(row.Value("Valore").ToDouble(), 1234.57);
    EXPECT_EQ(row.Value("DataRiscatto").ToText(), "2025-02-15");
    EXPECT_EQ(row.Value("IntRiscatto").ToDouble(), 1);
    EXPECT_EQ(row.Value("Semplice").ToDouble(), -1);
    EXPECT_EQ(row.Value("Anticipato").ToDouble(), -1);
    EXPECT_EQ(row.Value("Periodicita").ToDouble(), 4);
    EXPECT_EQ(row.Value("ID TassoRif").ToDouble(), 3);
    row.Close();

    const auto loaded = store.Load(1);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->txtTasso, "5,13");
    EXPECT_EQ(loaded->txtValBene, "1.234,57");
    EXPECT_EQ(loaded->txtDataRiscatto, "15/02/25");
    EXPECT_EQ(loaded->cboPeriodicita, 2);
    EXPECT_TRUE(loaded->chkIntRiscatto);
    EXPECT_TRUE(loaded->optCapSem);
}

TEST_P(ContractStoreTest, SavingAgainReplacesThePlanRows) {
    const auto form = MakeForm("Due volte");
    const auto saved = SaveNew(form, MakePlan(12, 1000, 500));
    ASSERT_EQ(saved.status, SaveStatus::Saved);
    const auto again =
        store.Save(form, MakePlan(12, 1000, 500), PlanOwner::For(saved.contractId, form),
                   SaveMode::StoredContract, saved.contractId);
    ASSERT_EQ(again.status, SaveStatus::Saved);
    EXPECT_TRUE(again.planWritten);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA"), 14);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 1);
}

// SQLite keeps the type of each value it stores: what a bound value becomes is its concern.
class SqliteStorageTest : public ContractStoreTest {};
INSTANTIATE_TEST_SUITE_P(SQLite, SqliteStorageTest, ::testing::Values(Engine::Sqlite),
                         testing::EngineName);

// Plan lines are written with bound values: each must store what its SQL literal
// (FormatSqlValue's text with two decimals) stores, the same type and the same bits.
TEST_P(SqliteStorageTest, PlanLinesStoreExactlyWhatTheirLiteralsStore) {
    auto plan = MakePlan(6, 1000, 500);
    plan.rows[0].Importo = 2.345f;         // a half that shows rounded up
    plan.rows[1].QInteressi = -0.004f;     // shows as 0,00: a whole zero
    plan.rows[2].QCapitale = 123456.785f;  // beyond a float's cents
    plan.rows[3].DebitoRes = -0.01f;       // a drift below zero
    plan.rows[4].Tasso = 0.0712549f;       // 7.12549 %: two decimals
    plan.rows[5].Importo = 9999999488.0f;  // the largest amounts the window accepts
    ASSERT_EQ(SaveNew(MakeForm("Letterali"), plan).status, SaveStatus::Saved);

    ASSERT_TRUE(
        db.Execute("CREATE TEMP TABLE literals (Data DATE, Tasso SINGLE, Importo CURRENCY, "
                   "QInteressi CURRENCY, QCapitale CURRENCY, DebitoRes CURRENCY)"));
    for (const auto& row : plan.rows) {
        const auto amount = [](float value) {
            return FormatSqlValue(SqlValue(static_cast<double>(value)), kTypeCurrency);
        };
        ASSERT_TRUE(db.Execute(
            "INSERT INTO literals VALUES (" + FormatSqlValue(SqlValue(row.Data), kTypeDate) + ", " +
            FormatSqlValue(SqlValue(static_cast<double>(row.Tasso * 100.0f)), kTypeSingle) + ", " +
            amount(row.Importo) + ", " + amount(row.QInteressi) + ", " + amount(row.QCapitale) +
            ", " + amount(row.DebitoRes) + ")"));
    }
    std::string same =
        "SELECT COUNT(*) FROM tabPDA AS p INNER JOIN literals AS l "
        "ON l.rowid = p.ID - 1 WHERE p.Tipo = 'Rata'";
    for (const char* column :
         {"Data", "Tasso", "Importo", "QInteressi", "QCapitale", "DebitoRes"}) {
        same += std::string(" AND typeof(p.") + column + ") = typeof(l." + column + ") AND p." +
                column + " IS l." + column;
    }
    EXPECT_EQ(CountOf(db, same), 6);
    EXPECT_EQ(CountOf(db,
                      "SELECT COUNT(*) FROM tabPDA WHERE typeof(QInteressi) = 'integer' "
                      "AND QInteressi = 0 AND Tipo = 'Rata'"),
              1);
}

struct DuplicateCase {
    const char* stored;
    const char* typed;
};

class DuplicateTest : public ::testing::TestWithParam<std::tuple<Engine, DuplicateCase>>,
                      protected StoreFixture {
protected:
    DuplicateTest() : StoreFixture(std::get<0>(GetParam())) {}
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }
    const DuplicateCase& Case() const { return std::get<1>(GetParam()); }
};

TEST_P(DuplicateTest, NewContractWithAStoredNameIsRefusedAndNothingIsWritten) {
    ASSERT_EQ(SaveNew(Case().stored).status, SaveStatus::Saved);
    const auto before = DumpTable(db, "tabContratti") + DumpTable(db, "tabPDA");
    EXPECT_EQ(SaveNew(Case().typed).status, SaveStatus::Duplicate);
    ExpectBox("Nome leasing già esistente", "Quotaplan 4");
    EXPECT_EQ(boxes.shown.at(0).icon, BoxIcon::Exclamation);
    EXPECT_EQ(DumpTable(db, "tabContratti") + DumpTable(db, "tabPDA"), before);
    // A writer that bypasses the program meets the same rule in the key's unique index.
    Recordset stored(db, "SELECT ChiaveDescBene FROM tabContratti");
    const std::string key = stored.Value(0).ToText();
    stored.Close();
    EXPECT_FALSE(db.Execute("INSERT INTO tabContratti (DescBene, ChiaveDescBene) VALUES ('x', " +
                            FormatSqlValue(SqlValue(key), kTypeText) + ")"));
    ASSERT_FALSE(db.Errors().empty());
    EXPECT_EQ(db.Errors().front().number, kErrIntegrityViolation);
}

// One rule on both engines: before it, SQLite folded letter case only and the server also
// folded accents and compatibility forms, but not blanks within the name.
INSTANTIATE_TEST_SUITE_P(
    Names, DuplicateTest,
    ::testing::Combine(
        testing::kEngines,
        ::testing::Values(
            DuplicateCase{"Auto", "Auto"}, DuplicateCase{"Auto", "AUTO"},
            DuplicateCase{"Auto", "  auto  "}, DuplicateCase{"Società", "SOCIETÀ"},
            DuplicateCase{"l'anno", "L'ANNO"},
            // Stored names may carry blanks of their own.
            DuplicateCase{"Furgone L Aquila  test ", "  furgone l aquila  test"},
            DuplicateCase{"  Auto", "auto"}, DuplicateCase{"Màcchina 3", "macchina 3"},
            DuplicateCase{"Crédito persònale", "CREDITO PERSONALE"},
            DuplicateCase{"Straße", "STRASSE"}, DuplicateCase{"\xef\xac\x81ne", "fine"},
            DuplicateCase{"\xef\xbc\xa1", "a"}, DuplicateCase{"\xe2\x84\xaa", "K"},
            DuplicateCase{"Auto\t1", "auto 1"}, DuplicateCase{"Auto\xc2\xa0 1", "AUTO 1"},
            DuplicateCase{"Auto  blu", "auto blu"})));

TEST_P(ContractStoreTest, RenamingToItsOwnNameIsAllowedToAnotherIsRefused) {
    const auto first = SaveNew("Primo");
    const auto second = SaveNew("Secondo");
    const auto same = MakeForm("PRIMO");
    EXPECT_EQ(store.Save(same, {}, {}, SaveMode::StoredContract, first.contractId).status,
              SaveStatus::Saved);
    EXPECT_EQ(
        store.Save(MakeForm("secondo"), {}, {}, SaveMode::StoredContract, first.contractId).status,
        SaveStatus::Duplicate);
    EXPECT_EQ(store.Load(first.contractId)->txtDescBene, "PRIMO");
    EXPECT_EQ(store.Load(second.contractId)->txtDescBene, "Secondo");
    // A stored name with blanks around it is still the other contract's.
    ASSERT_TRUE(db.Execute("UPDATE tabContratti SET DescBene = ' Secondo  ' WHERE ID = " +
                           std::to_string(second.contractId)));
    EXPECT_EQ(
        store.Save(MakeForm("SECONDO"), {}, {}, SaveMode::StoredContract, first.contractId).status,
        SaveStatus::Duplicate);
}

TEST_P(ContractStoreTest, PlanOfAnotherContractNeverReplacesAStoredPlan) {
    const auto formA = MakeForm("Contratto A");
    const auto planA = MakePlan(24, 2000, 0);
    const auto ownerA = PlanOwner::For(0, formA);
    ASSERT_EQ(store.Save(formA, planA, ownerA, SaveMode::NewContract, 0).status, SaveStatus::Saved);
    const auto b = SaveNew("Contratto B");
    const auto planRowsOfB = store.LoadPlanRows(b.contractId);

    // B is loaded from the tree while plan A is still the program's plan; B is then saved.
    auto loadedB = *store.Load(b.contractId);
    loadedB.txtSpRata = "3,00";
    const auto saved = store.Save(loadedB, planA, ownerA, SaveMode::StoredContract, b.contractId);
    EXPECT_EQ(saved.status, SaveStatus::Saved);
    EXPECT_FALSE(saved.planWritten);
    EXPECT_EQ(store.Load(b.contractId)->txtSpRata, "3,00");
    const auto after = store.LoadPlanRows(b.contractId);
    ASSERT_EQ(after.size(), planRowsOfB.size());
    for (std::size_t k = 0; k < after.size(); ++k) EXPECT_EQ(after[k].ID, planRowsOfB[k].ID);

    // A plan calculated for the loaded B replaces B's plan.
    const auto recalculated =
        store.Save(loadedB, MakePlan(6, 1000, 500), PlanOwner::For(b.contractId, loadedB),
                   SaveMode::StoredContract, b.contractId);
    EXPECT_TRUE(recalculated.planWritten);
    EXPECT_EQ(store.LoadPlanRows(b.contractId).size(), 8u);
    EXPECT_EQ(store.LoadPlanRows(1).size(), 26u);
}

TEST_P(ContractStoreTest, PlanNotReadyLeavesTheStoredPlanUntouched) {
    const auto form = MakeForm("Non pronto");
    const auto saved = SaveNew(form, MakePlan(12, 1000, 500));
    FinancialPlan notReady = MakePlan(3, 0, 0);
    notReady.PlanReady = false;
    const auto again = store.Save(form, notReady, PlanOwner::For(saved.contractId, form),
                                  SaveMode::StoredContract, saved.contractId);
    EXPECT_EQ(again.status, SaveStatus::Saved);
    EXPECT_FALSE(again.planWritten);
    EXPECT_EQ(store.LoadPlanRows(saved.contractId).size(), 14u);
}

// A trigger makes the seventh plan line of any contract fail: the save must leave the
// archive exactly as it was and show the error once.
TEST_P(ContractStoreTest, FailureMidPlanRollsEverythingBack) {
    const auto first = SaveNew("Esistente");
    testing::InstallFailingPlanTrigger(db, 6);
    const auto before = DumpTable(db, "tabContratti") + DumpTable(db, "tabPDA");

    EXPECT_EQ(SaveNew("Nuovo").status, SaveStatus::Failed);
    auto changed = MakeForm("Esistente rinominato");
    EXPECT_EQ(store
                  .Save(changed, MakePlan(12, 1000, 500), PlanOwner::For(first.contractId, changed),
                        SaveMode::StoredContract, first.contractId)
                  .status,
              SaveStatus::Failed);

    EXPECT_EQ(DumpTable(db, "tabContratti") + DumpTable(db, "tabPDA"), before);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].prompt, testing::FailingTriggerLine(GetParam()));
    EXPECT_EQ(boxes.shown[0].title, "Quotaplan 4.0.0");
    // The next new contract still gets the next ID: the failed insert left no trace.
    testing::RemoveFailingPlanTriggers(db);
    // SQLite gives the next ID; a PostgreSQL identity never hands out again the value a
    // rolled-back insert took.
    EXPECT_EQ(SaveNew("Dopo").contractId, GetParam() == Engine::Sqlite ? 2 : 3);
}

TEST_P(ContractStoreTest, UnreadableFieldIsReportedAndNothingIsWritten) {
    auto form = MakeForm("Data sbagliata");
    form.txtContract = "31/02/24";
    EXPECT_EQ(SaveNew(form, MakePlan(12, 1000, 500)).status, SaveStatus::Failed);
    ExpectBox("Si è verificato l'errore N° 13 Tipo non corrispondente", "Quotaplan 4");
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 0);
}

TEST_P(ContractStoreTest, DeleteRemovesContractAndPlanOnly) {
    const auto keep = SaveNew("Resta");
    const auto gone = SaveNew("Va via");
    EXPECT_EQ(store.Delete(gone.contractId), DeleteStatus::Deleted);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 1);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA"), 14);
    EXPECT_EQ(store.LoadPlanRows(keep.contractId).size(), 14u);

    EXPECT_EQ(store.Delete(0), DeleteStatus::NothingSelected);
    ExpectBox("Selezionare un contratto!", "Quotaplan 4.0.0");

    // A failing second statement takes the first one back with it.
    testing::InstallFailingPlanDeleteTrigger(db);
    EXPECT_EQ(store.Delete(keep.contractId), DeleteStatus::Failed);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 1);

    // A contract deleted meanwhile is reported once when loaded or updated; deleting it
    // again is no deletion, and the caller says so.
    boxes.shown.clear();
    testing::RemoveFailingPlanTriggers(db);
    EXPECT_EQ(store.Delete(gone.contractId), DeleteStatus::Gone);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA"), 14);
    EXPECT_FALSE(store.Load(gone.contractId).has_value());
    EXPECT_EQ(
        store.Save(MakeForm("Fantasma"), {}, {}, SaveMode::StoredContract, gone.contractId).status,
        SaveStatus::Failed);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].prompt, kContractGoneMessage);
    EXPECT_EQ(boxes.shown[1].prompt, kContractGoneMessage);
}

TEST_P(ContractStoreTest, TreeGroupsContractsUnderTheirTypesInIdOrder) {
    auto mutuo = MakeForm("Casa");
    mutuo.cboTipoLea = "Mutuo";
    SaveNew("Furgone");
    SaveNew(mutuo, MakePlan(12, 1000, 500));
    SaveNew("Auto");
    const auto tree = store.TreeEntries();
    ASSERT_EQ(tree.size(), 3u);
    std::string shown;
    for (const auto& type : tree) {
        shown += type.Descrizione + ":";
        for (const auto& contract : type.contracts) {
            shown += " " + std::to_string(contract.ID) + " " + contract.DescBene;
        }
        shown += "\n";
    }
    EXPECT_EQ(shown, "Leasing: 1 Furgone 3 Auto\nMutuo: 2 Casa\nCredito al consumo:\n");
}

TEST_P(ContractStoreTest, RateRowsComeBackInDateOrderWithTheirIds) {
    auto plan = MakePlan(3, 1000, 500);
    plan.rows[2].Tasso = 0.061234f;
    const auto saved = SaveNew(MakeForm("Tassi"), plan);
    const auto rates = store.LoadRateRows(saved.contractId);
    ASSERT_EQ(rates.size(), 3u);
    EXPECT_EQ(rates[0].ID, 2);
    EXPECT_EQ(rates[0].Data, *CalendarDate::FromYmd(2024, 2, 15));
    EXPECT_DOUBLE_EQ(rates[0].Tx, 5.25);
    EXPECT_DOUBLE_EQ(rates[2].Tx, 6.12);
    EXPECT_TRUE(store.LoadRateRows(99).empty());
}

// Texts that break naive SQL building: stored and found back unchanged, and the duplicate
// check sees them.
class HostileTextTest : public ::testing::TestWithParam<std::tuple<Engine, std::string>>,
                        protected StoreFixture {
protected:
    HostileTextTest() : StoreFixture(std::get<0>(GetParam())) {}
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }
};

TEST_P(HostileTextTest, DescriptionAndLookupValueRoundTrip) {
    const std::string text = std::get<1>(GetParam());
    ASSERT_TRUE(ExecuteSql(db, boxes,
                           "INSERT INTO supTipologia (Descrizione) VALUES (" +
                               FormatSqlValue(SqlValue(text), kTypeText) + ")"));
    EXPECT_EQ(GetIdByDescription(db, "supTipologia", text), 4);
    EXPECT_EQ(GetDescriptionById(db, "supTipologia", 4), text);

    auto form = MakeForm(text);
    form.cboTipoLea = text;
    const auto saved = SaveNew(form, MakePlan(12, 1000, 500));
    ASSERT_EQ(saved.status, SaveStatus::Saved);
    const auto loaded = store.Load(saved.contractId);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->txtDescBene, text);
    EXPECT_EQ(loaded->cboTipoLea, text);
    const auto tree = store.TreeEntries();
    ASSERT_EQ(tree.size(), 4u);
    EXPECT_EQ(tree[3].Descrizione, text);
    ASSERT_EQ(tree[3].contracts.size(), 1u);
    EXPECT_EQ(tree[3].contracts[0].DescBene, text);

    EXPECT_EQ(SaveNew(form, MakePlan(12, 1000, 500)).status, SaveStatus::Duplicate);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA"), 14);
    const auto tables = db.TableNames();
    EXPECT_NE(std::find(tables.begin(), tables.end(), "tabPDA"), tables.end());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HostileTextTest,
    ::testing::Combine(testing::kEngines,
                       ::testing::Values<std::string>(
                           "l'anno", "Il \"grande\" affare", "x'); DROP TABLE tabPDA; --",
                           "Auto #1/1/2000# n° 5 #", "SELECT TOP 1 ''' DELETE * FROM tabPDA",
                           "Perché È così: àèéìòù ÀÈÉÌÒÙ", "[ID Leasing]; --",
                           "12345678901234567890123456789012345678901234567'9\"",
                           "ÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈèÈè")));

}  // namespace
}  // namespace quotaplan
