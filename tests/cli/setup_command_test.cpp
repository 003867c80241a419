// --init-archive and --copy-archive: an office moves its archive from a desk's file to the
// server and back, and every contract, plan row, lookup and reference-rate value comes along.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../data/archive_fixture.h"
#include "cli/quotaplan_calc.h"

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

// Two contracts and an imported series in the archive at `address`.
void Fill(const std::string& address, const fs::path& folder) {
    const std::vector<std::string> terms = {
        "--value", "30000",           "--rate",     "7.5",          "--count",
        "12",      "--contract-date", "2026-01-15", "--first-date", "2026-02-15"};
    for (const char* name : {"Fresatrice CNC", "Società è più"}) {
        std::vector<std::string> args = {"--db", address, "--save", name};
        args.insert(args.end(), terms.begin(), terms.end());
        ASSERT_EQ(Calc(args, folder).status, 0);
    }
    const auto series = folder / "serie.csv";
    std::ofstream(series) << "Data;Valore\n01/01/2026;2,125\n01/04/2026;2,50\n";
    ASSERT_EQ(
        Calc({"--db", address, "--import-index", series.string(), "--ref-rate", "Euribor 3 mesi"},
             folder)
            .status,
        0);
    const auto thresholds = folder / "soglie.csv";
    std::ofstream(thresholds) << "Credito personale;;;01/01/2026;31/03/2026;10,58\n"
                                 "Credito personale;;5.000;01/04/2026;;11,20\n";
    ASSERT_EQ(Calc({"--db", address, "--import-thresholds", thresholds.string()}, folder).status,
              0);
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

constexpr const char* kCounts =
    "{\"supTipologia\": 3, \"supTxRiferimento\": 5, \"tabContratti\": 2, \"tabPDA\": 28, "
    "\"tabSoglieUsura\": 2, \"tabValTxRiferimento\": 15}\n";

class ArchiveSetupCommands : public ::testing::Test {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(server); }

    TempArchive desk{Engine::Sqlite};
    TempArchive server{Engine::Postgresql, TempArchive::Contents::Empty};
};

TEST_F(ArchiveSetupCommands, TheArchiveGoesToTheServerAndComesBackWhole) {
    Fill(desk.Address(), desk.Folder());

    const auto made = Calc({"--db", server.Address(), "--init-archive"}, desk.Folder());
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(made.out.starts_with("Archivio nuovo pronto. Server: host=")) << made.out;
    const auto again = Calc({"--db", server.Address(), "--init-archive"}, desk.Folder());
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(again.err,
              "Il database non è vuoto (contiene le tabelle supTipologia, supTxRiferimento, "
              "tabContratti, tabPDA, tabSoglieUsura, tabValTxRiferimento): --init-archive "
              "prepara soltanto un archivio nuovo.\n");

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

    const auto copied = Calc({"--copy-archive", desk.Address(), server.Address()}, desk.Folder());
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_EQ(copied.out, kCounts);
    EXPECT_EQ(Shown(server.Address(), desk.Folder()), Shown(desk.Address(), desk.Folder()));
    EXPECT_EQ(Judged(server.Address(), desk.Folder()), judged);

    // Once is enough: a target with contracts is refused and left alone.
    const auto twice = Calc({"--copy-archive", desk.Address(), server.Address()}, desk.Folder());
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.err,
              "L'archivio di destinazione contiene già dati (2 righe in tabContratti): la copia "
              "si fa in un archivio nuovo.\n");

    // The server's next contract follows the copied ones.
    const auto saved = Calc({"--db", server.Address(), "--save", "Terzo", "--value", "1000",
                             "--rate", "5", "--count", "6"},
                            desk.Folder());
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "3\n");
    ASSERT_EQ(Calc({"--db", server.Address(), "--delete", "3"}, desk.Folder()).status, 0);

    // And back into a new file.
    const auto back = desk.Folder() / "ritorno.mdb";
    const auto returned = Calc({"--copy-archive", server.Address(), back.string()}, desk.Folder());
    ASSERT_EQ(returned.status, 0) << returned.err;
    EXPECT_EQ(returned.out, kCounts);
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
    const auto made = Calc({"--db", keyValue, "--init-archive"}, desk.Folder());
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(made.out.starts_with("Archivio nuovo pronto. Server: host=")) << made.out;
    const auto copied = Calc({"--copy-archive", desk.Address(), keyValue}, desk.Folder());
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_FALSE(fs::exists(keyValue));
    const std::string capitals =
        "POSTGRESQL:///" + server.ServerDatabase() + "?host=" + host + "&user=" + user;
    const auto listed = Calc({"--db", capitals, "--list"}, desk.Folder());
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "[]\n");

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
    const auto fileMade = Calc({"--db", file, "--init-archive"}, desk.Folder());
    EXPECT_EQ(fileMade.out, "Archivio nuovo pronto. File: " + file + "\n");
}

TEST_F(ArchiveSetupCommands, AFailedCopyLeavesTheTargetAsItWas) {
    Fill(desk.Address(), desk.Folder());
    ASSERT_EQ(Calc({"--db", server.Address(), "--init-archive"}, desk.Folder()).status, 0);
    {
        auto db = server.Open();
        testing::InstallFailingPlanTrigger(db, 6);
    }
    const auto failed = Calc({"--copy-archive", desk.Address(), server.Address()}, desk.Folder());
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, testing::FailingTriggerLine(Engine::Postgresql));
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
    const auto refused = Calc({"--copy-archive", server.Address(), back.string()}, desk.Folder());
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err,
              "Nell'archivio di destinazione manca la colonna Codice della tabella "
              "supTipologia.\n");
    EXPECT_FALSE(fs::exists(back));
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
            ASSERT_EQ(Calc({"--db", target, "--init-archive"}, desk.Folder()).status, 0);
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

INSTANTIATE_TEST_SUITE_P(Engines, CopyOfNamesThatCollide, testing::kEngines,
                         testing::EngineName);

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
    const auto again = Calc({"--db", target, "--save", "MACCHINA 3 (3)", "--value", "1000",
                             "--rate", "5", "--count", "6"},
                            desk.Folder());
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(Contracts(), 4);
    EXPECT_EQ(Calc({"--rename-duplicates", "--db", target}, desk.Folder()).err,
              "--rename-duplicates si usa solo con --copy-archive.\n");
}

TEST(ArchiveSetupCommand, AFileIsMadeOnlyWhereNoneIs) {
    TempArchive desk;
    const auto made = Calc({"--db", desk.Address(), "--init-archive"}, desk.Folder());
    EXPECT_EQ(made.status, 2);
    EXPECT_EQ(made.err, "Il file " + desk.Address() +
                            " esiste già: --init-archive crea soltanto un archivio nuovo.\n");
    const auto fresh = desk.Folder() / "nuovo.mdb";
    const auto created = Calc({"--db", fresh.string(), "--init-archive"}, desk.Folder());
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.out, "Archivio nuovo pronto. File: " + fresh.string() + "\n");
    const auto list = Calc({"--db", fresh.string(), "--list"}, desk.Folder());
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "[]\n");
    EXPECT_EQ(Calc({"--copy-archive", desk.Address()}, desk.Folder()).err,
              "Mancano i due valori dell'opzione --copy-archive\n");
}

TEST(ArchiveSetupCommand, ATargetWithOneContractIsRefusedInGoodItalian) {
    TempArchive desk;
    const auto target = desk.Folder() / "uno.mdb";
    ASSERT_EQ(Calc({"--db", target.string(), "--init-archive"}, desk.Folder()).status, 0);
    ASSERT_EQ(Calc({"--db", target.string(), "--save", "Unico", "--value", "1000", "--rate", "5",
                    "--count", "3"},
                   desk.Folder())
                  .status,
              0);
    const auto refused = Calc({"--copy-archive", desk.Address(), target.string()}, desk.Folder());
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err,
              "L'archivio di destinazione contiene già dati (1 riga in tabContratti): la copia "
              "si fa in un archivio nuovo.\n");
}

}  // namespace
}  // namespace quotaplan
