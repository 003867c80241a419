// The events of a stored contract in the window: the list and its commands on the plan page,
// the dialogs of the payoff and of a partial prepayment, the grid's marked rows, undoing the
// latest event, and the signed terms kept on "Salva". Figures are proven below the window;
// here the wiring.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "accessible_inputs.h"
#include "archive_fixture.h"
#include "common/clock.h"
#include "ui/contract_events_panel.h"
#include "ui/payoff_dialog.h"
#include "ui/prepayment_dialog.h"
#include "ui/renegotiation_dialog.h"
#include "ui/status_page.h"
#include "ui/suspension_dialog.h"
#include "ui/yearly_statement_dialog.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

// The published case as a user types it: 17.482,81 at 5,35 % simple over 84 monthly
// instalments, plan to the cent, 2.594,76 of contract fees, consumer credit.
void FillConsumer(ArchiveFixture& f, const QString& name) {
    f.Enter("txtDescBene", name);
    f.C().cboTipoLea->setCurrentText(QStringLiteral("Credito al consumo"));
    f.EnterAll({{"txtValBene", "17482,81"}, {"txtTasso", "5,35"}, {"txtRate", "84"},
                {"txtContract", "15/01/26"}, {"txtStart", "15/02/26"},
                {"txtSpContratto", "2594,76"}});
    f.Choose(f.C().optCapSem);
    f.C().chkCentesimo->setChecked(true);
}

// The consumer credit typed, calculated and saved; the panel of its events.
ContractEventsPanel* SaveConsumer(ArchiveFixture& f, const QString& name) {
    FillConsumer(f, name);
    f.Calcola();
    f.Salva();
    return f.window->Plan()->fraEventi;
}

// The dialog a button opens, found by its class and name.
template <typename Dialog>
Dialog* Opened(const QWidget* owner, QPushButton* button, const QString& name = {}) {
    QTest::mouseClick(button, Qt::LeftButton);
    return owner->findChild<Dialog*>(name);
}

// A prepayment of 3.000,00 on 15/01/2027 recorded straight into the archive, as another desk
// or an earlier session would have.
bool RecordPrepayment(ArchiveFixture& f, int contractId, PrepaymentEffect effect,
                      const std::string& note = "") {
    return f.archive->ContractEvents()
        ->Record(contractId, {*CalendarDate::FromYmd(2027, 1, 15),
                              PrepaymentOptions{Money::FromCents(300000), effect, {}}, note})
        .Ok();
}

}  // namespace

class ContractEventsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { today_.emplace(*CalendarDate::FromYmd(2026, 1, 10)); }
    void cleanup() { today_.reset(); }

    void thePayoffIsStatedRecordedShownAndUndone() {
        ArchiveFixture f;
        ContractEventsPanel* panel = f.window->Plan()->fraEventi;
        FillConsumer(f, "Prestito auto");
        f.Calcola();
        // A new contract has nowhere to keep events yet.
        QVERIFY(!panel->cmdEstinzione->isEnabled());
        f.Salva();
        QVERIFY(f.boxes.shown.empty());
        QVERIFY(panel->cmdEstinzione->isEnabled());
        QVERIFY(panel->cmdRimborsoParziale->isEnabled());
        QVERIFY(!panel->cmdAnnullaEvento->isEnabled());

        auto* dialog = Opened<PayoffDialog>(panel, panel->cmdEstinzione, "dlgEstinzione");
        QVERIFY(dialog != nullptr);
        QCOMPARE(test::UnnamedInputs(dialog), QStringList());
        // The type's regime is the penalty proposed.
        QCOMPARE(dialog->cboPenale->currentText(), QStringLiteral("consumatore"));
        dialog->txtDataEstinzione->setText(QStringLiteral("15/01/2028"));
        QCOMPARE(TreeLines(dialog->lsvConteggio).last(),
                 QStringLiteral("Totale da pagare | 11.876,86"));
        dialog->cboRimborso->setCurrentIndex(1);
        QCOMPARE(TreeLines(dialog->lsvConteggio).last(),
                 QStringLiteral("Totale da pagare | 11.394,35"));
        // A date the contract refuses is said, and nothing can be recorded.
        dialog->txtDataEstinzione->setText(QStringLiteral("15/01/2034"));
        QVERIFY(dialog->lblEsito->text().startsWith(
            QStringLiteral("La data dell'evento (15/01/2034) è successiva all'ultima rata")));
        QVERIFY(!dialog->cmdRegistra->isEnabled());
        QVERIFY(TreeLines(dialog->lsvConteggio).isEmpty());
        dialog->txtDataEstinzione->setText(QStringLiteral("15/01/2028"));
        QVERIFY(dialog->lblEsito->text().isEmpty());

        QTest::mouseClick(dialog->cmdRegistra, Qt::LeftButton);
        QTRY_VERIFY(panel->findChild<PayoffDialog*>() == nullptr);
        QCOMPARE(TreeLines(panel->lsvEventi),
                 QStringList{
                     QStringLiteral("15/01/28 | Estinzione | 11.394,35 | 112,82 | 1.853,40 | ")});
        QVERIFY(!panel->cmdEstinzione->isEnabled());
        QVERIFY(panel->cmdAnnullaEvento->isEnabled());
        // The grid ends on the payoff's line, marked; the summary counts nothing after it.
        const QStringList rows = f.GridRowsAsText();
        QCOMPARE(rows.size(), 25);
        QCOMPARE(rows.last(), QStringLiteral("Estinzione 15/01/28 13.134,93 13.134,93 0,00 0,00"));
        QVERIFY(f.Grid()->IsEventRow(25));
        QVERIFY(!f.Grid()->IsEventRow(24));
        QVERIFY(f.Grid()->item(24, 0)->toolTip().startsWith(
            QStringLiteral("Estinzione del 15/01/2028: 11.394,35")));

        // Loaded again, the contract shows the same.
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        QVERIFY(TreeLines(panel->lsvEventi).isEmpty());
        f.Click(f.ContractNode("Prestito auto"));
        QCOMPARE(f.GridRowsAsText(), rows);
        QCOMPARE(panel->lsvEventi->topLevelItemCount(), 1);

        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        QTest::mouseClick(panel->cmdAnnullaEvento, Qt::LeftButton);
        QCOMPARE(f.Prompt(f.boxes.shown.size() - 1),
                 QStringLiteral("Annullare l'ultimo evento (Estinzione del 15/01/2028)? Il "
                                "piano torna com'era prima."));
        QCOMPARE(panel->lsvEventi->topLevelItemCount(), 0);
        QCOMPARE(f.GridRowsAsText().size(), 84);
        QCOMPARE(f.PlanRows(f.ShownId()), 86LL);
    }

    // Another desk records an event while the statement is open: Registra records nothing,
    // says why, and the page shows the contract as it now is.
    void aStatementOnAContractChangedMeanwhileIsNotRecorded() {
        ArchiveFixture f;
        ContractEventsPanel* panel = SaveConsumer(f, "Prestito auto");
        auto* dialog = Opened<PayoffDialog>(panel, panel->cmdEstinzione, "dlgEstinzione");
        QVERIFY(dialog != nullptr);
        dialog->txtDataEstinzione->setText(QStringLiteral("15/01/2028"));
        QVERIFY(RecordPrepayment(f, f.ShownId(), PrepaymentEffect::LowerInstalment));
        const std::size_t shown = f.boxes.shown.size();
        QTest::mouseClick(dialog->cmdRegistra, Qt::LeftButton);
        QCOMPARE(f.boxes.shown.size(), shown + 1);
        QCOMPARE(f.Prompt(shown),
                 QStringLiteral("Il contratto è stato modificato da un'altra postazione mentre la "
                                "finestra era aperta: non è stato registrato nulla. Chiudere e "
                                "riaprire la finestra per rivedere le cifre."));
        QCOMPARE(TreeLines(panel->lsvEventi),
                 QStringList{
                     QStringLiteral("15/01/27 | Rimborso parziale | 3.000,00 | 0,00 | 0,00 | ")});
        QVERIFY(f.GridRowsAsText().contains(
            QStringLiteral("Rimborso parziale 15/01/27 3.000,00 3.000,00 0,00 12.366,88")));
    }

    void aPrepaymentReDerivesThePlanShown() {
        ArchiveFixture f;
        ContractEventsPanel* panel = SaveConsumer(f, "Prestito casa");
        auto* dialog =
            Opened<PrepaymentDialog>(panel, panel->cmdRimborsoParziale, "dlgRimborsoParziale");
        QVERIFY(dialog != nullptr);
        QCOMPARE(test::UnnamedInputs(dialog), QStringList());
        dialog->txtDataRimborso->setText(QStringLiteral("15/01/2028"));
        QCOMPARE(dialog->lblEsito->text(),
                 QStringLiteral("Inserire l'importo del rimborso parziale!"));
        QVERIFY(!dialog->cmdRegistra->isEnabled());
        dialog->txtImporto->setText(QStringLiteral("5.000"));
        QTest::mouseClick(dialog->optRiduzioneDurata, Qt::LeftButton, {},
                          QPoint(8, dialog->optRiduzioneDurata->height() / 2));
        QVERIFY(TreeLines(dialog->lsvEsito).contains(QStringLiteral("Rate residue | 60 -> 36")));
        QVERIFY(TreeLines(dialog->lsvEsito)
                    .contains(QStringLiteral("Penale | 50,00 - consumatore 1% di 5.000,00")));
        QTest::mouseClick(dialog->cmdRegistra, Qt::LeftButton);
        QTRY_VERIFY(panel->findChild<PrepaymentDialog*>() == nullptr);

        const QStringList rows = f.GridRowsAsText();
        QCOMPARE(rows.size(), 61);
        QCOMPARE(rows[24], QStringLiteral("Rimborso parziale 15/01/28 5.000,00 5.000,00 0,00 "
                                          "8.134,93"));
        QVERIFY(f.Grid()->IsEventRow(25));
        QCOMPARE(rows.last().left(15), QStringLiteral("60° Rata 15/01/"));
        QCOMPARE(TreeLines(panel->lsvEventi),
                 QStringList{
                     QStringLiteral("15/01/28 | Rimborso parziale | 5.000,00 | 50,00 | 0,00 | ")});
    }

    // A six-month holiday of the whole instalment, half its interest borne by the Fund and
    // the rest deferred: six numbered "Sospensione" rows, marked, and the plan six months
    // longer.
    void aSuspensionLengthensThePlanShown() {
        ArchiveFixture f;
        ContractEventsPanel* panel = SaveConsumer(f, "Prestito sospeso");
        auto* dialog = Opened<SuspensionDialog>(panel, panel->cmdSospensione, "dlgSospensione");
        QVERIFY(dialog != nullptr);
        QCOMPARE(test::UnnamedInputs(dialog), QStringList());
        dialog->txtDataSospensione->setText(QStringLiteral("15/01/2027"));
        dialog->txtRateSospese->setText(QStringLiteral("6"));
        // Interest is capitalised or deferred only when nothing is paid.
        QVERIFY(!dialog->optDifferiti->isEnabled());
        dialog->optInteraRata->setChecked(true);
        dialog->optDifferiti->setChecked(true);
        dialog->txtQuotaFondo->setText(QStringLiteral("50"));
        QCOMPARE(TreeLines(dialog->lsvEsito),
                 (QStringList{"Debito residuo | 15.547,55", "Interessi sospesi | 415,92",
                              "a carico del Fondo | 207,96", "Interessi differiti | 207,96",
                              "Rata | 249,99 -> 252,83",
                              "Ultima scadenza | 15/01/2033 -> 15/07/2033"}));
        QTest::mouseClick(dialog->cmdRegistra, Qt::LeftButton);
        QTRY_VERIFY(panel->findChild<SuspensionDialog*>() == nullptr);

        QCOMPARE(TreeLines(panel->lsvEventi),
                 QStringList{QStringLiteral("15/01/27 | Sospensione | 0,00 | 0,00 | 0,00 | ")});
        const QStringList rows = f.GridRowsAsText();
        QCOMPARE(rows.size(), 90);
        QCOMPARE(rows[11], QStringLiteral("12° Sospensione 15/01/27 0,00 0,00 0,00 15.547,55"));
        QCOMPARE(rows[17], QStringLiteral("18° Rata 15/07/27 252,83 180,67 72,16 15.366,88"));
        QCOMPARE(rows.last().left(18), QStringLiteral("90° Rata 15/07/33 "));
        for (int row = 11; row <= 18; ++row) {
            QCOMPARE(f.Grid()->IsEventRow(row), row >= 12 && row <= 17);
        }
        QCOMPARE(f.Grid()->item(16, 0)->toolTip(),
                 QStringLiteral("Sospensione dal 15/01/2027: 6 rate (interessi a carico del "
                                "Fondo 207,96)"));
        // A later prepayment's line is marked with its own event, not the holiday before it.
        QVERIFY(f.archive->ContractEvents()
                    ->Record(f.ShownId(), {*CalendarDate::FromYmd(2028, 1, 17),
                                           PrepaymentOptions{Money::FromCents(100000), PrepaymentEffect::LowerInstalment, {}}, ""})
                    .Ok());
        f.Click(f.ContractNode("Prestito sospeso"));
        const int line = static_cast<int>(f.GridRowsAsText().indexOf(
                             QRegularExpression(QStringLiteral("^Rimborso parziale.*")))) + 1;
        QVERIFY(f.Grid()->IsEventRow(line));
        QVERIFY(f.Grid()->item(line - 1, 0)->toolTip().startsWith(
            QStringLiteral("Rimborso parziale del 17/01/2028: 1.000,00")));
    }

    // A surrogation at a lower rate over fewer instalments: the figures with the contract's and
    // the renegotiated part's TAEG and the law's note, then the plan re-derived from the date.
    void aSurrogationReDerivesThePlanShown() {
        ArchiveFixture f;
        ContractEventsPanel* panel = SaveConsumer(f, "Prestito surrogato");
        auto* dialog =
            Opened<RenegotiationDialog>(panel, panel->cmdRinegoziazione, "dlgRinegoziazione");
        QVERIFY(dialog != nullptr);
        QCOMPARE(test::UnnamedInputs(dialog), QStringList());
        dialog->txtDataRinegoziazione->setText(QStringLiteral("15/01/2027"));
        QCOMPARE(dialog->lblEsito->text(),
                 QStringLiteral("La rinegoziazione deve cambiare qualcosa: il tasso, lo spread, "
                                "il numero di rate o la periodicità."));
        dialog->txtNuovoTasso->setText(QStringLiteral("3,5"));
        dialog->txtNuovoNumeroRate->setText(QStringLiteral("48"));
        dialog->txtIstituto->setText(QStringLiteral("Banca Nuova"));
        QCOMPARE(TreeLines(dialog->lsvEsito),
                 (QStringList{"Debito residuo | 15.366,88", "Tasso | 5,35% -> 3,5%",
                              "Rata | 249,99 -> 343,54", "Rate residue | 72 -> 48",
                              "TAEG del contratto | 10,87%", "TAEG della parte rinegoziata | 3,56%",
                              "Nuovo istituto | Banca Nuova",
                              " | Surroga (art. 120-quater TUB): nessuna penale e nessun costo "
                              "a carico del cliente."}));
        QTest::mouseClick(dialog->cmdRegistra, Qt::LeftButton);
        QTRY_VERIFY(panel->findChild<RenegotiationDialog*>() == nullptr);

        QCOMPARE(TreeLines(panel->lsvEventi),
                 QStringList{QStringLiteral("15/01/27 | Surroga | 0,00 | 0,00 | 0,00 | ")});
        const QStringList rows = f.GridRowsAsText();
        QCOMPARE(rows.size(), 60);
        QCOMPARE(rows[12], QStringLiteral("13° Rata 15/02/27 343,54 298,72 44,82 15.068,16"));
        QCOMPARE(rows.last(), QStringLiteral("60° Rata 15/01/31 343,64 342,64 1,00 0,00"));
    }

    // A field that cannot be read, or an event the contract refuses, is said in Italian and
    // leaves nothing to record.
    void aBadFieldRecordsNothing_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("k not a number") << "dlgSospensione" << "txtRateSospese" << "sei"
            << "Inserire il numero delle rate sospese!";
        QTest::newRow("k above 36") << "dlgSospensione" << "txtRateSospese" << "37"
                                    << "Le rate sospese devono essere da 1 a 36 (indicate: 37).";
        QTest::newRow("Fund share not a number") << "dlgSospensione" << "txtQuotaFondo" << "metà"
            << "Inserire una quota del Fondo valida!";
        QTest::newRow("holiday off the due dates")
            << "dlgSospensione" << "txtDataSospensione" << "20/01/2027"
            << "La sospensione parte da una scadenza del piano: il 20/01/2027 non è la data di "
               "una rata.";
        QTest::newRow("rate not a number") << "dlgRinegoziazione" << "txtNuovoTasso" << "tre"
                                           << "Inserire un nuovo tasso valido!";
        QTest::newRow("spread not a number") << "dlgRinegoziazione" << "txtNuovoSpread" << "1,x"
                                             << "Inserire un nuovo spread valido!";
        QTest::newRow("no instalments") << "dlgRinegoziazione" << "txtNuovoNumeroRate" << "0"
                                        << "Il numero di rate residue deve essere da 1 a 1200.";
        QTest::newRow("no date") << "dlgRinegoziazione" << "txtDataRinegoziazione"
                                 << "31/02/2027" << "Inserire una data valida!";
    }
    void aBadFieldRecordsNothing() {
        QFETCH(QString, dialog);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        ArchiveFixture f;
        ContractEventsPanel* panel = SaveConsumer(f, "Prestito rifiutato");
        const bool holiday = dialog == "dlgSospensione";
        auto* opened = Opened<QDialog>(
            panel, holiday ? panel->cmdSospensione : panel->cmdRinegoziazione, dialog);
        QVERIFY(opened != nullptr);
        // Fields that describe an event the contract accepts, then the one under test.
        const QStringList good =
            holiday ? QStringList{"txtDataSospensione", "15/01/2027", "txtRateSospese", "3"}
                    : QStringList{"txtDataRinegoziazione", "15/01/2027", "txtNuovoTasso", "4"};
        for (qsizetype k = 0; k < good.size(); k += 2) {
            opened->findChild<QLineEdit*>(good[k])->setText(good[k + 1]);
        }
        auto* registra = opened->findChild<QPushButton*>(QStringLiteral("cmdRegistra"));
        QVERIFY(registra->isEnabled());
        opened->findChild<QLineEdit*>(field)->setText(text);
        QCOMPARE(opened->findChild<QLabel*>(QStringLiteral("lblEsito"))->text(), message);
        QVERIFY(TreeLines(opened->findChild<QTreeWidget*>(QStringLiteral("lsvEsito"))).isEmpty());
        QVERIFY(!registra->isEnabled());
        QTest::mouseClick(registra, Qt::LeftButton);
        QVERIFY(opened->isVisible());
        QCOMPARE(panel->lsvEventi->topLevelItemCount(), 0);
        QVERIFY(f.archive->ContractEvents()->Events(f.ShownId()).empty());
    }

    // The yearly statement, of the archive or a financing type from the Stato page and of the
    // contract from its events: a line a year and the total, which for the contract is its
    // plan's; exported to a workbook and a PDF.
    void theYearlyStatementIsShownAndExported() {
        QTemporaryDir folder;
        ArchiveFixture f;
        f.window->Plan()->SetProgramFiles(ReadyToRunFiles(folder.path().toStdString()));
        f.window->Status()->exportFolder = [&folder] {
            return std::filesystem::path(folder.path().toStdString()) / "Export";
        };
        ContractEventsPanel* panel = SaveConsumer(f, "Prestito annuale");
        auto* contract = Opened<YearlyStatementDialog>(panel, panel->cmdProspetto);
        QVERIFY(contract != nullptr);
        QCOMPARE(test::UnnamedInputs(contract), QStringList());
        // The contract fees fall in the contract date's year; the total is the plan's.
        const QStringList years = TreeLines(contract->lsvProspetto);
        QCOMPARE(years.size(), 9);
        QCOMPARE(years.first(), QStringLiteral("2026 | 1.935,26 | 814,63 | 2.594,76 | 5.344,65"));
        QCOMPARE(years[7], QStringLiteral("2033 | 248,43 | 1,11 | 0,00 | 249,54"));
        QCOMPARE(years.last(),
                 QStringLiteral("Totale | 17.482,81 | 3.515,90 | 2.594,76 | 23.593,47"));
        contract->close();

        StatusPage* status = f.window->Status();
        auto* archive = Opened<YearlyStatementDialog>(status, status->cmdProspetto);
        QVERIFY(archive != nullptr);
        QCOMPARE(test::UnnamedInputs(archive), QStringList());
        // The archive holds the one contract with a plan; a type without contracts, nothing.
        QCOMPARE(TreeLines(archive->lsvProspetto), years);
        archive->cboAmbito->setCurrentText(QStringLiteral("Mutuo"));
        QVERIFY(TreeLines(archive->lsvProspetto).isEmpty());
        QCOMPARE(archive->lblEsito->text(), QStringLiteral("Nessun pagamento nel periodo."));
        QVERIFY(!archive->cmdExcel->isEnabled());
        archive->cboAmbito->setCurrentText(QStringLiteral("Credito al consumo"));
        QCOMPARE(TreeLines(archive->lsvProspetto), years);
        QVERIFY(archive->lblEsito->text().isEmpty());

        QTest::mouseClick(archive->cmdExcel, Qt::LeftButton);
        QTest::mouseClick(archive->cmdPDF, Qt::LeftButton);
        QCOMPARE(f.boxes.shown.size(), std::size_t(0));
        const QDir exports(QDir(folder.path()).filePath("Export"));
        QCOMPARE(exports.entryList(QDir::Files),
                 (QStringList{"Prospetto annuale - Credito al consumo.pdf",
                              "Prospetto annuale - Credito al consumo.xls"}));
    }

    // The signed terms are history: a new description is saved, a changed term refused, and
    // a calculation saved after the events never replaces their plan.
    void salvaKeepsTheSignedTermsAndThePlan() {
        ArchiveFixture f;
        SaveConsumer(f, "Prestito moto");
        const int id = f.ShownId();
        QVERIFY(RecordPrepayment(f, id, PrepaymentEffect::LowerInstalment));
        f.Click(f.ContractNode("Prestito moto"));
        const auto plan = f.StoredPlan(id);
        f.boxes.shown.clear();

        f.Enter("txtTasso", "5");
        f.Calcola();
        f.Salva();
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QVERIFY(f.Prompt(0).startsWith(QStringLiteral("Il contratto ha eventi registrati")));
        f.Enter("txtTasso", "5,35");
        f.Enter("txtDescBene", "Prestito moto di Anna");
        f.Calcola();
        f.Salva();
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QVERIFY(f.ContractNode("Prestito moto di Anna") != nullptr);
        QCOMPARE(f.StoredPlan(id).size(), plan.size());
        QCOMPARE(f.StoredPlan(id).back().DebitoRes, plan.back().DebitoRes);
        // The grid shows the stored plan with its event again, not the calculation.
        QCOMPARE(f.GridRowsAsText()[12].left(17), QStringLiteral("Rimborso parziale"));
    }

    // The exports of a contract with events name them under the heading block.
    void theExportsShowTheEvents() {
        QTemporaryDir folder;
        ArchiveFixture f;
        f.window->Plan()->SetProgramFiles(ReadyToRunFiles(folder.path().toStdString()));
        SaveConsumer(f, "Prestito furgone");
        const int id = f.ShownId();
        QVERIFY(RecordPrepayment(f, id, PrepaymentEffect::ShortenTerm));
        f.Click(f.ContractNode("Prestito furgone"));
        QTest::mouseClick(f.window->Plan()->cmdText, Qt::LeftButton);
        QFile file(QDir(folder.path()).filePath("Export/Prestito furgone.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        QVERIFY2(text.contains(QStringLiteral(
                     "\r\nRimborso parziale del 15/01/2027;3.000,00 (penale 0,00)\r\n")),
                 qPrintable(text));
    }

    // The window with a contract's events and the statement, for the README.
    void grabEvents() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        ArchiveFixture f;
        ContractEventsPanel* panel = SaveConsumer(f, "Prestito auto");
        QVERIFY(RecordPrepayment(f, f.ShownId(), PrepaymentEffect::LowerInstalment, "Bonus"));
        f.Click(f.ContractNode("Prestito auto"));
        f.window->Tabs()->setCurrentIndex(1);
        f.window->resize(1100, 760);
        f.Grid()->scrollToItem(f.Grid()->item(10, 0), QAbstractItemView::PositionAtTop);
        QApplication::processEvents();
        QVERIFY(f.window->grab().save(QDir(folder).filePath("eventi.png")));

        auto* dialog = Opened<PayoffDialog>(panel, panel->cmdEstinzione, "dlgEstinzione");
        QVERIFY(dialog != nullptr);
        dialog->txtDataEstinzione->setText(QStringLiteral("25/01/2027"));
        dialog->resize(620, 560);
        QApplication::processEvents();
        QVERIFY(dialog->grab().save(QDir(folder).filePath("conteggio-estintivo.png")));
        dialog->close();

        auto* holiday = Opened<SuspensionDialog>(panel, panel->cmdSospensione, "dlgSospensione");
        QVERIFY(holiday != nullptr);
        holiday->txtDataSospensione->setText(QStringLiteral("15/02/2028"));
        holiday->txtRateSospese->setText(QStringLiteral("6"));
        holiday->optInteraRata->setChecked(true);
        holiday->txtQuotaFondo->setText(QStringLiteral("50"));
        holiday->resize(560, 420);
        QApplication::processEvents();
        QVERIFY(holiday->grab().save(QDir(folder).filePath("sospensione.png")));
        holiday->close();

        f.window->Tabs()->setCurrentIndex(2);
        QTest::mouseClick(f.window->Status()->cmdProspetto, Qt::LeftButton);
        auto* yearly = f.window->Status()->findChild<YearlyStatementDialog*>();
        QVERIFY(yearly != nullptr);
        yearly->resize(620, 380);
        QApplication::processEvents();
        QVERIFY(yearly->grab().save(QDir(folder).filePath("prospetto-annuale.png")));
    }

private:
    std::optional<ScopedToday> today_;
};

QTEST_MAIN(ContractEventsTest)
#include "test_contract_events.moc"
