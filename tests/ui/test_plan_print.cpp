// The print and preview buttons of the plan page: the message below three grid rows, the
// printed pages read back with pdftotext, the preview of the same pages, and the printer's
// failures.
#include <QDir>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "common/clock.h"
#include "pdf_pages.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

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
        QCOMPARE(printedRows, f_->GridRowsAsText());
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
        QCOMPARE(pages[0].mid(3), f_->GridRowsAsText());
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

    void previewBelowThreeRowsSaysSo() {
        QTest::mouseClick(Page()->cmdAnteprima, Qt::LeftButton);
        QCOMPARE(Page()->cmdAnteprima->text(), QString("Anteprima"));
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Non ci sono righe da stampare"));
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Information));
        QVERIFY(Page()->findChild<QPrintPreviewDialog*>() == nullptr);
    }

    // "Anteprima" opens without waiting for the user and shows, page for page, what
    // "Stampa" prints on the same printer; the pages it paints are the printed ones.
    void previewShowsWhatIsPrinted() {
        Fill("Città: A/B", "120", "0");
        Press();
        const QList<QStringList> printed = PdfPages(pdf_);
        QVERIFY(printed.size() > 1);

        int paints = 0;
        QTest::mouseClick(Page()->cmdAnteprima, Qt::LeftButton);
        auto* preview = Page()->findChild<QPrintPreviewDialog*>("dlgAnteprima");
        QVERIFY(preview != nullptr);
        connect(preview, &QPrintPreviewDialog::paintRequested, this, [&paints] { ++paints; });
        QTRY_VERIFY(preview->isVisible());
        QCOMPARE(preview->windowTitle(), QString("Anteprima di stampa"));
        auto* pages = preview->findChild<QPrintPreviewWidget*>();
        QVERIFY(pages != nullptr);
        QTRY_COMPARE(pages->pageCount(), int(printed.size()));
        QVERIFY(f_->boxes.shown.empty());

        // Painting the preview again on a PDF printer gives the very pages "Stampa" printed.
        const QString again = folder_.filePath("anteprima.pdf");
        printer_->setOutputFileName(again);
        emit preview->paintRequested(printer_.get());
        QCOMPARE(paints, 1);
        QCOMPARE(PdfPages(again), printed);

        QPointer<QPrintPreviewDialog> closing(preview);
        preview->close();
        QTRY_VERIFY(closing.isNull());
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

    std::optional<ScopedToday> today_;
    std::unique_ptr<WindowFixture> f_;
    QTemporaryDir folder_;
    QString pdf_;
    std::unique_ptr<QPrinter> printer_;
};

QTEST_MAIN(PlanPrintTest)
#include "test_plan_print.moc"
