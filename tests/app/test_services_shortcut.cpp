// The services shortcut written at start: its entries in order, an existing file or link
// left alone, a folder that cannot be written tolerated without a word.
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/services_shortcut.h"

using namespace quotaplan;

namespace {

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kIndex = "http://www.example.it/index.asp?cat=1";
const std::string kPage = "http://www.example.it/quotaplan.html";

}  // namespace

class ServicesShortcutTest : public QObject {
    Q_OBJECT
private slots:
    void writtenWhenMissing() {
        QTemporaryDir folder;
        const std::filesystem::path dir = folder.path().toStdString();
        EnsureServicesShortcut(dir, kIndex, kPage);
        std::string text = Contents(dir / "Servizi.url");
        std::erase(text, '\r');
        QCOMPARE(QString::fromStdString(text),
                 QString::fromStdString("[DEFAULT]\nBASEURL=" + kIndex +
                                        "\n[InternetShortcut]\nURL=" + kPage +
                                        "\nModified=103DE468B8E8C201FC\n"));
    }

    void anExistingFileIsLeftAlone() {
        QTemporaryDir folder;
        const std::filesystem::path dir = folder.path().toStdString();
        const std::string edited = "[InternetShortcut]\nURL=http://altro.example/\n";
        std::ofstream(dir / "Servizi.url", std::ios::binary) << edited;
        EnsureServicesShortcut(dir, kIndex, kPage);
        QCOMPARE(QString::fromStdString(Contents(dir / "Servizi.url")),
                 QString::fromStdString(edited));
    }

    // A link planted under the shortcut's name is never written through, even when it
    // leads nowhere yet.
    void aLinkIsNeverFollowed_data() {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("dangling") << false;
        QTest::newRow("to a file") << true;
    }
    void aLinkIsNeverFollowed() {
        QFETCH(bool, targetExists);
        QTemporaryDir folder;
        const std::filesystem::path dir = folder.path().toStdString();
        const std::filesystem::path target = dir / "altrove.txt";
        if (targetExists) std::ofstream(target, std::ios::binary) << "mio";
        std::filesystem::create_symlink(target, dir / "Servizi.url");
        EnsureServicesShortcut(dir, kIndex, kPage);
        CreateServicesShortcut(dir, kIndex, kPage);
        QVERIFY(std::filesystem::is_symlink(dir / "Servizi.url"));
        QCOMPARE(std::filesystem::exists(target), targetExists);
        if (targetExists) QCOMPARE(QString::fromStdString(Contents(target)), QString("mio"));
    }

    void aReadOnlyFolderIsTolerated() {
        if (geteuid() == 0) QSKIP("the superuser writes into read-only folders");
        QTemporaryDir folder;
        const std::filesystem::path dir = folder.path().toStdString();
        std::filesystem::permissions(
            dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EnsureServicesShortcut(dir, kIndex, kPage);
        QVERIFY(!std::filesystem::exists(dir / "Servizi.url"));
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    }
};

QTEST_MAIN(ServicesShortcutTest)
#include "test_services_shortcut.moc"
