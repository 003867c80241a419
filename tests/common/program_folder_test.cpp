// Where the program's files live: beside the executable, or in the user's data folder with
// the default archive copied there at the first start.
#include "common/program_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;
using namespace quotaplan;

namespace {

const std::string kDefaultBytes = std::string("SQLite format 3\0", 16) + std::string(5000, 'q');

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A prefix laid out as an install: <root>/bin for the programs, <root>/share/quotaplan with
// the default archive and the template, <root>/xdg as the user's XDG_DATA_HOME.
class Prefix {
public:
    Prefix() {
        std::string pattern = (fs::temp_directory_path() / "quotaplan-prefix-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        fs::create_directories(Bin());
    }
    ~Prefix() {
        fs::permissions(Bin(), fs::perms::owner_all);
        fs::remove_all(root_);
    }
    Prefix(const Prefix&) = delete;
    Prefix& operator=(const Prefix&) = delete;

    fs::path Bin() const { return root_ / "bin"; }
    fs::path Share() const { return root_ / "share" / "quotaplan"; }
    fs::path Xdg() const { return root_ / "xdg"; }
    fs::path UserFolder() const { return Xdg() / "Quotaplan"; }
    UserFolders User() const { return {Xdg().string(), (root_ / "home").string()}; }

    void AddShare() {
        fs::create_directories(Share());
        Write(Share() / "Quotaplan.mdb", kDefaultBytes);
        Write(Share() / "pda.dot", "{\\rtf1}");
    }
    // As an administrator leaves an installed program: nobody may write beside it.
    void MakeBinReadOnly() const {
        fs::permissions(Bin(), fs::perms::owner_read | fs::perms::owner_exec |
                                   fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
    }
    ProgramFiles Installed() const { return {FilesLayout::Installed, UserFolder(), Share()}; }

private:
    fs::path root_;
};

struct LayoutCase {
    const char* name;
    bool share;           // ../share/quotaplan holds a default archive
    const char* ownFile;  // a file already beside the program, or ""
    bool readOnly;        // the program folder is read-only
    FilesLayout layout;
    bool resourcesInShare;  // else beside the program
};

class ProgramLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(ProgramLayout, IsDecidedFromTheProgramFolder) {
    const LayoutCase& c = GetParam();
    Prefix prefix;
    if (c.share) prefix.AddShare();
    if (*c.ownFile != '\0') Write(prefix.Bin() / c.ownFile, "x");
    if (c.readOnly) prefix.MakeBinReadOnly();

    const ProgramFiles files = LocateProgramFiles(prefix.Bin(), prefix.User());

    EXPECT_EQ(files.layout, c.layout);
    const fs::path data = c.layout == FilesLayout::Installed ? prefix.UserFolder() : prefix.Bin();
    EXPECT_EQ(files.dataFolder, data);
    EXPECT_EQ(files.resourceFolder, c.resourcesInShare ? prefix.Share() : prefix.Bin());
    // Only an installed program reads the office's settings.
    EXPECT_EQ(files.officeSettings,
              fs::path(c.layout == FilesLayout::Installed ? kOfficeSettingsFile : ""));
}

// Read-only is decided by the mode bits as well, so these hold when the tests run as root.
INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramLayout,
    testing::Values(LayoutCase{"ReadyToRunFolder", false, "Quotaplan.mdb", false,
                               FilesLayout::ReadyToRun, false},
                    LayoutCase{"ReadyToRunFolderBesideAShareFolder", true, "Quotaplan.mdb", false,
                               FilesLayout::ReadyToRun, false},
                    LayoutCase{"ReadyToRunFolderWithOnlyItsIni", true, "Quotaplan.ini", false,
                               FilesLayout::ReadyToRun, false},
                    LayoutCase{"WritableFolderWithNothingToCopy", false, "", false,
                               FilesLayout::ReadyToRun, false},
                    LayoutCase{"ReadOnlyInstall", true, "", true, FilesLayout::Installed, true},
                    LayoutCase{"InstallIntoAPrefixTheUserOwns", true, "", false,
                               FilesLayout::Installed, true},
                    LayoutCase{"ReadOnlyReadyToRunFolder", false, "Quotaplan.mdb", true,
                               FilesLayout::Installed, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct UserFolderCase {
    const char* name;
    const char* xdgDataHome;
    const char* home;
    const char* expected;  // "" for none
};

class UserDataFolderOf : public testing::TestWithParam<UserFolderCase> {};

TEST_P(UserDataFolderOf, FollowsXdgDataHome) {
    const UserFolderCase& c = GetParam();
    const auto folder = UserDataFolder({c.xdgDataHome, c.home});
    EXPECT_EQ(folder.value_or(fs::path()), fs::path(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserDataFolderOf,
    testing::Values(UserFolderCase{"XdgDataHome", "/srv/dati", "/home/anna", "/srv/dati/Quotaplan"},
                    UserFolderCase{"EmptyXdgDataHome", "", "/home/anna",
                                   "/home/anna/.local/share/Quotaplan"},
                    UserFolderCase{"RelativeXdgDataHomeIgnored", "dati", "/home/anna",
                                   "/home/anna/.local/share/Quotaplan"},
                    UserFolderCase{"NoHome", "", "", ""},
                    UserFolderCase{"RelativeHome", "", "anna", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Which Quotaplan.ini configures the archive: the user's own, else the office's.
struct SettingsCase {
    const char* name;
    const char* own;  // what bears the name Quotaplan.ini in the user's folder: "", "file",
                      // "folder" or "dangling link"
    bool office;      // the office's file exists
    bool installed;   // else a ready-to-run folder, which names no office file
    bool expectOffice;
};

class SettingsFileOfProgram : public testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsFileOfProgram, IsTheUsersOwnElseTheOffices) {
    const SettingsCase& c = GetParam();
    Prefix prefix;
    fs::create_directories(prefix.UserFolder());
    const fs::path own = prefix.UserFolder() / "Quotaplan.ini";
    const std::string kind = c.own;
    if (kind == "file") Write(own, "[DATABASE]\n");
    if (kind == "folder") fs::create_directories(own);
    if (kind == "dangling link") fs::create_symlink(prefix.Xdg() / "manca.ini", own);
    const fs::path office = prefix.Bin() / "etc" / "Quotaplan.ini";
    if (c.office) {
        fs::create_directories(office.parent_path());
        Write(office, "[DATABASE]\nDRIVER=postgresql\n");
    }
    ProgramFiles files = c.installed ? prefix.Installed() : ReadyToRunFiles(prefix.UserFolder());
    if (c.installed) files.officeSettings = office;

    EXPECT_EQ(files.SettingsFile(), c.expectOffice ? office : own);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileOfProgram,
    testing::Values(SettingsCase{"UsersOwnFirst", "file", true, true, false},
                    SettingsCase{"OfficesWhenTheUserHasNone", "", true, true, true},
                    SettingsCase{"NeitherMeansTheDefaults", "", false, true, false},
                    // Anything under the name is the user's, to be read or refused in words.
                    SettingsCase{"UnreadableOwnIsNotPassedOver", "folder", true, true, false},
                    SettingsCase{"DanglingOwnIsNotPassedOver", "dangling link", true, true, false},
                    SettingsCase{"ReadyToRunFolderKeepsItsOwn", "", true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrepareProgramFiles, FirstStartCopiesTheDefaultArchiveIntoAPrivateFolder) {
    Prefix prefix;
    prefix.AddShare();
    ASSERT_EQ(PrepareProgramFiles(prefix.Installed()), std::nullopt);

    EXPECT_EQ(Read(prefix.UserFolder() / "Quotaplan.mdb"), kDefaultBytes);
    EXPECT_EQ(Names(prefix.UserFolder()), (std::set<std::string>{"Export", "Quotaplan.mdb"}));
    for (const fs::path& folder :
         {prefix.Xdg(), prefix.UserFolder(), prefix.UserFolder() / "Export"}) {
        struct stat status {};
        ASSERT_EQ(::stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_EQ(Read(prefix.Share() / "Quotaplan.mdb"), kDefaultBytes);
}

TEST(PrepareProgramFiles, NeverOverwritesWhatBearsTheArchiveName) {
    Prefix prefix;
    prefix.AddShare();
    fs::create_directories(prefix.UserFolder());
    Write(prefix.UserFolder() / "Quotaplan.mdb", "i contratti di Anna");
    ASSERT_EQ(PrepareProgramFiles(prefix.Installed()), std::nullopt);
    EXPECT_EQ(Read(prefix.UserFolder() / "Quotaplan.mdb"), "i contratti di Anna");

    // A link to an archive on a disk not mounted yet is not replaced by an empty archive.
    fs::remove(prefix.UserFolder() / "Quotaplan.mdb");
    fs::create_symlink("/media/chiavetta/Quotaplan.mdb", prefix.UserFolder() / "Quotaplan.mdb");
    ASSERT_EQ(PrepareProgramFiles(prefix.Installed()), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(prefix.UserFolder() / "Quotaplan.mdb"));
    EXPECT_EQ(Names(prefix.UserFolder()), (std::set<std::string>{"Export", "Quotaplan.mdb"}));
}

TEST(PrepareProgramFiles, AHalfCopyLeftByAKilledStartIsRemovedAndTheCopyMadeWhole) {
    Prefix prefix;
    prefix.AddShare();
    fs::create_directories(prefix.UserFolder());
    Write(prefix.UserFolder() / ".quotaplan-archive-Ab12Cd", kDefaultBytes.substr(0, 100));
    ASSERT_EQ(PrepareProgramFiles(prefix.Installed()), std::nullopt);
    EXPECT_EQ(Read(prefix.UserFolder() / "Quotaplan.mdb"), kDefaultBytes);
    EXPECT_EQ(Names(prefix.UserFolder()), (std::set<std::string>{"Export", "Quotaplan.mdb"}));
}

TEST(PrepareProgramFiles, FailuresAreNamedAndLeaveNoArchive) {
    Prefix prefix;
    const ProgramFiles files = prefix.Installed();
    const std::string copyOf = "Impossibile copiare l'archivio iniziale " +
                               files.DefaultArchive().string() + " in " +
                               (prefix.UserFolder() / "Quotaplan.mdb").string() + ": ";

    EXPECT_EQ(PrepareProgramFiles(files), copyOf + "il file non esiste.");
    EXPECT_EQ(Names(prefix.UserFolder()), std::set<std::string>{"Export"});

    fs::create_directories(files.DefaultArchive());
    EXPECT_EQ(PrepareProgramFiles(files), copyOf + "non è un file normale.");
    EXPECT_EQ(Names(prefix.UserFolder()), std::set<std::string>{"Export"});

    // Not even root makes a folder inside a file.
    Write(prefix.Xdg() / "file", "");
    const ProgramFiles underAFile{FilesLayout::Installed, prefix.Xdg() / "file" / "Quotaplan",
                                  prefix.Share()};
    EXPECT_EQ(PrepareProgramFiles(underAFile),
              "Impossibile creare la cartella " + (prefix.Xdg() / "file" / "Quotaplan").string());

    const ProgramFiles nowhere{FilesLayout::Installed, fs::path(), prefix.Share()};
    EXPECT_EQ(PrepareProgramFiles(nowhere),
              "Impossibile trovare la cartella dei dati dell'utente: né XDG_DATA_HOME né HOME "
              "indicano un percorso assoluto.");
}

TEST(PrepareProgramFiles, LeavesAReadyToRunFolderAlone) {
    Prefix prefix;
    const ProgramFiles files = ReadyToRunFiles(prefix.Bin());
    ASSERT_EQ(PrepareProgramFiles(files), std::nullopt);
    EXPECT_TRUE(Names(prefix.Bin()).empty());
    EXPECT_EQ(files.WordTemplate(), prefix.Bin() / "pda.dot");
    EXPECT_EQ(files.ExportFolder(), prefix.Bin() / "Export");
}

// The guide the menu "Guida" opens: beside the program, in the package's documentation folder
// once installed, or in a read-only ready-to-run folder serving as the share folder.
TEST(UserGuide, IsFoundInEachLayout) {
    Prefix prefix;
    EXPECT_EQ(ReadyToRunFiles(prefix.Bin()).UserGuide(), prefix.Bin() / "guida" / "guida.html");
    prefix.AddShare();
    const ProgramFiles installed = prefix.Installed();
    EXPECT_EQ(installed.UserGuide(),
              prefix.Share().parent_path() / "doc" / "quotaplan" / "guida.html");
    const ProgramFiles readOnlyFolder{FilesLayout::Installed, prefix.UserFolder(), prefix.Bin()};
    fs::create_directories(prefix.Bin() / "guida");
    Write(prefix.Bin() / "guida" / "guida.html", "<html></html>");
    EXPECT_EQ(readOnlyFolder.UserGuide(), prefix.Bin() / "guida" / "guida.html");
}

}  // namespace
