// --init-archive and --copy-archive: an office moves its archive from a desk's file to the
// server and back, and every contract, plan row, lookup and reference-rate value comes along.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "../data/archive_fixture.h"
#include "cli/quotaplan_calc.h"
#include "common/recording_message_boxes.h"
#include "data/connection.h"
#include "data/contract_store.h"

namespace quotaplan {
namespace {

namespace fs = std::filesystem;
using testing::Engine;
using testing::TempArchive;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Calc(const std::vector<std::string>& args, const fs::path& folder) {
    std::ostringstream out, err;
    const int status = RunQuotaplanCalc(args, out, err, folder);
    return {status, out.str(), err.str()};
}

// The output of a command that must succeed.
std::string Ok(const std::vector<std::string>& args, const fs::path& folder) {
    const Outcome run = Calc(args, folder);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

// A command that fails with `status` and the message `err`.
void Fails(const std::vector<std::string>& args, const fs::path& folder, int status,
           const std::string& err) {
    const Outcome run = Calc(args, folder);
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.err, err);
}

// Two contracts and an imported series in the archive at `address`.
void Fill(const std::string& address, const fs::path& folder) {
    const std::vector<std::string> terms = {
        "--value", "30000",           "--rate",     "7.5",          "--count",
        "12",      "--contract-date", "2026-01-15", "--first-date", "2026-02-15"};
    for (const char* name : {"Fresatrice CNC", "Società è più"}) {
        std::vector<std::string> args = {"--db", address, "--save", name};
        args.insert(args.end(), terms.begin(), terms.end());
        Ok(args, folder);
    }
    const auto series = folder / "serie.csv";
    std::ofstream(series) << "Data;Valore\n01/01/2026;2,125\n01/04/2026;2,50\n";
    Ok({"--db", address, "--import-index", series.string(), "--ref-rate", "Euribor 3 mesi"},
       folder);
    const auto thresholds = folder / "soglie.csv";
    std::ofstream(thresholds) << "Credito personale;;;01/01/2026;31/03/2026;10,58\n"
                                 "Credito personale;;5.000;01/04/2026;;11,20\n";
    Ok({"--db", address, "--import-thresholds", thresholds.string()}, folder);
}

// The usury verdict of a contract of the type "Mutuo", whose category is set by SQL: what the
// calculator shows of the thresholds and the types' categories.
std::string Judged(const std::string& address, const fs::path& folder) {
    return Calc({"--db", address, "--type", "Mutuo", "--value", "4000", "--rate", "9", "--count",
                 "12", "--contract-date", "2026-02-01", "--first-date", "2026-03-01"},
                folder)
        .out;
}

// What the calculator shows of an archive: the tree and every contract with its plan.
std::string Shown(const std::string& address, const fs::path& folder) {
    std::string shown = Calc({"--db", address, "--list"}, folder).out;
    for (const char* id : {"1", "2"}) shown += Calc({"--db", address, "--show", id}, folder).out;
    return shown;
}

// The names in a folder.
std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

constexpr const char* kCounts =
    "{\"supTipologia\": 3, \"supTxRiferimento\": 5, \"tabContratti\": 2, \"tabEventi\": 0, "
    "\"tabEventiPDA\": 0, \"tabPDA\": 28, \"tabPianoBanca\": 0, \"tabSoglieUsura\": 2, "
    "\"tabTassiLegali\": 0, \"tabValTxRiferimento\": 15}\n";

class ArchiveSetupCommands : public ::testing::Test {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(server); }

    TempArchive desk{Engine::Sqlite};
    TempArchive server{Engine::Postgresql, TempArchive::Contents::Empty};
};

TEST_F(ArchiveSetupCommands, TheArchiveGoesToTheServerAndComesBackWhole) {
    Fill(desk.Address(), desk.Folder());

    const std::string made = Ok({"--db", server.Address(), "--init-archive"}, desk.Folder());
    EXPECT_TRUE(made.starts_with("Archivio nuovo pronto. Server: host=")) << made;
    Fails({"--db", server.Address(), "--init-archive"}, desk.Folder(), 2,
          "Il database non è vuoto (contiene le tabelle supTipologia, supTxRiferimento, "
          "tabContratti, tabEventi, tabEventiPDA, tabPDA, tabPianoBanca, tabSoglieUsura, "
          "tabTassiLegali, "
          "tabValTxRiferimento): --init-archive prepara soltanto un archivio nuovo.\n");

    {
        auto db = desk.Open();
        ASSERT_TRUE(
            db.Execute("UPDATE supTipologia SET CategoriaUsura = 'Credito personale' "
                       "WHERE Descrizione = 'Mutuo'"));
    }
    const std::string judged = Judged(desk.Address(), desk.Folder());
    EXPECT_NE(judged.find("\"usury\": {\"category\": \"Credito personale\", \"tegm\": 10.58, "
                          "\"threshold\": 17.225"),
              std::string::npos)
        << judged;

    EXPECT_EQ(Ok({"--copy-archive", desk.Address(), server.Address()}, desk.Folder()), kCounts);
    EXPECT_EQ(Shown(server.Address(), desk.Folder()), Shown(desk.Address(), desk.Folder()));
    EXPECT_EQ(Judged(server.Address(), desk.Folder()), judged);

    // Once is enough: a target with contracts is refused and left alone.
    Fails({"--copy-archive", desk.Address(), server.Address()}, desk.Folder(), 2,
          "L'archivio di destinazione contiene già dati (supTipologia modificata, 2 righe in "
          "tabContratti, 28 righe in tabPDA, 2 righe in tabSoglieUsura, tabValTxRiferimento "
          "modificata): la copia si fa in un archivio nuovo; con --replace prende il posto "
          "di questi dati.\n");

    // The server's next contract follows the copied ones.
    EXPECT_EQ(Ok({"--db", server.Address(), "--save", "Terzo", "--value", "1000", "--rate", "5",
                  "--count", "6"},
                 desk.Folder()),
              "3\n");
    Ok({"--db", server.Address(), "--delete", "3"}, desk.Folder());

    // And back into a new file.
    const auto back = desk.Folder() / "ritorno.mdb";
    EXPECT_EQ(Ok({"--copy-archive", server.Address(), back.string()}, desk.Folder()), kCounts);
    EXPECT_EQ(Shown(back.string(), desk.Folder()), Shown(desk.Address(), desk.Folder()));
    EXPECT_EQ(Judged(back.string(), desk.Folder()), judged);
}

// The forms libpq documents name the server, never a local file; a password in them never
// shows in a message.
TEST_F(ArchiveSetupCommands, KeyValueAddressesAndUrisInCapitalsReachTheServer) {
    const std::string host = testing::ServerSetting("host");
    const std::string user = testing::ServerSetting("user");
    const std::string keyValue =
        "host=" + host + " dbname=" + server.ServerDatabase() + " user=" + user;
    const std::string made = Ok({"--db", keyValue, "--init-archive"}, desk.Folder());
    EXPECT_TRUE(made.starts_with("Archivio nuovo pronto. Server: host=")) << made;
    Ok({"--copy-archive", desk.Address(), keyValue}, desk.Folder());
    EXPECT_FALSE(fs::exists(keyValue));
    const std::string capitals =
        "POSTGRESQL:///" + server.ServerDatabase() + "?host=" + host + "&user=" + user;
    EXPECT_EQ(Ok({"--db", capitals, "--list"}, desk.Folder()), "[]\n");

    for (const std::string& secret :
         {"host=" + host + " dbname=nessuno user=" + user + " password=Segreta99",
          "postgresql://" + user + ":Segr%ZZeta99@/nessuno?host=" + host}) {
        const auto refused = Calc({"--db", secret, "--list"}, desk.Folder());
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("Database non trovato! Server:"), std::string::npos)
            << refused.err;
        EXPECT_EQ(refused.err.find("Segr"), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(secret));
    }
    // A file whose name looks like an address is written with its folder.
    const auto file = (desk.Folder() / "dbname=copia.mdb").string();
    EXPECT_EQ(Ok({"--db", file, "--init-archive"}, desk.Folder()),
              "Archivio nuovo pronto. File: " + file + "\n");
}

TEST_F(ArchiveSetupCommands, AFailedCopyLeavesTheTargetAsItWas) {
    Fill(desk.Address(), desk.Folder());
    Ok({"--db", server.Address(), "--init-archive"}, desk.Folder());
    {
        auto db = server.Open();
        testing::InstallFailingPlanTrigger(db, 6);
    }
    Fails({"--copy-archive", desk.Address(), server.Address()}, desk.Folder(), 1,
          testing::FailingTriggerLine(Engine::Postgresql));
    auto db = server.Open();
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(*) FROM tabContratti"), 0);
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(*) FROM tabPDA"), 0);
    EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(*) FROM tabValTxRiferimento"), 13);

    // A new file made for a copy that fails does not stay behind.
    const auto back = desk.Folder() / "ritorno.mdb";
    {
        auto source = server.Open();
        ASSERT_TRUE(source.Execute("INSERT INTO supTipologia (Descrizione) VALUES ('Noleggio')"));
        ASSERT_TRUE(
            source.ExecuteScript("ALTER TABLE \"supTipologia\" ADD COLUMN \"Codice\" text"));
    }
    Fails({"--copy-archive", server.Address(), back.string()}, desk.Folder(), 2,
          "Nell'archivio di destinazione manca la colonna Codice della tabella supTipologia.\n");
    EXPECT_EQ(Names(desk.Folder()),
              (std::set<std::string>{"Quotaplan.mdb", "serie.csv", "soglie.csv"}));
}

// A desk's archive holding names that are one name under the archive's rule (stored before
// the rule, or by another program): the copy names each pair before writing anything, into
// a file or onto a server, and renames the later ones when asked.
class CopyOfNamesThatCollide : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (GetParam() == Engine::Postgresql) QP_REQUIRE_ARCHIVE(server);
        auto db = desk.Open();
        for (const char* name : {"Màcchina 3", "macchina 3", "Macchina 3 (2)", "MACCHINA  3"}) {
            ASSERT_TRUE(db.Execute(std::string("INSERT INTO tabContratti (DescBene, [ID "
                                               "Tipologia]) VALUES ('") +
                                   name + "', 1)"));
        }
        if (GetParam() == Engine::Postgresql) {
            target = server.Address();
            Ok({"--db", target, "--init-archive"}, desk.Folder());
        } else {
            target = (desk.Folder() / "copia.mdb").string();
        }
    }

    long long Contracts() {
        if (GetParam() == Engine::Sqlite && !fs::exists(target)) return -1;
        auto db = GetParam() == Engine::Sqlite ? Database::Open(target) : server.Open();
        return testing::CountOf(db, "SELECT COUNT(*) FROM tabContratti");
    }

    TempArchive desk{Engine::Sqlite};
    TempArchive server{Engine::Postgresql, TempArchive::Contents::Empty};
    std::string target;
};

INSTANTIATE_TEST_SUITE_P(Engines, CopyOfNamesThatCollide, testing::kEngines, testing::EngineName);

TEST_P(CopyOfNamesThatCollide, ArePairedBeforeAnyWriteAndRenamedOnRequest) {
    const auto refused = Calc({"--copy-archive", desk.Address(), target}, desk.Folder());
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "Nell'archivio da copiare ci sono contratti con lo stesso nome (maiuscole, accenti "
              "e spazi a parte):\n"
              "  1 \"Màcchina 3\" e 2 \"macchina 3\"\n"
              "  1 \"Màcchina 3\" e 4 \"MACCHINA  3\"\n"
              "Nulla è stato copiato. Con --rename-duplicates i successivi prendono \" (2)\", "
              "\" (3)\"... in fondo al nome.\n");
    EXPECT_EQ(Contracts(), GetParam() == Engine::Sqlite ? -1 : 0);

    const auto renamed =
        Calc({"--copy-archive", desk.Address(), target, "--rename-duplicates"}, desk.Folder());
    ASSERT_EQ(renamed.status, 0) << renamed.err;
    EXPECT_EQ(renamed.err,
              "Il contratto 2 \"macchina 3\" è copiato come \"macchina 3 (3)\".\n"
              "Il contratto 4 \"MACCHINA  3\" è copiato come \"MACCHINA  3 (4)\".\n");
    EXPECT_EQ(Calc({"--db", target, "--list"}, desk.Folder()).out,
              "[\n  {\"type\": \"Leasing\", \"id\": 1, \"description\": \"Màcchina 3\"},\n"
              "  {\"type\": \"Leasing\", \"id\": 2, \"description\": \"macchina 3 (3)\"},\n"
              "  {\"type\": \"Leasing\", \"id\": 3, \"description\": \"Macchina 3 (2)\"},\n"
              "  {\"type\": \"Leasing\", \"id\": 4, \"description\": \"MACCHINA  3 (4)\"}\n]\n");
    // The copy's keys hold the names apart from now on.
    EXPECT_EQ(Calc({"--db", target, "--save", "MACCHINA 3 (3)", "--value", "1000", "--rate", "5",
                    "--count", "6"},
                   desk.Folder())
                  .status,
              2);
    EXPECT_EQ(Contracts(), 4);
    EXPECT_EQ(Calc({"--rename-duplicates", "--db", target}, desk.Folder()).err,
              "--rename-duplicates si usa solo con --copy-archive.\n");
}

TEST(ArchiveSetupCommand, AFileIsMadeOnlyWhereNoneIs) {
    TempArchive desk;
    Fails({"--db", desk.Address(), "--init-archive"}, desk.Folder(), 2,
          "Il file " + desk.Address() +
              " esiste già: --init-archive crea soltanto un archivio nuovo.\n");
    const auto fresh = desk.Folder() / "nuovo.mdb";
    EXPECT_EQ(Ok({"--db", fresh.string(), "--init-archive"}, desk.Folder()),
              "Archivio nuovo pronto. File: " + fresh.string() + "\n");
    EXPECT_EQ(Ok({"--db", fresh.string(), "--list"}, desk.Folder()), "[]\n");
    EXPECT_EQ(Calc({"--copy-archive", desk.Address()}, desk.Folder()).err,
              "Mancano i due valori dell'opzione --copy-archive\n");
    const auto nowhere = desk.Folder() / "manca" / "nuovo.mdb";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--db", nowhere.string(), "--init-archive"},
             {"--copy-archive", desk.Address(), nowhere.string()}}) {
        Fails(args, desk.Folder(), 1, "Impossibile scrivere il file " + nowhere.string() + ".\n");
    }
}

// A copy goes into a new archive; a target that holds anything else (an imported usury table,
// reference-rate values, changed lookup lists, contracts) is refused naming it and left
// alone, or, with --replace, given over to the copy with the counts of what it held.
struct HeldTarget {
    const char* name;
    std::vector<std::string> statements;  // run on a new target
    const char* held;                     // what the refusal names; "" none
    const char* replaced;                 // the "replaced" counts of --replace, when refused
};

const HeldTarget kHeldTargets[] = {
    {"NewArchive", {}, "", ""},
    {"UsuryTable",
     {"INSERT INTO tabSoglieUsura (Categoria, Dal, TEGM) VALUES ('Mutui', '2026-01-01', 4.5)"},
     "1 riga in tabSoglieUsura",
     R"({"supTipologia": 3, "supTxRiferimento": 5, "tabSoglieUsura": 1, )"
     R"("tabValTxRiferimento": 13})"},
    {"ReferenceValue",
     {"UPDATE tabValTxRiferimento SET Valore = 2.5 WHERE ID = 2"},
     "tabValTxRiferimento modificata",
     R"({"supTipologia": 3, "supTxRiferimento": 5, "tabValTxRiferimento": 13})"},
    {"UsuryCategory",
     {"UPDATE supTipologia SET CategoriaUsura = 'Mutui' WHERE ID = 2"},
     "supTipologia modificata",
     R"({"supTipologia": 3, "supTxRiferimento": 5, "tabValTxRiferimento": 13})"},
    {"TypeAdded",
     {"INSERT INTO supTipologia (Descrizione) VALUES ('Noleggio')"},
     "supTipologia modificata",
     R"({"supTipologia": 4, "supTxRiferimento": 5, "tabValTxRiferimento": 13})"},
    {"RateRemoved",
     {"DELETE FROM supTxRiferimento WHERE ID = 5"},
     "supTxRiferimento modificata",
     R"({"supTipologia": 3, "supTxRiferimento": 4, "tabValTxRiferimento": 13})"},
    {"Contract",
     {"INSERT INTO tabContratti (DescBene, NumRate, Periodicita, [ID Tipologia]) VALUES "
      "('Unico', 1, 12, 1)",
      "INSERT INTO tabPDA ([ID Leasing], Tipo) VALUES (1, 'Rata')"},
     "1 riga in tabContratti, 1 riga in tabPDA",
     R"({"supTipologia": 3, "supTxRiferimento": 5, "tabContratti": 1, "tabPDA": 1, )"
     R"("tabValTxRiferimento": 13})"},
};

// Every row of every table, to compare an archive before and after.
std::string AllRows(Database& db) {
    std::string rows;
    for (const auto& table : db.TableNames()) rows += testing::DumpTable(db, table);
    return rows;
}

std::string LookupLists(Database&& db) {
    return testing::DumpTable(db, "supTipologia") + testing::DumpTable(db, "supTxRiferimento");
}

// A desk's file copied into a target of each engine.
class CopyInto : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(target); }

    // Saves a contract of 12 instalments at the desk.
    void SaveAtDesk(const std::string& name) {
        Ok({"--db", desk.Address(), "--save", name, "--value", "30000", "--rate", "7.5", "--count",
            "12", "--contract-date", "2026-01-15", "--first-date", "2026-02-15"},
           desk.Folder());
    }

    TempArchive desk{Engine::Sqlite};
    TempArchive target{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Engines, CopyInto, testing::kEngines, testing::EngineName);

TEST_P(CopyInto, ATargetHoldingMoreThanANewArchiveIsRefusedOrReplaced) {
    SaveAtDesk("Fresatrice CNC");
    const std::string copied =
        R"({"supTipologia": 3, "supTxRiferimento": 5, "tabContratti": 1, "tabEventi": 0, )"
        R"("tabEventiPDA": 0, "tabPDA": 14, "tabPianoBanca": 0, "tabSoglieUsura": 0, )"
        R"("tabTassiLegali": 0, "tabValTxRiferimento": 13})";
    const std::string shown = Shown(desk.Address(), desk.Folder());
    for (const HeldTarget& row : kHeldTargets) {
        SCOPED_TRACE(row.name);
        TempArchive held{GetParam()};
        std::string before;
        {
            auto db = held.Open();
            for (const auto& statement : row.statements) ASSERT_TRUE(db.Execute(statement));
            before = AllRows(db);
        }
        const auto plain = Calc({"--copy-archive", desk.Address(), held.Address()}, desk.Folder());
        if (*row.held == '\0') {
            EXPECT_EQ(plain.status, 0) << plain.err;
            EXPECT_EQ(plain.out, copied + "\n");
        } else {
            EXPECT_EQ(plain.status, 2);
            EXPECT_EQ(plain.err, std::string("L'archivio di destinazione contiene già dati (") +
                                     row.held +
                                     "): la copia si fa in un archivio nuovo; con --replace "
                                     "prende il posto di questi dati.\n");
            EXPECT_EQ(plain.out, "");
            auto db = held.Open();
            EXPECT_EQ(AllRows(db), before);

            const auto replacing = Calc(
                {"--copy-archive", desk.Address(), held.Address(), "--replace"}, desk.Folder());
            EXPECT_EQ(replacing.status, 0) << replacing.err;
            EXPECT_EQ(replacing.out,
                      "{\"copied\": " + copied + ", \"replaced\": " + row.replaced + "}\n");
        }
        EXPECT_EQ(Shown(held.Address(), desk.Folder()), shown);
        EXPECT_EQ(LookupLists(held.Open()), LookupLists(desk.Open()));
        auto db = held.Open();
        EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(*) FROM tabSoglieUsura"), 0);
        EXPECT_EQ(testing::CountOf(db, "SELECT COUNT(*) FROM tabValTxRiferimento"), 13);
    }
    EXPECT_EQ(Calc({"--db", desk.Address(), "--replace", "--list"}, desk.Folder()).err,
              "--replace si usa solo con --copy-archive.\n");
}

// The bytes of a file.
std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A desk's file of the previous version is copied, and stays as it was: no new columns, no
// new table, not a byte changed. The copy has this version's schema, the new columns at their
// defaults; replacing, even the target's usury table, which the source lacks, gives way.
TEST_P(CopyInto, AnOlderSourceIsOnlyRead) {
    SaveAtDesk("Fresatrice CNC");
    {
        auto db = desk.Open();
        ASSERT_TRUE(db.ExecuteScript(testing::OlderSchemaSql(testing::Engine::Sqlite)))
            << db.Errors().back().description;
    }
    const std::string original = Bytes(desk.File());
    {
        auto db = target.Open();
        ASSERT_TRUE(
            db.Execute("INSERT INTO tabSoglieUsura (Categoria, Dal, TEGM) VALUES "
                       "('Mutui', '2026-01-01', 4.5)"));
    }
    EXPECT_EQ(Ok({"--copy-archive", desk.Address(), target.Address(), "--replace"}, desk.Folder()),
              R"({"copied": {"supTipologia": 3, "supTxRiferimento": 5, "tabContratti": 1, )"
              R"("tabPDA": 14, "tabValTxRiferimento": 13}, "replaced": {"supTipologia": 3, )"
              R"("supTxRiferimento": 5, "tabSoglieUsura": 1, "tabValTxRiferimento": 13}})"
              "\n");
    const auto fresh = desk.Folder() / "nuovo.mdb";
    Ok({"--copy-archive", desk.Address(), fresh.string()}, desk.Folder());
    EXPECT_TRUE(Bytes(desk.File()) == original);

    for (const std::string& address : {target.Address(), fresh.string()}) {
        SCOPED_TRACE(address);
        const auto shown = Calc({"--db", address, "--show", "1"}, desk.Folder());
        EXPECT_NE(shown.out.find("\"plan_to_the_cent\": false"), std::string::npos) << shown.out;
        RecordingMessageBoxes boxes;
        auto db = ADO_connConnectDB(address, "", "", boxes);
        ASSERT_TRUE(db.has_value());
        Recordset contract(*db, "SELECT * FROM tabContratti");
        ASSERT_EQ(contract.FieldCount(), 48);
        EXPECT_EQ(contract.FieldName(44), "Centesimo");
        EXPECT_EQ(contract.Value(44).ToDouble(), 0);
        EXPECT_EQ(contract.FieldName(45), "ChiaveDescBene");
        EXPECT_EQ(contract.Value(45).ToText(), "fresatrice cnc");
        EXPECT_EQ(testing::CountOf(*db,
                                   "SELECT COUNT(*) FROM supTipologia WHERE CategoriaUsura "
                                   "IS NULL"),
                  3);
        EXPECT_EQ(testing::CountOf(*db, "SELECT COUNT(*) FROM tabSoglieUsura"), 0);
    }
}

// Texts of a file that the server cannot hold as they are: NUL, where the server's texts end,
// and bytes an older program wrote in Windows-1252. The server gets them read as meant, and
// each is listed; a file keeps them byte for byte.
struct OddText {
    const char* table;
    int id;
    const char* column;
    const char* hex;     // the bytes stored at the desk
    const char* stored;  // what the server holds then
    const char* change;
};

// In the order copied: table by table, each in ID order.
const OddText kOddTexts[] = {
    {"supTipologia", 3, "Descrizione", "4372E96469746F2080", "Crédito €",
     "byte non UTF-8 letti come Windows-1252"},
    {"supTxRiferimento", 2, "Descrizione", "45E7BD00", "E\u00E7\u00BD\uFFFD",
     "byte non UTF-8 letti come Windows-1252, carattere NUL sostituito da \"\uFFFD\""},
    {"tabContratti", 1, "DescBene", "410042", "A\uFFFDB", "carattere NUL sostituito da \"\uFFFD\""},
    {"tabContratti", 2, "DescBene", "536F63696574E0207069F9", "Società più",
     "byte non UTF-8 letti come Windows-1252"},
};

TEST_P(CopyInto, TextsTheServerCannotHoldAreReadAsMeantAndListed) {
    SaveAtDesk("Primo");
    SaveAtDesk("Secondo");
    std::map<std::string, std::string> atDesk;
    {
        auto db = desk.Open();
        for (const OddText& odd : kOddTexts) {
            const std::string where =
                std::string(" FROM ") + odd.table + " WHERE ID = " + std::to_string(odd.id);
            ASSERT_TRUE(db.Execute(std::string("UPDATE ") + odd.table + " SET " + odd.column +
                                   " = CAST(X'" + odd.hex +
                                   "' AS TEXT) WHERE ID = " + std::to_string(odd.id)));
            atDesk[odd.table + std::to_string(odd.id)] =
                Recordset(db, std::string("SELECT ") + odd.column + where).Value(0).ToText();
        }
    }
    const auto copied = Calc({"--copy-archive", desk.Address(), target.Address()}, desk.Folder());
    ASSERT_EQ(copied.status, 0) << copied.err;
    const bool server = GetParam() == Engine::Postgresql;
    std::string listed;
    auto db = target.Open();
    for (const OddText& odd : kOddTexts) {
        const std::string held =
            Recordset(db, std::string("SELECT ") + odd.column + " FROM " + odd.table +
                              " WHERE ID = " + std::to_string(odd.id))
                .Value(0)
                .ToText();
        EXPECT_EQ(held,
                  server ? std::string(odd.stored) : atDesk[odd.table + std::to_string(odd.id)])
            << odd.table << " " << odd.id;
        if (server) {
            listed += std::string("Testo cambiato nella copia: ") + odd.table + ", ID " +
                      std::to_string(odd.id) + ", campo " + odd.column + ": " + odd.change +
                      " (ora \"" + odd.stored + "\").\n";
        }
    }
    EXPECT_EQ(copied.err, listed);
}

// A copy into a new file killed at any moment leaves under the file's name either nothing or
// the whole copy, never a file that fails to open; the next copy takes the name and leaves
// nothing else in the folder.
TEST(ArchiveSetupCommand, ACopyKilledMidwayLeavesNoArchiveBehind) {
    TempArchive desk;
    {
        // Large enough that the copy takes a while: 40 contracts of 360 instalments.
        RecordingMessageBoxes boxes;
        auto db = desk.Open();
        ContractStore store(db, boxes);
        for (int n = 0; n < 40; ++n) {
            ASSERT_EQ(testing::SaveNewContract(store, "Contratto " + std::to_string(n), 360).status,
                      SaveStatus::Saved);
        }
    }
    const std::string listed = Calc({"--db", desk.Address(), "--list"}, desk.Folder()).out;
    const fs::path folder = desk.Folder() / "copie";
    fs::create_directory(folder);
    const fs::path copy = folder / "copia.mdb";
    for (const int delayMs : {0, 2, 10, 40}) {
        SCOPED_TRACE(delayMs);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::ostringstream out, err;
            _exit(RunQuotaplanCalc({"--copy-archive", desk.Address(), copy.string()}, out, err,
                                   desk.Folder()));
        }
        int status = 0;
        bool ended = false;
        while (fs::is_empty(folder) && !ended) {
            ended = waitpid(pid, &status, WNOHANG) == pid;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        if (fs::exists(copy)) {
            // The copy ended before the kill: it is whole.
            EXPECT_EQ(Calc({"--db", copy.string(), "--list"}, desk.Folder()).out, listed);
            fs::remove(copy);
        }
        Ok({"--copy-archive", desk.Address(), copy.string()}, desk.Folder());
        EXPECT_EQ(Names(folder), std::set<std::string>{"copia.mdb"});
        EXPECT_EQ(Calc({"--db", copy.string(), "--list"}, desk.Folder()).out, listed);
        fs::remove(copy);
    }
}

}  // namespace
}  // namespace quotaplan
