#pragma once

#include <QComboBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <filesystem>

#include "data/contract_store.h"
#include "data/database.h"
#include "ui/database_window_archive.h"
#include "window_fixture.h"

namespace quotaplan::test {

// A window over a fresh copy of the default archive.
struct ArchiveFixture : WindowDriver {
    QTemporaryDir folder;
    std::filesystem::path file;
    Database db;
    std::unique_ptr<DatabaseWindowArchive> archive;

    ArchiveFixture() {
        file = folder.filePath("Quotaplan.mdb").toStdString();
        std::filesystem::copy_file(QUOTAPLAN_PRISTINE_ARCHIVE, file);
        db = Database::Open(file);
        archive = std::make_unique<DatabaseWindowArchive>(db, boxes);
        Open(*archive);
    }
    ~ArchiveFixture() { window.reset(); }

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
        Enter("txtValBene", "10000");
        Enter("txtMaxi", "1000");
        Enter("txtRiscatto", "500");
        Enter("txtTasso", "4,5");
        Enter("txtSpread", "1,25");
        Enter("txtRate", "12");
        Enter("txtContract", "31/01/06");
        Enter("txtStart", "28/02/06");
        Enter("txtDataRiscatto", buyoutDate);
        Enter("txtSpContratto", "150");
        Enter("txtSpRata", "2,5");
        Choose(C().optCapCom);
        Choose(C().optPagPos);
        C().chkIntRiscatto->setChecked(true);
    }
    void FillSmall(const QString& name, const QString& rate) const {
        Enter("txtDescBene", name);
        Enter("txtValBene", "6000");
        Enter("txtTasso", rate);
        Enter("txtRate", "12");
        Enter("txtContract", "31/01/06");
        Enter("txtStart", "28/02/06");
        Choose(C().optCapCom);
    }
};

}  // namespace quotaplan::test
