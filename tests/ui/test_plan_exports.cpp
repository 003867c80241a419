// The export buttons of the plan page: nothing before a calculation, the four files with
// their names and how the desktop is asked to open them, the heading block read from the
// form at the moment of the export, and the boxes of a failed export.
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "common/clock.h"
#include "common/desktop_shell.h"
#include "pdf_pages.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

// Records, with each request, whether the hourglass was showing while it was made.
class CursorWatchingShell : public RecordingDesktopShell {
public:
    bool OpenFile(const std::filesystem::path& file) override {
        busy.push_back(Busy());
        return RecordingDesktopShell::OpenFile(file);
    }
    bool OpenInTextEditor(const std::filesystem::path& file) override {
        busy.push_back(Busy());
        return RecordingDesktopShell::OpenInTextEditor(file);
    }
    std::vector<bool> busy;

private:
    static bool Busy() {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    }
};

using Kind = RecordingDesktopShell::Kind;

// The text file's lines; its bytes are Windows-1252, which agrees with Latin-1 on every
// character these files hold ("°", "à").
QStringList TextFileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromLatin1(file.readAll());
    if (!text.endsWith("\r\n")) return {"(no CR LF at the end)"};
    text.chop(2);
    return text.split("\r\n");
}

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return "(reader failed)";
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class PlanExportsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        today_.emplace(*CalendarDate::FromYmd(2006, 1, 15));
        f_ = std::make_unique<WindowFixture>();
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        QVERIFY(QFile::copy(QUOTAPLAN_TEMPLATE, folder_->filePath("pda.dot")));
        Page()->SetProgramFiles(ReadyToRunFiles(folder_->path().toStdString()));
    }
    void cleanup() {
        f_.reset();
        folder_.reset();
        today_.reset();
    }

    void buttonsCanBePressedFromTheStart() {
        const std::pair<QPushButton*, const char*> buttons[] = {
            {Page()->cmdText, "File di Testo"},  {Page()->cmdExcel, "File di Excel"},
            {Page()->cmdWord, "File di Word"},   {Page()->cmdPDF, "File PDF"},
            {Page()->cmdAnteprima, "Anteprima"}, {Page()->cmdPrintPDA, "Stampa"}};
        for (const auto& [button, caption] : buttons) {
            QCOMPARE(button->text(), QString(caption));
            QVERIFY2(button->isEnabled(), caption);
        }
        // Outside a main window and given nothing, the page has nothing to work with.
        PlanPage alone;
        alone.SetProgramFiles(ReadyToRunFiles(folder_->path().toStdString()));
        QCOMPARE(alone.GetContractHeader().labels[0], std::string());
        QTest::mouseClick(alone.cmdText, Qt::LeftButton);
        QTest::mouseClick(alone.cmdPrintPDA, Qt::LeftButton);
        QVERIFY(!QDir(ExportFolder()).exists());
        // In the window, the heading block is the form's.
        QCOMPARE(Page()->GetContractHeader().labels[0], std::string("Tipo Finanziamento"));
        QCOMPARE(Page()->GetContractHeader().values[0], std::string("Leasing"));
    }

    void nothingBeforeACalculation_data() { ExportTable(); }
    void nothingBeforeACalculation() {
        QFETCH(QString, button);
        f_->Enter("txtDescBene", "Auto: A/B");
        Press(button);
        QVERIFY(!QDir(ExportFolder()).exists());
        QVERIFY(f_->shell.requests.empty());
        QVERIFY(f_->boxes.shown.empty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void writtenAndOpened_data() { ExportTable(); }
    void writtenAndOpened() {
        QFETCH(QString, button);
        QFETCH(QString, extension);
        QFETCH(int, kind);
        FillAndCalculate("Auto: A/B");
        CursorWatchingShell watcher;
        Page()->SetDesktopShell(watcher);
        Press(button);
        // The colon and the slash of the description are blanks in the file name.
        const QString file = QDir(ExportFolder()).filePath("Auto  A B" + extension);
        QVERIFY(f_->boxes.shown.empty());
        QCOMPARE(QDir(ExportFolder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Auto  A B" + extension});
        QCOMPARE(watcher.requests.size(), std::size_t(1));
        QCOMPARE(int(watcher.requests[0].kind), kind);
        QCOMPARE(QString::fromStdString(watcher.requests[0].target), file);
        QVERIFY(watcher.busy == std::vector<bool>{true});
        QVERIFY(f_->shell.requests.empty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The description field keeps what was typed.
        QCOMPARE(f_->Text("txtDescBene"), QString("Auto: A/B"));
        QVERIFY(QFileInfo(file).size() > 0);
    }

    void textFileHoldsTheFormAndThePlan() {
        FillAndCalculate("Fresatrice CNC");
        Press("cmdText");
        const QStringList lines = TextFileLines(ExportFile(".txt"));
        QCOMPARE(
            lines.mid(0, 15),
            QStringList({"Tipo Finanziamento;Leasing", "Descrizione;Fresatrice CNC",
                         "Valore finanziato;30.000,00", "Anticipo;3.000,00", "Spread;0,00",
                         "Tasso;7,50", "Tasso di riferimento;Euribor 3 mesi", "Numero di rate;36",
                         "Periodicità;Mensile", "Riscatto;3.000,00", "Data contratto;31/01/06",
                         "Capitalizzazione;Composta", "Pagamento;Posticipato",
                         "Tipo;Data;Tasso;Importo;Capitale;Deb.Res.;Interessi",
                         "Maxi.;31/01/2006;0;3000;3000;27000;0"}));
        QCOMPARE(lines.size(), 13 + 1 + 1 + 36 + 1);
        QVERIFY2(lines[15].startsWith("1° Rata;28/02/2006;7,50;761,97;"), qPrintable(lines[15]));
        QVERIFY2(lines[50].startsWith("36° Rata;31/01/2009;7,50;761,97;"), qPrintable(lines[50]));
        QVERIFY2(lines[51].startsWith("Riscatto;31/01/2009;;"), qPrintable(lines[51]));
    }

    // A form changed after the calculation is never written over the plan of before: every
    // document is refused in words, and the plan page says so, until Calcola.
    void staleFormIsRefusedByEveryDocument_data() {
        QTest::addColumn<QString>("button");
        const char* const buttons[] = {"cmdText", "cmdExcel", "cmdWord",
                                       "cmdPDF",  "cmdAnteprima", "cmdPrintPDA"};
        for (const char* button : buttons) QTest::newRow(button) << button;
    }
    void staleFormIsRefusedByEveryDocument() {
        QFETCH(QString, button);
        FillAndCalculate("Fresatrice CNC");
        f_->Enter("txtValBene", "50000");
        QVERIFY(f_->Stale());
        f_->window->Tabs()->setCurrentIndex(1);
        QVERIFY(Page()->lblPianoNonAggiornato->isVisible());
        QCOMPARE(Page()->lblPianoNonAggiornato->text(),
                 QString("Piano non aggiornato: premere Calcola"));
        Press(button);
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 QString("Piano non aggiornato: i dati del contratto sono cambiati dopo il "
                         "calcolo del piano. Premere Calcola prima di esportare, vedere "
                         "l'anteprima o stampare."));
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Exclamation));
        QVERIFY(!QDir(ExportFolder()).exists());
        QVERIFY(f_->shell.requests.empty());
        QVERIFY(Page()->findChild<QDialog*>("dlgAnteprima") == nullptr);
    }

    // Calculated again, the heading and the rows are the new contract's; a new description
    // alone names the documents and keeps the plan.
    void recalculatedFormExportsOneContract() {
        FillAndCalculate("Fresatrice CNC");
        f_->Enter("txtValBene", "50000");
        f_->Enter("txtTasso", "9");
        f_->Choose(f_->C().optCapSem);
        f_->Choose(f_->C().optPagAnt);
        f_->C().cboPeriodicita->setCurrentIndex(2);
        f_->Calcola();
        f_->Enter("txtDescBene", "Fresatrice nuova");
        f_->window->Tabs()->setCurrentIndex(1);
        QVERIFY(!Page()->lblPianoNonAggiornato->isVisible());
        Press("cmdText");
        QVERIFY(f_->boxes.shown.empty());
        const QStringList lines = TextFileLines(ExportFile(".txt"));
        QCOMPARE(QStringList({lines[1], lines[2], lines[5], lines[8], lines[12]}),
                 QStringList({"Descrizione;Fresatrice nuova", "Valore finanziato;50.000,00",
                              "Tasso;9,00", "Periodicità;Trimestrale", "Pagamento;Anticipato"}));
        QCOMPARE(lines.size(), 13 + 1 + 1 + 36 + 1);
        QVERIFY2(lines[15].startsWith("1° Rata;31/01/2006;9,00;" + f_->Text("txtResult") + ";"),
                 qPrintable(lines[15]));
    }

    // What cannot be written is named in a box; nothing is opened, nothing is left behind.
    void failuresAreShown_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("message");
        for (const char* button : {"cmdText", "cmdExcel"}) {
            QTest::addRow("%s, Export is a file", button)
                << button << "export file" << "Impossibile creare la cartella %1/Export";
        }
        for (const auto& [button, extension] :
             {std::pair{"cmdText", ".txt"}, {"cmdExcel", ".xls"}, {"cmdWord", ".doc"},
              {"cmdPDF", ".pdf"}}) {
            QTest::addRow("%s, name taken by a folder", button) << button << "name folder"
                << "Impossibile scrivere il file %1/Export/Tornio" + QString(extension);
        }
        QTest::newRow("word, no template") << "cmdWord" << "no template"
            << "Il modello %1/pda.dot non esiste: il documento non è stato creato.";
    }
    void failuresAreShown() {
        QFETCH(QString, button);
        QFETCH(QString, obstacle);
        QFETCH(QString, message);
        FillAndCalculate("Tornio");
        const QString extension = button == "cmdText"    ? ".txt"
                                  : button == "cmdExcel" ? ".xls"
                                  : button == "cmdPDF"   ? ".pdf"
                                                         : ".doc";
        if (obstacle == "export file") {
            QFile blocker(ExportFolder());
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else if (obstacle == "name folder") {
            QVERIFY(QDir().mkpath(ExportFile(extension)));
        } else {
            QVERIFY(QFile::remove(folder_->filePath("pda.dot")));
        }
        Press(button);
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        const BoxRequest& box = f_->boxes.shown[0];
        QCOMPARE(QString::fromStdString(box.prompt), message.arg(folder_->path()));
        QCOMPARE(QString::fromStdString(box.title), QString("Quotaplan 4.0.0"));
        QCOMPARE(int(box.icon), int(BoxIcon::Critical));
        QVERIFY(f_->shell.requests.empty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        if (obstacle != "export file") {
            QStringList left =
                QDir(ExportFolder())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            QCOMPARE(left,
                     obstacle == "name folder" ? QStringList{"Tornio" + extension} : QStringList{});
        }
    }

    // The PDF: the heading block as the form reads at the moment of the export, the plan as
    // the grid shows it, the chart on the last page, every page headed as the printed ones.
    void pdfHoldsHeadingPlanAndChart() {
        FillAndCalculate("Fresatrice CNC");
        f_->Enter("txtDescBene", "Fresatrice CNC nuova");
        Press("cmdPDF");
        QVERIFY(f_->boxes.shown.empty());
        const QList<QStringList> pages = PdfPages(ExportFile(".pdf"));
        QCOMPARE(pages.size(), 3);  // the heading and 25 rows, the other 13 rows, the chart
        // The page head of the printed plan, the TAEG of the window at the right of the date.
        QCOMPARE(f_->C().txtTAEG->text(), QString("7,50%"));
        for (const QStringList& page : pages) {
            QCOMPARE(page.value(0), QString("Piano finanziario - Fresatrice CNC nuova"));
            QCOMPARE(page.value(1), QString("15.01.2006 TAEG 7,50%"));
        }
        QCOMPARE(pages[0].mid(2, 3),
                 QStringList({"Tipo Finanziamento Leasing", "Descrizione Fresatrice CNC nuova",
                              "Valore finanziato 30.000,00"}));
        // Under the 13 lines of the contract, the calculation's 6 (instalment, fees, TAEG,
        // totals); every page numbered at its foot.
        QCOMPARE(pages[0][15], "Rata " + f_->Text("txtResult"));
        QCOMPARE(pages[0][21], QString("Tipo Scadenza Importo Q. Capitale Q. Interessi Deb. Res."));
        QCOMPARE(pages[1][2], pages[0][21]);
        for (int p = 0; p < 3; ++p)
            QCOMPARE(pages[p].last(), QStringLiteral("Pagina %1 di 3").arg(p + 1));
        const QStringList rows =
            pages[0].mid(22, pages[0].size() - 23) + pages[1].mid(3, pages[1].size() - 4);
        QCOMPARE(rows, f_->GridRowsAsText());
        QVERIFY(pages[2].join('\n').contains("Quota capitale"));
    }

    // Pictures of the PDF's first and last page for the documentation, when a folder is given.
    void picturesOfThePdf() {
        const QString pictures = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (pictures.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        FillAndCalculate("Fresatrice CNC");
        Press("cmdPDF");
        const QString pdf = ExportFile(".pdf");
        for (const auto& [page, name] :
             {std::pair("1", "pdf-pagina-1"), std::pair("3", "pdf-grafico")}) {
            QCOMPARE(
                QProcess::execute("pdftoppm", {"-png", "-r", "80", "-f", page, "-l", page,
                                               "-singlefile", pdf, QDir(pictures).filePath(name)}),
                0);
        }
    }

    // The file is good but the desktop cannot open it: the user learns where it is.
    void unopenedFileIsNamed() {
        FillAndCalculate("Tornio");
        f_->shell.succeeds = false;
        Press("cmdExcel");
        QCOMPARE(f_->boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f_->boxes.shown[0].prompt),
                 "Il file " + ExportFile(".xls") +
                     " è stato salvato, ma non è stato possibile aprirlo.");
        QCOMPARE(int(f_->boxes.shown[0].icon), int(BoxIcon::Exclamation));
        QVERIFY(QFileInfo::exists(ExportFile(".xls")));
    }

    // A picture of the workbook for the documentation, when a folder is given: the sheet as
    // python3-xlrd reads it, drawn as a grid by Qt on an A4 page and rendered by pdftoppm.
    void pictureOfTheWorkbook() {
        const QString pictures = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (pictures.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        FillAndCalculate("Fresatrice CNC");
        Press("cmdExcel");
        const QString html = Run(QStringLiteral(QUOTAPLAN_PYTHON3),
                                 {QStringLiteral(QUOTAPLAN_UI_TEST_DIR "/export_sheet_html.py"),
                                  ExportFile(".xls"), "40"});
        QVERIFY2(html.contains("Fresatrice CNC.xls"), qPrintable(html));
        QVERIFY(RenderPage(html, QDir(pictures).filePath("export-excel")));
    }

private:
    static void ExportTable() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("kind");
        QTest::newRow("text") << "cmdText" << ".txt" << int(Kind::TextEditor);
        QTest::newRow("excel") << "cmdExcel" << ".xls" << int(Kind::File);
        QTest::newRow("word") << "cmdWord" << ".doc" << int(Kind::File);
        QTest::newRow("pdf") << "cmdPDF" << ".pdf" << int(Kind::File);
    }
    PlanPage* Page() const { return f_->window->Plan(); }
    QString ExportFolder() const { return folder_->filePath("Export"); }
    QString ExportFile(const QString& extension) const {
        return QDir(ExportFolder()).filePath(f_->Text("txtDescBene") + extension);
    }
    void Press(const QString& button) const {
        QTest::mouseClick(f_->window->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    void FillAndCalculate(const QString& description) {
        f_->Enter("txtDescBene", description);
        f_->FillLeasing();
        f_->Enter("txtDataRiscatto", "");
        f_->Choose(f_->C().optPagPos);
        f_->Calcola();
        QVERIFY(f_->boxes.shown.empty());
        QVERIFY(!f_->Stale());
    }
    static bool RenderPage(const QString& html, const QString& picture);

    std::optional<ScopedToday> today_;
    std::unique_ptr<WindowFixture> f_;
    std::unique_ptr<QTemporaryDir> folder_;
};

#include <QPrinter>
#include <QTextDocument>

bool PlanExportsTest::RenderPage(const QString& html, const QString& picture) {
    QTextDocument document;
    document.setHtml(html);
    const QString pdf = picture + ".pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    document.print(&printer);
    const bool drawn = QProcess::execute("pdftoppm", {"-png", "-r", "80", "-f", "1", "-l", "1",
                                                      "-singlefile", pdf, picture}) == 0;
    QFile::remove(pdf);
    return drawn;
}

QTEST_MAIN(PlanExportsTest)
#include "test_plan_exports.moc"
