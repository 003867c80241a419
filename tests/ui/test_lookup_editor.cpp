// The lookup-table editor on the page "Stato", over a copy of the real archive: the
// messages and their title, trimmed and apostrophe values, case-blind duplicates, renaming
// to itself, types and reference rates in use, the question before a delete, a broken
// lookup table, and the refresh that follows, which keeps the chosen table.
#include <QListWidget>

#include "archive_fixture.h"
#include "common/clock.h"
#include "ui/status_page.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

struct EditorFixture : ArchiveFixture {
    StatusPage* S() const { return window->Status(); }
    void Table(const QString& entry) const { Pick(S()->lstSupTab, entry); }
    void Value(const QString& text) const { Pick(S()->lstSupVal, text); }
    void Type(const QString& text) const { S()->txtValue->setText(text); }
    void Press(QPushButton* button) const { QTest::mouseClick(button, Qt::LeftButton); }
    QStringList Values() const {
        QStringList texts;
        for (int i = 0; i < S()->lstSupVal->count(); ++i) texts << S()->lstSupVal->item(i)->text();
        return texts;
    }
    QStringList Stored(const std::string& table) {
        QStringList texts;
        for (Recordset rows(db, "SELECT Descrizione FROM " + table + " ORDER BY ID"); !rows.Eof();
             rows.MoveNext()) {
            texts << QString::fromStdString(rows.Value(0).ToText());
        }
        return texts;
    }
    QStringList Combo(QComboBox* combo) const {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
        return texts;
    }
    QString Title(std::size_t index) const {
        return QString::fromStdString(boxes.shown.at(index).title);
    }
};

const QStringList kTypes = {"Leasing", "Mutuo", "Credito al consumo"};

}  // namespace

class LookupEditorTest : public QObject {
    Q_OBJECT
private slots:
    void refusalsShowTheirMessageUnderErrore_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString empty = "Digitare un valore. Inserimento non riuscito.";
        const QString taken = "Descrizione già esistente. Inserimento non riuscito.";
        QTest::newRow("no table") << "" << "Noleggio"
                                  << "Selezionare la tabella a cui aggiungere il valore. "
                                     "Inserimento non riuscito.";
        QTest::newRow("empty") << "Tipologia" << "" << empty;
        QTest::newRow("blanks only") << "Tipologia" << "   " << empty;
        QTest::newRow("other letter case") << "Tipologia" << "LEASING" << taken;
        QTest::newRow("accented case") << "TxRiferimento" << "EURIBOR 3 MESI" << taken;
        QTest::newRow("surrounding blanks") << "Tipologia" << "  mutuo " << taken;
    }
    void refusalsShowTheirMessageUnderErrore() {
        QFETCH(QString, table);
        QFETCH(QString, value);
        QFETCH(QString, message);
        EditorFixture f;
        if (!table.isEmpty()) f.Table(table);
        f.Enter("txtDescBene", "Contratto non salvato");
        f.Type(value);
        f.Press(f.S()->cmdSupNew);
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0), message);
        QCOMPARE(f.Title(0), QString("Errore  Quotaplan 4.0.0"));
        QCOMPARE(f.Stored("supTipologia"), kTypes);
        // An add that stops before writing does not refresh: the form is kept.
        QCOMPARE(f.Text("txtDescBene"), QString("Contratto non salvato"));
    }

    void addStoresTheTrimmedTextAndRefreshes() {
        EditorFixture f;
        f.Table("Tipologia");
        f.Enter("txtDescBene", "Perso");
        f.Type("  Noleggio  ");
        f.Press(f.S()->cmdSupNew);
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(f.Stored("supTipologia"), kTypes + QStringList{"Noleggio"});
        QCOMPARE(f.Combo(f.C().cboTipoLea), kTypes + QStringList{"Noleggio"});
        QVERIFY(f.TypeNode("Noleggio") != nullptr);
        QCOMPARE(f.Values(), kTypes + QStringList{"Noleggio"});
        QCOMPARE(f.S()->lstSupTab->currentItem()->text(), QString("Tipologia"));
        QCOMPARE(f.S()->txtValue->text(), QString());
        QCOMPARE(f.S()->txtValueID->text(), QString());
        QCOMPARE(f.Text("txtDescBene"), QString());
    }

    void wildcardCharactersAreTakenAsThemselves() {
        EditorFixture f;
        f.Table("TxRiferimento");
        f.Type("Euribor%");
        f.Press(f.S()->cmdSupNew);
        f.Table("TxRiferimento");
        f.Type("Euribor_1 mese");
        f.Press(f.S()->cmdSupNew);
        QVERIFY(f.boxes.shown.empty());
        QVERIFY(f.Stored("supTxRiferimento").contains("Euribor%"));
        QVERIFY(f.Stored("supTxRiferimento").contains("Euribor_1 mese"));
        // Selecting one finds its own ID, not the first value the pattern would match.
        f.Table("TxRiferimento");
        f.Value("Euribor_1 mese");
        QCOMPARE(f.S()->txtValueID->text(), QString("7"));
    }

    void anApostropheValueGoesTheWholeWay() {
        EditorFixture f;
        f.Table("Tipologia");
        f.Type("Prestito d'onore");
        f.Press(f.S()->cmdSupNew);
        f.Value("Prestito d'onore");
        QCOMPARE(f.S()->txtValue->text(), QString("Prestito d'onore"));
        QCOMPARE(f.S()->txtValueID->text(), QString("4"));
        // Renaming to its own text is allowed.
        f.Press(f.S()->cmdSupEdit);
        QVERIFY(f.boxes.shown.empty());
        f.Value("Prestito d'onore");
        f.Type("Prestito d'onore bis");
        f.Press(f.S()->cmdSupEdit);
        QVERIFY(f.boxes.shown.empty());
        QCOMPARE(f.Stored("supTipologia"), kTypes + QStringList{"Prestito d'onore bis"});
        f.Value("Prestito d'onore bis");
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        f.Press(f.S()->cmdSupDel);
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0), QString("Cancellare \"Prestito d'onore bis\" dalla tabella "
                                      "Tipologia?"));
        QCOMPARE(f.Stored("supTipologia"), kTypes);
        QCOMPARE(f.Combo(f.C().cboTipoLea), kTypes);
    }

    void renameRefusals() {
        EditorFixture f;
        f.Table("Tipologia");
        f.Press(f.S()->cmdSupEdit);
        QCOMPARE(f.Prompt(0), QString("Selezionare un valore da modificare."));
        f.Value("Mutuo");
        f.Type(" ");
        f.Press(f.S()->cmdSupEdit);
        QCOMPARE(f.Prompt(1), QString("Digitare un valore valido. Modifica non riuscita."));
        f.Value("Mutuo");
        f.Type("leasing");
        f.Press(f.S()->cmdSupEdit);
        QCOMPARE(f.Prompt(2), QString("Descrizione già esistente. Inserimento non riuscito."));
        QCOMPARE(f.Stored("supTipologia"), kTypes);
        QCOMPARE(f.S()->lstSupTab->currentItem()->text(), QString("Tipologia"));
    }

    // A financing type or a reference rate of the stored contract is kept, as deleting it
    // would leave the contract pointing at nothing; an unused one goes on Yes.
    void aValueInUseIsKeptAndAnUnusedOneGoes_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("used");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("unused");
        QTest::newRow("type") << "Tipologia" << "Leasing"
                              << "Tipologia già assegnata ad un contratto. Cancellazione non "
                                 "riuscita."
                              << "Credito al consumo";
        QTest::newRow("reference rate") << "TxRiferimento" << "Fisso"
                                        << "Tasso di riferimento già assegnato ad un contratto. "
                                           "Cancellazione non riuscita."
                                        << "IRS 10 anni";
    }
    void aValueInUseIsKeptAndAnUnusedOneGoes() {
        QFETCH(QString, table);
        QFETCH(QString, used);
        QFETCH(QString, refusal);
        QFETCH(QString, unused);
        ScopedToday today(*CalendarDate::FromYmd(2006, 1, 15));
        EditorFixture f;
        f.FillSmall("Pialla", "6");
        QCOMPARE(f.C().cboTipoLea->currentText(), QString("Leasing"));
        QCOMPARE(f.C().cboTxRif->currentText(), QString("Fisso"));
        f.Calcola();
        f.Salva();
        const std::string stored = "sup" + table.toStdString();
        const QStringList before = f.Stored(stored);
        QComboBox* choices = table == "Tipologia" ? f.C().cboTipoLea : f.C().cboTxRif;
        f.Enter("txtDescBene", "Modulo in corso");
        f.Table(table);
        f.Value(used);
        f.Press(f.S()->cmdSupDel);
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0), refusal);
        QCOMPARE(f.Title(0), QString("Errore  Quotaplan 4.0.0"));
        QCOMPARE(f.Stored(stored), before);
        // Refused without the refresh: the panel and the form are as they were.
        QCOMPARE(f.S()->txtValue->text(), used);
        QCOMPARE(f.Text("txtDescBene"), QString("Modulo in corso"));

        f.Value(unused);
        f.boxes.ScriptAnswer(BoxAnswer::Yes);
        f.Press(f.S()->cmdSupDel);
        QCOMPARE(f.boxes.shown.size(), std::size_t(2));
        QCOMPARE(f.Prompt(1), QString("Cancellare \"%1\" dalla tabella %2?").arg(unused, table));
        QStringList after = before;
        after.removeOne(unused);
        QCOMPARE(f.Stored(stored), after);
        QCOMPARE(f.Values(), after);
        QCOMPARE(f.Combo(choices), after);
        QVERIFY(f.TypeNode(unused) == nullptr);
        QVERIFY(f.ContractNode("Pialla") != nullptr);
        f.Press(f.S()->cmdSupDel);
        QCOMPARE(f.Prompt(2), QString("Selezionare un valore dalla lista dei valori. "
                                      "Cancellazione non riuscita."));
    }

    // Every delete is asked first; "No" changes nothing, not even the form. The question
    // names the value the selection stands for, whatever has been typed since.
    void aDeleteIsAskedFirst() {
        EditorFixture f;
        f.Enter("txtDescBene", "Modulo in corso");
        f.Table("Tipologia");
        f.Value("Credito al consumo");
        f.Type("Mutuo");
        f.Press(f.S()->cmdSupDel);
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0),
                 QString("Cancellare \"Credito al consumo\" dalla tabella Tipologia?"));
        QCOMPARE(f.boxes.shown[0].buttons, BoxButtons::YesNo);
        QCOMPARE(f.Stored("supTipologia"), kTypes);
        QCOMPARE(f.S()->txtValue->text(), QString("Mutuo"));
        QCOMPARE(f.Text("txtDescBene"), QString("Modulo in corso"));
    }

    // A refresh after a refusal or a change shows the same table again, so a later click in
    // "Valori" never lands in the other table unnoticed.
    void theChosenTableStaysAcrossRefreshes_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        for (const QString table : {"Tipologia", "TxRiferimento"}) {
            const QByteArray name = table.toUtf8();
            QTest::newRow(name + ", rename without a value") << table << "cmdSupEdit"
                << "Selezionare un valore da modificare.";
            QTest::newRow(name + ", delete without a value") << table << "cmdSupDel"
                << "Selezionare un valore dalla lista dei valori. Cancellazione non riuscita.";
            QTest::newRow(name + ", add") << table << "cmdSupNew" << "";
        }
    }
    void theChosenTableStaysAcrossRefreshes() {
        QFETCH(QString, table);
        QFETCH(QString, command);
        QFETCH(QString, message);
        EditorFixture f;
        f.Table(table);
        const QStringList before = f.Values();
        if (message.isEmpty()) f.Type("Nuovo valore");
        f.Press(f.S()->findChild<QPushButton*>(command));
        QCOMPARE(f.boxes.shown.size(), std::size_t(message.isEmpty() ? 0 : 1));
        if (!message.isEmpty()) QCOMPARE(f.Prompt(0), message);
        QCOMPARE(f.S()->lstSupTab->currentItem()->text(), table);
        QCOMPARE(f.Values(),
                 message.isEmpty() ? before + QStringList{"Nuovo valore"} : before);
    }

    void aBrokenLookupTableIsReportedInWords() {
        EditorFixture f;
        // A "sup" table without the Descrizione column: every query on it fails.
        const bool sqlite = WindowArchiveEngine() == EngineKind::Sqlite;
        QVERIFY(sqlite ? f.db.Execute("CREATE TABLE supRotta (ID INTEGER PRIMARY KEY, Nome TEXT)")
                       : f.db.ExecuteScript("CREATE TABLE \"supRotta\" (\"ID\" integer GENERATED "
                                            "BY DEFAULT AS IDENTITY PRIMARY KEY, \"Nome\" text)"));
        QVERIFY(f.db.Execute("INSERT INTO supRotta (Nome) VALUES ('x')"));
        f.S()->FillTableList();
        f.Table("Rotta");
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(f.Prompt(0),
                 QString("3265 - Non è possibile trovare l'elemento in questa collection!\n"));
        f.Type("Valore");
        f.Press(f.S()->cmdSupNew);
        QCOMPARE(f.boxes.shown.size(), std::size_t(2));
        QCOMPARE(f.Prompt(1),
                 QString(sqlite ? "1 - no such column: Descrizione\n"
                                : "-2147467259 - column \"Descrizione\" does not exist (SQLSTATE "
                                  "42703)\n"));
        QCOMPARE(f.boxes.shown[1].icon, BoxIcon::None);
        QCOMPARE(f.Stored("supTipologia"), kTypes);
    }
};

QTEST_MAIN(LookupEditorTest)
#include "test_lookup_editor.moc"
