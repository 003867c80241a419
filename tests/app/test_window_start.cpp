// What quotaplan answers before it opens a window (--help, --version, no display), and how it
// presents itself to the desktop once it does.
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <sstream>

#include "app/program_presentation.h"
#include "app/window_command_line.h"

using namespace quotaplan;

namespace {

const char* const kNoDisplay =
    "quotaplan: nessuno schermo grafico (DISPLAY e WAYLAND_DISPLAY non sono impostati); per "
    "calcolare senza finestra c'è quotaplan-calc.\n";

QStringList Split(const QString& words) {
    return words.isEmpty() ? QStringList() : words.split(QLatin1Char(' '));
}

}  // namespace

class WindowStartTest : public QObject {
    Q_OBJECT
private slots:
    void answerBeforeWindow_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("status");  // -1: the window starts
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        const QString help = QString::fromStdString(WindowUsageText());
        const QString none;
        QTest::newRow("help") << "--help"
                              << ":0" << none << none << 0 << help << none;
        QTest::newRow("short help") << "-h" << none << none << none << 0 << help << none;
        QTest::newRow("help among Qt's options")
            << "-style fusion --help" << none << none << none << 0 << help << none;
        QTest::newRow("version without a display")
            << "--version" << none << none << none << 0 << "quotaplan 4.0.0\n"
            << none;
        QTest::newRow("no display") << none << none << none << none << 1 << none << kNoDisplay;
        QTest::newRow("only display servers named")
            << none << none << none << "wayland;xcb" << 1 << none << kNoDisplay;
        QTest::newRow("X display") << none << ":0" << none << none << -1 << none << none;
        QTest::newRow("Wayland display")
            << none << none << "wayland-0" << none << -1 << none << none;
        QTest::newRow("offscreen platform")
            << none << none << none << "offscreen" << -1 << none << none;
        QTest::newRow("offscreen by argument")
            << "-platform offscreen" << none << none << "xcb" << -1 << none << none;
        QTest::newRow("a VNC server among the platforms")
            << none << none << none << "xcb;vnc:size=800x600" << -1 << none << none;
    }
    void answerBeforeWindow() {
        QFETCH(QString, args);
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QString, platform);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        std::vector<std::string> words;
        for (const QString& word : Split(args)) words.push_back(word.toStdString());
        std::ostringstream printed, complained;
        const auto answer = AnswerBeforeWindow(
            words, {display.toStdString(), wayland.toStdString(), platform.toStdString()}, printed,
            complained);
        QCOMPARE(answer.value_or(-1), status);
        QCOMPARE(QString::fromStdString(printed.str()), out);
        QCOMPARE(QString::fromStdString(complained.str()), err);
    }

    void helpNamesBothOptionsAndTheOfficeSettings() {
        const QString help = QString::fromStdString(WindowUsageText());
        QVERIFY(help.startsWith("Uso: quotaplan [--help | --version]\n"));
        QVERIFY(help.contains("  -h, --help   mostra questo aiuto\n"));
        QVERIFY(help.contains("/etc/quotaplan/Quotaplan.ini"));
    }

    // The window's icon is the menu's: both sizes, drawn from the SVG (its blue ground, its
    // yellow bar).
    void presentsItselfWithItsIcon() {
        int argc = 1;
        char name[] = "quotaplan";
        char* argv[] = {name, nullptr};
        QGuiApplication app(argc, argv);
        PresentProgram(app);
        QCOMPARE(QGuiApplication::applicationName(), QStringLiteral("quotaplan"));
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("quotaplan"));
        const QIcon icon = QGuiApplication::windowIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(48, 48), QSize(256, 256)}));
        const QImage large = icon.pixmap(256).toImage();
        QCOMPARE(large.size(), QSize(256, 256));
        QCOMPARE(large.pixelColor(30, 128), QColor(0x2f, 0x5d, 0x8a));
        QCOMPARE(large.pixelColor(205, 150), QColor(0xf2, 0xc1, 0x4e));
        QCOMPARE(large.pixelColor(2, 2).alpha(), 0);
    }
};

QTEST_APPLESS_MAIN(WindowStartTest)
#include "test_window_start.moc"
