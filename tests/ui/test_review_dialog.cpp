// The review window: the bank's plan imported through the button, its mapping remembered per
// layout, the grid with the differences marked, the plan kept with a stored contract, a
// recomputation on demand; and the column-mapping dialog's lists.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "common/desktop_shell.h"
#include "common/recording_message_boxes.h"
#include "engine/cents_plan.h"
#include "ui/column_mapping_dialog.h"
#include "ui/review_archive.h"
#include "ui/review_dialog.h"
#include "accessible_inputs.h"
#include "window_fixture.h"

using namespace quotaplan;

namespace {

// 1.200 at 6 % in 12 monthly instalments from 28/02/2026 (j / m).
CentsPlan Plan() {
    CentsPlanTerms terms;
    terms.value = Money::FromCents(120000);
    terms.capitalisation = Capitalisation::Simple;
    terms.calendar = {*CalendarDate::FromIso("2026-01-31"), *CalendarDate::FromIso("2026-02-28"),
                      12, 12, PaymentTiming::Arrears};
    terms.rates.assign(12, Percent::FromHundredths(600));
    return BuildCentsPlan(terms);
}

// The bank's plan as an Italian CSV, the third row's interest a cent up.
std::string BankCsv(const CentsPlan& plan) {
    std::string text = "N.;Scadenza;Rata;Quota capitale;Quota interessi;Debito residuo\n";
    int number = 0;
    for (const CentsPlanRow& row : plan.rows) {
        ++number;
        const Money interest = row.interest + Money::FromCents(number == 3 ? 1 : 0);
        const auto amount = [](Money money) {
            std::string cents = std::to_string(money.Cents() % 100);
            return std::to_string(money.Cents() / 100) + "," + (cents.size() == 1 ? "0" : "") +
                   cents;
        };
        text += std::to_string(number) + ";" + row.date.Iso() + ";" + amount(row.instalment) + ";" +
                amount(row.capital) + ";" + amount(interest) + ";" + amount(row.residual) + "\n";
    }
    return text;
}

class FakeReviewArchive : public ReviewArchive {
public:
    std::vector<ReviewRow> BankPlan(std::int32_t contractId) override {
        return stored.count(contractId) ? stored[contractId] : std::vector<ReviewRow>{};
    }
    bool SaveBankPlan(std::int32_t contractId, const std::vector<ReviewRow>& rows) override {
        stored[contractId] = rows;
        return true;
    }
    std::optional<DefaultInterest> DefaultInterestOf(std::int32_t) override { return {}; }
    std::vector<LegalRate> LegalRates() override { return rates; }
    SeriesImport ImportLegalRates(const std::filesystem::path&) override { return {}; }

    std::map<std::int32_t, std::vector<ReviewRow>> stored;
    std::vector<LegalRate> rates;
};

}  // namespace

class ReviewDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    RecordingMessageBoxes boxes_;
    RecordingDesktopShell shell_;
    FakeReviewArchive archive_;

    ReviewSubject Subject(std::int32_t contractId) {
        ReviewSubject subject;
        subject.contractId = contractId;
        subject.plan = Plan();
        subject.facts.description = "Mutuo Bianchi";
        subject.facts.periodsPerYear = 12;
        subject.facts.ours = ReviewRowsOf(subject.plan);
        return subject;
    }

    QString BankFile() {
        const QString file = folder_.filePath(QStringLiteral("banca.csv"));
        std::ofstream(file.toStdString(), std::ios::binary) << BankCsv(Plan());
        return file;
    }

private slots:
    // Through the button: the file chosen, the columns proposed from the header, the grid
    // with the third row's interests marked, the totals, and the plan kept with contract 7.
    void importMarksTheDifferencesAndStoresThePlan() {
        QSettings settings(folder_.filePath(QStringLiteral("a.ini")), QSettings::IniFormat);
        ReviewDialog dialog(Subject(7), &archive_, boxes_, shell_, settings);
        std::vector<BankColumn> proposed;
        dialog.SetMappingChooser([&](const SheetCells&, const std::vector<BankColumn>& offered) {
            proposed = offered;
            return std::optional<std::vector<BankColumn>>(offered);
        });
        QCOMPARE(dialog.lblTotali->text(),
                 QStringLiteral("Nessun piano della banca: importarlo per il confronto."));
        QCOMPARE(test::UnnamedInputs(&dialog), QStringList());
        boxes_.ScriptFile(BankFile().toStdString());
        QTest::mouseClick(dialog.cmdImportaBanca, Qt::LeftButton);
        QCOMPARE(proposed.size(), std::size_t{6});
        QCOMPARE(static_cast<int>(proposed[4]), static_cast<int>(BankColumn::Interest));
        QCOMPARE(dialog.grdConfronto->rowCount(), 12);
        QCOMPARE(dialog.grdConfronto->item(2, 6)->text(), QStringLiteral("5,03"));
        QCOMPARE(dialog.grdConfronto->item(2, 7)->text(), QStringLiteral("5,02"));
        QCOMPARE(dialog.grdConfronto->item(2, 6)->background().color(), QColor(255, 205, 205));
        QVERIFY(dialog.grdConfronto->item(2, 6)->font().bold());
        QCOMPARE(dialog.grdConfronto->item(1, 6)->background().style(), Qt::NoBrush);
        QCOMPARE(dialog.lblTotali->text(),
                 QStringLiteral("Pagato secondo la banca 1.239,32; secondo il ricalcolo 1.239,32; "
                                "pagato in più 0,00; prima rata diversa: 3"));
        QCOMPARE(archive_.stored[7].size(), std::size_t{12});
        // Opened again, the stored plan is shown at once.
        ReviewDialog again(Subject(7), &archive_, boxes_, shell_, settings);
        QCOMPARE(again.grdConfronto->rowCount(), 12);
        QVERIFY(boxes_.shown.empty());
    }

    // The mapping chosen for a layout is proposed for the next file of that layout.
    void theMappingIsRememberedPerLayout() {
        QSettings settings(folder_.filePath(QStringLiteral("b.ini")), QSettings::IniFormat);
        ReviewDialog dialog(Subject(0), &archive_, boxes_, shell_, settings);
        const std::vector<BankColumn> chosen = {BankColumn::Number,     BankColumn::DueDate,
                                                BankColumn::Instalment, BankColumn::Skip,
                                                BankColumn::Skip,       BankColumn::Residual};
        std::vector<std::vector<BankColumn>> offers;
        dialog.SetMappingChooser([&](const SheetCells&, const std::vector<BankColumn>& offered) {
            offers.push_back(offered);
            return std::optional<std::vector<BankColumn>>(chosen);
        });
        QVERIFY(dialog.ImportBankPlan(BankFile().toStdString()));
        QVERIFY(dialog.ImportBankPlan(BankFile().toStdString()));
        QCOMPARE(offers.size(), std::size_t{2});
        QVERIFY(offers[0] != chosen);
        QVERIFY(offers[1] == chosen);
        // Without the interest column the third row no longer differs; contract 0 keeps none.
        QCOMPARE(dialog.lblTotali->text().endsWith(QStringLiteral("prima rata diversa: nessuna")),
                 true);
        QVERIFY(archive_.stored.count(0) == 0);
    }

    // On demand, against the bank's plan; a date that is no date is refused.
    void recomputationOnDemand() {
        QSettings settings(folder_.filePath(QStringLiteral("c.ini")), QSettings::IniFormat);
        ReviewDialog dialog(Subject(0), &archive_, boxes_, shell_, settings);
        dialog.SetMappingChooser([](const SheetCells&, const std::vector<BankColumn>& offered) {
            return std::optional<std::vector<BankColumn>>(offered);
        });
        QVERIFY(dialog.ImportBankPlan(BankFile().toStdString()));
        dialog.cboRicalcolo->setCurrentIndex(3);  // without interest
        archive_.rates = {
            {*CalendarDate::FromIso("2026-01-01"), CalendarDate(), Percent::FromHundredths(500)}};
        dialog.txtLegaliAl->setText(QStringLiteral("31/12/2026"));
        QTest::mouseClick(dialog.cmdRicalcola, Qt::LeftButton);
        QCOMPARE(dialog.lblRicalcolo->text(),
                 QStringLiteral("Senza interessi (art. 1815 c.c.): rata 100,00; interessi "
                                "ricalcolati 0,00; interessi della banca 39,33; differenza da "
                                "restituire 39,33; interessi legali al 31/12/2026: 1,04"));
        QCOMPARE(dialog.Facts().recomputations.size(), std::size_t{1});
        dialog.txtLegaliAl->setText(QStringLiteral("31/13/2026"));
        QTest::mouseClick(dialog.cmdRicalcola, Qt::LeftButton);
        QCOMPARE(boxes_.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(boxes_.shown[0].prompt),
                 QStringLiteral("Inserire una data valida!"));
        boxes_.shown.clear();
    }

    // The menu's "Perizia" asks for the plan to the cent before opening anything.
    void theMenuAsksForThePlanToTheCent() {
        test::WindowFixture fixture;
        QSettings settings(folder_.filePath(QStringLiteral("d.ini")), QSettings::IniFormat);
        fixture.window->EnableReview(archive_, settings);
        QAction* review = fixture.window->findChild<QAction*>(QStringLiteral("mnuPerizia"));
        QVERIFY(review != nullptr);
        QCOMPARE(review->text(), QStringLiteral("&Perizia"));
        review->trigger();
        QCOMPARE(fixture.boxes.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(fixture.boxes.shown[0].prompt),
                 QStringLiteral("La perizia confronta il piano al centesimo: spuntare \"Piano al "
                                "centesimo\" e calcolare la rata."));
    }

    // One list a column, each set to the mapping given, read back as changed.
    void mappingDialogLists() {
        SheetCells sheet;
        sheet.rows = {{1, {"Data", "Importo", "Note"}}, {2, {"28/02/2026", "103,28", "x"}}};
        ColumnMappingDialog dialog(sheet, GuessBankColumns(sheet));
        QCOMPARE(dialog.cboColonne.size(), std::size_t{3});
        QCOMPARE(dialog.cboColonne[0]->currentText(), QStringLiteral("Scadenza"));
        QCOMPARE(dialog.cboColonne[1]->currentText(), QStringLiteral("Rata"));
        QCOMPARE(dialog.cboColonne[2]->currentText(), QStringLiteral("(non usata)"));
        QCOMPARE(dialog.cboColonne[2]->objectName(), QStringLiteral("cboColonna3"));
        dialog.cboColonne[1]->setCurrentText(QStringLiteral("Quota interessi"));
        QVERIFY(
            dialog.Mapping() ==
            (std::vector<BankColumn>{BankColumn::DueDate, BankColumn::Interest, BankColumn::Skip}));
    }
};

QTEST_MAIN(ReviewDialogTest)
#include "test_review_dialog.moc"
