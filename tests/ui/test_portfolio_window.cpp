// The Stato page's portfolio commands: "Verifica portafoglio…" (a batch file priced into a
// grid, Annulla midway, the export) and "Aggiorna contratti indicizzati" (progress, Annulla,
// the counts). The pricing and the re-indexing themselves are tested below the window.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "common/clock.h"
#include "ui/portfolio_check_dialog.h"
#include "ui/status_page.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

QString WriteFile(const QTemporaryDir& folder, const QString& name, const QByteArray& text) {
    const QString path = folder.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

constexpr const char* kPortfolio =
    "description;value;rate;count;contract-date;first-date;plan;type\n"
    "Auto;10000;6;12;2026-01-15;2026-02-15;cents;Leasing\n"
    "Caro;10000;25;12;2026-01-15;2026-02-15;cents;Leasing\n"
    "Vuoto;;6;12;;;;\n"
    "Senza soglia;20000;5;24;2026-01-15;;;\n";

}  // namespace

class PortfolioWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        f_ = std::make_unique<WindowFixture>();
        f_->archive.usuryRates = {{1, UsuryRate{"Credito personale", std::nullopt, std::nullopt,
                                                *CalendarDate::FromYmd(2026, 1, 1), CalendarDate(),
                                                Percent::FromTenThousandths(105800)}}};
        f_->archive.usuryCategories["Leasing"] = "Credito personale";
        Status()->exportFolder = [this] {
            return std::filesystem::path(folder_.path().toStdString());
        };
    }
    void cleanup() { f_.reset(); }

    void checkShowsEveryLineInTheGrid() {
        Check(WriteFile(folder_, "portafoglio.csv", kPortfolio));
        PortfolioCheckDialog* check = Status()->PortfolioCheck();
        QVERIFY(check != nullptr);
        QTableWidget* grid = check->grdRisultati;
        QCOMPARE(grid->rowCount(), 4);
        const auto row = [grid](int r) {
            QStringList cells;
            for (int c = 0; c < grid->columnCount(); ++c) cells << grid->item(r, c)->text();
            return cells.join('|');
        };
        QCOMPARE(row(0), QString("2|Auto|859,93|6,00|17,2250|Entro la soglia d'usura"));
        QCOMPARE(row(1), QString("3|Caro|938,46|25,00|17,2250|Oltre la soglia d'usura"));
        QCOMPARE(row(2), QString("4|Vuoto||||Inserire il Valore del bene!"));
        QCOMPARE(row(3), QString("5|Senza soglia|876,43|5,00||"));
        const QColor red(200, 0, 0);
        QCOMPARE(grid->item(1, 1)->foreground().color(), red);
        QCOMPARE(grid->item(2, 5)->foreground().color(), red);
        QVERIFY(grid->item(0, 1)->foreground().color() != red);
        QCOMPARE(check->lblEsito->text(),
                 QString("4 contratti: 3 calcolati, 1 con errori, 1 oltre la soglia d'usura."));
        QCOMPARE(check->prgVerifica->value(), check->prgVerifica->maximum());
        QVERIFY(!check->cmdAnnulla->isEnabled());

        QTest::mouseClick(check->cmdEsporta, Qt::LeftButton);
        const QString exported = folder_.filePath("Verifica portafoglio.xls");
        QVERIFY(QFile::exists(exported));
        QCOMPARE(f_->shell.requests.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->shell.requests[0].target), exported);

        const QString pictures = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (!pictures.isEmpty()) {
            QVERIFY(check->grab().save(QDir(pictures).filePath("verifica-portafoglio.png")));
            f_->window->Tabs()->setCurrentIndex(2);
            QApplication::processEvents();
            QVERIFY(f_->window->grab().save(QDir(pictures).filePath("stato-portafoglio.png")));
        }
    }

    // Annulla after the first answer: the lines answered stay, the rest are not priced.
    void annullaStopsTheCheck() {
        QByteArray text = "value;rate;count\n";
        for (int k = 0; k < 5000; ++k) text += "10000;6;360\n";
        const QString file = WriteFile(folder_, "lungo.csv", text);
        StatusPage* page = Status();
        connect(page, &StatusPage::portfolioCheckOpened, this, [](PortfolioCheckDialog* check) {
            connect(check, &PortfolioCheckDialog::answered, check, [check](int count) {
                if (count == 1) check->cmdAnnulla->click();
            });
        });
        Check(file);
        PortfolioCheckDialog* check = page->PortfolioCheck();
        QVERIFY(check != nullptr);
        QVERIFY(check->grdRisultati->rowCount() >= 1);
        QVERIFY(check->grdRisultati->rowCount() < 5000);
        QVERIFY(check->lblEsito->text().endsWith(" (verifica interrotta)."));
    }

    void aFileThatIsNoBatchIsRefused() {
        Check(WriteFile(folder_, "altro.csv", "Data;Valore\n01/01/2026;2,00\n"));
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Colonna sconosciuta nell'intestazione del file: \"Data\" (le colonne "
                         "sono le opzioni di quotaplan-calc senza i trattini: value, rate, "
                         "count, …)."));
        QCOMPARE(Status()->PortfolioCheck()->grdRisultati->rowCount(), 0);
    }

    void reindexShowsTheCounts() {
        f_->archive.reindexContracts = 3;
        f_->archive.reindexed.changed = 2;
        f_->archive.reindexed.rows = 480;
        f_->archive.reindexed.skipped = {
            "Contratto 7 \"Tornio\": Il tasso di riferimento \"Euribor 3 mesi\" non ha valori."};
        QTest::mouseClick(Status()->cmdReindicizza, Qt::LeftButton);
        QCOMPARE(f_->archive.reindexRuns, 1);
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Contratti indicizzati ricalcolati: 3, con il piano cambiato: 2, righe "
                         "del piano riscritte: 480.\nNon aggiornati:\nContratto 7 \"Tornio\": Il "
                         "tasso di riferimento \"Euribor 3 mesi\" non ha valori."));
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Information));
    }

    void reindexAnnullaStopsAfterTheContract() {
        f_->archive.reindexContracts = 100;
        f_->archive.onReindexProgress = [this](int done) {
            if (done == 2) Status()->findChild<QProgressDialog*>("frmReindicizza")->cancel();
        };
        QTest::mouseClick(Status()->cmdReindicizza, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(f_->boxes.shown.at(0).prompt),
                 QString("Contratti indicizzati ricalcolati: 2, con il piano cambiato: 0, righe "
                         "del piano riscritte: 0.\nAggiornamento interrotto: i contratti già "
                         "aggiornati restano aggiornati."));
    }

private:
    StatusPage* Status() const { return f_->window->Status(); }
    void Check(const QString& file) {
        Status()->chooseBatchFile = [file] { return file; };
        QTest::mouseClick(Status()->cmdVerifica, Qt::LeftButton);
    }

    QTemporaryDir folder_;
    std::unique_ptr<WindowFixture> f_;
};

QTEST_MAIN(PortfolioWindowTest)
#include "test_portfolio_window.moc"
