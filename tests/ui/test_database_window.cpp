// The main window on a real archive: tree, lookup combos and table list come from the
// database, and closing the window closes the connection.
#include <QComboBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "common/desktop_shell.h"
#include "common/recording_message_boxes.h"
#include "data/database.h"
#include "ui/contract_page.h"
#include "ui/database_window_archive.h"
#include "ui/main_window.h"
#include "ui/status_page.h"

using namespace quotaplan;

class DatabaseWindowTest : public QObject {
    Q_OBJECT
private slots:
    void loadsFromTheArchive() {
        QTemporaryDir folder;
        const std::filesystem::path file = folder.filePath("Quotaplan.mdb").toStdString();
        std::filesystem::copy_file(QUOTAPLAN_PRISTINE_ARCHIVE, file);
        Database db = Database::Open(file);
        QVERIFY(
            db.Execute("INSERT INTO tabContratti ([ID Tipologia], DescBene) VALUES (2, 'Tornio')"));
        QVERIFY(
            db.Execute("INSERT INTO tabContratti ([ID Tipologia], DescBene) VALUES (2, 'Pressa')"));

        RecordingMessageBoxes boxes;
        DatabaseWindowArchive archive(db, boxes);
        RecordingDesktopShell shell;
        MainWindow window(archive, boxes, shell);
        window.Load();
        QVERIFY(boxes.shown.empty());

        QTreeWidget* tree = window.Tree();
        QCOMPARE(tree->topLevelItemCount(), 3);
        QCOMPARE(tree->topLevelItem(1)->text(0), QString("Mutuo"));
        QCOMPARE(tree->topLevelItem(1)->childCount(), 2);
        QCOMPARE(tree->topLevelItem(1)->child(0)->text(0), QString("Tornio"));
        QCOMPARE(tree->topLevelItem(1)->child(1)->data(0, Qt::UserRole).toString(),
                 QString("IDCon2"));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 0);

        const ContractControls& c = window.Contract()->Controls();
        QCOMPARE(c.cboTipoLea->count(), 3);
        QCOMPARE(c.cboTipoLea->currentText(), QString("Leasing"));
        QCOMPARE(c.cboTxRif->currentText(), QString("Fisso"));
        QVERIFY(window.Status()->lstSupTab->count() >= 2);

        window.close();
        QVERIFY(!db.IsOpen());
    }
};

QTEST_MAIN(DatabaseWindowTest)
#include "test_database_window.moc"
