// The plan to the cent and the TAEG in the window: the Calculate command on a form snapshot,
// the check box and the TAEG display on the Calcoli page, and a contract to the cent saved
// and loaded back through the real archive.
#include <QDir>

#include "archive_fixture.h"
#include "common/clock.h"
#include "ui/calculation_form.h"

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
        const CalculationOutcome outcome = RunCalculateCommand(form, plan, boxes);
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
        RunCalculateCommand(form, plan, boxes);
        QVERIFY(!plan.toTheCent.has_value());
        QCOMPARE(QString::fromStdString(form.taeg), QString("9,68%"));

        // The rate target judges the instalment typed: 12 x 860,66, no fees.
        form = TenThousandWithFees();
        form.spContratto = form.spRata = "0";
        form.target = CalcTarget::Rate;
        form.result = "860,66";
        RunCalculateCommand(form, plan, boxes);
        QCOMPARE(QString::fromStdString(form.taeg), QString("6,17%"));
    }

    void checkBoxChoosesThePlanAndTheGridShowsItsCents() {
        WindowFixture f;
        QCheckBox* box = f.Find<QCheckBox>("chkCentesimo");
        QVERIFY(box != nullptr);
        QCOMPARE(box->text().replace('\n', ' '), QString("Piano al centesimo"));
        QVERIFY(!box->isChecked());
        f.Enter("txtDescBene", "Mutuo casa");
        f.Enter("txtValBene", "200000");
        f.Enter("txtTasso", "4");
        f.Enter("txtRate", "360");
        f.Enter("txtContract", "15/01/26");
        f.Enter("txtStart", "15/02/26");
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

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        QVERIFY(!box->isChecked());
        QCOMPARE(f.Text("txtTAEG"), QString());
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

    // Pictures for the documentation, when a folder is given: the Calcoli page with the
    // plan to the cent ticked and the TAEG, the plan page at the last instalments.
    void grabFigures() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        ArchiveFixture f;
        f.Enter("txtDescBene", "Mutuo prima casa");
        f.C().cboTipoLea->setCurrentText(QStringLiteral("Mutuo"));
        f.Enter("txtValBene", "200000");
        f.Enter("txtTasso", "4");
        f.Enter("txtRate", "360");
        f.Enter("txtContract", "15/01/26");
        f.Enter("txtStart", "15/02/26");
        f.Enter("txtSpContratto", "1500");
        f.Enter("txtSpRata", "3");
        f.Choose(f.C().optCapSem);
        f.C().chkCentesimo->setChecked(true);
        f.Calcola();
        QApplication::processEvents();
        QVERIFY(f.window->grab().save(QDir(folder).filePath("calcoli-centesimo.png")));
        f.window->Tabs()->setCurrentIndex(1);
        f.Grid()->scrollToBottom();
        QApplication::processEvents();
        QVERIFY(f.window->grab().save(QDir(folder).filePath("piano-al-centesimo.png")));
    }

private:
    std::optional<ScopedToday> today_;
};

QTEST_MAIN(FiguresWindowTest)
#include "test_figures_window.moc"
