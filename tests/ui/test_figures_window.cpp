// The plan to the cent, the TAEG and the usury check in the window: the Calculate command on
// a form snapshot, the check box and the TAEG display on the Calcoli page, a contract to the
// cent saved and loaded back, and the usury verdict, thresholds and categories through the
// real archive.
#include <QDir>
#include <QListWidget>
#include <QTreeWidget>
#include <fstream>

#include "archive_fixture.h"
#include "common/clock.h"
#include "data/usury_thresholds.h"
#include "ui/calculation_form.h"
#include "ui/status_page.h"
#include "ui/usury_thresholds_dialog.h"
#include "ui/usury_verdict.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

// 10.000 at 6 % simple, 12 monthly instalments in arrears from 15/02/2026, with 150 of
// contract fees and 2 an instalment.
CalculationForm TenThousandWithFees() {
    CalculationForm form;
    form.descBene = "Auto";
    form.valBene = "10.000,00";
    form.tasso = "6,00";
    form.spread = "0";
    form.rate = "12";
    form.contract = "15/01/26";
    form.start = "15/02/26";
    form.spContratto = "150,00";
    form.spRata = "2,00";
    form.centesimo = true;
    return form;
}

UsuryRate Quarter(const char* category, std::int64_t tegmTenThousandths) {
    return {category,
            std::nullopt,
            std::nullopt,
            *CalendarDate::FromYmd(2026, 1, 1),
            *CalendarDate::FromYmd(2026, 3, 31),
            Percent::FromTenThousandths(tegmTenThousandths)};
}

// The contract of TenThousandWithFees typed into the window: TAEG 9,68 %.
void FillTenThousand(WindowDriver& f, const QString& type) {
    f.C().cboTipoLea->setCurrentText(type);
    f.EnterAll({{"txtDescBene", "Auto"}, {"txtValBene", "10000"}, {"txtTasso", "6"},
                {"txtRate", "12"}, {"txtContract", "15/01/26"}, {"txtStart", "15/02/26"},
                {"txtSpContratto", "150"}, {"txtSpRata", "2"}});
    f.Choose(f.C().optCapSem);
}

}  // namespace

class FiguresWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { today_.emplace(*CalendarDate::FromYmd(2026, 1, 10)); }
    void cleanup() { today_.reset(); }

    void calculateToTheCentWithItsTaeg() {
        CalculationForm form = TenThousandWithFees();
        FinancialPlan plan;
        RecordingMessageBoxes boxes;
        const CalculationOutcome outcome = RunCalculateCommand(form, plan, boxes, Today());
        QVERIFY(boxes.shown.empty());
        QVERIFY(outcome.planBuilt);
        QCOMPARE(QString::fromStdString(form.result), QString("860,66"));
        QVERIFY(plan.toTheCent.has_value());
        QCOMPARE(plan.toTheCent->rows.back().instalment.Cents(), 86070LL);
        QCOMPARE(QString::fromStdString(form.taeg), QString("9,68%"));
        QCOMPARE(QString::fromStdString(form.txEffettivo), QString("9,28%"));

        // Unticked, the classic plan; the TAEG counts its own instalments.
        form = TenThousandWithFees();
        form.centesimo = false;
        RunCalculateCommand(form, plan, boxes, Today());
        QVERIFY(!plan.toTheCent.has_value());
        QCOMPARE(QString::fromStdString(form.taeg), QString("9,68%"));

        // The rate target judges the instalment typed: 12 x 860,66, no fees.
        form = TenThousandWithFees();
        form.spContratto = form.spRata = "0";
        form.target = CalcTarget::Rate;
        form.result = "860,66";
        RunCalculateCommand(form, plan, boxes, Today());
        QCOMPARE(QString::fromStdString(form.taeg), QString("6,17%"));
    }

    void checkBoxChoosesThePlanAndTheGridShowsItsCents() {
        WindowFixture f;
        QCheckBox* box = f.Find<QCheckBox>("chkCentesimo");
        QVERIFY(box != nullptr);
        QCOMPARE(box->text().replace('\n', ' '), QString("Piano a&l centesimo"));
        QVERIFY(!box->isChecked());
        f.EnterAll({{"txtDescBene", "Mutuo casa"}, {"txtValBene", "200000"}, {"txtTasso", "4"},
                    {"txtRate", "360"}, {"txtContract", "15/01/26"}, {"txtStart", "15/02/26"}});
        f.Choose(f.C().optCapSem);
        f.Calcola();
        // The classic plan drifts: its last residual is not 0.
        QVERIFY(f.Cell(360, 5) != QString("0,00"));
        QVERIFY(f.C().lblTAEG->isVisible());

        box->setChecked(true);
        QVERIFY(f.Stale());
        QVERIFY(!f.C().cmdSalva->isEnabled());
        QVERIFY(!f.C().lblTAEG->isVisible());
        f.Calcola();
        QVERIFY(!f.Stale());
        QCOMPARE(f.Text("txtResult"), QString("954,83"));
        const QStringList first = {"1° Rata", "15/02/26", "954,83",
                                   "288,16",  "666,67",   "199.711,84"};
        const QStringList last = {"360° Rata", "15/01/56", "955,46", "952,29", "3,17", "0,00"};
        for (int column = 0; column < PlanGrid::kColumns; ++column) {
            QCOMPARE(f.Cell(1, column), first[column]);
            QCOMPARE(f.Cell(360, column), last[column]);
        }
        QCOMPARE(f.Grid()->Rows(), 363);
        QVERIFY(f.C().lblTAEG->isVisible());
        QCOMPARE(f.Text("txtTAEG"), QString("4,07%"));

        f.boxes.ScriptAnswer(BoxAnswer::No);
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        QVERIFY(!box->isChecked());
        QCOMPARE(f.Text("txtTAEG"), QString());
    }

    // One instalment in advance, paid on the signing day, fixes no single rate: "n.d." with
    // the reason as its tooltip, and no usury verdict; a TAEG found again drops the tooltip.
    void taegNotDeterminedWithItsReason() {
        WindowFixture f;
        f.EnterAll({{"txtDescBene", "Auto"}, {"txtValBene", "1000"}, {"txtTasso", "5"},
                    {"txtRate", "1"}, {"txtContract", "15/01/26"}, {"txtStart", "15/02/26"}});
        f.Choose(f.C().optPagAnt);
        f.Calcola();
        QCOMPARE(f.Text("txtTAEG"), QString("n.d."));
        QCOMPARE(f.C().txtTAEG->toolTip(),
                 QString("TAEG non determinabile: erogazioni e pagamenti si annullano giorno per "
                         "giorno (per esempio una sola rata anticipata senza spese), e ogni "
                         "tasso li pareggia."));
        QVERIFY(!f.C().lblUsura->isVisible());

        f.Enter("txtRate", "2");
        f.Calcola();
        QCOMPARE(f.Text("txtTAEG"), QString("5,12%"));
        QCOMPARE(f.C().txtTAEG->toolTip(), QString());
    }

    void savedToTheCentAndLoadedBack() {
        ArchiveFixture f;
        f.FillCar("Centesimo", "");
        f.C().chkCentesimo->setChecked(true);
        f.Calcola();
        const QStringList plan = f.GridTexts();
        f.Salva();
        QVERIFY(f.boxes.shown.empty());
        const int id = f.ShownId();
        QCOMPARE(f.Count("SELECT Centesimo FROM tabContratti WHERE ID = " + std::to_string(id)),
                 -1LL);
        // Every stored capital share adds up to the asset value, to the cent.
        Money capital;
        for (const StoredPlanRow& row : f.StoredPlan(id))
            capital += Money::FromUnits(row.QCapitale);
        QCOMPARE(capital.Cents(), 1000000LL);

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        QVERIFY(!f.C().chkCentesimo->isChecked());
        f.Click(f.ContractNode("Centesimo"));
        QVERIFY(f.C().chkCentesimo->isChecked());
        f.Calcola();
        QCOMPARE(f.GridTexts(), plan);
    }

    void usuryVerdictTexts_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<int>("tegm");  // ten-thousandths; 0: none in force
        QTest::addColumn<int>("teg");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tone");
        const int grey = static_cast<int>(UsuryTone::Grey);
        QTest::newRow("no category")
            << "" << 105800 << 96800 << "Tipologia senza categoria d'usura" << grey;
        QTest::newRow("none in force")
            << "Credito personale" << 0 << 96800 << "Nessuna soglia d'usura in vigore" << grey;
        QTest::newRow("within") << "Credito personale" << 105800 << 96800
                                << "Entro la soglia d'usura (soglia 17,2250 %)"
                                << static_cast<int>(UsuryTone::Neutral);
        QTest::newRow("at the threshold")
            << "Mutui" << 170000 << 250000 << "Entro la soglia d'usura (soglia 25,0000 %)"
            << static_cast<int>(UsuryTone::Neutral);
        QTest::newRow("over") << "Credito personale" << 105800 << 172300
                              << "Tasso oltre la soglia d'usura (soglia 17,2250 %)"
                              << static_cast<int>(UsuryTone::Red);
    }
    void usuryVerdictTexts() {
        QFETCH(QString, category);
        QFETCH(int, tegm);
        QFETCH(int, teg);
        std::optional<UsuryJudgement> judgement;
        if (tegm != 0) {
            const UsuryRate quarter = Quarter(category.toUtf8().constData(), tegm);
            judgement = JudgeUsury(quarter, Percent::FromTenThousandths(teg), quarter.validFrom);
        }
        const UsuryVerdict verdict = UsuryVerdictOf(category.toStdString(), judgement);
        QTEST(QString::fromStdString(verdict.text), "text");
        QTEST(static_cast<int>(verdict.tone), "tone");
    }

    void rateTexts() {
        const auto p = Percent::FromTenThousandths;
        QCOMPARE(QString::fromStdString(PercentText(p(172250), 4)), QString("17,2250"));
        QCOMPARE(QString::fromStdString(PercentText(p(81625), 2)), QString("8,16"));
        QCOMPARE(QString::fromStdString(ShortPercentText(p(105800))), QString("10,58"));
        QCOMPARE(QString::fromStdString(ShortPercentText(p(31250))), QString("3,125"));
        QCOMPARE(QString::fromStdString(ShortPercentText(p(70000))), QString("7,00"));
        QCOMPARE(QString::fromStdString(ShortPercentText(p(12345))), QString("1,2345"));
    }

    // The verdict beside the TAEG follows the type's category, the quarter of the contract
    // date and the threshold, and goes with the TAEG when the result turns stale.
    void usuryVerdictBesideTheTaeg() {
        ArchiveFixture f;
        UsuryThresholds thresholds(f.db, f.boxes);
        QVERIFY(
            thresholds.Write({Quarter("Credito personale", 105800), Quarter("Leasing auto", 33300)})
                .written);
        QLabel* label = f.C().lblUsura;
        FillTenThousand(f, "Credito al consumo");
        f.Calcola();
        QCOMPARE(f.Text("txtTAEG"), QString("9,68%"));
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), QString("Tipologia senza categoria d'usura"));
        QVERIFY(label->styleSheet().contains("gray"));

        QVERIFY(thresholds.SetCategoryOfType("credito al CONSUMO", "Credito personale"));
        f.Calcola();
        QCOMPARE(label->text(), QString("Entro la soglia d'usura (soglia 17,2250 %)"));
        QVERIFY(label->styleSheet().isEmpty());

        // Another type beside the same TAEG is judged by its own category: 3,33 gives 8,1625.
        QVERIFY(thresholds.SetCategoryOfType("Leasing", "Leasing auto"));
        f.C().cboTipoLea->setCurrentText("Leasing");
        QCOMPARE(label->text(), QString("Tasso oltre la soglia d'usura (soglia 8,1625 %)"));
        QVERIFY(label->styleSheet().contains("red"));

        // A contract dated after the quarter has no threshold in force.
        f.Enter("txtContract", "15/04/26");
        QVERIFY(!label->isVisible());
        f.Enter("txtStart", "15/05/26");
        f.Calcola();
        QCOMPARE(label->text(), QString("Nessuna soglia d'usura in vigore"));
        QVERIFY(label->styleSheet().contains("gray"));
        f.boxes.ScriptAnswer(BoxAnswer::No);
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        QVERIFY(!label->isVisible());
    }

    // The category of a financing type is chosen on the Stato page from the categories of
    // the usury table, and stored in the archive; "(nessuna)" takes it away.
    void usuryCategoryChosenInTheLookupEditor() {
        ArchiveFixture f;
        UsuryThresholds thresholds(f.db, f.boxes);
        QVERIFY(thresholds.Write({Quarter("Credito personale", 105800), Quarter("Mutui", 33300)})
                    .written);
        StatusPage* page = f.window->Status();
        f.window->Tabs()->setCurrentIndex(2);
        QVERIFY(!page->cmdCatUsura->isEnabled());
        Pick(page->lstSupTab, "TxRiferimento");
        Pick(page->lstSupVal, "Fisso");
        QVERIFY(!page->cmdCatUsura->isEnabled());
        Pick(page->lstSupTab, "Tipologia");
        Pick(page->lstSupVal, "Credito al consumo");
        QVERIFY(page->cmdCatUsura->isEnabled());

        f.boxes.ScriptChoice("Credito personale");
        QTest::mouseClick(page->cmdCatUsura, Qt::LeftButton);
        QCOMPARE(f.boxes.choices.size(), std::size_t{1});
        QCOMPARE(f.boxes.choices[0].choices,
                 (std::vector<std::string>{"Credito personale", "Mutui"}));
        QCOMPARE(thresholds.CategoryOfType("Credito al consumo"),
                 std::optional<std::string>("Credito personale"));

        f.boxes.ScriptChoice("");
        QTest::mouseClick(page->cmdCatUsura, Qt::LeftButton);
        QCOMPARE(f.boxes.choices[1].current, std::string("Credito personale"));
        QCOMPARE(thresholds.CategoryOfType("Credito al consumo"), std::nullopt);
        QVERIFY(f.boxes.shown.empty());
    }

    // The thresholds window: a file imported, a row added, changed and deleted, the threshold
    // of each TEGM beside it; a bad field refused in words.
    void usuryThresholdsWindow() {
        ArchiveFixture f;
        f.window->Tabs()->setCurrentIndex(2);
        QTest::mouseClick(f.window->Status()->cmdSoglieUsura, Qt::LeftButton);
        auto* d = f.window->findChild<UsuryThresholdsDialog*>();
        QVERIFY(d != nullptr);
        QCOMPARE(d->lsvSoglie->topLevelItemCount(), 0);

        const std::string file = (f.fresh.Folder() / "soglie.csv").string();
        std::ofstream(file) << "Categoria;Importo da;Importo a;Dal;Al;TEGM\n"
                               "Credito personale;;;01/01/2026;31/03/2026;10,58;2,1\n"
                               "Mutui a tasso fisso;;;01/01/2026;31/03/2026;17,00\n";
        f.boxes.ScriptFile(file);
        QTest::mouseClick(d->cmdSogImporta, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(f.boxes.shown.back().prompt),
                 QString("Importate 2 soglie d'usura: 2 nuove, 0 sostituite."));
        QCOMPARE(d->lsvSoglie->topLevelItemCount(), 2);
        const QStringList first = {"Credito personale", "",      "",     "01/01/2026",
                                   "31/03/2026",        "10,58", "2,10", "17,2250"};
        for (int column = 0; column < 8; ++column) {
            QCOMPARE(d->lsvSoglie->topLevelItem(0)->text(column), first[column]);
        }
        QCOMPARE(d->lsvSoglie->topLevelItem(1)->text(7), QString("25,0000"));

        d->txtSogCategoria->setText("Leasing auto");
        d->txtSogDa->setText("25.000");
        d->txtSogDal->setText("01/04/2026");
        d->txtSogTEGM->setText("7.5");
        QTest::mouseClick(d->cmdSogNuovo, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(f.boxes.shown.back().prompt),
                 QString("TEGM non valido \"7.5\" (serve un tasso in percentuale con la virgola "
                         "decimale, come 10,58)."));
        d->txtSogTEGM->setText("7,5");
        QTest::mouseClick(d->cmdSogNuovo, Qt::LeftButton);
        QCOMPARE(d->lsvSoglie->topLevelItemCount(), 3);
        const QStringList added = {"Leasing auto", "25.000,00", "",       "01/04/2026", "",
                                   "7,50",         "",          "13,3750"};
        for (int column = 0; column < 8; ++column) {
            QCOMPARE(d->lsvSoglie->topLevelItem(1)->text(column), added[column]);
        }

        QTreeWidgetItem* row = d->lsvSoglie->topLevelItem(0);
        d->lsvSoglie->setCurrentItem(row);
        emit d->lsvSoglie->itemClicked(row, 0);
        QCOMPARE(d->txtSogTEGM->text(), QString("10,58"));
        QCOMPARE(d->txtSogMora->text(), QString("2,10"));
        d->txtSogTEGM->setText("11");
        QTest::mouseClick(d->cmdSogModifica, Qt::LeftButton);
        // The surcharge stays with the row changed.
        QCOMPARE(d->lsvSoglie->topLevelItem(0)->text(6), QString("2,10"));
        QCOMPARE(d->lsvSoglie->topLevelItem(0)->text(7), QString("17,7500"));
        QCOMPARE(d->lsvSoglie->topLevelItemCount(), 3);

        d->lsvSoglie->setCurrentItem(d->lsvSoglie->topLevelItem(1));
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        QTest::mouseClick(d->cmdSogCancella, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(f.boxes.shown.back().prompt),
                 QString("Cancellare la soglia di \"Leasing auto\" dal 01/04/2026?"));
        QCOMPARE(d->lsvSoglie->topLevelItemCount(), 2);
        QCOMPARE(f.Count("SELECT COUNT(*) FROM tabSoglieUsura"), 2LL);
        d->close();
    }

    // Pictures for the documentation, when a folder is given: the Calcoli page with the
    // plan to the cent ticked and the TAEG, the plan page at the last instalments.
    void grabFigures() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        ArchiveFixture f;
        f.Enter("txtDescBene", "Mutuo prima casa");
        f.C().cboTipoLea->setCurrentText(QStringLiteral("Mutuo"));
        f.EnterAll({{"txtValBene", "200000"}, {"txtTasso", "4"}, {"txtRate", "360"},
                    {"txtContract", "15/01/26"}, {"txtStart", "15/02/26"},
                    {"txtSpContratto", "1500"}, {"txtSpRata", "3"}});
        f.Choose(f.C().optCapSem);
        f.C().chkCentesimo->setChecked(true);
        f.Calcola();
        QApplication::processEvents();
        QVERIFY(f.window->grab().save(QDir(folder).filePath("calcoli-centesimo.png")));
        f.window->Tabs()->setCurrentIndex(1);
        f.Grid()->scrollToBottom();
        QApplication::processEvents();
        QVERIFY(f.window->grab().save(QDir(folder).filePath("piano-al-centesimo.png")));

        // A personal loan over its threshold, and the thresholds window with a sample table.
        UsuryThresholds thresholds(f.db, f.boxes);
        QVERIFY(thresholds
                    .Write({Quarter("Credito personale", 105800),
                            Quarter("Mutui a tasso fisso", 33300)})
                    .written);
        QVERIFY(thresholds.SetCategoryOfType("Credito al consumo", "Credito personale"));
        f.window->Tabs()->setCurrentIndex(0);
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.C().cboTipoLea->setCurrentText(QStringLiteral("Credito al consumo"));
        f.EnterAll({{"txtDescBene", "Prestito arredamento"}, {"txtValBene", "5000"},
                    {"txtTasso", "14,5"}, {"txtRate", "24"}, {"txtContract", "15/01/26"},
                    {"txtStart", "15/02/26"}, {"txtSpContratto", "250"}, {"txtSpRata", "4"}});
        f.Calcola();
        QApplication::processEvents();
        QVERIFY(f.C().lblUsura->text().startsWith("Tasso oltre"));
        QVERIFY(f.window->grab().save(QDir(folder).filePath("calcoli-usura.png")));
        f.window->Tabs()->setCurrentIndex(2);
        QTest::mouseClick(f.window->Status()->cmdSoglieUsura, Qt::LeftButton);
        auto* d = f.window->findChild<UsuryThresholdsDialog*>();
        QVERIFY(d != nullptr);
        QApplication::processEvents();
        QVERIFY(d->grab().save(QDir(folder).filePath("soglie-usura.png")));
        QVERIFY(f.window->grab().save(QDir(folder).filePath("stato-usura.png")));
        d->close();
    }

private:
    std::optional<ScopedToday> today_;
};

QTEST_MAIN(FiguresWindowTest)
#include "test_figures_window.moc"
