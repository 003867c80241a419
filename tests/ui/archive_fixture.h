#pragma once

#include <QComboBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "data/contract_store.h"
#include "data/database.h"
#include "../data/archive_fixture.h"
#include "ui/database_window_archive.h"
#include "window_fixture.h"

namespace quotaplan::test {

// The exit status that tells ctest a program skipped: the PostgreSQL run of these tests
// without a test server.
inline constexpr int kSkippedExitStatus = 77;

// The engine of the window's archive: QUOTAPLAN_UI_ENGINE=postgresql puts it on the test
// server (quotaplan::testing::TestServer), otherwise it is an SQLite file.
inline EngineKind WindowArchiveEngine() {
    const char* engine = std::getenv("QUOTAPLAN_UI_ENGINE");
    return engine != nullptr && std::string(engine) == "postgresql" ? EngineKind::Postgresql
                                                                    : EngineKind::Sqlite;
}

// A window over a fresh archive made from db/, on the engine of WindowArchiveEngine().
struct ArchiveFixture : WindowDriver {
    quotaplan::testing::TempArchive fresh{WindowArchiveEngine()};
    Database db;
    std::unique_ptr<DatabaseWindowArchive> archive;

    ArchiveFixture() {
        if (const auto& why = fresh.Unavailable()) {
            if (quotaplan::testing::TestServerRequired()) throw std::runtime_error(*why);
            // At once: nothing of the half-made test is worth tidying up.
            std::_Exit(kSkippedExitStatus);
        }
        db = fresh.Open();
        archive = std::make_unique<DatabaseWindowArchive>(db, boxes);
        Open(*archive);
    }
    ~ArchiveFixture() { window.reset(); }

    // A second desk on the same archive.
    Database OpenOther() const { return fresh.Open(); }

    long long Count(const std::string& sql) {
        Recordset rows(db, sql);
        return static_cast<long long>(rows.Value(0).ToDouble());
    }
    long long PlanRows(int id) {
        return Count("SELECT COUNT(*) FROM tabPDA WHERE [ID Leasing] = " + std::to_string(id));
    }
    std::vector<StoredPlanRow> StoredPlan(int id) {
        RecordingMessageBoxes quiet;
        return ContractStore(db, quiet).LoadPlanRows(id);
    }
    QTreeWidgetItem* TypeNode(const QString& type) const {
        QTreeWidget* tree = window->Tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->text(0) == type) return tree->topLevelItem(i);
        }
        return nullptr;
    }
    QTreeWidgetItem* ContractNode(const QString& name) const {
        QTreeWidget* tree = window->Tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j) {
                if (tree->topLevelItem(i)->child(j)->text(0) == name) {
                    return tree->topLevelItem(i)->child(j);
                }
            }
        }
        return nullptr;
    }
    void Click(QTreeWidgetItem* node) const { emit window->Tree()->itemClicked(node, 0); }
    void Salva() const { QTest::mouseClick(C().cmdSalva, Qt::LeftButton); }
    int ShownId() const { return C().lblIDContract->text().toInt(); }
    QStringList GridTexts() const {
        QStringList cells;
        for (int row = 0; row < Grid()->Rows(); ++row) {
            for (int column = 0; column < PlanGrid::kColumns; ++column) {
                cells << Cell(row, column);
            }
        }
        return cells;
    }
    QString Prompt(std::size_t index) const {
        return QString::fromStdString(boxes.shown.at(index).prompt);
    }

    // A 12-instalment contract with every kind of field filled.
    void FillCar(const QString& name, const QString& buyoutDate) const {
        Enter("txtDescBene", name);
        C().cboTipoLea->setCurrentText(QStringLiteral("Mutuo"));
        C().cboTxRif->setCurrentText(QStringLiteral("Euribor 3 mesi"));
        EnterAll({{"txtValBene", "10000"}, {"txtMaxi", "1000"}, {"txtRiscatto", "500"},
                  {"txtTasso", "4,5"}, {"txtSpread", "1,25"}, {"txtRate", "12"},
                  {"txtContract", "31/01/06"}, {"txtStart", "28/02/06"},
                  {"txtDataRiscatto", buyoutDate}, {"txtSpContratto", "150"},
                  {"txtSpRata", "2,5"}});
        Choose(C().optCapCom);
        Choose(C().optPagPos);
        C().chkIntRiscatto->setChecked(true);
    }
    void FillSmall(const QString& name, const QString& rate) const {
        EnterAll({{"txtDescBene", name}, {"txtValBene", "6000"}, {"txtTasso", rate},
                  {"txtRate", "12"}, {"txtContract", "31/01/06"}, {"txtStart", "28/02/06"}});
        Choose(C().optCapCom);
    }
    // The small contract typed, calculated and saved; its ID.
    int SaveSmall(const QString& name, const QString& rate) const {
        FillSmall(name, rate);
        Calcola();
        Salva();
        return ShownId();
    }
};

}  // namespace quotaplan::test
