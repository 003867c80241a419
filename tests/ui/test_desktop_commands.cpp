// The menu's desktop commands: the online guide, the services shortcut, the About box and
// leaving through "&Esci"; web pages go to the recording shell.
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

#include "common/program_folder.h"
#include "ui/about_box.h"
#include "ui/qt_desktop_shell.h"
#include "window_fixture.h"

using namespace quotaplan;
using namespace quotaplan::test;

namespace {

const QString kHost = QStringLiteral(QUOTAPLAN_WEB_HOST);

QAction* Menu(const WindowFixture& f, const char* name) {
    return f.window->findChild<QAction*>(QString::fromLatin1(name));
}

}  // namespace

class DesktopCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void menuCaptions() {
        WindowFixture f;
        const struct {
            const char* name;
            const char* caption;
        } menu[] = {{"mnuEsci", "&Esci"},
                    {"mnuServizi", "&Servizi"},
                    {"mnuHelp", "&Guida OnLine"},
                    {"mnuAbout", "&About"}};
        for (const auto& item : menu) {
            QVERIFY2(Menu(f, item.name) != nullptr, item.name);
            QCOMPARE(Menu(f, item.name)->text(), QString(item.caption));
            QVERIFY(Menu(f, item.name)->isEnabled());
        }
    }

    void onlineGuide_data() {
        QTest::addColumn<bool>("opens");
        QTest::newRow("opened") << true;
        QTest::newRow("no browser") << false;
    }
    void onlineGuide() {
        QFETCH(bool, opens);
        WindowFixture f;
        f.shell.succeeds = opens;
        Menu(f, "mnuHelp")->trigger();
        QCOMPARE(f.shell.requests.size(), std::size_t(1));
        QCOMPARE(f.shell.requests[0].kind, RecordingDesktopShell::Kind::Url);
        QCOMPARE(QString::fromStdString(f.shell.requests[0].target),
                 "http://" + kHost + "/guidaqpl32/index.html");
        if (opens) {
            QVERIFY(f.boxes.shown.empty());
        } else {
            QCOMPARE(f.boxes.shown.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(f.boxes.shown[0].prompt),
                     QString("Connessione ad internet non disponibile"));
            QCOMPARE(QString::fromStdString(f.boxes.shown[0].title), QString("Quotaplan 4"));
            QCOMPARE(f.boxes.shown[0].icon, BoxIcon::Information);
        }
    }

    void servicesOpenTheShortcutAndNeverComplain() {
        WindowFixture f;
        f.shell.succeeds = false;
        Menu(f, "mnuServizi")->trigger();
        QCOMPARE(f.shell.requests.size(), std::size_t(1));
        QCOMPARE(f.shell.requests[0].kind, RecordingDesktopShell::Kind::File);
        QCOMPARE(f.shell.requests[0].target, ThisProgramFiles().ServicesShortcut().string());
        QVERIFY(f.boxes.shown.empty());
    }

    void aboutBox() {
        WindowFixture f;
        f.shell.succeeds = false;
        bool inspected = false;
        // The box is modal: it is looked at and closed from inside its own event loop.
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
            QVERIFY(about != nullptr);
            QCOMPARE(about->objectName(), QString("frmAbout"));
            QCOMPARE(about->lblVersion->text(), QString("4.0.0"));
            QCOMPARE(about->Label2->text(), QString("Quotaplan"));
            QCOMPARE(about->Label1->text(),
                     QString("Software per la gestione dei finaziamenti \na rata costante."));
            QCOMPARE(about->cmdClose->text(), QString("Chiudi"));
            QTest::mouseClick(about->Image1, Qt::LeftButton);
            QCOMPARE(f.shell.requests.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(f.shell.requests[0].target),
                     "http://" + kHost + "/index_frame.asp?pagina=prodotti");
            QCOMPARE(QString::fromStdString(f.boxes.shown.at(0).prompt),
                     QString("Connessione ad internet non disponibile"));
            QTest::mouseClick(about->cmdClose, Qt::LeftButton);
            inspected = true;
        });
        Menu(f, "mnuAbout")->trigger();
        QVERIFY(inspected);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void esciUnloadsAsTheCloseBoxDoes() {
        WindowFixture f;
        Menu(f, "mnuEsci")->trigger();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.archive.closes, 1);
    }

    // What the real shell refuses before asking the desktop (nothing is started here).
    void realShellRefusesWhatCannotBeOpened() {
        QtDesktopShell shell;
        QVERIFY(!shell.OpenUrl(""));
        QVERIFY(!shell.OpenUrl("senza schema"));
        QVERIFY(!shell.OpenFile("/nessuna/cartella/Servizi.url"));
        QVERIFY(!shell.OpenInTextEditor("/nessuna/cartella/piano.txt"));
    }

    void summaryFailureIsShownNotFatal() {
        WindowFixture f;
        f.archive.failSummary = true;
        QTest::mouseClick(f.window->findChild<QPushButton*>("cmdAggiorna"), Qt::LeftButton);
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f.boxes.shown[0].prompt),
                 QString("Query 'qryRLeaMese' non trovata.\n"));
    }
};

QTEST_MAIN(DesktopCommandsTest)
#include "test_desktop_commands.moc"
