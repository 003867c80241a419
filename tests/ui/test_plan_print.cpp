// The print button of the plan page: the message below three grid rows, the printed pages
// read back with pdftotext, and the printer's failures.
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "common/clock.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

// The non-empty lines of each page as pdftotext lays them out, blanks squeezed and
// ligatures ("ﬁ") unfolded.
QList<QStringList> PdfPages(const QString& pdf) {
    QProcess reader;
    reader.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    QList<QStringList> result;
    for (const QString& page : pages) {
        QStringList lines;
        for (const QString& line : page.split('\n')) {
            const QString tidy = line.normalized(QString::NormalizationForm_KC).simplified();
            if (!tidy.isEmpty()) lines.append(tidy);
        }
        result.append(lines);
    }
    return result;
}

}  // namespace

class PlanPrintTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        today_.emplace(*CalendarDate::FromYmd(2006, 1, 15));
        f_ = std::make_unique<WindowFixture>();
        QVERIFY(folder_.isValid());
        pdf_ = folder_.filePath("piano.pdf");
        QFile::remove(pdf_);
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdf_);
        printer_->setPageSize(QPageSize(QPageSize::A4));
        Page()->SetPrinter(printer_.get());
    }
    void cleanup() {
        f_.reset();
        printer_.reset();
        today_.reset();
    }

    void fewerThanThreeRowsIsNotPrinted_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("header only, before any calculation") << 1;
        QTest::newRow("header and one row") << 2;
    }
    void fewerThanThreeRowsIsNotPrinted() {
        QFETCH(int, rows);
        f_->Grid()->SetRows(rows);
        Press();
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Non ci sono righe da stampare"));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].title), QString("Quotaplan 4.0.0"));
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Information));
        QVERIFY(!QFileInfo::exists(pdf_));
    }

    // A plan over several pages: each page opens with the title, the date with the TAEG at
    // the right margin, and the header row; every row of the grid is printed once, in
    // order, as the grid shows it.
    void everyPageHeadedEveryRowOnce() {
        Fill("Città: A/B", "120", "0");
        Press();
        QVERIFY(f_->boxes.shown.empty());
        const QList<QStringList> pages = PdfPages(pdf_);
        QVERIFY(pages.size() > 1);
        QStringList printedRows;
        for (int p = 0; p < pages.size(); ++p) {
            const QStringList& lines = pages[p];
            QVERIFY(lines.size() > 3);
            QCOMPARE(lines[0], QString("Piano finanziario - Città: A/B"));
            QCOMPARE(lines[1], QString("15.01.2006 TAEG 7,50%"));
            QCOMPARE(lines[2], QString("Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res."));
            printedRows += lines.mid(3);
        }
        QCOMPARE(printedRows, GridRowsAsText());
        QCOMPARE(printedRows.size(), 120);
        QCOMPARE(printedRows.first().section(' ', 0, 2), QString("1° Rata 28/02/06"));
    }

    // Maxi and buy-out rows print as the grid shows them, on one page.
    void shortPlanOnOnePage() {
        Fill("Fresatrice CNC", "36", "3000");
        Press();
        QVERIFY(f_->boxes.shown.empty());
        const QList<QStringList> pages = PdfPages(pdf_);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0][0], QString("Piano finanziario - Fresatrice CNC"));
        QCOMPARE(pages[0].mid(3), GridRowsAsText());
        QCOMPARE(pages[0][3], QString("Maxi. 31/01/06 3.000,00 3.000,00 0,00 27.000,00"));
        QVERIFY(pages[0].last().startsWith("Riscatto 31/01/09 "));
    }

    void printerFailureIsShown() {
        Fill("Tornio", "12", "0");
        printer_->setOutputFileName(folder_.filePath("manca/piano.pdf"));
        Press();
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Errore della stampante"));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].title), QString("Quotaplan 4.0.0"));
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Critical));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The program goes on: the next print works.
        printer_->setOutputFileName(pdf_);
        Press();
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QVERIFY(QFileInfo::exists(pdf_));
    }

    void noDefaultPrinterIsAPrinterError() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this system has a default printer");
        Fill("Tornio", "12", "0");
        Page()->SetPrinter(nullptr);
        Press();
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Errore della stampante"));
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Critical));
    }

    // A picture of the first printed page for the documentation, when a folder is given.
    void pictureOfAPrintedPage() {
        const QString pictures = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (pictures.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        Fill("Fresatrice CNC", "36", "3000");
        Press();
        QVERIFY(f_->boxes.shown.empty());
        QCOMPARE(
            QProcess::execute("pdftoppm", {"-png", "-r", "80", "-f", "1", "-l", "1", "-singlefile",
                                           pdf_, QDir(pictures).filePath("stampa")}),
            0);
    }

private:
    PlanPage* Page() const { return f_->window->Plan(); }
    void Press() const { QTest::mouseClick(Page()->cmdPrintPDA, Qt::LeftButton); }
    void Fill(const QString& description, const QString& instalments, const QString& maxi) {
        // Typed keys are ASCII only; the description may hold accented letters.
        f_->C().txtDescBene->setText(description);
        f_->FillLeasing(instalments, maxi);
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
    }
    // The grid's body rows that hold any text, their cells joined by one blank.
    QStringList GridRowsAsText() const {
        QStringList rows;
        for (int row = 1; row < f_->Grid()->Rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < f_->Grid()->columnCount(); ++column) {
                cells.append(f_->Cell(row, column));
            }
            const QString text = cells.join(' ').simplified();
            if (!text.isEmpty()) rows.append(text);
        }
        return rows;
    }

    std::optional<ScopedToday> today_;
    std::unique_ptr<WindowFixture> f_;
    QTemporaryDir folder_;
    QString pdf_;
    std::unique_ptr<QPrinter> printer_;
};

QTEST_MAIN(PlanPrintTest)
#include "test_plan_print.moc"
