// The menu's desktop commands: the guide shipped with the program (F1) and the online one, the
// services shortcut, the About box and leaving through "&Esci"; web pages go to the recording
// shell.
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>

#include "common/program_folder.h"
#include "ui/about_box.h"
#include "ui/qt_desktop_shell.h"
#include "ui/user_guide_window.h"
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
                    {"mnuGuida", "&Guida"},
                    {"mnuGuidaQuotaplan", "Guida di &Quotaplan"},
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

    // F1 opens the guide the build made, pictures and all, in the program's own window.
    void userGuideOpensOnF1() {
        WindowFixture f;
        f.window->SetUserGuide(QUOTAPLAN_BIN_DIR "/guida/guida.html");
        QCOMPARE(Menu(f, "mnuGuidaQuotaplan")->shortcut(), QKeySequence(Qt::Key_F1));
        QTest::keyClick(f.window.get(), Qt::Key_F1);
        auto* guide = f.window->findChild<UserGuideWindow*>(QStringLiteral("frmGuida"));
        QVERIFY(guide != nullptr);
        QVERIFY(guide->isVisible());
        QVERIFY(f.boxes.shown.empty());
        QVERIFY(f.shell.requests.empty());
        const QString text = guide->txtGuida->toPlainText();
        for (const char* chapter : {"La finestra", "Gli eventi del contratto", "La perizia",
                                    "Verifica portafoglio e aggiornamento dei contratti indicizzati"}) {
            QVERIFY2(text.contains(QString::fromUtf8(chapter)), chapter);
        }
        const QVariant picture = guide->txtGuida->document()->resource(
            QTextDocument::ImageResource, QUrl(QStringLiteral("calcoli.png")));
        QVERIFY(!picture.value<QImage>().isNull() || !picture.value<QPixmap>().isNull());
        const QString folder = qEnvironmentVariable("QUOTAPLAN_SCREENSHOTS");
        if (!folder.isEmpty()) QVERIFY(guide->grab().save(folder + "/guida.png"));
        // A second F1 brings the same window back.
        QTest::keyClick(f.window.get(), Qt::Key_F1);
        QCOMPARE(f.window->findChildren<UserGuideWindow*>().size(), 1);
    }

    // Every link of the guide to one of its chapters lands on a heading's anchor.
    void userGuideLinksLand() {
        QFile page(QStringLiteral(QUOTAPLAN_BIN_DIR "/guida/guida.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        QStringList anchors;
        for (const auto& match : QRegularExpression(QStringLiteral("<h[1-3] id=\"([^\"]+)\"")).globalMatch(html)) {
            anchors.append(match.captured(1));
        }
        QVERIFY(anchors.contains(QStringLiteral("il-taeg")));
        int links = 0;
        for (const auto& match : QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html)) {
            QVERIFY2(anchors.contains(match.captured(1)), qPrintable(match.captured(1)));
            ++links;
        }
        QVERIFY(links > 5);
        // And every picture it shows lies beside it.
        int pictures = 0;
        for (const auto& match : QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html)) {
            QVERIFY2(QFile::exists(QStringLiteral(QUOTAPLAN_BIN_DIR "/guida/") + match.captured(1)),
                     qPrintable(match.captured(1)));
            ++pictures;
        }
        QVERIFY(pictures > 10);
    }

    void missingUserGuideIsSaid() {
        WindowFixture f;
        f.window->SetUserGuide("/nonexistent/guida.html");
        Menu(f, "mnuGuidaQuotaplan")->trigger();
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f.boxes.shown[0].prompt),
                 QString("Impossibile aprire la guida /nonexistent/guida.html."));
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
