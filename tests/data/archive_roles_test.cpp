// The office's roles on the shared archive, granted as the README says: the owner, who makes
// and upgrades the archive; the desks, which read and write contracts; the readers, who only
// read. Each may do what its grants allow, and no upgrade takes a right away.
#include <gtest/gtest.h>

#include <fstream>

#include "archive_fixture.h"
#include "data/archive_upgrade.h"
#include "data/archive_views.h"
#include "data/connection.h"
#include "data/contract_store.h"
#include "data/usury_thresholds.h"

namespace quotaplan {
namespace {

using testing::CountOf;
using testing::Engine;
using testing::MakeForm;
using testing::TempArchive;

// Roles live on the whole server: each test makes its own and drops them when its database
// is gone.
class ServerRoles {
public:
    explicit ServerRoles(std::vector<std::string> names) : names_(std::move(names)) {}
    ~ServerRoles() {
        if (!testing::TestServer()) return;
        try {
            auto admin = Database::Connect(*testing::TestServer());
            for (const auto& name : names_) admin.Execute("DROP ROLE IF EXISTS " + name);
        } catch (const DatabaseError&) {
            // A server that went away takes its roles with it.
        }
    }
    ServerRoles(const ServerRoles&) = delete;
    ServerRoles& operator=(const ServerRoles&) = delete;

private:
    std::vector<std::string> names_;
};

class OfficeRoles : public ::testing::Test {
protected:
    void SetUp() override {
        QP_REQUIRE_ARCHIVE(archive);
        Database owner = archive.Open();
        ContractStore store(owner, boxes);
        ASSERT_EQ(store.Save(MakeForm("Fresatrice"), {}, {}, SaveMode::NewContract, 0).status,
                  SaveStatus::Saved);
        // The roles as the README sets them up.
        ASSERT_TRUE(owner.ExecuteScript("CREATE ROLE " + desk + " LOGIN; CREATE ROLE " + reader +
                                        " LOGIN;"))
            << owner.Errors().back().description;
    }

    void Grant(Database& owner) {
        ASSERT_TRUE(owner.ExecuteScript(
            "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO " + desk +
            "; GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + reader + ";"))
            << owner.Errors().back().description;
    }

    // Turns the archive into one of the previous version, granted to the roles then: no
    // names' key, no usury table, the views without their version.
    void MakeOlderAndGrant() {
        Database owner = archive.Open();
        ASSERT_TRUE(
            owner.ExecuteScript(R"(DROP INDEX "idxContrattiChiaveDescBene";)"
                                R"(ALTER TABLE "tabContratti" DROP COLUMN "ChiaveDescBene";)"
                                R"(DROP TABLE "tabSoglieUsura";)" +
                                testing::OlderViewsSql(Engine::Postgresql, 0)))
            << owner.Errors().back().description;
        Grant(owner);
    }

    std::optional<Database> OpenAs(const std::string& role, ArchiveAccess access) {
        return ADO_connConnectDB("host=" + testing::ServerSetting("host") +
                                     " dbname=" + archive.ServerDatabase() + " user=" + role,
                                 "", "", boxes, kDefaultBusyTimeoutMs, access);
    }

    // A new contract saved by the role; the box it showed, or "" when it was saved.
    std::string SaveAs(Database& db, const std::string& name) {
        boxes.shown.clear();
        ContractStore store(db, boxes);
        const auto saved = store.Save(MakeForm(name), {}, {}, SaveMode::NewContract, 0);
        if (saved.status == SaveStatus::Saved) return "";
        return boxes.shown.empty() ? "nessun messaggio" : boxes.shown.back().prompt;
    }

    bool OwnerSeesTheOlderSchema() {
        Database owner = archive.Open();
        return !HasColumn(owner, "tabContratti", "ChiaveDescBene") &&
               SummaryViewsVersion(owner) == 0;
    }

    TempArchive archive{Engine::Postgresql};
    std::string desk = archive.ServerDatabase() + "_sportello";
    std::string reader = archive.ServerDatabase() + "_lettura";
    // Declared after the archive: dropped once the database that holds their grants is gone.
    ServerRoles roles{{desk, reader}};
    RecordingMessageBoxes boxes;
};

constexpr const char* kRefusedWrite = "3720 - Permessi insufficienti!\n";

TEST_F(OfficeRoles, EachRoleDoesWhatItsGrantsAllowOnACurrentArchive) {
    {
        Database owner = archive.Open();
        Grant(owner);
    }
    auto reading = OpenAs(reader, ArchiveAccess::Reading);
    ASSERT_TRUE(reading.has_value()) << boxes.shown.at(0).prompt;
    EXPECT_EQ(ContractStore(*reading, boxes).TreeEntries()[0].contracts.size(), 1u);
    auto readerWriting = OpenAs(reader, ArchiveAccess::Writing);
    ASSERT_TRUE(readerWriting.has_value());
    EXPECT_EQ(SaveAs(*readerWriting, "Tornio"), kRefusedWrite);
    auto deskWriting = OpenAs(desk, ArchiveAccess::Writing);
    ASSERT_TRUE(deskWriting.has_value());
    EXPECT_EQ(SaveAs(*deskWriting, "Tornio"), "");
    EXPECT_EQ(SaveAs(*deskWriting, "TORNIO"), "Nome leasing già esistente");
}

// A reader or a desk meeting an archive that a newer Quotaplan would upgrade: they read it as
// it is and write nothing, and only the owner's connection upgrades it, after which every
// role keeps what it could do, on the replaced views and the new table too.
TEST_F(OfficeRoles, AnOlderArchiveIsReadByEveryRoleAndUpgradedOnlyByItsOwner) {
    MakeOlderAndGrant();
    for (const auto& role : {reader, desk}) {
        for (const auto access : {ArchiveAccess::Reading, ArchiveAccess::Writing}) {
            boxes.shown.clear();
            auto db = OpenAs(role, access);
            ASSERT_TRUE(db.has_value()) << role << ": " << boxes.shown.at(0).prompt;
            EXPECT_TRUE(db->IsReadOnly());
            EXPECT_EQ(ContractStore(*db, boxes).TreeEntries()[0].contracts.size(), 1u);
            EXPECT_EQ(SaveAs(*db, "Tornio"), kRefusedWrite) << role;
        }
    }
    EXPECT_TRUE(OwnerSeesTheOlderSchema());

    boxes.shown.clear();
    ASSERT_TRUE(OpenAs(testing::ServerSetting("user"), ArchiveAccess::Writing).has_value());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(OwnerSeesTheOlderSchema());

    auto readerDb = OpenAs(reader, ArchiveAccess::Writing);
    ASSERT_TRUE(readerDb.has_value());
    EXPECT_FALSE(readerDb->IsReadOnly());
    EXPECT_EQ(SummaryViewsVersion(*readerDb), kSummaryViewsVersion);
    EXPECT_EQ(CountOf(*readerDb, "SELECT COUNT(*) FROM qryRLeaMese"), 0);
    EXPECT_EQ(CountOf(*readerDb, "SELECT COUNT(*) FROM tabSoglieUsura"), 0);
    EXPECT_EQ(SaveAs(*readerDb, "Tornio"), kRefusedWrite);

    auto deskDb = OpenAs(desk, ArchiveAccess::Writing);
    ASSERT_TRUE(deskDb.has_value());
    EXPECT_EQ(SaveAs(*deskDb, "Tornio"), "");
    const auto file = archive.Folder() / "soglie.csv";
    std::ofstream(file) << "Credito personale;;;01/01/2026;;10,58\n";
    UsuryThresholds deskTable(*deskDb, boxes);
    EXPECT_EQ(ImportUsuryThresholds(deskTable, file).status, SeriesImport::Status::Imported);
    boxes.shown.clear();
    UsuryThresholds readerTable(*readerDb, boxes);
    EXPECT_EQ(readerTable.All().size(), 1u);
    EXPECT_EQ(ImportUsuryThresholds(readerTable, file).status, SeriesImport::Status::Failed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, kRefusedWrite);
}

}  // namespace
}  // namespace quotaplan
