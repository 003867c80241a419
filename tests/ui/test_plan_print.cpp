// The print and preview buttons of the plan page: the message below three grid rows, the
// printed pages read back with pdftotext, the preview of the same pages, and the printer's
// failures.
#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "common/clock.h"
#include "pdf_pages.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

// The heading block's lines on page 1: 13 of the contract, then "Rata", the two fees, the
// TAEG and the two totals.
constexpr int kHeadingLines = 13 + 6;

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
    // the right margin, and (after page 1's heading block) the header row, and ends with its
    // number; every row of the grid is printed once, in order, as the grid shows it.
    void everyPageHeadedEveryRowOnce() {
        Fill("Città: A/B", "120", "0");
        Press();
        QVERIFY(f_->boxes.shown.empty());
        QVERIFY(Page()->findChild<QPrintDialog*>() == nullptr);  // straight to the printer
        const QList<QStringList> pages = PdfPages(pdf_);
        QVERIFY(pages.size() > 1);
        QStringList printedRows;
        for (int p = 0; p < pages.size(); ++p) {
            const QStringList& lines = pages[p];
            QVERIFY(lines.size() > 4);
            QCOMPARE(lines[0], QString("Piano finanziario - Città: A/B"));
            QCOMPARE(lines[1], QString("15.01.2006 TAEG 7,50%"));
            const int header =
                lines.indexOf("Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res.");
            QCOMPARE(header, p == 0 ? 2 + kHeadingLines : 2);
            QCOMPARE(lines.last(), QStringLiteral("Pagina %1 di %2").arg(p + 1).arg(pages.size()));
            printedRows += lines.mid(header + 1, lines.size() - header - 2);
        }
        QCOMPARE(printedRows, f_->GridRowsAsText());
        QCOMPARE(printedRows.size(), 120);
        QCOMPARE(printedRows.first().section(' ', 0, 2), QString("1° Rata 28/02/06"));
    }

    // Page 1's heading block: the contract's fields, then the figures beside the form (the
    // instalment, the fees, the TAEG with the usury verdict) and the plan's totals.
    void pageOneOpensWithTheHeadingBlock() {
        Fill("Fresatrice CNC", "36", "3000");
        f_->Enter("txtSpContratto", "250");
        f_->Enter("txtSpRata", "3");
        f_->Calcola();
        QVERIFY(f_->C().lblUsura->isVisible());
        Press();
        QVERIFY(f_->boxes.shown.empty());
        const QStringList lines = PdfPages(pdf_).value(0);
        QVERIFY(lines.size() > 2 + kHeadingLines);
        const QStringList heading = lines.mid(2, kHeadingLines);
        QCOMPARE(heading.mid(0, 2),
                 (QStringList{"Tipo Finanziamento Leasing", "Descrizione Fresatrice CNC"}));
        QCOMPARE(heading.mid(13, 4),
                 (QStringList{"Rata " + f_->Text("txtResult"), "Spese contratto 250,00",
                              "Spese rata 3,00",
                              "TAEG " + f_->Text("txtTAEG") + " - " + f_->C().lblUsura->text()}));
        QVERIFY(heading[17].startsWith("Totale interessi "));
        QVERIFY(heading[18].startsWith("Totale pagato "));
        QCOMPARE(lines[2 + kHeadingLines],
                 QString("Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res."));
    }

    // Maxi and buy-out rows print as the grid shows them, and nothing after the buy-out.
    void maxiAndBuyoutRowsAsTheGridShowsThem() {
        Fill("Fresatrice CNC", "36", "3000");
        Press();
        QVERIFY(f_->boxes.shown.empty());
        const QList<QStringList> pages = PdfPages(pdf_);
        QCOMPARE(pages.size(), 2);
        const int header = 2 + kHeadingLines;
        QStringList printed = pages[0].mid(header + 1, pages[0].size() - header - 2);
        printed += pages[1].mid(3, pages[1].size() - 4);
        QCOMPARE(printed, f_->GridRowsAsText());
        QCOMPARE(printed.first(), QString("Maxi. 31/01/06 3.000,00 3.000,00 0,00 27.000,00"));
        QVERIFY(printed.last().startsWith("Riscatto 31/01/09 "));
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

    // The preview's print command asks first: the print dialog on the same printer, for the
    // preview's pages. Annulla leaves the preview open and prints nothing; pages 2 to 3 in
    // two copies print those pages twice (a PDF file makes no copies itself), numbered as in
    // the whole plan, and the preview closes.
    void previewPrintAsksThePrintDialog() {
        Fill("Città: A/B", "120", "0");
        QTest::mouseClick(Page()->cmdAnteprima, Qt::LeftButton);
        auto* preview = Page()->findChild<QPrintPreviewDialog*>("dlgAnteprima");
        QVERIFY(preview != nullptr);
        QTRY_VERIFY(preview->isVisible());
        auto* pages = preview->findChild<QPrintPreviewWidget*>();
        QTRY_VERIFY(pages->pageCount() > 3);
        const int count = pages->pageCount();
        QAction* print = nullptr;
        for (QToolBar* toolbar : preview->findChildren<QToolBar*>()) {
            for (QAction* action : toolbar->actions()) {
                if (action->text() == "Print") print = action;
            }
        }
        QVERIFY(print != nullptr);

        print->trigger();
        QPointer<QPrintDialog> dialog = preview->findChild<QPrintDialog*>("dlgStampa");
        QVERIFY(dialog != nullptr);
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QString("Stampa"));
        QCOMPARE(dialog->minPage(), 1);
        QCOMPARE(dialog->maxPage(), count);
        QVERIFY(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
        dialog->reject();
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(preview->isVisible());
        QVERIFY(!QFileInfo::exists(pdf_));

        print->trigger();
        dialog = preview->findChild<QPrintDialog*>("dlgStampa");
        QVERIFY(dialog != nullptr);
        QTRY_VERIFY(dialog->isVisible());
        dialog->findChild<QRadioButton*>("printRange")->click();
        dialog->findChild<QSpinBox*>("from")->setValue(2);
        dialog->findChild<QSpinBox*>("to")->setValue(3);
        dialog->findChild<QSpinBox*>("copies")->setValue(2);
        QPointer<QPrintPreviewDialog> closing(preview);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QTRY_VERIFY(closing.isNull());
        QVERIFY(f_->boxes.shown.empty());
        QStringList numbers;
        for (const QStringList& page : PdfPages(pdf_)) numbers.append(page.last());
        const QString of = QStringLiteral(" di %1").arg(count);
        QCOMPARE(numbers,
                 (QStringList{"Pagina 2" + of, "Pagina 3" + of, "Pagina 2" + of, "Pagina 3" + of}));
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
