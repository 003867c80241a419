// The dialogs of the Stato page with a real decree's table: the usury category picked from
// a list with search at an ordinary width, and the thresholds and series windows resizable,
// their sizes kept between runs, the categories' names whole.
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "ui/choice_dialog.h"
#include "ui/qt_message_boxes.h"
#include "ui/reference_values_dialog.h"
#include "ui/status_page.h"
#include "ui/usury_thresholds_dialog.h"
#include "ui/window_placement.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

// The categories of a quarterly decree, in its own words: sixteen, some very long.
const std::vector<std::string> kDecreeCategories = {
    "Aperture di credito in conto corrente",
    "Scoperti senza affidamento",
    "Finanziamenti per anticipi su crediti e documenti e sconto di portafoglio commerciale, "
    "finanziamenti all'importazione e anticipo fornitori",
    "Crediti personali",
    "Credito finalizzato all'acquisto rateale",
    "Credito revolving",
    "Finanziamenti con utilizzo di carte di credito",
    "Altri finanziamenti alle famiglie e alle imprese",
    "Prestiti contro cessione del quinto dello stipendio e della pensione",
    "Factoring",
    "Leasing immobiliare a tasso fisso",
    "Leasing immobiliare a tasso variabile",
    "Leasing aeronavale e su autoveicoli",
    "Leasing strumentale",
    "Mutui con garanzia ipotecaria a tasso fisso",
    "Finanziamenti per attività produttive con garanzia pubblica",
};

const std::string& Longest() {
    return *std::max_element(
        kDecreeCategories.begin(), kDecreeCategories.end(),
        [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
}

// The decree's rows of one quarter, a class of amounts each.
void FillDecree(FakeWindowArchive& archive) {
    std::int64_t tegm = 40000;
    for (const std::string& category : kDecreeCategories) {
        archive.WriteUsuryRates(
            {{category, std::nullopt, std::nullopt, *CalendarDate::FromYmd(2026, 1, 1),
              *CalendarDate::FromYmd(2026, 3, 31), Percent::FromTenThousandths(tegm += 3125)}});
    }
}

ChoiceRequest DecreeRequest(const std::string& current) {
    return {"Categoria d'usura della tipologia \"Leasing\":", "Categoria d'usura",
            kDecreeCategories, current, "(nessuna)"};
}

QStringList Shown(const QListWidget* list) {
    QStringList shown;
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->isHidden()) shown.append(list->item(row)->text());
    }
    return shown;
}

QPushButton* Ok(const ChoiceDialog& dialog) { return dialog.buttons->button(QDialogButtonBox::Ok); }

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(settingsFolder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder_.path());
    }

    // Sixteen categories, the longest of 140 characters: the list keeps an ordinary width,
    // its buttons on the dialog, every name whole (wrapped) and in its tooltip.
    void theCategoryListKeepsAnOrdinaryWidth() {
        ChoiceDialog dialog(DecreeRequest("Leasing strumentale"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY2(dialog.width() <= 520, qPrintable(QString::number(dialog.width())));
        QVERIFY(QRect(QPoint(), dialog.size()).contains(dialog.buttons->geometry()));
        QCOMPARE(dialog.windowTitle(), QString("Categoria d'usura"));
        QCOMPARE(dialog.lstScelte->count(), 17);
        QCOMPARE(dialog.lstScelte->item(0)->text(), QString("(nessuna)"));
        QCOMPARE(dialog.lstScelte->currentItem()->text(), QString("Leasing strumentale"));
        QCOMPARE(dialog.Chosen(), std::optional<std::string>("Leasing strumentale"));

        const QString longest = QString::fromStdString(Longest());
        QListWidgetItem* item = dialog.lstScelte->findItems(longest, Qt::MatchExactly).value(0);
        QVERIFY(item != nullptr);
        QCOMPARE(item->toolTip(), longest);
        const QRect cell = dialog.lstScelte->visualItemRect(item);
        QVERIFY(cell.width() <= dialog.lstScelte->viewport()->width());
        const QRect needed = dialog.lstScelte->fontMetrics().boundingRect(
            QRect(0, 0, cell.width(), 1000), Qt::TextWordWrap, longest);
        QVERIFY2(cell.height() >= needed.height(),
                 qPrintable(QStringLiteral("%1 < %2").arg(cell.height()).arg(needed.height())));

        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (!folder.isEmpty()) {
            dialog.lstScelte->scrollToItem(item);
            QApplication::processEvents();
            QVERIFY(dialog.grab().save(QDir(folder).filePath("categoria-usura.png")));
        }
    }

    // What is typed narrows the list, letter case and accents aside; nothing found leaves
    // nothing to choose.
    void theSearchNarrowsTheList_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("capitals") << "LEASING IMMOBILIARE"
                                  << QStringList{"Leasing immobiliare a tasso fisso",
                                                 "Leasing immobiliare a tasso variabile"};
        QTest::newRow("no accent typed") << "attivita"
            << QStringList{"Finanziamenti per attività produttive con garanzia pubblica"};
        QTest::newRow("middle of a name, blanks squeezed")
            << "  quinto   dello "
            << QStringList{
                   "Prestiti contro cessione del quinto dello "
                   "stipendio e della pensione"};
        QTest::newRow("nothing") << "noleggio" << QStringList{};
    }
    void theSearchNarrowsTheList() {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        ChoiceDialog dialog(DecreeRequest(""));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.Chosen(), std::optional<std::string>(""));
        QTest::keyClicks(dialog.txtCerca, typed);
        QCOMPARE(Shown(dialog.lstScelte), shown);
        if (shown.isEmpty()) {
            QCOMPARE(dialog.Chosen(), std::nullopt);
            QVERIFY(!Ok(dialog)->isEnabled());
        } else {
            QCOMPARE(dialog.Chosen(), std::optional<std::string>(shown[0].toStdString()));
            QVERIFY(Ok(dialog)->isEnabled());
        }
        dialog.txtCerca->clear();
        QCOMPARE(Shown(dialog.lstScelte).size(), 17);
    }

    // A double click on a name chooses it and closes the list.
    void aDoubleClickChooses() {
        ChoiceDialog dialog(DecreeRequest(""));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListWidgetItem* item = dialog.lstScelte->item(4);
        const QPoint middle = dialog.lstScelte->visualItemRect(item).center();
        QTest::mouseClick(dialog.lstScelte->viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseDClick(dialog.lstScelte->viewport(), Qt::LeftButton, {}, middle);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Chosen(), std::optional<std::string>("Crediti personali"));
    }

    // "Categoria d'usura…" offers the table's categories; the type's own is chosen when the
    // list opens, as the table writes it, and one the table no longer holds stays listed.
    void theTypesCategoryIsPickedFromTheTable() {
        WindowFixture f;
        FillDecree(f.archive);
        StatusPage* page = OpenTypes(f);
        f.boxes.ScriptChoice("Leasing strumentale");
        QTest::mouseClick(page->cmdCatUsura, Qt::LeftButton);
        QCOMPARE(f.boxes.choices.size(), std::size_t{1});
        const ChoiceRequest& asked = f.boxes.choices[0];
        QCOMPARE(QString::fromStdString(asked.prompt),
                 QString("Categoria d'usura della tipologia \"Leasing\":"));
        QCOMPARE(asked.choices, kDecreeCategories);
        QCOMPARE(asked.current, std::string());
        QCOMPARE(asked.noneCaption, std::string("(nessuna)"));
        QCOMPARE(f.archive.usuryCategories["Leasing"], std::string("Leasing strumentale"));
        QVERIFY(f.boxes.shown.empty());

        f.archive.usuryCategories["Leasing"] = "LEASING STRUMENTALE";
        QTest::mouseClick(page->cmdCatUsura, Qt::LeftButton);  // Annulla
        QCOMPARE(f.boxes.choices[1].current, std::string("Leasing strumentale"));
        QCOMPARE(f.boxes.choices[1].choices, kDecreeCategories);
        QCOMPARE(f.archive.usuryCategories["Leasing"], std::string("LEASING STRUMENTALE"));

        f.archive.usuryCategories["Leasing"] = "Noleggio operativo";
        f.boxes.ScriptChoice("");
        QTest::mouseClick(page->cmdCatUsura, Qt::LeftButton);
        QCOMPARE(f.boxes.choices[2].current, std::string("Noleggio operativo"));
        QCOMPARE(f.boxes.choices[2].choices.front(), std::string("Noleggio operativo"));
        QCOMPARE(f.boxes.choices[2].choices.size(), kDecreeCategories.size() + 1);
        QCOMPARE(f.archive.usuryCategories["Leasing"], std::string());
    }

    void withoutThresholdsNothingIsAsked() {
        WindowFixture f;
        StatusPage* page = OpenTypes(f);
        QTest::mouseClick(page->cmdCatUsura, Qt::LeftButton);
        QVERIFY(f.boxes.choices.empty());
        QCOMPARE(f.boxes.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(f.boxes.shown[0].prompt),
                 QString("L'archivio non ha ancora soglie d'usura: importarle con \"Soglie "
                         "d'usura…\"."));
    }

    // The thresholds window: the designed size is the least, larger the list takes the room
    // and the category column shows the longest name whole; each name is its tooltip too.
    void theThresholdsWindowGrowsAndShowsWholeNames() {
        WindowFixture f;
        FillDecree(f.archive);
        UsuryThresholdsDialog dialog(f.archive, f.boxes, f.window.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), QSize(620, 332));
        QCOMPARE(dialog.minimumSize(), QSize(620, 332));
        QVERIFY(dialog.maximumWidth() > 2000 && dialog.maximumHeight() > 2000);
        QTreeWidgetItem* longest = nullptr;
        for (int row = 0; row < dialog.lsvSoglie->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = dialog.lsvSoglie->topLevelItem(row);
            QCOMPARE(item->toolTip(0), item->text(0));
            if (item->text(0) == QString::fromStdString(Longest())) longest = item;
        }
        QVERIFY(longest != nullptr);
        const QRect list = dialog.lsvSoglie->geometry();
        const QRect chiudi = dialog.cmdSogChiudi->geometry();
        const QRect tegm = dialog.txtSogTEGM->geometry();
        const int tegmColumn = dialog.lsvSoglie->columnWidth(5);

        dialog.resize(1280, 600);
        QApplication::processEvents();
        QCOMPARE(dialog.lsvSoglie->geometry(), list.adjusted(0, 0, 660, 268));
        QCOMPARE(dialog.cmdSogChiudi->geometry(), chiudi.translated(660, 268));
        QCOMPARE(dialog.txtSogTEGM->geometry(), tegm.translated(660, 268));
        QCOMPARE(dialog.txtSogCategoria->width(), 130 + 660);
        QCOMPARE(dialog.lsvSoglie->columnWidth(5), tegmColumn);
        const int needed = dialog.lsvSoglie->fontMetrics().horizontalAdvance(longest->text(0));
        QVERIFY2(dialog.lsvSoglie->columnWidth(0) > needed + 8,
                 qPrintable(
                     QStringLiteral("%1 <= %2").arg(dialog.lsvSoglie->columnWidth(0)).arg(needed)));

        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QVERIFY(dialog.grab().save(QDir(folder).filePath("soglie-usura-grande.png")));
        }
    }

    // Both windows open at the size they had when last closed, kept in the user's settings.
    void theStatoDialogsKeepTheirSize() {
        const std::unique_ptr<QSettings> settings = UserSettings();
        settings->clear();
        WindowFixture f;
        f.window->RememberPlacement(*settings);
        StatusPage* page = f.window->Status();
        f.window->Tabs()->setCurrentIndex(2);

        QTest::mouseClick(page->cmdSoglieUsura, Qt::LeftButton);
        auto* thresholds = f.window->findChild<UsuryThresholdsDialog*>();
        QVERIFY(thresholds != nullptr);
        QCOMPARE(thresholds->size(), QSize(620, 332));
        thresholds->resize(900, 480);
        QTest::mouseClick(thresholds->cmdSogChiudi, Qt::LeftButton);
        QTRY_VERIFY(f.window->findChild<UsuryThresholdsDialog*>() == nullptr);
        QCOMPARE(settings->value("frmSoglieUsura/size").toSize(), QSize(900, 480));

        PickValue(page, "TxRiferimento", "Euribor 3 mesi");
        QTest::mouseClick(page->cmdValTxRif, Qt::LeftButton);
        auto* values = f.window->findChild<ReferenceValuesDialog*>();
        QVERIFY(values != nullptr);
        const QSize designed = values->size();
        QCOMPARE(values->minimumSize(), designed);
        values->resize(designed + QSize(100, 200));
        QApplication::processEvents();
        QCOMPARE(values->cmdValChiudi->geometry().bottom(), values->height() - 9);
        QCOMPARE(values->lsvValTxRif->height(), 246 + 200);
        values->close();  // the close box keeps the size too
        QTRY_VERIFY(f.window->findChild<ReferenceValuesDialog*>() == nullptr);

        WindowFixture again;
        again.window->RememberPlacement(*settings);
        again.window->Tabs()->setCurrentIndex(2);
        QTest::mouseClick(again.window->Status()->cmdSoglieUsura, Qt::LeftButton);
        thresholds = again.window->findChild<UsuryThresholdsDialog*>();
        QVERIFY(thresholds != nullptr);
        QCOMPARE(thresholds->size(), QSize(900, 480));
        thresholds->close();
        QTRY_VERIFY(again.window->findChild<UsuryThresholdsDialog*>() == nullptr);
        PickValue(again.window->Status(), "TxRiferimento", "Euribor 3 mesi");
        QTest::mouseClick(again.window->Status()->cmdValTxRif, Qt::LeftButton);
        values = again.window->findChild<ReferenceValuesDialog*>();
        QVERIFY(values != nullptr);
        QCOMPARE(values->size(), designed + QSize(100, 200));
        values->close();
        QTRY_VERIFY(again.window->findChild<ReferenceValuesDialog*>() == nullptr);

        // A size kept below the least (an older, smaller layout) opens at the least.
        settings->setValue("frmSoglieUsura/size", QSize(300, 200));
        QTest::mouseClick(again.window->Status()->cmdSoglieUsura, Qt::LeftButton);
        thresholds = again.window->findChild<UsuryThresholdsDialog*>();
        QVERIFY(thresholds != nullptr);
        QCOMPARE(thresholds->size(), QSize(620, 332));
        thresholds->close();
    }

    // The series window is as wide as the rate's whole name in its title needs.
    void theSeriesWindowShowsTheRatesWholeName() {
        WindowFixture f;
        const std::string name = "Euribor 3 mesi, media mensile (fonte EMMI)";
        ReferenceValuesDialog dialog(f.archive, f.boxes, name, f.window.get());
        QCOMPARE(dialog.windowTitle(), QString::fromStdString("Valori di " + name));
        QVERIFY2(dialog.width() >= TitleBarWidth(dialog.windowTitle()),
                 qPrintable(QStringLiteral("%1 < %2")
                                .arg(dialog.width())
                                .arg(TitleBarWidth(dialog.windowTitle()))));
        QVERIFY(dialog.width() > 300);
        QCOMPARE(dialog.cmdValChiudi->geometry().right(), dialog.width() - 9);
        // A short name keeps the designed size.
        ReferenceValuesDialog shortName(f.archive, f.boxes, "IRS", f.window.get());
        QCOMPARE(shortName.size(), QSize(300, 262));
    }

private:
    static void PickValue(StatusPage* page, const QString& table, const QString& value) {
        page->SelectTable(table);
        const auto found = page->lstSupVal->findItems(value, Qt::MatchExactly);
        QVERIFY(found.size() == 1);
        page->lstSupVal->setCurrentItem(found[0]);
        emit page->lstSupVal->itemClicked(found[0]);
        // The fixed archive finds no IDs from texts: the one of the value's place.
        page->txtValueID->setText(QString::number(page->lstSupVal->row(found[0]) + 1));
    }
    static StatusPage* OpenTypes(WindowFixture& f) {
        StatusPage* page = f.window->Status();
        f.window->Tabs()->setCurrentIndex(2);
        PickValue(page, "Tipologia", "Leasing");
        return page;
    }

    QTemporaryDir settingsFolder_;
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
