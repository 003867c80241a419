#include "archive_fixture.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "data/archive_setup.h"
#include "data/archive_sql.h"
#include "data/connection.h"
#include "data/contract_store.h"
#include "data/postgres_engine.h"

namespace quotaplan::testing {
namespace {

namespace fs = std::filesystem;

std::string Hex(std::size_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%zx", value);
    return text;
}

// The template database holding the current PostgreSQL schema: made once per server (per
// schema text), under a server-wide lock, since test programs run side by side.
std::string TemplateDatabase(Database& admin) {
    const std::string name =
        "qp_template_" + Hex(std::hash<std::string_view>{}(NewArchiveSql(Engine::Postgresql)));
    Recordset lock(admin, "SELECT pg_advisory_lock(4242)");
    lock.Close();
    const bool exists =
        CountOf(admin, "SELECT COUNT(*) FROM pg_database WHERE datname = '" + name + "'") > 0;
    if (!exists) {
        const std::string partial = name + "_partial";
        admin.Execute("DROP DATABASE IF EXISTS " + partial);
        admin.Execute("CREATE DATABASE " + partial);
        {
            auto db = Database::Connect(ServerUri(partial));
            const auto made = InitArchive(db);
            if (!made.ok) throw std::runtime_error("template: " + made.message);
        }
        admin.Execute("ALTER DATABASE " + partial + " RENAME TO " + name);
    }
    Recordset unlock(admin, "SELECT pg_advisory_unlock(4242)");
    if (!admin.Errors().empty()) {
        throw std::runtime_error("template: " + admin.Errors().front().description);
    }
    return name;
}

std::atomic<int> databaseCount{0};

}  // namespace

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "SQLite" : "PostgreSQL";
}

std::optional<std::string> TestServer() {
    const char* uri = std::getenv("QUOTAPLAN_TEST_PG");
    if (uri == nullptr || *uri == '\0') return std::nullopt;
    return std::string(uri);
}

bool TestServerRequired() {
    const char* required = std::getenv("QUOTAPLAN_TEST_PG_REQUIRED");
    return required != nullptr && *required != '\0' && std::string(required) != "0";
}

std::string ServerUri(const std::string& database) {
    return PostgresUriWithDatabase(TestServer().value_or(""), database);
}

std::string ServerSetting(const std::string& key) {
    const std::string uri = TestServer().value_or("");
    const auto start = uri.find(key + "=");
    if (start == std::string::npos) return "";
    const auto value = start + key.size() + 1;
    return uri.substr(value, uri.find('&', value) - value);
}

TempArchive::TempArchive(Engine engine, Contents contents) : engine_(engine) {
    std::string pattern = (fs::temp_directory_path() / "qp-data-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    if (engine_ == Engine::Sqlite) {
        if (contents == Contents::Pristine) fs::copy_file(QUOTAPLAN_PRISTINE_ARCHIVE, File());
        return;
    }
    if (!TestServer()) {
        unavailable_ =
            "Nessun server PostgreSQL di prova: QUOTAPLAN_TEST_PG non è impostata (la imposta "
            ".ci/run, che avvia un server temporaneo).";
        return;
    }
    auto admin = Database::Connect(*TestServer());
    const auto source = contents == Contents::Pristine ? TemplateDatabase(admin) : "template0";
    database_ = "qp_test_" + std::to_string(::getpid()) + "_" + std::to_string(++databaseCount);
    admin.Execute("DROP DATABASE IF EXISTS " + database_ + " WITH (FORCE)");
    if (!admin.Execute("CREATE DATABASE " + database_ + " TEMPLATE " + source)) {
        throw std::runtime_error("test database: " + admin.Errors().front().description);
    }
}

TempArchive::~TempArchive() {
    std::error_code error;
    fs::permissions(File(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(folder_, error);
    if (!database_.empty()) {
        try {
            auto admin = Database::Connect(*TestServer());
            admin.Execute("DROP DATABASE IF EXISTS " + database_ + " WITH (FORCE)");
        } catch (const DatabaseError&) {
            // A server that went away takes its test databases with it.
        }
    }
}

std::string TempArchive::Address() const {
    return engine_ == Engine::Sqlite ? File().string() : ServerUri(database_);
}

Database TempArchive::Open() const {
    if (unavailable_) return Database();
    return engine_ == Engine::Sqlite ? Database::Open(File()) : Database::Connect(Address());
}

FinancialPlan MakePlan(int n, float maxi, float buyout) {
    FinancialPlan plan;
    plan.PlanReady = true;
    plan.Valore = 10000;
    plan.Maxicanone = maxi;
    plan.DataMaxi = *CalendarDate::FromYmd(2024, 1, 15);
    plan.Riscatto = buyout;
    plan.InteressiRiscatto = 0;
    float debt = plan.Valore - maxi;
    for (int k = 1; k <= n; ++k) {
        PlanRow row;
        row.Data = CalendarDate::FromYmdCarrying(2024, 1 + k, 15);
        row.Tasso = 0.0525f;
        row.QInteressi = 10.0f + k;
        row.QCapitale = 700.25f;
        row.Importo = row.QInteressi + row.QCapitale;
        debt -= row.QCapitale;
        row.DebitoRes = debt;
        plan.rows.push_back(row);
    }
    return plan;
}

ContractForm MakeForm(const std::string& description) {
    ContractForm form;
    form.txtDescBene = description;
    form.txtValBene = "10.000,00";
    form.txtMaxi = "1.000,00";
    form.txtTasso = "5,25";
    form.txtSpread = "0,00";
    form.txtRate = "12";
    form.txtRiscatto = "500,00";
    form.cboPeriodicita = 0;
    form.optCapSem = false;
    form.optPagAnt = true;
    form.txtContract = "15/01/24";
    form.txtStart = "15/02/24";
    form.txtDataRiscatto = "";
    form.chkIntRiscatto = false;
    form.txtSpContratto = "150,00";
    form.txtSpRata = "2,50";
    form.cboTipoLea = "Leasing";
    form.cboTxRif = "Euribor 3 mesi";
    return form;
}

SaveResult SaveNewContract(ContractStore& store, const std::string& description, int count,
                           float maxi, float buyout) {
    auto form = MakeForm(description);
    form.txtRate = std::to_string(count);
    return store.Save(form, MakePlan(count, maxi, buyout), PlanOwner::For(0, form),
                      SaveMode::NewContract, 0);
}

std::string DumpTable(Database& db, const std::string& table) {
    std::string dump;
    for (Recordset rows(db, "SELECT * FROM " + table + " ORDER BY ID"); !rows.Eof();
         rows.MoveNext()) {
        for (int k = 0; k < rows.FieldCount(); ++k) dump += rows.Value(k).ToText() + "|";
        dump += "\n";
    }
    return dump;
}

long long CountOf(Database& db, const std::string& sql) {
    Recordset rows(db, sql);
    return static_cast<long long>(rows.Value(0).ToDouble());
}

std::vector<DeskOutcome> RunDesksTogether(
    int desks, const std::function<std::pair<int, std::string>(int desk)>& work) {
    int go[2];
    if (pipe(go) != 0) return {};
    std::vector<std::pair<pid_t, int>> started;
    for (int desk = 0; desk < desks; ++desk) {
        int report[2];
        if (pipe(report) != 0) break;
        const pid_t pid = fork();
        if (pid == 0) {
            char start = 0;
            close(go[1]);
            if (read(go[0], &start, 1) != 0) _exit(9);  // all desks start together
            const auto [status, said] = work(desk);
            const bool written =
                write(report[1], said.data(), said.size()) == static_cast<ssize_t>(said.size());
            _exit(written ? status : 8);
        }
        close(report[1]);
        if (pid < 0) {
            close(report[0]);
            break;
        }
        started.emplace_back(pid, report[0]);
    }
    close(go[0]);
    close(go[1]);  // go
    std::vector<DeskOutcome> outcomes;
    for (const auto& [pid, report] : started) {
        DeskOutcome outcome;
        char buffer[256];
        for (ssize_t n; (n = read(report, buffer, sizeof buffer)) > 0;) {
            outcome.report.append(buffer, static_cast<std::size_t>(n));
        }
        close(report);
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
        outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

namespace {

bool IsSqlite(Database& db) { return db.Engine()->Kind() == Engine::Sqlite; }

}  // namespace

void InstallFailingPlanTrigger(Database& db, int after) {
    const auto count = std::to_string(after);
    const bool made =
        IsSqlite(db)
            ? db.ExecuteScript(
                  "CREATE TRIGGER guasto BEFORE INSERT ON tabPDA WHEN (SELECT "
                  "COUNT(ID) FROM tabPDA WHERE [ID Leasing] = NEW.[ID Leasing]) >= " +
                  count + " BEGIN SELECT RAISE(ABORT, 'guasto simulato'); END")
            : db.ExecuteScript(
                  "CREATE FUNCTION qp_guasto() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                  "IF (SELECT COUNT(*) FROM \"tabPDA\" WHERE \"ID Leasing\" = NEW.\"ID "
                  "Leasing\") >= " +
                  count +
                  " THEN RAISE EXCEPTION 'guasto simulato'; END IF; RETURN NEW; END $$; "
                  "CREATE TRIGGER guasto BEFORE INSERT ON \"tabPDA\" FOR EACH ROW EXECUTE "
                  "FUNCTION qp_guasto();");
    ASSERT_TRUE(made) << db.Errors().front().description;
}

void InstallFailingPlanDeleteTrigger(Database& db) {
    const bool made =
        IsSqlite(db)
            ? db.ExecuteScript(
                  "CREATE TRIGGER guasto BEFORE DELETE ON tabPDA BEGIN SELECT "
                  "RAISE(ABORT, 'guasto simulato'); END")
            : db.ExecuteScript(
                  "CREATE FUNCTION qp_guasto() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                  "RAISE EXCEPTION 'guasto simulato'; END $$; CREATE TRIGGER guasto BEFORE "
                  "DELETE ON \"tabPDA\" FOR EACH ROW EXECUTE FUNCTION qp_guasto();");
    ASSERT_TRUE(made) << db.Errors().front().description;
}

void RemoveFailingPlanTriggers(Database& db) {
    const bool removed =
        IsSqlite(db)
            ? db.ExecuteScript("DROP TRIGGER guasto")
            : db.ExecuteScript("DROP TRIGGER guasto ON \"tabPDA\"; DROP FUNCTION qp_guasto();");
    ASSERT_TRUE(removed) << db.Errors().front().description;
}

std::string FailingTriggerLine(Engine engine) {
    return engine == Engine::Sqlite ? "1811 - guasto simulato\n"
                                    : "-2147467259 - guasto simulato (SQLSTATE P0001)\n";
}

std::string OlderSchemaSql(Engine engine) {
    return engine == Engine::Sqlite
               ? "DROP TABLE tabPianoBanca; DROP TABLE tabTassiLegali; "
                 "ALTER TABLE tabContratti DROP COLUMN SpreadMora; "
                 "ALTER TABLE tabContratti DROP COLUMN TassoMora; "
                 "DROP INDEX idxContrattiChiaveDescBene; "
                 "ALTER TABLE tabContratti DROP COLUMN ChiaveDescBene; "
                 "ALTER TABLE tabContratti DROP COLUMN Centesimo; DROP TABLE tabSoglieUsura; "
                 "ALTER TABLE supTipologia DROP COLUMN CategoriaUsura; "
                 "ALTER TABLE supTipologia DROP COLUMN PenaleEstinzione; "
                 "DROP TABLE tabEventi; DROP TABLE tabEventiPDA; "
                 "CREATE INDEX idxContrattiDescBene ON tabContratti (trim(DescBene) COLLATE "
                 "NOCASE);"
               : R"(DROP TABLE "tabPianoBanca"; DROP TABLE "tabTassiLegali";)"
                 R"(ALTER TABLE "tabContratti" DROP COLUMN "SpreadMora";)"
                 R"(ALTER TABLE "tabContratti" DROP COLUMN "TassoMora";)"
                 R"(DROP INDEX "idxContrattiChiaveDescBene";)"
                 R"(ALTER TABLE "tabContratti" DROP COLUMN "ChiaveDescBene";)"
                 R"(ALTER TABLE "tabContratti" DROP COLUMN "Centesimo";)"
                 R"(DROP TABLE "tabSoglieUsura";)"
                 R"(ALTER TABLE "supTipologia" DROP COLUMN "CategoriaUsura";)"
                 R"(ALTER TABLE "supTipologia" DROP COLUMN "PenaleEstinzione";)"
                 R"(DROP TABLE "tabEventi"; DROP TABLE "tabEventiPDA";)"
                 R"(CREATE UNIQUE INDEX "idxContrattiDescBene" ON "tabContratti" )"
                 R"(((btrim("DescBene")));)";
}

std::string OlderViewsSql(Engine engine, int stamp) {
    const std::string sqlite =
        "DROP VIEW qryVersioneViste; DROP VIEW qryRLeaMese; CREATE VIEW qryRLeaMese AS SELECT "
        "c.DescBene AS DescBene, p.Data AS Data, p.Importo AS Importo FROM tabPDA AS p INNER "
        "JOIN tabContratti AS c ON c.ID = p.[ID Leasing] WHERE p.Tipo = 'Rata';";
    const std::string postgresql =
        R"(DROP VIEW "qryVersioneViste"; DROP VIEW "qryRLeaMese"; CREATE VIEW "qryRLeaMese" AS )"
        R"(SELECT c."DescBene" AS "DescBene", p."Data" AS "Data", p."Importo" AS "Importo" )"
        R"(FROM "tabPDA" AS p INNER JOIN "tabContratti" AS c ON c."ID" = p."ID Leasing" )"
        R"(WHERE p."Tipo" = 'Rata';)";
    const bool onSqlite = engine == Engine::Sqlite;
    std::string sql = onSqlite ? sqlite : postgresql;
    if (stamp > 0) {
        sql += onSqlite ? "CREATE VIEW qryVersioneViste AS SELECT " + std::to_string(stamp) +
                              " AS Versione;"
                        : R"(CREATE VIEW "qryVersioneViste" AS SELECT )" + std::to_string(stamp) +
                              R"( AS "Versione";)";
    }
    return sql;
}

void ExpectReadOnlyArchiveRefusesASave(const std::string& address) {
    RecordingMessageBoxes boxes;
    auto db = ADO_connConnectDB(address, "", "", boxes);
    ASSERT_TRUE(db.has_value());
    EXPECT_TRUE(db->IsReadOnly());
    ContractStore store(*db, boxes);
    EXPECT_EQ(store.TreeEntries().size(), 3u);
    EXPECT_EQ(SaveNewContract(store, "Non scrivibile", 12, 0, 0).status, SaveStatus::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, "3004 - Impossibile scrivere sul database!\n");
    EXPECT_EQ(CountOf(*db, "SELECT COUNT(ID) FROM tabContratti"), 0);
}

}  // namespace quotaplan::testing
