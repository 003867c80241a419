#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <fstream>

#include "archive_fixture.h"
#include "data/connection.h"
#include "data/contract_store.h"

namespace quotaplan {
namespace {

using testing::CountOf;
using testing::DumpTable;
using testing::ExpectReadOnlyArchiveRefusesASave;
using testing::MakeForm;
using testing::MakePlan;
using testing::TempArchive;

std::string OpenFailure(const std::filesystem::path& file, int busyTimeoutMs = 300) {
    RecordingMessageBoxes boxes;
    const auto db = ADO_connConnectDB(file, "", "", boxes, busyTimeoutMs);
    EXPECT_FALSE(db.has_value());
    if (boxes.shown.size() != 1) return "boxes shown: " + std::to_string(boxes.shown.size());
    EXPECT_EQ(boxes.shown[0].title, "Quotaplan 4.0.0");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Critical);
    return boxes.shown[0].prompt;
}

std::string Expected(const std::string& text, const std::filesystem::path& file) {
    return text + " File: " + file.string() + "\nIndirizzo errore: ADO_connConnectDB";
}

TEST(Reliability, MissingArchiveIsReportedAndNotCreated) {
    TempArchive archive;
    const auto missing = archive.Folder() / "manca.mdb";
    EXPECT_EQ(OpenFailure(missing), Expected("Database non trovato!", missing));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(Reliability, FileThatIsNotADatabaseIsReportedAndLeftAlone) {
    TempArchive archive;
    const auto text = archive.Folder() / "testo.mdb";
    const std::string content(5000, 'x');
    std::ofstream(text) << content;
    EXPECT_EQ(OpenFailure(text), Expected("Il database non può essere aperto!", text));
    EXPECT_EQ(std::filesystem::file_size(text), content.size());

    const auto empty = archive.Folder() / "vuoto.mdb";
    std::ofstream{empty};
    EXPECT_EQ(OpenFailure(empty), Expected("Il database non può essere aperto!", empty));
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
}

TEST(Reliability, TruncatedArchiveFailsAtOpen) {
    TempArchive archive;
    {
        auto db = archive.Open();
        RecordingMessageBoxes boxes;
        ContractStore store(db, boxes);
        const auto form = MakeForm("Lungo");
        store.Save(form, MakePlan(360, 0, 0), PlanOwner::For(0, form), SaveMode::NewContract, 0);
    }
    const auto size = std::filesystem::file_size(archive.File());
    std::filesystem::resize_file(archive.File(), size / 2);
    EXPECT_EQ(OpenFailure(archive.File()),
              Expected("Il database non può essere aperto!", archive.File()));
}

TEST(Reliability, ReadOnlyArchiveIsReadButRefusesChangesWithItsMessage) {
    TempArchive archive;
    std::filesystem::permissions(archive.File(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
    ExpectReadOnlyArchiveRefusesASave(archive.File());
}

TEST(Reliability, ArchiveLockedBeyondTheTimeout) {
    TempArchive archive;
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(archive.File().c_str(), &other), SQLITE_OK);

    // Another writer holds the write lock: a save waits, then fails with the lock message.
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        RecordingMessageBoxes boxes;
        auto db = Database::Open(archive.File(), 300);
        ContractStore store(db, boxes);
        EXPECT_EQ(testing::SaveNewContract(store, "Bloccato", 12, 0, 0).status, SaveStatus::Failed);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].prompt,
                  "3730 - L'oggetto all'URL specificato è bloccato da altri utenti o processi!\n");
    }
    // An exclusive lock keeps even readers out: the open itself reports it.
    ASSERT_EQ(sqlite3_exec(other, "COMMIT; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(OpenFailure(archive.File()),
              Expected("L'oggetto all'URL specificato è bloccato da altri utenti o processi!",
                       archive.File()));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    auto db = archive.Open();
    EXPECT_EQ(CountOf(db, "SELECT COUNT(ID) FROM tabContratti"), 0);
}

}  // namespace
}  // namespace quotaplan
