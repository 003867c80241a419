// The window's start on an installed program: the archive the calculator saved into is the
// one the window shows, and a user folder that cannot be made stops the start with a box.
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/program_start.h"
#include "cli/quotaplan_calc.h"
#include "common/desktop_shell.h"
#include "common/program_info.h"
#include "common/recording_message_boxes.h"
#include "ui/database_window_archive.h"
#include "ui/main_window.h"

using namespace quotaplan;
namespace fs = std::filesystem;

namespace {

const ServicesShortcutAddresses kServices{"http://www.example.it/index.asp?cat=1",
                                          "http://www.example.it/quotaplan.html"};

// An installed layout in a temporary folder: a read-only bin, the share folder with the
// default archive and the template, and an XDG_DATA_HOME of its own.
class InstalledLayout {
public:
    InstalledLayout() {
        fs::create_directories(Bin());
        fs::create_directories(Share());
        fs::copy_file(QUOTAPLAN_PRISTINE_ARCHIVE, Share() / "Quotaplan.mdb");
        fs::copy_file(QUOTAPLAN_TEMPLATE, Share() / "pda.dot");
        fs::permissions(Bin(),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    ~InstalledLayout() { fs::permissions(Bin(), fs::perms::owner_all); }
    InstalledLayout(const InstalledLayout&) = delete;
    InstalledLayout& operator=(const InstalledLayout&) = delete;

    fs::path Root() const { return root_.path().toStdString(); }
    fs::path Bin() const { return Root() / "usr" / "bin"; }
    fs::path Share() const { return Root() / "usr" / "share" / "quotaplan"; }
    ProgramFiles Files() const {
        return LocateProgramFiles(Bin(), {(Root() / "xdg").string(), (Root() / "home").string()});
    }

private:
    QTemporaryDir root_;
};

}  // namespace

class InstalledStartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProgramTitle("Quotaplan"); }

    void theWindowShowsWhatTheCalculatorSaved() {
        InstalledLayout layout;
        const ProgramFiles files = layout.Files();
        QCOMPARE(files.dataFolder, layout.Root() / "xdg" / "Quotaplan");

        std::ostringstream out, err;
        QCOMPARE(RunQuotaplanCalc(
                     {"--save", "Prova", "--value", "10000", "--rate", "6", "--count", "12"}, out,
                     err, files),
                 0);
        QCOMPARE(QString::fromStdString(out.str()), QString("1\n"));

        RecordingMessageBoxes boxes;
        std::optional<Database> db = OpenProgramArchive(files, kServices, boxes);
        QVERIFY(db.has_value());
        QVERIFY(boxes.shown.empty());
        QCOMPARE(db->Location(), "File: " + (files.dataFolder / "Quotaplan.mdb").string());
        QVERIFY(fs::is_regular_file(files.ServicesShortcut()));
        QVERIFY(fs::is_empty(layout.Bin()));

        DatabaseWindowArchive archive(*db, boxes);
        RecordingDesktopShell shell;
        MainWindow window(archive, boxes, shell);
        window.Load();
        const QList<QTreeWidgetItem*> found =
            window.Tree()->findItems("Prova", Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0]->parent()->text(0), QString("Leasing"));
        window.close();
    }

    void aUserFolderThatCannotBeMadeStopsTheStart() {
        InstalledLayout layout;
        std::ofstream(layout.Root() / "xdg") << "un file, non una cartella";
        RecordingMessageBoxes boxes;
        QVERIFY(!OpenProgramArchive(layout.Files(), kServices, boxes).has_value());
        QCOMPARE(boxes.shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(boxes.shown[0].prompt),
                 QString::fromStdString("Impossibile creare la cartella " +
                                        (layout.Root() / "xdg" / "Quotaplan").string() +
                                        "\nIndirizzo errore: PrepareProgramFiles"));
        QCOMPARE(QString::fromStdString(boxes.shown[0].title), QString("Quotaplan 4.0.0"));
        QCOMPARE(boxes.shown[0].icon, BoxIcon::Critical);
        QVERIFY(fs::is_empty(layout.Bin()));
    }
};

QTEST_MAIN(InstalledStartTest)
#include "test_installed_start.moc"
