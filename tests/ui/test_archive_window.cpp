// The window over a copy of the real archive: the whole road of a contract (calculate,
// save, find it in the tree, load it back, calculate and save again, rename, delete), the
// guard against saving another contract's plan, a contract deleted behind the window's
// back, and the portfolio summary.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "archive_fixture.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "ui/status_page.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ArchiveWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { today_.emplace(*CalendarDate::FromYmd(2006, 1, 15)); }
    void cleanup() { today_.reset(); }

    void wholeRoadOfAContract() {
        ArchiveFixture f;
        f.FillCar("Auto aziendale", "31/01/07");
        f.Calcola();
        // From the seventh instalment on, 7 %.
        RateListView* list = f.C().lsvTxHis;
        f.boxes.ScriptText("7");
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        list->setCurrentItem(list->topLevelItem(6));
        f.window->Contract()->EditRateListRow();
        f.Calcola();
        QVERIFY(f.C().cmdSalva->isEnabled());
        const QStringList plan = f.GridTexts();
        const QString instalment = f.Text("txtResult");
        const QString taeg = f.Text("txtTAEG");
        const QString effective = f.Text("txtTxEffettivo");
        f.boxes.shown.clear();

        f.Salva();
        QVERIFY(f.boxes.shown.empty());
        const int id = f.ShownId();
        QVERIFY(id > 0);
        QCOMPARE(f.window->CurrentSaveMode(), SaveMode::StoredContract);
        QVERIFY(!f.C().cmdSalva->isEnabled());
        QCOMPARE(f.PlanRows(id), 14LL);
        QTreeWidgetItem* node = f.ContractNode("Auto aziendale");
        QVERIFY(node != nullptr);
        QCOMPARE(node->parent()->text(0), QString("Mutuo"));
        QCOMPARE(node->data(0, Qt::UserRole).toString(), QString("IDCon%1").arg(id));

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        QCOMPARE(f.Text("txtDescBene"), QString());
        QCOMPARE(f.window->CurrentSaveMode(), SaveMode::NewContract);
        f.Click(f.ContractNode("Auto aziendale"));
        QVERIFY(f.boxes.shown.empty());
        const struct {
            const char* field;
            const char* text;
        } expected[] = {{"txtDescBene", "Auto aziendale"},
                        {"txtValBene", "10.000,00"},
                        {"txtMaxi", "1.000,00"},
                        {"txtPercMaxi", "10,00"},
                        {"txtRiscatto", "500,00"},
                        {"txtPercRiscatto", "5,00"},
                        {"txtTasso", "4,50"},
                        {"txtSpread", "1,25"},
                        {"txtRate", "12"},
                        {"txtContract", "31/01/06"},
                        {"txtStart", "28/02/06"},
                        {"txtDataRiscatto", "31/01/07"},
                        {"txtSpContratto", "150,00"},
                        {"txtSpRata", "2,50"}};
        for (const auto& field : expected) QCOMPARE(f.Text(field.field), QString(field.text));
        QCOMPARE(f.C().cboTipoLea->currentText(), QString("Mutuo"));
        QCOMPARE(f.C().cboTxRif->currentText(), QString("Euribor 3 mesi"));
        QCOMPARE(f.C().cboPeriodicita->currentText(), QString("Mensile"));
        QVERIFY(f.C().optCapCom->isChecked());
        QVERIFY(f.C().optPagPos->isChecked());
        QVERIFY(f.C().chkIntRiscatto->isChecked());
        QCOMPARE(list->topLevelItemCount(), 12);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("5,75"));
        QCOMPARE(list->topLevelItem(5)->text(1), QString("5,75"));
        QCOMPARE(list->topLevelItem(6)->text(1), QString("7,00"));
        QCOMPARE(list->topLevelItem(11)->text(0), QString("31/01/07"));
        QCOMPARE(f.ShownId(), id);
        QCOMPARE(f.window->CurrentSaveMode(), SaveMode::StoredContract);
        QVERIFY(f.C().cmdSalva->isEnabled());
        QVERIFY(f.C().cmdElimina->isEnabled());
        QVERIFY(!f.Stale());
        QCOMPARE(f.window->Tabs()->currentIndex(), 0);
        // The contract's own figures, from its stored plan and fees, and that plan in the grid.
        QCOMPARE(f.Text("txtResult"), instalment);
        QCOMPARE(f.Text("txtTAEG"), taeg);
        QCOMPARE(f.Text("txtTxEffettivo"), effective);
        QVERIFY(f.C().lblTAEG->isVisible());
        QCOMPARE(f.GridTexts(), plan);
        QCOMPARE(f.window->Contract()->CurrentPlanState(), PlanState::Current);

        f.Calcola();
        QCOMPARE(f.Text("txtResult"), instalment);
        QCOMPARE(f.GridTexts(), plan);
        f.Salva();
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(f.PlanRows(id), 14LL);
        QCOMPARE(f.Count("SELECT COUNT(*) FROM tabContratti"), 1LL);

        // A second contract; then the first renamed to its name is refused.
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.SaveSmall("Furgone", "6");
        QVERIFY(f.boxes.shown.empty());
        f.Click(f.ContractNode("Auto aziendale"));
        // A description blanked after loading is refused before anything is written.
        f.Enter("txtDescBene", "   ");
        f.Salva();
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0), QString("Inserire la descrizione del bene!"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.C().txtDescBene));
        QCOMPARE(f.Count("SELECT COUNT(*) FROM tabContratti WHERE TRIM(DescBene) = ''"), 0LL);
        f.boxes.shown.clear();
        f.Enter("txtDescBene", " furgone ");
        f.Salva();
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0), QString("Nome leasing già esistente"));
        QCOMPARE(f.boxes.shown[0].icon, BoxIcon::Exclamation);
        QCOMPARE(QString::fromStdString(f.boxes.shown[0].title), QString("Quotaplan 4"));
        QVERIFY(f.C().cmdSalva->isEnabled());
        QVERIFY(f.ContractNode("Auto aziendale") != nullptr);
        // Its own name, in other letters, is allowed.
        f.Enter("txtDescBene", "AUTO aziendale");
        f.Salva();
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QVERIFY(f.ContractNode("AUTO aziendale") != nullptr);
        QCOMPARE(f.PlanRows(id), 14LL);

        // Delete: No changes nothing, Yes removes it everywhere.
        const int gridRows = f.Grid()->Rows();
        QTest::mouseClick(f.C().cmdElimina, Qt::LeftButton);
        QCOMPARE(f.Prompt(1), QString("Cancellare il contratto?"));
        QCOMPARE(f.Grid()->Rows(), gridRows);
        QVERIFY(f.ContractNode("AUTO aziendale") != nullptr);
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        QTest::mouseClick(f.C().cmdElimina, Qt::LeftButton);
        QCOMPARE(f.boxes.shown.size(), std::size_t(3));
        QVERIFY(f.ContractNode("AUTO aziendale") == nullptr);
        QCOMPARE(f.Count("SELECT COUNT(*) FROM tabContratti WHERE ID = " + std::to_string(id)),
                 0LL);
        QCOMPARE(f.PlanRows(id), 0LL);
        QCOMPARE(f.Grid()->Rows(), 1);
        QCOMPARE(f.Text("txtDescBene"), QString());
        QCOMPARE(f.window->CurrentSaveMode(), SaveMode::NewContract);
        QVERIFY(!f.C().cmdElimina->isEnabled());
        QVERIFY(f.ContractNode("Furgone") != nullptr);
    }

    // Quotes typed in the description become blanks, and the name is stored as typed; a
    // second contract differing from it only in letter case and blanks is the same name.
    void namesDifferingInBlanksAreOneName() {
        ArchiveFixture f;
        f.SaveSmall("Furgone L'Aquila \"test\"", "6");
        QVERIFY(f.boxes.shown.empty());
        QVERIFY(f.ContractNode("Furgone L Aquila  test ") != nullptr);

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.SaveSmall("  furgone l aquila  test", "6");
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0), QString("Nome leasing già esistente"));
        QCOMPARE(f.Count("SELECT COUNT(*) FROM tabContratti"), 1LL);
    }

    void noBuyoutDateAndNoBuyoutInterest() {
        ArchiveFixture f;
        f.FillCar("Auto senza data", "");
        f.C().chkIntRiscatto->setChecked(false);
        f.Calcola();
        f.Salva();
        const int id = f.ShownId();
        QCOMPARE(f.Count("SELECT COUNT(*) FROM tabContratti WHERE DataRiscatto IS NULL"), 1LL);
        const auto stored = f.StoredPlan(id);
        QCOMPARE(stored.size(), std::size_t(14));
        QCOMPARE(stored.back().Tipo, std::string("Riscatto"));
        QCOMPARE(stored.back().Data, *CalendarDate::FromYmd(2007, 1, 31));
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.C().chkIntRiscatto->setChecked(true);
        f.Click(f.ContractNode("Auto senza data"));
        QCOMPARE(f.Text("txtDataRiscatto"), QString());
        QVERIFY(!f.C().chkIntRiscatto->isChecked());
    }

    void aLoadedContractNeverTakesAnotherContractsPlan() {
        ArchiveFixture f;
        const int first = f.SaveSmall("Primo", "6");
        const auto firstPlan = f.StoredPlan(first);
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.SaveSmall("Secondo", "9");
        // The plan in memory is the second one's; saving the first keeps its own plan.
        f.Click(f.ContractNode("Primo"));
        f.Enter("txtDescBene", "Primo rinominato");
        QVERIFY(f.C().cmdSalva->isEnabled());
        f.Salva();
        QVERIFY(f.boxes.shown.empty());
        QVERIFY(f.ContractNode("Primo rinominato") != nullptr);
        const auto kept = f.StoredPlan(first);
        QCOMPARE(kept.size(), firstPlan.size());
        for (std::size_t i = 0; i < kept.size(); ++i) {
            QCOMPARE(kept[i].Importo, firstPlan[i].Importo);
            QCOMPARE(kept[i].Tasso, firstPlan[i].Tasso);
        }
        QCOMPARE(kept[1].Tasso, 6.0);
    }

    // Another desk deletes a stored contract: choosing it in the tree, or deleting it while
    // it is loaded, says so once and the window forgets it; a form being typed stays.
    void aContractDeletedElsewhereIsReportedOnce_data() {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("question");
        QTest::newRow("chosen in the tree") << false << "Salvare le modifiche?";
        QTest::newRow("deleted while loaded") << true << "Cancellare il contratto?";
    }
    void aContractDeletedElsewhereIsReportedOnce() {
        QFETCH(bool, loaded);
        ArchiveFixture f;
        const int id = f.SaveSmall("Sparito", "6");
        if (loaded) {
            f.Click(f.ContractNode("Sparito"));
            QVERIFY(f.C().cmdElimina->isEnabled());
        } else {
            QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
            f.FillSmall("In corso", "7");
        }
        const ContractForm before = f.window->Contract()->ReadContractForm();
        {
            Database other = f.OpenOther();
            QVERIFY(other.Execute("DELETE FROM tabContratti WHERE ID = " + std::to_string(id)));
        }
        QTreeWidgetItem* node = f.ContractNode("Sparito");
        QVERIFY(node != nullptr);
        f.boxes.ScriptAnswer(loaded ? BoxAnswer::Yes : BoxAnswer::No);
        if (loaded) {
            QTest::mouseClick(f.C().cmdElimina, Qt::LeftButton);
        } else {
            f.Click(node);
        }
        QCOMPARE(f.boxes.shown.size(), std::size_t(2));
        QTEST(f.Prompt(0), "question");
        QCOMPARE(f.Prompt(1), QString(kContractGoneMessage));
        QCOMPARE(f.boxes.shown[1].icon, BoxIcon::Exclamation);
        if (loaded) {
            QCOMPARE(f.Text("txtDescBene"), QString());
        } else {
            QVERIFY(f.window->Contract()->ReadContractForm() == before);
        }
        QCOMPARE(f.window->CurrentSaveMode(), SaveMode::NewContract);
        QVERIFY(!f.C().cmdElimina->isEnabled());
        QVERIFY(f.ContractNode("Sparito") == nullptr);
    }

    void clickingATypeChangesNothing() {
        ArchiveFixture f;
        f.FillSmall("Scrivania", "6");
        const ContractForm before = f.window->Contract()->ReadContractForm();
        f.Click(f.TypeNode("Leasing"));
        QVERIFY(f.window->Contract()->ReadContractForm() == before);
        QVERIFY(f.boxes.shown.empty());
    }

    void deleteWithNothingLoadedAsksToSelect() {
        ArchiveFixture f;
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        f.window->Delete();
        QCOMPARE(f.boxes.shown.size(), std::size_t(2));
        QCOMPARE(f.Prompt(1), QString("Selezionare un contratto!"));
    }

    void summaryOfTheMonth() {
        today_.emplace(*CalendarDate::FromYmd(2006, 3, 15));
        ArchiveFixture f;
        StatusPage* status = f.window->Status();
        // An empty archive.
        QCOMPARE(status->txtTassoMedio->text(), QString("0,00"));
        QCOMPARE(status->txtDebitoResiduo->text(), QString("0,00"));
        QCOMPARE(status->lstCanoni->columnCount(), 3);
        QCOMPARE(status->lstCanoni->headerItem()->text(0), QString("Descrizione"));
        QCOMPARE(status->lstCanoni->headerItem()->text(1), QString("Data"));
        QCOMPARE(status->lstCanoni->headerItem()->text(2), QString("Importo"));
        QCOMPARE(status->lstCanoni->topLevelItemCount(), 0);

        f.FillSmall("Tornio", "6");
        f.Calcola();
        const QString tornioInstalment = f.Cell(3, 2);
        f.Salva();
        const int tornio = f.ShownId();
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.FillSmall("Pressa", "6");
        f.Enter("txtValBene", "12000");
        f.Calcola();
        const QString pressaInstalment = f.Cell(3, 2);
        QCOMPARE(status->lstCanoni->topLevelItemCount(), 1);  // saving refreshes it
        f.Salva();
        const int pressa = f.ShownId();
        QCOMPARE(status->lstCanoni->topLevelItemCount(), 2);

        for (int press = 0; press < 2; ++press) {
            QTest::mouseClick(status->cmdAggiorna, Qt::LeftButton);
            QCOMPARE(status->lstCanoni->topLevelItemCount(), 2);
        }
        QCOMPARE(status->txtTassoMedio->text(), QString("6,00"));
        // Today (15/03) the debt is what is left after the February instalments (line 1,
        // after the maxi-instalment line 0).
        QCOMPARE(status->txtDebitoResiduo->text(),
                 QString::fromStdString(FormatNumber(
                     f.StoredPlan(tornio)[1].DebitoRes + f.StoredPlan(pressa)[1].DebitoRes, 1)));
        QTreeWidgetItem* row = status->lstCanoni->topLevelItem(0);
        QCOMPARE(row->text(1), QString("31/03/2006"));
        QCOMPARE(row->data(0, Qt::UserRole).toString(), QString("A1"));
        QCOMPARE(status->lstCanoni->topLevelItem(1)->data(0, Qt::UserRole).toString(),
                 QString("A2"));
        QStringList seen = {row->text(0) + " " + row->text(2),
                            status->lstCanoni->topLevelItem(1)->text(0) + " " +
                                status->lstCanoni->topLevelItem(1)->text(2)};
        seen.sort();
        QCOMPARE(seen, QStringList({"Pressa " + pressaInstalment, "Tornio " + tornioInstalment}));

        // Deleting refreshes it too.
        f.Click(f.ContractNode("Pressa"));
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        QTest::mouseClick(f.C().cmdElimina, Qt::LeftButton);
        QCOMPARE(status->lstCanoni->topLevelItemCount(), 1);
        QCOMPARE(status->lstCanoni->topLevelItem(0)->text(0), QString("Tornio"));
    }

    // Calculate one contract, load another, export: the file is the loaded contract's
    // alone, heading, rows and TAEG, as it was when it was calculated and saved.
    void aLoadedContractIsExportedWhole() {
        QTemporaryDir folder;
        ArchiveFixture f;
        f.window->Plan()->SetProgramFiles(ReadyToRunFiles(folder.path().toStdString()));
        f.FillCar("Primo", "31/01/07");
        f.Calcola();
        const QString taeg = f.Text("txtTAEG");
        QTest::mouseClick(f.window->Plan()->cmdText, Qt::LeftButton);
        const QString file = QDir(folder.path()).filePath("Export/Primo.txt");
        const QByteArray calculated = ReadAll(file);
        QVERIFY(!calculated.isEmpty());
        QVERIFY(QFile::remove(file));
        f.Salva();

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.FillSmall("Secondo", "9");
        f.Calcola();
        QVERIFY(f.Text("txtTAEG") != taeg);
        f.boxes.ScriptAnswer(BoxAnswer::No);
        f.Click(f.ContractNode("Primo"));
        QCOMPARE(f.Text("txtTAEG"), taeg);
        QTest::mouseClick(f.window->Plan()->cmdText, Qt::LeftButton);
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));  // the question to save "Secondo"
        QCOMPARE(ReadAll(file), calculated);
        // Changed after the load, it is refused until calculated again.
        f.Enter("txtTasso", "5");
        QTest::mouseClick(f.window->Plan()->cmdText, Qt::LeftButton);
        QCOMPARE(f.boxes.shown.size(), std::size_t(2));
        QVERIFY(f.Prompt(1).startsWith("Piano non aggiornato"));
    }

    // The page "Stato" with a few contracts archived, for the README.
    void grabStatusPage() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        today_.emplace(*CalendarDate::FromYmd(2006, 4, 10));
        ArchiveFixture f;
        const struct {
            const char* name;
            const char* type;
            const char* value;
            const char* rate;
        } contracts[] = {{"Fresatrice CNC", "Leasing", "30000", "7,5"},
                         {"Tornio a controllo", "Leasing", "18500", "6,9"},
                         {"Furgone consegne", "Credito al consumo", "24000", "8,2"},
                         {"Capannone Nord", "Mutuo", "250000", "4,75"}};
        for (const auto& contract : contracts) {
            QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
            f.FillSmall(contract.name, contract.rate);
            f.C().cboTipoLea->setCurrentText(QString::fromUtf8(contract.type));
            f.Enter("txtValBene", contract.value);
            f.Enter("txtRate", "36");
            f.Calcola();
            f.Salva();
        }
        QVERIFY(f.boxes.shown.empty());
        QTest::mouseClick(f.window->Status()->cmdAggiorna, Qt::LeftButton);
        for (int i = 0; i < f.window->Tree()->topLevelItemCount(); ++i) {
            f.window->Tree()->topLevelItem(i)->setExpanded(true);
        }
        f.window->Tabs()->setCurrentIndex(2);
        f.window->Status()->SelectTable(0);
        QApplication::processEvents();
        QVERIFY(f.window->grab().save(QDir(folder).filePath("stato.png")));
    }

private:
    std::optional<ScopedToday> today_;
};

QTEST_MAIN(ArchiveWindowTest)
#include "test_archive_window.moc"
