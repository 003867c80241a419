#include "app/program_start.h"

#include "app/services_shortcut.h"
#include "data/connection.h"
#include "data/lookup_lists.h"

namespace quotaplan {

std::optional<Database> OpenProgramArchive(const ProgramFiles& files,
                                           const ServicesShortcutAddresses& services,
                                           MessageBoxes& boxes) {
    if (auto failure = PrepareProgramFiles(files)) {
        ReportError(boxes, "PrepareProgramFiles", *failure, "");
        return std::nullopt;
    }
    std::optional<Database> db = OpenDatabase(files.dataFolder, boxes);
    if (!db || !LoadLookupLists(*db, boxes)) return std::nullopt;
    EnsureServicesShortcut(files.dataFolder, services.productIndexUrl, services.productPageUrl);
    return db;
}

}  // namespace quotaplan
