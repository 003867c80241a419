// QPLMain: answers --help, --version and a missing display before any window, refuses a
// second copy, records the program title, opens the archive (the user's own copy when the
// program is installed), checks the lookup tables, writes the services shortcut when missing
// and shows frmContratto.
#include <QApplication>
#include <QSettings>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/program_presentation.h"
#include "app/program_start.h"
#include "app/single_instance.h"
#include "app/window_command_line.h"
#include "common/message_boxes.h"
#include "common/program_folder.h"
#include "common/program_info.h"
#include "ui/database_review_archive.h"
#include "ui/database_window_archive.h"
#include "ui/italian_translations.h"
#include "ui/main_window.h"
#include "ui/qt_desktop_shell.h"
#include "ui/qt_message_boxes.h"
#include "ui/web_pages.h"
#include "ui/window_placement.h"

int main(int argc, char* argv[]) {
    using namespace quotaplan;
    // Before QApplication, which aborts the program when it finds no display.
    if (const auto status = AnswerBeforeWindow(std::vector<std::string>(argv + 1, argv + argc),
                                               CurrentDisplayEnvironment(), std::cout, std::cerr)) {
        return *status;
    }
    QApplication app(argc, argv);
    PresentProgram(app);
    // Without Qt's Italian the dialogs of Qt itself speak English: no reason not to start.
    static_cast<void>(InstallItalianTranslations(app));
    QtMessageBoxes boxes;

    SingleInstanceGuard guard;
    if (!guard.Acquire()) {
        ShowPlainBox(boxes, AlreadyRunningMessage(), "", BoxIcon::Critical);
        return 1;
    }
    SetProgramTitle("Quotaplan");

    std::optional<Database> db = OpenProgramArchive(
        ThisProgramFiles(),
        {MakerWebAddress(kProductIndexPath), MakerWebAddress(kQuotaplanPagePath)}, boxes);
    if (!db) return 1;

    DatabaseWindowArchive archive(*db, boxes);
    DatabaseReviewArchive reviewArchive(*db, boxes);
    QtDesktopShell shell;
    MainWindow window(archive, boxes, shell);
    boxes.SetParent(&window);
    try {
        window.Load();
    } catch (const std::exception& error) {
        // Filling the tree or the lists failed: nothing can be shown without them.
        ReportError(boxes, "frmContratto_Load", error.what(), "");
        return 1;
    }
    const std::unique_ptr<QSettings> settings = UserSettings();
    window.RememberPlacement(*settings);
    window.EnableReview(reviewArchive, *settings);
    window.show();
    return app.exec();
}
