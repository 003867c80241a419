// Qt's own dialogs in Italian: the file dialog, the toolbar of "Anteprima" and a message
// box's buttons, from Qt's translation and the program's own for what Qt's lacks.
#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolBar>

#include "common/clock.h"
#include "ui/italian_translations.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

class ItalianDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const ItalianTranslations installed = InstallItalianTranslations(*qApp);
        QVERIFY2(installed.qtLoaded, "qtbase_it.qm: is qt6-translations-l10n installed?");
        QVERIFY(installed.programLoaded);
    }

    // The file dialog "Importa…" opens: its captions and buttons, and the type of a folder
    // in its list, which only the program's translation gives.
    void theFileDialogSpeaksItalian() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkdir("Soglie 2026"));
        QFileDialog dialog(nullptr, QStringLiteral("Importa soglie d'usura"), folder.path(),
                           QStringLiteral("Soglie (*.csv *.txt)"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setViewMode(QFileDialog::Detail);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.findChild<QLabel*>("lookInLabel")->text(), QString("Cerca in:"));
        QCOMPARE(dialog.findChild<QLabel*>("fileNameLabel")->text(), QString("&Nome del file:"));
        QCOMPARE(dialog.findChild<QLabel*>("fileTypeLabel")->text(), QString("File di tipo:"));
        auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
        QVERIFY(buttons != nullptr);
        QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), QString("&Apri"));
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("Annulla"));

        auto* files = dialog.findChild<QFileSystemModel*>();
        QVERIFY(files != nullptr);
        QCOMPARE(files->headerData(0, Qt::Horizontal).toString(), QString("Nome"));
        QCOMPARE(files->headerData(3, Qt::Horizontal).toString(), QString("Data di modifica"));
        const QModelIndex sub = files->index(QDir(folder.path()).filePath("Soglie 2026"));
        QTRY_COMPARE(files->data(sub.siblingAtColumn(2)).toString(), QString("Cartella"));
    }

    // Every command of the preview's toolbar reads in Italian.
    void thePreviewToolbarSpeaksItalian() {
        const ScopedToday today(*CalendarDate::FromYmd(2006, 1, 15));
        WindowFixture f;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        f.window->Plan()->SetPrinter(&printer);
        f.Enter("txtDescBene", "Pressa");
        f.FillLeasing();
        f.Calcola();
        QTest::mouseClick(f.window->Plan()->cmdAnteprima, Qt::LeftButton);
        auto* preview = f.window->findChild<QPrintPreviewDialog*>("dlgAnteprima");
        QVERIFY(preview != nullptr);
        QTRY_VERIFY(preview->isVisible());
        auto* toolbar = preview->findChild<QToolBar*>();
        QVERIFY(toolbar != nullptr);
        QStringList texts;
        for (const QAction* action : toolbar->actions()) {
            if (!action->text().isEmpty()) texts.append(action->text());
        }
        QCOMPARE(
            texts,
            (QStringList{"Adatta alla larghezza", "Adatta alla pagina", "Rimpicciolisci",
                         "Ingrandisci", "Verticale", "Orizzontale", "Prima pagina",
                         "Pagina precedente", "Pagina successiva", "Ultima pagina",
                         "Mostra pagina singola", "Mostra pagine affiancate",
                         "Mostra anteprima di tutte le pagine", "Impostazione pagina", "Stampa"}));

        // Its print command opens the print dialog, in Italian too: the page range's captions,
        // one from Qt's translation and one from the program's.
        toolbar->actions().last()->trigger();
        auto* dialog = preview->findChild<QPrintDialog*>("dlgStampa");
        QVERIFY(dialog != nullptr);
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->findChild<QRadioButton*>("printAll")->text(), QString("Stampa tutto"));
        QCOMPARE(dialog->findChild<QRadioButton*>("pagesRadioButton")->text(), QString("Pagine"));
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QVERIFY(preview->grab().save(QDir(folder).filePath("anteprima.png")));
            QVERIFY(dialog->grab().save(QDir(folder).filePath("stampa-dialogo.png")));
        }
        dialog->reject();
        preview->close();
    }

    void aMessageBoxsButtonsSpeakItalian() {
        QMessageBox box(QMessageBox::Question, "Quotaplan", "Salvare?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Sì"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QString("&No"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Annulla"));
    }
};

QTEST_MAIN(ItalianDialogsTest)
#include "test_italian_dialogs.moc"
