// Indexed contracts in the window: "Indicizza" on the Calcoli page (when it is enabled, the
// rate list it makes, the published example, re-pricing a stored contract with the rows
// that changed marked, its refusals) and the editor of a reference rate's dated values
// opened from the Stato page.
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <fstream>

#include "archive_fixture.h"
#include "common/clock.h"
#include "common/number_text.h"
#include "ui/reference_values_dialog.h"
#include "ui/status_page.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

// The published example: 2,00 from January, 2,50 from April, 1,75 from July 2026.
const std::vector<IndexValue> kSeries2026 = {
    {Ymd(2026, 1, 1), 2.00}, {Ymd(2026, 4, 1), 2.50}, {Ymd(2026, 7, 1), 1.75}};

const QStringList kIndexedRates = {"3,50", "3,50", "3,50", "4,00", "4,00", "4,00",
                                   "3,25", "3,25", "3,25", "3,25", "3,25", "3,25"};

// What the tests do on either archive.
struct Indexing {
    const WindowDriver& w;

    QTreeWidget* List() const { return w.C().lsvTxHis; }
    QStringList Column(int column) const {
        QStringList texts;
        for (int row = 0; row < List()->topLevelItemCount(); ++row) {
            texts << List()->topLevelItem(row)->text(column);
        }
        return texts;
    }
    void Indicizza() const { QTest::mouseClick(w.C().cmdIndicizza, Qt::LeftButton); }
    // The example's contract: 10.000 over 12 monthly instalments in arrears from 15/02/26,
    // contract of 15/01/26, spread 1,5, on "Euribor 3 mesi".
    void FillExample(const QString& name) const {
        w.EnterAll({{"txtDescBene", name}, {"txtValBene", "10000"}, {"txtSpread", "1,5"},
                    {"txtRate", "12"}, {"txtContract", "15/01/26"}, {"txtStart", "15/02/26"}});
        w.Choose(w.C().optCapCom);
        w.Choose(w.C().optPagPos);
        w.C().cboTxRif->setCurrentText(QStringLiteral("Euribor 3 mesi"));
    }
    bool Marked(int row) const {
        const QTreeWidgetItem* item = List()->topLevelItem(row);
        return item->font(1).bold() || item->background(1).style() != Qt::NoBrush;
    }
};

// A window over the fixed archive, whose reference rates are "Fisso" and two Euribor rates;
// "Fisso" and "Euribor 3 mesi" have values.
struct FakeFixture : WindowDriver {
    ScopedToday today{Ymd(2026, 6, 10)};
    FakeWindowArchive archive;
    Indexing x{*this};
    FakeFixture() {
        archive.referenceRates = {"Fisso", "Euribor 3 mesi", "Euribor 6 mesi"};
        archive.series["Fisso"] = {{Ymd(2023, 1, 1), 0}};
        archive.series["Euribor 3 mesi"] = kSeries2026;
        Open(archive);
    }
};

struct RealFixture : ArchiveFixture {
    ScopedToday today{Ymd(2026, 6, 10)};
    Indexing x{*this};
    StatusPage* S() const { return window->Status(); }
    // Opens the values of a reference rate from the Stato page.
    ReferenceValuesDialog* OpenValues(const QString& rate) const {
        window->Tabs()->setCurrentIndex(2);
        Pick(S()->lstSupTab, "TxRiferimento");
        Pick(S()->lstSupVal, rate);
        QTest::mouseClick(S()->cmdValTxRif, Qt::LeftButton);
        return window->findChild<ReferenceValuesDialog*>();
    }
    // The example indexed, calculated and saved; its ID.
    int SaveIndexedExample() {
        archive->WriteReferenceValues("Euribor 3 mesi", kSeries2026);
        x.FillExample("Mutuo indicizzato");
        x.Indicizza();
        Calcola();
        Salva();
        return ShownId();
    }
    QStringList StoredRates(int contractId) {
        QStringList rates;
        for (const StoredRate& rate : archive->RateRows(contractId)) {
            rates << QString::fromStdString(FormatNumber(rate.Tx, 2));
        }
        return rates;
    }
};

QStringList Rows(const QTreeWidget* list) { return TreeLines(list, " "); }

void Type(QLineEdit* field, const QString& text) { field->setText(text); }

// Every stored value of every reference rate, to compare the archive before and after.
std::string StoredValues(Database& db) {
    std::string dump;
    for (Recordset rows(db, "SELECT * FROM tabValTxRiferimento ORDER BY ID"); !rows.Eof();
         rows.MoveNext()) {
        for (int k = 0; k < rows.FieldCount(); ++k) dump += rows.Value(k).ToText() + ";";
        dump += "\n";
    }
    return dump;
}
void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

}  // namespace

class IndexingTest : public QObject {
    Q_OBJECT
private slots:
    void enabledOnlyForARateWithValues() {
        FakeFixture f;
        QComboBox* rates = f.C().cboTxRif;
        QCOMPARE(f.C().cmdIndicizza->text(), QString("&Indicizza"));
        QCOMPARE(rates->currentText(), QString("Fisso"));
        QVERIFY(!f.C().cmdIndicizza->isEnabled());  // a fixed rate, values or not
        rates->setCurrentText("Euribor 3 mesi");
        QVERIFY(f.C().cmdIndicizza->isEnabled());
        rates->setCurrentText("Euribor 6 mesi");
        QVERIFY(!f.C().cmdIndicizza->isEnabled());
        // Values entered on the Stato page count at once.
        f.archive.series["Euribor 6 mesi"] = {{Ymd(2026, 1, 1), 2.2}};
        emit f.window->Status()->referenceValuesChanged();
        QVERIFY(f.C().cmdIndicizza->isEnabled());
        // New brings back the first reference rate.
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        QVERIFY(!f.C().cmdIndicizza->isEnabled());
    }

    // An indexed contract edited and calculated again keeps its indexation when the reference
    // rate has values (and says so), and is warned that its rates are no longer indexed when
    // it has none; a contract never indexed is calculated as typed.
    void anEditedIndexedContractIsIndexedAgain_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("values");
        QTest::addColumn<QStringList>("rates");
        QTest::addColumn<QString>("message");
        const QString again = "Le rate sono state indicizzate di nuovo con i valori di \"Euribor 3 "
                              "mesi\" più lo spread, come con Indicizza.";
        const QString lost = "Il tasso di riferimento \"Euribor 3 mesi\" non ha valori: le rate "
                             "non sono più indicizzate, tutte al Tasso più lo Spread.";
        QStringList widerSpread;
        for (const QString& rate : kIndexedRates) {
            widerSpread << QString::number(rate.toStdString() == "3,50"   ? 4.0
                                           : rate.toStdString() == "4,00" ? 4.5
                                                                          : 3.75,
                                           'f', 2)
                               .replace('.', ',');
        }
        QTest::newRow("spread, values") << "txtSpread" << true << widerSpread << again;
        QTest::newRow("spread, no values") << "txtSpread" << false << QStringList(12, "4,00")
                                           << lost;
        QTest::newRow("count, values") << "txtRate" << true << kIndexedRates + QStringList{"3,25"}
                                       << again;
    }
    void anEditedIndexedContractIsIndexedAgain() {
        QFETCH(QString, edit);
        QFETCH(bool, values);
        FakeFixture f;
        f.x.FillExample("Mutuo");
        f.x.Indicizza();
        f.Calcola();
        QCOMPARE(f.x.Column(1), kIndexedRates);
        if (!values) f.archive.series["Euribor 3 mesi"].clear();
        if (edit == "txtSpread") {
            f.Enter("txtSpread", "2");
        } else {
            f.Enter("txtRate", "13");
        }
        f.boxes.shown.clear();
        f.Calcola();
        QTEST(f.x.Column(1), "rates");
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QTEST(QString::fromStdString(f.boxes.shown[0].prompt), "message");
        QVERIFY(!f.Stale());
        QVERIFY(f.C().cmdSalva->isEnabled());
        // Said once: the next calculation is as quiet as any.
        f.Calcola();
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
    }

    void fillsTheRateListAndTasso() {
        FakeFixture f;
        f.x.FillExample("Mutuo");
        f.Enter("txtTasso", "2");
        f.Calcola();
        QVERIFY(!f.Stale());
        f.x.Indicizza();
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(f.Text("txtTasso"), QString("2,00"));
        QCOMPARE(f.x.Column(1), kIndexedRates);
        QCOMPARE(f.x.Column(0).first(), QString("15/02/26"));
        QCOMPARE(f.x.Column(0).last(), QString("15/01/27"));
        // The shown result no longer matches: Calcola again.
        QVERIFY(f.Stale());
        QVERIFY(!f.C().cmdSalva->isEnabled());
        // The previous list held the contract's own rate: the rows that differ are marked.
        QVERIFY(!f.x.Marked(0));
        QVERIFY(f.x.Marked(3));
    }

    void refusals_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no count") << "txtRate" << "0" << "Inserire il Numero di rate!" << "txtRate";
        QTest::newRow("no contract date") << "txtContract" << "32/01/26"
                                          << "Inserire una data valida!" << "txtContract";
        QTest::newRow("no first date") << "txtStart" << "15/13/26" << "Inserire una data valida!"
                                       << "txtStart";
        QTest::newRow("series starts later")
            << "txtContract"
            << "15/12/25"
            << "Il tasso di riferimento \"Euribor 3 mesi\" non ha valori in vigore al "
               "15/12/2025: il primo è del 01/01/2026."
            << "";
    }
    void refusals() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        FakeFixture f;
        f.x.FillExample("Mutuo");
        f.Enter("txtTasso", "2");
        f.Enter(field.toLatin1().constData(), text);
        f.Calcola();
        const QStringList before = f.x.Column(1);
        const QString tasso = f.Text("txtTasso");
        f.boxes.shown.clear();
        f.x.Indicizza();
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(f.boxes.shown[0].prompt), message);
        QCOMPARE(f.x.Column(1), before);
        QCOMPARE(f.Text("txtTasso"), tasso);
        if (!focus.isEmpty()) QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    // An empty contract date is today, an empty first date one period on, as Calcola fills them.
    void emptyDatesAreTodayAndOnePeriodOn() {
        FakeFixture f;
        f.archive.series["Euribor 3 mesi"] = {{Ymd(2026, 1, 1), 2.0}};
        f.x.FillExample("Mutuo");
        f.Field("txtContract")->clear();
        f.Field("txtStart")->clear();
        f.x.Indicizza();
        QCOMPARE(f.Text("txtContract"), QString("10/06/26"));
        QCOMPARE(f.Text("txtStart"), QString("10/07/26"));
        QCOMPARE(f.x.Column(0).mid(0, 2), QStringList({"10/07/26", "10/08/26"}));
    }

    // The published example: the indexed plan is the plan of the same rates typed by hand.
    void indexedPlanEqualsTheListTypedByHand() {
        RealFixture f;
        f.archive->WriteReferenceValues("Euribor 3 mesi", kSeries2026);
        f.x.FillExample("Mutuo indicizzato");
        f.x.Indicizza();
        QCOMPARE(f.x.Column(1), kIndexedRates);
        f.Calcola();
        QVERIFY(f.boxes.shown.empty());
        const QStringList indexed = f.GridTexts();
        QCOMPARE(f.window->Contract()->Plan().rows[3].Tasso, 0.04f);
        QCOMPARE(f.Cell(4, 2), QString("850,66"));  // the fourth instalment, at 4 %

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.x.FillExample("Mutuo indicizzato");
        f.Enter("txtTasso", "2");
        f.Calcola();
        for (const auto& [row, rate] : {std::pair{3, "4"}, std::pair{6, "3,25"}}) {
            f.x.List()->setCurrentItem(f.x.List()->topLevelItem(row));
            f.boxes.ScriptText(rate);
            f.boxes.ScriptAnswer(BoxAnswer::Yes);
            f.window->Contract()->EditRateListRow();
        }
        QCOMPARE(f.x.Column(1), kIndexedRates);
        f.Calcola();
        QCOMPARE(f.GridTexts(), indexed);
    }

    // A stored contract keeps its plan; reloaded, "Indicizza" re-prices it with the values
    // imported since, and the rows that changed are marked.
    void reloadedContractIsRepriced() {
        RealFixture f;
        const int id = f.SaveIndexedExample();
        QCOMPARE(f.StoredRates(id), kIndexedRates);

        f.archive->WriteReferenceValues("Euribor 3 mesi", {{Ymd(2026, 10, 1), 2.0}});
        QCOMPARE(f.StoredRates(id), kIndexedRates);  // the stored plan is left alone
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.Click(f.ContractNode("Mutuo indicizzato"));
        QCOMPARE(f.x.Column(1), kIndexedRates);
        QVERIFY(f.C().cmdIndicizza->isEnabled());
        f.x.Indicizza();
        QStringList repriced = kIndexedRates;
        for (int row = 9; row < 12; ++row) repriced[row] = "3,50";
        QCOMPARE(f.x.Column(1), repriced);
        for (int row = 0; row < 12; ++row) QCOMPARE(f.x.Marked(row), row >= 9);
        const QTreeWidgetItem* changed = f.x.List()->topLevelItem(9);
        QCOMPARE(changed->toolTip(1), QString("Prima: 3,25 %"));
        QCOMPARE(changed->background(1).color(), RateListView::kRateUp);
        // The marks stay through Calcola, and the new plan is saved.
        f.Calcola();
        QVERIFY(f.x.Marked(9));
        QCOMPARE(f.window->Contract()->Plan().rows[9].Tasso, 0.035f);
        f.Salva();
        QCOMPARE(f.StoredRates(id), repriced);
    }

    // An index worth 0,00 on the contract date: Tasso 0,00 and every rate the spread's. The
    // plan is that of the same contract at 1,50 typed by hand, also once saved and reloaded;
    // a Tasso of 0 typed with the same spread is still refused.
    void zeroIndexWithASpread() {
        RealFixture f;
        f.archive->WriteReferenceValues("Euribor 3 mesi", {{Ymd(2026, 1, 1), 0.0}});
        f.x.FillExample("Mutuo a indice zero");
        f.x.Indicizza();
        QCOMPARE(f.Text("txtTasso"), QString("0,00"));
        QCOMPARE(f.x.Column(1), QStringList(12, "1,50"));
        f.Calcola();
        QVERIFY(f.boxes.shown.empty());
        const QStringList indexed = f.GridTexts();
        const QString instalment = f.Text("txtResult");
        f.Salva();
        QVERIFY(f.boxes.shown.empty());

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.x.FillExample("Mutuo all'1,5");
        f.Field("txtSpread")->setText("0");
        f.Enter("txtTasso", "1,5");
        f.Calcola();
        QCOMPARE(f.GridTexts(), indexed);
        QCOMPARE(f.Text("txtResult"), instalment);

        f.boxes.ScriptAnswer(BoxAnswer::No);
        f.Click(f.ContractNode("Mutuo a indice zero"));
        f.boxes.shown.clear();
        f.Calcola();
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(f.GridTexts(), indexed);

        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.x.FillExample("Mutuo a tasso zero");
        f.Enter("txtTasso", "0");
        f.Calcola();
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
        QCOMPARE(f.Prompt(0), QString("Inserire il Tasso!"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("txtTasso"));
    }

    void valuesEditedOnTheStatusPage() {
        RealFixture f;
        QVERIFY(!f.S()->cmdValTxRif->isEnabled());
        f.window->Tabs()->setCurrentIndex(2);
        Pick(f.S()->lstSupTab, "Tipologia");
        Pick(f.S()->lstSupVal, "Leasing");
        QVERIFY(!f.S()->cmdValTxRif->isEnabled());  // financing types have no values
        ReferenceValuesDialog* d = f.OpenValues("Euribor 6 mesi");
        QVERIFY(d != nullptr);
        QVERIFY(d->isVisible());
        QCOMPARE(d->windowTitle(), QString("Valori di Euribor 6 mesi"));
        QCOMPARE(Rows(d->lsvValTxRif),
                 QStringList({"02/01/2023 2,69", "03/07/2023 3,80", "02/01/2024 3,86"}));

        // Added, with a point for the comma and one digit for day and month.
        Type(d->txtValData, "1/4/2026");
        Type(d->txtValValore, "-0.125");
        Press(d->cmdValNuovo);
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(Rows(d->lsvValTxRif).last(), QString("01/04/2026 -0,125"));
        // The same date again: replaced on Yes.
        Type(d->txtValData, "01/04/2026");
        Type(d->txtValValore, "2,6");
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        Press(d->cmdValNuovo);
        QCOMPARE(f.Prompt(0), QString("Il 01/04/2026 ha già il valore -0,125. Sostituirlo?"));
        QCOMPARE(Rows(d->lsvValTxRif).last(), QString("01/04/2026 2,60"));
        QCOMPARE(Rows(d->lsvValTxRif).size(), 4);

        // A value moved to another date.
        d->lsvValTxRif->setCurrentItem(d->lsvValTxRif->topLevelItem(0));
        emit d->lsvValTxRif->itemClicked(d->lsvValTxRif->topLevelItem(0), 0);
        QCOMPARE(d->txtValData->text(), QString("02/01/2023"));
        QCOMPARE(d->txtValValore->text(), QString("2,69"));
        Type(d->txtValData, "03/01/2023");
        Press(d->cmdValModifica);
        QCOMPARE(Rows(d->lsvValTxRif).first(), QString("03/01/2023 2,69"));

        // Deleted on Yes only.
        f.boxes.shown.clear();
        d->lsvValTxRif->setCurrentItem(d->lsvValTxRif->topLevelItem(0));
        Press(d->cmdValCancella);
        QCOMPARE(f.Prompt(0), QString("Cancellare il valore del 03/01/2023?"));
        QCOMPARE(Rows(d->lsvValTxRif).size(), 4);
        d->lsvValTxRif->setCurrentItem(d->lsvValTxRif->topLevelItem(0));
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        Press(d->cmdValCancella);
        QCOMPARE(Rows(d->lsvValTxRif).first(), QString("03/07/2023 3,80"));

        RecordingMessageBoxes quiet;
        QCOMPARE(ReferenceRateValues(f.db, quiet).Series(4),
                 (std::vector<IndexValue>{
                     {Ymd(2023, 7, 3), 3.80}, {Ymd(2024, 1, 2), 3.86}, {Ymd(2026, 4, 1), 2.6}}));
        Press(d->cmdValChiudi);
        QVERIFY(!d->isVisible());
    }

    void editorRefusals_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("date") << "31/02/2026" << "2,5" << "Inserire una data valida!";
        QTest::newRow("value") << "01/02/2026" << "due"
                               << "Inserire un valore valido, in percentuale (per esempio 2,50).";
        QTest::newRow("beyond") << "01/02/2026" << "250" << "Inserire un valore fra -100 e 100.";
    }
    void editorRefusals() {
        QFETCH(QString, date);
        QFETCH(QString, value);
        QFETCH(QString, message);
        RealFixture f;
        ReferenceValuesDialog* d = f.OpenValues("Euribor 6 mesi");
        QVERIFY(d != nullptr);
        const std::string before = StoredValues(f.db);
        Type(d->txtValData, date);
        Type(d->txtValValore, value);
        Press(d->cmdValNuovo);
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
        QCOMPARE(f.Prompt(0), message);
        QCOMPARE(QString::fromStdString(f.boxes.shown[0].title),
                 QString("Errore  Quotaplan 4.0.0"));
        // Nothing chosen in the list: nothing to change or delete.
        Press(d->cmdValModifica);
        QCOMPARE(f.Prompt(1), QString("Selezionare un valore da modificare."));
        Press(d->cmdValCancella);
        QCOMPARE(f.Prompt(2), QString("Selezionare un valore dalla lista dei valori."));
        QCOMPARE(StoredValues(f.db), before);
    }

    void importFromTheStatusPage() {
        RealFixture f;
        QTemporaryDir folder;
        const std::string bad = folder.filePath("bad.csv").toStdString();
        const std::string good = folder.filePath("good.csv").toStdString();
        std::ofstream(bad) << "Data;Valore\n01/01/2026;2,00\n01/04/2026;2.50\n";
        std::ofstream(good) << "Data;Valore\n01/01/2026;2,00\n01/04/2026;2,50\n";
        // A new reference rate has no values: chosen on Calcoli, "Indicizza" stays off.
        f.window->Tabs()->setCurrentIndex(2);
        Pick(f.S()->lstSupTab, "TxRiferimento");
        f.S()->txtValue->setText("Euribor 12 mesi");
        Press(f.S()->cmdSupNew);
        f.C().cboTxRif->setCurrentText("Euribor 12 mesi");
        QVERIFY(!f.C().cmdIndicizza->isEnabled());

        ReferenceValuesDialog* d = f.OpenValues("Euribor 12 mesi");
        QVERIFY(d != nullptr);
        QCOMPARE(d->lsvValTxRif->topLevelItemCount(), 0);
        Press(d->cmdValImporta);  // the file chooser cancelled
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(f.boxes.fileTitles,
                 std::vector<std::string>{"Importa i valori di Euribor 12 mesi"});
        f.boxes.ScriptFile(bad);
        Press(d->cmdValImporta);
        QCOMPARE(f.Prompt(0), QString("Riga 3: valore non valido \"2.50\" (serve un numero con la "
                                      "virgola decimale, come 2,50). Nessun valore importato."));
        QCOMPARE(d->lsvValTxRif->topLevelItemCount(), 0);
        QVERIFY(!f.C().cmdIndicizza->isEnabled());
        f.boxes.ScriptFile(good);
        Press(d->cmdValImporta);
        QCOMPARE(f.Prompt(1),
                 QString("Importati 2 valori di \"Euribor 12 mesi\": 2 nuovi, 0 sostituiti."));
        QCOMPARE(Rows(d->lsvValTxRif), QStringList({"01/01/2026 2,00", "01/04/2026 2,50"}));
        // The rate chosen on Calcoli can be indexed now.
        QVERIFY(f.C().cmdIndicizza->isEnabled());
    }

    // Pictures for the README, when a folder is given: the Calcoli page after re-pricing a
    // stored contract, and the values of a reference rate.
    void grabPictures() {
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (folder.isEmpty()) QSKIP("QUOTAPLAN_SCREENSHOTS not set");
        RealFixture f;
        f.SaveIndexedExample();
        f.archive->WriteReferenceValues("Euribor 3 mesi", {{Ymd(2026, 10, 1), 2.0}});
        QTest::mouseClick(f.C().cmdNuovo, Qt::LeftButton);
        f.TypeNode("Leasing")->setExpanded(true);
        f.Click(f.ContractNode("Mutuo indicizzato"));
        f.x.Indicizza();
        f.Calcola();
        QApplication::processEvents();
        QVERIFY(f.window->grab().save(QDir(folder).filePath("indicizzazione.png")));
        ReferenceValuesDialog* d = f.OpenValues("Euribor 3 mesi");
        QVERIFY(d != nullptr);
        d->lsvValTxRif->setCurrentItem(d->lsvValTxRif->topLevelItem(5));
        emit d->lsvValTxRif->itemClicked(d->lsvValTxRif->topLevelItem(5), 0);
        QApplication::processEvents();
        QVERIFY(d->grab().save(QDir(folder).filePath("valori-tasso.png")));
    }
};

QTEST_MAIN(IndexingTest)
#include "test_indexing.moc"
