// The main window as a whole: load and New, the menu and closing, the tree, the plan grid
// after whole calculations, editing the rate list, and pictures of the pages.
#include <QDir>
#include <QMenuBar>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "common/clock.h"
#include "ui/rate_list_view.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        today_.emplace(*CalendarDate::FromYmd(2006, 1, 15));
        f_ = std::make_unique<WindowFixture>();
    }
    void cleanup() {
        f_.reset();
        today_.reset();
    }

    void loadShowsAClearForm() {
        QCOMPARE(f_->window->windowTitle(), QString("Quotaplan 4.0.0 - Brightmoor"));
        QStringList tabs;
        QTabWidget* pages = f_->window->Tabs();
        for (int k = 0; k < pages->count(); ++k) tabs << pages->tabText(k);
        QCOMPARE(tabs, QStringList({"Calcoli", "Piano finanziario", "Stato", "Grafico"}));
        QCOMPARE(f_->window->Tabs()->currentIndex(), 0);
        QCOMPARE(f_->C().cboTipoLea->currentText(), QString("Leasing"));
        QCOMPARE(f_->C().cboTipoLea->count(), 3);
        QCOMPARE(f_->C().cboTxRif->currentText(), QString("Euribor 3 mesi"));
        QCOMPARE(f_->C().cboPeriodicita->currentText(), QString("Mensile"));
        QVERIFY(!f_->C().cmdSalva->isEnabled());
        QVERIFY(!f_->C().cmdElimina->isEnabled());
        QVERIFY(f_->Stale());
        QVERIFY(f_->C().optFormula[0]->isChecked());
        QCOMPARE(f_->Grid()->Rows(), 1);
        QCOMPARE(f_->archive.bufferClears, 1);
        // Every control is found by its documented name.
        for (const char* name :
             {"txtValBene", "txtMaxi", "txtPercMaxi", "txtSpread", "txtTasso", "txtRate",
              "txtRiscatto", "txtPercRiscatto", "txtContract", "txtStart", "txtDataRiscatto",
              "txtResult", "txtSpContratto", "txtSpRata", "txtTxEffettivo", "txtDescBene"}) {
            QVERIFY2(f_->Field(name) != nullptr, name);
        }
        QCOMPARE(f_->Text("txtValBene"), QString("0"));
        QCOMPARE(f_->Text("txtContract"), QString());
    }

    void treeShowsTypesAndContracts() {
        QTreeWidget* tree = f_->window->Tree();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("Leasing"));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->child(1)->text(0), QString("Tornio"));
        QCOMPARE(tree->topLevelItem(0)->child(1)->data(0, Qt::UserRole).toString(),
                 QString("IDCon9"));
        QCOMPARE(tree->topLevelItem(1)->childCount(), 0);
        // With no financing type the tree keeps what it showed.
        f_->archive.tree.reset();
        f_->window->LoadTree();
        QCOMPARE(tree->topLevelItemCount(), 2);
    }

    void newKeepsTheOptionsAndClearsTheRest() {
        FillThirtyThousand();
        f_->C().optPagAnt->setChecked(true);
        f_->C().chkIntRiscatto->setChecked(true);
        f_->Calcola();
        QVERIFY(f_->Grid()->Rows() > 1);
        f_->boxes.ScriptAnswer(BoxAnswer::No);
        QTest::mouseClick(f_->C().cmdNuovo, Qt::LeftButton);
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt), QString("Salvare le modifiche?"));
        QCOMPARE(int(f_->boxes.shown[0].buttons), int(BoxButtons::YesNoCancel));
        for (const char* name : {"txtValBene", "txtMaxi", "txtPercMaxi", "txtRiscatto", "txtResult",
                                 "txtSpContratto", "txtSpRata", "txtRate"}) {
            QCOMPARE(f_->Text(name), QString("0"));
        }
        for (const char* name :
             {"txtDescBene", "txtContract", "txtStart", "txtDataRiscatto", "txtTxEffettivo"}) {
            QCOMPARE(f_->Text(name), QString());
        }
        QCOMPARE(f_->C().txtPercMaxi->toolTip(), QString());
        QVERIFY(!f_->C().chkIntRiscatto->isChecked());
        QVERIFY(f_->C().optPagAnt->isChecked());
        QVERIFY(f_->C().optCapCom->isChecked());
        QCOMPARE(f_->C().lsvTxHis->topLevelItemCount(), 0);
        QCOMPARE(f_->Grid()->Rows(), 1);
        QVERIFY(!f_->C().cmdSalva->isEnabled());
        QVERIFY(f_->Stale());
        QCOMPARE(f_->archive.treeLoads, 3);  // load, New at load, New
    }

    void archiveFailureOnNewIsShown() {
        f_->archive.failTree = true;
        QTest::mouseClick(f_->C().cmdNuovo, Qt::LeftButton);
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Tabella 'supTipologia' non trovata."));
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Critical));
        QVERIFY(f_->window->isVisible());
    }

    void instalmentRoadFillsTheGrid() {
        FillThirtyThousand();
        f_->Enter("txtDataRiscatto", "");
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
        QVERIFY(f_->C().cmdSalva->isEnabled());
        QVERIFY(!f_->Stale());
        QVERIFY(f_->C().lblTxEffettivo->isVisible());
        // Maxi + 36 instalments + buy-out: every one of the n + 3 rows is written.
        PlanGrid* grid = f_->Grid();
        QCOMPARE(grid->Rows(), 39);
        QCOMPARE(f_->Cell(0, 3), QString("Q. Capitale"));
        QVERIFY(grid->CellBold(0, 0));
        QCOMPARE(f_->Cells({{1, 0}, {1, 1}, {1, 2}, {1, 4}, {1, 5}}),
                 QStringList({"Maxi.", "31/01/06", "3.000,00", "0,00", "27.000,00"}));
        QCOMPARE(f_->Cells({{2, 0}, {2, 1}, {2, 2}, {37, 0}, {37, 1}}),
                 QStringList({"1° Rata", "28/02/06", "761,97", "36° Rata", "31/01/09"}));
        // No buy-out date: the buy-out falls on the last due date.
        QCOMPARE(f_->Cells({{38, 0}, {38, 1}, {38, 2}, {38, 5}}),
                 QStringList({"Riscatto", "31/01/09", "3.000,00", "0,00"}));
        QCOMPARE(grid->ColWidthTwips(1), 945);
        QCOMPARE(grid->ColAlignment(2), Qt::AlignRight | Qt::AlignVCenter);
    }

    void gridWithoutMaxiOrBuyoutKeepsTwoEmptyRows() {
        FillTenThousand();
        f_->Calcola();
        QCOMPARE(f_->Grid()->Rows(), 15);
        QCOMPARE(f_->Cells({{1, 0}, {1, 2}, {12, 0}, {13, 0}, {14, 0}}),
                 QStringList({"1° Rata", "859,93", "12° Rata", "", ""}));
        // A maxi-instalment of one cent has its row.
        f_->Enter("txtMaxi", "0,01");
        f_->Calcola();
        QCOMPARE(f_->Cells({{1, 0}, {1, 2}}), QStringList({"Maxi.", "0,01"}));
        QCOMPARE(f_->Grid()->Rows(), 15);
    }

    void rateRoadLeavesTheGridAlone() {
        FillTenThousand();
        f_->Calcola();
        f_->Choose(f_->C().optFormula[1]);
        QCOMPARE(f_->Text("txtTasso"), QString("0"));
        QVERIFY(!f_->C().cmdSalva->isEnabled());
        f_->Enter("txtSpread", "1,5");
        f_->Enter("txtResult", "859.93");
        QCOMPARE(f_->Text("txtResult"), QString("859,93"));
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
        QCOMPARE(f_->Text("txtTasso"), QString("4,5"));
        QVERIFY(!f_->C().cmdSalva->isEnabled());
        QVERIFY(!f_->Stale());
        QCOMPARE(f_->C().lsvTxHis->topLevelItemCount(), 0);
        QCOMPARE(f_->Grid()->Rows(), 15);
        QCOMPARE(f_->Cell(1, 2), QString("859,93"));
    }

    void assetValueRoad() {
        FillThirtyThousand();
        f_->Choose(f_->C().optFormula[3]);
        f_->Enter("txtResult", "761,97");
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
        QCOMPARE(f_->Text("txtValBene"), QString("30.000,00"));
        QCOMPARE(f_->C().txtPercMaxi->toolTip(), QString("Percentuale effettiva : 10"));
        QVERIFY(!f_->C().cmdSalva->isEnabled());
        QCOMPARE(f_->Grid()->Rows(), 1);
    }

    void refusalMovesTheFocus() {
        FillTenThousand();
        f_->Enter("txtDataRiscatto", "31/02/2007");
        f_->Calcola();
        QCOMPARE(QString::fromStdString(f_->boxes.shown.at(0).prompt),
                 QString("Inserire una data valida!"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f_->C().txtDataRiscatto));
        QVERIFY(f_->Stale());
    }

    void editingTheRateList() {
        FillTenThousand();
        f_->Calcola();
        RateListView* list = f_->C().lsvTxHis;
        QCOMPARE(list->topLevelItemCount(), 12);
        f_->boxes.ScriptText("8");
        f_->boxes.ScriptAnswer(BoxAnswer::Yes);
        list->setCurrentItem(list->topLevelItem(6));
        f_->window->Contract()->EditRateListRow();
        QCOMPARE(QString::fromStdString(f_->boxes.asked.at(0).prompt),
                 QString("Inserisci il tasso in percentuale."));
        QCOMPARE(QString::fromStdString(f_->boxes.asked[0].title), QString("Quotaplan"));
        QCOMPARE(QString::fromStdString(f_->boxes.asked[0].defaultText), QString("6,00"));
        QCOMPARE(QString::fromStdString(f_->boxes.shown.at(0).prompt),
                 QString("Estendere il tasso alle rate successive?"));
        for (int row = 0; row < 12; ++row) {
            QCOMPARE(list->topLevelItem(row)->text(1), QString(row < 6 ? "6,00" : "8,00"));
        }
        QVERIFY(f_->Stale());
        QVERIFY(!f_->C().cmdSalva->isEnabled());
        QVERIFY(f_->C().lblTxEffettivo->isVisible());
        // The plan follows the list: 6 % for rows 1 to 6, 8 % from row 7.
        f_->Calcola();
        QCOMPARE(f_->Text("txtResult"), QString("859,93"));
        QCOMPARE(f_->Cells({{6, 2}, {7, 2}}), QStringList({"859,93", "864,61"}));
        // Cancel changes nothing and asks nothing more.
        f_->window->Contract()->EditRateListRow();
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(list->topLevelItem(6)->text(1), QString("8,00"));
    }

    void storedRatesFillTheList() {
        f_->window->Contract()->LoadRateList({{41, *CalendarDate::FromYmd(2006, 2, 28), 6.125},
                                              {42, *CalendarDate::FromYmd(2006, 3, 31), 7.5}});
        RateList items = f_->C().lsvTxHis->Items();
        QCOMPARE(items.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(items[0].key), QString("R41"));
        QCOMPARE(QString::fromStdString(items[0].date), QString("28/02/06"));
        QCOMPARE(QString::fromStdString(items[0].rate), QString("6,13"));
        QCOMPARE(QString::fromStdString(items[1].rate), QString("7,50"));
        // No stored instalments: the list stays as it was.
        f_->window->Contract()->LoadRateList({});
        QCOMPARE(f_->C().lsvTxHis->topLevelItemCount(), 2);
        // A plan longer than the list shows: the rates stay in sight beside the scroll bar.
        std::vector<StoredRate> longPlan;
        for (int row = 1; row <= 60; ++row) {
            longPlan.push_back({row, *CalendarDate::FromYmd(2006, 1, 31), 10.25});
        }
        f_->window->Contract()->LoadRateList(longPlan);
        RateListView* list = f_->C().lsvTxHis;
        QTRY_VERIFY(list->verticalScrollBar()->isVisible());
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        QTRY_VERIFY(list->columnWidth(0) + list->columnWidth(1) <= list->viewport()->width());
        QVERIFY(list->columnWidth(1) > list->fontMetrics().horizontalAdvance("10,25"));
    }

    // Nuovo, another contract or closing with unsaved changes asks "Salvare le modifiche?":
    // Sì saves first (only a calculated contract: otherwise it says to calculate and stays),
    // No goes on, Annulla stays. Nothing changed, nothing is asked.
    void unsavedChangesAreAskedAbout_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("calculated");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<int>("saves");
        QTest::addColumn<QString>("thenShown");
        const int yes = int(BoxAnswer::Yes), no = int(BoxAnswer::No);
        const int cancel = int(BoxAnswer::Cancel);
        const QString calculate = "Per salvare il contratto premere prima Calcola, poi Salva.";
        QTest::newRow("nuovo, no") << "nuovo" << true << no << true << 0 << "";
        QTest::newRow("nuovo, annulla") << "nuovo" << true << cancel << false << 0 << "";
        QTest::newRow("nuovo, sì") << "nuovo" << true << yes << true << 1 << "";
        QTest::newRow("nuovo, sì, not calculated") << "nuovo" << false << yes << false << 0
                                                   << calculate;
        QTest::newRow("load, no") << "load" << false << no << true << 0 << "";
        QTest::newRow("load, annulla") << "load" << true << cancel << false << 0 << "";
        QTest::newRow("load, sì") << "load" << true << yes << true << 1 << "";
        QTest::newRow("close, annulla") << "close" << true << cancel << false << 0 << "";
        QTest::newRow("close, no") << "close" << false << no << true << 0 << "";
        QTest::newRow("close, sì") << "close" << true << yes << true << 1 << "";
    }
    void unsavedChangesAreAskedAbout() {
        QFETCH(QString, action);
        QFETCH(bool, calculated);
        QFETCH(int, answer);
        f_->archive.stored = StoredTornio();
        FillTenThousand();
        if (calculated) f_->Calcola();
        f_->boxes.ScriptAnswer(BoxAnswer(answer));
        Leave(action);
        QCOMPARE(f_->boxes.shown.at(0).prompt, std::string("Salvare le modifiche?"));
        QFETCH(QString, thenShown);
        QCOMPARE(f_->boxes.shown.size(), std::size_t(thenShown.isEmpty() ? 1 : 2));
        if (!thenShown.isEmpty()) QCOMPARE(QString::fromStdString(f_->boxes.shown[1].prompt), thenShown);
        QFETCH(int, saves);
        QCOMPARE(int(f_->archive.saved.size()), saves);
        QFETCH(bool, goesOn);
        const QString shown = action == "load" && goesOn ? "Tornio"
                              : action == "nuovo" && goesOn ? ""
                                                            : "Auto aziendale";
        QCOMPARE(f_->Text("txtDescBene"), shown);
        QCOMPARE(f_->window->isVisible(), !(action == "close" && goesOn));
        QCOMPARE(f_->archive.closes, action == "close" && goesOn ? 1 : 0);
    }
    void nothingIsAskedWithoutChanges() {
        f_->archive.stored = StoredTornio();
        for (int k = 1; k <= 12; ++k) {
            f_->archive.rates.push_back({k, CalendarDate::FromYmdCarrying(2006, 1 + k, 28), 6});
        }
        Leave("load");
        f_->Calcola();  // the same contract: nothing to save
        Leave("nuovo");
        FillTenThousand();
        f_->Calcola();
        QTest::mouseClick(f_->C().cmdSalva, Qt::LeftButton);
        Leave("load");
        Leave("close");
        QVERIFY(f_->boxes.shown.empty());
        QVERIFY(!f_->window->isVisible());
    }

    // An empty "Prima rata" is written one period after the contract date; instalments in
    // arrears from the contract day are calculated, with a warning beside the TAEG.
    void firstDateFilledAndEarlyDateWarned() {
        FillTenThousand();
        f_->Field("txtStart")->clear();
        f_->Calcola();
        QCOMPARE(f_->Text("txtStart"), QString("28/02/06"));
        QLabel* warning = f_->Find<QLabel>("lblAvvisoTAEG");
        QVERIFY(!warning->isVisible());
        f_->Enter("txtStart", "31/01/06");
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
        QVERIFY(f_->C().lblTAEG->isVisible());
        QVERIFY(warning->isVisible());
        QCOMPARE(warning->toolTip(),
                 QString("La prima rata cade il giorno del contratto o prima, con pagamento "
                         "posticipato: il TAEG ne risulta più alto. Controllare la data della "
                         "prima rata."));
        f_->Enter("txtValBene", "12000");
        QVERIFY(!warning->isVisible());  // gone with the figures it speaks of
        f_->Choose(f_->C().optPagAnt);
        f_->Calcola();
        QVERIFY(!warning->isVisible());
    }

    void closingEndsWithTheDatabaseClosed() {
        QAction* exit = f_->window->menuBar()->findChild<QAction*>("mnuEsci");
        QVERIFY(exit != nullptr);
        QCOMPARE(exit->text(), QString("&Esci"));
        exit->trigger();
        QVERIFY(!f_->window->isVisible());
        QCOMPARE(f_->archive.closes, 1);
        f_->window->close();
        QCOMPARE(f_->archive.closes, 1);
    }

    // Pictures of the pages for the documentation, when a folder is given.
    void grabPages() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        FillThirtyThousand();
        f_->Calcola();
        // "Stato" is grabbed over a real archive, with contracts in it (test_archive_window).
        const char* names[] = {"calcoli.png", "piano-finanziario.png"};
        for (int page = 0; page < 2; ++page) {
            f_->window->Tabs()->setCurrentIndex(page);
            QApplication::processEvents();
            QVERIFY(f_->window->grab().save(QDir(folder).filePath(names[page])));
        }
    }

private:
    // Leaves the contract shown: "nuovo", "load" (Tornio from the tree) or "close".
    void Leave(const QString& action) {
        if (action == "nuovo") {
            QTest::mouseClick(f_->C().cmdNuovo, Qt::LeftButton);
        } else if (action == "load") {
            emit f_->window->Tree()->itemClicked(f_->window->Tree()->topLevelItem(0)->child(1), 0);
        } else {
            f_->window->close();
        }
    }
    void FillTenThousand() {
        f_->EnterAll({{"txtDescBene", "Auto aziendale"}, {"txtValBene", "10000"}, {"txtTasso", "6"},
                      {"txtRate", "12"}, {"txtContract", "31/01/06"}, {"txtStart", "28/02/06"}});
        f_->Choose(f_->C().optCapCom);
    }
    void FillThirtyThousand() {
        f_->Enter("txtDescBene", "Fresatrice CNC");
        f_->FillLeasing();
        f_->Enter("txtSpContratto", "250");
        f_->Enter("txtSpRata", "5");
    }

    std::optional<ScopedToday> today_;
    std::unique_ptr<WindowFixture> f_;
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
