// Several desks on one archive: saves at the same moment, uniqueness kept by the archive
// itself, and (on PostgreSQL) what a desk sees when the server is locked, read-only,
// unreachable or restarted.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "archive_fixture.h"
#include "common/clock.h"
#include "data/archive_views.h"
#include "data/connection.h"
#include "data/contract_store.h"

namespace quotaplan {
namespace {

using testing::CountOf;
using testing::Engine;
using testing::ExpectReadOnlyArchiveRefusesASave;
using testing::TempArchive;

constexpr int kDesks = 4;
constexpr int kSavesPerDesk = 50;
// Long enough that no desk gives up while the three others save before it.
constexpr int kPatientTimeoutMs = 60000;

Database OpenPatiently(const TempArchive& archive) {
    return archive.GetEngine() == Engine::Sqlite
               ? Database::Open(archive.File(), kPatientTimeoutMs)
               : Database::Connect(archive.Address(), kPatientTimeoutMs);
}

// Contracts whose plan is not whole ("Maxi.", one "Rata" per instalment, "Riscatto"), and
// plan rows whose contract does not exist.
long long PartialContracts(Database& db) {
    return CountOf(db,
                   "SELECT COUNT(ID) FROM tabContratti AS c WHERE (SELECT COUNT(ID) FROM tabPDA "
                   "AS p WHERE p.[ID Leasing] = c.ID) <> c.NumRate + 2") +
           CountOf(db,
                   "SELECT COUNT(ID) FROM tabPDA AS p WHERE NOT EXISTS (SELECT ID FROM "
                   "tabContratti AS c WHERE c.ID = p.[ID Leasing])");
}

// Pairs of contracts whose descriptions the program takes for the same.
long long SameDescriptions(Database& db) {
    return CountOf(db,
                   "SELECT COUNT(ID) FROM tabContratti AS c WHERE EXISTS (SELECT ID FROM "
                   "tabContratti AS d WHERE Trim(d.DescBene) = Trim(c.DescBene) COLLATE NOCASE "
                   "AND d.ID <> c.ID)");
}

class SharedArchive : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override { QP_REQUIRE_ARCHIVE(archive); }

    TempArchive archive{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Engines, SharedArchive, testing::kEngines, testing::EngineName);

// Four desks save fifty contracts each, all at once; half of the names are the same on every
// desk (in another letter case on each), so every one of them is saved by exactly one desk
// and refused on the three others.
TEST_P(SharedArchive, FourDesksSavingAtOnceKeepEveryNameOnceAndEveryPlanWhole) {
    // Each desk reports how many of its saves were saved, refused as duplicates, or failed.
    const auto outcomes = testing::RunDesksTogether(kDesks, [this](int desk) {
        RecordingMessageBoxes boxes;
        auto db = OpenPatiently(archive);
        ContractStore store(db, boxes);
        int counts[3] = {0, 0, 0};
        for (int n = 0; n < kSavesPerDesk; ++n) {
            std::string name = n % 2 == 0
                                   ? "Comune " + std::to_string(n / 2)
                                   : "Sportello " + std::to_string(desk) + "-" + std::to_string(n);
            if (desk % 2 == 1) name = " " + std::string(1, 'C') + name.substr(1);
            if (desk == 2) name += " ";
            const SaveStatus status = testing::SaveNewContract(store, name).status;
            ++counts[status == SaveStatus::Saved ? 0 : status == SaveStatus::Duplicate ? 1 : 2];
        }
        return std::pair{0, std::to_string(counts[0]) + " " + std::to_string(counts[1]) + " " +
                                std::to_string(counts[2])};
    });
    ASSERT_EQ(outcomes.size(), static_cast<std::size_t>(kDesks));
    int saved = 0, duplicate = 0, failed = 0;
    for (const testing::DeskOutcome& outcome : outcomes) {
        EXPECT_EQ(outcome.status, 0);
        int s = 0, d = 0, f = 0;
        ASSERT_EQ(std::sscanf(outcome.report.c_str(), "%d %d %d", &s, &d, &f), 3) << outcome.report;
        saved += s;
        duplicate += d;
        failed += f;
    }
    const int shared = kSavesPerDesk / 2;
    const int own = kDesks * (kSavesPerDesk - shared);
    EXPECT_EQ(saved, shared + own);
    EXPECT_EQ(duplicate, (kDesks - 1) * shared);
    EXPECT_EQ(failed, 0);

    auto db = archive.Open();
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), shared + own);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA"), (shared + own) * 14);
    EXPECT_EQ(SameDescriptions(db), 0);
    EXPECT_EQ(PartialContracts(db), 0);
}

// A writer saving and deleting contracts is killed at random moments: after each kill the
// archive is sound and every contract has its whole plan or does not exist.
TEST_P(SharedArchive, WriterKilledAtRandomLeavesWholeContracts) {
    std::srand(20240610);
    for (int round = 0; round < 20; ++round) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            RecordingMessageBoxes boxes;
            auto db = archive.Open();
            ContractStore store(db, boxes);
            for (int n = 0;; ++n) {
                const auto saved = testing::SaveNewContract(
                    store, "R" + std::to_string(round) + "-" + std::to_string(n), 120);
                if (n % 3 == 2) store.Delete(saved.contractId);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + std::rand() % 80));
        kill(writer, SIGKILL);
        int status = 0;
        waitpid(writer, &status, 0);

        auto db = archive.Open();
        if (GetParam() == Engine::Sqlite) {
            Recordset check(db, "PRAGMA integrity_check");
            ASSERT_EQ(check.Value(0).ToText(), "ok") << "round " << round;
        }
        EXPECT_EQ(PartialContracts(db), 0) << "round " << round;
    }
    auto db = archive.Open();
    EXPECT_GT(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 0);
}

// The rest concerns a server.
class ServerArchive : public SharedArchive {};
INSTANTIATE_TEST_SUITE_P(PostgreSQL, ServerArchive, ::testing::Values(Engine::Postgresql),
                         testing::EngineName);

// The name is taken by another desk between this desk's check and its insert: the archive's
// own index of the names' key refuses it, with the check's message.
TEST_P(ServerArchive, NameSavedMeanwhileByAnotherDeskIsRefusedByTheArchive) {
    auto db = archive.Open();
    ASSERT_FALSE(
        db.Execute("INSERT INTO tabContratti (DescBene, ChiaveDescBene) VALUES ('Già qui', "
                   "'gia qui')") &&
        db.Execute("INSERT INTO tabContratti (DescBene, ChiaveDescBene) VALUES (' GIA QUI ', "
                   "'gia qui')"));
    EXPECT_EQ(db.Errors().back().number, kErrIntegrityViolation);
    db.ClearErrors();

    // The other desk writes without the writer lock and commits while this one waits on it.
    auto other = archive.Open();
    ASSERT_TRUE(other.Execute("BEGIN"));
    ASSERT_TRUE(other.Execute(
        "INSERT INTO tabContratti (DescBene, ChiaveDescBene) VALUES ('Gemello', 'gemello')"));
    std::thread commit([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.Execute("COMMIT");
    });
    RecordingMessageBoxes boxes;
    ContractStore store(db, boxes);
    const auto saved = testing::SaveNewContract(store, "GEMELLO");
    commit.join();
    EXPECT_EQ(saved.status, SaveStatus::Duplicate);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, "Nome leasing già esistente");
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 2);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabPDA"), 0);
}

// The window's road: Quotaplan.ini beside the program names the server.
TEST_P(ServerArchive, TheConfiguredServerIsOpenedAtStart) {
    std::ofstream(archive.Folder() / "Quotaplan.ini")
        << "[DATABASE]\r\nDRIVER=postgresql\r\nCONNINFO=" << archive.Address() << "\r\n";
    RecordingMessageBoxes boxes;
    auto db = OpenDatabase(archive.Folder(), boxes);
    ASSERT_TRUE(db.has_value()) << (boxes.shown.empty() ? "" : boxes.shown[0].prompt);
    EXPECT_EQ(db->Engine()->Kind(), Engine::Postgresql);
    ContractStore store(*db, boxes);
    EXPECT_EQ(store.TreeEntries().size(), 3u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_P(ServerArchive, SaveWaitingBeyondTheLockTimeoutFailsWithTheLockMessage) {
    auto other = archive.Open();
    ASSERT_TRUE(other.Execute("BEGIN IMMEDIATE"));
    auto db = Database::Connect(archive.Address(), 300);
    RecordingMessageBoxes boxes;
    ContractStore store(db, boxes);
    EXPECT_EQ(testing::SaveNewContract(store, "Bloccato", 12, 0, 0).status, SaveStatus::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt,
              "3730 - L'oggetto all'URL specificato è bloccato da altri utenti o processi!\n");
    ASSERT_TRUE(other.Execute("ROLLBACK"));
    // Nothing of the refused save stays behind, and the next save goes through.
    EXPECT_EQ(testing::SaveNewContract(store, "Bloccato", 12, 0, 0).status, SaveStatus::Saved);
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 1);
}

// A server that does not answer a save within the command timeout: the save is abandoned
// with the timeout's message and leaves nothing, whether the server is alive but the save
// waits on a lock (the server ends it itself) or the server is frozen (the desk gives it up
// and connects again at its next command).
struct Unanswered {
    const char* name;
    // Makes the server keep the desk waiting; returns what lets it go.
    std::function<std::function<void()>(const TempArchive&, Database& desk)> hold;
};

// Another desk holds the plan table: the save inserts its contract, then waits for the lock.
std::function<void()> PlanTableLocked(const TempArchive& archive, Database&) {
    auto other = std::make_shared<Database>(archive.Open());
    EXPECT_TRUE(other->Execute("BEGIN"));
    EXPECT_TRUE(other->Execute("LOCK TABLE tabPDA IN ACCESS EXCLUSIVE MODE"));
    return [other] { other->Execute("ROLLBACK"); };
}

// The desk's own server process stops answering altogether.
std::function<void()> ServerFrozen(const TempArchive&, Database& desk) {
    const auto pid = static_cast<pid_t>(CountOf(desk, "SELECT pg_backend_pid() AS n"));
    EXPECT_EQ(kill(pid, SIGSTOP), 0);
    // Should the desk wait for ever, the test still ends, and fails.
    auto released = std::make_shared<std::atomic<bool>>(false);
    std::thread([pid, released] {
        for (int k = 0; k < 200 && !*released; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        kill(pid, SIGCONT);
    }).detach();
    return [pid, released] {
        *released = true;
        kill(pid, SIGCONT);
    };
}

TEST_P(ServerArchive, SaveTheServerDoesNotAnswerInTimeIsAbandonedWithNothingWritten) {
    const Unanswered cases[] = {{"tabella del piano bloccata", PlanTableLocked},
                                {"server fermo", ServerFrozen}};
    for (const auto& unanswered : cases) {
        SCOPED_TRACE(unanswered.name);
        auto db = archive.Open();
        db.SetCommandTimeout(std::chrono::seconds(1));
        RecordingMessageBoxes boxes;
        ContractStore store(db, boxes);
        const auto release = unanswered.hold(archive, db);
        const std::string name = std::string("Senza risposta, ") + unanswered.name;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(testing::SaveNewContract(store, name).status, SaveStatus::Failed);
        const auto waited = std::chrono::steady_clock::now() - started;
        release();
        EXPECT_LT(waited, std::chrono::seconds(4));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].prompt,
                  "-2147217871 - Il server non ha risposto entro 1 secondo: operazione "
                  "annullata.\n");
        auto after = archive.Open();
        EXPECT_EQ(CountOf(after, "SELECT COUNT(ID) FROM tabContratti"), 0);
        EXPECT_EQ(CountOf(after, "SELECT COUNT(ID) FROM tabPDA"), 0);
        // The same desk saves once the server answers again.
        EXPECT_EQ(testing::SaveNewContract(store, name).status, SaveStatus::Saved);
        ASSERT_TRUE(db.Execute("DELETE FROM tabPDA") && db.Execute("DELETE FROM tabContratti"));
    }
}

// The upgrade of an archive is not cut short by the command timeout: its views wait for the
// writer lock that a desk saving holds beyond it.
TEST_P(ServerArchive, UpgradeWaitsBeyondTheCommandTimeout) {
    {
        auto older = archive.Open();
        ASSERT_TRUE(older.ExecuteScript(testing::OlderViewsSql(GetParam(), 0)));
    }
    std::ofstream(archive.Folder() / "Quotaplan.ini") << "[DATABASE]\nTIMEOUT=1\n";
    auto desk = archive.Open();
    ASSERT_TRUE(desk.Execute("BEGIN IMMEDIATE"));
    std::thread saved([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        desk.Execute("COMMIT");
    });
    RecordingMessageBoxes boxes;
    auto db = OpenWorkingArchive(LocationOfAddress(archive.Address()), archive.Folder(), boxes);
    saved.join();
    ASSERT_TRUE(db.has_value()) << boxes.shown.at(0).prompt;
    EXPECT_EQ(SummaryViewsVersion(*db), kSummaryViewsVersion);
    EXPECT_EQ(db->CommandTimeout(), std::chrono::seconds(1));
}

TEST_P(ServerArchive, ReadOnlyDatabaseIsReadButRefusesChangesWithItsMessage) {
    {
        auto admin = Database::Connect(*testing::TestServer());
        ASSERT_TRUE(admin.Execute("ALTER DATABASE " + archive.ServerDatabase() +
                                  " SET default_transaction_read_only = on"))
            << admin.Errors().front().description;
    }
    ExpectReadOnlyArchiveRefusesASave(archive.Address());
}

TEST_P(ServerArchive, ServerThatDoesNotAnswerIsReportedByItsAddress) {
    RecordingMessageBoxes boxes;
    const std::string nowhere = "postgresql:///archivio?host=" + archive.Folder().string() +
                                "&user=quotaplan&connect_timeout=2";
    EXPECT_FALSE(ADO_connConnectDB(nowhere, "", "", boxes).has_value());
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::string expectedStart =
        "Database non trovato! Server: host=" + archive.Folder().string() +
        " port=5432 dbname=archivio user=quotaplan (";
    EXPECT_EQ(boxes.shown[0].prompt.substr(0, expectedStart.size()), expectedStart);
    EXPECT_TRUE(boxes.shown[0].prompt.ends_with(")\nIndirizzo errore: ADO_connConnectDB"))
        << boxes.shown[0].prompt;
}

TEST_P(ServerArchive, TodayIsTheServersUnlessOneIsFixed) {
    auto db = archive.Open();
    {
        ScopedToday fixed(*CalendarDate::FromYmd(2031, 12, 30));
        EXPECT_EQ(Recordset(db, "SELECT qp_today() AS oggi").Value(0).ToText(), "2031-12-30");
    }
    EXPECT_EQ(
        CountOf(db, "SELECT COUNT(*) FROM (SELECT 1 AS x) AS t WHERE qp_today() = CURRENT_DATE"),
        1);
}

// The server restarts between two commands of a desk, or between its connecting and its
// first command: the command connects again and runs as if nothing had happened, whichever
// road it takes to the server.
TEST_P(ServerArchive, ServerRestartBetweenCommandsGoesUnnoticed) {
    const char* restart = std::getenv("QUOTAPLAN_TEST_PG_RESTART");
    if (restart == nullptr) {
        if (testing::TestServerRequired()) FAIL() << "QUOTAPLAN_TEST_PG_RESTART non impostata";
        GTEST_SKIP() << "Il server di prova non si può riavviare (QUOTAPLAN_TEST_PG_RESTART).";
    }
    int saves = 0;
    struct Command {
        const char* name;
        std::function<bool(Database&, ContractStore&)> run;
    };
    const Command commands[] = {
        {"lettura",
         [](Database& db, ContractStore&) {
             return CountOf(db, "SELECT COUNT(ID) AS n FROM supTipologia") == 3;
         }},
        {"scrittura",
         [](Database& db, ContractStore&) {
             return db.Execute("UPDATE supTxRiferimento SET Descrizione = Descrizione");
         }},
        {"istruzione preparata",
         [](Database& db, ContractStore&) {
             auto update = db.Prepare("UPDATE supTipologia SET Descrizione = ? WHERE ID = 1");
             return update.Bind(1, DbValue::Text("Leasing")) && update.Step();
         }},
        {"albero", [](Database&, ContractStore& store) { return store.TreeEntries().size() == 3; }},
        {"salvataggio",
         [&saves](Database&, ContractStore& store) {
             return testing::SaveNewContract(store, "Dopo il riavvio " + std::to_string(++saves))
                        .status == SaveStatus::Saved;
         }},
        {"apertura di un contratto",
         [](Database&, ContractStore& store) { return store.Load(1).has_value(); }},
    };
    for (const auto& command : commands) {
        for (const bool used : {false, true}) {
            SCOPED_TRACE(std::string(command.name) +
                         (used ? ", dopo un comando" : ", appena connesso"));
            auto db = archive.Open();
            RecordingMessageBoxes boxes;
            ContractStore store(db, boxes);
            if (used) {
                ASSERT_EQ(CountOf(db, "SELECT 1 AS n"), 1);
            }
            ASSERT_EQ(std::system(restart), 0);
            EXPECT_TRUE(command.run(db, store));
            EXPECT_EQ(db.Errors(), std::vector<DbError>());
            EXPECT_EQ(boxes.shown.size(), 0u) << boxes.shown.at(0).prompt;
        }
    }
}

// The server restarts while a desk saves: the save that was running fails and leaves
// nothing, the connection is made again, and the next save goes through.
TEST_P(ServerArchive, ServerRestartLosesNoSaveHalfway) {
    const char* restart = std::getenv("QUOTAPLAN_TEST_PG_RESTART");
    if (restart == nullptr) {
        if (testing::TestServerRequired()) FAIL() << "QUOTAPLAN_TEST_PG_RESTART non impostata";
        GTEST_SKIP() << "Il server di prova non si può riavviare (QUOTAPLAN_TEST_PG_RESTART).";
    }
    auto db = archive.Open();
    RecordingMessageBoxes boxes;
    ContractStore store(db, boxes);
    std::atomic<bool> restarted{false};
    std::thread server([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(std::system(restart), 0);
        restarted = true;
    });
    int saved = 0;
    bool savedAfterRestart = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (int n = 0; !savedAfterRestart && std::chrono::steady_clock::now() < deadline; ++n) {
        const bool wasRestarted = restarted;
        if (testing::SaveNewContract(store, "Riavvio " + std::to_string(n), 120).status ==
            SaveStatus::Saved) {
            ++saved;
            savedAfterRestart = wasRestarted;
        }
    }
    server.join();
    EXPECT_TRUE(savedAfterRestart);
    auto after = archive.Open();
    EXPECT_EQ(PartialContracts(after), 0);
    EXPECT_EQ(CountOf(after, "SELECT COUNT(ID) FROM tabContratti"), saved);
    // The same connection saves again.
    EXPECT_EQ(testing::SaveNewContract(store, "Dopo il riavvio", 12, 0, 0).status,
              SaveStatus::Saved);
}

}  // namespace
}  // namespace quotaplan
